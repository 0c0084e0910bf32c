#include <gtest/gtest.h>
#include "support/ComponentTestSupport.h"
#include "engine/VantorAudioProcessor.h"
#include "support/EngineTestHelpers.h"
#include "support/SimulatedSynth.h"

namespace
{
// Records what the host would be told.
struct HostListener : public juce::AudioProcessorListener
{
    std::vector<std::pair<char, int>> calls;   // 'b' begin, 'e' end, 'v' value
    int programChanges = 0;

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float) override   { calls.emplace_back ('v', index); }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& d) override      { programChanges += d.programChanged ? 1 : 0; }
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override { calls.emplace_back ('b', index); }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override   { calls.emplace_back ('e', index); }

    int count (char kind, int index) const   { return (int) std::count (calls.begin(), calls.end(), std::make_pair (kind, index)); }
};

struct Processor : public ::testing::Test
{
    RecordingMidiDevices devices;
    std::unique_ptr<VantorAudioProcessor> processor = std::make_unique<VantorAudioProcessor> (devices);
    MidiCntrState& engine = processor->getEngine();

    juce::AudioProcessorParameter& param (int i)   { return *processor->getParameters()[i]; }
};

juce::MemoryBlock bankChunk (VantorAudioProcessor& p)   { juce::MemoryBlock block; p.getStateInformation (block); return block; }

ByteArray bytes (const juce::MemoryBlock& block, size_t offset, size_t size)
{
    auto* data = static_cast<const juce::uint8*> (block.getData()) + offset;
    return ByteArray (data, data + size);
}
}

TEST_F (Processor, FreshBankChunkStoresTheEditBufferAsSlotZero)
{
    engine.setValue (8, 42);     // the edit buffer now differs from slot 0
    const auto oldSlot0 = engine.presetBank().programBytes (0);
    const auto chunk = bankChunk (*processor);
    ASSERT_EQ (chunk.getSize(), 102430u);
    EXPECT_EQ (std::string (static_cast<const char*> (chunk.getData()), 29), "Prophet12VantorBankVersion100");
    EXPECT_EQ (bytes (chunk, 29, 1024), oldSlot0);     // the edit buffer's own copy is checked by the round trip
    EXPECT_EQ (engine.presetBank().programBytes (0), engine.editBuffer());
    EXPECT_EQ (processor->getCurrentProgram(), 0);
}

TEST_F (Processor, BankChunkReadReplacesSlotsOnlyAndShortChunksAreIgnored)
{
    juce::MemoryBlock chunk (101405, true);
    for (int p = 0; p < 99; ++p)
        chunk[29 + (size_t) p * 1024 + 8] = (char) p;

    processor->setCurrentProgram (3);
    const auto edit = engine.editBuffer();
    EventRecorder events (engine);
    events.take();

    processor->setStateInformation (chunk.getData(), 101404);
    EXPECT_NE (engine.presetBank().programBytes (7)[8], 7);

    processor->setStateInformation (chunk.getData(), (int) chunk.getSize());
    for (int p = 0; p < 99; ++p)
        EXPECT_EQ (engine.presetBank().programBytes (p)[8], p);
    EXPECT_EQ (engine.editBuffer(), edit);
    EXPECT_EQ (processor->getCurrentProgram(), 3);
    EXPECT_TRUE (events.take().empty());

    processor->setStateInformation (nullptr, 200000);
}

