#pragma once

#include "Simulator/Cues.h"
#include "Simulator/MidiBytes.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ZV::Simulator {

// How a simulated device begins: running normally, already in update mode, not connected at all, or with its
// ports present but never answering.
enum class DeviceStart { Normal, Update, Absent, Silent };

struct DeviceFaults {
    bool NoVersion = false;         // answers the status request but never the version request
    bool NeverDone = false;         // takes the image but never reports "update done"
    bool GarbageReplies = false;    // every reply carries one byte too many
    bool SlowRestart = false;       // a restart lasts SlowRestartFactor times the restart time
    bool BusyPorts = false;         // another program holds the device's ports open: they refuse to open as busy
    bool BusyAfterRestart = false;  // the ports are busy each time the device comes back from a restart
    std::uint32_t DropImageMessage = 0;          // the N-th image message is lost on the way (0: none)
    std::uint32_t VanishAfterImageMessages = 0;  // after N image messages the device disappears for good (0: never)
    // The device is plugged in only this long after the simulation starts, absent until then (0: from the start).
    std::chrono::milliseconds PlugInAfter{0};
    // The device is absent until a cue plugs it in.
    bool PlugInOnCue = false;
};

inline constexpr int SlowRestartFactor = 10;

struct DeviceSettings {
    std::string PortName = "Halvista Left";
    DeviceStart Start = DeviceStart::Normal;
    std::uint32_t Build = 78500;
    std::uint32_t NewBuild = 78822;
    std::chrono::milliseconds RestartTime{1500};
    std::chrono::milliseconds FlashTime{2000};
    // The messages (F0 ... F7) the device must receive, in order, before it reports "update done". Without it
    // the image counts as complete once no image message has come for the flash time.
    std::optional<std::vector<MidiBytes>> ExpectedImage;
    DeviceFaults Faults;
    std::string LogPath;  // empty: no log
};

struct SimulationSettings {
    std::vector<DeviceSettings> Devices{DeviceSettings{}};
    std::uint32_t BytesPerSecond = 250'000;  // speed of the cable from the computer; 0: unlimited
    bool StuckLongMessages = false;          // long messages are taken but never finish
    std::uint32_t StallAfterBytes = 0;       // a port's cable carries this many bytes, then nothing more (0: never)
    std::vector<Cue> Cues;
    // A file whose lines release the holds that cues put devices in: the N-th hold lasts until it has N lines.
    std::string ReleasePath;
};

using EnvironmentLookup = std::function<const char*(const char* name)>;

// Builds the settings from ZV_SIM_DEVICE (how the device starts; "two", or two starts separated by a comma such as
// "normal,update", for a second device named "VT5 Display Left", or by a plus such as "normal+update" for a second
// device of the first one's name; the second logs to the log's name with ".2"; a start followed by "@" and a number,
// such as "update@2000", plugs that device in only that many milliseconds after the simulation starts, in place of
// the late-plug fault, and "@cue" only when a cue plugs it in), ZV_SIM_BUILD, ZV_SIM_NEW_BUILD,
// ZV_SIM_RESTART_MS, ZV_SIM_FLASH_MS, ZV_SIM_EXPECT_IMAGE, ZV_SIM_FAULT (faults of every device, but "busy-port=2"
// holds the second device's ports alone, "busy-port=1" the first one's), ZV_SIM_BYTES_PER_SECOND, ZV_SIM_LOG,
// ZV_SIM_CUES (see ParseCues) and ZV_SIM_RELEASE;
// unset or empty variables keep the defaults. A value that cannot be used throws std::invalid_argument naming the
// variable.
SimulationSettings ReadSimulationSettings(const EnvironmentLookup& lookup);
SimulationSettings ReadSimulationSettingsFromEnvironment();

// The System Exclusive messages of an image file as the updater sends them, F0 to F7 each: a 0x0D inside a message
// ends it and is the first byte of the next one. Bytes outside a message are skipped.
// Throws std::invalid_argument when the file cannot be read or holds no message.
std::vector<MidiBytes> ReadSysExFile(const std::string& path);

}  // namespace ZV::Simulator
