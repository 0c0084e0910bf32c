#include <gtest/gtest.h>
#include "controls/Envel.h"
#include "controls/P_Pad.h"
#include "controls/P_Slider.h"
#include "controls/ShapeClass.h"
#include "controls/StsCont.h"
#include "controls/ZoneKeyClass.h"
#include "controls/ZoneKeyClassB.h"
#include "editor/EditorPanel.h"
#include "editor/GroupClass.h"
#include "editor/MainComp.h"
#include "editor/SectionLayouts.h"
#include "editor/VantorAudioProcessorEditor.h"
#include "engine/ParDes.h"
#include "engine/VantorAudioProcessor.h"
#include "support/ComponentTestSupport.h"
#include "support/EngineTestHelpers.h"
#include <cmath>
#include <map>
#include <optional>

// From a gesture on screen to the synthesizer and the host and back: whatever
// starts a change, the control's text, the edit buffer, the last NRPN the
// synthesizer decoded and the host's value must tell the same story.
namespace
{
using Nrpn = std::pair<int, int>;   // number, value

// Decodes the device's view of everything sent, running status included.
std::optional<Nrpn> lastNrpn (const OutputLog& log)
{
    int msb = 0, number = -1, valueMsb = 0;
    std::optional<Nrpn> last;
    for (auto [cc, v] : sentControllers (log))
        switch (cc)
        {
            case 99: msb = v; break;
            case 98: number = msb * 128 + v; break;
            case 6:  valueMsb = v; break;
            case 38: last = Nrpn { number, valueMsb * 128 + v }; break;
            default: break;
        }
    return last;
}

int lastController (const OutputLog& log, int controller)
{
    int value = -1;
    for (auto [cc, v] : sentControllers (log))
        value = cc == controller ? v : value;
    return value;
}

struct Rig : private juce::AudioProcessorListener
{
    Rig()
    {
        processor = std::make_unique<VantorAudioProcessor> (devices);
        processor->addListener (this);
        engine().ports().openOutput (1);
        engine().setEditorOpenedBefore (true);
        editor.reset (dynamic_cast<VantorAudioProcessorEditor*> (processor->createEditor()));
        editor->getMainComp().start();
        settle();
    }

    ~Rig() override
    {
        processor->removeListener (this);
        editor.reset();
        processor.reset();
    }

    MidiCntrState& engine()      { return processor->getEngine(); }
    EditorPanel& page()          { return editor->getMainComp().getEditorPanel(); }

    // What the message thread would do next: the processor takes the device's
    // values, the main component drains the engine's events.
    void settle()
    {
        for (int i = 0; i < 3; ++i)
        {
            engine().dispatchPendingMessages();
            editor->getMainComp().handleUpdateNowIfNeeded();
        }
    }

    // A panel at full size, visible, so hit-testing reaches its controls.
    GroupClass& panel (int layer, int section)
    {
        auto* p = page().getPanel (layer, section);
        if (section == SectionLayouts::numSections - 1)
            p->setAbModeExpanded (true);
        else
            p->setScale (1.0f);
        p->setVisible (true);
        return *p;
    }

    void sendFromDevice (int nrpn, int value)
    {
        for (auto [cc, v] : { Nrpn { 99, nrpn >> 7 }, Nrpn { 98, nrpn & 127 }, Nrpn { 6, value >> 7 }, Nrpn { 38, value & 127 } })
            engine().handleIncomingMidiMessage (nullptr, juce::MidiMessage::controllerEvent (engine().getMidiChannel(), cc, v));
    }

    juce::AudioProcessorParameter* hostParameter (ParameterId id)
    {
        const auto h = processor->parameterTable().hostIndex (id);
        return ParameterTable::isHostIndex (h) ? processor->getParameters()[h] : nullptr;
    }

    int sendCount() { return (int) devices.lastOutput()->sends().size(); }

    // The last value the host was told of, by host index; cleared before each gesture.
    std::map<int, float> toldHost;

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override   { toldHost[index] = value; }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}

