#include <gtest/gtest.h>
#include "engine/MidiCntrState.h"
#include "engine/SettingsFiles.h"
#include "librarian/LibraryFile.h"
#include "support/EditorTestRig.h"
#include "support/RecordingMidiDevices.h"
#include "support/ScopedHome.h"
#include "support/ScopedUnreadable.h"
#include <cstring>
#include <functional>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace
{
ByteArray fileBytes (const juce::File& f)                        { return SettingsFiles::readWholeFile (f); }
void writeBytes (const juce::File& f, const ByteArray& bytes)    { ASSERT_TRUE (SettingsFiles::writeWholeFile (bytes, f)); }
ByteArray filledRecord (int value)                               { return ByteArray ((size_t) ProgramRecord::size, (juce::uint8) value); }

bool isLink (const juce::File& f)
{
    struct stat info;
    return lstat (f.getFullPathName().toRawUTF8(), &info) == 0 && S_ISLNK (info.st_mode);
}

ByteArray storedRecord (const ByteArray& library, int bank, int program)
{
    const auto at = (size_t) SettingsFiles::bankLibraryOffset (bank) + (size_t) program * (size_t) ProgramRecord::size;
    return library.size() >= at + (size_t) ProgramRecord::size ? ByteArray (library.begin() + (std::ptrdiff_t) at,
                                                                             library.begin() + (std::ptrdiff_t) (at + (size_t) ProgramRecord::size))
                                                               : ByteArray();
}

// A library of eight banks, each record filled with its bank's mark.
ByteArray wholeBankLibrary()
{
    ByteArray library ((size_t) SettingsFiles::bankLibraryFileSize);
    std::memcpy (library.data(), SettingsFiles::bankLibraryOpenTag, 13);
    for (int bank = 0; bank < 8; ++bank)
        std::fill_n (library.begin() + SettingsFiles::bankLibraryOffset (bank), ProgramRecord::bankSize, (juce::uint8) (0x20 + bank));
    std::memcpy (library.data() + SettingsFiles::bankLibraryFileSize - 13, SettingsFiles::bankLibraryCloseTag, 13);
    return library;
}
}

// Two instances each change one setting; whichever closes last, both changes are kept.
TEST (SharedFiles, EachInstanceStoresOnlyTheSettingsItChanged)
{
    for (const bool channelClosesFirst : { true, false })
    {
        SCOPED_TRACE (channelClosesFirst ? "channel first" : "automation first");
        ScopedHome home;
        RecordingMidiDevices devices;
        { MidiCntrState makesTheFile (devices); }

        auto channel = std::make_unique<MidiCntrState> (devices);
        auto automation = std::make_unique<MidiCntrState> (devices);
        channel->setMidiChannel (7);
        automation->setControlsProgramChange (true);

        if (channelClosesFirst) { channel.reset(); automation.reset(); }
        else                    { automation.reset(); channel.reset(); }

        MidiCntrState reopened (devices);
        EXPECT_EQ (reopened.getMidiChannel(), 7);
        EXPECT_TRUE (reopened.controlsProgramChange());
    }
}

// Neighbouring slots changed by two instances: each stores only its own slot.
TEST (SharedFiles, NeighbouringSlotsOfTwoInstancesAreBothKept)
{
    ScopedHome home;
    RecordingMidiDevices devices;
    { MidiCntrState makesTheFile (devices); }

    auto first = std::make_unique<MidiCntrState> (devices);
    auto second = std::make_unique<MidiCntrState> (devices);
    first->putProgram (true, 0, 3, filledRecord (0x31));
    second->putProgram (true, 0, 4, filledRecord (0x41));
    first.reset();
    second.reset();

    MidiCntrState reopened (devices);
    EXPECT_EQ (reopened.deviceBank (0).programBytes (3), filledRecord (0x31));
    EXPECT_EQ (reopened.deviceBank (0).programBytes (4), filledRecord (0x41));
}

