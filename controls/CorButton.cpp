#include "controls/CorButton.h"
#include "controls/Artwork.h"

CorButton::CorButton()
    : image (Artwork::get (Artwork::cornerHandle))
{
    setSize (52, 14);
    setMouseCursor (juce::MouseCursor::UpDownResizeCursor);
}

void CorButton::paint (juce::Graphics& g)
{
    g.setColour (juce::Colours::black);
    g.drawImage (image, 0, 0, 50, 14, 0, 0, 50, 14);
    g.setFont (juce::Font ("Arial", 12.0f, juce::Font::plain));
    g.drawText (juce::String (percent) + "%", juce::Rectangle<int> (0, 0, 38, 14), juce::Justification::centred, true);
}

void CorButton::mouseMove (const juce::MouseEvent& e)
{
    setMouseCursor (e.x < handleStart ? juce::MouseCursor::NormalCursor : juce::MouseCursor::UpDownResizeCursor);
}

void CorButton::mouseDown (const juce::MouseEvent& e)
{
    if (e.x < handleStart)
    {
        state = idle;
        return;
    }

    state = armed;
    dx = dy = 0;
    changeCode = dragStarted;
    sendChangeMessage();
    downX = e.x;
    downY = e.y;
}

void CorButton::mouseDrag (const juce::MouseEvent& e)
{
    if (state != armed)
        return;

    dx = e.x - downX;
    dy = e.y - downY;
    changeCode = dragging;
    reportedWidth = baseWidth - dx;
    reportedHeight = baseHeight + dy;
    sendChangeMessage();
    lastWidth = reportedWidth;
    lastHeight = reportedHeight;
}

void CorButton::mouseUp (const juce::MouseEvent&)
{
    if (state != armed)
        return;

    changeCode = dragEnded;
    reportedWidth = baseWidth - dx;
    reportedHeight = baseHeight + dy;
    sendChangeMessage();
}
