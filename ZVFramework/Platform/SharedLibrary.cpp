#include "Platform/SharedLibrary.h"

#include "Platform/FileSystem.h"
#include "Platform/VersionInfo.h"

#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <vector>

namespace ZV::Platform {

namespace {

// The loader maps a library's segments where its program headers say they lie, and a segment that runs past the end of
// a file cut short (an interrupted copy or installation) is memory the process faults on (SIGBUS) as soon as the
// loader touches it. Such a file is refused before it is loaded. Whatever this cannot read is left to the loader,
// which refuses it safely with its own reason.
bool IsCutShort(const std::string& path)
{
    const int descriptor = OpenFile(path.c_str(), {});
    if (descriptor < 0) {
        return false;
    }
    std::uint64_t size = 0;
    ElfW(Ehdr) header{};
    const bool readable = GetFileSize(descriptor, size) &&
                          ReadFile(descriptor, &header, sizeof header) == static_cast<std::int64_t>(sizeof header) &&
                          std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 &&
                          header.e_ident[EI_CLASS] == (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32) &&
                          header.e_phentsize == sizeof(ElfW(Phdr));
    std::vector<ElfW(Phdr)> segments(readable ? header.e_phnum : 0);
    const std::uint64_t tableSize = segments.size() * sizeof(ElfW(Phdr));
    bool cutShort = readable && (header.e_phoff > size || tableSize > size - header.e_phoff);
    if (readable && !cutShort && !segments.empty()) {
        cutShort = SeekFile(descriptor, static_cast<std::int64_t>(header.e_phoff), 0) < 0 ||
                   ReadFile(descriptor, segments.data(), tableSize) != static_cast<std::int64_t>(tableSize);
    }
    for (const ElfW(Phdr)& segment : segments) {
        cutShort = cutShort || segment.p_filesz > size || segment.p_offset > size - segment.p_filesz;
    }
    CloseFile(descriptor);
    return cutShort;
}

SharedLibraryHandle Open(const std::string& path, std::string& error)
{
    if (path.find(kPathSeparator) != std::string::npos && IsCutShort(path)) {
        error = path + ": the file is cut short";
        return nullptr;
    }
    // dlerror is cleared first: its text belongs to the last failure on this thread, which may be an older one.
    ::dlerror();
    SharedLibraryHandle library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = ::dlerror();
        error = reason != nullptr ? reason : "the library could not be loaded";
    }
    return library;
}

std::string ProgramFolder()
{
    const std::string program = GetModuleFileName(kProgramModule);
    const std::size_t separator = program.rfind(kPathSeparator);
    return separator == std::string::npos ? std::string() : program.substr(0, separator);
}

}  // namespace

std::string GetSharedLibraryFileName(std::string_view baseName)
{
    return "lib" + std::string(baseName) + ".so";
}

SharedLibraryHandle LoadSharedLibrary(const std::string& path, std::string& error)
{
    if (path.find(kPathSeparator) != std::string::npos) {
        return Open(path, error);
    }
    // The system's search does not look beside the program, where a program's own libraries are installed.
    const std::string folder = ProgramFolder();
    if (!folder.empty()) {
        const std::string besideProgram = folder + kPathSeparator + path;
        if (GetPathKind(besideProgram.c_str()) == PathKind::file) {
            return Open(besideProgram, error);
        }
    }
    return Open(path, error);
}

SharedLibraryFunction FindSharedLibraryFunction(SharedLibraryHandle library, const char* name)
{
    if (library == nullptr || name == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<SharedLibraryFunction>(::dlsym(library, name));
}

bool FreeSharedLibrary(SharedLibraryHandle library)
{
    return library != nullptr && ::dlclose(library) == 0;
}

}  // namespace ZV::Platform
