#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MidiCntrState;

// One widget of the global settings page: a value pop-up, a toggle or a knob
// editing one byte of the engine's device globals block, sent at once as
// NRPN 1024 + id.
class GlbCont : public juce::Component
{
public:
    enum Kind { popUp = 0, toggle = 1, knob = 3 };
    static constexpr int numSettings = 26;

    struct Layout
    {
        const char* label;
        int kind, maximum;
        int x, y, w, h;   // x -1000: hidden
    };
    static const Layout& layout (int id);

    explicit GlbCont (MidiCntrState* engine);

    void setup (int id);
    void setValue (int value);
    int getValue() const;   // the signed byte of the globals block
    int getId() const noexcept                { return id; }
    int getKind() const noexcept              { return kind; }
    int getMaximum() const noexcept           { return maximum; }

    static juce::String settingLabel (int id);
    static juce::String valueText (int id, int value);
    static int knobFrame (int value, int maximum);

    juce::PopupMenu buildValueMenu() const;
    void applyMenuResult (int result);
    void showValueMenu();

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;

private:
    MidiCntrState* engine;
    int id = 0, minimum = 0, maximum = 1;
    juce::Image body, arrow, frame, strip;
    int downValue = 0, kind = popUp;
    bool dragging = false, popUpPending = false;
    int downX = 0, downY = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GlbCont)
};
