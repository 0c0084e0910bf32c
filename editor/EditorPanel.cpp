#include "editor/EditorPanel.h"
#include "editor/AppBar.h"
#include "editor/EditorRules.h"
#include "editor/GroupClass.h"
#include "controls/AppSetBarBut.h"
#include "controls/Artwork.h"
#include "controls/CorButton.h"
#include "controls/GroupImg.h"
#include "controls/HorScrollClass.h"
#include "controls/LCD_Comp.h"
#include "controls/PaintCache.h"
#include "controls/StsCont.h"
#include "controls/StsLabel.h"
#include "controls/ZoneKeyClass.h"
#include "engine/ParDes.h"
#include "engine/VantorAudioProcessor.h"

namespace
{
    // Columns in strip order: each starts after an earlier one (or shares its x)
    // with a 4-pixel gap; the layer B row lies 320 units below layer A.
    struct ColumnRule { int section, after, gap, yA, w, h; };

    constexpr ColumnRule columnRules[] =
    {
        { 1,  -1, 0,   0,   950, 319 },   // OSCILLATORS
        { 2,   1, 954, 0,   246, 319 },   // CHARACTER
        { 5,   2, 250, 0,   700, 160 },   // VCA
        { 3,   5, 0,   160, 700, 160 },   // LOW PASS FILTER, under VCA
        { 4,   5, 704, 0,   160, 160 },   // HIGH PASS FILTER
        { 12,  4, 0,   160, 160, 160 },   // DISTORTION, under HPF
        { 6,   4, 164, 0,   120, 319 },   // FEEDBACK
        { 7,   6, 124, 0,   830, 319 },   // DELAY
        { 8,   7, 834, 0,   700, 322 },   // LFO
        { 13,  8, 704, 0,   120, 319 },   // UNISON
        { 9,  13, 124, 0,   700, 160 },   // ENVELOPE 3
        { 10,  9, 0,   160, 700, 160 },   // ENVELOPE 4, under ENVELOPE 3
        { 11,  9, 704, 0,   950, 319 },   // MODULATION
        { 14, 11, 954, 0,   120, 319 },   // ARPEGGIATOR
        { 0,  14, 124, 0,   130, 319 },   // SLIDERS
    };

    constexpr int dimColour = (int) 0x77000000;
}

const std::array<EditorPanel::Column, EditorPanel::numPositions>& EditorPanel::layoutTable()
{
    static const auto table = []
    {
        std::array<Column, numPositions> t {};
        for (const auto& r : columnRules)
        {
            auto& c = t[(size_t) r.section];
            c.x = r.after < 0 ? 0 : t[(size_t) r.after].x + r.gap;
            c.yA = r.yA;
            c.yB = r.yA + 320;
            c.w = r.w;
            c.h = r.h;
        }
        return t;
    }();
    return table;
}

bool EditorPanel::originForSection (int id, int& origin)
{
    // Section id -> the layout position whose column comes first.
    static constexpr int columnOf[] = { 0, 1, 2, 3, 4, 6, 7, 8, 13, 9, 11, 14, 0, 0 };
    const auto& t = layoutTable();

    if (id == hideAll)
    {
        origin = -10000;
        return true;
    }

    if (id < 0 || id >= (int) (sizeof (columnOf) / sizeof (columnOf[0])))
        return false;

    origin = id == 0 ? 0 : t[(size_t) columnOf[id]].x;
    return true;
}

