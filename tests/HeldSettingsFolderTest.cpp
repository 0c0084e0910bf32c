#include <gtest/gtest.h>
#include "engine/MidiCntrState.h"
#include "engine/SettingsFiles.h"
#include "librarian/LibraryFile.h"
#include "support/RecordingMidiDevices.h"
#include "support/ScopedHome.h"
#include <fcntl.h>
#include <functional>
#include <iostream>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
ByteArray filledRecord (int value)   { return ByteArray ((size_t) ProgramRecord::size, (juce::uint8) value); }

// Another process that takes the settings folder's lock and then stops (as one
// stopped mid-save, or held in a debugger) until it is killed.
class StoppedHolder
{
public:
    explicit StoppedHolder (const juce::File& folder)
    {
        folder.createDirectory();
        const auto path = folder.getFullPathName().toStdString();
        int ready[2];
        if (pipe (ready) != 0)
            return;

        pid = fork();
        if (pid == 0)
        {
            // Only calls that are safe after a fork of a process with threads.
            const int handle = open (path.c_str(), O_RDONLY | O_DIRECTORY);
            const char answer = handle >= 0 && flock (handle, LOCK_EX) == 0 ? 'y' : 'n';
            if (write (ready[1], &answer, 1) != 1)
                _exit (1);
            raise (SIGSTOP);
            _exit (0);
        }

        close (ready[1]);
        char answer = 'n';
        if (pid > 0 && read (ready[0], &answer, 1) == 1 && answer == 'y')
        {
            int status = 0;
            held = waitpid (pid, &status, WUNTRACED) == pid && WIFSTOPPED (status);
        }
        close (ready[0]);
    }

    ~StoppedHolder()   { end(); }

    void end()
    {
        if (pid <= 0)
            return;
        kill (pid, SIGKILL);
        waitpid (pid, nullptr, 0);
        pid = -1;
    }

    bool isHolding() const noexcept   { return held && pid > 0; }

private:
    pid_t pid = -1;
    bool held = false;
};

struct ScopedLockTimeout
{
    explicit ScopedLockTimeout (int ms) : previous (SettingsFiles::FolderLock::setTimeoutMs (ms)) {}
    ~ScopedLockTimeout()   { SettingsFiles::FolderLock::setTimeoutMs (previous); }
    void set (int ms)      { SettingsFiles::FolderLock::setTimeoutMs (ms); }
    int previous;
};

// Longer than the suite's own limit: a store that waits for the holder hangs the test.
constexpr int forEver = 30 * 60 * 1000;

int unstoredFiles (const ScopedHome& home)
{
    return home.settings ("x").getParentDirectory().getNumberOfChildFiles (juce::File::findFiles, "*.unstored-*");
}
}

// Whatever holds the folder, an instance with nothing to store, and a first
// start, go by without waiting for it.
TEST (HeldSettingsFolder, NothingToStoreAndAFirstStartNeverWait)
{
    for (const bool firstStart : { false, true })
    {
        SCOPED_TRACE (firstStart ? "first start" : "nothing changed");
        ScopedHome home;
        RecordingMidiDevices devices;
        if (! firstStart)
            { MidiCntrState makesTheFiles (devices); }

        StoppedHolder holder (home.settings ("x").getParentDirectory());
        ASSERT_TRUE (holder.isHolding());
        ScopedLockTimeout timeout (forEver);

        {
            MidiCntrState engine (devices);
            EXPECT_EQ (engine.storeSettings(), firstStart ? SettingsFiles::StoreResult::busy : SettingsFiles::StoreResult::unchanged);
            EXPECT_EQ (engine.saveBankLibrary(), firstStart ? SettingsFiles::StoreResult::busy : SettingsFiles::StoreResult::unchanged);
        }
        EXPECT_EQ (unstoredFiles (home), 0);   // nothing of theirs was lost
    }
}

