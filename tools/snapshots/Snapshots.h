#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>
#include <vector>

// Pictures of components for review. Each area registers its own from its own
// file:  VANTOR_SNAPSHOT ("lcd-empty", 217, 46, [] { return std::make_unique<LCD_Comp>(); });
// A width or height of 0 keeps the size the component gave itself.
namespace snapshots
{
using Factory = std::function<std::unique_ptr<juce::Component>()>;

struct Entry
{
    juce::String name;
    int width, height;
    Factory make;
};

bool add (const char* name, int width, int height, Factory make);
const std::vector<Entry>& all();
}

#define VANTOR_SNAPSHOT(name, width, height, ...) \
    static const bool JUCE_JOIN_MACRO (vantorSnapshot_, __LINE__) = snapshots::add (name, width, height, __VA_ARGS__);