    RecordingMidiDevices devices;
    std::unique_ptr<VantorAudioProcessor> processor;
    std::unique_ptr<VantorAudioProcessorEditor> editor;
    ui::MenuRecorder menus;
};

bool isLatch (ParameterId id) { return id == ParameterIds::sliderLatch1 || id == ParameterIds::sliderLatch2; }

// The one truth about a control; a value that came from the device is not sent back to it.
void expectAgreement (Rig& rig, const StsCont& c, int expected, bool sentToDevice)
{
    const ParameterId id = c.getKey();
    EXPECT_EQ (c.getShownValue(), expected);
    EXPECT_EQ (c.getValueText(), isLatch (id) ? juce::String() : ParDes::valueText (c.getDisplayType(), expected));
    EXPECT_EQ (rig.engine().getValue (id), expected);

    const auto number = rig.engine().nrpnMap().nrpnForId (id);
    if (sentToDevice && number != NrpnMap::none)
    {
        EXPECT_EQ (lastNrpn (*rig.devices.lastOutput()), (Nrpn { number, expected }));
    }

    if (auto* p = rig.hostParameter (id))
    {
        // The host was told what it reads, and writing that back changes nothing.
        const auto told = rig.toldHost.find (p->getParameterIndex());
        if (told != rig.toldHost.end())
        {
            EXPECT_FLOAT_EQ (told->second, p->getValue());
        }

        const int sends = rig.sendCount();
        p->setValue (p->getValue());
        rig.settle();
        EXPECT_EQ (rig.engine().getValue (id), expected);
        EXPECT_EQ (rig.sendCount(), sends);
    }
}

enum class Gesture { wheelUp, wheelDown, dragUp, click, clickLeft, clickRight, menu, host, hostLowest, device };

struct GestureCase { Gesture gesture; const char* name; std::vector<int> kinds; };

using K = StsCont::Kind;
const GestureCase gestureCases[] =
{
    { Gesture::wheelUp,    "wheel up",     { K::knob, K::dropDown, K::ledSwitch } },
    { Gesture::wheelDown,  "wheel down",   { K::knob } },
    { Gesture::dragUp,     "drag up",      { K::knob } },
    { Gesture::click,      "click",        { K::ledSwitch, K::centredLed } },
    { Gesture::clickLeft,  "left LED",     { K::threeWay } },
    { Gesture::clickRight, "right LED",    { K::threeWay } },
    { Gesture::menu,       "menu choice",  { K::dropDown } },
    { Gesture::host,       "automation",   { K::knob, K::dropDown, K::ledSwitch, K::centredLed, K::threeWay } },
    { Gesture::hostLowest, "automation to 0", { K::knob, K::dropDown } },
    { Gesture::device,     "device NRPN",  { K::knob, K::dropDown, K::ledSwitch, K::centredLed, K::threeWay } },
};

constexpr int dragPixels = 30;

// Switches start at their minimum, the rest in the middle of their range.
int startControl (Rig& rig, const StsCont& c)
{
    const bool isSwitch = c.getKind() != K::knob && c.getKind() != K::dropDown;
    const int start = isSwitch ? c.getMinimum() : (c.getMinimum() + c.getMaximum()) / 2;
    rig.processor->parameterChanged (c.getKey(), start, true, true, true);
    rig.settle();
    return start;
}

