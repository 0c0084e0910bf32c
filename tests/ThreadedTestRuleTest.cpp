#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include "support/ThreadedTestScan.h"

// CI runs the suites whose names end in "Threads" under ThreadSanitizer; a
// test that starts a thread anywhere else would never be looked at there.
namespace
{
std::vector<std::string> found (const std::string& text, const std::set<std::string>& known = {})
{
    std::vector<std::string> names;
    for (const auto& f : threadscan::threadedTests ({ "t.cpp", text }, known))
        names.push_back (f.suite + "." + f.test);
    return names;
}

bool endsWithThreads (const std::string& suite)
{
    return juce::String (suite).endsWith ("Threads");
}
}

TEST (TestSources, ScanFindsEveryWayATestStartsAThread)
{
    const struct { const char* what; const char* text; std::vector<std::string> threaded; } cases[] {
        { "a thread in the test",
          "TEST (Grid, Paints) { std::thread writer ([] {}); writer.join(); }\n"
          "TEST (Grid, Rows) { EXPECT_EQ (1, 1); }",
          { "Grid.Paints" } },
        { "a JUCE thread subclass used by the test",
          "namespace { class Worker : public juce::Thread { void run() override {} }; }\n"
          "TEST (Work, Runs) { Worker w; }",
          { "Work.Runs" } },
        { "a fixture holding the simulated synthesizer",
          "class Pages : public ::testing::Test { protected: SimulatedSynth synth; };\n"
          "TEST_F (Pages, Turn) {}",
          { "Pages.Turn" } },
        { "a helper function two steps away",
          "void inner() { auto f = std::async ([] {}); }\n"
          "static void outer (int n) { if (n > 0) inner(); }\n"
          "TEST (Load, Runs) { outer (3); }",
          { "Load.Runs" } },
        { "a member defined outside its class",
          "struct Rig { void go(); };\n"
          "void Rig::go() { juce::Thread::launch ([] {}); }\n"
          "TEST (Rigs, Go) { Rig r; r.go(); }",
          { "Rigs.Go" } },
        { "the engine's transmitter",
          "TEST (Banks, Send) { engine.startTransmit (MidiCntrState::TransmitScope::all); }",
          { "Banks.Send" } },
        { "a helper known from a shared header",
          "TEST (Menus, Open) { EditorTestRig rig; }",
          { "Menus.Open" } },
        { "sleeping and thread ids start nothing",
          "TEST (Clock, Reads) { juce::Thread::sleep (1); auto id = juce::Thread::getCurrentThreadId(); }\n"
          "TEST (Clock, Names) { auto kind = OutputCall::startThread; }",
          {} },
        { "words in comments and texts start nothing",
          "// std::thread t;\n/* SimulatedSynth s; */\n"
          "TEST (Names, Text) { auto s = \"SimulatedSynth std::thread\"; auto c = '\"'; }\n"
          "TEST (Names, Raw) { auto s = R\"x(std::thread \" )x\"; }",
          {} },
        { "a TEST inside a namespace, a table before it",
          "namespace { const int table[] { 1, 2 }; }\nnamespace a { TEST (Inner, Runs) { std::thread t; } }",
          { "Inner.Runs" } },
    };

    for (const auto& c : cases)
        EXPECT_EQ (found (c.text, { "EditorTestRig" }), c.threaded) << c.what;
}

TEST (TestSources, SharedHelpersThatStartThreadsAreKnown)
{
    const std::vector<threadscan::Source> support {
        { "a.h", "struct Rig { SimulatedSynth synth; }; inline int count() { return 3; }" },
        { "b.h", "struct Bench { Rig rig; int n = count(); };" },
        { "c.cpp", "void Pool::start() { startThread (4); } int Pool::size() const { return 1; }" },
    };

    const auto names = threadscan::threadedNames (support);
    EXPECT_EQ (names, (std::set<std::string> { "Bench", "Pool", "Rig" }));
}

TEST (TestSources, EveryThreadedTestIsInAThreadsSuite)
{
    const juce::File dir (VANTOR_TEST_SOURCE_DIR);

    const auto read = [] (const juce::File& f) { return threadscan::Source { f.getFileName().toStdString(), f.loadFileAsString().toStdString() }; };

    std::vector<threadscan::Source> support;
    for (const auto& f : dir.getChildFile ("support").findChildFiles (juce::File::findFiles, false, "*.h;*.cpp"))
        support.push_back (read (f));
    const auto known = threadscan::threadedNames (support);
    EXPECT_GT (known.count ("EditorTestRig"), 0u);

    int threaded = 0, files = 0;
    std::string misplaced;
    for (const auto& f : dir.findChildFiles (juce::File::findFiles, false, "*.cpp"))
    {
        ++files;
        for (const auto& test : threadscan::threadedTests (read (f), known))
        {
            ++threaded;
            if (! endsWithThreads (test.suite))
                misplaced += "\n  " + test.path + ": " + test.suite + "." + test.test;
        }
    }

    ASSERT_GT (files, 20);
    EXPECT_GT (threaded, 20);   // the scan still sees the ones it knows
    EXPECT_TRUE (misplaced.empty()) << "tests that start threads, in suites whose names do not end in Threads:" << misplaced;
}
