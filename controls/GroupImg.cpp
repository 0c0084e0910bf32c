#include "controls/GroupImg.h"

GroupImg::GroupImg (juce::Colour c)
    : colour (c)
{
    setBounds (-100, -100, 2, 2);
    setVisible (false);
}

void GroupImg::show (int milliseconds)
{
    shown = true;
    setVisible (true);
    setAlwaysOnTop (false);
    setAlwaysOnTop (true);
    toFront (false);

    // A timer left from an earlier timed show must not hide an untimed one.
    if (milliseconds > 0)
        startTimer (milliseconds);
    else
        stopTimer();

    repaint();
}

void GroupImg::hide()
{
    stopTimer();
    shown = false;
    setVisible (false);
    setBounds (-100, -100, 2, 2);
}

void GroupImg::timerCallback()
{
    hide();
}

void GroupImg::paint (juce::Graphics& g)
{
    if (shown)
        g.fillAll (colour);
}

void GroupImg::mouseDown (const juce::MouseEvent&)
{
    sendChangeMessage();
}
