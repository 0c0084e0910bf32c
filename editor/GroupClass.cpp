#include "editor/GroupClass.h"
#include "editor/EditorRules.h"
#include "editor/SectionLayouts.h"
#include "engine/ParDes.h"
#include "engine/VantorAudioProcessor.h"
#include "controls/Envel.h"
#include "controls/KitFonts.h"
#include "controls/PaintCache.h"
#include "controls/P_Pad.h"
#include "controls/P_Slider.h"
#include "controls/ShapeClass.h"
#include "controls/ZoneKeyClass.h"
#include "controls/ZoneKeyClassB.h"

namespace
{
    struct SectionInfo { const char* title; bool layerLetter; };

    constexpr SectionInfo sections[] =
    {
        { "SLIDERS", false },
        { "OSCILLATORS", true },
        { "CHARACTER", true },
        { "LOW PASS FILTER", true },
        { "HIGH PASS FILTER", false },
        { "VOLTAGE CONTROLLED AMPLIFIER", false },
        { "FEEDBACK", true },
        { "DELAY", false },
        { "LOW FREQUENCY OSCILLATORS", true },
        { "ENVELOPE 3", true },
        { "ENVELOPE 4", false },
        { "MODULATION", true },
        { "DISTORTION", false },
        { "UNISON", false },
        { "ARPEGGIATOR", true },
        { "AB MODE", false },
    };

    constexpr int numSections = (int) (sizeof (sections) / sizeof (sections[0]));
    constexpr int abModeSection = 15;
    constexpr int slidersSection = 0;
    constexpr int splitPointParameter = ProgramRecord::splitPoint;

    bool isEnvelopeSection (int s) { return s == 3 || s == 5 || s == 9 || s == 10; }

    int scaled (int v, float s) { return (int) ((float) v * s); }

    const juce::Colour panelColour (0xFF1A1B1E);
}

GroupClass::GroupClass (VantorAudioProcessor& p, int sectionId, int layerIndex)
    : processor (p), section (sectionId), layer (layerIndex)
{
    setOpaque (true);
    buildSection();
}

GroupClass::~GroupClass()
{
    if (envelope != nullptr)   envelope->removeChangeListener (this);
    if (smallKeys != nullptr)  smallKeys->removeChangeListener (this);
    if (largeKeys != nullptr)  largeKeys->removeChangeListener (this);
}

juce::String GroupClass::sectionTitle (int s)
{
    return s >= 0 && s < numSections ? sections[s].title : "";
}

bool GroupClass::showsLayerLetter (int s)
{
    return s >= 0 && s < numSections && sections[s].layerLetter;
}

void GroupClass::buildSection()
{
    if (section < 0 || section >= numSections)
        return;

    for (const auto& row : SectionLayouts::controls (section))
    {
        auto& c = addControl();
        c.setup (row.parameter, row.label, row.x, row.y, row.w, row.h, row.minimum, row.maximum, row.kind, row.displayType);
        if (row.knobStyle != 0)
            c.knobStyle = row.knobStyle;
    }

    using Graphic = SectionLayouts::Graphic;
    for (const auto& g : SectionLayouts::graphics (section))
    {
        switch (g.kind)
        {
            case Graphic::touchStrip1:    addTouchStrip (1).setBounds (g.bounds); break;
            case Graphic::touchStrip2:    addTouchStrip (2).setBounds (g.bounds); break;
            case Graphic::pad:            addPad().setBounds (g.bounds); break;
            case Graphic::waveIcon:       addWaveIcon (g.bounds.getY()); break;
            case Graphic::envelope:       addEnvelope().setBounds (g.bounds); break;
            case Graphic::splitKeys:
            case Graphic::splitKeysLarge:
                if (smallKeys == nullptr)
                    addSplitKeyboards();
                (g.kind == Graphic::splitKeys ? (juce::Component&) *smallKeys : (juce::Component&) *largeKeys).setBounds (g.bounds);
                break;
        }
    }

    for (auto& c : controls)
    {
        c->setVisible (true);
        c->addListener (this);
    }
}

