#include "Platform/MidiDriver.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace ZV::Platform {
namespace {

class NamedMidiDriver final : public MidiDriver {
public:
    explicit NamedMidiDriver(std::string name) : mName(std::move(name)) {}
    std::vector<std::string> ListInputDevices() override { return {mName}; }
    std::vector<std::string> ListOutputDevices() override { return {}; }
    std::unique_ptr<MidiInput> OpenInput(std::size_t, MidiInputCallback&, MidiOpenFailure& failure) override
    {
        failure = MidiOpenFailure::Absent;
        return nullptr;
    }
    std::unique_ptr<MidiOutput> OpenOutput(std::size_t, MidiOutputCallback&, MidiOpenFailure& failure) override
    {
        failure = MidiOpenFailure::Absent;
        return nullptr;
    }

private:
    std::string mName;
};

TEST(MidiDriverFactory, ARegisteredBackEndIsMadeByItsNameALaterOneReplacesItAndAnUnknownNameIsRefusedWithTheChoices)
{
    EXPECT_NE(CreateMidiDriver("alsa"), nullptr) << "the machine's driver is always there";
    EXPECT_EQ(Testing::ThrownText<std::invalid_argument>([] { CreateMidiDriver("jack"); }),
              "ZV_MIDI_DRIVER is \"jack\"; expected alsa");

    RegisterMidiDriver("loop", [] { return std::make_shared<NamedMidiDriver>("first"); });
    RegisterMidiDriver("test", [] { return std::make_shared<NamedMidiDriver>("test"); });
    EXPECT_EQ(CreateMidiDriver("loop")->ListInputDevices(), std::vector<std::string>{"first"});
    RegisterMidiDriver("loop", [] { return std::make_shared<NamedMidiDriver>("second"); });
    EXPECT_EQ(CreateMidiDriver("loop")->ListInputDevices(), std::vector<std::string>{"second"});
    EXPECT_EQ(Testing::ThrownText<std::invalid_argument>([] { CreateMidiDriver("jack"); }),
              "ZV_MIDI_DRIVER is \"jack\"; expected alsa, loop or test");

    RegisterMidiDriver("refusing", []() -> std::shared_ptr<MidiDriver> { throw std::invalid_argument("bad setting"); });
    EXPECT_EQ(Testing::ThrownText<std::invalid_argument>([] { CreateMidiDriver("refusing"); }), "bad setting");
}

}  // namespace
}  // namespace ZV::Platform
