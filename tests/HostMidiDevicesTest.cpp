#include <gtest/gtest.h>
#include "engine/HostMidiDevices.h"
#include <atomic>
#include <mutex>
#include <thread>

namespace
{
using Bytes = std::vector<unsigned char>;

// A host that lends its ports and records what the plug-in does with them.
struct FakeHost
{
    std::mutex lock;
    VantorHostMidiReceiver receiver = nullptr;
    void* context = nullptr;
    int receiverCalls = 0;
    std::vector<Bytes> sent;

    void reset()
    {
        const std::lock_guard<std::mutex> l (lock);
        receiver = nullptr;
        context = nullptr;
        receiverCalls = 0;
        sent.clear();
    }

    bool attached()
    {
        const std::lock_guard<std::mutex> l (lock);
        return receiver != nullptr;
    }

    void deliver (const Bytes& bytes)
    {
        VantorHostMidiReceiver r;
        void* c;
        {
            const std::lock_guard<std::mutex> l (lock);
            r = receiver;
            c = context;
        }
        if (r != nullptr)
            r (c, bytes.data(), bytes.size());
    }
};

FakeHost host;

void hostSend (const unsigned char* bytes, size_t size)
{
    const std::lock_guard<std::mutex> l (host.lock);
    host.sent.emplace_back (bytes, bytes + size);
}

void hostSetReceiver (VantorHostMidiReceiver receiver, void* context)
{
    const std::lock_guard<std::mutex> l (host.lock);
    host.receiver = receiver;
    host.context = context;
    ++host.receiverCalls;
}

const VantorHostMidiPorts lentPorts { VANTOR_HOST_MIDI_VERSION, "Lent In", "Lent Out", hostSend, hostSetReceiver };

struct Recorder : public juce::MidiInputCallback
{
    std::mutex lock;
    std::vector<Bytes> messages;
    std::atomic<int> calls { 0 };

    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override
    {
        ++calls;
        const std::lock_guard<std::mutex> l (lock);
        messages.emplace_back (m.getRawData(), m.getRawData() + m.getRawDataSize());
    }
};

struct HostMidiDevicesTest : public ::testing::Test
{
    HostMidiDevicesTest()   { host.reset(); }

    HostMidiDevices devices { lentPorts };
    Recorder recorder;
};
}

TEST_F (HostMidiDevicesTest, CutsTheHostsByteStreamIntoWholeMessages)
{
    Bytes longSysEx { 0xF0 };
    longSysEx.resize (HostMidiDevices::maxSysExSize + 1, 0x11);
    longSysEx.push_back (0xF7);

    const struct
    {
        const char* what;
        std::vector<Bytes> chunks;
        std::vector<Bytes> expected;
    } cases[] =
    {
        { "running status",            { { 0x90, 0x3C, 0x64, 0x3E, 0x00 } },         { { 0x90, 0x3C, 0x64 }, { 0x90, 0x3E, 0x00 } } },
        { "two-byte running status",   { { 0xC0, 0x01, 0x02 } },                     { { 0xC0, 0x01 }, { 0xC0, 0x02 } } },
        { "SysEx across calls",        { { 0xF0, 0x01, 0x2B }, { 0x0E }, { 0xF7 } }, { { 0xF0, 0x01, 0x2B, 0x0E, 0xF7 } } },
        { "clock inside SysEx",        { { 0xF0, 0x01, 0xF8, 0x02, 0xF7 } },         { { 0xF8 }, { 0xF0, 0x01, 0x02, 0xF7 } } },
        { "SysEx cut by a status",     { { 0xF0, 0x01, 0x02, 0x90, 0x3C, 0x64 } },   { { 0x90, 0x3C, 0x64 } } },
        { "SysEx restarted",           { { 0xF0, 0x01, 0xF0, 0x02, 0xF7 } },         { { 0xF0, 0x02, 0xF7 } } },
        { "stray data, lone F7",       { { 0x3C, 0x64, 0xF7, 0x3C, 0xC0, 0x05 } },   { { 0xC0, 0x05 } } },
        { "system common ends status", { { 0x90, 0x3C, 0x64, 0xF6, 0x3E, 0x00 } },   { { 0x90, 0x3C, 0x64 }, { 0xF6 } } },
        { "oversized SysEx dropped",   { longSysEx, { 0x90, 0x3C, 0x64 } },          { { 0x90, 0x3C, 0x64 } } },
    };

    for (const auto& c : cases)
    {
        Recorder r;
        auto input = devices.openInput (0, &r);
        ASSERT_NE (input, nullptr);
        input->start();
        for (const auto& chunk : c.chunks)
            host.deliver (chunk);
        input->stop();
        EXPECT_EQ (r.messages, c.expected) << c.what;
    }
}

