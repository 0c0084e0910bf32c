#include <gtest/gtest.h>
#include "engine/MidiCntrState.h"
#include "engine/SettingsFiles.h"
#include "engine/VantorAudioProcessor.h"
#include "support/RecordingMidiDevices.h"
#include "support/ScopedHome.h"
#include "support/ScopedUnreadable.h"
#include <functional>
#include <unistd.h>

namespace
{
ByteArray fileBytes (const juce::File& f)                        { return SettingsFiles::readWholeFile (f); }
void writeBytes (const juce::File& f, const ByteArray& bytes)    { SettingsFiles::writeWholeFile (bytes, f); }
}

TEST (EngineFiles, FreshStartAndCloseLeaveDefaultFilesThatTheNextStartReads)
{
    ScopedHome home;
    RecordingMidiDevices devices;
    const ByteArray marked ((size_t) ProgramRecord::size, 0x33);

    {
        MidiCntrState engine (devices);
        EXPECT_EQ (fileBytes (home.settings ("ph12plugstV2.dat")), engine.getSettingsBlock());   // stored as it is kept
        engine.putProgram (true, 1, 7, marked);
    }

    auto defaults = ByteArray (400, 0);
    defaults[0] = defaults[1] = defaults[2] = 0xFF;
    defaults[3] = 100;
    defaults[6] = 1;
    EXPECT_EQ (fileBytes (home.settings ("ph12plugstV2.dat")), defaults);
    EXPECT_EQ (fileBytes (home.settings ("pro12plports.dat")),
               (ByteArray { 'N','O','N','E',0x0F,'N','O','N','E',0x10,'N','O','N','E',0x11,'0',0x12 }));

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

    for (int storedChannel : { 0, 17, 16 })
    {
        auto block = ByteArray (420, 0);      // a longer file gives its first 400 bytes
        block[6] = (juce::uint8) storedChannel;
        block[7] = block[11] = 1;
        block[200] = 0x5A;
        writeBytes (home.settings ("ph12plugstV2.dat"), block);
        const int channel = storedChannel == 16 ? 16 : 1;

        {
            MidiCntrState engine (devices);
            EXPECT_EQ (engine.getMidiChannel(), channel);
            EXPECT_TRUE (engine.controlsProgramChange());
        }

        const auto written = fileBytes (home.settings ("ph12plugstV2.dat"));
        EXPECT_EQ (ByteArray ({ written[6], written[7], written[11], written[200] }), ByteArray ({ (juce::uint8) channel, 1, 1, 0x5A }));
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
}

TEST (EngineFiles, StoredPortNamesOpenTheirDevices)
{
    ScopedHome home;
    RecordingMidiDevices devices ({ "In A", "Synth In" }, { "Synth Out", "Out B" });
    const std::string stored { 'S','y','n','t','h',' ','I','n',0x0F,'S','y','n','t','h',' ','O','u','t',0x10,'x',0x11,'9',0x12 };
    writeBytes (home.settings ("pro12plports.dat"), ByteArray (stored.begin(), stored.end()));

    MidiCntrState engine (devices);
    EXPECT_TRUE (engine.ports().isInputOpen() && engine.ports().isOutputOpen());
    EXPECT_EQ (std::make_tuple (engine.ports().getInputIndex(), engine.ports().getOutputIndex(), engine.ports().sysexChunkSize), std::make_tuple (1, 0, 9));

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
    const auto preset = home.home().getChildFile ("Library/Prophet 12/preset.prop12patch");

    const std::string header = "Prophet12VantorSettingsVersionXYZ";
    ByteArray chunk (header.begin(), header.end());
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

    // The first instance receives a program and sets channel 9; the second closes after it.
    struct Case { const char* what; std::function<void (MidiCntrState&)> changeSecond; bool expectFirstsBank, expectFirstsChannel; };

    const Case cases[] =
    {
        { "the other changed nothing",          [] (MidiCntrState&) {}, true, true },
        { "the other changed the channel only", [] (MidiCntrState& e) { e.setMidiChannel (4); }, true, false },
        { "the other received a bank only",
          [] (MidiCntrState& e) { e.putProgram (true, 2, 5, ByteArray ((size_t) ProgramRecord::size, 0x22)); }, false, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        ScopedHome home;
        RecordingMidiDevices devices;

        auto first = std::make_unique<MidiCntrState> (devices);
        auto second = std::make_unique<MidiCntrState> (devices);
        first->putProgram (true, 2, 5, received);
        first->setMidiChannel (9);
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
    // The file is marked or deleted while the engine is open, then the action runs and the engine closes.
    enum Outside { marked, deleted };
    struct Case { const char* file; Outside outside; std::function<void (MidiCntrState&)> action; bool engineWrites; };

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

TEST (EngineFiles, DevicesAreListedOnlyForAStoredNameThatCanMatch)
{
    for (const juce::String input : { "NONE", "In B" })
    {
        ScopedHome home;
        RecordingMidiDevices devices;
        writeBytes (home.settings ("pro12plports.dat"), SettingsFiles::encodePortsFile ({ input, "NONE", "NONE", "0" }));

        MidiCntrState engine (devices);
        EXPECT_EQ (devices.listings > 0, input != "NONE") << input;
        EXPECT_EQ (engine.ports().isInputOpen(), input != "NONE") << input;
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
                for (int p : { 0, 98 })
                    EXPECT_EQ (engine.deviceBank (bank).programBytes (p), ByteArray (1024, (juce::uint8) (0x20 + bank))) << bank;
        }

        const auto stored = fileBytes (home.settings ("Ph12_data.dat"));
        ASSERT_EQ (stored.size(), 811034u);
        EXPECT_EQ (std::string (stored.begin(), stored.begin() + 13), openTag);
        EXPECT_EQ (std::string (stored.end() - 13, stored.end()), closeTag);
        EXPECT_TRUE (std::equal (stored.begin() + 13, stored.end() - 13, library.begin() + 13));
    }
}

//==============================================================================
namespace
{
ByteArray filledRecord (int value)     { return ByteArray ((size_t) ProgramRecord::size, (juce::uint8) value); }
}

// Two plug-in instances of one project change device banks; whichever closes
// last, each keeps its own slots, and a slot both changed holds the last one's.
TEST (EngineFiles, TwoInstancesKeepEachOthersBankChangesInEitherClosingOrder)
{
    for (const bool firstClosesFirst : { true, false })
    {
        SCOPED_TRACE (firstClosesFirst ? "first closes first" : "second closes first");
        ScopedHome home;
        RecordingMidiDevices devices;
        { VantorAudioProcessor makesTheFile (devices); makesTheFile.getEngine().putProgram (true, 5, 9, filledRecord (0x19)); }

        auto first = std::make_unique<VantorAudioProcessor> (devices);
        auto second = std::make_unique<VantorAudioProcessor> (devices);
        first->getEngine().putProgram (true, 0, 3, filledRecord (0x11));
        first->getEngine().putProgram (true, 2, 5, filledRecord (0x12));
        second->getEngine().putProgram (true, 1, 7, filledRecord (0x21));
        second->getEngine().putProgram (true, 2, 5, filledRecord (0x22));

        if (firstClosesFirst) { first.reset(); second.reset(); }
        else                  { second.reset(); first.reset(); }

        MidiCntrState reopened (devices);
        EXPECT_EQ (reopened.deviceBank (0).programBytes (3), filledRecord (0x11));
        EXPECT_EQ (reopened.deviceBank (1).programBytes (7), filledRecord (0x21));
        EXPECT_EQ (reopened.deviceBank (2).programBytes (5), filledRecord (firstClosesFirst ? 0x22 : 0x12));
        EXPECT_EQ (reopened.deviceBank (5).programBytes (9), filledRecord (0x19));   // stored before either started
        EXPECT_EQ (reopened.deviceBank (0).programBytes (4), reopened.deviceBank (4).programBytes (4));   // untouched: factory
    }
}

// A library the plug-in cannot read is never simply replaced: a short one is kept
// beside itself first, one that cannot be opened is not written at all.
TEST (EngineFiles, BankLibraryThatCannotBeReadIsKeptBeforeItIsReplaced)
{
    struct Case { const char* what; size_t size; bool readable; bool replaced; };
    const Case cases[] =
    {
        { "shorter than the minimum", 811020, true,  true },
        { "only a few bytes",         40,     true,  true },
        { "no read permission",       811034, false, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        ScopedHome home;
        RecordingMidiDevices devices;
        const auto file = home.settings ("Ph12_data.dat");
        const ByteArray original (c.size, 0x44);
        writeBytes (file, original);

        {
            // Root reads anything: it reads as another user for the unreadable case.
            ScopedUnreadable unreadable (file, ! c.readable);
            MidiCntrState engine (devices);
            engine.putProgram (true, 0, 0, filledRecord (0x55));
        }

        const auto kept = file.getSiblingFile ("Ph12_data damaged.dat");
        if (c.replaced)
        {
            EXPECT_EQ (fileBytes (kept), original);
            const auto stored = fileBytes (file);
            ASSERT_EQ (stored.size(), 811034u);
            EXPECT_TRUE (std::equal (stored.begin() + 13, stored.begin() + 13 + 1024, filledRecord (0x55).begin()));
        }
        else
        {
            EXPECT_FALSE (kept.exists());
            EXPECT_EQ (fileBytes (file), original);
        }
    }
}

// A write killed half-way leaves its temporary file; the next start removes
// those our writer names and nothing else.
TEST (EngineFiles, LeftoversOfKilledWritesAreRemovedAtStart)
{
    ScopedHome home;
    RecordingMidiDevices devices;
    const auto folder = home.settings ("Ph12_data.dat").getParentDirectory();
    folder.createDirectory();

    // As our writer names them, for a process that is gone, one alive, and this one.
    const auto ownName = SettingsFiles::temporaryFileFor (folder.getChildFile ("Ph12_data.dat")).getFileName();
    const auto own = juce::String (getpid());
    const auto asProcess = [&] (const char* target, const juce::String& pid)
    {
        return ownName.replace ("Ph12_data.dat", target).replace (".tmp-" + own + "-", ".tmp-" + pid + "-");
    };

    const auto hourAgo = juce::Time::getCurrentTime() - juce::RelativeTime::hours (1);
    struct Case { juce::String name; bool old; bool removed; };
    const Case cases[] =
    {
        { asProcess ("Ph12_data.dat", "999999999"),     false, true },
        { asProcess ("pro12plports.dat", "999999999"),  false, true },
        { asProcess ("p12Lib.p12l", "999999999"),       false, true },
        { asProcess ("Ph12_data.dat", "1"),             true,  false },   // a write under way elsewhere
        { asProcess ("Ph12_data.dat", own),             true,  false },
        { asProcess ("notes.txt", "999999999"),         true,  false },
        { "Ph12_data_temp3fa81c0d.dat",                 true,  true },    // the earlier naming
        { "ph12plugstV2_temp7.dat",                     true,  true },
        { "Ph12_data_temp3fa81c0e.dat",                 false, false },   // could still be written
        { "Ph12_data_tempzz.dat",                       true,  false },
        { "notes_temp12.txt",                           true,  false },
        { "Ph12_data.dat.bak",                          true,  false },
    };

    for (const auto& c : cases)
    {
        const auto f = folder.getChildFile (c.name);
        f.replaceWithText ("partial");
        if (c.old)
            f.setLastModificationTime (hourAgo);
    }

    MidiCntrState engine (devices);

    for (const auto& c : cases)
        EXPECT_EQ (folder.getChildFile (c.name).exists(), ! c.removed) << c.name;
}

// A ports file longer than its names can be is damaged: both ports none, and the
// file is stored again as it is kept.
TEST (EngineFiles, PortsFileLongerThanItsNamesCanBeIsDamaged)
{
    const auto portsFile = [] (const std::string& input)
    {
        const std::string tail { 0x0F,'S','y','n','t','h',' ','O','u','t',0x10,'x',0x11,'9',0x12 };
        const auto text = input + tail;
        return ByteArray (text.begin(), text.end());
    };

    juce::Random random (24);
    ByteArray noise (1 << 20);
    for (auto& b : noise)
        b = (juce::uint8) random.nextInt (256);

    struct Case { const char* what; ByteArray bytes; bool damaged; };
    const Case cases[] =
    {
        { "names of the longest kind",  portsFile (std::string (512, 'a')), false },
        { "a name longer than any",     portsFile (std::string (1600, 'a')), true },
        { "a megabyte of noise",        noise, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        ScopedHome home;
        RecordingMidiDevices devices ({ "In A" }, { "Synth Out" });
        writeBytes (home.settings ("pro12plports.dat"), c.bytes);

        MidiCntrState engine (devices);
        EXPECT_EQ (engine.getPortNames()[1] == "NONE", c.damaged);
        EXPECT_EQ (engine.ports().isOutputOpen(), ! c.damaged);
        if (c.damaged)
        {
            EXPECT_EQ (fileBytes (home.settings ("pro12plports.dat")).size(), 17u);
        }
    }
}