// A stopped holder costs one close one wait: settings, banks and library
// changes are kept beside the files, taken by the next start (in memory while
// the holder stays, so the channel is right), and stored once it is gone.
TEST (HeldSettingsFolder, WhatAHeldFolderKeptFromACloseTheNextStartsStore)
{
    ScopedHome home;
    RecordingMidiDevices devices;
    const auto libraryFile = home.settings ("p12Lib.p12l");
    { MidiCntrState makesTheFiles (devices); }
    ASSERT_TRUE (LibraryFile::write (filledRecord (0x61), libraryFile));

    StoppedHolder holder (libraryFile.getParentDirectory());
    ASSERT_TRUE (holder.isHolding());
    ScopedLockTimeout timeout (50);

    // The library page closes first, as the editor goes before its plug-in.
    LibraryFile::Origin origin;
    auto records = LibraryFile::load (libraryFile, origin).records;
    const auto added = filledRecord (0x62);
    records.insert (records.end(), added.begin(), added.end());
    ASSERT_EQ (LibraryFile::store (records, origin), LibraryFile::StoreResult::busy);
    EXPECT_TRUE (LibraryFile::keepUnstored (records, origin));

    // That wait ran out: nothing later in this process waits for the holder again.
    timeout.set (forEver);
    {
        MidiCntrState engine (devices);
        engine.setMidiChannel (5);
        engine.putProgram (true, 0, 3, filledRecord (0x31));
    }
    EXPECT_EQ (unstoredFiles (home), 3);

    {
        MidiCntrState held (devices);
        EXPECT_EQ (held.getMidiChannel(), 5);
        EXPECT_EQ (held.deviceBank (0).programBytes (3), filledRecord (0x31));
        EXPECT_TRUE (held.getFilesNotice().contains ("NOT STORED YET")) << held.getFilesNotice();
    }
    EXPECT_EQ (unstoredFiles (home), 3);   // kept anew, not piled up

    holder.end();
    timeout.set (timeout.previous);
    {
        MidiCntrState freed (devices);
        EXPECT_EQ (freed.getMidiChannel(), 5);
        EXPECT_EQ (freed.getFilesNotice(), "");
    }
    MidiCntrState later (devices);
    EXPECT_EQ (later.getMidiChannel(), 5);
    EXPECT_EQ (later.deviceBank (0).programBytes (3), filledRecord (0x31));
    EXPECT_EQ (SettingsFiles::readWholeFile (home.settings ("ph12plugstV2.dat"))[6], 5);

    LibraryFile::Origin next;
    auto loaded = LibraryFile::load (libraryFile, next).records;
    EXPECT_EQ (LibraryFile::takeUnstored (loaded, next), 1);
    EXPECT_EQ (LibraryFile::store (loaded, next), LibraryFile::StoreResult::written);
    EXPECT_EQ (LibraryFile::read (libraryFile).numRecords(), 2);
    EXPECT_EQ (unstoredFiles (home), 0);
}

// Close times with a stopped holder, printed for the record (no timing is
// asserted): one instance with changes, one without, then eight in a row. No
// instance's changes are lost.
TEST (HeldSettingsFolder, InstancesClosingInARowKeepTheirChanges)
{
    ScopedHome home;
    RecordingMidiDevices devices;
    const auto libraryFile = home.settings ("p12Lib.p12l");
    { MidiCntrState makesTheFiles (devices); }
    ASSERT_TRUE (LibraryFile::write (filledRecord (0x61), libraryFile));

    std::vector<std::unique_ptr<MidiCntrState>> engines;
    for (int i = 0; i < 10; ++i)
        engines.push_back (std::make_unique<MidiCntrState> (devices));

    StoppedHolder holder (libraryFile.getParentDirectory());
    ASSERT_TRUE (holder.isHolding());

    const auto timed = [] (const std::function<void()>& close)
    {
        const auto start = juce::Time::getMillisecondCounterHiRes();
        close();
        return (juce::Time::getMillisecondCounterHiRes() - start) / 1000.0;
    };

    const double withChanges = timed ([&]
    {
        LibraryFile::Origin origin;
        auto records = LibraryFile::load (libraryFile, origin).records;
        records.insert (records.end(), (size_t) ProgramRecord::size, 0x62);
        if (LibraryFile::store (records, origin) == LibraryFile::StoreResult::busy)
            LibraryFile::keepUnstored (records, origin);
        engines[0]->setMidiChannel (5);
        engines[0]->putProgram (true, 0, 0, filledRecord (0x40));
        engines[0].reset();
    });
    const double unchanged = timed ([&] { engines[1].reset(); });
    const double inARow = timed ([&]
    {
        for (int i = 2; i < 10; ++i)
        {
            engines[(size_t) i]->putProgram (true, 0, i, filledRecord (0x40 + i));
            engines[(size_t) i].reset();
        }
    });
    std::cout << "[ closes  ] with changes " << withChanges << " s, unchanged " << unchanged
              << " s, eight in a row " << inARow << " s" << std::endl;

    holder.end();
    MidiCntrState reopened (devices);
    EXPECT_EQ (reopened.getMidiChannel(), 5);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ (reopened.deviceBank (0).programBytes (i) == filledRecord (0x40 + i), i != 1) << i;
}