//==============================================================================
StsCont& GroupClass::addControl()
{
    controls.push_back (std::make_unique<StsCont> (processor, layer));
    addChildComponent (*controls.back());
    return *controls.back();
}

P_Slider& GroupClass::addTouchStrip (int which)
{
    auto& slot = which == 1 ? strip1 : strip2;
    slot = std::make_unique<P_Slider> (&processor.getEngine(), which);
    addAndMakeVisible (*slot);
    return *slot;
}

P_Pad& GroupClass::addPad()
{
    pad = std::make_unique<P_Pad> (&processor.getEngine());
    addAndMakeVisible (*pad);
    return *pad;
}

Envel& GroupClass::addEnvelope()
{
    envelope = std::make_unique<Envel> (this);
    envelope->addChangeListener (this);
    addAndMakeVisible (*envelope);
    return *envelope;
}

ShapeClass& GroupClass::addWaveIcon (int y)
{
    jassert (numWaveIcons < 4);
    auto& slot = waveIcons[(size_t) juce::jmin (numWaveIcons++, 3)];
    slot = std::make_unique<ShapeClass> (this, y);
    addAndMakeVisible (*slot);
    return *slot;
}

void GroupClass::addSplitKeyboards()
{
    smallKeys = std::make_unique<ZoneKeyClass>();
    smallKeys->addChangeListener (this);
    addAndMakeVisible (*smallKeys);

    largeKeys = std::make_unique<ZoneKeyClassB>();
    largeKeys->addChangeListener (this);
    addChildComponent (*largeKeys);
}

StsCont* GroupClass::getControl (int position) const noexcept
{
    return position >= 0 && position < (int) controls.size() ? controls[(size_t) position].get() : nullptr;
}

StsCont* GroupClass::findControl (int parameterNumber) const noexcept
{
    for (auto& c : controls)
        if (c->getParameterNumber() == parameterNumber)
            return c.get();
    return nullptr;
}

//==============================================================================
void GroupClass::setPosition (int x, int y, int w, int h)
{
    storedX = x;
    storedY = y;
    storedW = w;
    storedH = h;
    setBounds (scaled (x, scale), scaled (y, scale) + EditorRules::barHeight, scaled (w, scale), scaled (h, scale));
}

void GroupClass::setScale (float s)
{
    scale = s;

    for (auto& c : controls)
    {
        c->zoomFactor = s;
        const auto design = c->getDesignBounds();
        c->setBounds ((int) (design.getX() * s), (int) (design.getY() * s),
                      (int) (design.getWidth() * s), (int) (design.getHeight() * s));
    }

    if (section == 1)
    {
        for (auto& icon : waveIcons)
            if (icon != nullptr)
                icon->setScale (s);
    }
    else if (isEnvelopeSection (section) && envelope != nullptr)
    {
        envelope->zoom = s;
        envelope->setBounds (scaled (426, s), scaled (46, s), scaled (226, s), scaled (82, s));
    }
    else if (section == abModeSection && smallKeys != nullptr)
    {
        smallKeys->zoom = 0.8f;
        smallKeys->setBounds (0, 0, 215, 14);
    }
    else if (section == slidersSection)
    {
        if (strip1 != nullptr) { strip1->setScale (s); strip1->setBounds (scaled (16, s), scaled (60, s), scaled (36, s), scaled (130, s)); }
        if (strip2 != nullptr) { strip2->setScale (s); strip2->setBounds (scaled (72, s), scaled (60, s), scaled (36, s), scaled (130, s)); }
        if (pad != nullptr)    { pad->setScale (s);    pad->setBounds (scaled (18, s), scaled (210, s), scaled (90, s), scaled (90, s)); }
    }

    setPosition (storedX, storedY, storedW, storedH);
    updateBackdrops();
}

void GroupClass::setShown (bool s)
{
    if (shown == s)
        return;

    shown = s;
    updateBackdrops();
    repaint();
}

