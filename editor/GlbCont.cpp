#include "editor/GlbCont.h"
#include "controls/Artwork.h"
#include "controls/KitFonts.h"
#include "controls/StsCont.h"
#include "controls/UiSeam.h"
#include "engine/MidiCntrState.h"

namespace
{
constexpr int hidden = -1000;

const GlbCont::Layout settings[GlbCont::numSettings] = {
    { "Coarse",                 GlbCont::knob,   24,  44,     50,     64,  65 },
    { "Fine",                   GlbCont::knob,   100, 114,    50,     64,  65 },
    { "MIDI Channel:",          GlbCont::popUp,  16,  340,    50,     100, 30 },
    { "MIDI Clock Mode",        GlbCont::popUp,  3,   580,    50,     100, 30 },
    { "MIDI Clock Cable",       GlbCont::popUp,  2,   580,    78,     100, 30 },
    { "MIDI Param Send",        GlbCont::popUp,  2,   140,    128,    100, 30 },
    { "MIDI Param Recv.",       GlbCont::popUp,  3,   140,    162,    100, 30 },
    { "MIDI Controller Enable", GlbCont::toggle, 1,   410,    128,    40,  30 },
    { "MIDI SysEx Enable",      GlbCont::toggle, 1,   170,    196,    40,  30 },
    { "MIDI SysEx Cable",       GlbCont::popUp,  2,   140,    230,    100, 30 },
    { "MIDI Out Select",        GlbCont::popUp,  3,   140,    264,    100, 30 },
    { "Local Control",          GlbCont::toggle, 1,   hidden, hidden, 40,  30 },
    { "Audio Output",           GlbCont::popUp,  1,   340,    78,     100, 30 },
    { "Pot Mode",               GlbCont::popUp,  2,   620,    128,    100, 30 },
    { "Sustain Polarity",       GlbCont::popUp,  1,   620,    230,    100, 30 },
    { "Sustain Mode",           GlbCont::popUp,  1,   620,    264,    100, 30 },
    { "Pedal 1 Mode",           GlbCont::popUp,  5,   620,    162,    100, 30 },
    { "Pedal 2 Mode",           GlbCont::popUp,  5,   620,    196,    100, 30 },
    { "Pressure Enable",        GlbCont::toggle, 1,   410,    196,    40,  24 },
    { "Pressure Curve",         GlbCont::popUp,  3,   380,    264,    100, 30 },
    { "Velocity Curve",         GlbCont::popUp,  3,   380,    230,    100, 30 },
    { "",                       GlbCont::popUp,  1,   hidden, hidden, 40,  30 },
    { "Screen Server",          GlbCont::toggle, 1,   650,    298,    100, 30 },
    { "MIDI Arp Notes",         GlbCont::toggle, 1,   410,    162,    40,  24 },
    { "",                       GlbCont::popUp,  1,   hidden, hidden, 40,  30 },
    { "Alt. Tuning Scale:",     GlbCont::popUp,  16,  140,    298,    200, 30 },
};

const char* const clockModes[] = { "Internal", "Intr with send", "External", "Ext with send" };
const char* const clockCables[] = { "MIDI port", "USB" };
const char* const paramSend[] = { "NRPN", "CC", "OFF" };
const char* const paramRecv[] = { "All", "NRPN only", "CC only", "OFF" };
const char* const sysExCables[] = { "NONE", "MIDI Port", "USB" };
const char* const outSelect[] = { "OFF", "MIDI", "USB", "MIDI/USB" };
const char* const audioOut[] = { "Stereo", "Mono" };
const char* const potModes[] = { "Relative", "Pass Thru", "Jump" };
const char* const polarity[] = { "Normally Open", "Normally Closed" };
const char* const sustainModes[] = { "Sustain", "Arp Hold On/Off" };
const char* const pedalModes[] = { "Breath CC#2", "Foot Cnt CC#4", "Expression CC#11", "Master Volume", "LP Filter", "LP Filter Half" };
const char* const curves[] = { "Curve 1", "Curve 2", "Curve 3", "Curve 4" };
const char* const scales[] = {
    "1. 12-Tone Equal Temp", "2. Harmonic Series", "3. Brenvoll Harmonic 12 Tone", "4. Meantone Temperament",
    "5. 1/4-Tone Equal Temp", "6. 19-Tone Equal Temp", "7. 31-Tone Equal Temp", "8. Pythagorean C",
    "9. Just Inton in A with 7-limit Tritone at D#", "10. 3-5 Lattice in A", "11. 3-7 Lattice in A",
    "12. Other Music 7-Limit Black Keys in C", "13. Hadrune Pelog/Slendro", "14. Yamaha Just Major C",
    "15. Yamaha Just Minor C", "16. Quillanet 11-limit 43 Note Just Inton", "17. Arabic 12-Tone",
};

template <size_t N>
juce::String pick (const char* const (&names)[N], int value)
{
    return juce::isPositiveAndBelow (value, (int) N) ? juce::String (names[value]) : juce::String (value);
}
}

const GlbCont::Layout& GlbCont::layout (int i)
{
    return settings[juce::jlimit (0, numSettings - 1, i)];
}

GlbCont::GlbCont (MidiCntrState* e)
    : engine (e)
{
}

juce::String GlbCont::settingLabel (int i)
{
    return juce::isPositiveAndBelow (i, numSettings) ? juce::String (settings[i].label) : juce::String();
}

