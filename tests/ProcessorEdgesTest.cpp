#include <gtest/gtest.h>
#include "engine/VantorAudioProcessor.h"
#include "support/RecordingMidiDevices.h"

// The host's calls just past their ranges, and the sample rates it may set.
TEST (ProcessorEdges, ProgramCallsPastTheBankChangeNothing)
{
    RecordingMidiDevices devices;
    VantorAudioProcessor processor { devices };
    auto& e = processor.getEngine();
    processor.setCurrentProgram (6);
    e.setValue (8, 77);

    const auto edit = e.editBuffer();
    std::vector<juce::String> names;
    for (int p = 0; p < VantorAudioProcessor::numPrograms; ++p)
        names.push_back (processor.getProgramName (p));

    for (int index : { -1, 99, 100, 255, -100 })
    {
        SCOPED_TRACE (index);
        processor.changeProgramName (index, "Intruder");
        processor.setCurrentProgram (index);
        EXPECT_EQ (processor.getProgramName (index), juce::String());
        EXPECT_EQ (processor.getCurrentProgram(), 6);
        EXPECT_EQ (e.editBuffer(), edit);
        for (int p = 0; p < VantorAudioProcessor::numPrograms; ++p)
            ASSERT_EQ (processor.getProgramName (p), names[(size_t) p]) << p;
    }

    // The edges themselves work.
    for (int index : { 0, 98 })
    {
        processor.changeProgramName (index, "Edge");
        EXPECT_EQ (processor.getProgramName (index).trimEnd(), "Edge") << index;
        EXPECT_EQ (processor.getCurrentProgram(), index);
    }
}

TEST (ProcessorEdges, SampleRatesMapToTheirCodes)
{
    RecordingMidiDevices devices;
    VantorAudioProcessor processor { devices };
    auto& e = processor.getEngine();

    const struct { double rate; int code; } cases[] =
    {
        { 44100.0, 0 }, { 48000.0, 1 }, { 88200.0, 2 }, { 96000.0, 3 }, { 176400.0, 4 }, { 192000.0, 5 },
        { 48000.9, 1 }, { 22050.0, 0 }, { 384000.0, 0 }, { 0.0, 0 },
    };

    for (const auto& c : cases)
    {
        processor.prepareToPlay (c.rate, 256);
        EXPECT_EQ (e.getRateCode(), c.code) << c.rate;
        EXPECT_EQ (e.getSampleRate(), std::floor (c.rate)) << c.rate;
    }
}