//==============================================================================
EditorPanel::EditorPanel (VantorAudioProcessor& p)
    : processor (p)
{
    scrollBar = std::make_unique<HorScrollClass>();
    zoomCorner = std::make_unique<CorButton>();
    addAndMakeVisible (*scrollBar);
    addAndMakeVisible (*zoomCorner);
    scrollBar->addChangeListener (this);
    zoomCorner->addChangeListener (this);

    numberImage = Artwork::get (Artwork::modelNumber);
    wordImage = Artwork::get (Artwork::modelWord);

    appBar = std::make_unique<AppBar>();
    addAndMakeVisible (*appBar);
    appBar->getChannelLabel().setText ("Chan: " + juce::String (engine().getMidiChannel()));

    menuButton = std::make_unique<AppSetBarBut>();
    menuButton->setBounds (6, 4, 36, 36);
    addAndMakeVisible (*menuButton);

    lcd = std::make_unique<LCD_Comp>();
    lcd->setTopLeftPosition (44, 2);
    addAndMakeVisible (*lcd);

    for (int i = 0; i < appBar->getNumTabs(); ++i)
        appBar->getTab (i)->addListener (this);

    setOpaque (true);

    for (int i = 0; i < numPositions; ++i)
    {
        panelsA[(size_t) i] = std::make_unique<GroupClass> (processor, i, 0);
        addChildComponent (*panelsA[(size_t) i]);
    }
    for (int i = 0; i < numPositions; ++i)
    {
        panelsB[(size_t) i] = std::make_unique<GroupClass> (processor, i == 0 ? -1 : i, 1);
        addChildComponent (*panelsB[(size_t) i]);
    }

    for (int i = 0; i < 19; ++i)
    {
        panelsA[(size_t) i]->setPosition (-2000, 20, 10, 10);
        panelsB[(size_t) i]->setPosition (-2000, 200, 10, 10);
        panelsA[(size_t) i]->addChangeListener (this);
        panelsB[(size_t) i]->addChangeListener (this);
    }

    showSection (1);

    auto& abMode = *panelsA[abModePosition];
    abMode.setScale (abMode.getScale());
    abMode.setVisible (true);
    abMode.setShown (true);
    abMode.setScale (1.0f);
    // The small keyboard's box reaches past its picture under the selector:
    // the selector lies above it, so it is not dimmed and takes its own clicks.
    if (auto* split = abMode.getControl (0))
        split->toFront (false);
    foldAbMode();

    blocker = std::make_unique<GroupImg> (juce::Colour (0x00000000));
    dimLeft = std::make_unique<GroupImg> (juce::Colour ((juce::uint32) dimColour));
    dimRight = std::make_unique<GroupImg> (juce::Colour ((juce::uint32) dimColour));
    dimTop = std::make_unique<GroupImg> (juce::Colour ((juce::uint32) dimColour));
    dimBottom = std::make_unique<GroupImg> (juce::Colour ((juce::uint32) dimColour));
    centreDim = std::make_unique<GroupImg> (juce::Colour ((juce::uint32) dimColour));

    for (auto* overlay : { blocker.get(), dimLeft.get(), dimRight.get(), dimTop.get(), dimBottom.get(), centreDim.get() })
        addChildComponent (*overlay);

    for (auto* band : { dimLeft.get(), dimRight.get(), dimTop.get(), dimBottom.get() })
        band->addChangeListener (this);
}

EditorPanel::~EditorPanel()
{
    animator.cancelAllAnimations (false);

    for (auto* band : { dimLeft.get(), dimRight.get(), dimTop.get(), dimBottom.get() })
        band->removeChangeListener (this);
    for (auto& panel : panelsA) panel->removeChangeListener (this);
    for (auto& panel : panelsB) panel->removeChangeListener (this);
    scrollBar->removeChangeListener (this);
    zoomCorner->removeChangeListener (this);
}

MidiCntrState& EditorPanel::engine() const
{
    return processor.getEngine();
}

GroupClass* EditorPanel::getPanel (int layer, int position) const noexcept
{
    if (position < 0 || position >= numPositions)
        return nullptr;
    return layer == 0 ? panelsA[(size_t) position].get() : layer == 1 ? panelsB[(size_t) position].get() : nullptr;
}

GroupImg* EditorPanel::getDimBand (int index) const noexcept
{
    switch (index)
    {
        case 0: return dimLeft.get();
        case 1: return dimRight.get();
        case 2: return dimTop.get();
        case 3: return dimBottom.get();
        default: return nullptr;
    }
}

bool EditorPanel::isAnimating() const
{
    return animator.isAnimating();
}

//==============================================================================
void EditorPanel::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour (AppBar::barColour));
    g.fillRect (0, 0, getWidth(), EditorRules::barHeight);
    g.setColour (juce::Colour (0xFF000000));
    g.fillRect (0, EditorRules::barHeight, getWidth(), getHeight() - EditorRules::barHeight);

    // The model name on the bar: one opaque picture, copied at every opening,
    // and only whole: a narrow window shows none of it rather than a cut piece.
    if (getWidth() < modelNameArea.getRight())
        return;
    PaintCache::Key key;
    key.kind = 0x6d6f646c;   // model name
    PaintCache::drawPicture (g, key, modelNameArea, true, [this] (juce::Graphics& pg)
    {
        pg.fillAll (juce::Colour (AppBar::barColour));
        pg.setOpacity (1.0f);
        if (wordImage.isValid())
            PaintCache::drawImage (pg, wordImage, 926, 1, 165, 25, 0, 0, 275, 43);

        pg.setOpacity (0.61f);
        if (numberImage.isValid())
            PaintCache::drawImage (pg, numberImage, 1098, 3, 47, 23, 0, 0, 113, 56);
    });
}

