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
struct ExchangeThreads : public ::testing::Test
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

    // Events until one of kind `last` arrives; a failure if it never does.
    std::vector<int> eventsUntil (int lastKind)
    {
        std::vector<int> all;
        const auto end = juce::Time::getMillisecondCounter() + 20000u;
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
        ADD_FAILURE() << "no event of kind " << lastKind;
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

TEST_F (ExchangeThreads, ReceivingAllUserBanksMirrorsTheSynthMemory)
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
    ASSERT_TRUE (synth.waitUntilIdle());
    EXPECT_EQ (programRequests().size(), 1u);
    EXPECT_EQ (engine->editBuffer(), synth.record (6, 10));
}

TEST_F (ExchangeThreads, OneBankFromTheKeyboardModel)
{
    synth.setDeviceId (ProgramRecord::keyboardDeviceId);
    engine->startBankReceive (5, 5);
    EXPECT_EQ (eventsUntil (EngineEvent::bankReceiveFinished).back(), 0x16000000);

    for (int p = 0; p < 99; ++p)
        ASSERT_EQ (engine->deviceBank (5).programBytes (p), synth.record (5, p)) << p;
    EXPECT_EQ (programRequests().size(), 99u);
    EXPECT_EQ (programRequests().back(), (ByteArray { 0xF0, 0x01, 0x2A, 0x05, 5, 98, 0xF7 }));   // it answered as a keyboard
}

TEST_F (ExchangeThreads, AllFactoryBanksAndUnsolicitedDumpsDuringAReceive)
{
    const auto editBefore = engine->editBuffer();
    synth.setAnswer (SimulatedSynth::Answer::drop);
    engine->startBankReceive (MidiCntrState::allFactoryBanks, 0);
    ASSERT_TRUE (synth.waitForReceived (1));

    // A dump nobody asked for, arriving while the receive waits for its first
    // program, only fills its slot; the late answer then moves the chain on.
    const ByteArray stray (1024, 0x42);
    const auto dump = DSI_Program::programDump (stray, 0, 50);
    synth.send (juce::MidiMessage (dump.data(), (int) dump.size()));
    ASSERT_TRUE (synth.waitUntilIdle());
    EXPECT_TRUE (engine->isReceiveGoingOn());
    synth.setAnswer (SimulatedSynth::Answer::whole);
    const auto answer = DSI_Program::programDump (synth.record (4, 0), 4, 0);
    synth.send (juce::MidiMessage (answer.data(), (int) answer.size()));

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
TEST_F (ExchangeThreads, StoppingAReceiveKeepsTheEditBuffer)
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
        // Requests follow answers on the synth's thread: once it is idle, none is on its way.
        ASSERT_TRUE (synth.waitUntilIdle());

        EXPECT_EQ (programRequests(), requested) << clear;
        EXPECT_EQ (engine->editBuffer(), edit) << clear;
        EXPECT_EQ (engine->getCurrentBank() * 99 + engine->getCurrentProgram(), 0) << clear;
        EXPECT_EQ (engine->deviceBank (2).programBytes (requested.back()[5]), synth.record (2, requested.back()[5])) << clear;
        EXPECT_FALSE (engine->isBankReceiveRunning()) << clear;
        for (auto e : engine->takeEvents())
            EXPECT_NE (EngineEvent::kindOf (e), EngineEvent::bankReceiveFinished) << clear;
    }

    // A receive whose last program never comes ends a while after the stop.
    static std::atomic<juce::uint32> now { 5000 };
    engine->setClock ([] { return now.load(); });
    synth.setAnswer (SimulatedSynth::Answer::drop);
    engine->startBankReceive (3, 3);
    now += 60000;                                       // however long it ran before the stop
    engine->stopBankReceive();
    EXPECT_TRUE (engine->isBankReceiveRunning());
    now += MidiCntrState::stopTimeoutMs - 1;
    EXPECT_TRUE (engine->isBankReceiveRunning());
    now += 1;
    EXPECT_FALSE (engine->isBankReceiveRunning());
}

// A keyboard may ignore requests for the module: once it has identified itself
// everything addressed to the synthesizer carries its own id, and every request is answered.
TEST_F (ExchangeThreads, EachModelIsAddressedByItsOwnIdOnceItIdentifiesItself)
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
        const auto events = eventsUntil (EngineEvent::globalsReceived);
        ASSERT_FALSE (events.empty());
        EXPECT_EQ (std::make_pair (events.front(), events.back()), std::make_pair (0x13000000, 0x12000000)) << (int) id;
        const auto g = engine->getGlobals(), expected = synth.globals();
        EXPECT_TRUE (std::equal (expected.begin(), expected.end(), g.begin())) << (int) id;

        engine->requestDump (6, 0, 0);
        eventsUntil (EngineEvent::editBufferChanged);
        EXPECT_EQ (engine->editBuffer(), synth.editBuffer()) << (int) id;

        engine->requestDump (5, 1, 4);
        eventsUntil (EngineEvent::editBufferChanged);
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

