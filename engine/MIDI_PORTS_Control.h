#pragma once

#include "engine/MidiDeviceSystem.h"
#include "engine/ProgramRecord.h"

// Owns the one open MIDI input and the one open MIDI output that reach the
// synthesizer, and every way of sending to that output. Every send does
// nothing while the output is closed, for a channel outside 1-16, or for a
// data value that does not fit its message.
class MIDI_PORTS_Control
{
public:
    explicit MIDI_PORTS_Control (MidiDeviceSystem& deviceSystem);
    ~MIDI_PORTS_Control();

    // n = 0 (or below) closes that direction; n >= 1 opens device n - 1 of the
    // device list. The old device of that direction is always closed first;
    // an index past the list, or an input without a callback, opens nothing.
    void openInput (int n, juce::MidiInputCallback* callback);
    void openOutput (int n);

    bool isInputOpen() const noexcept       { return inputOpen; }
    bool isOutputOpen() const noexcept      { return outputOpen; }

    // Position in the device list of the chosen device, -1 for none.
    int getInputIndex() const noexcept      { return inputIndex; }
    int getOutputIndex() const noexcept     { return outputIndex; }

    juce::StringArray inputDeviceNames();
    juce::StringArray outputDeviceNames();

    // The index to open for a stored device name: its position + 1 in the list
    // (exact, case-sensitive), or 0 when it is not there or names no device.
    static int indexForStoredName (const juce::StringArray& deviceNames, const juce::String& stored);

    // False for the placeholders: "NONE" and names of one or two characters.
    static bool namesADevice (const juce::String& stored);

    void sendBlockNow (const juce::MidiBuffer& buffer);
    void sendController (int channel, int controller, int value);
    void sendNoteOn (int channel, int note, int velocity);
    void sendNoteOff (int channel, int note);
    void sendPitchWheel (int channel, int value);
    void sendProgramChange (int channel, int program);

    // A complete F0 ... F7 message, queued whole behind what waits; anything else is refused.
    void sendSysEx (const ByteArray& message);

    // Stored with the port names and shown in the setup panel; no send uses it.
    int sysexChunkSize = 0;

private:
    void closeInput();
    void closeOutput();
    void sendOneNow (const juce::MidiMessage& message);

    MidiDeviceSystem& devices;

    int outputIndex = -1, inputIndex = -1;
    std::unique_ptr<MidiDeviceOutput> output;
    std::unique_ptr<MidiDeviceInput> input;
    std::atomic<bool> inputOpen { false }, outputOpen { false };

    // Sends come from the message, host and MIDI input threads while the
    // setup panel may swap the output: the device must not vanish mid-send.
    juce::CriticalSection outputLock;

    JUCE_DECLARE_NON_COPYABLE (MIDI_PORTS_Control)
};
