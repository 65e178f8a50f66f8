#include "UI/ScriptedEngine.h"

#include <algorithm>
#include <utility>

namespace ZV::Testing {

RCPtr<LScriptedEngine> LScriptedEngine::Create()
{
    return RCPtr<LScriptedEngine>(new LScriptedEngine());
}

std::vector<std::string> LScriptedEngine::TakeCalls()
{
    return std::exchange(mCalls, {});
}

std::size_t LScriptedEngine::CountCalls(const std::string& call) const
{
    return static_cast<std::size_t>(std::count(mCalls.begin(), mCalls.end(), call));
}

ZVRESULT LScriptedEngine::Run(const std::string& call, const Step& step)
{
    mCalls.push_back(call);
    return step ? step(*this) : ZV_S_OK;
}

ZVRESULT LScriptedEngine::GetSelectedDeviceError(std::uint32_t& code) const
{
    const bool unusable = GetDeviceState() == kDeviceUnusable;
    code = unusable ? mReason : 0;
    return unusable ? ZV_S_OK : ZV_E_FAIL;
}

ZVRESULT LScriptedEngine::GetDeviceFirmwareVersionText(WideString& text) const
{
    text = L"N/A";
    if (GetDeviceState() < kDeviceUnusable || !mDeviceVersionKnown) {
        return ZV_E_FAIL;
    }
    text = kDeviceVersion;
    return ZV_S_OK;
}

ZVRESULT LScriptedEngine::GetFirmwareFileVersionText(WideString& text) const
{
    const bool present = GetFirmwareFileState() >= kFilePresent;
    text = present ? kFileVersion : L"N/A";
    return present ? ZV_S_OK : ZV_E_FAIL;
}

ZVRESULT LScriptedEngine::ScanForDevices()
{
    return Run("ScanForDevices", mScan);
}

ZVRESULT LScriptedEngine::SelectDevice(std::int32_t index)
{
    return Run("SelectDevice " + std::to_string(index), {});
}

ZVRESULT LScriptedEngine::RefreshSelectedDevice()
{
    return Run("RefreshSelectedDevice", mRefresh);
}

ZVRESULT LScriptedEngine::EnterUpdateMode(const EnterRequestGate& mayGo)
{
    if (mayGo && !mayGo()) {
        return kEnterRequestKeptBack;
    }
    return Run("EnterUpdateMode", mEnterUpdateMode);
}

ZVRESULT LScriptedEngine::StartUpdate()
{
    return Run("StartUpdate", mStartUpdate);
}

ZVRESULT LScriptedEngine::SetFirmwareFile(const WideString& path)
{
    return Run("SetFirmwareFile " + std::string(path.ToUTF8().GetData()), {});
}

ZVRESULT LScriptedEngine::CancelUpdate()
{
    return Run("CancelUpdate", {});
}

ZVRESULT LScriptedEngine::GetFoundDevices(Array<DeviceDefinition>&) const
{
    return ZV_S_OK;
}

ZVRESULT LScriptedEngine::GetFoundDeviceError(std::int32_t, std::uint32_t& code) const
{
    code = mReason;
    return ZV_S_OK;
}

ZVRESULT LScriptedEngine::GetFoundDeviceVersion(std::int32_t, VersionRecord&) const
{
    return ZV_E_FAIL;
}

}  // namespace ZV::Testing
