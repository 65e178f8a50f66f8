#pragma once

#include <cstddef>
#include <cstdint>

// The entry point of every fuzz target. In a fuzzing build libFuzzer calls it; in the normal build the corpus replay
// (ReplayMain.cpp) calls it once for each stored input. It answers 0, and ends the program when a check fails.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace ZV::Fuzz {

// Says which check failed and aborts, so that libFuzzer keeps the input as a crash.
[[noreturn]] void FailCheck(const char* condition, const char* file, int line);

}  // namespace ZV::Fuzz

// A property of the parser that must hold for every input, beyond not crashing.
#define ZV_FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::ZV::Fuzz::FailCheck(#condition, __FILE__, __LINE__))
