#pragma once

#include "engine/Bank_Program.h"
#include "engine/MidiCntrState.h"

// Shared by the main component's source files only.
namespace
{
const char* const shortBankNames[] = { "U1", "U2", "U3", "U4", "F1", "F2", "F3", "F4" };

inline bool isSlot (int bank, int program)
{
    return juce::isPositiveAndBelow (bank, MidiCntrState::numBanks) && Bank_Program::isValidProgram (program);
}
}
