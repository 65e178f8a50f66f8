#include "Engine/UpdateEngineInterface.h"

#include "EngineTestSupport.h"
#include "Threading/Event.h"
#include "Threading/WaitResults.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// A test engine whose devices and update are scripted; named like the framework's classes.
class LScriptedEngine final : public LUpdateEngineInterface {
public:
    struct Device {
        bool InUpdateMode = false;
        std::uint32_t ErrorCode = kDeviceErrorNone;
        std::uint32_t Build = 0;
    };

    static ZV::RCPtr<LScriptedEngine> Create() { return ZV::RCPtr<LScriptedEngine>(new LScriptedEngine); }

    ZVRESULT GetFoundDevices(ZV::Array<DeviceDefinition>& devices) const override
    {
        EXPECT_TRUE(ZV::Succeeded(devices.Clear()));
        for (std::size_t index = 0; index < mFound.size(); ++index) {
            EXPECT_TRUE(ZV::Succeeded(devices.AddItem(DeviceDefinition())));
        }
        return ZV::ZV_S_OK;
    }
    ZVRESULT RefreshSelectedDevice() override { return ZV::ZV_S_OK; }
    ZVRESULT EnterUpdateMode(const EnterRequestGate&) override { return ZV::ZV_E_FAIL; }
    ZVRESULT CancelUpdate() override
    {
        RequestCancel();
        return ZV::ZV_S_OK;
    }
    std::int32_t GetFoundDeviceCount() const override { return static_cast<std::int32_t>(mFound.size()); }
    bool IsFoundDeviceInUpdateMode(std::int32_t index) const override
    {
        return IsValidFoundIndex(index) && mFound[static_cast<std::size_t>(index)].InUpdateMode;
    }
    ZVRESULT GetFoundDeviceError(std::int32_t index, std::uint32_t& code) const override
    {
        code = IsValidFoundIndex(index) ? mFound[static_cast<std::size_t>(index)].ErrorCode : 0;
        return IsValidFoundIndex(index) ? ZV::ZV_S_OK : ZV::ZV_E_FAIL;
    }
    ZVRESULT GetFoundDeviceVersion(std::int32_t index, VersionRecord& version) const override
    {
        if (!IsValidFoundIndex(index)) {
            return ZV::ZV_E_FAIL;
        }
        version.Build = mFound[static_cast<std::size_t>(index)].Build;
        return ZV::ZV_S_OK;
    }

    // What the next scan finds.
    std::vector<Device> devicesToFind;
    // The update task; by default it succeeds at once.
    std::function<ZVRESULT(LScriptedEngine&)> run = [](LScriptedEngine&) { return ZV::ZV_S_OK; };

    using LUpdateEngineInterface::SetDeviceState;
    using LUpdateEngineInterface::SetUpdateStatus;

    void PostProgress(double fraction) { PostUpdateProgress(0, fraction, true, 0xFFFFFFFF, false); }

protected:
    ZVRESULT EnumerateDevices() override
    {
        mFound = devicesToFind;
        return ZV::ZV_S_OK;
    }
    ZVRESULT RunUpdate() override
    {
        SetUpdateStatus(kUpdateRunning);
        return run(*this);
    }

private:
    LScriptedEngine() = default;

    std::vector<Device> mFound;
};

namespace ZV::Testing {
namespace {

class UpdateEngineInterface : public EngineTest {
protected:
    // An engine with one definition, its file present, scanned to the given devices.
    RCPtr<LScriptedEngine> ScannedEngine(std::vector<LScriptedEngine::Device> devices)
    {
        RCPtr<LScriptedEngine> engine = LScriptedEngine::Create();
        engine->SetNotificationsEnabled(true);
        EXPECT_TRUE(ZV::Succeeded(engine->SetDeviceDefinitions(StandardDefinitions())));
        EXPECT_TRUE(
            ZV::Succeeded(engine->SetFirmwareFile(WideString(WriteFile("image.syx", MakeImage(1, 4)).c_str()))));
        engine->devicesToFind = std::move(devices);
        EXPECT_TRUE(ZV::Succeeded(engine->ScanForDevices()));
        return engine;
    }

