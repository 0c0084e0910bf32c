#include <gtest/gtest.h>
#include "engine/DSI_Program.h"
#include "support/EngineTestHelpers.h"
#include <functional>

// What the synthesizer says back: a program change past a bank's end, and a
// keyboard that identified itself before the output moved to another port.
namespace
{
struct DeviceAnswers : public ::testing::Test
{
    RecordingMidiDevices devices { { "In A", "In B" }, { "Out A", "Out B" } };
    MidiCntrState engine { devices };

    void receive (const juce::MidiMessage& m)   { engine.handleIncomingMidiMessage (nullptr, m); }
    void receive (const ByteArray& bytes)       { receive (juce::MidiMessage (bytes.data(), (int) bytes.size())); }
};

// Every SysEx message sent through the output, as bytes.
std::vector<ByteArray> sentSysEx (const OutputLog& log)
{
    std::vector<ByteArray> result;
    for (const auto& call : log.sends())
        for (const auto& m : call.messages)
            if (m.isSysEx())
                result.emplace_back (m.getRawData(), m.getRawData() + m.getRawDataSize());
    return result;
}

ByteArray recordFilledWith (juce::uint8 v)   { return ByteArray ((size_t) ProgramRecord::size, v); }
}

TEST_F (DeviceAnswers, ProgramChangePastTheBanksLastSlotChangesNothing)
{
    const auto marked = recordFilledWith (9);
    {
        const juce::ScopedLock sl (engine.getProgramLock());
        engine.deviceBank (3).storeProgram (0, marked);
        engine.deviceBank (2).storeProgram (98, recordFilledWith (5));
    }

    EventRecorder events (engine);
    for (int program : { 99, 100, 127 })
    {
        SCOPED_TRACE (program);
        receive (juce::MidiMessage::controllerEvent (1, 32, 2));
        receive (juce::MidiMessage::programChange (1, 98));
        const auto edit = engine.editBuffer();
        events.take();
        const int selected = engine.getValue (ParameterIds::programSelect);

        receive (juce::MidiMessage::programChange (1, program));

        EXPECT_EQ (engine.getCurrentBank(), 2);
        EXPECT_EQ (engine.getCurrentProgram(), 98);
        EXPECT_EQ (engine.getValue (ParameterIds::programSelect), selected);
        EXPECT_EQ (engine.editBuffer(), edit);
        EXPECT_TRUE (events.take().empty());
        EXPECT_NE (engine.editBuffer(), marked);   // never the next bank's first program

        // The program that was current is still current: choosing it again is no change.
        receive (juce::MidiMessage::programChange (1, 98));
        EXPECT_TRUE (events.take().empty());

        // A real one afterwards still selects.
        receive (juce::MidiMessage::programChange (1, 4));
        EXPECT_EQ (engine.getCurrentProgram(), 4);
        const juce::ScopedLock sl (engine.getProgramLock());
        EXPECT_EQ (engine.editBuffer(), engine.deviceBank (2).programBytes (4));
    }
}