TEST_F (Processor, EditsSurviveAWholeBankChunkRoundTrip)
{
    processor->setCurrentProgram (5);
    engine.setValue (8, 99);
    engine.setValue (600, 3);
    const auto edited = engine.editBuffer();
    const auto chunk = bankChunk (*processor);
    EXPECT_EQ (chunk[102429], 5);
    EXPECT_EQ (bytes (chunk, 101405, 1024), edited);

    VantorAudioProcessor second (devices);
    EventRecorder events (second.getEngine());
    events.take();
    second.setStateInformation (chunk.getData(), (int) chunk.getSize());
    EXPECT_EQ (second.getCurrentProgram(), 5);
    EXPECT_EQ (second.getEngine().editBuffer(), edited);
    EXPECT_EQ (second.getEngine().presetBank().programBytes (5), edited);
    EXPECT_EQ (events.take(), (std::vector<int> { 0x11000000 }));

    // The host selecting the program afterwards, as many do, keeps the edits too.
    second.setCurrentProgram (5);
    EXPECT_EQ (second.getEngine().editBuffer(), edited);

    // An index byte past the bank restores the slots only.
    auto badIndex = chunk;
    badIndex[102429] = (char) 200;
    VantorAudioProcessor third (devices);
    const auto thirdEdit = third.getEngine().editBuffer();
    third.setStateInformation (badIndex.getData(), (int) badIndex.getSize());
    EXPECT_EQ (third.getEngine().editBuffer(), thirdEdit);
    EXPECT_EQ (third.getEngine().presetBank().programBytes (7), engine.presetBank().programBytes (7));
}

TEST_F (Processor, RenamingTheCurrentProgramKeepsItsEdits)
{
    processor->setCurrentProgram (4);
    engine.setValue (0, 33);
    processor->changeProgramName (4, "Renamed");
    EXPECT_EQ (engine.getValue (0), 33);
    EXPECT_EQ (processor->getProgramName (4), "Renamed");
    EXPECT_TRUE (engine.presetBank().editBufferName().startsWith ("Renamed"));

    // Renaming another slot selects it; slots past the bank are neither named nor selected.
    processor->changeProgramName (9, "Other");
    EXPECT_EQ (processor->getCurrentProgram(), 9);
    EXPECT_EQ (engine.editBuffer(), engine.presetBank().programBytes (9));
    processor->changeProgramName (150, "Nowhere");
    processor->setCurrentProgram (99);
    processor->setCurrentProgram (-2);
    EXPECT_EQ (processor->getCurrentProgram(), 9);
    EXPECT_TRUE (processor->getProgramName (99).isEmpty() && processor->getProgramName (-1).isEmpty());
}

TEST_F (Processor, ProgramChunkRoundTripsIntoAFreshInstance)
{
    engine.setValue (0, 77);
    engine.setValue (600, 5);
    juce::MemoryBlock chunk;
    processor->getCurrentProgramStateInformation (chunk);
    ASSERT_EQ (chunk.getSize(), 1057u);
    EXPECT_EQ (std::string (static_cast<const char*> (chunk.getData()), 23), "Prophet12VantorSettings");

    // Any header is accepted; a chunk one byte short is not.
    std::memcpy (chunk.getData(), "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX", 33);
    VantorAudioProcessor second (devices);
    EventRecorder events (second.getEngine());
    second.setCurrentProgramStateInformation (chunk.getData(), 1056);
    EXPECT_NE (second.getEngine().editBuffer(), engine.editBuffer());
    EXPECT_TRUE (events.take().empty());

    second.setCurrentProgramStateInformation (chunk.getData(), (int) chunk.getSize());
    EXPECT_EQ (second.getEngine().editBuffer(), engine.editBuffer());
    EXPECT_EQ (second.getEngine().presetBank().programBytes (0), engine.editBuffer());
    EXPECT_EQ (events.take(), (std::vector<int> { 0x11000000 }));

    juce::MemoryBlock written;
    VantorAudioProcessor::writeProgramChunk (ByteArray (10, 1), written);
    EXPECT_EQ (written.getSize(), 1057u);
}

