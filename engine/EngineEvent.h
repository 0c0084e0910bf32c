#pragma once

#include <juce_core/juce_core.h>

// A 32-bit word the engine queues for the editor: the kind in bits 24-31,
// the payload below. Device messages carry their status byte in bits 20-27.
namespace EngineEvent
{
    enum Kind
    {
        noteOff             = 0x08,
        noteOn              = 0x09,
        modWheel            = 0x0B,
        pitchBend           = 0x0E,
        parameterChanged    = 0x10,
        editBufferChanged   = 0x11,
        globalsReceived     = 0x12,   // the channel followed from the dump, 1-16, in bits 0-7 (0: none)
        globalsRequested    = 0x13,
        transmitProgress    = 0x14,   // sent count in bits 12-23, total in bits 0-11
        transmitFinished    = 0x15,   // payload 1 when cancelled
        bankReceiveFinished = 0x16,
        bankProgramReceived = 0x17,
        programStored       = 0x19,
        sliderSent          = 0x1A,
        latchChanged        = 0x1B,
        midiChannelChanged  = 0x1C,   // the engine's channel, 1-16, in bits 0-7
        keyboardCommand     = 0x21
    };

    constexpr int kindOf (int event) noexcept                  { return (int) ((juce::uint32) event >> 24); }
    constexpr int make (Kind kind, int payload = 0) noexcept   { return (int) (((juce::uint32) kind << 24) | ((juce::uint32) payload & 0xFFFFFFu)); }

    // Value in bits 0-7, id in bits 8-23; a value above 255 is cut to its low byte so it never spills into the id.
    constexpr int parameter (int id, int value) noexcept
    {
        return (int) ((((juce::uint32) 0x100000 + (juce::uint32) id) << 8) + ((juce::uint32) value & 0xFFu));
    }
    constexpr int parameterId (int event) noexcept             { return (event >> 8) & 0x7FF; }
    constexpr int parameterValue (int event) noexcept          { return event & 0xFF; }

    constexpr int latch (int latchIndex) noexcept              { return make (latchChanged, (latchIndex & 0xF) << 20); }
    constexpr int bankProgram (int bank, int program) noexcept { return make (bankProgramReceived, (bank << 8) + program); }
    constexpr int transmitted (int sent, int total) noexcept   { return make (transmitProgress, ((sent & 0xFFF) << 12) | (total & 0xFFF)); }
}
