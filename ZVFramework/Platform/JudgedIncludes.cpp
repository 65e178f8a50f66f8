#include "Platform/JudgedIncludes.h"

#include "Platform/JudgedPaths.h"

namespace ZV::Platform {

namespace {

// Deeper than any chain of files that include one another without coming back.
constexpr int kDeepestInclude = 16;

RefusedFolder JudgeFile(const std::string& path, const IncludeFinder& findIncludes, int depth);

RefusedFolder JudgeText(std::string_view text, const std::string& file, const IncludeFinder& findIncludes, int depth)
{
    for (const std::string& included : findIncludes(text, file)) {
        if (RefusedFolder refused = JudgeFile(included, findIncludes, depth + 1); refused.IsRefused()) {
            return refused;
        }
    }
    return {};
}

RefusedFolder JudgeFile(const std::string& path, const IncludeFinder& findIncludes, int depth)
{
    if (depth > kDeepestInclude) {
        return {path, "is included too deeply"};
    }
    const PathJudgement judged = JudgeLibraryPath(path);
    if (judged.Refused.IsRefused() || !judged.Exists) {
        return judged.Refused;
    }
    std::string text;
    if (!ReadJudgedFile(path, text)) {
        return {path, "cannot be read"};
    }
    return JudgeText(text, path, findIncludes, depth);
}

}  // namespace

RefusedFolder JudgeFileAndIncludes(const std::string& path, const IncludeFinder& findIncludes)
{
    return JudgeFile(path, findIncludes, 0);
}

RefusedFolder JudgeIncludesOfText(std::string_view text, const IncludeFinder& findIncludes)
{
    return JudgeText(text, std::string(), findIncludes, 0);
}

}  // namespace ZV::Platform