// A damaged bank library found again later gets a copy of its own: the first copy stays.
TEST (SharedFiles, EachDamagedBankLibraryKeepsItsOwnNumberedCopy)
{
    ScopedHome home;
    RecordingMidiDevices devices;
    const auto file = home.settings ("Ph12_data.dat");
    const ByteArray firstDamage (40, 0x44), secondDamage (50, 0x45);

    writeBytes (file, firstDamage);
    { MidiCntrState engine (devices); }
    writeBytes (file, secondDamage);
    { MidiCntrState engine (devices); }

    EXPECT_EQ (fileBytes (file.getSiblingFile ("Ph12_data damaged.dat")), firstDamage);
    EXPECT_EQ (fileBytes (file.getSiblingFile ("Ph12_data damaged(2).dat")), secondDamage);
    EXPECT_EQ (fileBytes (file).size(), (size_t) SettingsFiles::bankLibraryFileSize);
}

// A bank library that is no regular file is neither read without end nor
// copied nor replaced: the start does not hang, the close writes nothing.
TEST (SharedFiles, BankLibraryThatIsNoRegularFileIsLeftAlone)
{
    enum Shape { deviceLink, fifo };

    for (const auto shape : { deviceLink, fifo })
    {
        SCOPED_TRACE (shape == deviceLink ? "link to a zero device" : "FIFO");
        ScopedHome home;
        RecordingMidiDevices devices;
        const auto file = home.settings ("Ph12_data.dat");
        file.getParentDirectory().createDirectory();

        if (shape == deviceLink)
        {
            // A device of our own like /dev/zero: a slip here must not replace the system's.
            const auto device = home.home().getChildFile ("zero");
            if (mknod (device.getFullPathName().toRawUTF8(), S_IFCHR | 0666, makedev (1, 5)) != 0)
                continue;   // needs root
            ASSERT_EQ (symlink (device.getFullPathName().toRawUTF8(), file.getFullPathName().toRawUTF8()), 0);
        }
        else
            ASSERT_EQ (mkfifo (file.getFullPathName().toRawUTF8(), 0644), 0);

        {
            MidiCntrState engine (devices);
            EXPECT_EQ (engine.deviceBank (0).programBytes (0), engine.deviceBank (4).programBytes (0));
            EXPECT_TRUE (engine.getFilesNotice().contains ("UNREADABLE")) << engine.getFilesNotice();
            engine.putProgram (true, 0, 0, filledRecord (0x55));
            EXPECT_EQ (engine.saveBankLibrary(), SettingsFiles::StoreResult::failed);
        }

        EXPECT_EQ (SettingsFiles::kindOf (file), SettingsFiles::Kind::other);
        EXPECT_EQ (isLink (file), shape == deviceLink);
        EXPECT_EQ (file.getParentDirectory().getNumberOfChildFiles (juce::File::findFiles, "Ph12_data*"), 1);   // no copy
    }
}

// The settings and ports files the same way: no hang, nothing written over them.
TEST (SharedFiles, SettingsFilesThatAreNoRegularFilesAreLeftAlone)
{
    for (const char* name : { "ph12plugstV2.dat", "pro12plports.dat" })
    {
        SCOPED_TRACE (name);
        ScopedHome home;
        RecordingMidiDevices devices;
        const auto file = home.settings (name);
        file.getParentDirectory().createDirectory();
        ASSERT_EQ (mkfifo (file.getFullPathName().toRawUTF8(), 0644), 0);

        {
            MidiCntrState engine (devices);
            engine.setMidiChannel (5);
            engine.loadPorts (1);
        }

        EXPECT_FALSE (SettingsFiles::writeWholeFile (ByteArray (3, 1), file));   // nor by a plain write
        EXPECT_EQ (SettingsFiles::kindOf (file), SettingsFiles::Kind::other);
    }
}

