#include "Platform/FilePicker.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace ZV::Platform {

namespace {

constexpr const char* kHelperVariable = "ZV_OPEN_FILE_HELPER";

bool IsExecutableFile(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The program's path: a name with a slash as it is, a bare name looked up on the PATH; empty when not found.
std::string FindProgram(const std::string& name)
{
    if (name.find('/') != std::string::npos) {
        return IsExecutableFile(name) ? name : std::string();
    }
    const char* path = std::getenv("PATH");
    const std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = folders.find(':', start);
        const std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
        if (IsExecutableFile(candidate)) {
            return candidate;
        }
        if (end == std::string::npos) {
            return {};
        }
        start = end + 1;
    }
}

std::string Join(const std::vector<std::string>& parts, const char* separator)
{
    std::string joined;
    for (const std::string& part : parts) {
        joined += (joined.empty() ? "" : separator) + part;
    }
    return joined;
}

// zenity --file-selection --title=T --filename=FOLDER/ --file-filter="Description | *.a *.b" ...
std::vector<std::string> ZenityArguments(const FilePickerRequest& request)
{
    std::vector<std::string> arguments{"--file-selection"};
    if (!request.title.empty()) {
        arguments.push_back("--title=" + request.title);
    }
    if (!request.folder.empty()) {
        // The slash makes it the folder to open in, not a file to select.
        arguments.push_back("--filename=" + request.folder + (request.folder.back() == '/' ? "" : "/"));
    }
    for (const FilePickerFilter& filter : request.filters) {
        arguments.push_back("--file-filter=" + filter.description + " | " + Join(filter.patterns, " "));
    }
    if (request.multiple) {
        arguments.insert(arguments.end(), {"--multiple", "--separator=\n"});
    }
    return arguments;
}

// kdialog --title T --getopenfilename FOLDER "Description (*.a *.b)\nOther (*)"; the patterns in parentheses are
// what it filters by, so a description's own parenthesised patterns give way to them.
std::vector<std::string> KdialogArguments(const FilePickerRequest& request)
{
    std::vector<std::string> arguments;
    if (!request.title.empty()) {
        arguments.insert(arguments.end(), {"--title", request.title});
    }
    std::string folder = request.folder;
    if (folder.empty()) {
        char current[4096];
        folder = getcwd(current, sizeof current) != nullptr ? current : "/";
    }
    arguments.insert(arguments.end(), {"--getopenfilename", folder});
    std::vector<std::string> entries;
    for (const FilePickerFilter& filter : request.filters) {
        std::string description = filter.description;
        const std::size_t open = description.rfind('(');
        if (!description.empty() && description.back() == ')' && open != std::string::npos) {
            description.erase(open);
            while (!description.empty() && description.back() == ' ') {
                description.pop_back();
            }
        }
        entries.push_back((description.empty() ? "" : description + " ") + "(" + Join(filter.patterns, " ") + ")");
    }
    if (!entries.empty()) {
        arguments.push_back(Join(entries, "\n"));
    }
    if (request.multiple) {
        arguments.insert(arguments.end(), {"--multiple", "--separate-output"});
    }
    return arguments;
}

// The picker to run and the arguments in its syntax; empty with the reason in error when there is none.
std::string ChoosePicker(const FilePickerRequest& request, std::vector<std::string>& arguments, std::string& error)
{
    std::string program;
    const char* helper = std::getenv(kHelperVariable);
    if (helper != nullptr && helper[0] != '\0') {
        program = FindProgram(helper);
        if (program.empty()) {
            error = std::string("The file picker named in ") + kHelperVariable + ", " + helper + ", was not found.";
            return {};
        }
    } else {
        for (const char* name : {"zenity", "kdialog"}) {
            program = FindProgram(name);
            if (!program.empty()) {
                break;
            }
        }
        if (program.empty()) {
            error = std::string("No file picker was found: install zenity or kdialog, or name a picker program in ") +
                    kHelperVariable + ".";
            return {};
        }
    }
    const std::size_t slash = program.rfind('/');
    const bool kdialog = program.compare(slash == std::string::npos ? 0 : slash + 1, std::string::npos, "kdialog") == 0;
    arguments = kdialog ? KdialogArguments(request) : ZenityArguments(request);
    arguments.insert(arguments.begin(), program);
    return program;
}

}  // namespace

std::unique_ptr<FilePickerProcess> FilePickerProcess::Start(const FilePickerRequest& request, std::string& error)
{
    std::vector<std::string> arguments;
    const std::string program = ChoosePicker(request, arguments, error);
    if (program.empty()) {
        return nullptr;
    }
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) {
        error = std::string("The file picker could not be started: ") + std::strerror(errno) + ".";
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    // The program ignores SIGPIPE, which a child would inherit: the picker gets the usual disposition back.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t process = 0;
    const int failure = posix_spawn(&process, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    if (failure != 0) {
        close(output[0]);
        error = "The file picker " + program + " could not be started: " + std::strerror(failure) + ".";
        return nullptr;
    }
    (void)fcntl(output[0], F_SETFL, fcntl(output[0], F_GETFL) | O_NONBLOCK);
    return std::unique_ptr<FilePickerProcess>(new FilePickerProcess(process, output[0]));
}

FilePickerProcess::~FilePickerProcess()
{
    Stop();
    CloseOutput();
}

bool FilePickerProcess::HasPendingEvent()
{
    if (mOutput < 0) {
        return false;
    }
    pollfd output{mOutput, POLLIN, 0};
    return poll(&output, 1, 0) > 0;
}

bool FilePickerProcess::DispatchEvent()
{
    ReadOutput();
    // The picker's output is no input of the user's.
    return false;
}

// Reads what is there without waiting; closes the pipe at its end.
void FilePickerProcess::ReadOutput()
{
    char buffer[4096];
    while (mOutput >= 0) {
        const ssize_t count = read(mOutput, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            if (count == 0 || errno != EAGAIN) {
                CloseOutput();
            }
            return;
        }
        // Only the first line is kept; the rest is read so that the picker is never held up writing it.
        for (ssize_t index = 0; index < count && !mFirstLineComplete; ++index) {
            if (buffer[index] == '\n') {
                mFirstLineComplete = true;
            } else {
                mFirstLine += buffer[index];
            }
        }
    }
}

void FilePickerProcess::CloseOutput()
{
    if (mOutput >= 0) {
        close(mOutput);
        mOutput = -1;
    }
}

bool FilePickerProcess::IsRunning()
{
    if (mEnded) {
        return false;
    }
    int status = 0;
    const pid_t ended = waitpid(mProcess, &status, WNOHANG);
    if (ended == 0) {
        return true;
    }
    mEnded = true;
    mExitStatus = ended == mProcess && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // What it wrote before it ended is in the pipe; a child of its own may keep the pipe open, so no waiting.
    ReadOutput();
    CloseOutput();
    return false;
}

void FilePickerProcess::Stop()
{
    if (mEnded) {
        return;
    }
    // A dialog holds nothing that needs saving: ended at once, it cannot keep the caller waiting.
    kill(mProcess, SIGKILL);
    int status = 0;
    while (waitpid(mProcess, &status, 0) < 0 && errno == EINTR) {
    }
    mEnded = true;
    mExitStatus = -1;
}

bool FilePickerProcess::GetChosenPath(std::string& path) const
{
    if (!mEnded || mExitStatus != 0 || mFirstLine.empty()) {
        return false;
    }
    path = mFirstLine;
    return true;
}

}  // namespace ZV::Platform
