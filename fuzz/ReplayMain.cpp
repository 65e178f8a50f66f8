// Replays stored inputs through a fuzz target's entry point, once each, as libFuzzer runs a corpus: every file
// named, and every file in every folder named. A failed check or a sanitizer's report ends the program; without
// any input it fails too, so that a corpus that went missing is not taken for one that passed.
#include "FuzzTarget.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::filesystem::path> InputsNamedBy(int argumentCount, char** arguments)
{
    std::vector<std::filesystem::path> inputs;
    for (int index = 1; index < argumentCount; ++index) {
        const std::filesystem::path named(arguments[index]);
        if (!std::filesystem::is_directory(named)) {
            inputs.push_back(named);
            continue;
        }
        std::vector<std::filesystem::path> folder;
        for (const auto& entry : std::filesystem::directory_iterator(named)) {
            if (entry.is_regular_file()) {
                folder.push_back(entry.path());
            }
        }
        std::sort(folder.begin(), folder.end());
        inputs.insert(inputs.end(), folder.begin(), folder.end());
    }
    return inputs;
}

}  // namespace

int main(int argumentCount, char** arguments)
{
    const std::vector<std::filesystem::path> inputs = InputsNamedBy(argumentCount, arguments);
    if (inputs.empty()) {
        std::fprintf(stderr, "No inputs to replay. Usage: %s <file or folder>...\n", arguments[0]);
        return 1;
    }
    for (const std::filesystem::path& path : inputs) {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "Cannot read %s\n", path.c_str());
            return 1;
        }
        const std::vector<char> content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        // A block of exactly the input's size, as libFuzzer gives it, so that a read past its end is caught.
        const auto bytes = std::make_unique<std::uint8_t[]>(content.size());
        std::copy(content.begin(), content.end(), bytes.get());
        // Named before it runs: a sanitizer's report ends the program without a word of ours.
        std::fprintf(stderr, "%s\n", path.c_str());
        LLVMFuzzerTestOneInput(bytes.get(), content.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