// Performs the gesture and says what value it must give.
int perform (Rig& rig, GroupClass& panel, StsCont& c, Gesture gesture, int start)
{
    const int lo = c.getMinimum(), hi = c.getMaximum();

    const auto b = c.getBounds();
    const auto centre = b.getCentre();
    const auto at = [&b] (int x, int y) { return b.getPosition() + juce::Point<int> (x, y); };

    switch (gesture)
    {
        case Gesture::wheelUp:    ui::wheel (panel, centre, 1.0f);  return juce::jmin (start + 1, hi);
        case Gesture::wheelDown:  ui::wheel (panel, centre, -1.0f); return juce::jmax (start - 1, lo);
        case Gesture::dragUp:
            ui::drag (panel, centre, centre.translated (0, -dragPixels));
            return juce::jmin (start + dragPixels / (hi < 15 ? 15 : 1), hi);
        case Gesture::click:
            ui::click (panel, c.getKind() == K::centredLed ? at (b.getWidth() / 2, 6) : at (10, 6));
            return start == 0 ? 1 : 0;
        case Gesture::clickLeft:  ui::click (panel, at (10, 6)); return start == 0 ? 1 : 0;
        case Gesture::clickRight: ui::click (panel, at (50, 6)); return start == 0 ? 2 : 0;
        case Gesture::menu:
            rig.menus.setAutoAnswer (hi + 1);   // the last value the list offers
            ui::click (panel, at (b.getWidth() / 2, 5));
            EXPECT_EQ (rig.menus.itemIds().size(), (size_t) (hi + 1));
            EXPECT_EQ (rig.menus.itemTexts().back(), ParDes::valueText (c.getDisplayType(), hi));
            return hi;
        case Gesture::host:
            rig.hostParameter (c.getKey())->setValue (1.0f);
            return hi;
        case Gesture::hostLowest:
            rig.hostParameter (c.getKey())->setValue (0.0f);
            return lo;
        case Gesture::device:
            rig.sendFromDevice (rig.engine().nrpnMap().nrpnForId (c.getKey()), hi);
            return hi;
    }
    return start;
}

bool applies (const GestureCase& g, Rig& rig, const StsCont& c)
{
    if (std::find (g.kinds.begin(), g.kinds.end(), c.getKind()) == g.kinds.end())
        return false;
    if (g.gesture == Gesture::host || g.gesture == Gesture::hostLowest)
        return rig.hostParameter (c.getKey()) != nullptr;
    if (g.gesture == Gesture::device)
        return rig.engine().nrpnMap().nrpnForId (c.getKey()) != NrpnMap::none;
    return true;
}
}

TEST (EditorRoundTrip, EveryGestureOnEveryControlOfBothLayersTellsOneTruth)
{
    Rig rig;
    int checked = 0;

    for (int layer = 0; layer < 2; ++layer)
        for (int section = layer; section < SectionLayouts::numSections; ++section)   // layer B has no SLIDERS
        {
            auto& panel = rig.panel (layer, section);
            ASSERT_EQ (panel.getNumControls(), (int) SectionLayouts::controls (section).size());

            for (int pos = 0; pos < panel.getNumControls(); ++pos)
            {
                auto& c = *panel.getControl (pos);
                for (const auto& g : gestureCases)
                {
                    if (! applies (g, rig, c))
                        continue;

                    SCOPED_TRACE (juce::String::formatted ("layer %d section %d pos %d ", layer, section, pos)
                                  + c.getLabel() + ": " + g.name);
                    const int start = startControl (rig, c);
                    const int sendsBefore = rig.sendCount();
                    rig.toldHost.clear();
                    const int expected = perform (rig, panel, c, g.gesture, start);
                    rig.settle();

                    expectAgreement (rig, c, expected, g.gesture != Gesture::device);
                    if (g.gesture == Gesture::device)
                    {
                        EXPECT_EQ (rig.sendCount(), sendsBefore) << "a device value was sent back";
                    }
                    ++checked;
                }

                if (::testing::Test::HasFailure())
                    return;   // one broken control is enough to read
            }
        }

    EXPECT_GT (checked, 2 * SectionLayouts::controlsPerLayer);
}