juce::String GlbCont::valueText (int i, int v)
{
    switch (i)
    {
        case 0:  return juce::String (v - 12);
        case 1:  return juce::String (v - 50);
        case 2:  return v == 0 ? juce::String ("ALL CHANNELS") : v <= 16 && v > 0 ? "CHANNEL " + juce::String (v) : v > 16 ? juce::String() : juce::String (v);
        case 3:  return pick (clockModes, v);
        case 4:  return pick (clockCables, v);
        case 5:  return pick (paramSend, v);
        case 6:  return pick (paramRecv, v);
        case 9:  return pick (sysExCables, v);
        case 10: return pick (outSelect, v);
        case 12: return pick (audioOut, v);
        case 13: return pick (potModes, v);
        case 14: return pick (polarity, v);
        case 15: return pick (sustainModes, v);
        case 16: return pick (pedalModes, v);
        case 19:
        case 20: return pick (curves, v);
        case 25: return v >= 17 && v <= 19 ? juce::String() : pick (scales, v);
        default: return juce::String (v);
    }
}

int GlbCont::knobFrame (int value, int max)
{
    if (max <= 0)
        return 0;
    const float f = (290.0f - (float) (max - value) * (290.0f / (float) max)) / 5.35f;
    // The strip holds 55 frames: anything outside them (a stray byte) stays at an end.
    return juce::jlimit (0, 54, juce::roundToInt (f));
}

void GlbCont::setup (int i)
{
    id = juce::jlimit (0, numSettings - 1, i);
    const auto& s = settings[id];
    kind = s.kind;
    maximum = s.maximum;

    if (kind == popUp)
    {
        body = Artwork::get (Artwork::dropBar);
        arrow = Artwork::get (Artwork::dropArrow);
        frame = Artwork::get (Artwork::dropFrame);
    }
    else if (kind == toggle)
        strip = Artwork::get (Artwork::led);
    else
        strip = Artwork::get (Artwork::globalKnobStrip);

    setBounds (s.x, s.y, s.w, s.h);
}

int GlbCont::getValue() const
{
    const int b = engine != nullptr ? engine->globalByte (id) : 0;
    return b > 127 ? b - 256 : b;
}

void GlbCont::setValue (int v)
{
    v = juce::jlimit (minimum, maximum, v);
    if (engine == nullptr)
        return;

    // The synthesizer listens there already: nothing to send, but the plug-in goes there too.
    if (v == getValue())
    {
        if (id == MidiCntrState::globalMidiChannel)
            engine->setMidiChannel (v);   // "all channels" (0) keeps the plug-in's
        return;
    }
    // Sent as NRPN, which also makes the next parameter edit name its own number.
    engine->setGlobalSetting (id, v);
    repaint();
}

juce::PopupMenu GlbCont::buildValueMenu() const
{
    juce::PopupMenu menu;
    for (int v = 0; v <= maximum; ++v)
        if (const auto text = valueText (id, v); text.isNotEmpty())
            menu.addItem (v + 1, text);
    return menu;
}

void GlbCont::applyMenuResult (int result)
{
    if (result > 0)
        setValue (result - 1);
}

void GlbCont::showValueMenu()
{
    UiSeam::showMenu (buildValueMenu(), this, [safe = juce::Component::SafePointer<GlbCont> (this)] (int result)
    {
        if (safe != nullptr)
            safe->applyMenuResult (result);
    });
}

void GlbCont::paint (juce::Graphics& g)
{
    const int value = getValue();
    const int w = getWidth(), h = getHeight();

    if (kind == popUp)
    {
        g.drawImage (body, 0, 0, 200, 18, 0, 0, 200, 18);
        g.drawImage (arrow, w - 14, 0, 14, 18, 0, 0, 14, 18);
        g.drawImage (frame, 0, 0, w, 18, 0, 0, 100, 17);
        StsCont::drawDropDownValue (g, valueText (id, value), { 0, 0, w, 20 }, { 2, 0, w - 16, 20 },
                                    kitFont (12.0f), juce::Colour (0xFFB6FFFD));
    }
    else if (kind == toggle)
    {
        if (value == 0 || value == 1)
            g.drawImage (strip, 4, 4, 20, 12, value * 20, 0, 20, 12);
        if (value == 1)
        {
            g.setColour (juce::Colour (0x33814141));
            g.fillEllipse (0.0f, 0.0f, 28.0f, 20.0f);
        }
    }
    else
    {
        const int index = knobFrame (value, maximum);
        g.drawImage (strip, w / 2 - 15, 0, 50, 50, 58 * index, 0, 56, 56);
        g.setColour (juce::Colours::white);
        g.setFont (kitFont (11.0f));
        g.drawText (valueText (id, value), 0, 9, w, h, juce::Justification::centred, true);
        g.setFont (kitFont (12.0f));
        g.drawText (settingLabel (id), 0, 26, w, h, juce::Justification::centred, true);
    }
}

void GlbCont::mouseDown (const juce::MouseEvent& e)
{
    downX = e.x;
    downY = e.y;
    if (kind == popUp)
        popUpPending = true;
    else if (kind == toggle)
        setValue (getValue() == 0 ? 1 : 0);
    else
    {
        downValue = getValue();
        dragging = true;
    }
}

void GlbCont::mouseDrag (const juce::MouseEvent& e)
{
    if (kind != knob || ! dragging)
        return;
    const int k = maximum < 30 ? 15 : 2;
    setValue ((e.x - downX) / k - (e.y - downY) / k + downValue);
}

void GlbCont::mouseUp (const juce::MouseEvent&)
{
    const bool show = kind == popUp && popUpPending;
    popUpPending = dragging = false;
    if (show)
        showValueMenu();
}

void GlbCont::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    if (wheel.deltaY > 0.0f)
        setValue (getValue() + 1);
    else if (wheel.deltaY < 0.0f)
        setValue (getValue() - 1);
}
