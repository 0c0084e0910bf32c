#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The kit's look: LookAndFeel_V2's flat widgets with the embedded font and the
// black pop-up menus. Set it on the editor root and clear it before the root goes.
//
// JUCE resolves a font given by name ("Arial") through the *default*
// look-and-feel, not the component's: draw with kitFont() in our own paint code;
// the widgets JUCE draws for us (menus, text buttons, labels) get the kit font here.
class KitLookAndFeel : public juce::LookAndFeel_V2
{
public:
    KitLookAndFeel();

    juce::Typeface::Ptr getTypefaceForFont (const juce::Font&) override;

    juce::Font getPopupMenuFont() override;
    juce::Font getTextButtonFont (juce::TextButton&, int buttonHeight) override;
    juce::Font getLabelFont (juce::Label&) override;
    juce::Font getComboBoxFont (juce::ComboBox&) override;

    // True for the names we map to the embedded face: "Arial", the default sans, "Liberation Sans".
    static bool isMappedName (const juce::String& typefaceName);
};