TEST (EditorRoundTrip, EnvelopeHandlesEditTheirStageControlsInEveryEnvelopePanel)
{
    Rig rig;
    for (int layer = 0; layer < 2; ++layer)
        for (int section : { 3, 5, 9, 10 })
        {
            SCOPED_TRACE (juce::String::formatted ("layer %d section %d", layer, section));
            auto& panel = rig.panel (layer, section);
            auto& graph = *panel.getEnvelope();
            const int first = SectionLayouts::firstEnvelopeStage (section);

            for (int stage = 0; stage < 4; ++stage)
                rig.processor->parameterChanged (panel.getControl (first + stage)->getKey(), 40, true, true, true);
            rig.settle();

            // The release handle (the last corner) 30 pixels right: release grows by 20.
            const auto handle = graph.getBounds().getPosition()
                              + juce::Point<int> ((int) graph.pointX (4), (int) graph.pointY (4));
            ui::drag (panel, handle, handle.translated (30, 0));
            graph.dispatchPendingMessages();
            rig.settle();

            auto& release = *panel.getControl (first + 3);
            EXPECT_EQ (release.getParameterNumber() % 4, section == 3 ? 0 : section == 5 ? 1 : section == 9 ? 2 : 3);
            expectAgreement (rig, release, 60, true);
            for (int stage = 0; stage < 3; ++stage)
                expectAgreement (rig, *panel.getControl (first + stage), 40, false);
        }
}

TEST (EditorRoundTrip, TheLargeSplitKeyboardSetsTheSplitPointOnPressAndRelease)
{
    Rig rig;
    for (int layer = 0; layer < 2; ++layer)
    {
        SCOPED_TRACE (layer);
        auto& panel = rig.panel (layer, 15);
        auto& keys = *panel.getLargeSplitKeyboard();
        auto& split = *panel.getControl (0);
        rig.processor->parameterChanged (split.getKey(), 60, true, true, true);
        rig.settle();

        // Both ends of the keyboard: notes above the split point's range clamp to it.
        for (int x : { 100, 400, keys.getWidth() - 2 })
        {
            const auto origin = keys.getBounds().getPosition();
            ui::drag (panel, origin + juce::Point<int> (x - 30, 20), origin + juce::Point<int> (x, 20));
            keys.dispatchPendingMessages();
            rig.settle();
            expectAgreement (rig, split, juce::jmin (keys.noteAt (x), split.getMaximum()), true);
        }
    }
}

TEST (EditorRoundTrip, StripsAndPadSpringBackUnlessLatched)
{
    struct Case { const char* name; bool latched; };
    for (auto c : { Case { "free", false }, Case { "latched", true } })
    {
        SCOPED_TRACE (c.name);
        Rig rig;
        auto& panel = rig.panel (0, 0);

        for (int latch = 0; c.latched && latch < 2; ++latch)
        {
            auto& control = *panel.getControl (latch);
            ui::click (panel, control.getBounds().getPosition() + juce::Point<int> (control.getWidth() / 2, 6));
            rig.settle();
            expectAgreement (rig, control, 1, false);
        }

        const juce::Point<int> end (46, 40);   // 40 from the strip's top: position 87; 10 right of it: pressure 10
        for (int which = 1; which <= 2; ++which)
        {
            auto& strip = *panel.getTouchStrip (which);
            ui::drag (panel, strip.getPosition() + juce::Point<int> (18, 100), strip.getPosition() + end);
            rig.settle();

            const ParameterId id = strip.positionId();
            const int expected = c.latched ? 87 : 0, controller = which == 1 ? 14 : 15;
            const auto sent = sentControllers (*rig.devices.lastOutput());
            EXPECT_NE (std::find (sent.begin(), sent.end(), std::pair { controller, 87 }), sent.end()) << "nothing went out while held";
            EXPECT_EQ (rig.engine().getValue (id), expected) << which;
            EXPECT_EQ (lastController (*rig.devices.lastOutput(), controller), expected);
            EXPECT_EQ (rig.engine().getValue (ParameterIds::sliderPress), c.latched ? 10 : 0);
            EXPECT_EQ (lastController (*rig.devices.lastOutput(), 17), c.latched ? 10 : 0);
            EXPECT_EQ (rig.toldHost[rig.hostParameter (id)->getParameterIndex()], rig.hostParameter (id)->getValue());
            EXPECT_EQ (rig.hostParameter (id)->getValue() > 0.0f, c.latched);
        }

        auto& pad = *panel.getPad();
        ui::drag (panel, pad.getPosition() + juce::Point<int> (10, 80), pad.getPosition() + juce::Point<int> (44, 22));
        rig.settle();
        const int vertical = c.latched ? (88 - 22) * 16 / 11 : 0, horizontal = c.latched ? 44 * 16 / 11 : 0;
        EXPECT_EQ (rig.engine().getValue (ParameterIds::slider1), vertical);
        EXPECT_EQ (rig.engine().getValue (ParameterIds::slider2), horizontal);
        EXPECT_EQ (lastController (*rig.devices.lastOutput(), 14), vertical);
        EXPECT_EQ (lastController (*rig.devices.lastOutput(), 15), horizontal);
    }
}

