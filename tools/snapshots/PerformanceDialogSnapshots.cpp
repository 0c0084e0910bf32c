#include "Snapshots.h"
#include "controls/CorButton.h"
#include "controls/Envel.h"
#include "controls/HorScrollClass.h"
#include "controls/LibBut.h"
#include "controls/OctaveKeyClass.h"
#include "controls/P_Pad.h"
#include "controls/P_Slider.h"
#include "controls/ProgBar.h"
#include "controls/RenameCnt.h"
#include "controls/ShapeClass.h"
#include "controls/SimpleLabel.h"
#include "controls/StBut.h"
#include "controls/TextInputCont.h"
#include "controls/VelIndClass.h"
#include "controls/WheelCnt.h"
#include "controls/WinMovCan.h"
#include "controls/ZoneKeyClass.h"
#include "controls/ZoneKeyClassB.h"
#include "engine/MidiCntrState.h"

namespace
{
const juce::Colour panelColour (0xff202326);

struct NoMidiDevices : public MidiDeviceSystem
{
    juce::Array<juce::MidiDeviceInfo> getInputDevices() override   { return {}; }
    juce::Array<juce::MidiDeviceInfo> getOutputDevices() override  { return {}; }
    std::unique_ptr<MidiDeviceInput> openInput (int, juce::MidiInputCallback*) override  { return {}; }
    std::unique_ptr<MidiDeviceOutput> openOutput (int) override    { return {}; }
};

// A panel that owns the controls laid on it (and an engine for those that need one).
class Board : public juce::Component
{
public:
    template <typename C>
    C& put (std::unique_ptr<C> c, int x, int y)
    {
        auto& ref = *c;
        c->setTopLeftPosition (x, y);
        addAndMakeVisible (*c);
        owned.push_back (std::move (c));
        return ref;
    }

    void paint (juce::Graphics& g) override   { g.fillAll (panelColour); }