TEST_F (HostMidiDevicesTest, OffersOnlyTheLentPortsAndSendsTheirBytesInOrder)
{
    ASSERT_EQ (devices.getInputDevices().size(), 1);
    EXPECT_EQ (devices.getInputDevices()[0].name, "Lent In");
    EXPECT_EQ (devices.getOutputDevices()[0].name, "Lent Out");
    EXPECT_EQ (devices.openInput (1, &recorder), nullptr);
    EXPECT_EQ (devices.openOutput (1), nullptr);

    auto output = devices.openOutput (0);
    ASSERT_NE (output, nullptr);
    juce::MidiBuffer block;
    block.addEvent (juce::MidiMessage::controllerEvent (1, 99, 3), 0);
    block.addEvent (juce::MidiMessage::controllerEvent (1, 98, 4), 0);
    output->sendBlockOfMessages (block, 0.0, 1000.0);
    const Bytes sysex { 0xF0, 0x01, 0x2B, 0x0E, 0xF7 };
    output->sendMessageNow (juce::MidiMessage (sysex.data(), (int) sysex.size()));

    EXPECT_EQ (host.sent, (std::vector<Bytes> { { 0xB0, 99, 3 }, { 0xB0, 98, 4 }, sysex }));
}

TEST_F (HostMidiDevicesTest, RefusesPortsItCannotUse)
{
    const VantorHostMidiPorts noSend { VANTOR_HOST_MIDI_VERSION, "In", "Out", nullptr, hostSetReceiver };
    const VantorHostMidiPorts oldVersion { 0, "In", "Out", hostSend, hostSetReceiver };
    const VantorHostMidiPorts unnamed { VANTOR_HOST_MIDI_VERSION, nullptr, "", hostSend, hostSetReceiver };

    EXPECT_FALSE (HostMidiDevices::isUsable (nullptr));
    EXPECT_FALSE (HostMidiDevices::isUsable (&noSend));
    EXPECT_FALSE (HostMidiDevices::isUsable (&oldVersion));
    EXPECT_TRUE (HostMidiDevices::isUsable (&lentPorts));

    HostMidiDevices none (unnamed);
    EXPECT_TRUE (none.getInputDevices().isEmpty());
    EXPECT_TRUE (none.getOutputDevices().isEmpty());
    EXPECT_EQ (none.openInput (0, &recorder), nullptr);
}

// One receiver serves every running input; it leaves with the last, and after
// stop() returns no message reaches that input, even from a delivery under way.
struct HostMidiDevicesThreads : public HostMidiDevicesTest {};

TEST_F (HostMidiDevicesThreads, StoppingIsFinalWhileTheHostDelivers)
{
    Recorder other;
    auto a = devices.openInput (0, &recorder);
    auto b = devices.openInput (0, &other);
    a->start();
    b->start();
    EXPECT_EQ (host.receiverCalls, 1);

    // A host that keeps calling the receiver it was given, however late.
    const auto receiver = host.receiver;
    void* const context = host.context;
    std::atomic<bool> quit { false };
    std::thread hostThread ([&]
    {
        const Bytes note { 0x90, 0x3C, 0x64 };
        while (! quit)
            receiver (context, note.data(), note.size());
    });

    while (recorder.calls < 100)
        std::this_thread::yield();
    a->stop();
    const int atStop = recorder.calls;
    EXPECT_TRUE (host.attached());   // b still listens

    while (other.calls < atStop + 1000)
        std::this_thread::yield();
    b->stop();
    quit = true;
    hostThread.join();

    EXPECT_EQ (recorder.calls, atStop);
    EXPECT_FALSE (host.attached());
    EXPECT_EQ (host.receiverCalls, 2);
}
