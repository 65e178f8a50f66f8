#include "Engine/UpdateNotificationData.h"

namespace ZV {

LDeviceStateChangeNotificationData::LDeviceStateChangeNotificationData(std::int32_t newState, std::int32_t oldState)
    : mNewState(newState), mOldState(oldState)
{
}

RCPtr<LDeviceStateChangeNotificationData> LDeviceStateChangeNotificationData::Create(std::int32_t newState,
                                                                                     std::int32_t oldState)
{
    return RCPtr<LDeviceStateChangeNotificationData>(new LDeviceStateChangeNotificationData(newState, oldState));
}

LFirmwareFileStateChangeNotificationData::LFirmwareFileStateChangeNotificationData(std::int32_t newState,
                                                                                   std::int32_t oldState)
    : mNewState(newState), mOldState(oldState)
{
}

RCPtr<LFirmwareFileStateChangeNotificationData> LFirmwareFileStateChangeNotificationData::Create(
    std::int32_t newState, std::int32_t oldState)
{
    return RCPtr<LFirmwareFileStateChangeNotificationData>(
        new LFirmwareFileStateChangeNotificationData(newState, oldState));
}

LFirmwareUpdateProgressNotificationData::LFirmwareUpdateProgressNotificationData(std::uint32_t stage, double fraction,
                                                                                 std::uint32_t timeRemaining,
                                                                                 bool estimate, bool last)
    : mStage(stage), mFraction(fraction), mTimeRemaining(timeRemaining), mEstimate(estimate), mLast(last)
{
}

RCPtr<LFirmwareUpdateProgressNotificationData> LFirmwareUpdateProgressNotificationData::Create(
    std::uint32_t stage, double fraction, std::uint32_t timeRemaining, bool estimate, bool last)
{
    return RCPtr<LFirmwareUpdateProgressNotificationData>(
        new LFirmwareUpdateProgressNotificationData(stage, fraction, timeRemaining, estimate, last));
}

LFirmwareUpdateCompletedNotificationData::LFirmwareUpdateCompletedNotificationData(bool success) : mSuccess(success)
{
}

RCPtr<LFirmwareUpdateCompletedNotificationData> LFirmwareUpdateCompletedNotificationData::Create(bool success)
{
    return RCPtr<LFirmwareUpdateCompletedNotificationData>(new LFirmwareUpdateCompletedNotificationData(success));
}

ConstRCPtr<LRefCountedObject> GetFoundDeviceListChangeData()
{
    static const ConstRCPtr<LRefCountedObject> data(new LRefCountedObject());
    return data;
}

}  // namespace ZV
