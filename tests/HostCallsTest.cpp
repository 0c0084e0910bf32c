// What the host is told, when and on which thread: a host that answers a call
// by calling the plug-in back must never get one from a thread of the
// toolkit's own, and is never told of a change it made itself.
#include <gtest/gtest.h>

#include "editor/MainComp.h"
#include "editor/VantorAudioProcessorEditor.h"
#include "controls/WinMovCan.h"
#include "librarian/Lib_Manager_Comp.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ComponentTestSupport.h"
#include "support/QuietXErrors.h"
#include "support/RecordingMidiDevices.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>

namespace
{
struct ToldHost : public juce::AudioProcessorListener
{
    std::atomic<int> refreshes { 0 }, values { 0 }, begins { 0 }, ends { 0 }, offMessageThread { 0 };
    // The host's own copy of every value, as hosts that save it with the project keep one.
    std::array<std::atomic<float>, ParameterTable::numHostParameters> holds {};

    void note()   { if (! juce::MessageManager::existsAndIsCurrentThread()) ++offMessageThread; }

    void reread (VantorAudioProcessor& p)
    {
        for (int h = 0; h < ParameterTable::numHostParameters; ++h)
            holds[(size_t) h] = p.hostValue (h);
    }

    // Where the host's copy differs from the plug-in's values (-1: nowhere).
    int firstStale (VantorAudioProcessor& p) const
    {
        for (int h = 0; h < ParameterTable::numHostParameters; ++h)
            if (holds[(size_t) h].load() != p.hostValue (h))
                return h;
        return -1;
    }

    void audioProcessorParameterChanged (juce::AudioProcessor*, int h, float v) override
    {
        note();
        ++values;
        if (ParameterTable::isHostIndex (h))
            holds[(size_t) h] = v;
    }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& d) override  { note(); refreshes += d.programChanged ? 1 : 0; }
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int) override { note(); ++begins; }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int) override   { note(); ++ends; }
};

// Everything posted before the call has been delivered.
bool deliverPosted()    { return ui::drain(); }

bool pumpUntil (const std::function<bool()>& condition)    { return ui::pumpUntil (condition); }

// Runs the call on a thread the toolkit started, as its own message thread or a MIDI input thread is.
// The thread is owned here: one that deletes itself (Thread::launch) can end while its
// starter still holds its lock.
bool onToolkitThread (std::function<void()> call)
{
    struct CallThread : public juce::Thread
    {
        explicit CallThread (std::function<void()> c) : juce::Thread ("toolkit call"), callToRun (std::move (c)) {}
        void run() override
        {
            mayCall = VantorAudioProcessor::mayCallHost();
            callToRun();
        }

        std::function<void()> callToRun;
        bool mayCall = true;
    };

    CallThread thread (std::move (call));
    return thread.startThread() && thread.waitForThreadToExit (20000) && ! thread.mayCall;
}

struct HostCalls : public ::testing::Test
{
    RecordingMidiDevices devices;
    std::unique_ptr<VantorAudioProcessor> processor = std::make_unique<VantorAudioProcessor> (devices);
    MidiCntrState& engine = processor->getEngine();
    ToldHost host;

    HostCalls()
    {
        deliverPosted();            // whatever the start-up posted
        processor->addListener (&host);
        host.reread (*processor);   // as a host does when it loads the plug-in
        engine.setControlsProgramChange (false);
    }

    // How many values the two programs differ in, as the host sees them.
    int valuesChangedBy (const std::function<void()>& change)
    {
        std::vector<float> before;
        for (int h = 0; h < ParameterTable::numHostParameters; ++h)
            before.push_back (processor->hostValue (h));
        change();
        int changed = 0;
        for (int h = 0; h < ParameterTable::numHostParameters; ++h)
            changed += before[(size_t) h] != processor->hostValue (h) ? 1 : 0;
        return changed;
    }

    ByteArray deviceProgram (int bank, int program)
    {
        const juce::ScopedLock sl (engine.getProgramLock());
        return engine.deviceBank (bank).programBytes (program);
    }

    ~HostCalls() override           { processor->removeListener (&host); }
};

