#include "editor/PianoPad.h"
#include "editor/KeyOverlay.h"
#include "editor/PianoKey.h"

namespace
{
constexpr int kindOf[12] = { 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0 };
constexpr int blackOffset[12] = { 25, 15, 25, 44, 25, 25, 90, 25, 116, 25, 142, 25 };
}

PianoPad::PianoPad (MidiCntrState* e)
    : engine (e)
{
    setOpaque (true);
    keyOverlay = std::make_unique<KeyOverlay>();
    addChildComponent (*keyOverlay);

    for (int i = 0; i < numKeys; ++i)
    {
        keys.push_back (std::make_unique<PianoKey> (engine, i, kindOf[i % 12]));
        addAndMakeVisible (*keys.back());
        keyOverlay->keys.add (keys.back().get());
    }
    keyOverlay->setVisible (true);
}

PianoPad::~PianoPad()
{
    keyOverlay->keys.clear();
}

void PianoPad::setScale (float z)
{
    zoom = z;
    const int w = (int) (25.0f * z), h = (int) (152.0f * z);
    setBounds ((int) (232.0f * z), (int) (20.0f * z), 38 * w, (int) (151.0f * z));

    int white = 0;
    for (auto& k : keys)
    {
        k->zoom = z;
        if (k->getKind() == 0)
        {
            k->setBounds (white * w, 0, w, h);
            k->upperLeft = (float) (white * w);
            ++white;
        }
    }

    for (size_t i = 0; i < keys.size(); ++i)
    {
        auto& k = *keys[i];
        if (k.getKind() != 1)
            continue;
        const int x = (int) ((float) blackOffset[i % 12] * z + (float) ((int) i / 12) * 7.0f * (float) w);
        const int bw = (int) (16.0f * z);
        k.setBounds (x, 0, bw, (int) (100.0f * z));
        k.upperLeft = (float) x;
        if (i + 1 < keys.size())
            keys[i + 1]->upperLeft = (float) x + (float) bw + 2.0f * z;
        k.toFront (false);
    }

    keyOverlay->setBounds (0, 0, getWidth(), h);
    keyOverlay->toFront (false);
    keyOverlay->keyCount = numKeys;
    repaint();
}

void PianoPad::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xFF111111));
}
