#include <gtest/gtest.h>
#include "engine/DSI_Program.h"
#include "support/EngineTestHelpers.h"
#include <functional>

namespace
{
struct Engine : public ::testing::Test
{
    RecordingMidiDevices devices;
    MidiCntrState engine { devices };
    EventRecorder events { engine };

    void receive (const juce::MidiMessage& m)    { engine.handleIncomingMidiMessage (nullptr, m); }
    void receive (const ByteArray& bytes)        { receive (juce::MidiMessage (bytes.data(), (int) bytes.size())); }
    void cc (int channel, int controller, int value)   { receive (juce::MidiMessage::controllerEvent (channel, controller, value)); }
    void nrpn (int channel, int number, int value)
    {
        cc (channel, 99, number >> 7);  cc (channel, 98, number & 127);
        cc (channel, 6, value >> 7);    cc (channel, 38, value & 127);
    }

    std::shared_ptr<OutputLog> openOutput()   { engine.ports().openOutput (1); return devices.lastOutput(); }
};

struct RecordingCable : public CableListener
{
    std::vector<std::tuple<int, int, bool>> calls;    // id, value, endNow
    void parameterChanged (ParameterId id, int value, bool endNow, bool, bool) override   { calls.emplace_back (id, value, endNow); }
};

ByteArray recordFilledWith (juce::uint8 v)   { return ByteArray ((size_t) ProgramRecord::size, v); }
}

TEST_F (Engine, DeviceNotesWheelsAndBendBecomeEventsWithTheirStatusByte)
{
    receive (juce::MidiMessage::noteOn (3, 60, (juce::uint8) 100));
    receive (juce::MidiMessage::noteOn (3, 61, (juce::uint8) 0));     // velocity 0 is a note off
    receive (juce::MidiMessage::noteOff (1, 62));
    receive (juce::MidiMessage::pitchWheel (16, 0x2001));
    receive (juce::MidiMessage::controllerEvent (2, 1, 77));
    receive (juce::MidiMessage::midiClock());

    EXPECT_EQ (events.take(), (std::vector<int> { (0x92 << 20) + (60 << 7) + 100, (0x82 << 20) + 61, (0x80 << 20) + 62,
                                                  (0xEF << 20) + 0x2001, (0xB1 << 20) + (1 << 7) + 77 }));
    EXPECT_EQ (events.notifications, 5);
    EXPECT_EQ (EngineEvent::parameterId (EngineEvent::parameter (1024, 791)), 1024);
}

TEST_F (Engine, IncomingNrpnIsAssembledPerChannelMappedClampedAndQueuedNotEchoed)
{
    auto out = openOutput();
    nrpn (1, 0, 24);         // NRPN 0 is "Pitch 1"
    nrpn (1, 14, 5);         // unmapped
    nrpn (1, 2000, 5);       // past the map
    nrpn (1, 90, 16383);     // "LPF Freq", far above its maximum of 164
    nrpn (1, 553, 7);        // layer B "Wave L 3"

    EXPECT_EQ (engine.takeIncomingParameters(), (std::vector<int> { (0 << 16) | 24, (85 << 16) | 164, (530 << 16) | 7 }));
    EXPECT_TRUE (out->sends().empty());

    // Assembled per channel: another device's NRPN inside the synth's changes nothing.
    cc (1, 99, 0);  cc (1, 98, 19);      // the synth begins NRPN 19 (id 5)
    nrpn (2, 14, 1);                     // another device: unmapped NRPN 14
    cc (1, 6, 0);   cc (1, 38, 42);
    EXPECT_EQ (engine.takeIncomingParameters(), (std::vector<int> { (5 << 16) | 42 }));
}

// The table gives no range to the two parameters the map carries without a name:
// the synthesizer's value for them is kept as it came (as a byte), the others are clamped.
TEST_F (Engine, DeviceValuesAreClampedOnlyWhereTheTableGivesARange)
{
    struct Case { int nrpn, value, id, stored; };
    const Case cases[] =
    {
        { 77,   3,     64,  3 },     // unnamed, range 0-0 in the table
        { 511,  5,     423, 5 },     // unnamed, range 32-120 in the table
        { 589,  3,     576, 3 },     // layer B of 64
        { 1023, 200,   935, 200 },   // layer B of 423
        { 511,  300,   423, 255 },   // more than a byte holds
        { 90,   16383, 85,  164 },   // "LPF Freq": its maximum
        { 296,  20,    256, 30 },    // "BPM": its minimum
    };

    for (const auto& c : cases)
    {
        nrpn (1, c.nrpn, c.value);
        EXPECT_EQ (engine.takeIncomingParameters(), (std::vector<int> { (c.id << 16) | c.stored })) << c.nrpn << " " << c.value;
    }
}

