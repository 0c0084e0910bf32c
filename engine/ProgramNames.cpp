#include "ProgramNames.h"

namespace ProgramNames
{
juce::uint8 code (juce::juce_wchar c) noexcept
{
    return (c >= 20 && c <= 159) ? (juce::uint8) c : (juce::uint8) 32;
}

void write (juce::uint8* record, const juce::String& name) noexcept
{
    const auto padded = name.substring (0, ProgramRecord::nameLength).paddedRight (' ', ProgramRecord::deviceNameLength);

    for (int offset : { ProgramRecord::nameOffset, ProgramRecord::layerBNameOffset })
        for (int i = 0; i < ProgramRecord::deviceNameLength; ++i)
            record[offset + i] = code (padded[i]);
}

juce::String readForEditor (const juce::uint8* codes)
{
    juce::String result;

    for (int i = 0; i < ProgramRecord::nameLength; ++i)
        result += codes[i] < 32 ? juce::juce_wchar ('A') : (juce::juce_wchar) codes[i];

    return result;
}

juce::String readForBank (const juce::uint8* codes)
{
    juce::String result;

    for (int i = 0; i < ProgramRecord::nameLength; ++i)
        if (codes[i] != 0)
            result += (juce::juce_wchar) codes[i];

    return result;
}

juce::String readForLibrary (const juce::uint8* codes)
{
    juce::String result;

    for (int i = 0; i < ProgramRecord::nameLength; ++i)
        result += (codes[i] >= 32 && codes[i] <= 127) ? (juce::juce_wchar) codes[i] : (juce::juce_wchar) 'A';

    return result;
}
}