// A library reached through a link (into a synced folder, say): the target
// gets the changes and the link stays a link.
TEST (SharedFiles, LinkedLibrariesStayLinks)
{
    ScopedHome home;
    RecordingMidiDevices devices;
    const auto synced = home.home().getChildFile ("Synced");
    synced.createDirectory();

    const auto bankTarget = synced.getChildFile ("banks.dat");
    writeBytes (bankTarget, wholeBankLibrary());
    const auto bankLink = home.settings ("Ph12_data.dat");
    bankLink.getParentDirectory().createDirectory();
    ASSERT_TRUE (bankTarget.createSymbolicLink (bankLink, true));

    const auto libraryTarget = synced.getChildFile ("programs.p12l");
    ASSERT_TRUE (LibraryFile::write (filledRecord (0x61), libraryTarget));
    const auto libraryLink = home.settings ("p12Lib.p12l");
    ASSERT_TRUE (libraryTarget.createSymbolicLink (libraryLink, true));

    {
        MidiCntrState engine (devices);
        EXPECT_EQ (engine.deviceBank (3).programBytes (0), filledRecord (0x23));
        engine.putProgram (true, 1, 2, filledRecord (0x77));
    }

    LibraryFile::Origin origin;
    auto records = LibraryFile::load (libraryLink, origin).records;
    records.insert (records.end(), (size_t) ProgramRecord::size, 0x62);
    EXPECT_EQ (LibraryFile::store (records, origin), LibraryFile::StoreResult::written);

    EXPECT_TRUE (isLink (bankLink));
    EXPECT_EQ (storedRecord (fileBytes (bankTarget), 1, 2), filledRecord (0x77));
    EXPECT_TRUE (isLink (libraryLink));
    EXPECT_EQ (LibraryFile::read (libraryTarget).numRecords(), 2);
    EXPECT_EQ (synced.getNumberOfChildFiles (juce::File::findFiles), 2);   // no temporary left beside the targets
}

// A settings or ports file that cannot be read is never written over; a damaged
// one is kept beside itself before it is replaced. Unreadable: read permission
// taken away, the test reading and writing as another user (root reads anything).
TEST (SharedFiles, UnreadableSettingsAreKeptAndDamagedOnesCopiedFirst)
{
    struct Case { const char* name; ByteArray content; bool readable; const char* copy; };
    const Case cases[] =
    {
        { "ph12plugstV2.dat", ByteArray (400, 0x07), false, nullptr },
        { "pro12plports.dat", SettingsFiles::encodePortsFile ({ "In B", "NONE", "NONE", "0" }), false, nullptr },
        { "ph12plugstV2.dat", ByteArray (120, 0x07), true, "ph12plugstV2 damaged.dat" },
        { "pro12plports.dat", ByteArray (2000, 'n'), true, "pro12plports damaged.dat" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.name) + (c.readable ? " damaged" : " unreadable"));
        ScopedHome home;
        RecordingMidiDevices devices;
        const auto file = home.settings (c.name);
        writeBytes (file, c.content);

        {
            ScopedUnreadable unreadable (file, ! c.readable);
            MidiCntrState engine (devices);
            engine.loadSettings (1);
            engine.loadPorts (1);
        }

        if (c.copy == nullptr)
        {
            EXPECT_EQ (fileBytes (file), c.content);
            EXPECT_EQ (file.getParentDirectory().getNumberOfChildFiles (juce::File::findFiles, "*damaged*"), 0);
        }
        else
        {
            EXPECT_EQ (fileBytes (file.getSiblingFile (c.copy)), c.content);
            EXPECT_NE (fileBytes (file), c.content);
        }
    }
}

