// The engine against a simulated synthesizer: requests leave through the device
// seam, answers come back on the synth's own thread as a MIDI input would.
#include <gtest/gtest.h>
#include "support/ComponentTestSupport.h"
#include "engine/DSI_Program.h"
#include "engine/VantorAudioProcessor.h"
#include "support/EngineTestHelpers.h"
#include "support/SimulatedSynth.h"

namespace
{
struct Exchange : public ::testing::Test
{
    SimulatedSynth synth;
    std::unique_ptr<MidiCntrState> engine = std::make_unique<MidiCntrState> (synth);

    void SetUp() override
    {
        engine->selectInputPort (1);
        engine->selectOutputPort (1);
        ASSERT_TRUE (engine->ports().isInputOpen() && engine->ports().isOutputOpen());
        engine->takeEvents();
    }

    void TearDown() override   { engine.reset(); }    // closes the devices before the synth goes

    // Events until one of kind `last` arrives (or the time runs out).
    std::vector<int> eventsUntil (int lastKind, int timeoutMs = 20000)
    {
        std::vector<int> all;
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
        while (juce::Time::getMillisecondCounter() < end)
        {
            for (auto e : engine->takeEvents())
            {
                all.push_back (e);
                if (EngineEvent::kindOf (e) == lastKind)
                    return all;
            }
            juce::Thread::sleep (2);
        }
        return all;
    }

    std::vector<ByteArray> programRequests() const
    {
        std::vector<ByteArray> requests;
        for (const auto& r : synth.received())
            if (const auto* d = r.message.getRawData(); r.message.getRawDataSize() == 7 && d[0] == 0xF0 && d[3] == 0x05)
                requests.emplace_back (d, d + 7);
        return requests;
    }
};
}

TEST_F (Exchange, ReceivingAllUserBanksMirrorsTheSynthMemory)
{
    synth.setAnswer (SimulatedSynth::Answer::split, 3);
    engine->startBankReceive (MidiCntrState::allUserBanks, 0);
    const auto events = eventsUntil (EngineEvent::bankReceiveFinished);

    std::vector<int> progress, expected;
    for (auto e : events)
        if (EngineEvent::kindOf (e) == EngineEvent::bankProgramReceived)
            progress.push_back (e);
    for (int i = 0; i < 396; ++i)
        expected.push_back (EngineEvent::bankProgram (i / 99, i % 99));
    EXPECT_EQ (progress, expected);

    ASSERT_GE (events.size(), 2u);
    EXPECT_EQ (events[events.size() - 2], 0x19000000);
    EXPECT_EQ (events.back(), 0x16000000);

    for (int b = 0; b < 4; ++b)
        for (int p = 0; p < 99; ++p)
            ASSERT_EQ (engine->deviceBank (b).programBytes (p), synth.record (b, p)) << b << " " << p;

    // Factory banks were not touched, and a later single dump does not restart the chain.
    EXPECT_NE (engine->deviceBank (4).programBytes (0), synth.record (4, 0));
    EXPECT_FALSE (engine->isBankReceiveRunning());
    synth.clearReceived();
    engine->requestDump (5, 6, 10);
    eventsUntil (EngineEvent::editBufferChanged);
    synth.waitUntilIdle();
    EXPECT_EQ (programRequests().size(), 1u);
    EXPECT_EQ (engine->editBuffer(), synth.record (6, 10));
}

TEST_F (Exchange, OneBankFromTheKeyboardModel)
{
    synth.setDeviceId (ProgramRecord::keyboardDeviceId);
    engine->startBankReceive (5, 5);
    EXPECT_EQ (eventsUntil (EngineEvent::bankReceiveFinished).back(), 0x16000000);

    for (int p = 0; p < 99; ++p)
        ASSERT_EQ (engine->deviceBank (5).programBytes (p), synth.record (5, p)) << p;
    EXPECT_EQ (programRequests().size(), 99u);
    EXPECT_EQ (programRequests().back(), (ByteArray { 0xF0, 0x01, 0x2A, 0x05, 5, 98, 0xF7 }));   // it answered as a keyboard
}

