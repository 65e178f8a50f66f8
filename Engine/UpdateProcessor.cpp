#include "Engine/UpdateProcessor.h"

#include "ObjectBase/Exception.h"
#include "Platform/Clock.h"
#include "Platform/VersionInfo.h"
#include "Utilities/Debug/DebugOutput.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/CommandLineArguments.h"
#include "Utilities/Storage/ZVFile.h"

#include <atomic>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

using namespace ZV;

namespace {

constexpr wchar_t kQuote = L'"';
constexpr const wchar_t* kDefaultFirmwareFileName = L"QR27C_AppAndAssets.syx";
constexpr std::int32_t kDeviceTypeCount = 2;

std::atomic<std::uint32_t> gUpdateModeEntryWait{LUpdateProcessor::kDefaultUpdateModeEntryWait};
std::atomic<std::uint32_t> gSilentUpdateWait{LUpdateProcessor::kDefaultSilentUpdateWait};

// Empty when the folder's name is not UTF-8 text: cut by the conversion, it would be another folder.
WideString GetProgramFolder()
{
    const std::string program = Platform::GetModuleFileName(Platform::kProgramModule);
    WideString text;
    if (Failed(text.AssignFromUTF8(program.c_str(), -1)) || program != text.ToUTF8().GetData()) {
        return WideString();
    }
    return File::GetParentFolder(text);
}

WideString RemoveEnclosingQuotes(const WideString& value)
{
    const int length = static_cast<int>(value.GetLength());
    if (length == 0 || value.GetData()[0] != kQuote) {
        return value;
    }
    const bool closed = length >= 2 && value.GetData()[length - 1] == kQuote;
    return value.Mid(1, static_cast<std::uint32_t>(closed ? length - 2 : length - 1));
}

}  // namespace

LUpdateProcessor::LUpdateProcessor(MidiCommFactory midiFactory) : mMidiFactory(std::move(midiFactory))
{
}

LUpdateProcessor::~LUpdateProcessor() = default;

ZVRESULT LUpdateProcessor::Initialize(const WideString& commandLine, WindowedStart windowedStart)
{
    mStartHeld = false;
    mUpdateOnItsWay.store(false);
    WideString value;
    if (mCommandLine.IsEmpty()) {
        mCommandLine = commandLine;
        if (FindSwitch(commandLine, L"-ALWAYS_UPDATE", value)) {
            mAllowDowngrade = true;
        }
    }
    mEngine = mEngineFactory ? mEngineFactory() : CreateUpdateEngine(mMidiFactory);
    ZV_THROW_IF_FAILED(mEngine->Initialize(commandLine));
    // A file that is not there is the file state the window shows.
    (void)mEngine->SetFirmwareFile(ChooseFirmwareFile(commandLine));
    if (mEngine->GetDeviceState() == LUpdateEngineInterface::kDeviceNoDefinitions) {
        DefineDevices();
    }
    if (mEngine->GetDeviceState() == LUpdateEngineInterface::kDeviceNotFound) {
        (void)mEngine->ScanForDevices();
    }
    return FollowSwitches(commandLine, windowedStart);
}

ZVRESULT LUpdateProcessor::Reinitialize()
{
    return Initialize(mCommandLine, WindowedStart::kHeldForWindow);
}

bool LUpdateProcessor::IsNotUpdating() const
{
    if (IsUpdateOnItsWay()) {
        return false;
    }
    if (IsEngineWorkUnderWay()) {
        switch (mExitDuringWork.load()) {
        case ExitDuringWork::kDropped:
            return false;
        case ExitDuringWork::kEndsWork:
            return true;
        case ExitDuringWork::kEndsWorkUntilUpdateOnItsWay:
            // The work keeps the engine it began with: the update it started runs there.
            break;
        }
    }
    return !mEngine || mEngine->GetDeviceState() != LUpdateEngineInterface::kDeviceUpdating;
}

bool LUpdateProcessor::GrantEnd()
{
    MutexLock lock(mEndLock);
    if (!mEndGranted) {
        mEndGranted = IsNotUpdating();
    }
    return mEndGranted;
}

bool LUpdateProcessor::TakeUpdateOnItsWay()
{
    MutexLock lock(mEndLock);
    if (mEndGranted || (mEndAskedCheck && mEndAskedCheck())) {
        return false;
    }
    mUpdateOnItsWay.store(true);
    return true;
}

void LUpdateProcessor::TellUpdateUnderWay() const
{
    if (mUpdateUnderWayListener) {
        mUpdateUnderWayListener();
    }
}

const RCPtr<LUpdateEngineInterface>& LUpdateProcessor::GetEngine() const
{
    static const RCPtr<LUpdateEngineInterface> kNoEngine;
    return IsEngineWorkUnderWay() ? kNoEngine : mEngine;
}

