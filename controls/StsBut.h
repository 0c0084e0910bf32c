#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/ListenerSet.h"

class StsBut;

// Told when a button was clicked; read the source's id to tell buttons apart.
class stsbutChangeListener
{
public:
    virtual ~stsbutChangeListener() = default;
    virtual void stsbutChanged (StsBut* source) = 0;
};

// The kit's push button in five looks. A listener may delete the button from
// its callback (a dialog's CANCEL): the button touches nothing of itself after
// notifying.
class StsBut : public juce::Component,
               private juce::Button::Listener,
               public ListenerSet<stsbutChangeListener>
{
public:
    enum Style
    {
        functionButton = 130,
        sectionTab     = 135,
        dialogButton   = 140,
        checkEntry     = 1,
        flatButton     = 5
    };

    StsBut (const juce::String& caption, int id, int style);
    ~StsBut() override;

    void setBoundsAndStyle (int x, int y, int width, int height, bool apply);
    void setTopLeft (int x, int y);

    int getId() const noexcept                       { return id; }
    bool isPressed() const noexcept                  { return pressed; }
    // A click from the keyboard (Return or Escape in a box): the listeners hear it as a click.
    void click()                                     { notify(); }

    // A glass button on a known plain colour paints that colour, its glass and
    // its caption as one opaque picture; transparent (the default) blends them.
    void setBackdrop (juce::Colour);
    juce::TextButton* getChildButton() const noexcept { return child.get(); }

    const juce::String& getCaption() const noexcept  { return caption; }
    // The caption's font: narrowed, then lowered, where the caption is wider than the button.
    juce::Font captionFont() const;

    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

private:
    struct Glass;

    void buttonClicked (juce::Button*) override;
    void notify();
    void paintGlass (juce::Graphics&);
    void paintCaption (juce::Graphics&);

    int x = 0, y = 0, width = 0, height = 0;
    juce::String caption;
    const int id;
    juce::Colour bevelA, bevelB, face, pressedFace;
    juce::Colour textColour, pressedTextColour;
    const int style;
    float fontHeight = 13.0f;
    std::unique_ptr<juce::TextButton> child;
    juce::Colour backdrop;
    bool pressed = false;
    juce::Image checkImage, checkPressedImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsBut)
};