// What went wrong with the bank library at start is there for the status line.
TEST (SharedFiles, BankLibraryTroubleIsNamedForTheStatusLine)
{
    struct Case { const char* what; std::function<void (const ScopedHome&)> prepare; bool unreadable; const char* notice; };
    const Case cases[] =
    {
        { "sound", [] (const ScopedHome& h) { writeBytes (h.settings ("Ph12_data.dat"), wholeBankLibrary()); }, false, "" },
        { "missing", [] (const ScopedHome&) {}, false, "" },
        { "damaged", [] (const ScopedHome& h) { writeBytes (h.settings ("Ph12_data.dat"), ByteArray (99, 1)); }, false,
          "BANK FILE DAMAGED: COPY KEPT AS Ph12_data damaged.dat" },
        { "unreadable", [] (const ScopedHome& h) { writeBytes (h.settings ("Ph12_data.dat"), wholeBankLibrary()); }, true,
          "BANKS NOT READ: Ph12_data.dat UNREADABLE" },
        { "folder not writable", [] (const ScopedHome& h) { h.settings ("x").getParentDirectory().replaceWithText ("a file"); }, false,
          "SETTINGS FOLDER NOT WRITABLE: BANK CHANGES WILL NOT BE KEPT" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        ScopedHome home;
        RecordingMidiDevices devices;
        c.prepare (home);
        ScopedUnreadable unreadable (home.settings ("Ph12_data.dat"), c.unreadable);
        MidiCntrState engine (devices);
        EXPECT_EQ (engine.getFilesNotice(), c.notice);
    }
}

// The status line says it when the editor opens, and the opening's own globals
// request and its answer do not hide it.
TEST (SharedFilesThreads, BankLibraryTroubleIsOnTheStatusLineWhenTheEditorOpens)
{
    ScopedHome home;
    writeBytes (home.settings ("Ph12_data.dat"), ByteArray (99, 1));
    EditorTestRig rig;
    auto& main = rig.open();

    ASSERT_TRUE (rig.settle());
    EXPECT_TRUE (rig.synth.numReceived() > 0);   // the request went out and was answered
    EXPECT_EQ (main.getKeyboardPanel().getStatusText(), "BANK FILE DAMAGED: COPY KEPT AS Ph12_data damaged.dat");
}

// A save killed half-way leaves its temporary file beside the file chosen; the
// next save to that file removes those of processes that are gone, nothing else.
TEST (SharedFiles, SavingAChosenFileRemovesItsKilledSavesLeftovers)
{
    ScopedHome home;
    const auto folder = home.home().getChildFile ("Presets");
    folder.createDirectory();
    const auto target = folder.getChildFile ("Strings.fxb");

    const auto ownName = SettingsFiles::temporaryFileFor (target).getFileName();
    const auto own = juce::String (getpid());
    const auto asProcess = [&] (const char* name, const juce::String& pid)
    {
        return ownName.replace ("Strings.fxb", name).replace (".tmp-" + own + "-", ".tmp-" + pid + "-");
    };

    struct Case { juce::String name; bool removed; };
    const Case cases[] =
    {
        { asProcess ("Strings.fxb", "999999999"), true },
        { asProcess ("Strings.fxb", "999999998"), true },
        { asProcess ("Strings.fxb", "1"), false },         // a save under way elsewhere
        { asProcess ("Strings.fxb", own), false },
        { asProcess ("Brass.fxb", "999999999"), false },   // another target
        { asProcess ("Strings.fxp", "999999999"), false },
        { "Strings.fxb.bak", false },
        { "Strings_temp3fa81c0d.fxb", false },             // a musician's own name
    };

    for (const auto& c : cases)
        folder.getChildFile (c.name).replaceWithText ("partial");

    EXPECT_TRUE (MidiCntrState::writeWholeFile (ByteArray (300, 1), target));

    for (const auto& c : cases)
        EXPECT_EQ (folder.getChildFile (c.name).exists(), ! c.removed) << c.name;
    EXPECT_EQ (fileBytes (target), ByteArray (300, 1));
}

// A store never waits for ever: while another holds the folder, it gives up
// after the lock's time and leaves the file as it was.
TEST (SharedFiles, AStoreThatCannotHaveTheLockSaysSoAndWritesNothing)
{
    ScopedHome home;
    RecordingMidiDevices devices;
    const auto bankFile = home.settings ("Ph12_data.dat");
    const auto libraryFile = home.settings ("p12Lib.p12l");
    ASSERT_TRUE (LibraryFile::write (filledRecord (0x61), libraryFile));

    MidiCntrState engine (devices);
    engine.putProgram (true, 0, 0, filledRecord (0x55));
    engine.setMidiChannel (9);
    LibraryFile::Origin origin;
    LibraryFile::load (libraryFile, origin);

    const auto before = fileBytes (bankFile);
    const auto settingsBefore = fileBytes (home.settings ("ph12plugstV2.dat"));
    const int previous = SettingsFiles::FolderLock::setTimeoutMs (50);
    {
        const SettingsFiles::FolderLock other (bankFile);
        ASSERT_TRUE (other.isHeld());
        EXPECT_EQ (engine.saveBankLibrary(), SettingsFiles::StoreResult::busy);
        EXPECT_EQ (engine.storeSettings(), SettingsFiles::StoreResult::busy);
        EXPECT_EQ (LibraryFile::store (filledRecord (0x62), origin), LibraryFile::StoreResult::busy);
    }
    SettingsFiles::FolderLock::setTimeoutMs (previous);

    EXPECT_EQ (fileBytes (bankFile), before);
    EXPECT_EQ (fileBytes (home.settings ("ph12plugstV2.dat")), settingsBefore);
    EXPECT_EQ (LibraryFile::read (libraryFile).records, filledRecord (0x61));

    // Once the lock is free the same stores go through.
    EXPECT_EQ (engine.saveBankLibrary(), SettingsFiles::StoreResult::written);
    EXPECT_EQ (LibraryFile::store (filledRecord (0x62), origin), LibraryFile::StoreResult::written);
}

// A library that added a program and stored it, was changed by another
// instance, then deleted that program and stored again: the program stays deleted.
TEST (SharedFiles, AProgramAddedStoredThenDeletedStaysDeleted)
{
    ScopedHome home;
    const auto file = home.settings ("p12Lib.p12l");
    const auto a = filledRecord (0x0A), added = filledRecord (0x0B), theirs = filledRecord (0x0C);
    ASSERT_TRUE (LibraryFile::write (a, file));

    LibraryFile::Origin ours, other;
    LibraryFile::load (file, ours);
    LibraryFile::load (file, other);

    ByteArray withAdded = a;
    withAdded.insert (withAdded.end(), added.begin(), added.end());
    ASSERT_EQ (LibraryFile::store (withAdded, ours), LibraryFile::StoreResult::written);

    ByteArray theirRecords = a;
    theirRecords.insert (theirRecords.end(), theirs.begin(), theirs.end());
    ASSERT_EQ (LibraryFile::store (theirRecords, other), LibraryFile::StoreResult::merged);

    ASSERT_EQ (LibraryFile::store (a, ours), LibraryFile::StoreResult::merged);

    ByteArray expected = a;
    expected.insert (expected.end(), theirs.begin(), theirs.end());
    EXPECT_EQ (LibraryFile::read (file).records, expected);
}

// Port names beyond Latin-1 are stored so that the next start opens their devices.
TEST (SharedFiles, PortsNamedBeyondLatin1AreOpenedAgainAtTheNextStart)
{
    ScopedHome home;
    const auto input = juce::String (juce::CharPointer_UTF8 ("\xd0\x9f\xd0\xbe\xd1\x80\xd1\x82 1"));
    const auto output = juce::String (juce::CharPointer_UTF8 ("Joe\xe2\x80\x99s Synth"));
    RecordingMidiDevices devices ({ "In A", input }, { output });

    {
        MidiCntrState engine (devices);
        engine.selectInputPort (2);
        engine.selectOutputPort (1);
        engine.loadPorts (1);
    }

    MidiCntrState reopened (devices);
    EXPECT_TRUE (reopened.ports().isInputOpen());
    EXPECT_EQ (reopened.ports().getInputIndex(), 1);
    EXPECT_TRUE (reopened.ports().isOutputOpen());
    EXPECT_EQ (reopened.getPortNames()[1], output);
}

// A folder that can be written but not listed gives no lock: the stores go
// ahead as before locks existed, and nothing is called busy.
TEST (SharedFiles, AFolderThatGivesNoLockIsStoredWithoutOne)
{
    ScopedHome home;
    RecordingMidiDevices devices;
    const auto folder = home.settings ("x").getParentDirectory();
    const auto libraryFile = home.settings ("p12Lib.p12l");
    { MidiCntrState makesTheFiles (devices); }
    ASSERT_TRUE (LibraryFile::write (filledRecord (0x61), libraryFile));

    {
        // Root lists anything: it writes as nobody meanwhile.
        chmod (home.home().getFullPathName().toRawUTF8(), 0755);
        chmod (folder.getFullPathName().toRawUTF8(), geteuid() == 0 ? 0733 : 0300);
        if (geteuid() == 0)
            setfsuid (65534);

        MidiCntrState engine (devices);
        engine.setMidiChannel (5);
        engine.putProgram (true, 0, 3, filledRecord (0x31));
        EXPECT_EQ (engine.storeSettings(), SettingsFiles::StoreResult::written);

        LibraryFile::Origin origin;
        auto records = LibraryFile::load (libraryFile, origin).records;
        records.insert (records.end(), (size_t) ProgramRecord::size, 0x62);
        EXPECT_EQ (LibraryFile::store (records, origin), LibraryFile::StoreResult::written);
    }
    if (geteuid() == 0)
        setfsuid (0);
    chmod (folder.getFullPathName().toRawUTF8(), 0755);

    MidiCntrState reopened (devices);
    EXPECT_EQ (reopened.getMidiChannel(), 5);
    EXPECT_EQ (reopened.deviceBank (0).programBytes (3), filledRecord (0x31));
    EXPECT_EQ (LibraryFile::read (libraryFile).numRecords(), 2);
}