TEST_F (Exchange, AllFactoryBanksAndUnsolicitedDumpsDuringAReceive)
{
    const auto editBefore = engine->editBuffer();
    engine->startBankReceive (MidiCntrState::allFactoryBanks, 0);

    // A dump nobody asked for, arriving while the receive runs, only fills its slot.
    const ByteArray stray (1024, 0x42);
    const auto dump = DSI_Program::programDump (stray, 0, 50);
    synth.send (juce::MidiMessage (dump.data(), (int) dump.size()));

    EXPECT_EQ (eventsUntil (EngineEvent::bankReceiveFinished).back(), 0x16000000);
    for (int b = 4; b < 8; ++b)
        for (int p = 0; p < 99; ++p)
            ASSERT_EQ (engine->deviceBank (b).programBytes (p), synth.record (b, p)) << b << " " << p;

    EXPECT_EQ (engine->deviceBank (0).programBytes (50), stray);
    EXPECT_EQ (engine->editBuffer(), editBefore);
    EXPECT_EQ (programRequests().front(), (ByteArray { 0xF0, 0x01, 0x2B, 0x05, 4, 0, 0xF7 }));
}

// Stopping, or clearing the flags as an opening editor does, ends the chain: nothing
// more is requested, and the program on its way lands in its slot, not in the edit buffer.
TEST_F (Exchange, StoppingAReceiveKeepsTheEditBuffer)
{
    for (bool clear : { false, true })
    {
        synth.setAnswerDelayMs (30);
        engine->selectProgram (0, false, false);
        engine->setValue (8, 77);                        // the user's edit
        const auto edit = engine->editBuffer();
        synth.clearReceived();
        engine->takeEvents();

        engine->startBankReceive (2, 2);
        ASSERT_TRUE (synth.waitForReceived (3));
        clear ? engine->clearBankReceive() : engine->stopBankReceive();
        const auto requested = programRequests();
        ASSERT_TRUE (synth.waitUntilIdle());
        juce::Thread::sleep (100);      // time for a request that should not come

        EXPECT_EQ (programRequests(), requested) << clear;
        EXPECT_EQ (engine->editBuffer(), edit) << clear;
        EXPECT_EQ (engine->getCurrentBank() * 99 + engine->getCurrentProgram(), 0) << clear;
        EXPECT_EQ (engine->deviceBank (2).programBytes (requested.back()[5]), synth.record (2, requested.back()[5])) << clear;
        EXPECT_FALSE (engine->isBankReceiveRunning()) << clear;
        for (auto e : engine->takeEvents())
            EXPECT_NE (EngineEvent::kindOf (e), EngineEvent::bankReceiveFinished) << clear;
    }

    // A receive whose last program never comes ends a while after the stop.
    synth.setAnswer (SimulatedSynth::Answer::drop);
    engine->startBankReceive (3, 3);
    engine->stopBankReceive();
    EXPECT_TRUE (engine->isBankReceiveRunning());
    juce::Thread::sleep (MidiCntrState::stopTimeoutMs + 100);
    EXPECT_FALSE (engine->isBankReceiveRunning());
}

// A keyboard may ignore requests for the module: once it has identified itself
// everything addressed to the synthesizer carries its own id, and every request is answered.
TEST_F (Exchange, EachModelIsAddressedByItsOwnIdOnceItIdentifiesItself)
{
    for (juce::uint8 id : { ProgramRecord::moduleDeviceId, ProgramRecord::keyboardDeviceId })
    {
        engine->selectOutputPort (1);                    // a new port forgets the model
        synth.setDeviceId (id);
        synth.setAddressedOnly (true);
        synth.clearReceived();
        engine->takeEvents();

        synth.send (rawMessage ({ 0xF0, 0x7E, 0x00, 0x06, 0x02, 0x01, id, 0x01, 0x00, 0x00, 0x15, 0x21, 0xF7 }));
        ASSERT_TRUE (synth.waitUntilIdle());
        EXPECT_EQ (engine->getDeviceId(), id);

        engine->takeEvents();
        engine->requestGlobals();
        const auto events = eventsUntil (EngineEvent::globalsReceived, 2000);
        ASSERT_FALSE (events.empty());
        EXPECT_EQ (std::make_pair (events.front(), events.back()), std::make_pair (0x13000000, 0x12000000)) << (int) id;
        const auto g = engine->getGlobals(), expected = synth.globals();
        EXPECT_TRUE (std::equal (expected.begin(), expected.end(), g.begin())) << (int) id;

        engine->requestDump (6, 0, 0);
        eventsUntil (EngineEvent::editBufferChanged, 2000);
        EXPECT_EQ (engine->editBuffer(), synth.editBuffer()) << (int) id;

        engine->requestDump (5, 1, 4);
        eventsUntil (EngineEvent::editBufferChanged, 2000);
        EXPECT_EQ (engine->editBuffer(), synth.record (1, 4)) << (int) id;

        engine->transmitter().setPacing (0.0, 0.0);
        engine->deviceBank (6).storeProgram (2, ByteArray (1024, 0x21));
        ASSERT_TRUE (engine->transmitProgramTo (6 * 99 + 2, 1, 9));
        eventsUntil (EngineEvent::transmitFinished);
        ASSERT_TRUE (synth.waitForReceived (3));
        EXPECT_EQ (synth.record (1, 9), ByteArray (1024, 0x21)) << (int) id;

        for (const auto& r : synth.received())
            EXPECT_EQ (r.message.getRawData()[2], id);
    }
}

