#include "SimulatedSynth.h"
#include "engine/DSI_Program.h"
#include "support/ComponentTestSupport.h"
#include <algorithm>

namespace
{
constexpr int numSlots = ProgramRecord::numDeviceBanks * ProgramRecord::programsPerBank;

double nowMs()  { return juce::Time::getMillisecondCounterHiRes(); }

ByteArray bytesOf (const juce::MidiMessage& m)
{
    return { m.getRawData(), m.getRawData() + m.getRawDataSize() };
}

template <typename Condition>
bool waitFor (Condition condition, int timeoutMs)
{
    const auto end = nowMs() + timeoutMs;

    while (! condition())
    {
        if (nowMs() > end)
            return false;

        juce::Thread::sleep (1);
    }

    return true;
}
}

//==============================================================================
// Stands for the output device; its queue and thread live in the synth.
class SimulatedSynth::Output final : public MidiDeviceOutput
{
public:
    explicit Output (SimulatedSynth& s) : synth (s) {}
    ~Output() override                                                       { synth.runOutput (false); }

    void sendBlockOfMessages (const juce::MidiBuffer& buffer, double, double) override   { synth.queueOutput (buffer); }
    void sendMessageNow (const juce::MidiMessage& m) override                { synth.sendOutputNow (m); }
    void clearAllPendingMessages() override                                  { synth.clearOutput(); }
    void startBackgroundThread() override                                    { synth.runOutput (true); }
    void stopBackgroundThread() override                                     { synth.runOutput (false); }

private:
    SimulatedSynth& synth;
};

class SimulatedSynth::Input final : public MidiDeviceInput
{
public:
    Input (SimulatedSynth& s, juce::MidiInputCallback* cb) : synth (s), callback (cb) {}
    ~Input() override          { stop(); }

    void start() override      { synth.setListener (callback); }
    void stop() override       { synth.setListener (nullptr); }

private:
    SimulatedSynth& synth;
    juce::MidiInputCallback* const callback;
};

class SimulatedSynth::DeliveryThread final : public juce::Thread
{
public:
    explicit DeliveryThread (SimulatedSynth& s) : juce::Thread ("Simulated Synth MIDI"), synth (s) {}

    void run() override
    {
        while (! threadShouldExit())
        {
            synth.deliverDue();

            double waitMs = 50.0;
            {
                const juce::ScopedLock sl (synth.lock);
                if (! synth.queue.empty())
                    waitMs = juce::jlimit (0.0, 50.0, synth.queue.front().dueMs - nowMs());
            }

            if (waitMs > 0.0)
                wait (juce::jmax (1, (int) waitMs));
        }
    }

private:
    SimulatedSynth& synth;
};

//==============================================================================
SimulatedSynth::SimulatedSynth()
{
    juce::Random random (0x5eed);

    auto randomRecord = [&random]
    {
        ByteArray r ((size_t) ProgramRecord::size);
        for (auto& b : r)
            b = (juce::uint8) random.nextInt (256);
        return r;
    };

    for (int i = 0; i < numSlots; ++i)
        banks.push_back (randomRecord());

    edit = randomRecord();

    // Globals travel unpacked, so they must be 7-bit.
    for (int i = 0; i < numGlobals; ++i)
        globalBlock.push_back ((juce::uint8) random.nextInt (128));

    thread = std::make_unique<DeliveryThread> (*this);
    thread->startThread();
}

SimulatedSynth::~SimulatedSynth()
{
    thread->stopThread (20000);
}

//==============================================================================
juce::Array<juce::MidiDeviceInfo> SimulatedSynth::getInputDevices()
{
    return { juce::MidiDeviceInfo ("Simulated Synth", "simulated-synth-out") };
}

juce::Array<juce::MidiDeviceInfo> SimulatedSynth::getOutputDevices()
{
    return { juce::MidiDeviceInfo ("Simulated Synth", "simulated-synth-in") };
}

std::unique_ptr<MidiDeviceInput> SimulatedSynth::openInput (int index, juce::MidiInputCallback* callback)
{
    if (index != 0)
        return {};

    return std::make_unique<Input> (*this, callback);
}

std::unique_ptr<MidiDeviceOutput> SimulatedSynth::openOutput (int index)
{
    if (index != 0)
        return {};

    return std::make_unique<Output> (*this);
}

//==============================================================================
void SimulatedSynth::setAnswer (Answer mode, int parts)
{
    const juce::ScopedLock sl (lock);
    answerMode = mode;
    answerParts = juce::jmax (1, parts);
}

