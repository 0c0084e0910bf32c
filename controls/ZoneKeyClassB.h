#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The large split-note picker of the opened AB MODE panel. Change code 65: a
// note was picked (press or release); 68: a note is being dragged over.
class ZoneKeyClassB : public juce::Component,
                      public juce::ChangeBroadcaster
{
public:
    enum Code { picked = 65, dragged = 68 };

    ZoneKeyClassB();

    float zoom = 1.0f;
    int changeCode = 0;
    int noteCount = 127;

    int getNote() const noexcept   { return note; }
    void setNote (int n);          // writes the note and its shown copy
    int noteAt (int x) const noexcept;

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

private:
    void pick (int x, int code);

    bool dragging = false;
    int note = 0, shownNote = 0;
    juce::Image picture;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZoneKeyClassB)
};
