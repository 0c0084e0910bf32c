#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class PianoKey;

// A transparent layer over the keys that finds the key under the pointer and
// plays it, so a glide across the keys plays each in turn.
class KeyOverlay : public juce::Component
{
public:
    KeyOverlay();

    juce::Array<PianoKey*> keys;   // not owned
    int keyCount = 65;

    int keyAt (int x, int y) const;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

private:
    int dragKey = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KeyOverlay)
};