// Below the header a shown panel is plain colour: its controls may paint that
// themselves and hide it. The AB mode strip has its own colours and texts under them.
void GroupClass::updateBackdrops()
{
    const int headerBottom = scaled (16, scale);

    const auto plainAt = [&] (const juce::Component& c)
    {
        return shown && section != abModeSection && c.getY() >= headerBottom ? panelColour : juce::Colour();
    };

    for (auto& c : controls)
        c->setBackdrop (plainAt (*c));

    for (auto& icon : waveIcons)
        if (icon != nullptr)
            icon->setBackdrop (plainAt (*icon));
}

void GroupClass::setAbModeExpanded (bool expanded)
{
    auto* split = getControl (0);
    auto* mode = getControl (1);

    if (expanded)
    {
        if (smallKeys != nullptr)
            smallKeys->setVisible (false);

        setBounds (getX(), getY(), 600, 60);

        if (smallKeys != nullptr && largeKeys != nullptr)
        {
            if (smallKeys->splitNote != largeKeys->getNote())
            {
                largeKeys->setNote (smallKeys->splitNote);
                largeKeys->repaint();
            }
            largeKeys->setVisible (true);
        }

        if (split != nullptr) split->setTopLeftScaled (537, 55);
        if (mode != nullptr)  mode->setTopLeftScaled (24, 80);
        setPosition (667, -52, 600, 100);
    }
    else
    {
        if (largeKeys != nullptr)
            largeKeys->setVisible (false);

        if (smallKeys != nullptr)
        {
            smallKeys->setBounds (0, 3, 269, 18);
            smallKeys->setVisible (true);
        }

        if (split != nullptr) split->setTopLeftScaled (216, 16);
        if (mode != nullptr)  mode->setTopLeftScaled (0, 60);
        setPosition (667, -52, 260, 18);
    }

    repaint();
}

//==============================================================================
void GroupClass::parameterChanged (StsCont* control, int value)
{
    if (control == nullptr)
        return;

    control->setValue (value, ParDes::valueText (control->getDisplayType(), value));

    const int p = control->getParameterNumber();

    if (p >= 12 && p <= 15)
    {
        if (auto* icon = getWaveIcon (p - 12))
        {
            icon->shapeIndex = value;
            if (auto* shapeMod = getControl (16 + p - 12))
                icon->widthValue = shapeMod->getShownValue();
            icon->renderShape();
            icon->repaint();
        }
    }
    else if (p >= 28 && p <= 31)
    {
        if (auto* icon = getWaveIcon (p - 28))
        {
            icon->widthValue = value;
            icon->renderShape();
            icon->repaint();
        }
    }
    else if (p == splitPointParameter)
    {
        if (smallKeys != nullptr)
        {
            smallKeys->splitNote = value;
            smallKeys->repaint();
        }

        if (largeKeys != nullptr && largeKeys->isVisible() && largeKeys->getNote() != value)
        {
            largeKeys->setNote (value);
            largeKeys->repaint();
        }
    }
    else if (p >= 180 && p <= 195 && envelope != nullptr)
    {
        const auto v = (float) value;
        if (p < 184)      envelope->attack = v;
        else if (p < 188) envelope->decay = v;
        else if (p < 192) envelope->sustain = v;
        else              envelope->release = v;

        envelope->rebuildPath();
        envelope->repaint();
    }
}

//==============================================================================
void GroupClass::paint (juce::Graphics& g)
{
    // Opaque, so what lies behind is not painted: a hidden panel shows black.
    if (! shown)
    {
        g.fillAll (juce::Colours::black);
        return;
    }

    if (section == abModeSection && getWidth() < 500)
    {
        g.fillAll (juce::Colour (0xFF18191D));
        return;
    }

    if (section == abModeSection)
    {
        g.fillAll (panelColour);
        paintAbMode (g);
        return;
    }

    // The plain ground is copied whole; the controls on it copy their own pictures over it.
    const juce::Rectangle<int> bar (0, 0, scaled (storedW, scale), scaled (16, scale));
    {
        const juce::Graphics::ScopedSaveState state (g);
        g.excludeClipRegion (bar);
        PaintCache::fillOpaque (g, getLocalBounds(), panelColour);
    }

    // The header is opaque and the same at every opening: one picture, copied.
    PaintCache::Key key;
    key.kind = 0x68656164;   // panel header
    key.number1 = (juce::uint64) (juce::uint32) section | ((juce::uint64) (juce::uint32) layer << 8)
                | ((juce::uint64) (juce::uint32) storedW << 16);
    key.number2 = PaintCache::floatBits (scale);
    PaintCache::drawPicture (g, key, bar, true, [this] (juce::Graphics& pg)
    {
        drawHeader (pg, sectionTitle (section), storedW);
    });
}

