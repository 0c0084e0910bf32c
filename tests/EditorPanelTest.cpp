#include <gtest/gtest.h>
#include "editor/AppBar.h"
#include "editor/GroupClass.h"
#include "controls/GroupImg.h"
#include "support/EditorTestRig.h"
#include <numeric>
#include <set>

namespace
{
struct Page : public ::testing::Test
{
    SimulatedSynth synth;
    VantorAudioProcessor processor { synth };
    std::unique_ptr<EditorPanel> page;

    void SetUp() override
    {
        page = std::make_unique<EditorPanel> (processor);
        page->screenArea = [] { return juce::Rectangle<int> (0, 0, 1920, 1080); };
        page->setBounds (0, 0, 1200, 710);
        page->setVisible (true);
        page->setZoom (1.0f);
    }

    std::set<int> shownPositions (int layer) const
    {
        std::set<int> shown;
        for (int i = 0; i < EditorPanel::numPositions; ++i)
            if (i != EditorPanel::abModePosition && page->getPanel (layer, i)->isVisible())
                shown.insert (i);
        return shown;
    }
};
}

TEST_F (Page, EachTabShowsItsColumnsFromTheLeftEdge)
{
    struct Case { int tabPosition; std::set<int> shown; };
    const Case cases[] =
    {
        { 0,  { 1, 2 } },              // OSC: the oscillators are 950 wide, CHARACTER starts at 954
        { 2,  { 3, 4, 5, 6, 7, 12 } }, // LPF: VCA above LPF, then HPF over DISTORTION
        { 4,  { 3, 4, 5, 6, 7, 12 } }, // VCA: the same column
        { 3,  { 4, 6, 7, 8, 12 } },    // a column starting inside the window shows even when it runs past
        { 9,  { 9, 10, 11 } },         // AUX ENV: ENVELOPE 3 above ENVELOPE 4
        { 11, { 0, 14 } },             // ARP with SLIDERS beside it
    };

    for (const auto& c : cases)
    {
        page->getAppBar().getTab (c.tabPosition)->getChildButton()->triggerClick();
        ui::pump (10);
        EXPECT_EQ (shownPositions (0), c.shown) << "tab " << c.tabPosition;
        EXPECT_EQ (shownPositions (1), c.shown) << "tab " << c.tabPosition;
    }

    page->showSection (EditorPanel::hideAll);
    EXPECT_TRUE (shownPositions (0).empty());
    page->showSection (14);
    EXPECT_TRUE (shownPositions (0).empty());
}

TEST_F (Page, ZoomingOutOrWideningShowsTheColumnsThatNowFit)
{
    page->showSection (2);
    const auto atFullSize = shownPositions (0);
    page->setSize (2500, 710);
    EXPECT_EQ (shownPositions (0), (std::set<int> { 2, 3, 4, 5, 6, 7, 8, 12 }));
    page->setSize (1200, 710);
    EXPECT_EQ (shownPositions (0), atFullSize);

    page->setZoom (0.3f);
    EXPECT_GT (shownPositions (0).size(), atFullSize.size());
    EXPECT_EQ (page->getPanel (0, 7)->getBounds(), juce::Rectangle<int> ((int) ((2196 - 954) * 0.3f), 54, (int) (830 * 0.3f), (int) (319 * 0.3f)));
}

TEST_F (Page, EveryParameterReachesExactlyItsOwnControl)
{
    std::vector<StsCont*> all;
    for (int layer = 0; layer < 2; ++layer)
        for (int i = 0; i < EditorPanel::numPositions; ++i)
            for (int n = 0; n < page->getPanel (layer, i)->getNumControls(); ++n)
                all.push_back (page->getPanel (layer, i)->getControl (n));

    // Ids past the parameters (program select and beyond) reach nothing.
    std::vector<int> ids (1024);
    std::iota (ids.begin(), ids.end(), 0);
    ids.insert (ids.end(), { 1024, 2047 });

    int reached = 0;
    for (const int id : ids)
    {
        std::vector<int> before;
        for (auto* c : all)
            before.push_back (c->getShownValue());

        StsCont* target = nullptr;
        for (auto* c : all)
            if (c->getKey() == id && target == nullptr)
                target = c;

        const int value = target == nullptr ? 1 : (target->getShownValue() == target->getMinimum() ? target->getMaximum() : target->getMinimum());
        page->updateControl (id, value, false);

        for (size_t k = 0; k < all.size(); ++k)
            if (all[k] != target)
                ASSERT_EQ (all[k]->getShownValue(), before[k]) << "id " << id << " reached the control of " << all[k]->getKey();

        if (target != nullptr)
        {
            EXPECT_EQ (target->getShownValue(), value) << "id " << id;
            ++reached;
        }
    }

    EXPECT_GT (reached, 450);
}

TEST_F (Page, ZoomingIntoAPanelAndBack)
{
    auto* osc = page->getPanel (0, 1);
    const auto stripBounds = osc->getBounds();

    page->setZoom (0.5f);
    ui::click (*page, page->getPanel (0, 1)->getBounds().getCentre());
    ui::pump (5);
    ASSERT_TRUE (page->isZoomedIn());
    EXPECT_TRUE (page->isAnimating());
    EXPECT_TRUE (page->getDimBand (0)->isVisible());

    // No way back while the panel is still moving.
    ui::click (*page, page->getDimBand (0)->getBounds().getCentre());
    ui::pump (5);
    EXPECT_TRUE (page->isZoomedIn());

    EXPECT_TRUE (EditorTestRig::pumpUntil ([&] { return ! page->isAnimating(); }));
    EXPECT_FLOAT_EQ (osc->getScale(), 1.0f);
    EXPECT_EQ (osc->getBounds().getCentre().x, page->getWidth() / 2);

    ui::click (*page, page->getDimBand (0)->getBounds().getCentre());
    ui::pump (5);
    EXPECT_FALSE (page->isZoomedIn());
    EXPECT_FALSE (page->getDimBand (0)->isVisible());
    EXPECT_FLOAT_EQ (osc->getScale(), 0.5f);
    page->setZoom (1.0f);
    EXPECT_EQ (osc->getBounds(), stripBounds);
}

TEST_F (Page, TheAbModePanelOpensInPlaceOfZooming)
{
    auto* abMode = page->getAbModePanel();
    EXPECT_EQ (abMode->getBounds(), juce::Rectangle<int> (667, 2, 260, 18));
    page->zoomIntoGroup (abMode);
    EXPECT_EQ (abMode->getWidth(), 600);
    EXPECT_EQ (abMode->getHeight(), 100);
    EXPECT_TRUE (EditorTestRig::pumpUntil ([&] { return ! page->isAnimating(); }));
    page->resetZoom();
    EXPECT_EQ (abMode->getBounds(), juce::Rectangle<int> (667, 2, 260, 18));
}
