#include "editor/AskPanel.h"
#include "controls/KitFonts.h"

AskPanel::AskPanel (const juce::String& q, const juce::String& d, const juce::String& goAheadText)
    : question (q), detail (d), goAhead (goAheadText, 1, StsBut::dialogButton)
{
    setWantsKeyboardFocus (true);
    for (auto* b : { &goAhead, &cancel })
    {
        b->setBoundsAndStyle (0, 0, 90, 18, true);
        b->addListener (this);
        addAndMakeVisible (*b);
    }
}

AskPanel::~AskPanel()
{
    goAhead.removeListener (this);
    cancel.removeListener (this);
}

juce::Rectangle<int> AskPanel::box() const
{
    return juce::Rectangle<int> (0, 0, 460, 150).withCentre (getLocalBounds().getCentre());
}

void AskPanel::resized()
{
    const auto b = box();
    goAhead.setTopLeft (b.getCentreX() - 100, b.getBottom() - 34);
    cancel.setTopLeft (b.getCentreX() + 10, b.getBottom() - 34);
}

void AskPanel::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xB0000000));
    const auto b = box();
    g.setColour (juce::Colour (0xFF191919));
    g.fillRect (b);
    g.setColour (juce::Colour (0xFF5A5A5A));
    g.drawRect (b, 1);

    g.setColour (juce::Colours::white);
    g.setFont (kitFont (17.0f, juce::Font::bold));
    g.drawFittedText (question, b.getX() + 16, b.getY() + 14, b.getWidth() - 32, 24, juce::Justification::centred, 1);
    g.setColour (juce::Colour (0xFFC8C8C8));
    g.setFont (kitFont (13.0f));
    g.drawFittedText (detail, b.getX() + 16, b.getY() + 44, b.getWidth() - 32, 56, juce::Justification::centred, 3);
}

bool AskPanel::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress::returnKey || key == juce::KeyPress::escapeKey)
    {
        answer (false);
        return true;
    }
    return false;
}

void AskPanel::answer (bool go)
{
    // The owner deletes this panel from its answer: call a copy, touch nothing after.
    auto call = onAnswer;
    onAnswer = nullptr;
    if (call != nullptr)
        call (go);
}

void AskPanel::stsbutChanged (StsBut* source)
{
    answer (source == &goAhead);
}
