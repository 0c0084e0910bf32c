#pragma once

#include <juce_core/juce_core.h>
#include "engine/ProgramRecord.h"

// The 16 name codes of a record (402-417) and the text they stand for. There is one
// writer and three readers; the readers differ on purpose, so they stand side by side here.
namespace ProgramNames
{
    // Every writer stores a character as this code: 20-159 as itself, anything else a space.
    juce::uint8 code (juce::juce_wchar c) noexcept;

    // Sets the name of a whole record: cut or padded with spaces to 16 characters,
    // written as codes into both copies of the synthesizer's 20-code name field,
    // whose last 4 codes become spaces: nothing of an older name is left behind.
    void write (juce::uint8* record, const juce::String& name) noexcept;

    // The edited program: a code below 32 reads as "A", so the name always has 16 characters.
    juce::String readForEditor (const juce::uint8* codes);

    // A bank slot: a code 0 gives nothing, so a name the device padded with zeros stays short.
    juce::String readForBank (const juce::uint8* codes);

    // The library: anything outside 32-127 reads as "A", 128-255 included, so every
    // name in the list is plain ASCII whatever the record holds.
    juce::String readForLibrary (const juce::uint8* codes);
}
