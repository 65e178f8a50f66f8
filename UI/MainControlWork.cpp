#include "UI/MainControl.h"

#include "Controls/Button.h"
#include "Notification/NotificationCenterManager.h"

#include <exception>
#include <memory>
#include <utility>

namespace ZV {

namespace {

using Engine = ::LUpdateEngineInterface;

}  // namespace

void LMainControl::RunEngineWork(const WideString& waitText, ::LUpdateProcessor::ExitDuringWork exit, EngineWork work,
                                 EngineWorkContinuation continuation)
{
    if (!mUpdateProcessor || mEngineWork.IsUnderWay()) {
        return;
    }
    mEngineWorkCursor.emplace(waitText, GetRootWindowRef(), LWaitCursor::Caller::kGoesOn);
    // A button that ends nothing would mislead: it comes back with the engine.
    mExitHiddenForWork = exit != ::LUpdateProcessor::ExitDuringWork::kEndsWork && mButtonExit->IsVisible(false);
    if (mExitHiddenForWork) {
        (void)mButtonExit->SetVisible(false);
    }
    const auto found = std::make_shared<bool>(false);
    mAfterEngineWork = [continuation = std::move(continuation), found] { continuation(*found); };
    // Each idle pass looks whether the work has ended; the window's timer keeps them coming.
    (void)BeginIdleNotifications();
    mUpdateProcessor->BeginEngineWork(exit);
    try {
        (void)mEngineWork.Start(
            [work = std::move(work), found](const std::atomic<bool>& stopRequested) { *found = work(stopRequested); });
    } catch (...) {
        mAfterEngineWork = nullptr;
        GiveEngineBack();
        throw;
    }
}

void LMainControl::FinishEngineWork()
{
    // What the engine reported from the work's thread is dropped as it comes while the work runs, and the last of it
    // may still wait: the continuation reads the engine itself.
    (void)GetApplicationNotificationCenter()->ProcessNotifications(false);
    const std::exception_ptr failure = mEngineWork.Finish();
    const std::function<void()> continuation = std::exchange(mAfterEngineWork, nullptr);
    GiveEngineBack();
    if (failure) {
        std::rethrow_exception(failure);
    }
    continuation();
}

void LMainControl::GiveEngineBack()
{
    mUpdateProcessor->EndEngineWork();
    (void)EndIdleNotifications();
    mEngineWorkCursor.reset();
    if (std::exchange(mExitHiddenForWork, false)) {
        (void)mButtonExit->SetVisible(true);
    }
}

void LMainControl::OnIdle(const RCPtr<LNotification>&)
{
    if (mEngineWork.IsUnderWay()) {
        if (mEngineWork.HasEnded()) {
            FinishEngineWork();
        }
        return;
    }
    if (!std::exchange(mLookAtEngineAtIdle, false)) {
        return;
    }
    (void)EndIdleNotifications();
    if (mEarlyCompletion == EarlyCompletion::kUnheard) {
        mEarlyCompletion = EarlyCompletion::kTaken;
        FollowSuccessfulUpdate();
        return;
    }
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (engine && engine->GetDeviceState() == Engine::kDeviceEnteringUpdateMode && !mButtonManualDeviceReadyForUpdate) {
        WaitForUpdateModeThenStart(false);
    }
}

void LMainControl::ShowLookingForDevice(std::int32_t fileState)
{
    UpdateDisplay(Engine::kUpdateIdle, Engine::kDeviceBusy, fileState);
}

void LMainControl::FollowLook()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (engine && engine->GetDeviceState() == Engine::kDeviceNoneSelected) {
        // The engine's report of several devices came while the engine was the work's.
        mUpdateProcessor->SelectFirstOfSeveralDevices();
    }
    UpdateDisplayFromEngine();
}

}  // namespace ZV