void SimulatedSynth::setAnswerDelayMs (int ms)
{
    const juce::ScopedLock sl (lock);
    answerDelayMs = juce::jmax (0, ms);
}

void SimulatedSynth::setDeviceId (juce::uint8 id)
{
    const juce::ScopedLock sl (lock);
    deviceId = id;
}

void SimulatedSynth::setAddressedOnly (bool only)
{
    const juce::ScopedLock sl (lock);
    addressedOnly = only;
}

bool SimulatedSynth::isSlot (int bank, int program) noexcept
{
    return juce::isPositiveAndBelow (bank, ProgramRecord::numDeviceBanks)
        && juce::isPositiveAndBelow (program, ProgramRecord::programsPerBank);
}

ByteArray SimulatedSynth::record (int bank, int program) const
{
    const juce::ScopedLock sl (lock);
    return isSlot (bank, program) ? banks[(size_t) (bank * ProgramRecord::programsPerBank + program)] : ByteArray();
}

void SimulatedSynth::setRecord (int bank, int program, const ByteArray& bytes)
{
    const juce::ScopedLock sl (lock);
    if (isSlot (bank, program))
        banks[(size_t) (bank * ProgramRecord::programsPerBank + program)] = bytes;
}

ByteArray SimulatedSynth::editBuffer() const                 { const juce::ScopedLock sl (lock); return edit; }
void SimulatedSynth::setEditBuffer (const ByteArray& bytes)  { const juce::ScopedLock sl (lock); edit = bytes; }
ByteArray SimulatedSynth::globals() const                    { const juce::ScopedLock sl (lock); return globalBlock; }
void SimulatedSynth::setGlobals (const ByteArray& bytes)     { const juce::ScopedLock sl (lock); globalBlock = bytes; }

int SimulatedSynth::numNotesReceived() const
{
    int n = 0;
    for (const auto& r : received())
        if (r.message.isNoteOnOrOff())
            ++n;
    return n;
}

std::vector<SimulatedSynth::Received> SimulatedSynth::received() const
{
    const juce::ScopedLock sl (lock);
    return log;
}

int SimulatedSynth::numReceived() const
{
    const juce::ScopedLock sl (lock);
    return (int) log.size();
}

void SimulatedSynth::clearReceived()
{
    const juce::ScopedLock sl (lock);
    log.clear();
}

bool SimulatedSynth::waitForReceived (int count, int timeoutMs) const
{
    return waitFor ([this, count] { return numReceived() >= count; }, timeoutMs);
}

bool SimulatedSynth::settle() const
{
    for (int round = 0; round < 1000; ++round)
    {
        int dispatched = 0;
        if (! waitUntilIdle() || ! ui::drain (&dispatched))
            return false;
        if (dispatched == 0 && waitUntilIdle (0))
            return true;
    }
    return false;
}

bool SimulatedSynth::waitUntilIdle (int timeoutMs) const
{
    return waitFor ([this] { return undelivered.load() == 0; }, timeoutMs);
}

//==============================================================================
void SimulatedSynth::queueOutput (const juce::MidiBuffer& buffer)
{
    const juce::ScopedLock sl (outputLock);
    for (const auto metadata : buffer)
        outputQueue.push_back (metadata.getMessage());
    deliverOutput();
}

void SimulatedSynth::sendOutputNow (const juce::MidiMessage& message)
{
    const juce::ScopedLock sl (outputLock);
    receive (message);
}

void SimulatedSynth::clearOutput()
{
    const juce::ScopedLock sl (outputLock);
    outputQueue.clear();
}

// A stopped thread drops what it had not sent, as JUCE's output does when its thread ends.
void SimulatedSynth::runOutput (bool running)
{
    const juce::ScopedLock sl (outputLock);
    outputRunning = running;
    if (! running)
        outputQueue.clear();
    deliverOutput();
}

void SimulatedSynth::holdOutput (bool held)
{
    const juce::ScopedLock sl (outputLock);
    outputHeld = held;
    deliverOutput();
}

void SimulatedSynth::deliverOutput()
{
    if (! outputRunning || outputHeld)
        return;

    for (const auto& m : outputQueue)
        receive (m);
    outputQueue.clear();
}

void SimulatedSynth::receive (const juce::MidiMessage& message)
{
    {
        const juce::ScopedLock sl (lock);
        log.push_back ({ message, nowMs() });
    }

    if (message.isSysEx())
        answer (bytesOf (message));
}