void EditorPanel::resized()
{
    appBar->setBounds (EditorRules::topBarX, 0, getWidth() - EditorRules::topBarX, EditorRules::barHeight);
    if (! zoomed && panelsA[abModePosition] != nullptr)
        foldAbMode();

    if (getHeight() < 55)
    {
        scrollBar->setVisible (false);
        zoomCorner->setVisible (false);
        return;
    }

    scrollBar->setBounds (0, getHeight() - 14, getWidth() - 52, 14);
    zoomCorner->setBounds (getWidth() - 52, getHeight() - 14, 52, 14);

    for (juce::Component* c : { (juce::Component*) scrollBar.get(), (juce::Component*) zoomCorner.get() })
    {
        c->setAlwaysOnTop (false);
        c->setAlwaysOnTop (true);
        c->setVisible (true);
    }

    zoomCorner->baseHeight = getHeight();
    zoomCorner->baseWidth = getWidth();

    // A wider page has room for more columns, a narrower one for fewer.
    if (panelsA[0] != nullptr && ! zoomed)
        showSection (currentSection);
}

//==============================================================================
void EditorPanel::showSection (int id)
{
    int origin = 0;
    if (! originForSection (id, origin))
        return;

    currentSection = id;

    const auto& t = layoutTable();
    const float z = panelsA[0]->getScale();
    const int pageWidth = getWidth();

    for (int i = 0; i <= 14; ++i)
    {
        const auto& c = t[(size_t) i];
        const int d = c.x - origin;
        const bool inView = ! (d < 0 || (float) d * z > (float) pageWidth);

        for (auto* panel : { panelsA[(size_t) i].get(), panelsB[(size_t) i].get() })
        {
            if (inView)
            {
                panel->setScale (panel->getScale());
                panel->setVisible (true);
                panel->setShown (true);
            }
            else
            {
                panel->setVisible (false);
                panel->setShown (false);
            }
        }

        panelsA[(size_t) i]->setPosition (d, c.yA, c.w, c.h);
        panelsB[(size_t) i]->setPosition (d, c.yB, c.w, c.h);
    }
}

void EditorPanel::scrollToStart()
{
    scrollBar->setPosition (0);
    scrollBar->repaint();
    // The bar stays silent when it was at 0 already; the strip must follow either way.
    showSection (AppBar::tabSpecs().front().id);
}

void EditorPanel::setZoom (float zoom)
{
    if (zoomed)
        resetZoom();

    engine().windowGeometry().zoom1 = zoom;

    for (int i = 0; i < 19; ++i)
    {
        if (i == abModePosition)
            continue;
        panelsA[(size_t) i]->setScale (zoom);
        panelsB[(size_t) i]->setScale (zoom);
    }

    foldAbMode();

    for (juce::Component* c : { (juce::Component*) scrollBar.get(), (juce::Component*) zoomCorner.get() })
    {
        c->setAlwaysOnTop (false);
        c->setAlwaysOnTop (true);
    }

    // Columns that fit at the new zoom must appear without waiting for a scroll.
    showSection (currentSection);
}

// The folded AB mode group sits in the bar's upper row, as wide as the window leaves it.
void EditorPanel::foldAbMode()
{
    auto& abMode = *panelsA[abModePosition];
    abMode.setAbModeExpanded (false);

    const auto row = EditorRules::topBarRow (getWidth(), AppBar::minButtonWidth(), AppBar::minLabelWidth());
    if (auto* keys = abMode.getSmallSplitKeyboard())
    {
        keys->zoom = row.keysWidth > 0 ? row.keysZoom : keys->zoom;
        if (row.keysWidth < 269)
            keys->setBounds (0, 3, row.keysWidth, (int) std::ceil (18.0f * row.keysZoom));
        keys->setVisible (row.keysWidth > 0);
    }
    if (auto* split = abMode.getControl (0))
        split->setTopLeftScaled (row.selectorX, 16);
    abMode.setPosition (row.groupX, -52, row.groupWidth, 18);
}