TEST_F (Engine, ParametersGoOutAsNrpnWithRunningStatus)
{
    // Sent while the output is closed: nothing goes out, and no running status is kept.
    engine.sendParameter (5, 300);
    engine.requestGlobals();

    auto out = openOutput();
    engine.sendParameter (5, 300);
    engine.sendParameter (5, 301);
    engine.sendParameter (5, 301);
    engine.sendParameter (6, 301);
    engine.sendParameter (6, 100);     // new MSB: 6 and 38 only
    engine.sendParameter (306, 10);    // no NRPN: nothing
    engine.sendParameter (-1, 10);

    std::vector<size_t> perSend;
    for (const auto& s : out->sends())
        perSend.push_back (s.messages.size());
    EXPECT_EQ (perSend, (std::vector<size_t> { 4, 1, 4, 2 }));
    // id 5 is NRPN 19, id 6 NRPN 37
    EXPECT_EQ (sentControllers (*out), (std::vector<std::pair<int, int>> { { 99, 0 }, { 98, 19 }, { 6, 2 }, { 38, 44 }, { 38, 45 },
                                                                           { 99, 0 }, { 98, 37 }, { 6, 2 }, { 38, 45 }, { 6, 0 }, { 38, 100 } }));
}

TEST_F (Engine, ProgramChangesFromTheDevice)
{
    RecordingCable cable;
    engine.addCableListener (&cable);
    engine.setControlsProgramChange (true);

    cc (1, 32, 2);
    receive (juce::MidiMessage::programChange (1, 5));
    EXPECT_EQ (std::make_pair (engine.getCurrentBank(), engine.getCurrentProgram()), std::make_pair (2, 5));
    EXPECT_EQ (engine.editBuffer(), engine.deviceBank (2).programBytes (5));
    EXPECT_EQ (cable.calls, (decltype (cable.calls) { { 1024, 2 * 99 + 5, true } }));

    // The same program number in another bank is another program.
    cc (1, 32, 3);
    receive (juce::MidiMessage::programChange (1, 5));
    EXPECT_EQ (std::make_pair (engine.getCurrentBank(), engine.getCurrentProgram()), std::make_pair (3, 5));
    EXPECT_EQ (engine.editBuffer(), engine.deviceBank (3).programBytes (5));
    EXPECT_EQ (cable.calls.size(), 2u);

    // The same bank and program again is no change; a bank select alone selects nothing.
    receive (juce::MidiMessage::programChange (1, 5));
    cc (1, 32, 3);
    receive (juce::MidiMessage::programChange (1, 5));
    cc (1, 32, 6);
    EXPECT_EQ (cable.calls.size(), 2u);
    EXPECT_EQ (engine.getCurrentBank(), 3);

    // A bank outside 0-7, or a program past the bank's end, selects nothing.
    cc (1, 32, 9);
    receive (juce::MidiMessage::programChange (1, 6));
    cc (1, 32, 0);
    receive (juce::MidiMessage::programChange (1, 120));
    EXPECT_EQ (cable.calls.size(), 2u);
    EXPECT_EQ (std::make_pair (engine.getCurrentBank(), engine.getCurrentProgram()), std::make_pair (3, 5));

    // A program dump received on its own selects its slot: choosing that slot next is no change.
    receive (DSI_Program::programDump (recordFilledWith (4), 1, 7));
    cc (1, 32, 1);
    receive (juce::MidiMessage::programChange (1, 7));
    EXPECT_EQ (cable.calls.size(), 2u);
    EXPECT_EQ (engine.editBuffer(), recordFilledWith (4));
    engine.removeCableListener (&cable);
}

