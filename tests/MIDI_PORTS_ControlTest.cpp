#include <gtest/gtest.h>
#include "engine/MIDI_PORTS_Control.h"
#include "engine/DSI_Program.h"
#include "engine/MidiCntrState.h"
#include "support/RecordingMidiDevices.h"
#include "support/SimulatedSynth.h"

namespace
{
ByteArray sysEx (size_t size)
{
    ByteArray bytes (size, 0);
    for (size_t i = 1; i + 1 < size; ++i)
        bytes[i] = (juce::uint8) (i % 128);
    bytes.front() = 0xf0;
    bytes.back() = 0xf7;
    return bytes;
}

ByteArray bytesOf (const juce::MidiMessage& m)   { return { m.getRawData(), m.getRawData() + m.getRawDataSize() }; }

struct MIDI_PORTS_ControlTest : public ::testing::Test
{
    RecordingMidiDevices devices;
    MIDI_PORTS_Control ports { devices };
};
}

// Every SysEx, long or short, joins the output's queue whole, behind what is
// queued already: nothing is cleared, no thread stopped, nothing sent around the queue.
TEST_F (MIDI_PORTS_ControlTest, SysExOfAnyLengthJoinsTheQueueWhole)
{
    ports.openOutput (1);
    auto out = devices.lastOutput();
    ASSERT_NE (out, nullptr);
    ASSERT_TRUE (out->isThreadRunning());

    for (size_t size : { 6u, 256u, 257u, 1176u, 1178u, 4096u })
    {
        const auto message = sysEx (size);
        const auto first = out->calls().size();
        const auto before = juce::Time::getMillisecondCounterHiRes();
        ports.sendSysEx (message);

        const auto calls = out->calls();
        ASSERT_EQ (calls.size(), first + 1) << size;
        EXPECT_EQ (calls[first].kind, OutputCall::block) << size;
        ASSERT_EQ (calls[first].messages.size(), 1u) << size;
        EXPECT_EQ (bytesOf (calls[first].messages[0]), message) << size;
        EXPECT_GE (calls[first].startTime, before);
        EXPECT_EQ (calls[first].rate, 1000.0);
        EXPECT_TRUE (out->isThreadRunning());
    }
}

TEST_F (MIDI_PORTS_ControlTest, RefusesWhatCannotBeSent)
{
    // Closed output: nothing reaches any device.
    ports.sendSysEx (sysEx (10));
    ports.sendController (1, 7, 100);
    EXPECT_TRUE (devices.outputs.empty());

    ports.openOutput (2);
    auto out = devices.lastOutput();
    ASSERT_TRUE (out != nullptr && out->deviceIndex == 1);

    for (int channel : { 0, 17, -1 })
    {
        ports.sendController (channel, 7, 100);
        ports.sendNoteOn (channel, 60, 100);
        ports.sendNoteOff (channel, 60);
        ports.sendPitchWheel (channel, 8192);
        ports.sendProgramChange (channel, 3);
    }

    ports.sendNoteOn (1, 128, 100);
    ports.sendNoteOn (1, -1, 100);
    ports.sendProgramChange (1, 128);
    ports.sendController (1, 7, 128);
    ports.sendPitchWheel (1, 16384);

    // Not a SysEx: no F0 at the start or no F7 at the end, or too short.
    ports.sendSysEx ({});
    ports.sendSysEx ({ 0xf0 });
    ports.sendSysEx ({ 0x01, 0x2b, 0xf7 });
    auto unterminated = sysEx (1176);
    unterminated.back() = 0x00;
    ports.sendSysEx (unterminated);

    EXPECT_TRUE (out->sends().empty());

    ports.sendNoteOn (16, 127, 0);
    ports.sendProgramChange (16, 127);
    ports.sendPitchWheel (16, 0x3fff);
    const auto sends = out->sends();
    ASSERT_EQ (sends.size(), 3u);
    EXPECT_TRUE (sends[0].messages[0].isNoteOnOrOff());
    EXPECT_EQ (sends[1].messages[0].getProgramChangeNumber(), 127);
    EXPECT_EQ (sends[2].messages[0].getPitchWheelValue(), 0x3fff);
    EXPECT_EQ (sends[2].messages[0].getChannel(), 16);

    // Closing makes every send a no-op again.
    ports.openOutput (0);
    EXPECT_FALSE (ports.isOutputOpen());
    EXPECT_TRUE (out->isDeleted());
    ports.sendSysEx (sysEx (10));
    EXPECT_EQ (out->sends().size(), 3u);
}

