#include <gtest/gtest.h>
#include "editor/GroupClass.h"
#include "editor/SectionLayouts.h"
#include "controls/Envel.h"
#include "controls/ShapeClass.h"
#include "controls/ZoneKeyClassB.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ChangeRecorder.h"
#include "support/ComponentTestSupport.h"
#include "support/RecordingMidiDevices.h"

namespace
{
struct Panel : public ::testing::Test
{
    RecordingMidiDevices devices;
    VantorAudioProcessor processor { devices };
    MidiCntrState& engine = processor.getEngine();
};
}

TEST_F (Panel, ClicksZoomOnlyWhenSmallOrRight)
{
    struct Case { float scale; juce::ModifierKeys mods; bool zooms; };
    const Case cases[] = { { 1.0f, ui::leftButton, false }, { 0.6f, ui::leftButton, false },
                           { 0.5f, ui::leftButton, true },  { 1.0f, ui::rightButton, true } };
    for (const auto& c : cases)
    {
        GroupClass panel (processor, -1, 1);
        panel.setScale (c.scale);
        panel.setPosition (0, -54, 160, 160);
        panel.setVisible (true);
        ChangeRecorder zoomAsked (panel);
        ui::click (panel, { 10, 10 }, c.mods);
        ASSERT_TRUE (ui::drain());
        EXPECT_EQ (! zoomAsked.seen.empty(), c.zooms) << c.scale;
    }
}

TEST_F (Panel, EnvelopeReleaseSendsTheFinalValues)
{
    for (int section : { 3, 5, 9, 10 })
    {
        GroupClass panel (processor, section, 0);
        auto& graph = *panel.getEnvelope();
        const int first = SectionLayouts::firstEnvelopeStage (section);

        // The drag's own message was lost in coalescing; only the release arrives.
        const float values[] = { 90.0f, 11.0f, 64.0f, 5.0f };
        std::tie (graph.attack, graph.decay, graph.sustain, graph.release) = std::tie (values[0], values[1], values[2], values[3]);
        graph.changeCode = Envel::released;
        graph.sendChangeMessage();
        ASSERT_TRUE (ui::drain());

        for (int i = 0; i < 4; ++i)
            EXPECT_EQ (engine.getValue (panel.getControl (first + i)->getParameterNumber()), (int) values[i]) << section << " stage " << i;
    }
}

TEST_F (Panel, SplitKeyboardDragShowsAndReleaseSends)
{
    GroupClass panel (processor, 15, 0);
    panel.setAbModeExpanded (true);
    auto& keys = *panel.getLargeSplitKeyboard();
    const int before = engine.getValue (424);

    keys.setNote (before + 7);
    keys.changeCode = ZoneKeyClassB::dragged;
    keys.sendChangeMessage();
    ASSERT_TRUE (ui::drain());
    EXPECT_EQ (panel.getControl (0)->getShownValue(), before + 7);
    EXPECT_EQ (engine.getValue (424), before);

    keys.changeCode = ZoneKeyClassB::picked;
    keys.sendChangeMessage();
    ASSERT_TRUE (ui::drain());
    EXPECT_EQ (engine.getValue (424), before + 7);
}

TEST_F (Panel, WaveIconFollowsShapeAndShapeMod)
{
    GroupClass panel (processor, 1, 0);
    panel.parameterChanged (panel.findControl (29), 77);
    panel.parameterChanged (panel.findControl (13), 3);
    EXPECT_EQ (panel.getWaveIcon (1)->shapeIndex, 3);
    EXPECT_EQ (panel.getWaveIcon (1)->widthValue, 77);
    EXPECT_EQ (panel.getWaveIcon (0)->widthValue, 0);
}
