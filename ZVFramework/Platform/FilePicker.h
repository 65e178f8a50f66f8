#pragma once

#include "Platform/EventSource.h"

#include <memory>
#include <string>
#include <vector>

namespace ZV::Platform {

// One entry of a picker's list of file types: what the user reads, and the name patterns it shows ("*.syx").
struct FilePickerFilter {
    std::string description;
    std::vector<std::string> patterns;
};

// What the picker is asked; texts are UTF-8.
struct FilePickerRequest {
    std::string title;
    // Where the picker opens; empty for the current folder.
    std::string folder;
    std::vector<FilePickerFilter> filters;
    bool multiple = false;
};

// The desktop's file picker, run as a program of its own: the one that $ZV_OPEN_FILE_HELPER names, else zenity,
// else kdialog, found on the PATH. Each is given the title, the folder and the filter in its own syntax; a helper
// takes zenity's, or kdialog's when its file is named kdialog. The picker's output is read as it comes, as one of
// the loop's event sources, while the caller runs the loop until the picker has ended. User-interface thread only.
class FilePickerProcess final : public IEventSource {
public:
    // Null when there is no picker or it could not be started; error then says why, in a sentence for the user.
    static std::unique_ptr<FilePickerProcess> Start(const FilePickerRequest& request, std::string& error);
    FilePickerProcess(const FilePickerProcess&) = delete;
    FilePickerProcess& operator=(const FilePickerProcess&) = delete;
    // Ends a picker that still runs.
    ~FilePickerProcess();

    // False once the picker has ended; what it printed by then has been read.
    bool IsRunning();
    // Ends the picker at once and waits for its end.
    void Stop();
    // The path the picker printed first, when it ended by choosing one (exit status 0); false otherwise.
    bool GetChosenPath(std::string& path) const;

    int GetDescriptor() const override { return mOutput; }
    bool HasPendingEvent() override;
    bool DispatchEvent() override;

private:
    FilePickerProcess(int process, int output) : mProcess(process), mOutput(output) {}

    void ReadOutput();
    void CloseOutput();

    int mProcess;
    int mOutput;
    bool mEnded = false;
    int mExitStatus = -1;
    // Up to the end of the first line: the first path chosen.
    std::string mFirstLine;
    bool mFirstLineComplete = false;
};

}  // namespace ZV::Platform