TEST_F (Exchange, HostileAndShortDumpsAreDropped)
{
    const auto before = engine->editBuffer();
    const ByteArray record (1024, 0x55);
    auto dump = DSI_Program::programDump (record, 1, 1);

    for (auto [bankByte, programByte] : { std::make_pair (8, 0), std::make_pair (127, 5), std::make_pair (0, 99), std::make_pair (3, 127) })
    {
        dump[4] = (juce::uint8) bankByte;
        dump[5] = (juce::uint8) programByte;
        engine->handleSysEx (dump);
    }
    dump[4] = 1;
    dump[5] = 1;
    auto shortDump = dump;
    shortDump.erase (shortDump.begin() + 100);
    engine->handleSysEx (shortDump);      // 1177 bytes
    auto foreign = dump;
    foreign[2] = 0x2C;
    engine->handleSysEx (foreign);
    EXPECT_EQ (engine->editBuffer(), before);
    EXPECT_TRUE (engine->takeEvents().empty());

    dump[2] = ProgramRecord::keyboardDeviceId;
    engine->handleSysEx (dump);
    EXPECT_EQ (engine->deviceBank (1).programBytes (1), record);
    EXPECT_EQ (engine->editBuffer(), record);
    EXPECT_EQ (engine->getCurrentBank(), 1);
    EXPECT_EQ (engine->takeEvents(), (std::vector<int> { 0x19000000, 0x11000000 }));
}

TEST_F (Exchange, TransmittingBanksSendsPacedProgramDumpsAndCanBeCancelled)
{
    engine->transmitter().setPacing (0.0, 5.0);
    for (int p = 0; p < 99; ++p)
        engine->deviceBank (2).storeProgram (p, ByteArray (1024, (juce::uint8) p));

    ASSERT_TRUE (engine->startTransmit (MidiCntrState::TransmitScope::oneBank, 2));
    EXPECT_FALSE (engine->startTransmit (MidiCntrState::TransmitScope::oneSlot, 0, 0));   // one at a time
    const auto events = eventsUntil (EngineEvent::transmitFinished);
    EXPECT_EQ (events.back(), EngineEvent::make (EngineEvent::transmitFinished, 0));
    EXPECT_EQ (events[events.size() - 2], EngineEvent::transmitted (99, 99));

    ASSERT_TRUE (synth.waitUntilIdle());
    juce::Thread::sleep (50);
    const auto received = synth.received();
    ASSERT_EQ (received.size(), 99u);
    for (int p = 0; p < 99; ++p)
    {
        EXPECT_EQ (synth.record (2, p), ByteArray (1024, (juce::uint8) p));
        EXPECT_GE (p == 0 ? 5.0 : received[(size_t) p].timeMs - received[(size_t) p - 1].timeMs, 4.0) << p;
    }

    // A cancelled transfer stops early and says so.
    engine->transmitter().setPacing (0.0, 50.0);
    synth.clearReceived();
    ASSERT_TRUE (engine->startTransmit (MidiCntrState::TransmitScope::userBanks));
    synth.waitForReceived (2);
    engine->cancelTransmit();
    const auto cancelled = eventsUntil (EngineEvent::transmitFinished);
    EXPECT_EQ (cancelled.back(), EngineEvent::make (EngineEvent::transmitFinished, 1));
    EXPECT_LT (synth.numReceived(), 396);

    // Default pacing is the wire's: 1178 bytes take 377 ms, plus 100 ms to store.
    ProgramTransmitter wire ([] (const ByteArray&) {}, [] (int, int) {}, [] (bool) {});
    EXPECT_NEAR (wire.pauseAfter (1178), 476.96, 0.01);
}

