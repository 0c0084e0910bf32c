#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/ListenerInterfaces.h"

// The text button of the library page, the preset bank window and the entry box.
// It acts on mouse-down; a listener may delete the button from its callback.
class LibBut : public juce::Component
{
public:
    LibBut (const juce::String& text, int id, float fontHeight);

    void setTopLeft (int x, int y);
    void addListener (LibButListener* listener);
    void removeListener (LibButListener* listener);

    void setText (const juce::String& newText)      { text = newText; repaint(); }
    const juce::String& getText() const noexcept    { return text; }
    int getId() const noexcept                      { return id; }

    juce::String helpText;   // the owner's tooltip, shown in its help line

    void paint (juce::Graphics&) override;
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    // A click from the keyboard (Return or Escape in a box).
    void click();

private:
    template <typename Callback> void fire (Callback&&);

    juce::ListenerList<LibButListener> listeners;
    juce::CriticalSection listenerLock;
    juce::String text;
    int id;
    float fontHeight;
    juce::Image body, rightEnd;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LibBut)
};
