#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The one font of the editor: the embedded Liberation Sans (metric-compatible
// with Arial), so text measures the same on every machine. Bold picks the bold
// face; other style flags are ignored.
juce::Font kitFont (float height, int styleFlags = juce::Font::plain);

// The embedded faces themselves (never null).
juce::Typeface::Ptr kitTypeface (bool bold);