struct Change
{
    const char* what;
    std::function<void (VantorAudioProcessor&)> make;
};

juce::MemoryBlock stateOf (VantorAudioProcessor& p, bool program)
{
    juce::MemoryBlock block;
    if (program)
        p.getCurrentProgramStateInformation (block);
    else
        p.getStateInformation (block);
    return block;
}
} // namespace

// The host restored or chose it: telling it again invites it to call back into the
// plug-in from inside the notification (a hang with JUCE's Linux wrapper).
// The same fixture, for the tests that run calls on threads of their own.
class HostCallsThreads : public HostCalls {};

TEST_F (HostCalls, ChangesTheHostMadeAreNotReportedBack)
{
    engine.setControlsProgramChange (true);
    const auto bank = stateOf (*processor, false), program = stateOf (*processor, true);

    const Change hostMade[] = {
        { "bank chunk",         [&] (VantorAudioProcessor& p) { p.setStateInformation (bank.getData(), (int) bank.getSize()); } },
        { "program chunk",      [&] (VantorAudioProcessor& p) { p.setCurrentProgramStateInformation (program.getData(), (int) program.getSize()); } },
        { "program",            [] (VantorAudioProcessor& p) { p.setCurrentProgram (5); } },
        { "another program",    [] (VantorAudioProcessor& p) { p.setCurrentProgram (6); } },
        { "rename of another",  [] (VantorAudioProcessor& p) { p.changeProgramName (9, "Other"); } },
        { "rename of current",  [] (VantorAudioProcessor& p) { p.changeProgramName (p.getCurrentProgram(), "Current"); } },
        { "program select",     [] (VantorAudioProcessor& p) { p.getParameters()[618]->setValue (0.5f); } },
        { "program select off", [] (VantorAudioProcessor& p) { p.getParameters()[618]->setValue (0.0f); } },
    };

    for (const auto& change : hostMade)
    {
        change.make (*processor);
        ASSERT_TRUE (deliverPosted());
        EXPECT_EQ (host.refreshes, 0) << change.what;
        EXPECT_EQ (host.values, 0) << change.what;
        host.refreshes = 0;
    }
}

// Hosts that keep a copy of every value apply it over the restored state: a
// program we put in the edit buffer must reach that copy, value by value, and
// without a gesture, which would make a host in a touch mode record it.
TEST_F (HostCalls, AProgramOfOursBringsTheHostsCopyAlongWithoutAGesture)
{
    const auto libraryRecord = deviceProgram (6, 20);
    const Change ours[] = {
        { "bank selector",   [] (VantorAudioProcessor& p) { p.getEngine().selectProgram (4 * MidiCntrState::programsPerBank + 3, false, true); } },
        { "dump",            [this] (VantorAudioProcessor& p) { p.getEngine().putProgram (false, 0, 0, deviceProgram (5, 7)); } },
        { "librarian",       [&] (VantorAudioProcessor& p)
          {
              juce::MemoryBlock chunk;
              VantorAudioProcessor::writeProgramChunk (libraryRecord, chunk);
              {
                  const MidiCntrState::OwnChange own;
                  p.setCurrentProgramStateInformation (chunk.getData(), (int) chunk.getSize());
              }
              p.tellHostProgramsChanged();
          } },
        { "same program again", [] (VantorAudioProcessor& p) { p.getEngine().loadCurrentPreset(); p.getEngine().loadCurrentPreset(); } },
    };

    for (const auto& change : ours)
    {
        host.values = 0;
        const int changed = valuesChangedBy ([&] { change.make (*processor); });
        EXPECT_EQ (host.values, 0) << change.what << ": told only when the host drives the messages";
        ASSERT_TRUE (deliverPosted());
        EXPECT_EQ (host.firstStale (*processor), -1) << change.what;
        EXPECT_EQ (host.values, changed) << change.what << ": each changed value once, no other";
        EXPECT_EQ (host.begins + host.ends, 0) << change.what;
    }
    EXPECT_EQ (host.offMessageThread, 0);
}