// Right after loading, the edit buffer holds a preset, not the first slot of any
// bank: the first program chosen on the synthesizer is always loaded.
TEST (EngineAtStart, FirstProgramChosenOnTheDeviceIsLoadedInAnyBank)
{
    for (int bank : { 0, 1, 4 })
    {
        RecordingMidiDevices devices;
        MidiCntrState engine (devices);
        engine.putProgram (true, bank, 0, recordFilledWith ((juce::uint8) (bank + 1)));
        engine.handleIncomingMidiMessage (nullptr, juce::MidiMessage::controllerEvent (1, 32, bank));
        engine.handleIncomingMidiMessage (nullptr, juce::MidiMessage::programChange (1, 0));
        EXPECT_EQ (std::make_pair (engine.getCurrentBank(), engine.getCurrentProgram()), std::make_pair (bank, 0));
        EXPECT_EQ (engine.editBuffer(), recordFilledWith ((juce::uint8) (bank + 1))) << bank;
    }
}

TEST_F (Engine, ProgramIndexSplitsIntoBankAndProgram)
{
    for (int index : { 791, 792, -5 })     // the last two are past the ends: ignored
        engine.splitProgramIndex (index);
    EXPECT_EQ (std::make_pair (engine.getCurrentBank(), engine.getCurrentProgram()), std::make_pair (7, 98));

    EXPECT_TRUE (engine.formatProgramSlot (4 * 99).startsWith ("F 1: P 1 "));
    EXPECT_TRUE (engine.formatProgramSlot (792).isEmpty());
    EXPECT_TRUE (engine.formatProgramSlot (-1).isEmpty());
}

// SysEx arrives in parts with real-time bytes inside and between them; those
// are no part of it, and bytes without a preceding F0 are not collected.
TEST_F (Engine, SysExArrivingInPartsIsHandledOnceWhenComplete)
{
    for (int rt = 0xF8; rt <= 0xFF; ++rt)
    {
        receive (rawMessage ({ 0xF0, 0x01, 0x2B, 0x0F, 1, rt, 2 }));
        receive (rawMessage ({ rt }));
        EXPECT_EQ (engine.haveGlobals(), rt != 0xF8);     // nothing is handled before the end arrives
        receive (rawMessage ({ 3, rt, 0xF7 }));
        const auto globals = engine.getGlobals();
        EXPECT_EQ (ByteArray (globals.begin(), globals.begin() + 4), (ByteArray { 1, 2, 3, 0 })) << std::hex << rt;
    }

    receive (rawMessage ({ 5, 6, 0xF7 }));
    EXPECT_EQ (engine.getGlobals()[0], 1);
}

TEST_F (Engine, SysExThatNeverEndsIsBoundedAndTheNextF0StartsAfresh)
{
    ByteArray chunk (4096, 0x11);
    chunk[0] = 0xF0;
    receive (juce::MidiMessage (chunk.data(), (int) chunk.size()));
    chunk[0] = 0x11;
    for (int i = 0; i < 40; ++i)       // 160 KiB without an F7
        receive (juce::MidiMessage (chunk.data(), (int) chunk.size()));
    receive (rawMessage ({ 0x22, 0xF7 }));
    EXPECT_FALSE (engine.haveGlobals());

    receive (rawMessage ({ 0xF0, 0x01, 0x2A, 0x0F, 9, 0xF7 }));
    EXPECT_TRUE (engine.haveGlobals());
    EXPECT_EQ (engine.getGlobals()[0], 9);
}

