#include <gtest/gtest.h>
#include "engine/Bank_Program.h"
#include "engine/DSI_Program.h"
#include "engine/VantorAudioProcessor.h"
#include "librarian/Plugin_Bank.h"
#include "support/ComponentTestSupport.h"
#include "support/RecordingMidiDevices.h"
#include "support/TestFolder.h"

// A preset bank file loaded on the preset bank page, with or without the
// edited program after the 99 slots: the edit buffer follows the file, and the
// next host save holds the loaded preset, not the edits made before.
TEST (PresetBankTail, ALoadedBankFileDecidesTheEditBufferAndTheNextHostSave)
{
    constexpr int header = VantorAudioProcessor::bankChunkMinimum - 99 * ProgramRecord::size;
    constexpr int current = 7;

    Bank_Program source ("file");
    source.loadFactoryBank (2);
    DSI_Program tail;
    tail.setParams (source.programBytes (40));
    tail.setName ("Edited Tail");

    const struct { const char* what; int size; bool tailCounts; } cases[] =
    {
        { "slots only",          VantorAudioProcessor::bankChunkMinimum,          false },
        { "part of a tail",      VantorAudioProcessor::bankChunkMinimum + 500,    false },
        { "tail without index",  VantorAudioProcessor::bankChunkSize - 1,         false },
        { "whole",               VantorAudioProcessor::bankChunkSize,             true },
    };

    const TestFolder folder ("preset-bank-tail");

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        RecordingMidiDevices devices;
        VantorAudioProcessor processor { devices };
        auto& e = processor.getEngine();
        ui::MenuRecorder seams;
        Plugin_Bank page (processor);

        // The file: this instance's own header, the source bank's records, the tail.
        juce::MemoryBlock state;
        processor.getStateInformation (state);
        juce::MemoryBlock file (state.getData(), (size_t) header);
        for (int p = 0; p < 99; ++p)
            file.append (source.programBytes (p).data(), (size_t) ProgramRecord::size);
        file.append (tail.getParams().data(), (size_t) ProgramRecord::size);
        const juce::uint8 index = (juce::uint8) current;
        file.append (&index, 1);
        file.setSize ((size_t) c.size);
        const auto path = folder.file().getChildFile (juce::String ("bank") + juce::String (c.size) + ".fxb");
        ASSERT_TRUE (path.replaceWithData (file.getData(), file.getSize()));

        // The current slot carries edits that the file must replace.
        processor.setCurrentProgram (current);
        e.setValue (8, 77);
        e.setValue (600, 3);

        page.applyLoadChoice (Plugin_Bank::bankFileItem);
        seams.chooseFile (path);

        const auto expected = c.tailCounts ? tail.getParams() : source.programBytes (current);
        EXPECT_EQ (e.editBuffer(), expected);
        EXPECT_EQ (e.getCurrentPreset(), current);
        for (int p : { 0, current - 1, current + 1, 98 })
            EXPECT_EQ (processor.getProgramName (p), source.programName (p)) << p;

        juce::MemoryBlock saved;
        processor.getStateInformation (saved);
        ASSERT_EQ ((int) saved.getSize(), VantorAudioProcessor::bankChunkSize);
        const auto* bytes = static_cast<const juce::uint8*> (saved.getData());
        EXPECT_EQ (ByteArray (bytes + VantorAudioProcessor::bankChunkMinimum,
                              bytes + VantorAudioProcessor::bankChunkMinimum + ProgramRecord::size), expected);
        EXPECT_EQ (bytes[VantorAudioProcessor::bankChunkSize - 1], current);

        // A fresh instance given that save shows the loaded preset.
        RecordingMidiDevices otherDevices;
        VantorAudioProcessor other { otherDevices };
        other.setStateInformation (saved.getData(), (int) saved.getSize());
        EXPECT_EQ (other.getEngine().editBuffer(), expected);
    }
}
