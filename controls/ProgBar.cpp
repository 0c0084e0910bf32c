#include "controls/ProgBar.h"

ProgBar::ProgBar (int overlayWidth, int overlayHeight)
    : boxX (juce::jmax (0, (overlayWidth - 400) / 2)), boxY (juce::jmax (0, (overlayHeight - 40) / 2))
{
    setSize (overlayWidth, overlayHeight);

    addAndMakeVisible (track);
    track.setBounds (boxX, boxY, 384, 24);
    track.setColour (juce::TextButton::buttonColourId, juce::Colour (0xFF767681));
    track.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xFF9B9BA6));

    addAndMakeVisible (fill);
    fill.setBounds (boxX, boxY, 0, 24);
    fill.setConnectedEdges (juce::Button::ConnectedOnRight);
    fill.setColour (juce::TextButton::buttonColourId, juce::Colour (0xFF37A6C8));
    fill.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xFF113F48));

    addAndMakeVisible (label);
    label.setBounds (boxX, boxY + 40, 88, 24);
    label.setText ("-", juce::dontSendNotification);
    label.setFont (juce::Font ("Arial", 18.0f, juce::Font::bold));
    label.setJustificationType (juce::Justification::centred);
    label.setEditable (false);
    label.setColour (juce::Label::textColourId, juce::Colour (0xFFFCF5F5));

    addAndMakeVisible (cancel);
    cancel.setBoundsAndStyle (boxX + 319, boxY + 40, 60, 24, true);
}

// The box stays in the middle of whatever the overlay covers, so CANCEL is in
// reach after the window shrinks.
void ProgBar::resized()
{
    const int x = juce::jmax (0, (getWidth() - boxWidth) / 2), y = juce::jmax (0, (getHeight() - boxHeight) / 2);
    if (x == boxX && y == boxY)
        return;
    boxX = x;
    boxY = y;
    track.setBounds (boxX, boxY, 384, 24);
    fill.setBounds (boxX, boxY, value * 3, 24);
    label.setBounds (boxX, boxY + 40, 88, 24);
    cancel.setBoundsAndStyle (boxX + 319, boxY + 40, 60, 24, true);
}

void ProgBar::setProgress (int progress, const juce::String& progressText)
{
    value = juce::jlimit (minimum, juce::jmax (minimum, maximum), progress);
    text = progressText;
    label.setText (progressText, juce::dontSendNotification);
    fill.setBounds (fill.getX(), fill.getY(), value * 3, 24);
}

void ProgBar::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xAA000000));

    g.setColour (juce::Colour (0xFF050606));
    g.fillRoundedRectangle (track.getBounds().toFloat(), 10.0f);
    g.fillRoundedRectangle (label.getBounds().toFloat(), 5.0f);
    g.fillRoundedRectangle (track.getBounds().toFloat(), 10.0f);
    g.setColour (juce::Colours::black);
    g.fillRect (cancel.getBounds());
}