TEST_F (Engine, HostMidiIsSpreadOverTheBlockAndOldEventsAreDropped)
{
    engine.addHostEvent (juce::MidiMessage::controllerEvent (1, 1, 10), 10);
    engine.addHostEvent (juce::MidiMessage::controllerEvent (1, 1, 11), 10);
    engine.addHostEvent (juce::MidiMessage::controllerEvent (1, 1, 30), 30);

    juce::MidiBuffer block;
    ASSERT_TRUE (engine.moveHostMidiInto (block, 512));
    std::vector<std::pair<int, int>> positionsAndValues;
    for (const auto m : block)
        positionsAndValues.emplace_back (m.samplePosition, m.getMessage().getControllerValue());
    EXPECT_EQ (positionsAndValues, (std::vector<std::pair<int, int>> { { 0, 10 }, { 0, 11 }, { 488, 30 } }));
    EXPECT_EQ (engine.numQueuedHostEvents(), 0);

    engine.addHostEvent (juce::MidiMessage::controllerEvent (1, 1, 1), 1000);
    block.clear();
    engine.moveHostMidiInto (block, 64);
    EXPECT_EQ (block.getFirstEventTime(), 0);

    engine.addHostEvent (juce::MidiMessage::controllerEvent (1, 1, 1), 1000);
    engine.addHostEvent (juce::MidiMessage::controllerEvent (1, 1, 2), 1499);
    engine.addHostEvent (juce::MidiMessage::controllerEvent (1, 1, 3), 1600);
    EXPECT_EQ (engine.numQueuedHostEvents(), 2);
}

TEST_F (Engine, ProgramSelectionAndPresetLoadReplaceTheEditBuffer)
{
    RecordingCable cable;
    engine.addCableListener (&cable);

    engine.selectProgram (5 * 99 + 3, false, true);
    EXPECT_EQ (engine.editBuffer(), engine.deviceBank (5).programBytes (3));
    EXPECT_TRUE (cable.calls.empty());   // automation flag is off
    EXPECT_EQ (events.take(), (std::vector<int> { 0x11000000 }));

    engine.selectProgram (-1, true, false);
    EXPECT_EQ (engine.getCurrentBank(), -1);
    EXPECT_EQ (engine.getValue (1024), -100);

    engine.putProgram (true, 1, 4, recordFilledWith (9));
    EXPECT_EQ (engine.deviceBank (1).programBytes (4), recordFilledWith (9));
    engine.putProgram (true, 8, 4, recordFilledWith (7));     // no such bank: nothing stored
    engine.putProgram (false, 0, 0, recordFilledWith (3));
    EXPECT_EQ (engine.editBuffer(), recordFilledWith (3));
    EXPECT_EQ (events.take(), (std::vector<int> { 0x11000000, 0x19000000, 0x11000000, 0x11000000 }));

    engine.setCurrentPreset (-4);
    engine.loadCurrentPreset();
    EXPECT_EQ (engine.getCurrentPreset(), 0);
    EXPECT_EQ (engine.editBuffer(), engine.presetBank().programBytes (0));
    engine.removeCableListener (&cable);
}

TEST_F (Engine, HostValuesForSlidersAndLatches)
{
    auto out = openOutput();
    engine.setParameterFromHost (1025, 64);
    engine.setParameterFromHost (1026, 33);
    engine.setParameterFromHost (1027, 5);
    engine.setParameterFromHost (1028, 1);
    engine.setParameterFromHost (1029, 1);
    engine.setParameterFromHost (2000, 1);

    EXPECT_EQ ((std::vector<int> { engine.getValue (1025), engine.sentSliderValue (1025), engine.getValue (1027), engine.getValue (1029) }),
               (std::vector<int> { 64, 64, 5, 1 }));
    EXPECT_EQ (sentControllers (*out), (std::vector<std::pair<int, int>> { { 14, 64 }, { 15, 33 }, { 17, 5 } }));
    EXPECT_EQ (events.take(), (std::vector<int> { 0x1A000000, 0x1A000000, 0x1A000000, 0x1B000000, 0x1B100000 }));
}

TEST_F (Engine, EventsGatheringWithoutAnEditorStayBounded)
{
    for (int i = 0; i < 100000; ++i)
        engine.setParameterFromHost (0, i & 127);

    const auto e = events.take();
    EXPECT_LE (e.size(), (size_t) MidiCntrState::maxQueuedEvents);
    EXPECT_EQ (e.back(), EngineEvent::parameter (0, 99999 & 127));
}

TEST_F (Engine, ListenersAreCalledLastRegisteredFirstAndAddedOnce)
{
    struct Ordered : public MidiCntrStateListener
    {
        Ordered (std::vector<int>& l, int t) : log (l), tag (t) {}
        void midiCntrStateChanged (MidiCntrState*) override   { log.push_back (tag); }
        std::vector<int>& log;
        int tag;
    };

    std::vector<int> log;
    Ordered a (log, 1), b (log, 2);
    for (auto* l : { &a, &b, &a })
        engine.addListener (l);
    engine.postEvent (0x12000000);
    EXPECT_EQ (log, (std::vector<int> { 2, 1 }));
    engine.removeListener (&a);
    engine.removeListener (&b);
}