TEST_F (Exchange, UnloadingMidTransferStopsCleanly)
{
    engine->transmitter().setPacing (0.32, 100.0);
    ASSERT_TRUE (engine->startTransmit (MidiCntrState::TransmitScope::factoryBanks));
    synth.waitForReceived (1);
    const auto start = juce::Time::getMillisecondCounter();
    engine.reset();
    EXPECT_LT (juce::Time::getMillisecondCounter() - start, 3000u);
    EXPECT_LT (synth.numReceived(), 5);
}

// A transmit needs a real slot, one program a user slot to go to, and both an open output.
TEST_F (Exchange, TransmitsAreRefusedWithoutARealSlotOrAnOpenOutput)
{
    EXPECT_FALSE (engine->startTransmit (MidiCntrState::TransmitScope::oneSlot, 8, 0));
    EXPECT_FALSE (engine->startTransmit (MidiCntrState::TransmitScope::oneSlot, 0, 99));
    struct Case { int source, bank, program; };
    for (auto c : { Case { -1, 0, 0 }, Case { 792, 0, 0 }, Case { 0, 4, 0 }, Case { 0, -1, 0 }, Case { 0, 0, 99 } })
        EXPECT_FALSE (engine->transmitProgramTo (c.source, c.bank, c.program)) << c.source << " " << c.bank << " " << c.program;

    engine->selectOutputPort (0);
    EXPECT_FALSE (engine->startTransmit (MidiCntrState::TransmitScope::oneSlot, 0, 0));
    EXPECT_FALSE (engine->transmitProgramTo (0, 0, 0));
}

TEST (ExchangeWithProcessor, KnobTurnedOnTheSynthReachesTheHostAndEditorNotTheSynth)
{
    struct Host : public juce::AudioProcessorListener
    {
        std::vector<std::pair<int, float>> changes;
        void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float v) override   { changes.emplace_back (index, v); }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    } host;

    SimulatedSynth synth;
    {
        VantorAudioProcessor processor (synth);
        auto& engine = processor.getEngine();
        engine.selectInputPort (1);
        engine.selectOutputPort (1);
        engine.takeEvents();
        processor.addListener (&host);

        synth.turnKnob (1, 41, 9);      // "Wave L 3"
        synth.waitUntilIdle();
        ui::pump (100);

        EXPECT_EQ (engine.getValue (18), 9);
        EXPECT_EQ (host.changes, (std::vector<std::pair<int, float>> { { 18, 9.0f / 11.0f } }));
        EXPECT_EQ (engine.takeEvents(), (std::vector<int> { EngineEvent::parameter (18, 9) }));
        EXPECT_EQ (synth.numReceived(), 0);
        processor.removeListener (&host);
    }
}

// Each transmit scope sends exactly its own slots, each once, in slot order.
TEST_F (Exchange, TransmitScopesSendExactlyTheirSlots)
{
    using Scope = MidiCntrState::TransmitScope;
    struct Case { Scope scope; int bank, program; int firstSlot, lastSlot; };
    const Case cases[] =
    {
        { Scope::factoryBanks, 0, 0,  4 * 99,      8 * 99 - 1 },
        { Scope::userBanks,    0, 0,  0,           4 * 99 - 1 },
        { Scope::oneBank,      6, 0,  6 * 99,      7 * 99 - 1 },
        { Scope::oneSlot,      5, 98, 5 * 99 + 98, 5 * 99 + 98 },
    };

    engine->transmitter().setPacing (0.0, 0.0);
    for (const auto& c : cases)
    {
        SCOPED_TRACE ((int) c.scope);
        synth.clearReceived();
        ASSERT_TRUE (engine->startTransmit (c.scope, c.bank, c.program));
        EXPECT_EQ (eventsUntil (EngineEvent::transmitFinished).back(), EngineEvent::make (EngineEvent::transmitFinished, 0));
        ASSERT_TRUE (synth.waitUntilIdle());

        std::vector<int> sent, expected;
        for (const auto& r : synth.received())
            if (const auto* d = r.message.getRawData(); r.message.getRawDataSize() == 1178 && d[3] == 0x02)
                sent.push_back (d[4] * 99 + d[5]);
        for (int slot = c.firstSlot; slot <= c.lastSlot; ++slot)
            expected.push_back (slot);
        EXPECT_EQ (sent, expected);
    }
}