TEST_F (MIDI_PORTS_ControlTest, OpeningClosesTheOldDeviceFirstAndIgnoresIndicesPastTheList)
{
    struct NullCallback : juce::MidiInputCallback
    {
        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage&) override {}
    } engine;
    juce::MidiInputCallback* callback = &engine;

    ports.openInput (1, callback);
    ports.openOutput (1);
    auto firstIn = devices.lastInput();
    auto firstOut = devices.lastOutput();
    ASSERT_TRUE (ports.isInputOpen() && ports.isOutputOpen());
    EXPECT_EQ (firstIn->callback, callback);
    EXPECT_EQ (firstIn->starts, 1);
    EXPECT_EQ (ports.getInputIndex(), 0);

    ports.openInput (2, callback);
    ports.openOutput (2);
    EXPECT_TRUE (firstIn->deleted);
    EXPECT_EQ (firstIn->stops, 1);
    EXPECT_TRUE (firstOut->isDeleted());
    EXPECT_EQ (firstOut->count (OutputCall::stopThread), 1);
    EXPECT_EQ (std::make_pair (ports.getInputIndex(), ports.getOutputIndex()), std::make_pair (1, 1));

    // Past the list: the old device is closed, nothing new is opened.
    ports.openInput (3, callback);
    ports.openOutput (99);
    EXPECT_FALSE (ports.isInputOpen() || ports.isOutputOpen());
    EXPECT_EQ (std::make_pair (ports.getInputIndex(), ports.getOutputIndex()), std::make_pair (-1, -1));
    EXPECT_EQ (std::make_pair (devices.inputs.size(), devices.outputs.size()), std::make_pair ((size_t) 2, (size_t) 2));
    EXPECT_TRUE (devices.lastInput()->deleted);
    EXPECT_TRUE (devices.lastOutput()->isDeleted());

    ports.openInput (1, nullptr);
    EXPECT_FALSE (ports.isInputOpen());

    // A device that fails to open leaves its direction closed.
    devices.refuseToOpen = true;
    ports.openOutput (1);
    EXPECT_FALSE (ports.isOutputOpen());
    ports.sendController (1, 1, 1);

    devices.refuseToOpen = false;
    {
        MIDI_PORTS_Control other (devices);
        other.openInput (1, callback);
        other.openOutput (1);
    }
    EXPECT_TRUE (devices.lastInput()->deleted);
    EXPECT_TRUE (devices.lastOutput()->isDeleted());
}

TEST (MIDI_PORTS_Control, StoredNameMatching)
{
    const juce::StringArray names { "USB MIDI", "usb midi 2", "AB", "NONE", "USB MIDI" };

    // Exact names only, the first of equal ones; "NONE" is the choice of no device, whatever is there.
    const std::pair<const char*, int> cases[] = { { "USB MIDI", 1 }, { "usb midi 2", 2 }, { "USB MIDI 2", 0 }, { "usb midi", 0 },
                                                  { "AB", 0 }, { "", 0 }, { "NONE", 0 } };
    for (auto [stored, index] : cases)
        EXPECT_EQ (MIDI_PORTS_Control::indexForStoredName (names, stored), index) << stored;
}

// A program dump sent while a note-off and a knob's NRPN still wait in the
// output's queue goes out after them; nothing waiting is lost, and the dump
// arrives whole.
TEST (OutputQueueThreads, ALongDumpKeepsWhatWasQueuedBeforeIt)
{
    SimulatedSynth synth;
    MidiCntrState engine (synth);
    engine.selectOutputPort (1);
    ASSERT_TRUE (engine.ports().isOutputOpen());

    ByteArray record ((size_t) ProgramRecord::size, 0);
    for (size_t i = 0; i < record.size(); ++i)
        record[i] = (juce::uint8) (i * 13);
    const auto dump = DSI_Program::programDump (record, 1, 4);

    synth.clearReceived();
    synth.holdOutput (true);
    engine.sendNoteOff (1, 60);
    engine.sendParameter (5, 42);
    engine.ports().sendSysEx (dump);
    engine.sendNoteOff (1, 61);
    synth.holdOutput (false);

    ASSERT_TRUE (synth.waitForReceived (7, 20000));
    const auto received = synth.received();
    ASSERT_EQ (received.size(), 7u);
    EXPECT_TRUE (received[0].message.isNoteOff());
    EXPECT_EQ (received[0].message.getNoteNumber(), 60);
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE (received[(size_t) i].message.isController()) << i;
    EXPECT_EQ (bytesOf (received[5].message), dump);
    EXPECT_EQ (received[6].message.getNoteNumber(), 61);
    EXPECT_EQ (synth.record (1, 4), record);
}
