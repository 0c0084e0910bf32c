#include "MidiDeviceSystem.h"
#include "HostMidiDevices.h"

namespace
{
class JuceOutput final : public MidiDeviceOutput
{
public:
    explicit JuceOutput (std::unique_ptr<juce::MidiOutput> d) : device (std::move (d)) {}

    void sendBlockOfMessages (const juce::MidiBuffer& buffer, double startTime, double rate) override
    {
        device->sendBlockOfMessages (buffer, startTime, rate);
    }

    void sendMessageNow (const juce::MidiMessage& m) override   { device->sendMessageNow (m); }
    void clearAllPendingMessages() override                     { device->clearAllPendingMessages(); }
    void startBackgroundThread() override                       { device->startBackgroundThread(); }
    void stopBackgroundThread() override                        { device->stopBackgroundThread(); }

private:
    std::unique_ptr<juce::MidiOutput> device;
};

class JuceInput final : public MidiDeviceInput
{
public:
    explicit JuceInput (std::unique_ptr<juce::MidiInput> d) : device (std::move (d)) {}

    void start() override   { device->start(); }
    void stop() override    { device->stop(); }

private:
    std::unique_ptr<juce::MidiInput> device;
};

class JuceDevices final : public MidiDeviceSystem
{
public:
    juce::Array<juce::MidiDeviceInfo> getInputDevices() override    { return juce::MidiInput::getAvailableDevices(); }
    juce::Array<juce::MidiDeviceInfo> getOutputDevices() override   { return juce::MidiOutput::getAvailableDevices(); }

    std::unique_ptr<MidiDeviceInput> openInput (int index, juce::MidiInputCallback* callback) override
    {
        const auto devices = getInputDevices();

        if (callback == nullptr || ! juce::isPositiveAndBelow (index, devices.size()))
            return {};

        if (auto d = juce::MidiInput::openDevice (devices.getReference (index).identifier, callback))
            return std::make_unique<JuceInput> (std::move (d));

        return {};
    }

    std::unique_ptr<MidiDeviceOutput> openOutput (int index) override
    {
        const auto devices = getOutputDevices();

        if (! juce::isPositiveAndBelow (index, devices.size()))
            return {};

        if (auto d = juce::MidiOutput::openDevice (devices.getReference (index).identifier))
            return std::make_unique<JuceOutput> (std::move (d));

        return {};
    }
};
}

MidiDeviceSystem& MidiDeviceSystem::juceDevices()
{
    static JuceDevices devices;
    return devices;
}

MidiDeviceSystem& MidiDeviceSystem::pluginDevices()
{
    if (auto* ports = HostMidiDevices::hostPorts())
    {
        static HostMidiDevices lent (*ports);
        return lent;
    }
    return juceDevices();
}