// After choosing a program itself the host rereads every value; our next
// program is measured against what it read, not against what we last told it.
TEST_F (HostCalls, OurProgramAfterOneTheHostChoseStillReachesItsCopy)
{
    const auto original = engine.editBuffer();
    {
        const juce::ScopedLock sl (engine.getProgramLock());
        const auto other = deviceProgram (4, 3);
        engine.presetBank().setProgramBytes (5, juce::MemoryBlock (other.data(), other.size()));
    }

    ASSERT_GT (valuesChangedBy ([&] { processor->setCurrentProgram (5); }), 10);
    ASSERT_TRUE (deliverPosted());
    EXPECT_EQ (host.values, 0);
    host.reread (*processor);

    ASSERT_GT (valuesChangedBy ([&] { engine.putProgram (false, 0, 0, original); }), 10);
    ASSERT_TRUE (deliverPosted());
    EXPECT_EQ (host.firstStale (*processor), -1);
    EXPECT_EQ (host.begins + host.ends, 0);

    // A host value that the plug-in stored is part of the copy the host holds.
    const int h = 20;
    ASSERT_NE (processor->hostValue (h), 1.0f);
    processor->getParameters()[h]->setValue (1.0f);
    host.holds[(size_t) h] = 1.0f;
    host.values = 0;
    engine.putProgram (false, 0, 0, original);
    ASSERT_TRUE (deliverPosted());
    EXPECT_EQ (host.firstStale (*processor), -1);
    EXPECT_EQ (host.values, 1);
}

TEST_F (HostCalls, ChangesOfOurOwnAreReportedOnce)
{
    const Change ours[] = {
        { "librarian",            [] (VantorAudioProcessor& p) { p.tellHostProgramsChanged(); } },
        { "editor loads preset",  [] (VantorAudioProcessor& p) { p.getEngine().loadCurrentPreset(); } },
        { "device program",       [] (VantorAudioProcessor& p) { p.getEngine().selectProgram (100, false, false); } },
    };

    for (const auto& change : ours)
    {
        change.make (*processor);
        ASSERT_TRUE (deliverPosted());
        EXPECT_EQ (host.refreshes, 1) << change.what;
        host.refreshes = 0;
    }
    EXPECT_EQ (host.offMessageThread, 0);
}

// A host change made inside our own (the host set a program while our librarian
// reported): our report still goes out.
TEST_F (HostCalls, AHostChangeDoesNotSwallowAPendingReportOfOurs)
{
    processor->tellHostProgramsChanged();
    processor->setCurrentProgram (4);
    ASSERT_TRUE (deliverPosted());
    EXPECT_EQ (host.refreshes, 1);
}

TEST_F (HostCallsThreads, HostMadeMarkIsPerThreadAndEnds)
{
    {
        const MidiCntrState::HostMadeChange byHost;
        ASSERT_TRUE (onToolkitThread ([this] { engine.loadCurrentPreset(); }));
    }
    ASSERT_TRUE (deliverPosted());
    EXPECT_EQ (host.refreshes, 1);   // the mark on this thread is not the other thread's

    host.refreshes = 0;
    {
        const MidiCntrState::HostMadeChange byHost;
        engine.loadCurrentPreset();
    }
    engine.loadCurrentPreset();      // after the mark has gone
    ASSERT_TRUE (deliverPosted());
    EXPECT_EQ (host.refreshes, 1);
}

// A value from a toolkit thread reaches the host later, on the message thread,
// inside a gesture that ends.
TEST_F (HostCallsThreads, ValueFromAToolkitThreadWaitsForTheMessageThread)
{
    const int h = 10;
    const auto id = processor->parameterTable().idForHostIndex (h);
    const int value = processor->parameterTable().maximum (id);
    ASSERT_NE (engine.getValue (id), value);
    ASSERT_TRUE (onToolkitThread ([&] { processor->parameterChanged (id, value, true, false, false); }));
    EXPECT_EQ (host.values + host.begins + host.ends, 0);
    EXPECT_EQ (engine.getValue (id), value);

    ASSERT_TRUE (pumpUntil ([&] { return host.values >= 1 && host.ends >= 1; }));
    EXPECT_EQ (host.begins, 1);
    EXPECT_EQ (host.offMessageThread, 0);
    EXPECT_FALSE (processor->isGestureOpen (h));
    EXPECT_FLOAT_EQ (processor->getParameters()[h]->getValue(), processor->hostValue (h));
}