namespace
{
// Stands in for the editor's picture cache and keeps every area it is told to redraw.
struct InvalidationRecorder : public juce::CachedComponentImage
{
    void paint (juce::Graphics&) override {}
    bool invalidateAll() override                              { everything = true; return true; }
    bool invalidate (const juce::Rectangle<int>& area) override { areas.add (area); return true; }
    void releaseResources() override {}

    juce::RectangleList<int> areas;
    bool everything = false;
};

// What of a component its parents leave on screen, in top's coordinates.
juce::Rectangle<int> visibleArea (juce::Component& top, juce::Component& c)
{
    auto area = top.getLocalArea (&c, c.getLocalBounds());
    for (auto* p = c.getParentComponent(); p != nullptr && p != &top; p = p->getParentComponent())
        area = area.getIntersection (top.getLocalArea (p, p->getLocalBounds()));
    return area.getIntersection (top.getLocalBounds());
}

// A control's own area and those of the displays that show the same parameter.
juce::RectangleList<int> areasShowing (juce::Component& top, GroupClass& panel, StsCont& c)
{
    juce::RectangleList<int> allowed;
    const auto add = [&] (juce::Component* comp) { if (comp != nullptr) allowed.add (top.getLocalArea (comp, comp->getLocalBounds())); };
    add (&c);

    const int p = c.getParameterNumber();
    if (p >= 12 && p <= 15)  add (panel.getWaveIcon (p - 12));
    if (p >= 28 && p <= 31)  add (panel.getWaveIcon (p - 28));
    if (p >= 180 && p <= 195) add (panel.getEnvelope());
    if (p == 424)           { add (panel.getSmallSplitKeyboard()); add (panel.getLargeSplitKeyboard()); }
    return allowed;
}
}

TEST (EditorRoundTrip, OneValueRedrawsOnlyWhatShowsIt)
{
    Rig rig;
    auto& top = *rig.editor;
    top.setVisible (true);
    auto* recorder = new InvalidationRecorder();
    top.setCachedComponentImage (recorder);   // owned by the editor from here
    int checked = 0;

    for (int tab = 1; tab <= 12; ++tab)
    {
        rig.page().showSection (tab);
        for (int layer = 0; layer < 2; ++layer)
            for (int position = 0; position < EditorPanel::numPositions; ++position)
            {
                auto* panel = rig.page().getPanel (layer, position);
                if (panel == nullptr || ! panel->isShown() || ! panel->isVisible())
                    continue;

                for (int i = 0; i < panel->getNumControls(); ++i)
                {
                    auto& c = *panel->getControl (i);
                    if (isLatch (c.getKey()))
                        continue;   // shown through latch events, not by id
                    const int next = c.getShownValue() < c.getMaximum() ? c.getShownValue() + 1 : c.getMinimum();
                    recorder->areas.clear();
                    recorder->everything = false;

                    rig.page().updateControl (c.getKey(), next, false);

                    SCOPED_TRACE (juce::String::formatted ("layer %d section %d pos %d ", layer, position, i) + c.getLabel());
                    EXPECT_FALSE (recorder->everything);
                    EXPECT_EQ (recorder->areas.isEmpty(), visibleArea (top, c).isEmpty());
                    auto outside = recorder->areas;
                    outside.subtract (areasShowing (top, *panel, c));
                    EXPECT_TRUE (outside.isEmpty()) << "also redrawn: " << outside.getBounds().toString();
                    ++checked;
                }
            }
    }
    EXPECT_GT (checked, SectionLayouts::controlsPerLayer);
}
