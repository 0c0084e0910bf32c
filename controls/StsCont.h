#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/ListenerSet.h"
#include "controls/StsResor.h"
#include "engine/EngineListeners.h"

// Told on a mouse-down that selects the control's panel rather than operating it.
class StsContListener
{
public:
    virtual ~StsContListener() = default;
    virtual void stsContClicked (int tag) = 0;
};

// One device parameter of one layer on a section panel. A gesture only asks
// the edit entry for a value; what is shown changes when the engine's answer
// comes back through setValue.
class StsCont : public juce::Component,
                public ListenerSet<StsContListener>
{
public:
    enum Kind
    {
        dropDown    = 0,
        ledSwitch   = 1,
        knob        = 3,
        threeWay    = 12,
        centredLed  = 101
    };

    StsCont (CableListener& owner, int layer);
    ~StsCont() override;

    void setup (int parameterNumber, const juce::String& label, int x, int y, int width, int height,
                int minimum, int maximum, int kind, int displayType);
    void setTopLeftScaled (int x, int y);

    void requestValue (int value, bool endGestureNow);
    void setValue (int value, const juce::String& text);

    // Written by the section layouts and panels before they re-lay the control.
    int knobStyle = 0;
    float zoomFactor = 1.0f;

    static constexpr float clickThreshold = 0.6f;
    static constexpr int knobFrames = 61;

    int getKey() const noexcept              { return layer * 512 + parameterNumber; }
    int getLayer() const noexcept            { return layer; }
    int getParameterNumber() const noexcept  { return parameterNumber; }
    int getKind() const noexcept             { return kind; }
    int getDisplayType() const noexcept      { return displayType; }
    int getMinimum() const noexcept          { return minimum; }
    int getMaximum() const noexcept          { return maximum; }
    int getShownValue() const noexcept       { return shownValue; }
    // The next setValue or requestValue goes through even when it equals the shown value.
    void invalidateShownValue() noexcept     { valueShown = false; }
    int getRequestedValue() const noexcept   { return requestedValue; }
    int getKnobFrame() const noexcept        { return knobFrame; }
    const juce::String& getLabel() const noexcept     { return label; }
    const juce::String& getValueText() const noexcept { return valueText; }
    juce::Rectangle<float> getDesignBounds() const noexcept { return designBounds; }

    // The plain colour the control stands on, set by its panel where nothing else
    // lies beneath it: the control then paints it and is opaque. Transparent
    // (the default) when unknown.
    void setBackdrop (juce::Colour);
    juce::Colour getBackdrop() const noexcept { return backdrop; }

    // Knob frame for a value, 0 when the range is empty.
    static int frameForValue (int value, int minimum, int maximum) noexcept;

    // A drop-down's value text in its bar `whole`; a text too long for the field
    // left of the arrow is narrowed, then cut with an ellipsis.
    static void drawDropDownValue (juce::Graphics&, const juce::String& text, juce::Rectangle<int> whole,
                                   juce::Rectangle<int> field, juce::Font, juce::Colour);

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;

private:
    int clampValue (int value) const noexcept  { return juce::jmax (juce::jmin (value, maximum), minimum); }
    juce::Rectangle<int> scaled (int x, int y, int w, int h) const noexcept;
    void notifyClicked();
    void paintContent (juce::Graphics&);
    void drawLed (juce::Graphics&, int x, int y, bool lit) const;
    void drawGlow (juce::Graphics&, int x, int y, int w, int h) const;

    CableListener& owner;
    const int layer;
    int displayType = 0;
    int shownValue = 0;
    bool valueShown = false;   // the first setValue always shows its text, even for 0
    int parameterNumber = 0;
    int requestedValue = 0;
    int minimum = 0, maximum = 0;
    int tag = 0;
    juce::String label;
    juce::Rectangle<float> designBounds;
    juce::Image barImage, arrowImage, frameImage, ledImage;
    int dragStartValue = 0, mouseDownX = 0, mouseDownY = 0;
    int width = 0, height = 0;
    int kind = knob;
    juce::String valueText;
    bool dragging = false, menuArmed = false;
    int knobFrame = 0;
    juce::Colour backdrop;
    juce::SharedResourcePointer<StsResor> resources;   // held, so the artwork is not reloaded per paint

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsCont)
};
