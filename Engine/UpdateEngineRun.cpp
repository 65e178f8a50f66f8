#include "Engine/UpdateEngine.h"

#include "Midi/MidiCapturePort.h"
#include "Midi/MidiRenderPort.h"
#include "Platform/Clock.h"
#include "Platform/PreciseSleep.h"
#include "Threading/WaitResults.h"
#include "Utilities/Storage/ZVFile.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>

using namespace ZV;

namespace {

constexpr ZVRESULT kCancelled = static_cast<ZVRESULT>(0x80004004u);
// Ends the message collected so far; it is itself the first byte of the next one.
constexpr std::uint8_t kMessageSplit = 0x0D;
constexpr std::uint32_t kNoTimeRemaining = 0xFFFFFFFF;

std::atomic<std::uint32_t> gFinalPollLimit{LUpdateEngine::kDefaultFinalPollLimit};

bool EndsMessage(std::uint8_t byte)
{
    return byte == kMessageSplit || byte == DeviceMessages::kSysExEnd;
}

// Walks the image as the sender does: true when it yields at least one message and no terminator comes with
// nothing collected before it.
bool YieldsWholeMessages(const FirmwareImageBytes& image)
{
    const std::uint8_t* bytes = image.GetData();
    std::uint32_t messages = 0;
    std::uint32_t bodyLength = 0;
    for (std::uint32_t index = 0; index < image.GetCount(); ++index) {
        const std::uint8_t byte = bytes[index];
        if (EndsMessage(byte)) {
            if (bodyLength == 0) {
                return false;
            }
            ++messages;
            bodyLength = 0;
            if (byte == DeviceMessages::kSysExEnd) {
                continue;
            }
        }
        if (byte != DeviceMessages::kSysExStart) {
            ++bodyLength;
        }
    }
    return messages > 0;
}

double Fraction(std::uint32_t done, std::uint32_t total)
{
    return std::min(1.0, static_cast<double>(done) / static_cast<double>(total));
}

}  // namespace

void LUpdateEngine::SetFinalPollLimit(std::uint32_t milliseconds)
{
    gFinalPollLimit.store(milliseconds);
}

std::uint32_t LUpdateEngine::GetFinalPollLimit()
{
    return gFinalPollLimit.load();
}

ZVRESULT LUpdateEngine::RunUpdate()
{
    SetUpdateStatus(kUpdateRunning);
    const std::int32_t index = GetSelectedDeviceIndex();
    DeviceDefinitionEx device;
    FirmwareImageBytes image;
    {
        DevicePorts ports;
        if (!GetFoundDevice(index, device) ||
            !OpenPorts(device.UpdateCapturePortName, device.UpdateRenderPortName, ports) ||
            Failed(ReadFirmwareImage(image))) {
            SetDeviceState(kDeviceUnusable);
            SetUpdateStatus(kUpdateFailed);
            return ZV_E_FAIL;
        }
    }
    const ZVRESULT sent = SendFileMessages(image, device.UpdateRenderPortName);
    if (Failed(sent)) {
        FailUpdate(index);
        return sent;
    }
    if (!PollUntilUpdateDone(device)) {
        FailUpdate(index);
        return ZV_E_FAIL;
    }
    if (!IsCancelRequested()) {
        SetUpdateStatus(kUpdateFinished);
        return sent;
    }
    SetUpdateStatus(kUpdateCancelled);
    SetDeviceState(kDeviceInUpdateMode);
    PostUpdateCompleted(false);
    return kCancelled;
}

ZVRESULT LUpdateEngine::SendFileMessages(const FirmwareImageBytes& image, const WideString& portName)
{
    DevicePorts ports;
    if (!OpenRenderPort(portName, ports) || !YieldsWholeMessages(image)) {
        return ZV_E_FAIL;
    }
    const std::uint8_t* bytes = image.GetData();
    const std::uint32_t total = image.GetCount();
    Array<std::uint8_t> body;
    for (std::uint32_t index = 0; index < total && !IsCancelRequested(); ++index) {
        const std::uint8_t byte = bytes[index];
        if (EndsMessage(byte)) {
            if (Failed(SendSysExBody(body, ports))) {
                return ZV_E_FAIL;
            }
            PostUpdateProgress(0, Fraction(index, total), true, kNoTimeRemaining, false);
            body.Clear();
            PauseAfterMessage();
            if (byte == DeviceMessages::kSysExEnd) {
                continue;
            }
        }
        if (byte != DeviceMessages::kSysExStart) {
            body.AddItem(byte);
        }
    }
    return IsCancelRequested() ? kCancelled : ZV_S_OK;
}

