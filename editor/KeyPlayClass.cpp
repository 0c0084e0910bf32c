#include "editor/KeyPlayClass.h"
#include "controls/KitFonts.h"
#include "controls/TextEntry.h"
#include "engine/EngineEvent.h"
#include "engine/MidiCntrState.h"
#include "engine/ParDes.h"

namespace
{
constexpr char noteLetters[] = "zsxdcvgbhnjm";

int semitoneOf (int c)
{
    for (int i = 0; i < 12; ++i)
        if (noteLetters[i] == c)
            return i;
    return -1;
}
}

KeyPlayClass::KeyPlayClass (MidiCntrState* e, int owner)
    : engine (e), ownerId (owner)
{
    letterNote.fill (-1);
    isKeyDown = [] (int code)
    {
        // Linux reports letters by their typed (lower-case) character.
        return juce::KeyPress::isKeyCurrentlyDown (code)
            || juce::KeyPress::isKeyCurrentlyDown (juce::CharacterFunctions::toLowerCase ((juce::juce_wchar) code));
    };
    setSize (10, 10);
    setWantsKeyboardFocus (true);
}

KeyPlayClass::~KeyPlayClass()
{
    releaseAll();
}

juce::String KeyPlayClass::noteName (int n)
{
    return ParDes::noteName (n);
}

void KeyPlayClass::setStatusText (const juce::String& text)
{
    statusText = text;
    repaint();
    startTimer (750);
}

void KeyPlayClass::timerCallback()
{
    stopTimer();
    statusText.clear();
    repaint();
}

bool KeyPlayClass::keyPressed (const juce::KeyPress& key)
{
    // While a name is being typed every key is the name's, even when the
    // toolkit's focus stayed with us.
    if (TextEntry::routeKey (key, *this))
        return true;

    const int code = key.getKeyCode();

    if (code == juce::KeyPress::leftKey || code == juce::KeyPress::rightKey
        || code == juce::KeyPress::upKey || code == juce::KeyPress::downKey
        || code == juce::KeyPress::F7Key || code == juce::KeyPress::F8Key || code == juce::KeyPress::F9Key)
        return true;

    if (code > 255 || code < 0)
        return false;

    // Letters arrive upper-case on some systems and as typed on others.
    const int c = code == ' ' ? ' ' : (int) juce::CharacterFunctions::toLowerCase ((juce::juce_wchar) code);
    if (handleKey (c))
        return true;

    if (code >= '0' && code <= '9')
    {
        if (ownerId == keyboardPanelOwner && engine != nullptr)
            engine->postCommand (EngineEvent::make (EngineEvent::keyboardCommand, 726 + code - '0'));
        return true;
    }
    return false;
}

bool KeyPlayClass::handleKey (int c)
{
    if (c == ' ')
    {
        for (int n = 0; n < 128; ++n)
            noteOff (n);
        letterNote.fill (-1);
        setStatusText ("All Notes OFF");
        return true;
    }

    if (const int semitone = semitoneOf (c); semitone >= 0)
    {
        playNote (semitone);
        return true;
    }

    switch (c)
    {
        case 'o': if (baseNote > 0)   baseNote -= 12; break;
        case 'p': if (baseNote < 115) baseNote += 12; break;
        // A note-on of velocity 0 is a note-off, so the bottom step stops at 1.
        case 'i': velocity = juce::jmin (125, velocity + 5); break;
        case 'u': velocity = juce::jmax (1, velocity - 5);   break;
        default:  return false;
    }

    if (c == 'o' || c == 'p')
        setStatusText ("Octave " + juce::String (baseNote / 12 - 2));
    else
        setStatusText ("Note Velocity: " + juce::String (velocity));
    return true;
}

void KeyPlayClass::playNote (int semitone)
{
    const int note = baseNote + semitone;
    if (note > 127 || letterNote[(size_t) semitone] >= 0 || held[(size_t) note] != 0)
        return;   // auto-repeat, or that note sounds already

    const int channel = engine != nullptr ? engine->getMidiChannel() : 1;
    held[(size_t) note] = (juce::uint8) juce::jlimit (1, 255, channel);
    letterNote[(size_t) semitone] = note;
    if (engine != nullptr)
        engine->sendNoteOn (channel, note, velocity);
    setStatusText ("Play Chn: " + juce::String (channel) + " Key: " + noteName (note) + " Vel: " + juce::String (velocity));
}

void KeyPlayClass::noteOff (int note)
{
    if (! juce::isPositiveAndBelow (note, 128))
        return;
    const int startedOn = held[(size_t) note];
    held[(size_t) note] = 0;
    if (engine != nullptr)
        engine->sendNoteOff (startedOn != 0 ? startedOn : engine->getMidiChannel(), note);
}

bool KeyPlayClass::keyStateChanged (bool)
{
    bool used = false;
    for (int i = 0; i < 12; ++i)
    {
        const int note = letterNote[(size_t) i];
        if (note >= 0 && ! isKeyDown (juce::CharacterFunctions::toUpperCase ((juce::juce_wchar) noteLetters[i])))
        {
            letterNote[(size_t) i] = -1;
            if (held[(size_t) note] != 0)
                noteOff (note);
            used = true;
        }
    }
    return used;
}

void KeyPlayClass::focusLost (FocusChangeType)
{
    // Key releases after this never reach us.
    releaseAll();
}

void KeyPlayClass::releaseAll()
{
    for (int i = 0; i < 12; ++i)
        if (const int note = letterNote[(size_t) i]; note >= 0)
        {
            letterNote[(size_t) i] = -1;
            if (held[(size_t) note] != 0)
                noteOff (note);
        }
}

void KeyPlayClass::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);
    g.setColour (textColour);
    g.setFont (kitFont (fontHeight));
    g.drawText (statusText, 0, 0, 400, getHeight(), juce::Justification::centredLeft, true);
}

void KeyPlayClass::mouseDown (const juce::MouseEvent& e)
{
    TextEntry::release (*this);   // a click on the strip takes the keyboard back from a name box
    grabKeyboardFocus();
    const int x = e.x + getX(), y = e.y + getY();
    listeners.call ([x, y] (KeyPlayListener& l) { l.keyPlayMouseDown (x, y); });
}

void KeyPlayClass::mouseDrag (const juce::MouseEvent& e)
{
    const int x = e.x + getX(), y = e.y + getY();
    listeners.call ([x, y] (KeyPlayListener& l) { l.keyPlayMouseDrag (x, y); });
}

void KeyPlayClass::mouseUp (const juce::MouseEvent& e)
{
    const int x = e.x + getX(), y = e.y + getY();
    listeners.call ([x, y] (KeyPlayListener& l) { l.keyPlayMouseUp (x, y); });
}
