#include "controls/WinMovCan.h"
#include "controls/Artwork.h"

WinMovCan::WinMovCan (bool a, bool b)
    : picture (Artwork::get (Artwork::windowTools)), modeA (a), modeB (b)
{
    if (isCloseOnly())
        setSize (17, 30);
    else
        setSize (54, 30);
}

int WinMovCan::zoneAt (int x) const noexcept
{
    if (x < minimiseEnd)    return minimiseCode;
    if (x <= fullScreenEnd) return fullScreenCode;
    return closeCode;
}

int WinMovCan::getHoveredZone() const noexcept
{
    return hoverMinimise ? minimiseCode : hoverFullScreen ? fullScreenCode : hoverClose ? closeCode : 0;
}

void WinMovCan::paint (juce::Graphics& g)
{
    if (isCloseOnly())
    {
        g.drawImage (picture, 0, 0, 17, 15, 36, 0, 17, 15);
        return;
    }

    if (! isStrip())
        return;

    g.drawImage (picture, 0, 0, 54, 15, 0, 0, 54, 15);

    if (hoverMinimise)   g.drawImage (picture, 0, 0, 20, 16, 0, 16, 20, 16);
    if (hoverFullScreen) g.drawImage (picture, 20, 0, 15, 16, 20, 16, 15, 16);
    if (hoverClose)      g.drawImage (picture, 37, 0, 17, 16, 37, 16, 17, 16);
}

void WinMovCan::mouseMove (const juce::MouseEvent& e)
{
    if (! isStrip())
        return;

    const int zone = zoneAt (e.x);
    if (zone == getHoveredZone())
        return;

    hoverMinimise = zone == minimiseCode;
    hoverFullScreen = zone == fullScreenCode;
    hoverClose = zone == closeCode;
    repaint();
}

void WinMovCan::mouseExit (const juce::MouseEvent&)
{
    hoverMinimise = hoverFullScreen = hoverClose = false;
    repaint();
}

void WinMovCan::mouseDown (const juce::MouseEvent& e)
{
    if (isStrip())
        pressCode = zoneAt (e.x);
    else if (isCloseOnly())
        pressCode = closeCode;
}

void WinMovCan::mouseUp (const juce::MouseEvent& e)
{
    if (isCloseOnly())
    {
        releaseCode = closeCode;
        report (closeCode);
        return;
    }

    if (! isStrip())
        return;

    if (e.x < 0 || e.x > getWidth() || e.y < 0 || e.y > getHeight())
        return;

    releaseCode = zoneAt (e.x);
    if (releaseCode == pressCode)
        report (releaseCode);
}

// A close may delete this strip: stop as soon as it is gone.
void WinMovCan::report (int code)
{
    listeners.callChecked (juce::Component::BailOutChecker (this),
                           [this, code] (winToolListener& l) { l.windowToolClicked (this, code); });
}
