#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

#include "controls/StsBut.h"

// A question covering the editor before something is overwritten: what will be
// lost, a button that goes ahead and CANCEL, which is also what Return and
// Escape answer. It reports once; the owner hides and deletes it.
class AskPanel : public juce::Component,
                 private stsbutChangeListener
{
public:
    AskPanel (const juce::String& question, const juce::String& detail, const juce::String& goAheadText);
    ~AskPanel() override;

    std::function<void (bool goAhead)> onAnswer;

    const juce::String& getQuestion() const noexcept { return question; }
    StsBut& getCancelButton() noexcept               { return cancel; }
    void answer (bool go);

    void paint (juce::Graphics&) override;
    void resized() override;
    bool keyPressed (const juce::KeyPress&) override;
    void mouseDown (const juce::MouseEvent&) override {}

private:
    void stsbutChanged (StsBut*) override;
    juce::Rectangle<int> box() const;

    juce::String question, detail;
    StsBut goAhead, cancel { "CANCEL", 0, StsBut::dialogButton };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AskPanel)
};
