#include "Midi/MidiComm.h"

#include "Notification/Notification.h"
#include "Platform/Clock.h"

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace ZV {

namespace {

// Captured messages all go to the worker at one priority, so that they stay in arrival order.
constexpr int kCapturedMessagePriority = 0;

// The number of the device at the place among those whose lower-case names contain the text, with its name; the
// list's size when none stands there.
std::size_t FindDevice(const std::vector<std::string>& names, const WideString& lowerCaseText, std::size_t place,
                       WideString& productName)
{
    for (std::size_t device = 0; device < names.size(); ++device) {
        const WideString name(names[device].c_str());
        if (name.ToLower().Find(lowerCaseText) >= 0 && place-- == 0) {
            productName = name;
            return device;
        }
    }
    return names.size();
}

std::uint32_t CountDevices(const std::vector<std::string>& names, const WideString& lowerCaseText)
{
    std::uint32_t count = 0;
    for (const std::string& name : names) {
        count += WideString(name.c_str()).ToLower().Find(lowerCaseText) >= 0 ? 1 : 0;
    }
    return count;
}

}  // namespace

template <class Port>
RCPtr<Port> LMidiComm::FindOpenPort(const PortList<Port>& ports, const WideString& lowerCaseText)
{
    for (std::uint32_t index = ports.GetCount(); index-- > 0;) {
        const RCPtr<Port>& port = *ports.GetItemPointer(index);
        if (port->GetName().ToLower().Find(lowerCaseText) >= 0) {
            return port;
        }
    }
    return nullptr;
}

template <class Port>
RCPtr<Port> LMidiComm::OpenDevice(const WideString& lowerCaseText, std::size_t place, PortList<Port>& ports,
                                  Platform::MidiOpenFailure& failure)
{
    constexpr bool kCapture = std::is_same_v<Port, LMidiCapturePort>;
    WideString productName;
    const std::vector<std::string> names = kCapture ? mDriver->ListInputDevices() : mDriver->ListOutputDevices();
    const std::size_t device = FindDevice(names, lowerCaseText, place, productName);
    if (device == names.size()) {
        return nullptr;
    }
    auto opened = [&] {
        if constexpr (kCapture) {
            return mDriver->OpenInput(device, static_cast<Platform::MidiInputCallback&>(*this), failure);
        } else {
            return mDriver->OpenOutput(device, static_cast<Platform::MidiOutputCallback&>(*this), failure);
        }
    }();
    if (!opened) {
        return nullptr;
    }
    // A port that cannot be kept closes when this function returns, outside the lock.
    RCPtr<Port> port(new Port(productName, std::move(opened), *this));
    bool listed = false;
    {
        // In the list before an input starts: its first callback may come at once, and waits for the lock to find it.
        MutexLock lock(mLock);
        listed = AddToList(ports, port);
    }
    if (!listed) {
        return nullptr;
    }
    if constexpr (kCapture) {
        if (!port->Start()) {
            RCPtr<Port> unstarted;
            MutexLock lock(mLock);
            for (std::uint32_t index = ports.GetCount(); index-- > 0;) {
                if (ports.GetItemPointer(index)->Get() == port.Get()) {
                    unstarted = TakeFromList(ports, index);
                    break;
                }
            }
            return nullptr;
        }
    }
    return port;
}

template <class Port>
ZVRESULT LMidiComm::OpenPort(const WideString& name, std::optional<std::uint32_t> place, PortList<Port>& ports,
                             RCPtr<Port>& port)
{
    const WideString lowerCaseText = name.ToLower();
    // One open at a time, so that two never open the same device; the driver lists, opens and starts devices (and
    // may make threads) outside the lock that its callbacks take.
    MutexLock openLock(mOpenLock);
    RCPtr<Port> opened;
    {
        MutexLock lock(mLock);
        opened = FindOpenPort(ports, lowerCaseText);
    }
    Platform::MidiOpenFailure failure = Platform::MidiOpenFailure::Absent;
    if (opened.IsNull()) {
        opened = OpenDevice(lowerCaseText, place.value_or(0), ports, failure);
    } else if (place) {
        // The open port of the name may stand at any place.
        opened = nullptr;
    }
    // The port that the caller held before may close now.
    port = opened;
    if (opened.IsNull()) {
        return failure == Platform::MidiOpenFailure::Busy ? kMidiPortBusy : ZV_E_FAIL;
    }
    return ZV_S_OK;
}

template <class Port>
bool LMidiComm::AddToList(PortList<Port>& ports, const RCPtr<Port>& port)
{
    if (Failed(ports.AddItem(port))) {
        return false;
    }
    port->AddInternalReferences(1);
    return true;
}

template <class Port>
RCPtr<Port> LMidiComm::TakeFromList(PortList<Port>& ports, std::uint32_t index)
{
    RCPtr<Port> port;
    (void)ports.RemoveItem(index, port);
    // Lowered first, so that letting the reference go later counts it as an outside one.
    port->AddInternalReferences(-1);
    return port;
}

template <class Port>
void LMidiComm::RemoveUnusedPort(PortList<Port>& ports, Port& port)
{
    RCPtr<Port> removed;
    MutexLock lock(mLock);
    // A request may have handed the port out again since its last outside reference began to go.
    if (port.GetRefCount() != port.GetInternalRefCount() + 1) {
        return;
    }
    for (std::uint32_t index = ports.GetCount(); index-- > 0;) {
        if (ports.GetItemPointer(index)->Get() == &port) {
            removed = TakeFromList(ports, index);
            return;
        }
    }
}

template <class Port>
void LMidiComm::MoveAll(PortList<Port>& ports, PortList<Port>& taken)
{
    // A port that finds no room in the other list stays where it is: it must not close under the lock.
    while (ports.GetCount() != 0 && Succeeded(taken.AddItem(*ports.GetItemPointer(ports.GetCount() - 1)))) {
        TakeFromList(ports, ports.GetCount() - 1);
    }
}

template <class Port, class Device>
Port* LMidiComm::FindPortOpenOn(const PortList<Port>& ports, const Device& device)
{
    for (std::uint32_t index = ports.GetCount(); index-- > 0;) {
        Port* port = ports.GetItemPointer(index)->Get();
        if (port->IsOpenOn(device)) {
            return port;
        }
    }
    return nullptr;
}

RCPtr<LMidiCommInterface> CreateMidiComm()
{
    return RCPtr<LMidiCommInterface>(LMidiComm::Create(Platform::GetSystemMidiDriver()));
}

RCPtr<LMidiComm> LMidiComm::Create(std::shared_ptr<Platform::MidiDriver> driver, MidiTickSource tickSource)
{
    return RCPtr<LMidiComm>(new LMidiComm(std::move(driver), std::move(tickSource)));
}

LMidiComm::LMidiComm(std::shared_ptr<Platform::MidiDriver> driver, MidiTickSource tickSource)
    : mDriver(std::move(driver)),
      mTickSource(tickSource ? std::move(tickSource) : MidiTickSource(&Platform::GetMillisecondTick)),
      mWorkPool(LThreadPool::Create(1, kWorkerPriority))
{
}

LMidiComm::~LMidiComm()
{
    mWorkPool->Shutdown();
}

ZVRESULT LMidiComm::OpenCapturePort(const WideString& name, RCPtr<LMidiCapturePort>& port)
{
    return OpenPort(name, std::nullopt, mCapturePorts, port);
}

ZVRESULT LMidiComm::OpenRenderPort(const WideString& name, RCPtr<LMidiRenderPort>& port)
{
    return OpenPort(name, std::nullopt, mRenderPorts, port);
}

void LMidiComm::CountPorts(const WideString& name, std::uint32_t& captureCount, std::uint32_t& renderCount)
{
    const WideString lowerCaseText = name.ToLower();
    // A listing numbers the devices afresh: not between another request's listing and its open.
    MutexLock openLock(mOpenLock);
    captureCount = CountDevices(mDriver->ListInputDevices(), lowerCaseText);
    renderCount = CountDevices(mDriver->ListOutputDevices(), lowerCaseText);
}

ZVRESULT LMidiComm::OpenCapturePortAt(const WideString& name, std::uint32_t place, RCPtr<LMidiCapturePort>& port)
{
    return OpenPort(name, place, mCapturePorts, port);
}

ZVRESULT LMidiComm::OpenRenderPortAt(const WideString& name, std::uint32_t place, RCPtr<LMidiRenderPort>& port)
{
    return OpenPort(name, place, mRenderPorts, port);
}

ZVRESULT LMidiComm::SendMidiMessage(const ConstRCPtr<LRefCountedObject>& port, const MidiMessageBytes& bytes)
{
    const ConstRCPtr<LMidiRenderPort> renderPort(port);
    if (renderPort.IsNull() || bytes.GetCount() == 0) {
        return ZV_E_INVALIDARG;
    }
    // Callers hand the port over read-only, but sending through it is what it is for.
    return const_cast<LMidiRenderPort*>(renderPort.Get())->Send(bytes);
}

ZVRESULT LMidiComm::SendLongMidiMessage(const ConstRCPtr<LRefCountedObject>& port, Platform::MidiLongMessage message)
{
    const ConstRCPtr<LMidiRenderPort> renderPort(port);
    if (renderPort.IsNull() || !message.IsSendable()) {
        return ZV_E_INVALIDARG;
    }
    return const_cast<LMidiRenderPort*>(renderPort.Get())->SendLongMessage(std::move(message));
}

ZVRESULT LMidiComm::DoWork(const ConstRCPtr<LRefCountedObject>& parameter)
{
    return SendNotification(LNotification::Create(kDataCapturedId, parameter));
}

ZVRESULT LMidiComm::ReleaseInternalReferences()
{
    PortList<LMidiCapturePort> capturePorts;
    PortList<LMidiRenderPort> renderPorts;
    {
        MutexLock lock(mLock);
        MoveAll(mCapturePorts, capturePorts);
        MoveAll(mRenderPorts, renderPorts);
    }
    // Ports that nobody else holds close here, outside the lock.
    (void)capturePorts.Clear();
    (void)renderPorts.Clear();
    return LMidiCommInterface::ReleaseInternalReferences();
}

void LMidiComm::OnShortMessage(Platform::MidiInput& input, std::uint32_t packedMessage, std::uint32_t timeStamp)
{
    RCPtr<LMidiCaptureNotificationData> message;
    {
        MutexLock lock(mLock);
        if (const LMidiCapturePort* port = FindPortOpenOn(mCapturePorts, input)) {
            message = port->TakeShortMessage(packedMessage, timeStamp);
        }
    }
    Deliver(message);
}

void LMidiComm::OnSysExBuffer(Platform::MidiInput& input, Platform::MidiSysExBuffer& buffer,
                              Platform::MidiSysExFill fill)
{
    RCPtr<LMidiCaptureNotificationData> message;
    {
        MutexLock lock(mLock);
        if (LMidiCapturePort* port = FindPortOpenOn(mCapturePorts, input)) {
            message = port->TakeSysExBuffer(buffer, fill);
        }
    }
    Deliver(message);
}

void LMidiComm::OnLongMessageDone(Platform::MidiOutput& output, std::uint64_t token, bool delivered)
{
    MutexLock lock(mLock);
    if (LMidiRenderPort* port = FindPortOpenOn(mRenderPorts, output)) {
        port->OnLongMessageDone(token, delivered);
    }
}

void LMidiComm::OnLongMessageProgress(Platform::MidiOutput& output, std::uint64_t token, std::size_t)
{
    MutexLock lock(mLock);
    if (LMidiRenderPort* port = FindPortOpenOn(mRenderPorts, output)) {
        port->OnLongMessageProgress(token);
    }
}

void LMidiComm::Deliver(const RCPtr<LMidiCaptureNotificationData>& message)
{
    if (message) {
        mWorkPool->QueueWork(ConstRCPtr<LThreadWorker>(this), ConstRCPtr<LRefCountedObject>(message),
                             kCapturedMessagePriority);
    }
}

template void LMidiComm::RemoveUnusedPort(PortList<LMidiCapturePort>& ports, LMidiCapturePort& port);
template void LMidiComm::RemoveUnusedPort(PortList<LMidiRenderPort>& ports, LMidiRenderPort& port);

}  // namespace ZV