void SimulatedSynth::answer (const ByteArray& m)
{
    if (m.size() < 5 || m[0] != 0xf0 || m[1] != 0x01 || m.back() != 0xf7
         || (m[2] != ProgramRecord::moduleDeviceId && m[2] != ProgramRecord::keyboardDeviceId))
        return;

    const juce::ScopedLock sl (lock);
    if (addressedOnly && m[2] != deviceId)
        return;

    ByteArray reply;

    switch (m[3])
    {
        case 0x05:   // program dump request
            if (m.size() == 7 && isSlot (m[4], m[5]))
                reply = DSI_Program::programDump (banks[(size_t) (m[4] * ProgramRecord::programsPerBank + m[5])],
                                                  m[4], m[5], deviceId);
            break;

        case 0x06:   // edit-buffer request
            if (m.size() == 5)
            {
                reply = DSI_Program::editBufferDump (edit);
                reply[2] = deviceId;
            }
            break;

        case 0x0e:   // global request
            if (m.size() == 5)
            {
                reply = { 0xf0, 0x01, deviceId, 0x0f };
                reply.insert (reply.end(), globalBlock.begin(), globalBlock.end());
                reply.push_back (0xf7);
            }
            break;

        case 0x02:   // program dump: store it
            if (m.size() >= (size_t) ProgramRecord::programDumpSize && isSlot (m[4], m[5]))
                banks[(size_t) (m[4] * ProgramRecord::programsPerBank + m[5])]
                    = DSI_Program::unpack (m.data() + 6, (size_t) ProgramRecord::packedSize);
            break;

        case 0x03:   // edit-buffer dump
            if (m.size() >= (size_t) ProgramRecord::editBufferDumpSize)
                edit = DSI_Program::unpack (m.data() + 4, (size_t) ProgramRecord::packedSize);
            break;

        default:
            break;
    }

    if (reply.empty() || answerMode == Answer::drop)
        return;

    // Parts of at least 4 bytes: JUCE's MidiMessage checks shorter ones against their first byte.
    const int size = (int) reply.size();
    const int n = answerMode == Answer::split ? juce::jlimit (1, size / 4, answerParts) : 1;
    std::vector<juce::MidiMessage> parts;

    for (int i = 0; i < n; ++i)
    {
        const int from = size * i / n, to = size * (i + 1) / n;
        parts.emplace_back (reply.data() + from, to - from, 0.0);
    }

    enqueue (std::move (parts), answerDelayMs);
}

void SimulatedSynth::turnKnob (int channel, int nrpn, int value)
{
    channel = juce::jlimit (1, 16, channel);

    enqueue ({ juce::MidiMessage::controllerEvent (channel, 99, (nrpn >> 7) & 127),
               juce::MidiMessage::controllerEvent (channel, 98, nrpn & 127),
               juce::MidiMessage::controllerEvent (channel, 6, (value >> 7) & 127),
               juce::MidiMessage::controllerEvent (channel, 38, value & 127) }, 0.0);
}

void SimulatedSynth::send (const juce::MidiMessage& message)
{
    enqueue ({ message }, 0.0);
}

void SimulatedSynth::enqueue (std::vector<juce::MidiMessage> parts, double delayMs)
{
    {
        const juce::ScopedLock sl (lock);
        Delivery d { nowMs() + delayMs, std::move (parts) };

        // Keep the queue in due order; equal times keep their sending order.
        auto pos = std::upper_bound (queue.begin(), queue.end(), d.dueMs,
                                     [] (double due, const Delivery& other) { return due < other.dueMs; });
        queue.insert (pos, std::move (d));
        ++undelivered;
    }

    thread->notify();
}

void SimulatedSynth::deliverDue()
{
    for (;;)
    {
        Delivery d;

        {
            const juce::ScopedLock sl (lock);

            if (queue.empty() || queue.front().dueMs > nowMs())
                return;

            d = std::move (queue.front());
            queue.pop_front();
        }

        {
            const juce::ScopedLock dl (deliveryLock);

            for (auto& part : d.parts)
            {
                part.setTimeStamp (nowMs() * 0.001);

                if (listener != nullptr)
                    listener->handleIncomingMidiMessage (nullptr, part);
            }
        }

        --undelivered;
    }
}

void SimulatedSynth::setListener (juce::MidiInputCallback* callback)
{
    const juce::ScopedLock dl (deliveryLock);
    listener = callback;
}