void EditorPanel::resetZoom()
{
    if (animator.isAnimating())
        return;

    zoomed = false;
    blocker->hide();
    for (auto* band : { dimLeft.get(), dimRight.get(), dimTop.get(), dimBottom.get() })
        band->hide();

    setZoom (EditorRules::restoredZoom (engine().windowGeometry().zoom1));
}

juce::Rectangle<int> EditorPanel::currentScreenArea() const
{
    if (screenArea)
        return screenArea();

    if (auto* display = juce::Desktop::getInstance().getDisplays().getDisplayForRect (getScreenBounds()))
        return display->userArea;

    return {};
}

void EditorPanel::zoomIntoGroup (GroupClass* panel)
{
    if (panel == nullptr || animator.isAnimating())
        return;

    zoomed = true;
    const auto r = panel->getBounds();

    blocker->setBounds (r);
    blocker->show (0);

    if (panel == panelsA[abModePosition].get())
    {
        panel->setAbModeExpanded (true);
    }
    else
    {
        const auto area = EditorRules::usableMonitorArea (currentScreenArea());
        engine().setMonitorArea (area);
        panel->setScale (EditorRules::focusScale (area.getHeight()));
    }

    const int w = panel->getWidth(), h = panel->getHeight();
    const int W = getWidth(), H = getHeight();
    const int x0 = juce::jmax (0, (W - w) / 2);
    const int y0 = juce::jmax (0, (H - h) / 2);

    dimLeft->setBounds (0, 0, x0, H);
    dimRight->setBounds (x0 + w, 0, W - x0 - w, H);
    dimTop->setBounds (x0, 0, w, y0);
    dimBottom->setBounds (x0, y0 + h, w, H - y0 - h);
    centreDim->setBounds (x0, y0, w, h);

    for (auto* band : { dimLeft.get(), dimRight.get(), dimTop.get(), dimBottom.get() })
        band->show (0);
    centreDim->show (200);

    panel->setAlwaysOnTop (false);
    panel->setAlwaysOnTop (true);

    animator.animateComponent (panel, { x0, y0, w, h }, 1.0f, 200, false, 1.0, 1.0);
}

//==============================================================================
void EditorPanel::updateControl (int id, int value, bool force)
{
    const int layer = id < 512 ? 0 : 1;
    const int p = id < 512 ? id : id - 512;

    const int s = engine().parameterTable().section (p);
    if (s <= 0 || s >= numPositions)
        return;

    auto* panel = getPanel (layer, s);
    auto* control = panel != nullptr ? panel->findControl (p) : nullptr;
    if (control == nullptr)
        return;

    if (force)
        control->invalidateShownValue();

    panel->parameterChanged (control, value);
}

void EditorPanel::refreshFromProgram()
{
    ByteArray record;
    juce::String name, layerMode, arp;
    {
        auto& bank = engine().presetBank();
        const juce::ScopedLock sl (engine().getProgramLock());
        record = bank.editBufferBytes();
        name = bank.editBufferName();
        layerMode = bank.editLayerModeLabel();
        arp = bank.editArpMarker();
    }

    const auto byteAt = [&record] (int i) { return i < (int) record.size() ? (int) record[(size_t) i] : 0; };

    lcd->setAll (engine().getCurrentBank(), engine().getCurrentProgram(), byteAt (ProgramRecord::category), name,
                 ParDes::categoryName (byteAt (ProgramRecord::category)), layerMode, arp);

    for (int i = 0; i <= 429; ++i)
        updateControl (i, byteAt (i), true);
    for (int i = 512; i <= 941; ++i)
        updateControl (i, byteAt (i), true);
}

//==============================================================================
void EditorPanel::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    for (auto* row : { &panelsA, &panelsB })
        for (auto& panel : *row)
            if (source == panel.get())
            {
                if (! zoomed)
                    zoomIntoGroup (panel.get());
                return;
            }

    for (auto* band : { dimLeft.get(), dimRight.get(), dimTop.get(), dimBottom.get() })
        if (source == band)
        {
            resetZoom();
            return;
        }

    if (source == scrollBar.get())
    {
        const int p = scrollBar->getPosition();
        if (auto* tab = appBar->getTab (p))
            showSection (tab->getId());
    }
}

void EditorPanel::stsbutChanged (StsBut* button)
{
    if (appBar->isTab (button))
        showSection (button->getId());
}