TEST_F (Processor, HostParametersReadAndWriteThroughTheEngine)
{
    // Program select, out of range and hostile values; the editor round trip covers plain ones.
    engine.splitProgramIndex (100);
    EXPECT_FLOAT_EQ (param (618).getValue(), 100.0f / 791.0f);
    param (1).setValue (2.5f);
    EXPECT_EQ (engine.getValue (1), 120);
    param (2).setValue (std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ (processor->hostValue (624), 0.0f);
    processor->setHostValue (-1, 0.3f);
    EXPECT_EQ (processor->hostParameterName (700), "700");
    EXPECT_TRUE (processor->hostParameterText (700).isEmpty());

    // A stored byte above the maximum still reads as at most 1.
    engine.setValue (0, 250);
    EXPECT_LE (param (0).getValue(), 1.0f);

    // An unchanged value sends nothing and posts nothing.
    engine.ports().openOutput (1);
    EventRecorder events (engine);
    events.take();
    param (0).setValue (0.5f);
    param (0).setValue (0.5f);
    EXPECT_EQ (events.take().size(), 1u);
    EXPECT_EQ (devices.lastOutput()->sends().size(), 1u);

    engine.setControlsProgramChange (true);
    EXPECT_TRUE (processor->hostParameterText (618).startsWith ("U 2: P 2 "));
}

TEST_F (Processor, EditGesturesBeginOnceAndEndAfterTheLastEditOrWithTheProcessor)
{
    HostListener host;
    processor->addListener (&host);

    processor->parameterChanged (0, 10, false, false, true);
    processor->parameterChanged (0, 11, false, false, true);
    processor->parameterChanged (4, 60, false, false, true);
    EXPECT_EQ (host.count ('b', 0), 1);
    EXPECT_EQ (host.count ('b', 4), 1);
    EXPECT_EQ (host.count ('e', 0), 0);

    ASSERT_TRUE (ui::pumpUntil ([&] { return host.count ('e', 0) > 0 && host.count ('e', 4) > 0; }));
    EXPECT_EQ (host.count ('e', 0), 1);
    EXPECT_EQ (host.count ('e', 4), 1);
    EXPECT_FALSE (processor->isGestureOpen (0));

    processor->parameterChanged (8, 100, true, false, false);
    EXPECT_EQ (host.count ('b', 8), 1);
    EXPECT_EQ (host.count ('e', 8), 1);

    // Ids without a host parameter never reach the host.
    const auto before = host.calls.size();
    processor->parameterChanged (500, 1, true, true, true);
    processor->parameterChanged (1030, 1, true, true, true);
    EXPECT_EQ (host.calls.size(), before);

    // Destruction ends the gestures still open.
    processor->parameterChanged (1, 10, false, false, false);
    processor->parameterChanged (1025, 10, false, false, false);
    processor.reset();
    for (int h : { 1, 619 })
        EXPECT_EQ (std::make_pair (host.count ('b', h), host.count ('e', h)), std::make_pair (1, 1)) << h;
}

TEST_F (Processor, ProcessBlockPassesAudioAndHandsOutTheEngineMidi)
{
    processor->prepareToPlay (48000.0, 256);
    EXPECT_EQ (engine.getRateCode(), 1);

    juce::AudioBuffer<float> audio (2, 256);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 256; ++i)
            audio.setSample (ch, i, (float) (ch + 1) * (float) i * 0.001f);
    const juce::AudioBuffer<float> original (audio);

    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100), 3);
    engine.sendModWheelToHost (2, 99);
    processor->processBlock (audio, midi);

    for (int ch = 0; ch < 2; ++ch)
        EXPECT_TRUE (std::equal (audio.getReadPointer (ch), audio.getReadPointer (ch) + 256, original.getReadPointer (ch)));

    ASSERT_EQ (midi.getNumEvents(), 1);     // the host's note is not passed on; the engine's controller is
    EXPECT_EQ ((*midi.begin()).getMessage().getDescription(), juce::MidiMessage::controllerEvent (2, 1, 99).getDescription());

    processor->processBlock (audio, midi);
    EXPECT_TRUE (midi.isEmpty());

    processor->prepareToPlay (12345.6, 64);
    EXPECT_EQ (engine.getRateCode(), 0);
    EXPECT_EQ (engine.getSampleRate(), 12345.0);
}