TEST_F (HostCallsThreads, GestureEndFromAToolkitThreadWaitsForTheMessageThread)
{
    const int h = 12;
    const auto id = processor->parameterTable().idForHostIndex (h);
    processor->parameterChanged (id, processor->parameterTable().maximum (id), false, false, false);
    ASSERT_TRUE (processor->isGestureOpen (h));
    ASSERT_TRUE (onToolkitThread ([this, h] { processor->endGesture (h); }));
    EXPECT_EQ (host.ends, 0);

    ASSERT_TRUE (pumpUntil ([&] { return ! processor->isGestureOpen (h); }));
    EXPECT_EQ (host.ends, 1);
    EXPECT_EQ (host.offMessageThread, 0);
}

TEST_F (HostCallsThreads, ADumpFromAToolkitThreadReachesTheHostsCopyOnTheMessageThread)
{
    const auto dump = deviceProgram (7, 40);
    ASSERT_TRUE (onToolkitThread ([&] { engine.putProgram (false, 0, 0, dump); }));
    EXPECT_EQ (host.values, 0);
    ASSERT_TRUE (pumpUntil ([&] { return host.firstStale (*processor) < 0; }));
    EXPECT_GT (host.values, 10);
    EXPECT_EQ (host.begins + host.ends, 0);
    EXPECT_EQ (host.offMessageThread, 0);
}

TEST_F (HostCallsThreads, RefreshFromAToolkitThreadComesOnTheMessageThread)
{
    ASSERT_TRUE (onToolkitThread ([this] { engine.selectProgram (3, false, false); }));
    ASSERT_TRUE (pumpUntil ([&] { return host.refreshes >= 1; }));
    EXPECT_EQ (host.refreshes, 1);
    EXPECT_EQ (host.offMessageThread, 0);
}

//==============================================================================
// A host may hide its window around the editor instead of closing it: the
// library window, on the desktop of its own, goes and comes back with it.
TEST (LibraryWindowWithEditor, HidesWhileTheEditorIsHiddenAndReturnsUnlessClosed)
{
    const QuietXErrors quiet;
    RecordingMidiDevices devices;
    VantorAudioProcessor processor (devices);
    juce::DocumentWindow hostWindow ({}, juce::Colours::black, 0, true);
    hostWindow.setTitleBarHeight (0);
    auto editor = std::make_unique<VantorAudioProcessorEditor> (processor);
    hostWindow.setContentNonOwned (editor.get(), true);
    hostWindow.setVisible (true);

    auto& main = editor->getMainComp();
    ASSERT_TRUE (pumpUntil ([&] { return main.hasStarted(); }));
    main.openLibraryWindow();
    auto* library = main.getLibraryWindow();
    ASSERT_NE (library, nullptr);
    ASSERT_TRUE (library->isVisible());

    for (int cycle = 0; cycle < 2; ++cycle)
    {
        hostWindow.setVisible (false);
        EXPECT_TRUE (pumpUntil ([&] { return ! library->isVisible(); })) << cycle;
        hostWindow.setVisible (true);
        EXPECT_TRUE (pumpUntil ([&] { return library->isVisible(); })) << cycle;
    }

    // Closed by its own button while the editor shows: it stays closed.
    main.windowToolClicked (&library->getContent().getCloseButton(), WinMovCan::closeCode);
    ASSERT_FALSE (library->isVisible());
    hostWindow.setVisible (false);
    ASSERT_TRUE (deliverPosted());
    hostWindow.setVisible (true);
    ASSERT_TRUE (pumpUntil ([&] { return editor->isShowing(); }));
    ASSERT_TRUE (ui::pumpPastTimers (400));   // the editor's window poll has had its turns
    EXPECT_FALSE (library->isVisible());

    // The editor taken out of the host's window (it is closing): the library window goes first.
    main.openLibraryWindow();
    ASSERT_TRUE (library->isVisible());
    hostWindow.clearContentComponent();
    EXPECT_FALSE (library->isVisible());
    editor.reset();
}
