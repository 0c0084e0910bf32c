#pragma once

#include "engine/MidiDeviceSystem.h"
#include "platform/VantorHostMidi.h"
#include <mutex>
#include <vector>

// The two MIDI ports a host process lends through vantorHostMidiPorts, offered
// as the only devices. Bytes from the host's port are cut into whole messages
// (SysEx from F0 to F7) and reach each started input's callback on the host's
// thread, as a MIDI input thread would deliver them; the MidiInput* handed to
// the callback is nullptr. One receiver is installed with the host while any
// input runs, and every instance in the process shares it.
class HostMidiDevices final : public MidiDeviceSystem
{
public:
    // A SysEx message that grows past this is dropped: a host streaming garbage
    // must not make us allocate without end.
    static constexpr size_t maxSysExSize = 1 << 20;

    // The ports must stay valid while this object lives.
    explicit HostMidiDevices (const VantorHostMidiPorts& ports);
    ~HostMidiDevices() override;

    juce::Array<juce::MidiDeviceInfo> getInputDevices() override;
    juce::Array<juce::MidiDeviceInfo> getOutputDevices() override;
    std::unique_ptr<MidiDeviceInput> openInput (int index, juce::MidiInputCallback* callback) override;
    std::unique_ptr<MidiDeviceOutput> openOutput (int index) override;

    // The host process's ports, looked up once; nullptr when it lends none
    // or lends them in a form we cannot use.
    static const VantorHostMidiPorts* hostPorts();
    static bool isUsable (const VantorHostMidiPorts* ports);

private:
    class Input;
    class Output;

    static void receive (void* context, const unsigned char* bytes, size_t size);
    void deliver (const unsigned char* bytes, size_t size);
    void inputStarted (Input&);
    void inputStopped (Input&);

    const VantorHostMidiPorts& host;

    // Held while bytes are delivered: once an input has left the list, no call
    // into its callback runs.
    juce::CriticalSection deliveryLock;
    std::vector<Input*> running;

    // Orders attaching and detaching; never held while delivering, since the
    // host's detach waits for a delivery in progress.
    std::mutex attachLock;
    bool attached = false;

    JUCE_DECLARE_NON_COPYABLE (HostMidiDevices)
};
