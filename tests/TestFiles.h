#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace ZV::Testing {

// A fresh folder under the system's temporary folder, removed with everything in it when the object goes.
class TemporaryFolder {
public:
    TemporaryFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zv-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        mPath = pattern;
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }

    const std::filesystem::path& Path() const { return mPath; }
    // The UTF-8 path of an entry inside the folder.
    std::string operator/(const std::string& name) const { return (mPath / name).string(); }
    // Writes the file, and the folders it lies in, whole; its full path.
    std::string Write(const std::string& name, const std::string& content) const;
    // All bytes of the file; empty when it cannot be read.
    std::string Read(const std::string& name) const;

private:
    std::filesystem::path mPath;
};

// All bytes of a file; empty when it cannot be read.
inline std::string ContentOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string TemporaryFolder::Write(const std::string& name, const std::string& content) const
{
    const std::filesystem::path path = mPath / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

inline std::string TemporaryFolder::Read(const std::string& name) const
{
    return ContentOf(*this / name);
}

inline void WriteContent(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

}  // namespace ZV::Testing
