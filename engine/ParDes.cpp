#include "ParDes.h"
#include "controls/UiSeam.h"

namespace
{
template <size_t N>
juce::String pick (const char* const (&list)[N], int value)
{
    return value >= 0 && value < (int) N ? juce::String (list[value]) : juce::String();
}

const char* const layerModes[] = { "Normal", "Split A|B", "Stack A+B" };

const char* const arpModes[] = { "Up", "Down", "Up + Down", "Assign", "Random" };

const char* const octaves[] = { "1 Octave", "2 Octaves", "3 Octaves" };

const char* const arpClocks[] =
{
    "Half Note", "Quarter Note", "1/8", "1/8 Half Swing", "1/8 Full Swing", "1/8 Triplet",
    "1/16", "1/16 Half Swing", "1/16 Full Swing", "1/16 Triplet", "1/32", "32nd N",
    "32nd N T", "64th N T"
};

const char* const modDestinations[] =
{
    "Off", "Osc 1 Freq", "Osc 2 Freq", "Osc 3 Freq", "Osc 4 Freq", "Osc All Freq",
    "Osc 1 Level", "Osc 2 Level", "Osc 3 Level", "Osc 4 Level",
    "Osc 1 Shape Mod", "Osc 2 Shape Mod", "Osc 3 Shape Mod", "Osc 4 Shape Mod", "Osc All Shape Mod",
    "Sub Osc Level",
    "Osc 1 FM", "Osc 2 FM", "Osc 3 FM", "Osc 4 FM", "Osc All FM",
    "Osc 1 AM", "Osc 2 AM", "Osc 3 AM", "Osc 4 AM", "Osc All AM",
    "Osc 1 Slop", "Osc 2 Slop", "Osc 3 Slop", "Osc 4 Slop", "Osc All Slop",
    "Air", "Girth", "Hack", "Decimate", "Drive",
    "LPF Cutoff", "LPF Resonance", "HPF Cutoff", "HPF Resonance", "VCA", "Pan", "Pan Spread",
    "Feedback Amount", "Feedback Tuning",
    "Delay 1 Amount", "Delay 2 Amount", "Delay 3 Amount", "Delay 4 Amount",
    "Delay 1 Time", "Delay 2 Time", "Delay 3 Time", "Delay 4 Time", "Delay All Time",
    "Delay 1 Feedback", "Delay 2 Feedback", "Delay 3 Feedback", "Delay 4 Feedback",
    "Delay 1 Pan", "Delay 2 Pan", "Delay 3 Pan", "Delay 4 Pan",
    "LFO 1 Freq", "LFO 2 Freq", "LFO 3 Freq", "LFO 4 Freq",
    "LFO 1 Amount", "LFO 2 Amount", "LFO 3 Amount", "LFO 4 Amount",
    "LPF Env Amount", "Amp Env Amount", "Env 3 Amount", "Env 4 Amount",
    "LPF Env Attack", "Amp Env Attack", "Env 3 Attack", "Env 4 Attack", "All Env Attack",
    "LPF Env Decay", "Amp Env Decay", "Env 3 Decay", "Env 4 Decay", "All Env Decay",
    "LPF Env Release", "Amp Env Release", "Env 3 Release", "Env 4 Release", "All Env Release",
    "Mod 1 Amount", "Mod 2 Amount", "Mod 3 Amount", "Mod 4 Amount",
    "Mod 5 Amount", "Mod 6 Amount", "Mod 7 Amount", "Mod 8 Amount",
    "Mod 9 Amount", "Mod 10 Amount", "Mod 11 Amount", "Mod 12 Amount",
    "Mod 13 Amount", "Mod 14 Amount", "Mod 15 Amount", "Mod 16 Amount"
};
static_assert (sizeof (modDestinations) / sizeof (modDestinations[0]) == 105, "destinations run 0-104");

const char* const delaySyncs[] =
{
    "64th", "32nd", "32nd.", "16th", "16th.", "8th", "8th.", "1/4", "Dotted 1/4.", "1/2", "1/2.", "Whole"
};

const char* const glideModes[] = { "FixRate", "FixRate A", "FixTime", "FixTime A" };

const char* const lfoSyncs[] =
{
    "32nd Trip", "32nd", "16th Trip", "16th", "8th Trip", "8th ", "Qrtr Trip", "1 Qrtr",
    "Qrtr Dot", "1/2 Note", "3 Qrtr", "4 Qrtr", "6 Qrtr", "8 Qrtr", "16 Qrtr", "32 Qrtr"
};

const char* const lfoShapes[] =
{
    "Triangle", "Rev. Sawtooth", "Sawtooth", "Square", "Pulse 1", "Pulse 2", "Pulse 3", "Random"
};

const char* const oscShapes[] =
{
    "Off", "Sawtooth", "Pulse", "Triangle", "Sine", "Tines", "Mellow", "Church", "Muted", "Nasal",
    "Boing", "Gothic", "Ahhh", "Shrill", "Ohhhh", "Buzzzz", "Meh", "Red Noise", "White Noise", "Violet Noise"
};

const char* const waveShapes[] =
{
    "Tines", "Mellow", "Church", "Muted", "Nasal", "Boing", "Gothic", "Ahhh", "Shrill", "Ohhhh", "Buzzzz", "Meh"
};

const char* const modSources[] =
{
    "Off", "Osc 1", "Osc 2", "Osc 3", "Osc 4", "LFO 1", "LFO 2", "LFO 3", "LFO 4",
    "Lowpass Env", "VCA Env", "Env 3", "Env 4", "Pitchbend", "Mod Wheel",
    "Slider 1 Pos.", "Slider 2 Pos.", "Slider 1 Press.", "Slider 2 Press.", "Aftertouch",
    "CC#2 Breath", "CC#2 Foot Pedal", "CC#2 Expression", "Velocity", "Note Number",
    "Random", "DC", "Audio Out"
};
static_assert (sizeof (modSources) / sizeof (modSources[0]) == 28, "sources run 0-27");

const char* const offOn[] = { "OFF", "ON" };

const char* const voiceScopes[] = { "1 Voice", "All Voices" };

const char* const filterKinds[] = { "Lowpass", "Highpass" };

const char* const keyAssigns[] =
{
    "Low Note", "Low Retrig", "High Note", "High Retrig", "Last Note", "Last Retrig"
};

const char* const categories[] =
{
    "- Not Assigned -", "Keys", "Organs", "Strings", "Soft Lead", "Bright Lead", "Res Lead", "Sync",
    "Soft Bass", "Bright Bass", "Res Bass", "Sub Bass", "Brass", "Instruments", "Evolution", "Motion",
    "Synth", "Vox", "Bells", "Harmonics", "Sequence", "Percussion", "Noise", "Sound FX", "Pads", "Arpeggiator"
};
static_assert (sizeof (categories) / sizeof (categories[0]) == 26, "categories run 0-25");

juce::String bendRange (int v)
{
    if (v == 0)   return "OFF";
    if (v == 12)  return "1 Octave";
    if (v == 24)  return "2 Octaves";
    if (v > 0 && v < 24)
        return juce::String (v) + " Semitones";
    return {};
}
}

