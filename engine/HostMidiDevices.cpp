#include "engine/HostMidiDevices.h"
#include <algorithm>

#if ! JUCE_WINDOWS
 #include <dlfcn.h>
#endif

namespace
{
juce::String portName (const char* name)
{
    return name != nullptr ? juce::String::fromUTF8 (name) : juce::String();
}

juce::Array<juce::MidiDeviceInfo> portList (const char* name, const char* prefix)
{
    juce::Array<juce::MidiDeviceInfo> list;
    const auto n = portName (name);
    if (n.isNotEmpty())
        list.add ({ n, prefix + n });
    return list;
}

// The length of a message that starts with this status byte, SysEx aside.
int messageLength (juce::uint8 status)
{
    if (status < 0xF0)
        return juce::MidiMessage::getMessageLengthFromFirstByte (status);
    switch (status)
    {
        case 0xF1: case 0xF3: return 2;
        case 0xF2:            return 3;
        default:              return 1;
    }
}
}

//==============================================================================
// Cuts the host's byte stream into whole messages for one callback.
class HostMidiDevices::Input final : public MidiDeviceInput
{
public:
    Input (HostMidiDevices& o, juce::MidiInputCallback& cb) : owner (o), callback (cb)
    {
        sysex.reserve (2048);   // a program dump fits without growing
    }
    ~Input() override   { stop(); }

    void start() override   { owner.inputStarted (*this); }
    void stop() override    { owner.inputStopped (*this); }

    void push (const unsigned char* bytes, size_t size)
    {
        for (size_t i = 0; i < size; ++i)
            pushByte (bytes[i]);
    }

    void reset()
    {
        inSysEx = false;
        sysex.clear();
        runningStatus = 0;
        length = 0;
    }

private:
    void pushByte (juce::uint8 b)
    {
        // Real-time bytes may fall anywhere, inside SysEx too, and leave everything as it was.
        if (b >= 0xF8)
        {
            emit (&b, 1);
            return;
        }

        if (inSysEx)
        {
            if (b < 0x80)
            {
                if (sysex.size() < maxSysExSize)
                    sysex.push_back (b);
                else
                    dropSysEx();
                return;
            }

            if (b == 0xF7)
            {
                sysex.push_back (b);
                emit (sysex.data(), sysex.size());
                dropSysEx();
                return;
            }

            // Any other status byte ends the SysEx unfinished: drop it and take the byte as new.
            dropSysEx();
        }

        if (b == 0xF0)
        {
            inSysEx = true;
            sysex.clear();
            sysex.push_back (b);
            runningStatus = 0;
            return;
        }

        if (b == 0xF7)
        {
            // An end without a start: nothing to finish.
            runningStatus = 0;
            length = 0;
            return;
        }

        if (b >= 0x80)
        {
            // System common messages cancel running status.
            runningStatus = b < 0xF0 ? b : 0;
            message[0] = b;
            length = 1;
        }
        else if (length > 0 && length < 3)
        {
            message[length++] = b;
        }
        else if (runningStatus != 0)
        {
            message[0] = runningStatus;
            message[1] = b;
            length = 2;
        }
        else
        {
            return;   // a data byte with no status to belong to
        }

        if (length > 0 && length == messageLength (message[0]))
        {
            emit (message, (size_t) length);
            length = 0;
        }
    }

    void dropSysEx()
    {
        inSysEx = false;
        sysex.clear();
    }

    void emit (const juce::uint8* data, size_t size)
    {
        const juce::MidiMessage m (data, (int) size, juce::Time::getMillisecondCounterHiRes() * 0.001);
        callback.handleIncomingMidiMessage (nullptr, m);
    }

    HostMidiDevices& owner;
    juce::MidiInputCallback& callback;

    bool inSysEx = false;
    std::vector<juce::uint8> sysex;
    juce::uint8 message[3] {};
    juce::uint8 runningStatus = 0;
    int length = 0;
};

//==============================================================================
// Hands every message to the host as soon as it is sent: the host queues.
class HostMidiDevices::Output final : public MidiDeviceOutput
{
public:
    explicit Output (const VantorHostMidiPorts& h) : host (h) {}

