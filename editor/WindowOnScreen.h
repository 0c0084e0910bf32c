#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Whether the component's window can really be seen: showing, and its native
// window viewable. A host may unmap its own window around the editor's without
// closing the editor, and nothing in the toolkit hears of it.
bool isWindowOnScreen (const juce::Component&);
