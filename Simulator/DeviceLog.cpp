#include "Simulator/DeviceLog.h"

#include "Platform/CheckedFolder.h"
#include "Platform/FileSystem.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace ZV::Simulator {

namespace {

// The file, made or emptied, reached only through folders and links that nobody but the user and root can change:
// root, whose tests name it, never writes through a link that another user put at its name. -1 when it cannot be had,
// with the reason when another user's hand is in the way.
int OpenLogFile(const std::string& path, std::string& refusal)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    std::string name;
    const Platform::CheckedFolder folder = Platform::CheckedFolder::OpenFileFolder(
        error ? path : absolute.string(), Platform::CheckedFolder::Missing::refuse, name);
    if (folder.IsUnsafe()) {
        refusal = folder.GetRefusal();
    }
    return folder.IsOpen() ? Platform::OpenFileForWritingIn(folder, name) : -1;
}

}  // namespace

DeviceLog::DeviceLog(const std::string& path, SimulatorClock::time_point start) : mStart(start)
{
    if (path.empty()) {
        return;
    }
    std::string refusal;
    mDescriptor = OpenLogFile(path, refusal);
    if (mDescriptor < 0) {
        throw std::invalid_argument("ZV_SIM_LOG is \"" + path + "\"; expected a file that can be written" +
                                    (refusal.empty() ? "" : " (it " + refusal + ")"));
    }
}

DeviceLog::~DeviceLog()
{
    if (mDescriptor >= 0) {
        (void)Platform::CloseFile(mDescriptor);
    }
}

void DeviceLog::Received(const MidiBytes& message)
{
    if (IsWriting()) {
        Write("RX", FormatHexBytes(message));
    }
}

void DeviceLog::Sent(const MidiBytes& message)
{
    if (IsWriting()) {
        Write("TX", FormatHexBytes(message));
    }
}

void DeviceLog::State(std::string_view stateName)
{
    Write("STATE", stateName);
}

void DeviceLog::Mark(std::string_view kind, std::string_view text)
{
    Write(kind, text);
}

void DeviceLog::Write(std::string_view kind, std::string_view text)
{
    if (mDescriptor < 0) {
        return;
    }
    const long long microseconds =
        std::chrono::duration_cast<std::chrono::microseconds>(SimulatorClock::now() - mStart).count();
    std::string line = std::to_string(microseconds);
    line.append(" ").append(kind).append(" ").append(text).append("\n");
    // One write a line: a reader never sees half of one.
    (void)Platform::WriteFile(mDescriptor, line.data(), line.size());
}

}  // namespace ZV::Simulator