juce::String ParDes::valueText (int displayType, int value)
{
    switch (displayType)
    {
        case 0:   return juce::String (value);
        case 1:   return pick (layerModes, value);
        case 2:   return pick (arpModes, value);
        case 3:   return pick (octaves, value);
        case 4:   return value >= 0 && value <= 3 ? juce::String (value) : juce::String();
        case 5:   return pick (arpClocks, value);
        case 6:   return juce::String (value) + " bpm";
        case 7:   return pick (modDestinations, value);
        case 8:   return pick (delaySyncs, value);
        case 9:   return pick (glideModes, value);
        case 10:  return pick (lfoSyncs, value);
        case 11:  return pick (lfoShapes, value);
        case 12:  return pick (offOn, value);
        case 13:
        case 18:  return noteName (value);
        case 14:  return pick (oscShapes, value);
        case 15:  return pick (waveShapes, value);
        case 16:  return bendRange (value);
        case 17:  return pick (modSources, value);
        case 20:  return pick (voiceScopes, value);
        case 21:  return juce::String (value - 127);
        case 22:  return juce::String (value - 50);
        case 23:  return juce::String (value - 64);
        case 24:  return pick (filterKinds, value);
        case 180: return pick (keyAssigns, value);
        default:  return {};
    }
}

juce::String ParDes::categoryName (int category)
{
    return pick (categories, category);
}

juce::String ParDes::noteName (int note)
{
    static const char* const names[] = { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };

    // A negative note has no name; indexing by it would read outside the table.
    if (note < 0)
        return {};

    return juce::String (names[note % 12]) + juce::String (note / 12);
}

juce::PopupMenu ParDes::buildValueMenu (int displayType, int maximum)
{
    juce::PopupMenu menu;

    for (int v = 0; v <= maximum; ++v)
        menu.addItem (v + 1, valueText (displayType, v), true, false);

    return menu;
}

void ParDes::showValueMenuAsync (juce::Component* parent, int displayType, int maximum,
                                 std::function<void (int value)> done)
{
    UiSeam::showMenu (buildValueMenu (displayType, maximum), parent, [done = std::move (done)] (int result)
    {
        if (done)
            done (result - 1);
    });
}

std::unique_ptr<juce::LookAndFeel_V2> ParDes::menuLookAndFeel()
{
    auto lookAndFeel = std::make_unique<juce::LookAndFeel_V2>();
    lookAndFeel->setColour (juce::PopupMenu::backgroundColourId, juce::Colour (0xff000000));
    lookAndFeel->setColour (juce::PopupMenu::textColourId, juce::Colour (0xffffffff));
    lookAndFeel->setColour (juce::PopupMenu::headerTextColourId, juce::Colour (0xffffffff));
    lookAndFeel->setColour (juce::PopupMenu::highlightedBackgroundColourId, juce::Colour (0xff808080));
    lookAndFeel->setColour (juce::PopupMenu::highlightedTextColourId, juce::Colour (0xffffffff));
    return lookAndFeel;
}
