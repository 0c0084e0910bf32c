#include "editor/PianoKey.h"
#include "controls/StsResor.h"
#include "engine/MidiCntrState.h"

PianoKey::PianoKey (MidiCntrState* e, int i, int k)
    : engine (e), index (i), kind (k)
{
    setOpaque (true);
}

PianoKey::~PianoKey()
{
    release();
}

int PianoKey::velocityForClick (int keyKind, int y)
{
    if (y > 152)
        return -1;
    const int v = keyKind == 0 ? juce::jmax (0, y - 52) : (y > 100 ? 127 : y);
    return juce::jlimit (5, 127, (int) ((float) v * 1.27f));
}

void PianoKey::press (int y)
{
    if (pressed || engine == nullptr)
        return;

    int v = engine->getKeyboardVelocity();
    if (v < 6)
    {
        // Click height in the key's own design size, whatever the zoom.
        v = velocityForClick (kind, (int) ((float) y / juce::jmax (0.1f, zoom)));
        if (v < 0)
            return;
    }

    const int note = index + 12 * engine->getKeyboardOctave();
    if (note > 127)
        return;

    sentChannel = engine->getMidiChannel();
    engine->sendNoteOn (sentChannel, note, v);
    velocity = v;
    sentNote = note;
    pressed = true;
    startTimer (20);
}

void PianoKey::release()
{
    if (! pressed)
        return;

    // The note that was sent, where it was sent: octave and channel may have moved since.
    if (engine != nullptr)
        engine->sendNoteOff (sentChannel, sentNote);
    sentNote = -1;
    pressed = false;
    startTimer (30);
}

void PianoKey::timerCallback()
{
    stopTimer();
    if (pressed != shownPressed)
        repaint();
}

void PianoKey::paint (juce::Graphics& g)
{
    const auto& image = pictures->keyImage (kind == 1, pressed);
    const float w = kind == 1 ? 16.0f : 25.0f, h = kind == 1 ? 100.0f : 152.0f;
    if (image.isValid())
        g.drawImage (image, 0, 0, (int) (w * zoom), (int) (h * zoom), 0, 0, image.getWidth(), image.getHeight());
    else
        g.fillAll (kind == 1 ? juce::Colours::black : juce::Colours::white);
    shownPressed = pressed;
}
