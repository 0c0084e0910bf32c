#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>

// Texts of parameter values by display type, program category names and the
// look of every pop-up menu. Stateless: the text functions may be called from
// any thread; the menu functions belong to the message thread.
class ParDes
{
public:
    // The text of a stored value under a display type; values outside a list,
    // and unknown types, give the empty string.
    static juce::String valueText (int displayType, int value);

    // Names of program categories 0-25; anything else gives the empty string.
    static juce::String categoryName (int category);

    // "C0" for 0, "C5" for 60, "G10" for 127: name of v mod 12, then v / 12.
    static juce::String noteName (int note);

    // One item per value 0..maximum, item id value + 1, text valueText (type, value).
    static juce::PopupMenu buildValueMenu (int displayType, int maximum);

    // Shows the value menu without waiting: done (value) on the message thread,
    // done (-1) when dismissed; never called when the parent is deleted first.
    static void showValueMenuAsync (juce::Component* parent, int displayType, int maximum,
                                    std::function<void (int value)> done);

    // A fresh look-and-feel with the menu colours. The caller owns it and must
    // keep it alive while the menu that uses it is shown; a shared static one
    // would outlive the framework when the plug-in is unloaded.
    static std::unique_ptr<juce::LookAndFeel_V2> menuLookAndFeel();
};
