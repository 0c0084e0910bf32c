#include "controls/Envel.h"
#include "controls/Artwork.h"
#include <cmath>

Envel::Envel (juce::Component*)
    : background (Artwork::get (Artwork::envBack)),
      overlay (Artwork::get (Artwork::envOverlay))
{
    setSize (218, 73);
    setBufferedToImage (true);
    setOpaque (true);
    rebuildPath();
}

void Envel::rebuildPath()
{
    px[0] = xOrigin;
    px[1] = px[0] + scale * attack;
    px[2] = px[1] + scale * decay;
    px[3] = px[2] + scale * 100.0f;   // a fixed stretch for the sustain
    px[4] = px[3] + scale * release;

    py[0] = py[4] = top + graphHeight;
    py[1] = top;
    py[2] = py[3] = top + graphHeight - scale * sustain;

    path.clear();
    path.startNewSubPath (px[0] * zoom, py[0] * zoom);
    for (int i = 1; i < 5; ++i)
        path.lineTo (px[i] * zoom, py[i] * zoom);
    path.closeSubPath();
}

void Envel::resized()
{
    rebuildPath();
}

int Envel::hitHandle (int xi, int yi) const
{
    const float r = 7.0f, z = zoom, x = (float) xi, y = (float) yi;
    auto within = [] (float v, float lo, float hi) { return lo < v && v < hi; };

    if (within (x, (px[1] - r) * z, (px[1] + r) * z) && within (y, (py[1] - r) * z, (py[1] + r) * z)) return 0;
    if (within (x, (px[4] - r) * z, (px[4] + r) * z) && within (y, (py[4] - r) * z, (py[4] + r) * z)) return 2;
    if (within (x, (px[2] - r) * z, (px[3] + r) * z) && within (y, (py[2] - r) * z, (py[2] + r) * z)) return 1;
    return -1;
}

void Envel::paint (juce::Graphics& g)
{
    const float z = zoom;
    g.fillAll (juce::Colour (0xFF232323));
    g.drawImage (background, juce::Rectangle<float> (4 * z, 5 * z, 218 * z, 73 * z), juce::RectanglePlacement::stretchToFit);

    g.setColour (juce::Colour (0x66CDCDCD));
    g.fillPath (path);
    g.setColour (juce::Colour (0xFFCCCCCC));
    g.strokePath (path, juce::PathStrokeType (1.1f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));

    g.setColour (juce::Colours::black.withAlpha (0.2f));
    g.drawImage (overlay, (int) (4 * z), (int) (5 * z), (int) (218 * z), (int) (73 * z),
                 0, 0, overlay.getWidth(), overlay.getHeight(), true);
}

void Envel::mouseMove (const juce::MouseEvent& e)
{
    setMouseCursor (hitHandle (e.x, e.y) >= 0 ? juce::MouseCursor::CrosshairCursor
                                              : juce::MouseCursor::NormalCursor);
}

void Envel::mouseDown (const juce::MouseEvent& e)
{
    dragging = false;

    if (e.mods.isPopupMenu() || zoom < clickThreshold)
    {
        changeCode = passedToPanel;
        sendChangeMessage();
        return;
    }

    grabbedHandle = hitHandle (e.x, e.y);
    if (grabbedHandle < 0)
        return;

    downX = lastX = e.x;
    downY = lastY = e.y;
    startAttack = attack;
    startDecay = decay;
    startSustain = sustain;
    startRelease = release;
    dragging = true;
    changeCode = grabbed;
    sendChangeMessage();
}

void Envel::mouseDrag (const juce::MouseEvent& e)
{
    if (! dragging || ! e.mods.isLeftButtonDown())
        return;

    attackChanged = decayChanged = sustainChanged = releaseChanged = false;
    valueText = " ";
    bool any = false;

    if (e.x != lastX)
    {
        const float dx = std::nearbyint ((float) (e.x - downX) / 1.5f);
        float* value = grabbedHandle == 0 ? &attack : grabbedHandle == 1 ? &decay : &release;
        const float start = grabbedHandle == 0 ? startAttack : grabbedHandle == 1 ? startDecay : startRelease;
        const float next = juce::jlimit (0.0f, 127.0f, start + dx);

        if (next != *value)
        {
            *value = next;
            (grabbedHandle == 0 ? attackChanged : grabbedHandle == 1 ? decayChanged : releaseChanged) = true;
            valueText = juce::String ((int) next);
            any = true;
        }
    }

    if (e.y != lastY && grabbedHandle == 1)
    {
        const float dy = std::nearbyint ((float) (downY - e.y) / 1.5f);
        const float next = juce::jlimit (0.0f, 127.0f, startSustain + dy);

        if (next != sustain)
        {
            sustain = next;
            sustainChanged = true;
            valueText << " , " << (int) next;
            any = true;
        }
    }

    lastX = e.x;
    lastY = e.y;

    if (any)
    {
        attack = std::trunc (attack);
        decay = std::trunc (decay);
        sustain = std::trunc (sustain);
        release = std::trunc (release);
        rebuildPath();
        repaint();
        changeCode = valuesChanged;
        sendChangeMessage();
    }
}

void Envel::mouseUp (const juce::MouseEvent& e)
{
    if (! e.mods.isPopupMenu())
    {
        dragging = false;
        startTimer (100);
    }
}

void Envel::timerCallback()
{
    stopTimer();
    changeCode = released;
    sendChangeMessage();
}
