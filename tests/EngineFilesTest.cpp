#include <gtest/gtest.h>
#include "engine/MidiCntrState.h"
#include "support/RecordingMidiDevices.h"
#include "support/ScopedHome.h"
#include <functional>

namespace
{
ByteArray fileBytes (const juce::File& f)
{
    juce::MemoryBlock block;
    f.loadFileAsData (block);
    auto* d = static_cast<const juce::uint8*> (block.getData());
    return ByteArray (d, d + block.getSize());
}

void writeBytes (const juce::File& f, const ByteArray& bytes)
{
    f.getParentDirectory().createDirectory();
    f.replaceWithData (bytes.data(), bytes.size());
}
}

TEST (EngineFiles, FreshStartAndCloseLeaveDefaultFilesThatTheNextStartReads)
{
    ScopedHome home;
    RecordingMidiDevices devices;
    const ByteArray marked ((size_t) ProgramRecord::size, 0x33);

    {
        MidiCntrState engine (devices);
        engine.putProgram (true, 1, 7, marked);
    }

    const auto settings = fileBytes (home.settings ("ph12plugstV2.dat"));
    auto defaults = ByteArray (400, 0);
    defaults[0] = defaults[1] = defaults[2] = 0xFF;
    defaults[3] = 100;
    defaults[6] = 1;
    EXPECT_EQ (settings, defaults);

    const std::string ports { 'N','O','N','E',0x0F,'N','O','N','E',0x10,'N','O','N','E',0x11,'0',0x12 };
    const auto portsFile = fileBytes (home.settings ("pro12plports.dat"));
    EXPECT_EQ (std::string (portsFile.begin(), portsFile.end()), ports);

    const auto library = fileBytes (home.settings ("Ph12_data.dat"));
    ASSERT_EQ (library.size(), 811034u);
    EXPECT_EQ (std::string (library.begin(), library.begin() + 13), "Proph12 Data>");
    EXPECT_EQ (std::string (library.end() - 13, library.end()), "<Proph12 Data");

    MidiCntrState reopened (devices);
    EXPECT_EQ (reopened.deviceBank (1).programBytes (7), marked);
    EXPECT_NE (reopened.deviceBank (1).programBytes (6), marked);
}

TEST (EngineFiles, ChannelIsRepairedAndReservedBytesAreKept)
{
    ScopedHome home;
    RecordingMidiDevices devices;

    for (int badChannel : { 0, 17 })
    {
        auto block = ByteArray (400, 0);
        block[6] = (juce::uint8) badChannel;
        block[7] = 1;
        block[200] = 0x5A;
        block[11] = 1;
        writeBytes (home.settings ("ph12plugstV2.dat"), block);

        {
            MidiCntrState engine (devices);
            EXPECT_EQ (engine.getMidiChannel(), 1);
            EXPECT_TRUE (engine.controlsProgramChange());
        }

        const auto written = fileBytes (home.settings ("ph12plugstV2.dat"));
        EXPECT_EQ (written[6], 1);
        EXPECT_EQ (written[7], 1);
        EXPECT_EQ (written[200], 0x5A);
    }

    // A short settings file gives the defaults.
    writeBytes (home.settings ("ph12plugstV2.dat"), ByteArray (399, 9));
    MidiCntrState engine (devices);
    EXPECT_EQ (engine.getSettingsBlock()[3], 100);
    EXPECT_EQ (engine.getMidiChannel(), 1);
}

TEST (EngineFiles, ShortOrCorruptFilesFallBackWithoutHarm)
{
    ScopedHome home;
    RecordingMidiDevices devices;

    writeBytes (home.settings ("Ph12_data.dat"), ByteArray (811020, 0x44));
    writeBytes (home.settings ("pro12plports.dat"), ByteArray { 'x' });
    writeBytes (home.settings ("pro12ltwh.dat"), ByteArray (27, 0xFF));

    MidiCntrState engine (devices);
    EXPECT_NE (engine.deviceBank (0).programBytes (0), ByteArray (1024, 0x44));
    EXPECT_EQ (engine.deviceBank (0).programBytes (0), engine.deviceBank (4).programBytes (0));
    EXPECT_EQ (engine.getPortNames(), juce::StringArray ({ "NONE", "NONE", "NONE", "0" }));
    EXPECT_EQ (fileBytes (home.settings ("pro12plports.dat")).size(), 17u);

    engine.loadWindowGeometry();
    EXPECT_EQ (engine.windowGeometry().zoom1, 1.0f);
    EXPECT_TRUE (engine.windowGeometry().editor.isEmpty());

    engine.windowGeometry().editor = { 10, 20, 900, 700 };
    engine.windowGeometry().zoom1 = 1.25f;
    engine.saveWindowGeometry();
    EXPECT_EQ (fileBytes (home.settings ("pro12ltwh.dat")).size(), 100u);
}

