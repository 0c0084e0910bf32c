#pragma once

#include <juce_core/juce_core.h>

// Data compiled into the plug-in: the four factory banks and the Basic Program.
namespace FactoryData
{
    // "Proph12 Data>", 4 banks of 99 records, "<Proph12 Data", then a 320-byte
    // program list block framed by "Proph12pList>" and "<Proph12pList".
    constexpr size_t expectedImageSize = 405876;
    constexpr size_t banksOffset       = 13;

    const juce::uint8* image();
    size_t imageSize();

    // The Basic Program as a 1178-byte program dump.
    const juce::uint8* initProgramDump();
}
