#pragma once

#include "engine/MidiDeviceSystem.h"
#include <memory>
#include <vector>

// A MidiDeviceSystem with made-up device lists whose outputs record every call
// in order. Logs outlive their devices, so a test can look after a close.
struct OutputCall
{
    enum Kind { block, now, clear, startThread, stopThread };

    Kind kind;
    std::vector<juce::MidiMessage> messages;   // block: its events in order; now: the one message
    double startTime = 0.0, rate = 0.0;        // block only
};

class OutputLog
{
public:
    explicit OutputLog (int index) : deviceIndex (index) {}

    const int deviceIndex;

    void add (OutputCall call);
    void markDeleted();

    std::vector<OutputCall> calls() const;
    std::vector<OutputCall> sends() const;     // blocks and direct sends only
    int count (OutputCall::Kind kind) const;
    bool isDeleted() const;
    bool isThreadRunning() const;

private:
    juce::CriticalSection lock;
    std::vector<OutputCall> log;
    bool deleted = false, threadRunning = false;
};

class InputLog
{
public:
    InputLog (int index, juce::MidiInputCallback* cb) : deviceIndex (index), callback (cb) {}

    const int deviceIndex;
    juce::MidiInputCallback* const callback;
    std::atomic<int> starts { 0 }, stops { 0 };
    std::atomic<bool> deleted { false };
};

class RecordingMidiDevices : public MidiDeviceSystem
{
public:
    RecordingMidiDevices (juce::StringArray inputNames = { "In A", "In B" },
                          juce::StringArray outputNames = { "Out A", "Out B" });

    juce::StringArray inputNames, outputNames;
    bool refuseToOpen = false;     // devices in the list that fail to open
    std::atomic<int> listings { 0 };   // device lists asked for (the real system starts its MIDI service for them)

    juce::Array<juce::MidiDeviceInfo> getInputDevices() override;
    juce::Array<juce::MidiDeviceInfo> getOutputDevices() override;
    std::unique_ptr<MidiDeviceInput> openInput (int index, juce::MidiInputCallback* callback) override;
    std::unique_ptr<MidiDeviceOutput> openOutput (int index) override;

    // Every device opened so far, oldest first.
    std::vector<std::shared_ptr<OutputLog>> outputs;
    std::vector<std::shared_ptr<InputLog>> inputs;

    std::shared_ptr<OutputLog> lastOutput() const   { return outputs.empty() ? nullptr : outputs.back(); }
    std::shared_ptr<InputLog> lastInput() const     { return inputs.empty() ? nullptr : inputs.back(); }
};