TEST (EngineFiles, StoredPortNamesOpenTheirDevices)
{
    ScopedHome home;
    RecordingMidiDevices devices ({ "In A", "Synth In" }, { "Synth Out", "Out B" });
    const std::string stored { 'S','y','n','t','h',' ','I','n',0x0F,'S','y','n','t','h',' ','O','u','t',0x10,'x',0x11,'9',0x12 };
    writeBytes (home.settings ("pro12plports.dat"), ByteArray (stored.begin(), stored.end()));

    MidiCntrState engine (devices);
    EXPECT_TRUE (engine.ports().isInputOpen());
    EXPECT_TRUE (engine.ports().isOutputOpen());
    EXPECT_EQ (engine.ports().getInputIndex(), 1);
    EXPECT_EQ (engine.ports().getOutputIndex(), 0);
    EXPECT_EQ (engine.ports().sysexChunkSize, 9);

    engine.selectInputPort (0);
    EXPECT_FALSE (engine.ports().isInputOpen());
    EXPECT_EQ (engine.getPortNames()[0], "NONE");
    engine.selectOutputPort (2);
    EXPECT_EQ (engine.getPortNames()[1], "Out B");
    engine.selectOutputPort (3);       // past the list: nothing changes
    EXPECT_EQ (engine.getPortNames()[1], "Out B");
    EXPECT_TRUE (engine.ports().isOutputOpen());

    engine.loadPorts (1);
    const auto written = fileBytes (home.settings ("pro12plports.dat"));
    EXPECT_EQ (std::string (written.begin(), written.end()),
               (std::string { 'N','O','N','E',0x0F,'O','u','t',' ','B',0x10,'x',0x11,'9',0x12 }));
}

TEST (EngineFiles, StartupPresetIsAppliedWhenItsTagMatches)
{
    ScopedHome home;
    RecordingMidiDevices devices;
    const auto preset = home.home().getChildFile (".config").getParentDirectory()
                            .getChildFile ("Library").getChildFile ("Prophet 12").getChildFile ("preset.prop12patch");

    ByteArray chunk;
    const std::string header = "Prophet12VantorSettingsVersionXYZ";
    chunk.insert (chunk.end(), header.begin(), header.end());
    chunk.resize (1057, 0x21);
    writeBytes (preset, chunk);

    {
        MidiCntrState engine (devices);
        EXPECT_EQ (engine.editBuffer(), ByteArray (1024, 0x21));
        EXPECT_EQ (engine.presetBank().programBytes (0), ByteArray (1024, 0x21));
        EXPECT_EQ (engine.getCurrentPreset(), 0);
    }

    chunk[0] = 'X';
    writeBytes (preset, chunk);
    MidiCntrState engine (devices);
    EXPECT_NE (engine.editBuffer(), ByteArray (1024, 0x21));
}

// Two instances of one project share the files: one that changed nothing must
// not put its stale copy over what the other stored, and a file is rewritten
// only when this instance's bytes differ from what it read or last wrote.
TEST (EngineFiles, AnInstanceWritesOnlyWhatItChanged)
{
    const ByteArray received ((size_t) ProgramRecord::size, 0x51);

    struct Case
    {
        const char* what;
        std::function<void (MidiCntrState&)> changeFirst, changeSecond;
        bool expectFirstsBank, expectFirstsChannel;
    };

    const Case cases[] =
    {
        { "the other changed nothing", [&] (MidiCntrState& e) { e.putProgram (true, 2, 5, received); e.setMidiChannel (9); },
          [] (MidiCntrState&) {}, true, true },
        { "the other changed the channel only", [&] (MidiCntrState& e) { e.putProgram (true, 2, 5, received); e.setMidiChannel (9); },
          [] (MidiCntrState& e) { e.setMidiChannel (4); }, true, false },
        { "the other received a bank only", [&] (MidiCntrState& e) { e.putProgram (true, 2, 5, received); e.setMidiChannel (9); },
          [] (MidiCntrState& e) { e.putProgram (true, 2, 5, ByteArray ((size_t) ProgramRecord::size, 0x22)); }, false, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        ScopedHome home;
        RecordingMidiDevices devices;

        auto first = std::make_unique<MidiCntrState> (devices);
        auto second = std::make_unique<MidiCntrState> (devices);
        c.changeFirst (*first);
        c.changeSecond (*second);
        first.reset();
        second.reset();

        MidiCntrState reopened (devices);
        EXPECT_EQ (reopened.deviceBank (2).programBytes (5) == received, c.expectFirstsBank);
        EXPECT_EQ (reopened.getMidiChannel() == 9, c.expectFirstsChannel);
    }
}

TEST (EngineFiles, UnchangedFilesAreLeftAloneButMissingOnesComeBack)
{
    enum Outside { marked, deleted };

    struct Case
    {
        const char* file;
        Outside outside;                                  // what happens to the file while the engine is open
        std::function<void (MidiCntrState&)> action;      // then this, then the engine closes
        bool engineWrites;
    };

    const auto saveGeometry = [] (MidiCntrState& e) { e.saveWindowGeometry(); };
    const Case cases[] =
    {
        { "Ph12_data.dat",    marked,  [] (MidiCntrState&) {}, false },
        { "Ph12_data.dat",    deleted, [] (MidiCntrState&) {}, true },
        { "Ph12_data.dat",    marked,  [] (MidiCntrState& e) { e.putProgram (true, 0, 0, ByteArray (1024, 3)); }, true },
        { "Ph12_data.dat",    marked,  [] (MidiCntrState& e) { e.putProgram (true, 0, 0, e.deviceBank (0).programBytes (0)); }, false },
        { "ph12plugstV2.dat", marked,  [] (MidiCntrState& e) { e.loadSettings (1); }, false },
        { "ph12plugstV2.dat", marked,  [] (MidiCntrState& e) { e.setMidiChannel (2); }, true },
        { "ph12plugstV2.dat", deleted, [] (MidiCntrState&) {}, true },
        { "pro12plports.dat", marked,  [] (MidiCntrState& e) { e.loadPorts (1); }, false },
        { "pro12ltwh.dat",    marked,  saveGeometry, false },
        { "pro12ltwh.dat",    marked,  [] (MidiCntrState& e) { e.windowGeometry().zoom1 = 1.5f; e.saveWindowGeometry(); }, true },
        { "pro12ltwh.dat",    deleted, saveGeometry, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.file) + (c.outside == marked ? " marked" : " deleted"));
        ScopedHome home;
        RecordingMidiDevices devices;
        const auto file = home.settings (c.file);
        {
            MidiCntrState engine (devices);
            engine.loadWindowGeometry();
            engine.saveWindowGeometry();
        }
        const auto before = fileBytes (file);
        ASSERT_GE (before.size(), 17u);

        auto mark = before;
        mark[before.size() / 2] ^= 0x40;
        {
            MidiCntrState engine (devices);
            engine.loadWindowGeometry();
            if (c.outside == marked)
                writeBytes (file, mark);
            else
                file.deleteFile();
            c.action (engine);
        }

        const auto after = fileBytes (file);
        if (c.engineWrites)
            EXPECT_TRUE (after.size() == before.size() && after != mark);
        else
            EXPECT_EQ (after, mark);
    }
}