TEST_F (Processor, HostValuesStayInRangeAndTextsAnswerForTheValueAsked)
{
    const int bpm = engine.parameterTable().hostIndex (256);

    param (bpm).setValue (0.0f);                        // the bottom of the host's slider is the minimum, 30
    EXPECT_EQ (param (bpm).getValue(), 0.0f);           // and reads back as the bottom
    EXPECT_EQ (param (bpm).getText (0.0f, 24), "30 bpm");
    EXPECT_EQ (param (bpm).getText (1.0f, 24), "250 bpm");
    EXPECT_FLOAT_EQ (param (bpm).getValueForText ("120 bpm"), 120.0f / 250.0f);
    EXPECT_FLOAT_EQ (param (bpm).getValueForText ("30 bpm"), 0.0f);
    EXPECT_FLOAT_EQ (param (bpm).getValueForText ("120"), 120.0f / 250.0f);

    EXPECT_FLOAT_EQ (param (bpm).getValueForText ("fast"), param (bpm).getValue());

    // Every parameter reads back the value its own text names.
    for (int h = 0; h < ParameterTable::numHostParameters; ++h)
        for (float v : { 0.0f, 0.37f, 1.0f })
        {
            const auto text = param (h).getText (v, 24);
            EXPECT_EQ (param (h).getText (param (h).getValueForText (text), 24), text) << h << " " << v;
        }
}

// "Unis Key Ass." reads and takes the key-assign names on the host, as in the editor, on both layers.
TEST_F (Processor, KeyAssignTextsAreTheKeyAssignNames)
{
    for (int id : { 260, 772 })
    {
        const int h = engine.parameterTable().hostIndex (id);
        ASSERT_TRUE (ParameterTable::isHostIndex (h)) << id;
        EXPECT_EQ (param (h).getText (0.0f, 24), "Low Note") << id;
        EXPECT_EQ (param (h).getText (1.0f, 24), "Last Retrig") << id;
        EXPECT_FLOAT_EQ (param (h).getValueForText ("High Retrig"), 3.0f / 5.0f) << id;

        param (h).setValue (2.0f / 5.0f);
        EXPECT_EQ (param (h).getCurrentValueAsText(), "High Note") << id;
    }
}

// The synthesizer replaces its program while a knob value is still queued: the
// value stays with the old program and the host rereads the new one.
TEST (ProcessorWithSynthThreads, ReplacedProgramDropsQueuedKnobValuesAndTellsTheHost)
{
    SimulatedSynth synth;
    {
        VantorAudioProcessor processor (synth);
        auto& engine = processor.getEngine();
        engine.selectInputPort (1);
        engine.selectOutputPort (1);
        HostListener host;
        processor.addListener (&host);

        const auto newProgram = engine.deviceBank (0).programBytes (5);
        synth.turnKnob (1, 19, (newProgram[5] + 1) % 100);      // id 5, "Fine 2"
        synth.send (juce::MidiMessage::programChange (1, 5));
        ASSERT_TRUE (synth.settle());

        EXPECT_EQ (engine.editBuffer(), newProgram);
        EXPECT_GE (host.programChanges, 1);
        processor.removeListener (&host);
    }
}

