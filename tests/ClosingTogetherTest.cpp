#include <gtest/gtest.h>
#include "engine/MidiCntrState.h"
#include "librarian/LibraryFile.h"
#include "librarian/LibraryRecords.h"
#include "support/ClosingInstance.h"
#include "support/RecordingMidiDevices.h"
#include "support/ScopedHome.h"
#include "support/TestFolder.h"
#include <functional>

namespace
{
bool waitUntil (const std::function<bool()>& condition, int limitMs = 20000)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + limitMs;
    while (! condition())
    {
        if (juce::Time::getMillisecondCounterHiRes() > end)
            return false;
        juce::Thread::sleep (1);
    }
    return true;
}

// Two plug-in processes that load, change what is their own, and close at the same moment.
void closeTwoProcessesTogether (const juce::String& kind, const ScopedHome& home)
{
    TestFolder signals ("closing-signals");
    juce::ChildProcess processes[2];

    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE (processes[i].start (ClosingInstance::arguments (kind, home.home(), i, signals.file()), 0));

    ASSERT_TRUE (waitUntil ([&] { return signals.file().getChildFile ("ready-0").exists() && signals.file().getChildFile ("ready-1").exists(); }));
    signals.file().getChildFile ("go").create();

    for (auto& p : processes)
    {
        ASSERT_TRUE (p.waitForProcessToFinish (20000));
        EXPECT_EQ (p.getExitCode(), 0u);
    }
}

int countOf (const ByteArray& records, const ByteArray& record)
{
    int n = 0;
    for (int k = 0; k < ProgramRecord::count (records); ++k)
        n += ProgramRecord::get (records, k) == record ? 1 : 0;
    return n;
}
}

// Each round: two processes change neighbouring slots of one bank and close at once; both slots are stored.
TEST (ClosingTogether, TwoProcessesKeepTheirBankChanges)
{
    RecordingMidiDevices devices;

    for (int round = 0; round < 20; ++round)
    {
        SCOPED_TRACE (round);
        ScopedHome home;
        { MidiCntrState makesTheFile (devices); makesTheFile.putProgram (true, 0, 0, ByteArray (1024, 0x33)); }

        closeTwoProcessesTogether ("banks", home);

        MidiCntrState reopened (devices);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ (reopened.deviceBank (0).programBytes (ClosingInstance::bankSlot (i)), ByteArray (1024, ClosingInstance::bankMark (i))) << i;
        EXPECT_EQ (reopened.deviceBank (0).programBytes (0), ByteArray (1024, 0x33));
    }
}

// Each round: two processes each delete, rename and add a program of the library and store at once; nothing is lost.
TEST (ClosingTogether, TwoProcessesKeepTheirLibraryChanges)
{
    for (int round = 0; round < 20; ++round)
    {
        SCOPED_TRACE (round);
        ScopedHome home;
        const auto file = home.settings ("p12Lib.p12l");
        const auto common = ByteArray (1024, 0x07);
        ByteArray seed = common;
        for (int i = 0; i < 2; ++i)
            for (int kind : { 0, 1 })
            {
                const auto record = ClosingInstance::libraryRecord (kind, i);
                seed.insert (seed.end(), record.begin(), record.end());
            }
        ASSERT_TRUE (LibraryFile::write (seed, file));

        closeTwoProcessesTogether ("library", home);

        const auto stored = LibraryFile::read (file).records;
        EXPECT_EQ (countOf (stored, common), 1);
        for (int i = 0; i < 2; ++i)
        {
            SCOPED_TRACE (i);
            EXPECT_EQ (countOf (stored, ClosingInstance::libraryRecord (0, i)), 0);   // deleted
            EXPECT_EQ (countOf (stored, ClosingInstance::libraryRecord (1, i)), 0);   // renamed away
            EXPECT_EQ (countOf (stored, ClosingInstance::libraryRecord (2, i)), 1);
            EXPECT_EQ (countOf (stored, ClosingInstance::libraryRecord (3, i)), 1);   // added
        }
        EXPECT_EQ (ProgramRecord::count (stored), 5);
    }
}
