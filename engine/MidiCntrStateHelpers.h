#pragma once

#include "engine/MidiCntrState.h"

// Shared by the engine's source files only.
namespace
{
constexpr juce::uint8 sysexStart = 0xF0, sysexEnd = 0xF7;

inline juce::uint8 byteAt (const ByteArray& message, size_t index) noexcept
{
    return index < message.size() ? message[index] : 0;
}
}
