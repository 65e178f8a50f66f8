#pragma once

#include "ObjectBase/RefCountedObject.h"

#include <cstdint>

// The notifications of the update engine, posted to the "application" notification centre, and their records.
namespace ZV {

inline constexpr const wchar_t* kNidDeviceStateChange = L"NID_DEVICE_STATE_CHANGE";
inline constexpr const wchar_t* kNidFirmwareFileStateChange = L"NID_FIRMWARE_FILE_STATE_CHANGE";
inline constexpr const wchar_t* kNidFoundDeviceListChange = L"NID_FOUND_DEVICE_LIST_CHANGE";
inline constexpr const wchar_t* kNidFirmwareUpdateProgress = L"NID_FIRMWARE_UPDATE_PROGRESS";
inline constexpr const wchar_t* kNidFirmwareUpdateCompleted = L"NID_FIRMWARE_UPDATE_COMPLETED";

class LDeviceStateChangeNotificationData : public virtual LRefCountedObject {
public:
    static RCPtr<LDeviceStateChangeNotificationData> Create(std::int32_t newState, std::int32_t oldState);

    std::int32_t GetNewState() const { return mNewState; }
    std::int32_t GetOldState() const { return mOldState; }

private:
    LDeviceStateChangeNotificationData(std::int32_t newState, std::int32_t oldState);

    std::int32_t mNewState;
    std::int32_t mOldState;
};

class LFirmwareFileStateChangeNotificationData : public virtual LRefCountedObject {
public:
    static RCPtr<LFirmwareFileStateChangeNotificationData> Create(std::int32_t newState, std::int32_t oldState);

    std::int32_t GetNewState() const { return mNewState; }
    std::int32_t GetOldState() const { return mOldState; }

private:
    LFirmwareFileStateChangeNotificationData(std::int32_t newState, std::int32_t oldState);

    std::int32_t mNewState;
    std::int32_t mOldState;
};

class LFirmwareUpdateProgressNotificationData : public virtual LRefCountedObject {
public:
    static RCPtr<LFirmwareUpdateProgressNotificationData> Create(std::uint32_t stage, double fraction,
                                                                 std::uint32_t timeRemaining, bool estimate,
                                                                 bool last);

    std::uint32_t GetStage() const { return mStage; }
    // 0.0 to 1.0.
    double GetFraction() const { return mFraction; }
    std::uint32_t GetTimeRemaining() const { return mTimeRemaining; }
    // True: the receiver estimates the time remaining itself and ignores the one given.
    bool IsEstimate() const { return mEstimate; }
    bool IsLast() const { return mLast; }

private:
    LFirmwareUpdateProgressNotificationData(std::uint32_t stage, double fraction, std::uint32_t timeRemaining,
                                            bool estimate, bool last);

    std::uint32_t mStage;
    double mFraction;
    std::uint32_t mTimeRemaining;
    bool mEstimate;
    bool mLast;
};

class LFirmwareUpdateCompletedNotificationData : public virtual LRefCountedObject {
public:
    static RCPtr<LFirmwareUpdateCompletedNotificationData> Create(bool success);

    bool IsSuccess() const { return mSuccess; }

private:
    explicit LFirmwareUpdateCompletedNotificationData(bool success);

    bool mSuccess;
};

// The one record that "NID_FOUND_DEVICE_LIST_CHANGE" carries: it holds nothing, and every post shares it.
ConstRCPtr<LRefCountedObject> GetFoundDeviceListChangeData();

}  // namespace ZV