// Whoever chose a program, the synthesizer gets it once or not at all: its own
// choice never comes back to it. The host hears of the synthesizer's choice and
// the plug-in's, never of its own.
TEST_F (Processor, ProgramChoicesReachTheSynthesizerOnceAndNeverEchoBack)
{
    constexpr int chosen = 2 * 99 + 5;
    const auto fromSynth = [this]
    {
        engine.handleIncomingMidiMessage (nullptr, juce::MidiMessage::controllerEvent (1, 32, 2));
        engine.handleIncomingMidiMessage (nullptr, juce::MidiMessage::programChange (1, 5));
    };
    const auto fromPlugin = [this] { engine.selectProgram (chosen, true, true); };
    const auto fromHost = [this] { param (618).setValue ((float) chosen / 791.0f); };
    const auto fromEditEntry = [this] { processor->parameterChanged (ParameterIds::programSelect, chosen, true, true, true); };

    // loads: the edit buffer becomes the chosen program (host automation loads only while followed).
    struct Case { const char* source; bool following; std::function<void()> choose; const char* sent; int hostTold; bool loads; };
    const Case cases[] =
    {
        { "synthesizer", true,  fromSynth,     "",               1, true },
        { "synthesizer", false, fromSynth,     "",               0, true },
        { "plug-in",     true,  fromPlugin,    "b0 20 02|c0 05", 1, true },
        { "plug-in",     false, fromPlugin,    "b0 20 02|c0 05", 0, true },
        { "host",        true,  fromHost,      "b0 20 02|c0 05", 0, true },
        { "host",        false, fromHost,      "",               0, false },
        { "edit entry",  true,  fromEditEntry, "b0 20 02|c0 05", 1, true },
    };

    engine.ports().openOutput (1);
    HostListener host;
    processor->addListener (&host);
    for (const auto& c : cases)
    {
        engine.setControlsProgramChange (c.following);
        engine.selectProgram (0, false, false);
        host.calls.clear();
        const auto before = devices.lastOutput()->sends().size();

        c.choose();

        EXPECT_EQ (sentHex (*devices.lastOutput(), before), c.sent) << c.source << " " << c.following;
        EXPECT_EQ (host.count ('v', 618), c.hostTold) << c.source << " " << c.following;
        EXPECT_EQ (engine.getValue (ParameterIds::programSelect), chosen) << c.source;
        EXPECT_EQ (engine.editBuffer() == engine.deviceBank (2).programBytes (5), c.loads) << c.source << " " << c.following;
    }
    processor->removeListener (&host);
}

// The host's "Program No." selects on the synthesizer: bank select, then program change.
TEST_F (Processor, HostProgramNumberSelectsOnTheSynthesizer)
{
    struct Case { float hostValue; bool following; const char* expected; };
    const Case cases[] =
    {
        { 0.0f,             true,  "b0 20 00|c0 00" },
        { 1.0f,             true,  "b0 20 07|c0 62" },
        { 100.4f / 791.0f,  true,  "b0 20 01|c0 01" },
        { 500.0f / 791.0f,  false, "" },
    };

    engine.ports().openOutput (1);
    for (const auto& c : cases)
    {
        engine.setControlsProgramChange (c.following);
        param (618).setValue (0.5f);    // away from the value under test, so that one is a change
        const auto before = devices.lastOutput()->sends().size();
        param (618).setValue (c.hostValue);
        EXPECT_EQ (sentHex (*devices.lastOutput(), before), c.expected) << c.hostValue;
    }
}

// Any caller of the edit entry, not only the strips and the pad that store first:
// the host hears of the slider once and the synthesizer gets its controller once,
// or not at all when the caller does not send.
TEST_F (Processor, SliderEditsAreStoredBeforeTheHostIsTold)
{
    struct Case { ParameterId id; bool send; int controller; };   // controller -1: none
    const Case cases[] =
    {
        { ParameterIds::slider1,      true,  14 },
        { ParameterIds::slider2,      true,  15 },
        { ParameterIds::sliderPress,  true,  17 },
        { ParameterIds::slider1,      false, -1 },
        { ParameterIds::sliderLatch1, true,  -1 },
    };

    engine.ports().openOutput (1);
    HostListener host;
    processor->addListener (&host);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.id) + (c.send ? " sent" : " kept"));
        const int value = engine.getValue (c.id) == 1 ? 0 : 1;
        const auto before = sentControllers (*devices.lastOutput()).size();
        const auto h = processor->parameterTable().hostIndex (c.id);
        host.calls.clear();

        processor->parameterChanged (c.id, value, true, c.send, true);

        const auto controllers = sentControllers (*devices.lastOutput());
        const std::vector<std::pair<int, int>> sent (controllers.begin() + (std::ptrdiff_t) before, controllers.end());
        using Sent = std::vector<std::pair<int, int>>;
        EXPECT_EQ (sent, c.controller < 0 ? Sent() : Sent ({ { c.controller, value } }));
        EXPECT_EQ (engine.getValue (c.id), value);
        EXPECT_EQ (host.count ('v', h), 1);
    }

    processor->removeListener (&host);
}
