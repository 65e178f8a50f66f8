#pragma once

#include "Engine/UpdateEngineInterface.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ZV::Testing {

// An update engine whose answers the test sets: its device, file and update states are the engine's own (so that
// changing them posts what a real engine posts, while its notifications are on), and the versions, whether an update
// is available and why the device cannot be used are given. Every operation the window asks for is written down;
// by default it changes nothing and succeeds, unless the test hands it a step of its own.
class LScriptedEngine : public ::LUpdateEngineInterface {
public:
    // A step of the script: it may change the states, and answers the operation's result.
    using Step = std::function<ZVRESULT(LScriptedEngine& engine)>;

    static ZV::RCPtr<LScriptedEngine> Create();

    void SetDevice(std::int32_t state) { SetDeviceState(state); }
    void SetFile(std::int32_t state) { SetFirmwareFileState(state); }
    void SetResult(std::int32_t status) { SetUpdateStatus(status); }
    void SetUpdateAvailable(bool available) { mUpdateAvailable = available; }
    // Read only while the device is unusable, as the engine does.
    void SetCannotUpdateReason(std::uint32_t reason) { mReason = reason; }
    // The device's version can be read from device state 4 on, when it is known.
    void SetDeviceVersionKnown(bool known) { mDeviceVersionKnown = known; }
    static constexpr const wchar_t* kDeviceVersion = L"78500";
    static constexpr const wchar_t* kFileVersion = L"78822";

    void OnScan(Step step) { mScan = std::move(step); }
    void OnRefresh(Step step) { mRefresh = std::move(step); }
    void OnEnterUpdateMode(Step step) { mEnterUpdateMode = std::move(step); }
    void OnStartUpdate(Step step) { mStartUpdate = std::move(step); }

    // The operations asked for so far ("ScanForDevices", "SelectDevice 0", "SetFirmwareFile <path>", ...); Take
    // empties the list.
    std::vector<std::string> TakeCalls();
    std::size_t CountCalls(const std::string& call) const;

    bool IsUpdateAvailable() const override { return mUpdateAvailable; }
    // A running device that needs the update runs another build than the file's.
    bool RunsOtherBuildThanFile() const override { return mUpdateAvailable && GetDeviceState() == kDeviceRunning; }
    [[nodiscard]] ZVRESULT GetSelectedDeviceError(std::uint32_t& code) const override;
    [[nodiscard]] ZVRESULT GetDeviceFirmwareVersionText(ZV::WideString& text) const override;
    [[nodiscard]] ZVRESULT GetFirmwareFileVersionText(ZV::WideString& text) const override;
    [[nodiscard]] ZVRESULT ScanForDevices() override;
    [[nodiscard]] ZVRESULT SelectDevice(std::int32_t index) override;
    [[nodiscard]] ZVRESULT RefreshSelectedDevice() override;
    // The gate is asked before the step runs; a request it keeps back runs no step.
    using LUpdateEngineInterface::EnterUpdateMode;
    [[nodiscard]] ZVRESULT EnterUpdateMode(const EnterRequestGate& mayGo) override;
    [[nodiscard]] ZVRESULT StartUpdate() override;
    [[nodiscard]] ZVRESULT SetFirmwareFile(const ZV::WideString& path) override;
    // The scripted file is always fit to send; the check is not written down.
    [[nodiscard]] ZVRESULT CheckFirmwareFile() override { return ZV_S_OK; }
    [[nodiscard]] ZVRESULT CancelUpdate() override;
    [[nodiscard]] ZVRESULT GetFoundDevices(ZV::Array<DeviceDefinition>& devices) const override;
    std::int32_t GetFoundDeviceCount() const override { return 0; }
    bool IsFoundDeviceInUpdateMode(std::int32_t) const override { return false; }
    [[nodiscard]] ZVRESULT GetFoundDeviceError(std::int32_t index, std::uint32_t& code) const override;
    [[nodiscard]] ZVRESULT GetFoundDeviceVersion(std::int32_t index, VersionRecord& version) const override;

    // Posts the completion as the engine's worker does when an update ends.
    void ReportCompletion(bool success) { PostUpdateCompleted(success); }
    void ReportProgress(double fraction, bool estimate, std::uint32_t secondsRemaining)
    {
        PostUpdateProgress(0, fraction, estimate, secondsRemaining, false);
    }

protected:
    [[nodiscard]] ZVRESULT EnumerateDevices() override { return 0; }
    [[nodiscard]] ZVRESULT RunUpdate() override { return 0; }

private:
    LScriptedEngine() = default;

    ZVRESULT Run(const std::string& call, const Step& step);

    bool mUpdateAvailable = false;
    std::uint32_t mReason = 0;
    bool mDeviceVersionKnown = true;
    Step mScan;
    Step mRefresh;
    Step mEnterUpdateMode;
    Step mStartUpdate;
    std::vector<std::string> mCalls;
};

}  // namespace ZV::Testing
