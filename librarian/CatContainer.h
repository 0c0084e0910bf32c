#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/ListenerSet.h"
#include "controls/ListenerInterfaces.h"
#include "controls/SimpleLabel.h"
#include "controls/StBut.h"

// The grid of 27 category buttons of the library page (categories 0-25 and
// "LIST ALL"), each with a count label under it that the page fills.
class CatContainer : public juce::Component,
                     public juce::ChangeListener,
                     public ListenerSet<CatListener>
{
public:
    static constexpr int numButtons = 27;
    static constexpr int listAll = 26;

    CatContainer();
    ~CatContainer() override;

    void layoutButtons();

    StBut& button (int i)                       { return *buttons[juce::jlimit (0, numButtons - 1, i)]; }
    SimpleLabel& countLabel (int i)             { return *labels[juce::jlimit (0, numButtons - 1, i)]; }

    juce::Colour backgroundColour { 0xff373535 };

    void paint (juce::Graphics&) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    juce::OwnedArray<SimpleLabel> labels;
    juce::OwnedArray<StBut> buttons;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CatContainer)
};
