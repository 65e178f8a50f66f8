#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ZV::Simulator {

// A moment of one simulated device's life that a test orders its steps by: its Count-th entry into a state (its
// first state counts), its Count-th receipt of a request (before it acts on it), its Count-th status answer of a
// kind (once sent), or the Count-th image message it took.
struct Moment {
    enum class Kind { EnteredState, Asked, Answered, TookImageMessage };

    std::size_t Device = 0;  // from 0
    Kind What = Kind::EnteredState;
    std::string Name;  // the state, request or status; empty for an image message
    std::uint32_t Count = 1;

    bool operator==(const Moment&) const = default;
};

// What a test has done at a moment: a device plugged in (one set to wait for a cue) or unplugged for good, or the
// device that met the moment holding there, doing nothing more of its own until the test releases it.
struct Cue {
    enum class Action { PlugIn, Unplug, Hold };

    Moment When;
    Action Do = Action::Hold;
    std::size_t Target = 0;  // the device plugged in or unplugged, from 0
    std::string Text;        // as written
};

// Cues written as "<device>.<moment>[#<count>]:<action>", separated by commas, devices numbered from 1. Moments:
// normal, update, restarting, absent, done (entering the state); asked-status, asked-version, asked-enter-update;
// said-running, said-update, said-done; image. Actions: plug=<device>, unplug=<device>, hold. Throws
// std::invalid_argument naming ZV_SIM_CUES for anything else.
std::vector<Cue> ParseCues(std::string_view text, std::size_t deviceCount);

}  // namespace ZV::Simulator
