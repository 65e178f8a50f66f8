#include "Simulator/Cues.h"

#include <array>
#include <charconv>
#include <stdexcept>
#include <utility>

namespace ZV::Simulator {

namespace {

struct MomentName {
    std::string_view Written;
    Moment::Kind Kind;
    std::string_view Name;
};

constexpr std::array kMoments{
    MomentName{"normal", Moment::Kind::EnteredState, "normal"},
    MomentName{"update", Moment::Kind::EnteredState, "update"},
    MomentName{"restarting", Moment::Kind::EnteredState, "restarting"},
    MomentName{"absent", Moment::Kind::EnteredState, "absent"},
    MomentName{"done", Moment::Kind::EnteredState, "done"},
    MomentName{"asked-status", Moment::Kind::Asked, "status"},
    MomentName{"asked-version", Moment::Kind::Asked, "version"},
    MomentName{"asked-enter-update", Moment::Kind::Asked, "enter-update"},
    MomentName{"said-running", Moment::Kind::Answered, "running"},
    MomentName{"said-update", Moment::Kind::Answered, "update"},
    MomentName{"said-done", Moment::Kind::Answered, "done"},
    MomentName{"image", Moment::Kind::TookImageMessage, ""},
};

[[noreturn]] void Refuse(std::string_view cue)
{
    throw std::invalid_argument(
        "ZV_SIM_CUES has \"" + std::string(cue) +
        "\"; expected <device>.<moment>[#<count>]:<action>, the moment one of normal, update, restarting, absent, "
        "done, asked-status, asked-version, asked-enter-update, said-running, said-update, said-done, image, the "
        "action plug=<device>, unplug=<device> or hold, devices numbered from 1");
}

bool ParsePositive(std::string_view text, std::uint32_t& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value > 0;
}

bool ParseDevice(std::string_view text, std::size_t deviceCount, std::size_t& device)
{
    std::uint32_t number = 0;
    if (!ParsePositive(text, number) || number > deviceCount) {
        return false;
    }
    device = number - 1;
    return true;
}

bool ParseMoment(std::string_view text, std::size_t deviceCount, Moment& moment)
{
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos || !ParseDevice(text.substr(0, dot), deviceCount, moment.Device)) {
        return false;
    }
    std::string_view name = text.substr(dot + 1);
    if (const std::size_t hash = name.find('#'); hash != std::string_view::npos) {
        if (!ParsePositive(name.substr(hash + 1), moment.Count)) {
            return false;
        }
        name = name.substr(0, hash);
    }
    for (const MomentName& known : kMoments) {
        if (known.Written == name) {
            moment.What = known.Kind;
            moment.Name = known.Name;
            return true;
        }
    }
    return false;
}

bool ParseAction(std::string_view text, std::size_t deviceCount, Cue& cue)
{
    constexpr std::string_view plug = "plug=";
    constexpr std::string_view unplug = "unplug=";
    if (text == "hold") {
        cue.Do = Cue::Action::Hold;
        return true;
    }
    if (text.starts_with(plug)) {
        cue.Do = Cue::Action::PlugIn;
        return ParseDevice(text.substr(plug.size()), deviceCount, cue.Target);
    }
    if (text.starts_with(unplug)) {
        cue.Do = Cue::Action::Unplug;
        return ParseDevice(text.substr(unplug.size()), deviceCount, cue.Target);
    }
    return false;
}

Cue ParseCue(std::string_view text, std::size_t deviceCount)
{
    Cue cue;
    cue.Text = text;
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || !ParseMoment(text.substr(0, colon), deviceCount, cue.When) ||
        !ParseAction(text.substr(colon + 1), deviceCount, cue)) {
        Refuse(text);
    }
    return cue;
}

}  // namespace

std::vector<Cue> ParseCues(std::string_view text, std::size_t deviceCount)
{
    std::vector<Cue> cues;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        if (const std::string_view cue = text.substr(0, comma); !cue.empty()) {
            cues.push_back(ParseCue(cue, deviceCount));
        }
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return cues;
}

}  // namespace ZV::Simulator
