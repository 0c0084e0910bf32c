#include "editor/KeyOverlay.h"
#include "editor/PianoKey.h"

KeyOverlay::KeyOverlay()
{
    setOpaque (false);
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
}

int KeyOverlay::keyAt (int x, int y) const
{
    const int count = juce::jmin (keyCount, keys.size());
    if (count < 2)
        return -1;

    if (y >= keys[1]->getHeight())
    {
        int found = -1;
        for (int i = 0; i < count; ++i)
            if (keys[i]->getKind() == 0 && keys[i]->getX() <= x)
                found = i;
        return found;
    }

    int found = 0;
    for (int i = 0; i < count; ++i)
        if (keys[i]->upperLeft <= (float) x)
            found = i;
    return found;
}

void KeyOverlay::mouseDown (const juce::MouseEvent& e)
{
    const int k = keyAt (e.x, e.y);
    if (juce::isPositiveAndBelow (k, juce::jmin (keyCount, keys.size())))
        keys[k]->press (e.y);
    // The glide starts from the key pressed here, not from the last one.
    dragKey = k;
}

void KeyOverlay::mouseDrag (const juce::MouseEvent& e)
{
    const int k = keyAt (e.x, e.y);
    if (! juce::isPositiveAndBelow (k, juce::jmin (keyCount, keys.size())) || k == dragKey)
        return;

    if (juce::isPositiveAndBelow (dragKey, keys.size()))
        keys[dragKey]->release();
    keys[k]->press (e.y);
    dragKey = k;
}

void KeyOverlay::mouseUp (const juce::MouseEvent&)
{
    for (auto* key : keys)
        key->release();
    dragKey = -1;
}