void GroupClass::drawHeader (juce::Graphics& g, const juce::String& title, int w)
{
    const auto s = scale;
    const juce::Rectangle<int> bar (0, 0, scaled (w, s), scaled (16, s));

    g.setColour (juce::Colour (0xFF700010));
    g.fillRect (bar);

    const auto font = kitFont (12.0f * s);
    const auto colour = juce::Colour (0xFFF0F0F0);
    PaintCache::drawText (g, title, bar, juce::Justification::centred, font, colour, true);

    if (showsLayerLetter (section))
        PaintCache::drawText (g, layer == 0 ? "A" : "B", { scaled (4, s), 0, scaled (200, s), scaled (16, s) },
                              juce::Justification::centredLeft, font, colour, true);
}

void GroupClass::paintAbMode (juce::Graphics& g)
{
    drawHeader (g, "AB MODE", storedW);

    const auto font = kitFont (12.0f);
    PaintCache::drawText (g, "A + B", { 20, 80, 30, 20 }, juce::Justification::centred, font, juce::Colours::white, true);
    PaintCache::drawText (g, "A | B", { 60, 80, 30, 20 }, juce::Justification::centred, font, juce::Colours::white, true);
    PaintCache::drawText (g, "Split Point", { 510, 18, 100, 20 }, juce::Justification::centred, font, juce::Colours::white, true);
}

//==============================================================================
void GroupClass::mouseDown (const juce::MouseEvent& e)
{
    if (scale < clickZoomThreshold || e.mods.isRightButtonDown())
        sendChangeMessage();
}

void GroupClass::stsContClicked (int n)
{
    changeCode = n + 100;
    sendChangeMessage();
}

void GroupClass::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (envelope != nullptr && source == envelope.get())
        envelopeChanged (*envelope);
    else if (smallKeys != nullptr && source == smallKeys.get())
        sendChangeMessage();
    else if (largeKeys != nullptr && source == largeKeys.get())
        splitKeyboardChanged (*largeKeys);
}

void GroupClass::splitKeyboardChanged (ZoneKeyClassB& keys)
{
    auto* split = getControl (0);
    if (split == nullptr)
        return;

    const int note = keys.getNote();

    if (keys.changeCode == ZoneKeyClassB::picked)
    {
        // A drag has already put the note on show, which would make the request
        // look unchanged: forget the shown value so the final note is sent.
        split->invalidateShownValue();
        split->requestValue (note, false);
    }
    else if (keys.changeCode == ZoneKeyClassB::dragged)
    {
        split->setValue (note, ParDes::valueText (split->getDisplayType(), note));
    }
}

void GroupClass::envelopeChanged (Envel& graph)
{
    switch (graph.changeCode)
    {
        case Envel::passedToPanel: stsContClicked (section); break;
        case Envel::valuesChanged: sendEnvelope (graph, false); break;
        // Drag messages coalesce: the release carries the final values in case the last drag was lost.
        case Envel::released:      sendEnvelope (graph, true); break;
        default:  break;
    }
}

void GroupClass::sendEnvelope (Envel& graph, bool endGesture)
{
    const int first = SectionLayouts::firstEnvelopeStage (section);
    if (first < 0)
        return;
    const float values[] = { graph.attack, graph.decay, graph.sustain, graph.release };

    for (int i = 0; i < 4; ++i)
        if (auto* c = getControl (first + i))
            c->requestValue ((int) values[i], endGesture);
}
