#include "Platform/X11Resources.h"

#include "Platform/DebuggerOutput.h"
#include "Platform/JudgedIncludes.h"
#include "Platform/SaidOnce.h"
#include "Platform/StandardError.h"
#include "Platform/XLibraryIncludes.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <sys/utsname.h>

#include <cstdlib>
#include <string>

namespace ZV::Platform {

namespace {

const IncludeFinder kResourceIncludes = [](std::string_view text, const std::string& file) {
    return FindResourceIncludes(text, file);
};

void SayLeftOut(const std::string& source, const std::string& file, const RefusedFolder& refused)
{
    const std::string line =
        "The X libraries read no resources " + source + ", as " + DescribeRefusal(file, refused) + ".";
    if (IsSaidForTheFirstTime(line)) {
        WriteDebuggerOutput((EscapeForLine(line) + "\n").c_str());
    }
}

// The home as Xlib takes it: $HOME, else the account of $USER, else the user's.
std::string GetXlibHome()
{
    const char* home = std::getenv("HOME");
    return home != nullptr ? std::string(home) : GetAccountHome(std::getenv("USER"));
}

// The file's resources, when it passes; none when it is not there.
XrmDatabase ReadResourceFile(const std::string& file)
{
    if (const RefusedFolder refused = JudgeFileAndIncludes(file, kResourceIncludes); refused.IsRefused()) {
        SayLeftOut("from " + file, file, refused);
        return nullptr;
    }
    return XrmGetFileDatabase(file.c_str());
}

}  // namespace

XrmDatabase MakeJudgedResourceDatabase(Display* display)
{
    XrmInitialize();
    XrmDatabase database = nullptr;
    if (const char* server = XResourceManagerString(display)) {
        if (const RefusedFolder refused = JudgeIncludesOfText(server, kResourceIncludes); refused.IsRefused()) {
            SayLeftOut("of the display", std::string(), refused);
        } else {
            database = XrmGetStringDatabase(server);
        }
    } else {
        database = ReadResourceFile(GetXlibHome() + "/.Xdefaults");
    }
    std::string user;
    if (const char* named = std::getenv("XENVIRONMENT")) {
        user = named;
    } else {
        utsname system{};
        user = GetXlibHome() + "/.Xdefaults-" + (uname(&system) == 0 ? system.nodename : "");
    }
    if (XrmDatabase over = ReadResourceFile(user)) {
        XrmMergeDatabases(over, &database);
    }
    return database != nullptr ? database : XrmGetStringDatabase("");
}

}  // namespace ZV::Platform