ZVRESULT LUpdateProcessor::SetAllowDowngrade(bool allow)
{
    return mAllowDowngrade.exchange(allow) == allow ? ZV_S_FALSE : ZV_S_OK;
}

bool LUpdateProcessor::FindSwitch(const WideString& commandLine, const WideString& name, WideString& value)
{
    value.Empty();
    const std::wstring_view wanted(name.GetData(), name.GetLength());
    if (wanted.size() < 2 || wanted.front() != L'-') {
        return false;
    }
    const bool takesValue = wanted.back() == L'=';
    CommandLineSplitter<wchar_t> arguments(std::wstring_view(commandLine.GetData(), commandLine.GetLength()));
    WideString argument;
    while (arguments.Next(argument)) {
        const std::wstring_view text(argument.GetData(), argument.GetLength());
        if (!BeginsWithSwitchName(text, wanted)) {
            continue;
        }
        if (takesValue) {
            value = RemoveEnclosingQuotes(argument.MidToEnd(static_cast<int>(wanted.size())));
            return true;
        }
        // Only the whole name counts: "-SILENT" is not "-SILENT_IF_UPDATE_NOT_NEEDED".
        if (text.size() == wanted.size()) {
            return true;
        }
    }
    return false;
}

WideString LUpdateProcessor::GetPortNameForDeviceType(std::int32_t type)
{
    switch (type) {
    case 0:
        return WideString(L"Halvista Left");
    case 1:
        return WideString(L"VT5 Display Left");
    default:
        return WideString();
    }
}

WideString LUpdateProcessor::ChooseFirmwareFile(const WideString& commandLine) const
{
    WideString value;
    if (FindSwitch(commandLine, L"-ABSOLUTE_FIRMWARE_FILE_PATH=", value)) {
        return value;
    }
    const bool named = FindSwitch(commandLine, L"-FIRMWARE_IMAGE_NAME=", value);
    const WideString folder = GetProgramFolder();
    // A name switch without a name names no file, rather than the folder or another file; nor does a name in a folder
    // that cannot be named.
    if ((named && value.IsEmpty()) || folder.IsEmpty()) {
        return WideString();
    }
    return folder + WideString(kPathSep) + (named ? value : WideString(kDefaultFirmwareFileName));
}

void LUpdateProcessor::DefineDevices()
{
    Array<LUpdateEngineInterface::DeviceDefinition> definitions;
    for (std::int32_t type = 0; type < kDeviceTypeCount; ++type) {
        LUpdateEngineInterface::DeviceDefinition definition;
        const WideString portName = GetPortNameForDeviceType(type);
        definition.NormalCapturePortName = portName;
        definition.UpdateCapturePortName = portName;
        definition.NormalRenderPortName = portName;
        definition.UpdateRenderPortName = portName;
        ZV_THROW_IF_FAILED(definitions.AddItem(definition));
    }
    ZV_THROW_IF_FAILED(mEngine->SetDeviceDefinitions(definitions));
}

void LUpdateProcessor::SetUpdateModeEntryWait(std::uint32_t milliseconds)
{
    gUpdateModeEntryWait.store(milliseconds);
}

std::uint32_t LUpdateProcessor::GetUpdateModeEntryWait()
{
    return gUpdateModeEntryWait.load();
}

void LUpdateProcessor::SetSilentUpdateWait(std::uint32_t milliseconds)
{
    gSilentUpdateWait.store(milliseconds);
}

std::uint32_t LUpdateProcessor::GetSilentUpdateWait()
{
    return gSilentUpdateWait.load();
}

ZVRESULT LUpdateProcessor::EnterUpdateMode()
{
    // On its way at the last moment before the request goes, so that no end is granted while it goes, and a request
    // to end that came first always keeps the device as it is.
    const ZVRESULT entered = mEngine->EnterUpdateMode([this] { return TakeUpdateOnItsWay(); });
    if (Failed(entered)) {
        GiveUpUpdateOnItsWay();
    } else {
        TellUpdateUnderWay();
    }
    return entered;
}

ZVRESULT LUpdateProcessor::StartUpdate()
{
    if (!IsUpdateOnItsWay() && !TakeUpdateOnItsWay()) {
        return ZV_E_FAIL;
    }
    const ZVRESULT started = mEngine->StartUpdate();
    // Only once the engine runs it: until then the program's end could come between.
    GiveUpUpdateOnItsWay();
    if (Succeeded(started)) {
        TellUpdateUnderWay();
    }
    return started;
}

