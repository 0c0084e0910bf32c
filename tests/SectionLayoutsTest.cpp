#include <gtest/gtest.h>
#include "editor/SectionLayouts.h"
#include "engine/ParameterTable.h"
#include <map>

using namespace SectionLayouts;

namespace
{
const ParameterTable& table()
{
    static const ParameterTable t;
    return t;
}

// Panel sizes in unzoomed pixels: the editor page's strip, and the expanded AB MODE panel.
const std::map<int, juce::Rectangle<int>> panelSizes =
{
    {  0, { 130, 319 } }, {  1, { 950, 319 } }, {  2, { 246, 319 } }, {  3, { 700, 160 } },
    {  4, { 160, 160 } }, {  5, { 700, 160 } }, {  6, { 120, 319 } }, {  7, { 830, 319 } },
    {  8, { 700, 322 } }, {  9, { 700, 160 } }, { 10, { 700, 160 } }, { 11, { 950, 319 } },
    { 12, { 160, 160 } }, { 13, { 120, 319 } }, { 14, { 120, 319 } }, { 15, { 600, 100 } },
};

// A knob's caption ends 68 pixels down; the blank rows below it may hang
// over a 160-pixel panel's edge, where the panel clips them.
juce::Rectangle<int> inkBounds (const ControlRow& row)
{
    auto r = row.bounds();
    return row.kind == Kind::knob ? r.withHeight (juce::jmin (r.getHeight(), 68)) : r;
}

bool isLatch (int parameter) { return parameter == ParameterIds::sliderLatch1 || parameter == ParameterIds::sliderLatch2; }
}

TEST (SectionLayouts, EveryParameterWithASectionHasExactlyOneControlInThatPanelInBothLayers)
{
    std::map<int, std::vector<int>> sectionsOf;   // parameter -> sections holding a control for it
    for (int s = 0; s < numSections; ++s)
        for (const auto& row : controls (s))
            sectionsOf[row.parameter].push_back (s);

    for (int layer = 0; layer < 2; ++layer)
        for (int p = 0; p < 512; ++p)
        {
            const int id = layer * ParameterIds::layerB + p;
            const int section = table().section (id);
            const auto found = sectionsOf.count (p) ? sectionsOf[p] : std::vector<int>();

            if (section == 0)
                EXPECT_TRUE (found.empty()) << "id " << id << " has no section but a control";
            else
                EXPECT_EQ (found, std::vector<int> { section }) << "id " << id;
        }

    EXPECT_EQ (sectionsOf[ParameterIds::sliderLatch1], std::vector<int> { 0 });
    EXPECT_EQ (sectionsOf[ParameterIds::sliderLatch2], std::vector<int> { 0 });

    for (int s : { -1, 16, 1000 })   // no such section
        EXPECT_TRUE (controls (s).empty() && graphics (s).empty()) << s;
}

TEST (SectionLayouts, RangesAndValueTextsAreTheParameterTablesButTheKeyAssignNames)
{
    constexpr int keyAssign = 260, keyAssignNames = 180;

    for (int s = 0; s < numSections; ++s)
        for (const auto& row : controls (s))
            for (int layer = 0; layer < (isLatch (row.parameter) ? 1 : 2); ++layer)
            {
                const int id = row.parameter + layer * ParameterIds::layerB;
                SCOPED_TRACE (juce::String ("id ") + juce::String (id) + " " + row.label);
                EXPECT_EQ (row.minimum, table().minimum (id));
                EXPECT_EQ (row.maximum, table().maximum (id));
                EXPECT_EQ (row.displayType, row.parameter == keyAssign ? keyAssignNames : table().displayType (id));
            }
}

TEST (SectionLayouts, PositionsOtherCodeAddressesHoldTheirParameters)
{
    // AB MODE moves its controls 0 and 1; the wave icons' shape mod controls
    // go end to end in the panel tests.
    EXPECT_EQ (controls (15).at (0).parameter, 424);
    EXPECT_EQ (controls (15).at (1).parameter, 425);

    // The envelope graph's four handles drive attack, decay, sustain and release.
    const std::pair<int, int> envelopes[] = { { 3, 180 }, { 5, 181 }, { 9, 182 }, { 10, 183 } };
    for (const auto& [section, attack] : envelopes)
    {
        const int first = firstEnvelopeStage (section);
        for (int stage = 0; stage < 4; ++stage)
            EXPECT_EQ (controls (section).at ((size_t) (first + stage)).parameter, attack + 4 * stage) << section;
    }
    EXPECT_EQ (firstEnvelopeStage (1), -1);
}

TEST (SectionLayouts, NothingOverlapsAndEverythingLiesInsideItsPanel)
{
    for (int s = 0; s < numSections; ++s)
    {
        const auto panel = panelSizes.at (s);

        std::vector<std::pair<juce::String, juce::Rectangle<int>>> items;
        for (size_t i = 0; i < controls (s).size(); ++i)
            items.push_back ({ "control " + juce::String ((int) i) + " " + controls (s)[i].label, inkBounds (controls (s)[i]) });
        for (const auto& g : graphics (s))
            if (g.visible)
                items.push_back ({ "graphic " + juce::String ((int) g.kind) + "/" + juce::String (g.index), g.bounds });

        for (size_t i = 0; i < items.size(); ++i)
        {
            EXPECT_TRUE (panel.contains (items[i].second))
                << "section " << s << ": " << items[i].first << " " << items[i].second.toString();

            for (size_t j = i + 1; j < items.size(); ++j)
                EXPECT_FALSE (items[i].second.intersects (items[j].second))
                    << "section " << s << ": " << items[i].first << " overlaps " << items[j].first;
        }
    }
}
