#pragma once

#include "engine/ProgramRecord.h"

// A plug-in's files as one process of a DAW holds them, for tests that need
// two processes closing at the same moment. The test binary runs it when
// started with the flag: it loads, changes what is its own, says it is ready,
// and stores (closes) once the go file appears.
namespace ClosingInstance
{
    constexpr const char* flag = "--closing-instance";

    // kind: "banks" or "library"; index 0 or 1.
    juce::StringArray arguments (const juce::String& kind, const juce::File& home, int index, const juce::File& signals);

    // The process's exit code: 0 when it stored.
    int run (int argc, char** argv);

    // What each instance changes, so the test can look for it.
    juce::uint8 bankMark (int index);
    int bankSlot (int index);
    ByteArray libraryRecord (int kind, int index);   // kind: 0 deleted, 1 renamed (before), 2 renamed (after), 3 added
    juce::String renamed (int index);
}