ZVRESULT LUpdateProcessor::WaitForDeviceToEnterUpdateMode(const std::atomic<bool>* stopRequested)
{
    LUpdateEngineInterface& engine = *mEngine;
    for (std::uint32_t elapsed = 0; elapsed < GetUpdateModeEntryWait() && !(stopRequested && stopRequested->load());
         elapsed += kUpdateModeEntryTurn) {
        Platform::SleepMilliseconds(kUpdateModeEntryTurn);
        (void)engine.ScanForDevices();
        if (Succeeded(engine.RefreshSelectedDevice()) &&
            engine.GetDeviceState() == LUpdateEngineInterface::kDeviceInUpdateMode) {
            return ZV_S_OK;
        }
        if (engine.GetDeviceState() == LUpdateEngineInterface::kDeviceUnusable) {
            // A device on its way is never unusable: one that cannot be told from another is what came back.
            return ZV_E_FAIL;
        }
    }
    return ZV_E_FAIL;
}

void LUpdateProcessor::SelectFirstOfSeveralDevices()
{
    (void)mEngine->SelectDevice(0);
    if (mSeveralDevicesReported.exchange(true)) {
        return;
    }
    MutexLock lock(GetDebugOutputLock());
    GetDebugOutput().GetNarrowTarget() << "Multiple devices found. Handling multiple devices is not implemented. Only "
                                          "the first connected device will be updated."
                                       << std::endl;
}

bool LUpdateProcessor::IsUpdateWanted() const
{
    return mEngine->IsUpdateAvailable() || mAllowDowngrade;
}

bool LUpdateProcessor::IsNothingLeftToUpdate() const
{
    if (IsEngineWorkUnderWay()) {
        // Only the look for a device whose update finished lets the program end while it runs.
        return mExitDuringWork.load() == ExitDuringWork::kEndsWork;
    }
    LUpdateEngineInterface& engine = *mEngine;
    const std::int32_t status = engine.GetUpdateStatus(false);
    if (status == LUpdateEngineInterface::kUpdateFinished) {
        return !engine.RunsOtherBuildThanFile();
    }
    return status == LUpdateEngineInterface::kUpdateIdle &&
           engine.GetDeviceState() == LUpdateEngineInterface::kDeviceRunning &&
           engine.GetFirmwareFileState() == LUpdateEngineInterface::kFilePresent && !IsUpdateWanted();
}

ZVRESULT LUpdateProcessor::FollowSwitches(const WideString& commandLine, WindowedStart windowedStart)
{
    LUpdateEngineInterface& engine = *mEngine;
    // Every road, with the window or without, goes on with the first of several devices.
    if (engine.GetDeviceState() == LUpdateEngineInterface::kDeviceNoneSelected) {
        SelectFirstOfSeveralDevices();
    }
    if (!CanUpdate()) {
        return ZV_S_OK;
    }
    WideString value;
    const bool wanted = IsUpdateWanted();
    if (!wanted && FindSwitch(commandLine, L"-SILENT_IF_UPDATE_NOT_NEEDED", value)) {
        return kFinishedWithoutWindow;
    }
    const bool silent = FindSwitch(commandLine, L"-SILENT", value);
    const bool automatic = FindSwitch(commandLine, L"-START_UPDATE_AUTOMATICALLY", value);
    if (windowedStart == WindowedStart::kHeldForWindow) {
        // The window stands, and a silent run that shows it stays unfinished until it closes.
        mStartHeld = wanted && (silent || automatic);
        return ZV_S_OK;
    }
    if (wanted && (silent || automatic)) {
        if (silent || windowedStart == WindowedStart::kInInitialize) {
            StartAutomatically(silent);
        } else {
            mStartHeld = true;
        }
    }
    if (silent) {
        (void)engine.WaitForUpdate(GetSilentUpdateWait());
        return kFinishedWithoutWindow;
    }
    return ZV_S_OK;
}

bool LUpdateProcessor::TakeHeldStart()
{
    // The device may have gone, or the file changed, while the window opened or looked at the device.
    return std::exchange(mStartHeld, false) && CanUpdate() && IsUpdateWanted();
}

bool LUpdateProcessor::CanUpdate() const
{
    return mEngine->GetDeviceState() > LUpdateEngineInterface::kDeviceUnusable &&
           mEngine->GetFirmwareFileState() == LUpdateEngineInterface::kFilePresent;
}

void LUpdateProcessor::StartAutomatically(bool silent)
{
    LUpdateEngineInterface& engine = *mEngine;
    if (engine.GetDeviceState() != LUpdateEngineInterface::kDeviceRunning) {
        (void)StartUpdate();
        return;
    }
    if (Failed(engine.CheckFirmwareFile()) || Failed(EnterUpdateMode())) {
        return;
    }
    if (silent) {
        // The device state below says whether it came back.
        (void)WaitForDeviceToEnterUpdateMode();
    }
    if (engine.GetDeviceState() == LUpdateEngineInterface::kDeviceInUpdateMode) {
        (void)StartUpdate();
    } else if (silent) {
        GiveUpUpdateOnItsWay();
    }
    // Else the window waits for the device, or the application does once the window has gone.
}
