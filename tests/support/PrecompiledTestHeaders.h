// The headers that nearly every test file includes, precompiled once per build and reused by every test program:
// parsing GoogleTest and GoogleMock alone took a third of a test file's compile time. Only headers that never change
// and define no macros of a library the tests include after them belong here.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>
