#include "editor/AboutPanel.h"
#include "controls/Artwork.h"
#include "controls/KitFonts.h"

AboutPanel::AboutPanel (int parentWidth, int autoCloseMs)
    : box ((parentWidth - 460) / 2, 150, 460, 260),
      splash (Artwork::get (Artwork::splash)),
      lower (Artwork::get (Artwork::aboutLower))
{
    if (autoCloseMs >= 1)
    {
        timerRunning = true;
        startTimer (autoCloseMs);
    }
}

AboutPanel::~AboutPanel()
{
    stopTimer();
}

void AboutPanel::centreBox()
{
    box.setPosition ((getWidth() - 460) / 2, (getHeight() - 260) / 3);
    repaint();
}

void AboutPanel::stop()
{
    timerRunning = false;
    stopTimer();
}

void AboutPanel::timerCallback()
{
    stop();
    sendChangeMessage();
}

void AboutPanel::mouseDown (const juce::MouseEvent&)
{
    sendChangeMessage();
}

void AboutPanel::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xAA000000));

    g.setOpacity (1.0f);
    if (splash.isValid())
        g.drawImage (splash, box.getX(), box.getY(), 460, 260, 0, 0, 467, 300);

    g.setColour (juce::Colour::fromRGB (220, 220, 220));
    g.setFont (kitFont (15.0f));
    g.drawText (versionText(), box.getX() + 36, box.getY() + 100, 200, 30, juce::Justification::centredLeft, true);

    if (lower.isValid())
        g.drawImage (lower, box.getX() + 34, box.getY() + 280, 389, 162, 0, 0, 389, 162);
}
