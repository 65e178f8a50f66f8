#include "Simulator/SimulationSettings.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>

namespace ZV::Simulator {

namespace {

constexpr std::uint8_t MessageSplit = 0x0D;

[[noreturn]] void Refuse(std::string_view variable, std::string_view value, std::string_view expected)
{
    throw std::invalid_argument(std::string(variable) + " is \"" + std::string(value) + "\"; expected " +
                                std::string(expected));
}

std::uint32_t ParseWholeNumber(std::string_view variable, std::string_view text)
{
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        Refuse(variable, text, "a whole number from 0 to 4294967295");
    }
    return value;
}

// How one device starts, and when it is plugged in when that is given after an "@".
struct DeviceStartSpec {
    DeviceStartSpec(DeviceStart start) : Start(start) {}

    DeviceStart Start;
    std::optional<std::chrono::milliseconds> PlugInAfter;
    bool PlugInOnCue = false;
};

DeviceStartSpec ParseDeviceStart(std::string_view text)
{
    if (const std::size_t at = text.find('@'); at != std::string_view::npos) {
        DeviceStartSpec spec = ParseDeviceStart(text.substr(0, at));
        if (text.substr(at + 1) == "cue") {
            spec.PlugInOnCue = true;
            return spec;
        }
        spec.PlugInAfter = std::chrono::milliseconds(ParseWholeNumber("ZV_SIM_DEVICE plug-in", text.substr(at + 1)));
        return spec;
    }
    if (text == "normal") {
        return DeviceStart::Normal;
    }
    if (text == "update") {
        return DeviceStart::Update;
    }
    if (text == "absent") {
        return DeviceStart::Absent;
    }
    if (text == "silent") {
        return DeviceStart::Silent;
    }
    Refuse("ZV_SIM_DEVICE", text,
           "normal, update, absent, silent or two, or two starts separated by a comma or a plus, each perhaps with "
           "@ and the milliseconds until it is plugged in, or @cue");
}

struct DeviceStarts {
    std::vector<DeviceStartSpec> Starts;
    // The second device carries the first one's port names.
    bool SecondSharesName = false;
};

// How each device starts: one of them, "two" for two devices running normally, or a start for each of two,
// separated by a comma (the second is the other kind of device) or a plus (another of the first one's kind).
DeviceStarts ParseDeviceStarts(std::string_view text)
{
    if (text == "two") {
        return {{DeviceStart::Normal, DeviceStart::Normal}};
    }
    const std::size_t separator = text.find_first_of(",+");
    if (separator == std::string_view::npos) {
        return {{ParseDeviceStart(text)}};
    }
    const std::string_view second = text.substr(separator + 1);
    if (second.find_first_of(",+") != std::string_view::npos) {
        Refuse("ZV_SIM_DEVICE", text, "at most two devices");
    }
    return {{ParseDeviceStart(text.substr(0, separator)), ParseDeviceStart(second)}, text[separator] == '+'};
}

// Faults of every device, and the device whose ports alone are busy when one is named (1 the first, 0 none named).
struct Faults {
    DeviceFaults OfEveryDevice;
    std::uint32_t BusyDevice = 0;
};

void ApplyFault(std::string_view fault, Faults& parsed, SimulationSettings& settings)
{
    DeviceFaults& faults = parsed.OfEveryDevice;
    constexpr std::string_view busyPortOf = "busy-port=";
    constexpr std::string_view dropMessage = "drop-message=";
    constexpr std::string_view vanishAfter = "vanish-after=";
    constexpr std::string_view stallAfter = "stall-after=";
    constexpr std::string_view latePlug = "late-plug=";
    if (fault == "no-version") {
        faults.NoVersion = true;
    } else if (fault == "never-done") {
        faults.NeverDone = true;
    } else if (fault == "garbage-replies") {
        faults.GarbageReplies = true;
    } else if (fault == "slow-restart") {
        faults.SlowRestart = true;
    } else if (fault == "busy-port") {
        faults.BusyPorts = true;
    } else if (fault.starts_with(busyPortOf)) {
        const std::string_view device = fault.substr(busyPortOf.size());
        if (device != "1" && device != "2") {
            Refuse("ZV_SIM_FAULT busy-port", device, "1 or 2, the device whose ports another program holds");
        }
        faults.BusyPorts = true;
        parsed.BusyDevice = device == "1" ? 1 : 2;
    } else if (fault == "busy-after-restart") {
        faults.BusyAfterRestart = true;
    } else if (fault == "stuck-send") {
        settings.StuckLongMessages = true;
    } else if (fault.starts_with(stallAfter)) {
        settings.StallAfterBytes = ParseWholeNumber("ZV_SIM_FAULT stall-after", fault.substr(stallAfter.size()));
    } else if (fault.starts_with(dropMessage)) {
        faults.DropImageMessage = ParseWholeNumber("ZV_SIM_FAULT drop-message", fault.substr(dropMessage.size()));
    } else if (fault.starts_with(vanishAfter)) {
        faults.VanishAfterImageMessages =
            ParseWholeNumber("ZV_SIM_FAULT vanish-after", fault.substr(vanishAfter.size()));
    } else if (fault.starts_with(latePlug)) {
        faults.PlugInAfter =
            std::chrono::milliseconds(ParseWholeNumber("ZV_SIM_FAULT late-plug", fault.substr(latePlug.size())));
    } else {
        Refuse("ZV_SIM_FAULT", fault,
               "a comma-separated list of no-version, never-done, drop-message=N, vanish-after=N, "
               "garbage-replies, slow-restart, busy-port, busy-port=N, busy-after-restart, stuck-send, stall-after=N, "
               "late-plug=MS");
    }
}

Faults ParseFaults(std::string_view text, SimulationSettings& settings)
{
    Faults faults;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view fault = text.substr(0, comma);
        if (!fault.empty()) {
            ApplyFault(fault, faults, settings);
        }
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return faults;
}

}  // namespace