    RCPtr<LEngineNotificationLog> mLog = LEngineNotificationLog::Create();
};

TEST_F(UpdateEngineInterface, StateChangesArePostedOnlyWhenTheyChangeOneFoundDeviceIsSelectedAndABadIndexSelectsNone)
{
    const RCPtr<LScriptedEngine> engine = ScannedEngine({{false, 0, 78000}});
    engine->SetDeviceState(LUpdateEngineInterface::kDeviceRunning);
    ASSERT_TRUE(ProcessNotificationsUntil([&] { return mLog->Count(kNidFirmwareFileStateChange) == 1; }));
    EXPECT_EQ(mLog->DeviceStateChanges(), (std::vector<std::string>{"1<-0", "5<-3"}))
        << "no change to 3 for a single device, and nothing for setting the current state again";
    EXPECT_EQ(engine->GetSelectedDeviceIndex(), 0);

    // Several devices found before any was chosen.
    const RCPtr<LScriptedEngine> several = ScannedEngine({{false, 0, 1}, {true, 0, 0}});
    EXPECT_EQ(several->GetDeviceState(), LUpdateEngineInterface::kDeviceNoneSelected);
    EXPECT_EQ(several->SelectDevice(1), ZV_S_OK);
    EXPECT_EQ(several->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode);
    EXPECT_EQ(several->SelectDevice(5), ZV_E_INVALIDARG);
    EXPECT_EQ(several->GetDeviceState(), LUpdateEngineInterface::kDeviceNoneSelected) << "past the found devices";
    EXPECT_EQ(several->SelectDevice(-1), ZV_E_INVALIDARG) << "a negative index is a very large one";

    several->devicesToFind = {{false, LUpdateEngineInterface::kDeviceErrorNoAccess, 1}};
    EXPECT_TRUE(ZV::Succeeded(several->ScanForDevices()));
    EXPECT_EQ(several->GetDeviceState(), LUpdateEngineInterface::kDeviceUnusable);
    std::uint32_t code = 0;
    EXPECT_EQ(several->GetSelectedDeviceError(code), ZV_S_OK);
    EXPECT_EQ(code, LUpdateEngineInterface::kDeviceErrorNoAccess);
}

TEST_F(UpdateEngineInterface, NotificationsOtherThanProgressWaitUntilTheFlagIsSet)
{
    const RCPtr<LScriptedEngine> engine = LScriptedEngine::Create();
    EXPECT_FALSE(engine->AreNotificationsEnabled()) << "a new engine keeps quiet until the window has subscribed";
    EXPECT_TRUE(ZV::Succeeded(engine->SetDeviceDefinitions(StandardDefinitions())));
    EXPECT_TRUE(ZV::Succeeded(engine->SetFirmwareFile(WideString(WriteFile("image.syx", MakeImage(1, 4)).c_str()))));
    engine->devicesToFind = {{true, 0, 0}};
    EXPECT_TRUE(ZV::Succeeded(engine->ScanForDevices()));
    engine->run = [](LScriptedEngine& self) {
        self.PostProgress(0.5);
        return ZV_S_OK;
    };
    ASSERT_EQ(engine->StartUpdate(), ZV_S_OK);
    ASSERT_EQ(engine->WaitForUpdate(kBoundedWait.count() * 1000), ZV_S_OK);
    ASSERT_TRUE(ProcessNotificationsUntil([&] { return mLog->Count(kNidFirmwareUpdateProgress) == 1; }));
    EXPECT_EQ(mLog->Entries.size(), 1u) << "only the progress was posted";

    engine->SetNotificationsEnabled(true);
    engine->SetDeviceState(LUpdateEngineInterface::kDeviceUnusable);
    ASSERT_TRUE(ProcessNotificationsUntil([&] { return mLog->Count(kNidDeviceStateChange) == 1; }));
    EXPECT_EQ(mLog->DeviceStateChanges(), (std::vector<std::string>{"4<-8"}));
}

TEST_F(UpdateEngineInterface, UpdateIsRefusedWithoutAFileOrOutsideUpdateModeAndNoTaskRuns)
{
    const RCPtr<LScriptedEngine> engine = ScannedEngine({{false, 0, 1}});
    int runs = 0;
    engine->run = [&runs](LScriptedEngine&) {
        ++runs;
        return ZV_S_OK;
    };
    EXPECT_EQ(engine->StartUpdate(), ZV_E_FAIL) << "a device running normally is not in update mode";

    engine->devicesToFind = {{true, 0, 0}};
    EXPECT_TRUE(ZV::Succeeded(engine->ScanForDevices()));
    const std::string missing = mFolder / "missing.syx";
    EXPECT_EQ(engine->SetFirmwareFile(WideString(missing.c_str())), ZV_E_FAIL);
    EXPECT_EQ(engine->GetFirmwareFileState(), LUpdateEngineInterface::kFileMissing);
    WideString text;
    EXPECT_EQ(engine->GetFirmwareFileVersionText(text), ZV_E_FAIL);
    EXPECT_EQ(text, "N/A");
    EXPECT_EQ(engine->StartUpdate(), ZV_E_FAIL);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode);
    EXPECT_EQ(engine->WaitForUpdate(1000), ZV_S_OK) << "nothing runs, so there is nothing to wait for";
    EXPECT_EQ(runs, 0);
}

TEST_F(UpdateEngineInterface, WaitRightAfterStartWaitsForTheTaskAndAFinalStatusCanBeReset)
{
    const RCPtr<LScriptedEngine> engine = ScannedEngine({{true, 0, 0}});
    TrafficLight release;
    engine->run = [&release](LScriptedEngine&) {
        release.Wait(kWaitInfinite);
        return ZV_E_FAIL;
    };
    ASSERT_EQ(engine->StartUpdate(), ZV_S_OK);
    EXPECT_EQ(engine->WaitForUpdate(0), ZV_E_FAIL) << "a task handed over but not yet begun is running";
    EXPECT_EQ(engine->GetUpdateStatus(true), LUpdateEngineInterface::kUpdateRunning);
    EXPECT_EQ(engine->GetUpdateStatus(true), LUpdateEngineInterface::kUpdateRunning) << "running is not reset";
    release.Set();
    ASSERT_EQ(engine->WaitForUpdate(kBoundedWait.count() * 1000), ZV_S_OK);
    ASSERT_TRUE(ProcessNotificationsUntil([&] { return mLog->Count(kNidFirmwareUpdateCompleted) == 1; }));
    EXPECT_FALSE(mLog->Entries.back().Success);
    engine->SetUpdateStatus(LUpdateEngineInterface::kUpdateFailed);
    EXPECT_EQ(engine->GetUpdateStatus(true), LUpdateEngineInterface::kUpdateFailed);
    EXPECT_EQ(engine->GetUpdateStatus(true), LUpdateEngineInterface::kUpdateIdle);
}

TEST_F(UpdateEngineInterface, StartRefusedByABusyWorkerLeavesTheDeviceInUpdateMode)
{
    const RCPtr<LScriptedEngine> engine = ScannedEngine({{true, 0, 0}});
    TrafficLight entered;
    TrafficLight release;
    // As after a cancel during the final poll: the task has given the device back but has not ended yet.
    engine->run = [&](LScriptedEngine& self) {
        self.SetDeviceState(LUpdateEngineInterface::kDeviceInUpdateMode);
        entered.Set();
        release.Wait(kWaitInfinite);
        return ZV_S_OK;
    };
    ASSERT_EQ(engine->StartUpdate(), ZV_S_OK);
    ASSERT_EQ(entered.Wait(kBoundedWait.count() * 1000), kWaitSignalled);
    EXPECT_EQ(engine->StartUpdate(), ZV_E_FAIL);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode)
        << "a refused start must not leave the updating state behind, or the program could never end";
    release.Set();
    EXPECT_EQ(engine->WaitForUpdate(kBoundedWait.count() * 1000), ZV_S_OK);
}

}  // namespace
}  // namespace ZV::Testing
