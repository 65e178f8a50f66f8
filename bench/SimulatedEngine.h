#pragma once

#include "Engine/UpdateEngine.h"
#include "Midi/MidiComm.h"
#include "Simulator/SimulatedMidiDriver.h"
#include "Simulator/SimulatedMidiSystem.h"

#include <memory>

namespace bench {

// An initialised engine whose MIDI objects run over a simulated MIDI system of their own.
inline ZV::RCPtr<LUpdateEngine> MakeEngineOverSimulation(const ZV::Simulator::SimulationSettings& settings)
{
    const auto driver = std::make_shared<ZV::Simulator::SimulatedMidiDriver>(
        std::make_shared<ZV::Simulator::SimulatedMidiSystem>(settings));
    const ZV::RCPtr<LUpdateEngine> engine(
        new LUpdateEngine([driver] { return ZV::RCPtr<ZV::LMidiCommInterface>(ZV::LMidiComm::Create(driver)); }));
    engine->Initialize(ZV::WideString());
    return engine;
}

}  // namespace bench
