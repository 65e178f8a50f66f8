#pragma once

#include "Platform/HomeFolders.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ZV::Platform {

// The files that a text includes, each by the path the library opens for it; the file is the one the text was read
// from, empty for a text of no file.
using IncludeFinder = std::function<std::vector<std::string>(std::string_view text, const std::string& file)>;

// A file that a library reads by its path, and the files it includes in turn, each judged (Platform/JudgedPaths.h)
// and read without waiting: the first refused, or that is there and cannot be read whole. A missing file passes as
// the judgement lets it pass; a file that comes back to itself through its includes is refused.
RefusedFolder JudgeFileAndIncludes(const std::string& path, const IncludeFinder& findIncludes);

// The same for what a text of no file includes.
RefusedFolder JudgeIncludesOfText(std::string_view text, const IncludeFinder& findIncludes);

}  // namespace ZV::Platform
