#include <gtest/gtest.h>
#include "engine/VantorAudioProcessor.h"
#include "engine/ProgramRecord.h"
#include "support/EngineTestHelpers.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace
{
struct HostileHost : public ::testing::Test
{
    RecordingMidiDevices devices;
    std::unique_ptr<VantorAudioProcessor> processor = std::make_unique<VantorAudioProcessor> (devices);
    MidiCntrState& engine = processor->getEngine();

    juce::AudioProcessorParameter& param (int i)   { return *processor->getParameters()[i]; }
};

// The VST wrapper turns the host's bytes into a string one byte a character.
juce::String asTheWrapperPasses (const std::string& bytes)
{
    juce::String s;
    for (auto b : bytes)
        s += (juce::juce_wchar) (juce::uint8) b;
    return s;
}

bool onlyShownCharacters (const ByteArray& record)
{
    for (int i = 0; i < ProgramRecord::nameLength; ++i)
        if (const auto c = record[(size_t) (ProgramRecord::nameOffset + i)]; c < 32 || c > 126)
            return false;
    return true;
}
}

TEST_F (HostileHost, ProgramNamesKeepOnlyWhatTheSynthesizerShows)
{
    const struct { std::string bytes; const char* stored; } cases[] = {
        { "\x1b[31mRED", " [31mRED" },
        { "A\tB\nC\rD\x01", "A B C D" },
        { "\x7f" "DEL", " DEL" },
        { "Caf\xc3\xa9 Bar", "Caf  Bar" },            // UTF-8: one character, one space
        { "\xff\xfe" "AB\x80", "  AB" },               // not UTF-8: each byte
        { "\xc2\x9b" "C1", " C1" },                    // a control character of the upper half
        { "ABCDEFGHIJKLMNOP\x1bQ", "ABCDEFGHIJKLMNOP" },
    };

    for (int current : { 0, 1 })
        for (const auto& c : cases)
        {
            processor->setCurrentProgram (current == 1 ? 5 : 6);
            processor->changeProgramName (5, asTheWrapperPasses (c.bytes));
            EXPECT_EQ (processor->getProgramName (5), c.stored) << c.stored;
            EXPECT_TRUE (onlyShownCharacters (engine.presetBank().programBytes (5))) << c.stored;
            EXPECT_TRUE (onlyShownCharacters (engine.editBuffer())) << c.stored;
        }
}

TEST_F (HostileHost, PlaybackFormatsWithoutAWholeRateStoreNone)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const struct { double rate; int block; double stored; int code; } cases[] = {
        { 48000.0, 256, 48000.0, 1 },
        { 44100.9, 0, 44100.0, 0 },
        { nan, -1, 0.0, 0 },
        { inf, std::numeric_limits<int>::min(), 0.0, 0 },
        { -inf, 512, 0.0, 0 },
        { -96000.0, 512, 0.0, 0 },
        { 0.0, 512, 0.0, 0 },
        { 1.0e300, std::numeric_limits<int>::max(), 0.0, 0 },
        { 0.5, 64, 0.0, 0 },
    };

    for (const auto& c : cases)
    {
        processor->prepareToPlay (c.rate, c.block);
        EXPECT_EQ (engine.getSampleRate(), c.stored) << c.rate;
        EXPECT_EQ (engine.getRateCode(), c.code) << c.rate;

        juce::AudioBuffer<float> audio (2, 32);
        audio.clear();
        juce::MidiBuffer midi;
        engine.sendModWheelToHost (1, 5);
        processor->processBlock (audio, midi);
        EXPECT_EQ (midi.getNumEvents(), 1) << c.rate;
    }
}

TEST_F (HostileHost, TypedTextsThatNameNoValueKeepTheValue)
{
    const auto digits = std::string (5000, '9');
    const std::string texts[] = { "", "   ", "nan", "NaN", "-nan", "inf", "+inf", "-inf", "1e999", digits, "-" + digits,
                                  "\xc3\x84\xc3\x96\xc3\x9c", "\xe6\x97\xa5\xe6\x9c\xac", "\x1b[0m" };
    const int bpm = engine.parameterTable().hostIndex (256);

    for (int h : { 0, 7, bpm, 617, 618, 619, 622 })
    {
        param (h).setValue (param (h).getValueForText (param (h).getText (1.0f, 24)));
        const float before = param (h).getValue();
        for (const auto& t : texts)
        {
            const float got = param (h).getValueForText (juce::String::fromUTF8 (t.c_str(), (int) t.size()));
            EXPECT_EQ (got, before) << h << " " << t.substr (0, 12);
        }
    }

    // A number written with thousands of leading zeros is still the number.
    EXPECT_FLOAT_EQ (param (bpm).getValueForText (std::string (5000, '0') + "120"), 120.0f / 250.0f);
}

TEST_F (HostileHost, NamesFromABankChunkAreShownAsTheSynthesizerShowsThem)
{
    juce::MemoryBlock chunk (VantorAudioProcessor::bankChunkMinimum, true);
    const struct { int slot; std::string bytes; const char* shown; } cases[] = {
        { 0, "\x1b[2JRED\x07", " [2JRED" },
        { 1, "A\x85\x9b\xff" "B\x7f", "A   B" },
        { 2, std::string ("NUL\0GAP", 7), "NULGAP" },     // a zero is no character at all
        { 3, "PLAIN NAME", "PLAIN NAME" },
    };
    for (const auto& c : cases)
        std::memcpy (static_cast<char*> (chunk.getData()) + 29 + c.slot * ProgramRecord::size + ProgramRecord::nameOffset,
                     c.bytes.data(), c.bytes.size());

    processor->setStateInformation (chunk.getData(), (int) chunk.getSize());
    for (const auto& c : cases)
        EXPECT_EQ (processor->getProgramName (c.slot), c.shown) << c.slot;
}