    void sendBlockOfMessages (const juce::MidiBuffer& buffer, double, double) override
    {
        for (const auto metadata : buffer)
            send (metadata.data, metadata.numBytes);
    }

    void sendMessageNow (const juce::MidiMessage& m) override   { send (m.getRawData(), m.getRawDataSize()); }
    void clearAllPendingMessages() override {}
    void startBackgroundThread() override {}
    void stopBackgroundThread() override {}

private:
    void send (const juce::uint8* data, int size)
    {
        if (data != nullptr && size > 0)
            host.send (data, (size_t) size);
    }

    const VantorHostMidiPorts& host;
};

//==============================================================================
HostMidiDevices::HostMidiDevices (const VantorHostMidiPorts& ports)
    : host (ports)
{
}

HostMidiDevices::~HostMidiDevices()
{
    const std::lock_guard<std::mutex> attaching (attachLock);
    if (attached)
        host.setReceiver (nullptr, nullptr);
}

juce::Array<juce::MidiDeviceInfo> HostMidiDevices::getInputDevices()
{
    return portList (host.inputName, "host-in:");
}

juce::Array<juce::MidiDeviceInfo> HostMidiDevices::getOutputDevices()
{
    return portList (host.outputName, "host-out:");
}

std::unique_ptr<MidiDeviceInput> HostMidiDevices::openInput (int index, juce::MidiInputCallback* callback)
{
    if (callback == nullptr || ! juce::isPositiveAndBelow (index, getInputDevices().size()))
        return {};
    return std::make_unique<Input> (*this, *callback);
}

std::unique_ptr<MidiDeviceOutput> HostMidiDevices::openOutput (int index)
{
    if (! juce::isPositiveAndBelow (index, getOutputDevices().size()))
        return {};
    return std::make_unique<Output> (host);
}

void HostMidiDevices::inputStarted (Input& input)
{
    const std::lock_guard<std::mutex> attaching (attachLock);
    {
        const juce::ScopedLock sl (deliveryLock);
        if (std::find (running.begin(), running.end(), &input) != running.end())
            return;
        input.reset();
        running.push_back (&input);
    }

    if (! attached)
    {
        host.setReceiver (&HostMidiDevices::receive, this);
        attached = true;
    }
}

void HostMidiDevices::inputStopped (Input& input)
{
    const std::lock_guard<std::mutex> attaching (attachLock);
    bool last = false;
    {
        // Waits for a delivery in progress to end.
        const juce::ScopedLock sl (deliveryLock);
        const auto it = std::find (running.begin(), running.end(), &input);
        if (it == running.end())
            return;
        running.erase (it);
        last = running.empty();
    }

    if (last && attached)
    {
        host.setReceiver (nullptr, nullptr);
        attached = false;
    }
}

void HostMidiDevices::receive (void* context, const unsigned char* bytes, size_t size)
{
    if (context != nullptr && bytes != nullptr && size > 0)
        static_cast<HostMidiDevices*> (context)->deliver (bytes, size);
}

void HostMidiDevices::deliver (const unsigned char* bytes, size_t size)
{
    const juce::ScopedLock sl (deliveryLock);
    for (auto* input : running)
        input->push (bytes, size);
}

//==============================================================================
bool HostMidiDevices::isUsable (const VantorHostMidiPorts* ports)
{
    return ports != nullptr && ports->version >= VANTOR_HOST_MIDI_VERSION
        && ports->send != nullptr && ports->setReceiver != nullptr;
}

const VantorHostMidiPorts* HostMidiDevices::hostPorts()
{
    static const VantorHostMidiPorts* const ports = []() -> const VantorHostMidiPorts*
    {
       #if JUCE_WINDOWS
        return nullptr;
       #else
        auto* symbol = dlsym (RTLD_DEFAULT, VANTOR_HOST_MIDI_SYMBOL);
        if (symbol == nullptr)
            return nullptr;
        const auto lend = reinterpret_cast<VantorHostMidiPortsFunction> (symbol);
        const auto* lent = lend();
        return isUsable (lent) ? lent : nullptr;
       #endif
    }();
    return ports;
}
