#include "controls/Check_But.h"
#include "controls/Artwork.h"
#include "controls/KitFonts.h"

Check_But::Check_But()
    : checkedImage (Artwork::get (Artwork::checkOn)),
      uncheckedImage (Artwork::get (Artwork::checkOff)),
      pressedImage (Artwork::get (Artwork::checkPressed))
{
    setSize (30, 30);
}

void Check_But::mouseDown (const juce::MouseEvent&)
{
    pressed = true;
    checked = ! checked;
    repaint();
    sendChangeMessage();
}

void Check_But::mouseUp (const juce::MouseEvent&)
{
    pressed = false;
    repaint();
}

void Check_But::drawCaption (juce::Graphics& g, int x, int y) const
{
    g.setColour (captionColour);
    g.setFont (kitFont (captionHeight));
    g.drawText (caption, x, y, 300, 15, juce::Justification::centredLeft, true);
}

void Check_But::paint (juce::Graphics& g)
{
    const auto& image = pressed ? pressedImage : (checked ? checkedImage : uncheckedImage);
    g.setColour (juce::Colours::black);
    g.drawImage (image, 2, 2, 20, 11, 0, 0, image.getWidth(), image.getHeight());

    if (captionOnItself)
        drawCaption (g, 30, 0);
}

void Check_But::paintLabelOnParent (juce::Graphics& g)
{
    if (! captionOnItself)
        drawCaption (g, getX() + 30, getY());
}
