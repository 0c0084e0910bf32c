#include <gtest/gtest.h>
#include "editor/AppBar.h"
#include "editor/GroupClass.h"
#include "controls/GroupImg.h"
#include "support/EditorTestRig.h"
#include <set>

namespace
{
struct PageThreads : public ::testing::Test
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

TEST_F (PageThreads, EachTabShowsItsColumnsFromTheLeftEdge)
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
        ASSERT_TRUE (ui::drain());
        EXPECT_EQ (shownPositions (0), c.shown) << "tab " << c.tabPosition;
        EXPECT_EQ (shownPositions (1), c.shown) << "tab " << c.tabPosition;
    }

    page->showSection (EditorPanel::hideAll);
    EXPECT_TRUE (shownPositions (0).empty());
    page->showSection (14);
    EXPECT_TRUE (shownPositions (0).empty());
}

TEST_F (PageThreads, ZoomingOutOrWideningShowsTheColumnsThatNowFit)
{
    page->showSection (2);
    const auto atFullSize = shownPositions (0);
    page->setSize (2500, 710);
    EXPECT_EQ (shownPositions (0), (std::set<int> { 2, 3, 4, 5, 6, 7, 8, 12 }));
    page->setSize (1200, 710);
    EXPECT_EQ (shownPositions (0), atFullSize);

    page->setZoom (0.3f);
    EXPECT_GT (shownPositions (0).size(), atFullSize.size());
}

// Every control showing what reaches it, and nothing else redrawn, goes end to
// end in the editor round trip; ids past the parameters must reach nothing.
TEST_F (PageThreads, IdsPastTheParametersReachNoControl)
{
    std::vector<std::pair<StsCont*, int>> shownBefore;
    for (int layer = 0; layer < 2; ++layer)
        for (int i = 0; i < EditorPanel::numPositions; ++i)
            for (int n = 0; n < page->getPanel (layer, i)->getNumControls(); ++n)
                shownBefore.emplace_back (page->getPanel (layer, i)->getControl (n), page->getPanel (layer, i)->getControl (n)->getShownValue());

    for (int id : { 1024, 1030, 2047, 4096 })
        page->updateControl (id, 1, false);
    for (auto [control, value] : shownBefore)
        EXPECT_EQ (control->getShownValue(), value) << control->getKey();
}

TEST_F (PageThreads, ZoomingIntoAPanelAndBack)
{
    auto* osc = page->getPanel (0, 1);
    const auto stripBounds = osc->getBounds();

    page->setZoom (0.5f);
    ui::click (*page, page->getPanel (0, 1)->getBounds().getCentre());
    ASSERT_TRUE (ui::drain());
    ASSERT_TRUE (page->isZoomedIn());
    EXPECT_TRUE (page->isAnimating());
    EXPECT_TRUE (page->getDimBand (0)->isVisible());

    // No way back while the panel is still moving.
    ui::click (*page, page->getDimBand (0)->getBounds().getCentre());
    ASSERT_TRUE (ui::drain());
    EXPECT_TRUE (page->isZoomedIn());

    EXPECT_TRUE (EditorTestRig::pumpUntil ([&] { return ! page->isAnimating(); }));
    EXPECT_FLOAT_EQ (osc->getScale(), 1.0f);
    EXPECT_EQ (osc->getBounds().getCentre().x, page->getWidth() / 2);

    ui::click (*page, page->getDimBand (0)->getBounds().getCentre());
    ASSERT_TRUE (ui::drain());
    EXPECT_FALSE (page->isZoomedIn());
    EXPECT_FALSE (page->getDimBand (0)->isVisible());
    EXPECT_FLOAT_EQ (osc->getScale(), 0.5f);
    page->setZoom (1.0f);
    EXPECT_EQ (osc->getBounds(), stripBounds);
}

TEST_F (PageThreads, TheAbModePanelOpensInPlaceOfZooming)
{
    auto* abMode = page->getAbModePanel();
    const auto folded = abMode->getBounds();
    page->zoomIntoGroup (abMode);
    EXPECT_EQ (abMode->getLocalBounds(), juce::Rectangle<int> (600, 100));
    EXPECT_TRUE (EditorTestRig::pumpUntil ([&] { return ! page->isAnimating(); }));
    page->resetZoom();
    EXPECT_EQ (abMode->getBounds(), folded);
}
