#pragma once

#include <juce_graphics/juce_graphics.h>
#include "controls/StsCont.h"
#include <vector>

// What each section panel holds: its parameter controls, in the order the
// panel keeps them (other code addresses controls by that position), and its
// graphic displays. Pure data; GroupClass builds the components from it.
namespace SectionLayouts
{
    constexpr int numSections = 16;        // SectionId 0-15; any other id has no layout
    constexpr int controlsPerLayer = 248;

    using Kind = StsCont::Kind;

    // The arguments of StsCont::setup plus the knob style. y is the setup y:
    // the control's component sits 16 pixels higher (see bounds()).
    struct ControlRow
    {
        int parameter;          // 0-511 within the layer, or 1028/1029 (the latches)
        juce::String label;     // made once: every opening shares it
        int kind, minimum, maximum, displayType;
        int x, y, w, h;
        int knobStyle;          // 0 is the default and is not set

        juce::Rectangle<int> bounds() const noexcept   { return { x, y - 16, w, h }; }
    };

    enum class Graphic { touchStrip1, touchStrip2, pad, waveIcon, envelope, splitKeys, splitKeysLarge };

    struct GraphicRow
    {
        Graphic kind;
        int index;              // the wave icon's oscillator; 0 otherwise
        juce::Rectangle<int> bounds;
        bool visible;
    };

    // Empty for a section without a layout.
    const std::vector<ControlRow>& controls (int section);
    const std::vector<GraphicRow>& graphics (int section);

    // The list position of an envelope section's attack control: decay,
    // sustain and release follow it. -1 for a section without an envelope graph.
    int firstEnvelopeStage (int section) noexcept;
}