SimulationSettings ReadSimulationSettings(const EnvironmentLookup& lookup)
{
    const auto value = [&lookup](const char* name) -> std::optional<std::string_view> {
        const char* text = lookup(name);
        if (text == nullptr || *text == '\0') {
            return std::nullopt;
        }
        return std::string_view(text);
    };

    SimulationSettings settings;
    DeviceSettings device;
    std::uint32_t busyDevice = 0;
    DeviceStarts starts{{device.Start}};
    if (const auto text = value("ZV_SIM_DEVICE")) {
        starts = ParseDeviceStarts(*text);
    }
    if (const auto text = value("ZV_SIM_BUILD")) {
        device.Build = ParseWholeNumber("ZV_SIM_BUILD", *text);
    }
    if (const auto text = value("ZV_SIM_NEW_BUILD")) {
        device.NewBuild = ParseWholeNumber("ZV_SIM_NEW_BUILD", *text);
    }
    if (const auto text = value("ZV_SIM_RESTART_MS")) {
        device.RestartTime = std::chrono::milliseconds(ParseWholeNumber("ZV_SIM_RESTART_MS", *text));
    }
    if (const auto text = value("ZV_SIM_FLASH_MS")) {
        device.FlashTime = std::chrono::milliseconds(ParseWholeNumber("ZV_SIM_FLASH_MS", *text));
    }
    if (const auto text = value("ZV_SIM_EXPECT_IMAGE")) {
        device.ExpectedImage = ReadSysExFile(std::string(*text));
    }
    if (const auto text = value("ZV_SIM_FAULT")) {
        const Faults faults = ParseFaults(*text, settings);
        device.Faults = faults.OfEveryDevice;
        busyDevice = faults.BusyDevice;
    }
    if (const auto text = value("ZV_SIM_BYTES_PER_SECOND")) {
        settings.BytesPerSecond = *text == "unlimited" ? 0 : ParseWholeNumber("ZV_SIM_BYTES_PER_SECOND", *text);
    }
    if (const auto text = value("ZV_SIM_LOG")) {
        device.LogPath = *text;
    }

    const auto startAs = [&device](const DeviceStartSpec& spec) {
        DeviceSettings started = device;
        started.Start = spec.Start;
        started.Faults.PlugInAfter = spec.PlugInAfter.value_or(device.Faults.PlugInAfter);
        started.Faults.PlugInOnCue = spec.PlugInOnCue;
        return started;
    };
    settings.Devices = {startAs(starts.Starts.front())};
    if (starts.Starts.size() > 1) {
        DeviceSettings second = startAs(starts.Starts.back());
        if (!starts.SecondSharesName) {
            second.PortName = "VT5 Display Left";
        }
        if (!second.LogPath.empty()) {
            second.LogPath += ".2";
        }
        settings.Devices.push_back(second);
    }
    if (busyDevice != 0) {
        for (std::size_t index = 0; index < settings.Devices.size(); ++index) {
            settings.Devices[index].Faults.BusyPorts = index + 1 == busyDevice;
        }
    }
    if (const auto text = value("ZV_SIM_CUES")) {
        settings.Cues = ParseCues(*text, settings.Devices.size());
    }
    if (const auto text = value("ZV_SIM_RELEASE")) {
        settings.ReleasePath = *text;
    }
    return settings;
}

SimulationSettings ReadSimulationSettingsFromEnvironment()
{
    return ReadSimulationSettings([](const char* name) { return std::getenv(name); });
}

std::vector<MidiBytes> ReadSysExFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        Refuse("ZV_SIM_EXPECT_IMAGE", path, "a readable .syx file");
    }
    const MidiBytes bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<MidiBytes> messages;
    MidiBytes message;
    bool inMessage = false;
    for (const std::uint8_t byte : bytes) {
        if (byte == SysExStart) {
            message = {byte};
            inMessage = true;
        } else if (inMessage && byte == MessageSplit) {
            // The updater ends the message here and sends the 0x0D as the first byte of the next one.
            message.push_back(SysExEnd);
            messages.push_back(std::move(message));
            message = {SysExStart, byte};
        } else if (inMessage) {
            message.push_back(byte);
            if (byte == SysExEnd) {
                messages.push_back(std::move(message));
                inMessage = false;
            }
        }
    }
    if (messages.empty()) {
        Refuse("ZV_SIM_EXPECT_IMAGE", path, "a file holding at least one System Exclusive message (F0 ... F7)");
    }
    return messages;
}

}  // namespace ZV::Simulator
