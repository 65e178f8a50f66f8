#pragma once

#include "Midi/MidiCapturePort.h"
#include "Midi/MidiCommInterface.h"
#include "Midi/MidiRenderPort.h"
#include "Platform/MidiDriver.h"
#include "Threading/Mutex.h"
#include "Threading/Thread.h"
#include "Threading/ThreadPool.h"
#include "Threading/ThreadWorker.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace ZV {

// The millisecond tick by which sends measure how long a message has not moved (wrapping at 2^32).
using MidiTickSource = std::function<std::uint32_t()>;

// The MIDI object over one driver. It keeps each open port once, in its port lists, and hands it out to every
// request whose text the port's name contains. Captured messages go from the driver's thread to the object's one
// worker thread, which sends each to the subscribers, in arrival order.
//
// Threads: the driver's callbacks run on its own threads and only take bytes, queue a message, or mark a send as moving
// or ended, under the object's lock. The lock also guards both port lists; it is never held while a driver device
// closes (closing waits for the device's callbacks, which take the lock) nor while a notification is delivered.
//
// Lifetime: a port in a list holds the object (an internal reference of the object), and the list holds the port
// (an internal reference of the port). When the last outside reference to a port goes, the port leaves its list and
// closes; when the last outside reference to the object goes, the lists are let go, closing every port that nobody
// else holds.
class LMidiComm final : public LMidiCommInterface,
                        public LThreadWorker,
                        private Platform::MidiInputCallback,
                        private Platform::MidiOutputCallback {
public:
    static constexpr const wchar_t* kDataCapturedId = L"NID_MIDI_DATA_CAPTURED";
    static constexpr int kWorkerPriority = kThreadPriorityHighest;

    // A MIDI object over that driver; its sends read the platform's tick unless a test gives another.
    static RCPtr<LMidiComm> Create(std::shared_ptr<Platform::MidiDriver> driver, MidiTickSource tickSource = {});

    LMidiComm(const LMidiComm&) = delete;
    LMidiComm& operator=(const LMidiComm&) = delete;
    // Waits for the worker thread, unless called on it.
    ~LMidiComm() override;

    [[nodiscard]] ZVRESULT OpenCapturePort(const WideString& name, RCPtr<LMidiCapturePort>& port) override;
    [[nodiscard]] ZVRESULT OpenRenderPort(const WideString& name, RCPtr<LMidiRenderPort>& port) override;
    void CountPorts(const WideString& name, std::uint32_t& captureCount, std::uint32_t& renderCount) override;
    [[nodiscard]] ZVRESULT OpenCapturePortAt(const WideString& name, std::uint32_t place,
                                             RCPtr<LMidiCapturePort>& port) override;
    [[nodiscard]] ZVRESULT OpenRenderPortAt(const WideString& name, std::uint32_t place,
                                            RCPtr<LMidiRenderPort>& port) override;
    [[nodiscard]] ZVRESULT SendMidiMessage(const ConstRCPtr<LRefCountedObject>& port,
                                           const MidiMessageBytes& bytes) override;
    [[nodiscard]] ZVRESULT SendLongMidiMessage(const ConstRCPtr<LRefCountedObject>& port,
                                               Platform::MidiLongMessage message) override;

    // On the worker thread: sends the captured message (an LMidiCaptureNotificationData) to the subscribers of
    // "NID_MIDI_DATA_CAPTURED"; the distributor's result.
    [[nodiscard]] ZVRESULT DoWork(const ConstRCPtr<LRefCountedObject>& parameter) override;

    // The last outside reference is going: lets the port lists go.
    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;

private:
    friend class LMidiCapturePort;
    friend class LMidiRenderPort;

    template <class Port>
    using PortList = RCPtrArray<Port>;

    LMidiComm(std::shared_ptr<Platform::MidiDriver> driver, MidiTickSource tickSource);

    std::uint32_t GetTick() const { return mTickSource(); }

    void OnShortMessage(Platform::MidiInput& input, std::uint32_t packedMessage, std::uint32_t timeStamp) override;
    void OnSysExBuffer(Platform::MidiInput& input, Platform::MidiSysExBuffer& buffer,
                       Platform::MidiSysExFill fill) override;
    void OnLongMessageDone(Platform::MidiOutput& output, std::uint64_t token, bool delivered) override;
    void OnLongMessageProgress(Platform::MidiOutput& output, std::uint64_t token, std::size_t taken) override;

    // Under the lock. The open port of the list whose lower-case name contains the text, the last opened first.
    template <class Port>
    static RCPtr<Port> FindOpenPort(const PortList<Port>& ports, const WideString& lowerCaseText);
    // Under the open lock only: opens the device at the place among those whose lower-case names contain the text,
    // adds its port to the list and starts it. Null, with the driver's reason when it had one, when it cannot.
    template <class Port>
    RCPtr<Port> OpenDevice(const WideString& lowerCaseText, std::size_t place, PortList<Port>& ports,
                           Platform::MidiOpenFailure& failure);

    // Without a place, an open port of the name is handed out again, else the first device of the name is opened.
    template <class Port>
    [[nodiscard]] ZVRESULT OpenPort(const WideString& name, std::optional<std::uint32_t> place, PortList<Port>& ports,
                                    RCPtr<Port>& port);
    template <class Port>
    bool AddToList(PortList<Port>& ports, const RCPtr<Port>& port);
    // Under the lock: takes the port out of its list with the list's internal reference; the caller lets the
    // returned reference go after the lock.
    template <class Port>
    static RCPtr<Port> TakeFromList(PortList<Port>& ports, std::uint32_t index);
    // Under the lock: moves every port of the list into the other, for letting go after the lock.
    template <class Port>
    static void MoveAll(PortList<Port>& ports, PortList<Port>& taken);
    // From a port whose last outside reference is going.
    template <class Port>
    void RemoveUnusedPort(PortList<Port>& ports, Port& port);
    template <class Port, class Device>
    static Port* FindPortOpenOn(const PortList<Port>& ports, const Device& device);

    // From a driver callback, after the lock: hands the message to the worker.
    void Deliver(const RCPtr<LMidiCaptureNotificationData>& message);

    std::shared_ptr<Platform::MidiDriver> mDriver;
    MidiTickSource mTickSource;
    // Taken for a whole open, never by a driver callback or a send.
    Mutex mOpenLock;
    Mutex mLock;
    PortList<LMidiCapturePort> mCapturePorts;
    PortList<LMidiRenderPort> mRenderPorts;
    RCPtr<LThreadPool> mWorkPool;
};

}  // namespace ZV
