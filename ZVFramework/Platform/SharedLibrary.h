#pragma once

#include <string>
#include <string_view>

// Libraries loaded while the program runs, and their functions found by name.
namespace ZV::Platform {

using SharedLibraryHandle = void*;
// Cast to the function's own type before calling.
using SharedLibraryFunction = void (*)();

// The file name under which the library called baseName is built: "libIniFileManager.so" for "IniFileManager".
std::string GetSharedLibraryFileName(std::string_view baseName);

// Loads a library, and the libraries it needs, with all its references resolved at once. A path with a '/' names the
// file itself; a bare file name is looked for in the program's folder first and then where the system looks
// (LD_LIBRARY_PATH, the loader's cache, the system's library folders). A file of ours that is cut short is refused
// before the system maps it, which would crash the program. Null on failure, with the reason in error.
SharedLibraryHandle LoadSharedLibrary(const std::string& path, std::string& error);

// Null when the library exports no function of that name.
SharedLibraryFunction FindSharedLibraryFunction(SharedLibraryHandle library, const char* name);

// false when the system refused; the handle is spent either way.
bool FreeSharedLibrary(SharedLibraryHandle library);

}  // namespace ZV::Platform
