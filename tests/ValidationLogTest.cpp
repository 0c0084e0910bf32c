// How the validation reports a group whose process goes wrong after its last
// check, as the plug-in's library is unloaded: what the process printed last
// (a sanitizer's report) shows beside the failure, and a teardown that never
// ends is stopped by the watchdog.
#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <cstdlib>
#include <string>

namespace
{
std::string validateDyingLibrary (const char* how)
{
    setenv ("VANTOR_DYING_PLUGIN", how, 1);
    juce::ChildProcess process;
    const bool started = process.start (juce::StringArray { VANTOR_VSTHOST_PATH, VANTOR_DYING_PLUGIN_PATH, "validate",
                                                            "--only", "chunks", "--watchdog", "2" },
                                        juce::ChildProcess::wantStdOut);
    unsetenv ("VANTOR_DYING_PLUGIN");
    if (! started)
        return {};
    const auto out = process.readAllProcessOutput().toStdString();
    process.waitForProcessToFinish (-1);
    return out;
}
}

TEST (ValidationLog, WhatADyingGroupPrintedShowsWithItsFailure)
{
    const auto out = validateDyingLibrary ("report");
    const std::string failure = "FAIL chunks.teardown: the process exited with status 1 while closing instances or "
                                "unloading the library (SUMMARY: AddressSanitizer: heap-use-after-free DyingPlugin.cpp:21 in unloaded)";
    const auto failed = out.find (failure);
    ASSERT_NE (failed, std::string::npos) << out;
    const auto shown = out.find ("==1==ERROR: AddressSanitizer: heap-use-after-free on address 0x1", failed);
    EXPECT_NE (shown, std::string::npos) << out;
    EXPECT_NE (out.find ("---- end of chunks ----\n0 passed, 2 failed", shown), std::string::npos) << out;
}

TEST (ValidationLog, ALeakCheckerThatFailedItselfIsNamedInTheReason)
{
    const auto out = validateDyingLibrary ("checker");
    EXPECT_NE (out.find ("FAIL chunks.teardown: the process exited with status 1 while closing instances or unloading "
                         "the library (LeakSanitizer has encountered a fatal error.)\n---- what the chunks group's "
                         "process printed ----\nTracer caught signal 11"), std::string::npos) << out;
}

TEST (ValidationLog, ATeardownThatNeverEndsIsStopped)
{
    const auto out = validateDyingLibrary ("hang");
    EXPECT_NE (out.find ("FAIL chunks.teardown: no progress for 2 s, killed (hang or deadlock while closing instances "
                         "or unloading the library)"), std::string::npos) << out;
}
