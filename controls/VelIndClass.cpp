#include "controls/VelIndClass.h"
#include "controls/Artwork.h"
#include "engine/MidiCntrState.h"

VelIndClass::VelIndClass (MidiCntrState* e)
    : engine (e), numberBox (Artwork::get (Artwork::numberBox))
{
    setSize (70, 118);
}

void VelIndClass::setVelocity (int v)
{
    v = juce::jlimit (0, 127, v);
    if (v == velocity)
        return;

    velocity = v;
    if (engine != nullptr)
        engine->setKeyboardVelocity (v);
    repaint (0, (int) (16 * zoom), (int) (60 * zoom), (int) (102 * zoom));
}

void VelIndClass::paint (juce::Graphics& g)
{
    const float z = zoom;
    g.drawImage (numberBox, (int) (26 * z), (int) (16 * z), (int) (27 * z), (int) (13 * z), 0, 0, 27, 13);

    const juce::Rectangle<float> bar (0, 16 * z, 15 * z, 103 * z);
    g.setColour (juce::Colour (0x66374C53));
    g.fillRoundedRectangle (bar, 3 * z);

    const int shown = juce::jlimit (0, 127, velocity);
    g.setColour (juce::Colour (0xFF101010));
    g.fillRoundedRectangle (bar.withHeight ((float) (127 - shown) * 103 * z / 127.0f), 3 * z);

    g.setColour (juce::Colour (0xFF4D5051));
    g.drawRoundedRectangle (bar, 3 * z, 1.6f * z);

    g.setColour (juce::Colour (0xFF76BDD2));
    g.setFont (juce::Font ("Arial", 11 * z, juce::Font::plain));
    g.drawText (velocity < 0 ? juce::String ("KBD") : juce::String (velocity),
                juce::Rectangle<float> (26 * z, 16 * z, 25 * z, 13 * z), juce::Justification::centred, false);

    g.setColour (juce::Colours::white);
    g.setFont (juce::Font ("Arial", 10 * z, juce::Font::plain));
    g.drawText ("Note Velocity", juce::Rectangle<float> (0, 0, 80 * z, 13 * z), juce::Justification::centredLeft, false);
}

void VelIndClass::mouseDown (const juce::MouseEvent& e)
{
    dragging = (float) e.x < 40 * zoom;
}

void VelIndClass::mouseDrag (const juce::MouseEvent& e)
{
    if (dragging)
        setVelocity (127 - e.y);
}