TEST_F (ExchangeThreads, HostileAndShortDumpsAreDropped)
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

TEST_F (ExchangeThreads, TransmittingBanksSendsPacedProgramDumpsAndCanBeCancelled)
{
    // The transmitter's clock stands still: each dump leaves only when it has
    // moved on by the pause the one before asked for.
    static std::atomic<double> now { 1000.0 };
    engine->transmitter().setClock ([] { return now.load(); });
    engine->transmitter().setPacing (0.0, 5.0);
    for (int p = 0; p < 99; ++p)
        engine->deviceBank (2).storeProgram (p, ByteArray (1024, (juce::uint8) p));

    ASSERT_TRUE (engine->startTransmit (MidiCntrState::TransmitScope::oneBank, 2));
    EXPECT_FALSE (engine->startTransmit (MidiCntrState::TransmitScope::oneSlot, 0, 0));   // one at a time
    for (int p = 0; p < 99; ++p)
    {
        ASSERT_TRUE (synth.waitForReceived (p + 1)) << p;
        ASSERT_EQ (synth.numReceived(), p + 1) << "sent before its pause was over";
        now = now + 5.0;
    }
    const auto events = eventsUntil (EngineEvent::transmitFinished);
    EXPECT_EQ (events.back(), EngineEvent::make (EngineEvent::transmitFinished, 0));
    EXPECT_EQ (events[events.size() - 2], EngineEvent::transmitted (99, 99));

    ASSERT_TRUE (synth.waitUntilIdle());
    ASSERT_EQ (synth.numReceived(), 99);
    for (int p = 0; p < 99; ++p)
        EXPECT_EQ (synth.record (2, p), ByteArray (1024, (juce::uint8) p));

    // A cancelled transfer stops early and says so; the frozen clock would otherwise hold it forever.
    engine->transmitter().setPacing (0.0, 50.0);
    synth.clearReceived();
    ASSERT_TRUE (engine->startTransmit (MidiCntrState::TransmitScope::userBanks));
    ASSERT_TRUE (synth.waitForReceived (1));
    engine->cancelTransmit();
    const auto cancelled = eventsUntil (EngineEvent::transmitFinished);
    EXPECT_EQ (cancelled.back(), EngineEvent::make (EngineEvent::transmitFinished, 1));
    EXPECT_EQ (synth.numReceived(), 1);
    engine->transmitter().setClock (nullptr);

    // Default pacing is the wire's: 1178 bytes take 377 ms, plus 100 ms to store.
    ProgramTransmitter wire ([] (const ByteArray&) {}, [] (int, int) {}, [] (bool) {});
    EXPECT_NEAR (wire.pauseAfter (1178), 476.96, 0.01);
}

// The transmitter waits on a clock that never moves: only the unloading's cancel can end it.
TEST_F (ExchangeThreads, UnloadingMidTransferStopsCleanly)
{
    static std::atomic<double> now { 0.0 };
    engine->transmitter().setClock ([] { return now.load(); });
    engine->transmitter().setPacing (0.32, 100.0);
    ASSERT_TRUE (engine->startTransmit (MidiCntrState::TransmitScope::factoryBanks));
    ASSERT_TRUE (synth.waitForReceived (1));
    engine.reset();
    EXPECT_EQ (synth.numReceived(), 1);
}

// A transmit needs a real slot, one program a user slot to go to, and both an open output.
TEST_F (ExchangeThreads, TransmitsAreRefusedWithoutARealSlotOrAnOpenOutput)
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

TEST (ExchangeWithProcessorThreads, KnobTurnedOnTheSynthReachesTheHostAndEditorNotTheSynth)
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
        ASSERT_TRUE (synth.settle());

        EXPECT_EQ (engine.getValue (18), 9);
        EXPECT_EQ (host.changes, (std::vector<std::pair<int, float>> { { 18, 9.0f / 11.0f } }));
        EXPECT_EQ (engine.takeEvents(), (std::vector<int> { EngineEvent::parameter (18, 9) }));
        EXPECT_EQ (synth.numReceived(), 0);
        processor.removeListener (&host);
    }
}

// Each transmit scope sends exactly its own slots, each once, in slot order.
TEST_F (ExchangeThreads, TransmitScopesSendExactlyTheirSlots)
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
