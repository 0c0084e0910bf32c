#pragma once

#include "engine/Bank_Program.h"
#include "engine/MidiCntrState.h"

// Shared by the main component's source files only.
namespace
{
using ProgramRecord::isSlot;
}
