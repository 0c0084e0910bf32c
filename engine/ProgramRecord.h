#pragma once

#include <juce_core/juce_core.h>
#include <vector>

// A growable byte array: records, dumps, file contents.
using ByteArray = std::vector<juce::uint8>;

// Sizes of a program in its two forms, and of the banks that hold programs.
namespace ProgramRecord
{
    constexpr int size               = 1024;  // unpacked: byte n is ParameterId n
    constexpr int packedSize         = 1171;  // 7-in-8 packed body of a dump
    constexpr int editBufferDumpSize = 1176;  // F0 01 2B 03 body F7
    constexpr int programDumpSize    = 1178;  // F0 01 dd 02 bank program body F7
    constexpr int programsPerBank    = 99;
    constexpr int bankSize           = size * programsPerBank;  // 101,376
    constexpr int numDeviceBanks     = 8;

    constexpr int nameOffset     = 402;   // 16 name codes at 402-417
    constexpr int nameLength     = 16;
    // The synthesizer's own name field is 20 codes long (402-421), with a copy
    // in layer B (914-933).
    constexpr int deviceNameLength = 20;
    constexpr int layerBNameOffset = nameOffset + 512;
    constexpr int arpOnA         = 296;
    constexpr int arpOnB         = 808;
    constexpr int splitPoint     = 424;
    constexpr int layerMode      = 425;
    constexpr int category       = 426;

    constexpr juce::uint8 moduleDeviceId   = 0x2B;
    constexpr juce::uint8 keyboardDeviceId = 0x2A;

    constexpr int numUserBanks = 4;   // U1-U4 come first, then F1-F4

    inline bool isUserBank (int bank) noexcept   { return juce::isPositiveAndBelow (bank, numUserBanks); }

    inline bool isSlot (int bank, int program) noexcept
    {
        return juce::isPositiveAndBelow (bank, numDeviceBanks) && juce::isPositiveAndBelow (program, programsPerBank);
    }

    // "U1" ... "U4", "F1" ... "F4", with the separator between the letter and the number.
    inline juce::String bankLabel (int bank, const char* separator = "")
    {
        return bank < numUserBanks ? "U" + juce::String (separator) + juce::String (bank + 1)
                                   : "F" + juce::String (separator) + juce::String (bank - 3);
    }

    // "U1 P 5": a slot as the displays and status lines name it.
    inline juce::String slotLabel (int bank, int program)
    {
        return bankLabel (bank) + " P " + juce::String (program + 1);
    }
}
