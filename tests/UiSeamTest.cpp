#include <gtest/gtest.h>
#include "controls/UiSeam.h"
#include "engine/ParDes.h"
#include "support/ComponentTestSupport.h"

// Choices through the editor's drop-downs, and file choices, go end to end in
// the editor round trip and the command tests.
TEST (UiSeam, AsyncValueMenuAnswersWithTheValueOrNothing)
{
    struct Case { int answer, expected; };
    for (const auto& c : { Case { 1, 0 }, Case { 2, 1 }, Case { 0, -1 } })
    {
        ui::MenuRecorder menus;
        juce::Component parent;
        int got = -99;
        ParDes::showValueMenuAsync (&parent, 12, 1, [&] (int v) { got = v; });
        EXPECT_EQ (menus.itemTexts(), (std::vector<juce::String> { "OFF", "ON" }));
        EXPECT_EQ (menus.lastTarget.getComponent(), &parent);
        menus.choose (c.answer);
        EXPECT_EQ (got, c.expected) << c.answer;
    }

    ui::MenuRecorder menus;
    ParDes::showValueMenuAsync (nullptr, 12, 1, nullptr);
    menus.choose (1);   // no callback: nothing to call
}