TEST_F (Engine, GlobalBytesOutsideTheBlockAreIgnored)
{
    for (int index : { 3, 100, -1 })
        engine.setGlobalByte (index, 9);
    EXPECT_EQ (engine.globalByte (3), 9);
    EXPECT_EQ (engine.globalByte (100), 0);
    EXPECT_EQ (engine.getGlobals().size(), 100u);
}

// The synthesizer applies data entry to the NRPN it last received: whatever may
// have changed that, or its values, makes the next edit name its parameter again.
TEST (EngineNrpnState, RunningStatusHoldsOnlyWhileNothingElseReachedTheSynth)
{
    struct Case { const char* what; std::function<void (MidiCntrState&)> inBetween; size_t expectedMessages; };
    const std::vector<Case> cases
    {
        { "nothing",            [] (MidiCntrState&) {},                                         0 },
        { "a global setting",   [] (MidiCntrState& e) { e.sendNrpn (1024 + 3, 2); },            4 },
        { "a program selected", [] (MidiCntrState& e) { e.selectProgram (5, true, false); },    4 },
        { "a preset loaded",    [] (MidiCntrState& e) { e.loadCurrentPreset(); },               4 },
        { "an edit buffer dump",
          [] (MidiCntrState& e) { const auto d = DSI_Program::editBufferDump (ByteArray (1024, 1));
                                  e.handleIncomingMidiMessage (nullptr, juce::MidiMessage (d.data(), (int) d.size())); }, 4 },
        { "a device program change",
          [] (MidiCntrState& e) { e.handleIncomingMidiMessage (nullptr, juce::MidiMessage::programChange (1, 9)); }, 4 },
        { "a value from the synth",
          [] (MidiCntrState& e) { for (auto [cc, v] : { std::make_pair (99, 0), std::make_pair (98, 19), std::make_pair (6, 0), std::make_pair (38, 3) })
                                      e.handleIncomingMidiMessage (nullptr, juce::MidiMessage::controllerEvent (1, cc, v)); }, 4 },
        { "the port reopened",  [] (MidiCntrState& e) { e.selectOutputPort (1); },              4 },
        { "the channel changed",[] (MidiCntrState& e) { e.setMidiChannel (2); },                4 },
    };

    for (const auto& c : cases)
    {
        RecordingMidiDevices devices;
        MidiCntrState engine (devices);
        engine.selectOutputPort (1);
        engine.sendParameter (5, 300);
        c.inBetween (engine);

        auto out = devices.lastOutput();
        const auto before = out->sends().size();
        engine.sendParameter (5, 300);
        const auto sends = out->sends();

        size_t sent = 0;
        for (auto i = before; i < sends.size(); ++i)
            sent += sends[i].messages.size();
        EXPECT_EQ (sent, c.expectedMessages) << c.what;
        if (sent == 4)
        {
            EXPECT_EQ (sends.back().messages[0].getControllerNumber(), 99) << c.what;
            EXPECT_EQ (sends.back().messages[0].getChannel(), engine.getMidiChannel()) << c.what;
        }
    }
}

// What the synthesizer receives for a program selection: bank select on
// controller 32, then the program change, on the engine's channel.
TEST_F (Engine, ProgramSelectionSendsBankSelectThenProgramChange)
{
    struct Case { int channel, index; bool send; const char* expected; };
    const Case cases[] =
    {
        { 1,  0,           true,  "b0 20 00|c0 00" },
        { 1,  5 * 99 + 42, true,  "b0 20 05|c0 2a" },
        { 16, 791,         true,  "bf 20 07|cf 62" },
        { 1,  7,           false, "" },
    };

    for (const auto& c : cases)
    {
        RecordingMidiDevices fresh;
        MidiCntrState e (fresh);
        e.ports().openOutput (1);
        e.setMidiChannel (c.channel);
        e.selectProgram (c.index, c.send, false);
        EXPECT_EQ (sentHex (*fresh.lastOutput()), c.expected) << c.index;
    }
}
