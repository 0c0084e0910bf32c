#pragma once

// Properties every engine fuzz target checks after feeding the engine.
#include "FuzzSupport.h"
#include "engine/MidiCntrState.h"
#include "support/RecordingMidiDevices.h"

namespace fuzzchecks
{
// Program selects reach the host only as a real slot of the device banks.
struct CheckingCable : public CableListener
{
    void parameterChanged (ParameterId id, int value, bool, bool, bool) override
    {
        FUZZ_CHECK (id == ParameterIds::programSelect);
        FUZZ_CHECK (value >= 0 && value < MidiCntrState::numBanks * MidiCntrState::programsPerBank);
    }
};

struct Harness
{
    Harness()
    {
        initialiseFramework();
        engine = std::make_unique<MidiCntrState> (devices);
        engine->addCableListener (&cable);
        engine->ports().openOutput (1);
    }

    RecordingMidiDevices devices;
    CheckingCable cable;
    std::unique_ptr<MidiCntrState> engine;
};

inline void checkEvents (const std::vector<int>& events)
{
    for (auto e : events)
    {
        switch (EngineEvent::kindOf (e))
        {
            case EngineEvent::noteOff:
            case EngineEvent::noteOn:
            case EngineEvent::modWheel:
            case EngineEvent::pitchBend:
                // The status byte in bits 20-27 must match the kind in bits 24-31.
                FUZZ_CHECK (((e >> 20) & 0xF0) == (EngineEvent::kindOf (e) << 4));
                break;

            case EngineEvent::bankProgramReceived:
                FUZZ_CHECK (((e >> 8) & 0xFFFF) < MidiCntrState::numBanks);
                FUZZ_CHECK ((e & 0xFF) < MidiCntrState::programsPerBank);
                break;

            case EngineEvent::globalsReceived:
            case EngineEvent::midiChannelChanged:
                // A global dump may move the plug-in to the one channel it names.
                FUZZ_CHECK ((e & 0xFFFFFF) <= 16 && (EngineEvent::kindOf (e) == EngineEvent::globalsReceived || (e & 0xFF) >= 1));
                break;

            case EngineEvent::editBufferChanged:
            case EngineEvent::bankReceiveFinished:
            case EngineEvent::programStored:
                FUZZ_CHECK ((e & 0xFFFFFF) == 0);
                break;

            default:
                // Nothing but device traffic and dumps may come from the MIDI input.
                FUZZ_CHECK (false);
        }
    }
}

inline void checkIncomingParameters (const MidiCntrState& engine, const std::vector<int>& entries)
{
    for (auto entry : entries)
    {
        const int id = entry >> 16, value = entry & 0xFFFF;
        FUZZ_CHECK (ParameterTable::isValidId (id) && id < ParameterIds::programSelect);
        // An id the table gives no range keeps the synthesizer's byte as it came.
        const auto& table = engine.parameterTable();
        FUZZ_CHECK (value >= 0 && value <= (table.describes (id) ? std::max (0, table.maximum (id)) : 255));
    }
}

// Requests the engine sends on its own (the bank receive chain) must name real slots.
inline void checkSentSysEx (const OutputLog& log)
{
    for (const auto& call : log.sends())
    {
        for (const auto& m : call.messages)
        {
            if (! m.isSysEx())
                continue;

            const auto* d = m.getRawData();
            const int n = m.getRawDataSize();
            // Addressed to the module until a keyboard has identified itself.
            FUZZ_CHECK (n >= 5 && d[0] == 0xF0 && d[1] == 0x01 && d[n - 1] == 0xF7
                        && (d[2] == ProgramRecord::moduleDeviceId || d[2] == ProgramRecord::keyboardDeviceId));

            if (d[3] == 0x05)
                FUZZ_CHECK (n == 7 && d[4] < MidiCntrState::numBanks && d[5] < MidiCntrState::programsPerBank);
            else
                FUZZ_CHECK (n == 5 && (d[3] == 0x06 || d[3] == 0x0E));
        }
    }
}

// Drains and checks what one run left behind, then gives the next run a fresh
// output so the recorded log, and so memory, stays small.
inline void finishRun (Harness& h)
{
    auto& engine = *h.engine;
    checkEvents (engine.takeEvents());
    checkIncomingParameters (engine, engine.takeIncomingParameters());

    FUZZ_CHECK (engine.editBuffer().size() == (size_t) ProgramRecord::size);
    FUZZ_CHECK (engine.getGlobals().size() == 100);
    for (int b = 0; b < MidiCntrState::numBanks; ++b)
        FUZZ_CHECK (engine.deviceBank (b).records().size() == (size_t) ProgramRecord::bankSize);

    // Every event in the host queue is something the engine itself made.
    juce::MidiBuffer hostMidi;
    FUZZ_CHECK (engine.moveHostMidiInto (hostMidi, 512));
    for (const auto m : hostMidi)
        FUZZ_CHECK (m.getMessage().isNoteOff() || m.getMessage().isController());

    checkSentSysEx (*h.devices.lastOutput());
    engine.ports().openOutput (1);
    h.devices.outputs.erase (h.devices.outputs.begin(), h.devices.outputs.end() - 1);
    h.devices.inputs.clear();
}
}