ZVRESULT LUpdateEngine::SendFileInChunks(const FirmwareImageBytes& image, const WideString& portName)
{
    DevicePorts ports;
    if (!OpenRenderPort(portName, ports)) {
        return ZV_E_FAIL;
    }
    const std::uint8_t* bytes = image.GetData();
    const std::uint32_t total = image.GetCount();
    for (std::uint32_t start = 0; start < total && !IsCancelRequested(); start += kChunkSize) {
        const std::uint32_t length = std::min<std::uint32_t>(kChunkSize, total - start);
        MidiMessageBytes chunk;
        if (chunk.SetCount(length) != static_cast<ZVRESULT>(length)) {
            return ZV_E_FAIL;
        }
        std::memcpy(chunk.GetData(), bytes + start, length);
        if (Failed(Send(ports, chunk))) {
            return ZV_E_FAIL;
        }
        PostUpdateProgress(0, Fraction(start + length, total), true, kNoTimeRemaining, false);
        PauseAfterMessage();
    }
    return IsCancelRequested() ? kCancelled : ZV_S_OK;
}

ZVRESULT LUpdateEngine::ReadFirmwareImage(FirmwareImageBytes& image) const
{
    WideString path;
    if (Failed(GetFirmwareFilePath(path))) {
        return ZV_E_FAIL;
    }
    try {
        File file;
        // The path as given: a relative one names the file that the file state was found by.
        if (file.Open(path, WideString(), File::kModeRead) < 0) {
            return ZV_E_FAIL;
        }
        const std::uint32_t length = file.GetLength();
        if (image.SetCount(length) != static_cast<ZVRESULT>(length)) {
            return ZV_E_FAIL;
        }
        // A short read would send zeros in place of the image.
        if (length != 0 && file.Read(image.GetData(), length, 0) != length) {
            return ZV_E_FAIL;
        }
    } catch (const std::exception&) {
        return ZV_E_FAIL;
    }
    return ZV_S_OK;
}

bool LUpdateEngine::PollUntilUpdateDone(const DeviceDefinitionEx& device)
{
    const std::uint32_t started = Platform::GetMillisecondTick();
    DevicePorts ports;
    for (;;) {
        if (!ports.Render) {
            OpenPorts(device.UpdateCapturePortName, device.UpdateRenderPortName, ports);
        }
        mUpdateDoneReplied.Reset();
        if (ports.Render && Failed(SendRequest(ports, DeviceMessages::Request::Status))) {
            // Opened afresh next round, in case the device went and came back.
            ports = DevicePorts();
        }
        if (mUpdateDoneReplied.Wait(kFinalPollInterval) == kWaitSignalled) {
            return true;
        }
        if (Platform::GetMillisecondTick() - started >= GetFinalPollLimit()) {
            return false;
        }
    }
}

ZVRESULT LUpdateEngine::SendSysExBody(const Array<std::uint8_t>& body, const DevicePorts& ports) const
{
    const std::uint32_t length = body.GetCount();
    MidiMessageBytes message;
    if (message.SetCount(length + 2) != static_cast<ZVRESULT>(length + 2)) {
        return ZV_E_FAIL;
    }
    auto* bytes = reinterpret_cast<std::uint8_t*>(message.GetData());
    bytes[0] = DeviceMessages::kSysExStart;
    std::memcpy(bytes + 1, body.GetData(), length);
    bytes[length + 1] = DeviceMessages::kSysExEnd;
    return Send(ports, message);
}

void LUpdateEngine::PauseAfterMessage() const
{
    Platform::SleepUntilMicroseconds(Platform::GetMicrosecondTime() + kPauseAfterMessageMicroseconds);
}

void LUpdateEngine::FailUpdate(std::int32_t index)
{
    SetUpdateStatus(kUpdateFailed);
    MarkFoundDeviceUnusable(index);
    SetDeviceState(kDeviceUnusable);
}
