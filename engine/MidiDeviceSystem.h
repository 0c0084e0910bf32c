#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <memory>

// Everything that goes to or comes from the synthesizer passes through these
// interfaces: the plug-in uses the computer's MIDI devices through JUCE, tests
// plug in devices of their own.

class MidiDeviceOutput
{
public:
    virtual ~MidiDeviceOutput() = default;

    virtual void sendBlockOfMessages (const juce::MidiBuffer&, double millisecondCounterToStartAt,
                                      double samplesPerSecondForBuffer) = 0;
    virtual void sendMessageNow (const juce::MidiMessage&) = 0;
    virtual void clearAllPendingMessages() = 0;
    virtual void startBackgroundThread() = 0;
    virtual void stopBackgroundThread() = 0;
};

class MidiDeviceInput
{
public:
    virtual ~MidiDeviceInput() = default;

    virtual void start() = 0;
    virtual void stop() = 0;
};

class MidiDeviceSystem
{
public:
    virtual ~MidiDeviceSystem() = default;

    virtual juce::Array<juce::MidiDeviceInfo> getInputDevices() = 0;
    virtual juce::Array<juce::MidiDeviceInfo> getOutputDevices() = 0;

    // index is a position in the matching device list; an index outside it,
    // or a device that fails to open, gives nullptr.
    virtual std::unique_ptr<MidiDeviceInput> openInput (int index, juce::MidiInputCallback* callback) = 0;
    virtual std::unique_ptr<MidiDeviceOutput> openOutput (int index) = 0;

    // The computer's MIDI devices, through juce::MidiInput and juce::MidiOutput.
    static MidiDeviceSystem& juceDevices();

    // What the plug-in uses: the ports its host process lends, when it lends
    // any (HostMidiDevices), else the computer's devices.
    static MidiDeviceSystem& pluginDevices();
};
