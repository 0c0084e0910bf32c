#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The kit's look: LookAndFeel_V2's flat widgets with the embedded font and the
// black pop-up menus. Set it on the editor root and clear it before the root goes.
//
// JUCE resolves a font given by name ("Arial") through the *default*
// look-and-feel, not the component's: hold a KitDefaultLook while an editor is
// open, or draw with kitFont(). The widgets JUCE draws for us (menus, text
// buttons, labels) get the kit font here either way.
class KitLookAndFeel : public juce::LookAndFeel_V2
{
public:
    KitLookAndFeel();

    juce::Typeface::Ptr getTypefaceForFont (const juce::Font&) override;

    juce::Font getPopupMenuFont() override;
    juce::Font getTextButtonFont (juce::TextButton&, int buttonHeight) override;
    juce::Font getLabelFont (juce::Label&) override;
    juce::Font getComboBoxFont (juce::ComboBox&) override;

    // The glass button of LookAndFeel_V2, drawn once per size, colour and state.
    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool isMouseOverButton, bool isButtonDown) override;

    // True for the names we map to the embedded face: "Arial", the default sans, "Liberation Sans".
    static bool isMappedName (const juce::String& typefaceName);

    // One for every editor of the process, made on first use and kept until
    // the framework shuts down (building one sets some hundred colours).
    // Message thread only; whoever sets it on a component clears it again.
    static KitLookAndFeel& shared();
};

// While one lives, a KitLookAndFeel is the default look-and-feel of this
// plug-in's copy of JUCE, so every font named "Arial" resolves to the embedded
// face. Each editor holds one (as its first member, before any child makes a
// font); when the last goes, the previous default comes back.
class KitDefaultLook
{
public:
    KitDefaultLook() = default;

private:
    struct Installed
    {
        Installed();
        ~Installed();

        KitLookAndFeel look;
        juce::WeakReference<juce::LookAndFeel> previous;
    };

    juce::SharedResourcePointer<Installed> installed;
};
