#include <gtest/gtest.h>
#include "engine/DSI_Program.h"
#include "engine/VantorAudioProcessor.h"
#include "librarian/LibraryRecords.h"
#include "support/RecordingMidiDevices.h"
#include <functional>

namespace
{
constexpr size_t nameCodes = 20, layerBNames = 914;

// A record as the synthesizer sends it: 20 name codes in both layers' copies.
ByteArray fromSynthesizer (const char* name)
{
    ByteArray record ((size_t) ProgramRecord::size, 7);
    const juce::String padded = juce::String (name).paddedRight (' ', (int) nameCodes);
    for (size_t i = 0; i < nameCodes; ++i)
        record[(size_t) ProgramRecord::nameOffset + i] = record[layerBNames + i] = (juce::uint8) padded[(int) i];
    return record;
}

std::string codesAt (const ByteArray& record, size_t offset)
{
    return std::string (record.begin() + (std::ptrdiff_t) offset, record.begin() + (std::ptrdiff_t) (offset + nameCodes));
}
}

// Whatever sets a name (rename, WRITE, the library, a preset's name) writes all
// 20 codes of both copies: nothing of the old name is left behind for the synthesizer.
TEST (ProgramNames, ANameSetAnywhereReplacesAllTwentyCodesOfBothCopies)
{
    using Setter = std::function<ByteArray (const ByteArray& record, const juce::String& name)>;
    struct Case { const char* what; Setter set; };

    const Case cases[] =
    {
        { "program", [] (const ByteArray& r, const juce::String& n)
          {
              DSI_Program p;
              p.setParams (r);
              p.setName (n);
              return p.getParams();
          } },
        { "bank slot (rename, WRITE)", [] (const ByteArray& r, const juce::String& n)
          {
              Bank_Program bank ("Test");
              bank.initialise (false);
              bank.storeProgram (4, r);
              bank.renameProgram (4, n);
              return bank.programBytes (4);
          } },
        { "library", [] (const ByteArray& r, const juce::String& n)
          {
              ByteArray block (r);
              block.insert (block.end(), r.begin(), r.end());
              ProgramRecord::setName (block, 1, n);
              return ProgramRecord::get (block, 1);
          } },
        { "host preset name", [] (const ByteArray& r, const juce::String& n)
          {
              RecordingMidiDevices devices;
              VantorAudioProcessor processor (devices);
              processor.setCurrentProgram (2);
              juce::MemoryBlock chunk;
              VantorAudioProcessor::writeProgramChunk (r, chunk);
              processor.setCurrentProgramStateInformation (chunk.getData(), (int) chunk.getSize());
              processor.changeProgramName (2, n);
              EXPECT_EQ (processor.getEngine().editBuffer(), processor.getEngine().presetBank().programBytes (2));
              return processor.getEngine().presetBank().programBytes (2);
          } },
    };

    const auto received = fromSynthesizer ("Fat Brass Section XY");
    for (const auto& c : cases)
    {
        const auto renamed = c.set (received, "Pad");
        ASSERT_EQ (renamed.size(), (size_t) ProgramRecord::size) << c.what;
        EXPECT_EQ (codesAt (renamed, (size_t) ProgramRecord::nameOffset), "Pad                 ") << c.what;
        EXPECT_EQ (codesAt (renamed, layerBNames), "Pad                 ") << c.what;

        // The rest of the record is left as it was.
        auto rest = renamed;
        for (size_t i = 0; i < nameCodes; ++i)
            rest[(size_t) ProgramRecord::nameOffset + i] = rest[layerBNames + i] = received[(size_t) ProgramRecord::nameOffset + i];
        EXPECT_EQ (rest, received) << c.what;
    }
}