TEST (EngineFiles, AFreshStartStoresTheSettingsBlockAsItIsKept)
{
    ScopedHome home;
    RecordingMidiDevices devices;
    MidiCntrState engine (devices);

    EXPECT_EQ (fileBytes (home.settings ("ph12plugstV2.dat")), engine.getSettingsBlock());
}

TEST (EngineFiles, DevicesAreListedOnlyForAStoredNameThatCanMatch)
{
    const std::string none { 'N','O','N','E',0x0F,'N','O','N','E',0x10,'N','O','N','E',0x11,'0',0x12 };
    const std::string named { 'I','n',' ','B',0x0F,'N','O','N','E',0x10,'N','O','N','E',0x11,'0',0x12 };

    for (const auto* stored : { &none, &named })
    {
        ScopedHome home;
        RecordingMidiDevices devices;
        writeBytes (home.settings ("pro12plports.dat"), ByteArray (stored->begin(), stored->end()));

        MidiCntrState engine (devices);
        EXPECT_EQ (devices.listings > 0, stored == &named);
        EXPECT_EQ (engine.ports().isInputOpen(), stored == &named);
    }
}

// The bank library is read from 811,021 bytes on (the close tag is not needed);
// shorter files give the factory banks (the fallback has its own test). A file
// that is not exactly the tagged 811,034 bytes is stored whole at close.
TEST (EngineFiles, BankLibraryIsReadFromItsMinimumSizeOn)
{
    const std::string openTag = "Proph12 Data>", closeTag = "<Proph12 Data";

    for (size_t size : { (size_t) 811021, (size_t) 811034, (size_t) 811034 + 5000 })
    {
        SCOPED_TRACE (size);
        ScopedHome home;
        RecordingMidiDevices devices;
        ByteArray library (size, 0);
        for (int bank = 0; bank < 8; ++bank)
            std::fill_n (library.begin() + 13 + bank * 101376, 101376, (juce::uint8) (0x20 + bank));
        writeBytes (home.settings ("Ph12_data.dat"), library);

        {
            MidiCntrState engine (devices);
            for (int bank = 0; bank < 8; ++bank)
            {
                EXPECT_EQ (engine.deviceBank (bank).programBytes (0), ByteArray (1024, (juce::uint8) (0x20 + bank)));
                EXPECT_EQ (engine.deviceBank (bank).programBytes (98), ByteArray (1024, (juce::uint8) (0x20 + bank)));
            }
        }

        const auto stored = fileBytes (home.settings ("Ph12_data.dat"));
        ASSERT_EQ (stored.size(), 811034u);
        EXPECT_EQ (std::string (stored.begin(), stored.begin() + 13), openTag);
        EXPECT_EQ (std::string (stored.end() - 13, stored.end()), closeTag);
        EXPECT_TRUE (std::equal (stored.begin() + 13, stored.end() - 13, library.begin() + 13));
    }
}
