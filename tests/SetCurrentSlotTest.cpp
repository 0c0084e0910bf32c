// SET CURRENT on the preset bank page: the box's "Replace:" field names a
// slot, and OK replaces that slot and no other.
#include <gtest/gtest.h>
#include <algorithm>
#include "engine/VantorAudioProcessor.h"
#include "librarian/Plugin_Bank.h"
#include "librarian/TextSetCurCont.h"
#include "support/ComponentTestSupport.h"
#include "support/RecordingMidiDevices.h"

namespace
{
struct SetCurrentPage
{
    RecordingMidiDevices devices;
    VantorAudioProcessor processor { devices };
    ui::MenuRecorder seams;
    Plugin_Bank page { processor };

    SetCurrentPage()
    {
        page.setVisible (true);
        for (int s = 0; s < VantorAudioProcessor::numPrograms; ++s)
            processor.changeProgramName (s, "Preset " + juce::String (s + 1));
    }

    void click (juce::Component& c)
    {
        ui::click (page, page.getLocalPoint (&c, c.getLocalBounds().getCentre()));
    }

    std::vector<juce::String> names()
    {
        std::vector<juce::String> result;
        for (int s = 0; s < VantorAudioProcessor::numPrograms; ++s)
            result.push_back (processor.getProgramName (s).trimEnd());
        return result;
    }
};
}

TEST (SetCurrentSlot, TheSlotNamedUnderReplaceIsTheSlotReplaced)
{
    constexpr int last = VantorAudioProcessor::numPrograms - 1;
    const struct { const char* how; int current, picked, slot; } cases[] = {
        { "the current preset",            0,    -1,   0 },
        { "the current preset",            49,   -1,   49 },
        { "the current preset",            last, -1,   last },
        { "no current preset yet",         -1,   -1,   0 },
        { "picked in the slot menu",       10,   0,    0 },
        { "picked in the slot menu",       10,   49,   49 },
        { "picked in the slot menu",       10,   last, last },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.how) + ", slot " + juce::String (c.slot));
        SetCurrentPage p;
        p.processor.getEngine().setCurrentPreset (c.current);

        p.click (p.page.getButton (Plugin_Bank::setCurrentId));
        auto* box = p.page.getNameBox();
        ASSERT_NE (box, nullptr);
        ASSERT_TRUE (box->isVisible());

        if (c.picked >= 0)
        {
            const auto slotBox = box->getSlotBox();
            ui::click (p.page, p.page.getLocalPoint (box, slotBox.getCentre()));
            ASSERT_TRUE (p.seams.menuPending());

            // The entry that reads as the slot, as a musician picks it.
            const auto texts = p.seams.itemTexts();
            const auto ids = p.seams.itemIds();
            const auto wanted = juce::String (c.picked + 1) + "    Preset " + juce::String (c.picked + 1);
            const auto entry = std::find_if (texts.begin(), texts.end(), [&] (const juce::String& t) { return t.trimEnd() == wanted; });
            ASSERT_NE (entry, texts.end());
            p.seams.choose (ids[(size_t) (entry - texts.begin())]);
        }

        // What the box names is the slot's number and its present name.
        EXPECT_EQ (box->getSlotText().trimEnd(), juce::String (c.slot + 1) + "    Preset " + juce::String (c.slot + 1));

        auto expected = p.names();
        expected[(size_t) c.slot] = "Stored Here";
        box->getEditor().setText ("Stored Here");
        p.click (box->getButton (TextSetCurCont::okId));

        EXPECT_FALSE (box->isVisible());
        EXPECT_EQ (p.names(), expected);
        EXPECT_EQ (p.processor.getCurrentProgram(), c.slot);
    }
}