TEST_F (DeviceAnswers, ANewOutputPortAsksTheModuleAgainAfterAKeyboardAnswered)
{
    const auto keyboardDump = [] (juce::uint8 code)
    {
        auto dump = code == 0x02 ? DSI_Program::programDump (recordFilledWith (1), 0, 3, ProgramRecord::keyboardDeviceId)
                                 : DSI_Program::editBufferDump (recordFilledWith (1));
        dump[2] = ProgramRecord::keyboardDeviceId;
        return dump;
    };

    const struct { const char* how; ByteArray message; } identified[] =
    {
        { "identity reply", { 0xF0, 0x7E, 0x00, 0x06, 0x02, 0x01, ProgramRecord::keyboardDeviceId, 0x01, 0x00, 0x00, 0xF7 } },
        { "globals",        { 0xF0, 0x01, ProgramRecord::keyboardDeviceId, 0x0F, 1, 2, 3, 0xF7 } },
        { "program dump",   keyboardDump (0x02) },
        { "edit buffer",    keyboardDump (0x03) },
    };

    const struct { const char* what; std::function<void (MidiCntrState&)> ask; } requests[] =
    {
        { "globals",     [] (MidiCntrState& e) { e.requestGlobals(); } },
        { "program",     [] (MidiCntrState& e) { e.requestDump (5, 6, 20); } },
        { "edit buffer", [] (MidiCntrState& e) { e.requestDump (6, 0, 0); } },
        { "bank",        [] (MidiCntrState& e) { e.startBankReceive (2, 2); e.stopBankReceive(); } },
    };

    for (const auto& id : identified)
        for (const auto& request : requests)
        {
            SCOPED_TRACE (juce::String (id.how) + " then " + request.what);
            engine.selectOutputPort (1);
            receive (id.message);
            ASSERT_EQ (engine.getDeviceId(), ProgramRecord::keyboardDeviceId);

            // Still on the old port: the keyboard is asked.
            request.ask (engine);
            auto sent = sentSysEx (*devices.lastOutput());
            ASSERT_FALSE (sent.empty());
            EXPECT_EQ (sent.back()[2], ProgramRecord::keyboardDeviceId);

            engine.selectOutputPort (2);
            request.ask (engine);
            sent = sentSysEx (*devices.lastOutput());
            ASSERT_EQ (devices.lastOutput()->deviceIndex, 1);
            ASSERT_FALSE (sent.empty());
            EXPECT_EQ (sent.back()[2], ProgramRecord::moduleDeviceId);
            EXPECT_EQ (engine.getDeviceId(), ProgramRecord::moduleDeviceId);
        }
}

// Transmitted dumps carry the id too: after the port change they address the module.
using DeviceAnswersThreads = DeviceAnswers;

TEST_F (DeviceAnswersThreads, TransmittedDumpsAddressTheModuleOnANewPort)
{
    engine.selectOutputPort (1);
    receive (ByteArray { 0xF0, 0x01, ProgramRecord::keyboardDeviceId, 0x0F, 1, 0xF7 });
    engine.selectOutputPort (2);
    engine.transmitter().setPacing (0.0, 0.0);
    ASSERT_TRUE (engine.startTransmit (MidiCntrState::TransmitScope::oneSlot, 1, 7));

    const auto out = devices.lastOutput();
    const auto end = juce::Time::getMillisecondCounter() + 20000;
    while (sentSysEx (*out).empty() && juce::Time::getMillisecondCounter() < end)
        juce::Thread::yield();
    const auto sent = sentSysEx (*out);
    ASSERT_EQ (sent.size(), 1u);
    EXPECT_EQ (sent[0][2], ProgramRecord::moduleDeviceId);
    EXPECT_EQ (sent[0][4], 1);
    EXPECT_EQ (sent[0][5], 7);
    while (engine.isTransmitting() && juce::Time::getMillisecondCounter() < end)
        juce::Thread::yield();
    EXPECT_FALSE (engine.isTransmitting());
}

// Only this maker's identity reply names the model; anything else on the cable leaves the id.
TEST_F (DeviceAnswers, OnlyThisMakersIdentityReplyNamesTheModel)
{
    const struct { const char* what; ByteArray message; juce::uint8 id; } cases[] =
    {
        { "keyboard reply",       { 0xF0, 0x7E, 0x00, 0x06, 0x02, 0x01, 0x2A, 0x01, 0x00, 0xF7 }, 0x2A },
        { "module reply",         { 0xF0, 0x7E, 0x7F, 0x06, 0x02, 0x01, 0x2B, 0x01, 0x00, 0xF7 }, 0x2B },
        { "another maker",        { 0xF0, 0x7E, 0x00, 0x06, 0x02, 0x41, 0x2A, 0x01, 0x00, 0xF7 }, 0x2B },
        { "an identity request",  { 0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7 },                         0x2B },
        { "request shaped reply", { 0xF0, 0x7E, 0x00, 0x06, 0x01, 0x01, 0x2A, 0xF7 },             0x2B },
        { "unknown model",        { 0xF0, 0x7E, 0x00, 0x06, 0x02, 0x01, 0x2C, 0x01, 0x00, 0xF7 }, 0x2B },
        { "real-time universal",  { 0xF0, 0x7F, 0x00, 0x06, 0x02, 0x01, 0x2A, 0x01, 0x00, 0xF7 }, 0x2B },
    };

    for (const auto& c : cases)
    {
        engine.selectOutputPort (1);   // back to the module
        receive (c.message);
        EXPECT_EQ (engine.getDeviceId(), c.id) << c.what;
    }
}