    NoMidiDevices devices;
    MidiCntrState engine { devices };

private:
    std::vector<std::unique_ptr<juce::Component>> owned;
};

std::unique_ptr<juce::Component> envelopes()
{
    auto b = std::make_unique<Board>();
    b->put (std::make_unique<Envel>(), 0, 0);
    auto& shaped = b->put (std::make_unique<Envel>(), 224, 0);
    shaped.attack = 8; shaped.decay = 60; shaped.sustain = 90; shaped.release = 110;
    shaped.rebuildPath();
    auto& flat = b->put (std::make_unique<Envel>(), 448, 0);
    flat.attack = 127; flat.decay = 0; flat.sustain = 127; flat.release = 0;
    flat.rebuildPath();
    return b;
}

std::unique_ptr<juce::Component> shapes()
{
    auto b = std::make_unique<Board>();
    const std::pair<int, int> items[] = { { 0, 0 }, { 1, 127 }, { 1, 40 }, { 2, 64 }, { 2, 20 }, { 3, 0 }, { 3, 90 },
                                          { 4, 0 }, { 10, 127 }, { 17, 0 }, { 18, 64 }, { 19, 127 }, { 20, 64 } };
    int i = 0;
    for (auto [index, width] : items)
    {
        auto& icon = b->put (std::make_unique<ShapeClass> (nullptr, 0), 0, 0);
        icon.shapeIndex = index;
        icon.widthValue = width;
        icon.renderShape();
        icon.setTopLeftPosition (4 + 40 * i++, 4);
    }
    return b;
}

std::unique_ptr<juce::Component> scrollAndZoom()
{
    auto b = std::make_unique<Board>();
    int y = 4;
    for (int position : { 0, 5, 11 })
    {
        auto& bar = b->put (std::make_unique<HorScrollClass>(), 4, y);
        bar.setSize (220, 14);
        bar.setPosition (position);
        y += 20;
    }
    auto& narrow = b->put (std::make_unique<HorScrollClass>(), 4, y);   // narrower than its thumb
    narrow.setSize (40, 14);
    auto& corner = b->put (std::make_unique<CorButton>(), 240, 4);
    corner.percent = 100;
    auto& zoomed = b->put (std::make_unique<CorButton>(), 240, 24);
    zoomed.percent = 150;
    return b;
}

std::unique_ptr<juce::Component> performance()
{
    auto b = std::make_unique<Board>();
    auto& engine = b->engine;
    engine.setValue (ParameterIds::slider1, 70);
    engine.setValue (ParameterIds::slider2, 110);
    engine.setValue (ParameterIds::sliderPress, 40);

    auto& pitch = b->put (std::make_unique<WheelCnt> (&engine, 0, 0, 64, true), 0, 0);
    pitch.setDesignBounds (8, 8, 31, 112);
    auto& mod = b->put (std::make_unique<WheelCnt> (&engine, 0, 0, 100, false), 0, 0);
    mod.setDesignBounds (48, 8, 31, 112);

    b->put (std::make_unique<P_Slider> (&engine, 1), 92, 0).setBounds (92, 0, 36, 130);
    b->put (std::make_unique<P_Slider> (&engine, 2), 136, 0).setBounds (136, 0, 36, 130);
    b->put (std::make_unique<P_Pad> (&engine), 184, 20);

    b->put (std::make_unique<VelIndClass> (&engine), 290, 4);
    b->put (std::make_unique<VelIndClass> (&engine), 360, 4).setVelocity (100);
    return b;
}

std::unique_ptr<juce::Component> keyboards()
{
    auto b = std::make_unique<Board>();
    auto& octave = b->put (std::make_unique<OctaveKeyClass> (&b->engine), 0, 0);
    octave.setStartNote (24);
    octave.setBounds (8, 8, 269, 18);

    auto& right = b->put (std::make_unique<ZoneKeyClass>(), 8, 34);
    right.splitNote = 60;
    auto& left = b->put (std::make_unique<ZoneKeyClass>(), 8, 60);
    left.splitNote = 48;
    left.shadeMode = 1;

    auto& split = b->put (std::make_unique<ZoneKeyClassB>(), 8, 86);
    split.setNote (60);
    split.setVisible (true);
    return b;
}

std::unique_ptr<juce::Component> progress()
{
    auto b = std::make_unique<Board>();
    auto& bar = b->put (std::make_unique<ProgBar> (600, 200), 0, 0);
    bar.setProgress (64, "U2: 64");
    return b;
}

std::unique_ptr<juce::Component> renameBoxes()
{
    auto b = std::make_unique<Board>();
    b->put (std::make_unique<RenameCnt> (10, 10, "Warm Glass Pad"), 10, 10);
    b->put (std::make_unique<RenameCnt> (10, 70, "WWWWWWWWWWWWWWWW"), 10, 70);
    return b;
}

std::unique_ptr<juce::Component> entryBox (bool category, bool no)
{
    auto box = std::make_unique<TextInputCont>();
    box->setup (no ? "Replace the program in the library?" : "Save to Library", "Warm Glass Pad",
                "Cancel", "OK", no ? "NO" : "", category ? 7 : -1, 0, 0);
    return box;
}

std::unique_ptr<juce::Component> listControls()
{
    auto b = std::make_unique<Board>();
    b->put (std::make_unique<LibBut> ("LOAD", 1, 14.0f), 0, 0).setTopLeft (8, 8);
    b->put (std::make_unique<LibBut> ("A very long button text", 2, 14.0f), 0, 0).setTopLeft (116, 8);
    b->put (std::make_unique<LibBut> ("", 3, 14.0f), 0, 0).setTopLeft (224, 8);

    const char* names[] = { "Bass", "Lead", "LIST ALL" };
    for (int i = 0; i < 3; ++i)
        b->put (std::make_unique<StBut> (names[i], i), 0, 0).setTopLeft (8 + 104 * i, 50);

    auto& label = b->put (std::make_unique<SimpleLabel> (12.0f, panelColour.brighter (0.2f), nullptr, 0, 36), 8, 76);
    label.text = "12 programs";

    b->put (std::make_unique<WinMovCan> (true, true), 120, 76);
    b->put (std::make_unique<WinMovCan> (false, false), 190, 76);
    return b;
}
}

VANTOR_SNAPSHOT ("envelopes", 672, 80, envelopes)
VANTOR_SNAPSHOT ("shape-icons", 530, 30, shapes)
VANTOR_SNAPSHOT ("scroll-and-zoom", 300, 90, scrollAndZoom)
VANTOR_SNAPSHOT ("performance-controls", 440, 136, performance)
VANTOR_SNAPSHOT ("mini-keyboards", 525, 130, keyboards)
VANTOR_SNAPSHOT ("progress-overlay", 600, 200, progress)
VANTOR_SNAPSHOT ("rename-box", 200, 130, renameBoxes)
VANTOR_SNAPSHOT ("entry-box-plain", 600, 200, [] { return entryBox (false, false); })
VANTOR_SNAPSHOT ("entry-box-category-three", 600, 200, [] { return entryBox (true, true); })
VANTOR_SNAPSHOT ("list-window-controls", 340, 110, listControls)
