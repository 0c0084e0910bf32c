#pragma once

#include "engine/MidiCntrState.h"
#include "support/RecordingMidiDevices.h"
#include <vector>

// Records engine events as the editor would receive them.
struct EventRecorder : public MidiCntrStateListener
{
    explicit EventRecorder (MidiCntrState& e) : engine (e)   { engine.addListener (this); }
    ~EventRecorder() override                                { engine.removeListener (this); }

    void midiCntrStateChanged (MidiCntrState*) override      { ++notifications; }

    std::vector<int> take()                                  { return engine.takeEvents(); }

    MidiCntrState& engine;
    std::atomic<int> notifications { 0 };
};

// Every controller the device would receive, flattened from the recorded output.
inline std::vector<std::pair<int, int>> sentControllers (const OutputLog& log)
{
    std::vector<std::pair<int, int>> result;
    for (const auto& call : log.sends())
        for (const auto& m : call.messages)
            if (m.isController())
                result.emplace_back (m.getControllerNumber(), m.getControllerValue());
    return result;
}

// Every message the device received from the given send on, as hex, "|" between messages.
inline juce::String sentHex (const OutputLog& log, size_t fromSend = 0)
{
    juce::StringArray texts;
    const auto sends = log.sends();
    for (auto s = fromSend; s < sends.size(); ++s)
        for (const auto& m : sends[s].messages)
            texts.add (juce::String::toHexString (m.getRawData(), m.getRawDataSize()));
    return texts.joinIntoString ("|");
}

inline juce::MidiMessage rawMessage (std::initializer_list<int> bytes)
{
    std::vector<juce::uint8> data;
    for (auto b : bytes)
        data.push_back ((juce::uint8) b);
    return juce::MidiMessage (data.data(), (int) data.size());
}
