#include "Snapshots.h"
#include "controls/AppSetBarBut.h"
#include "controls/Check_But.h"
#include "controls/StsBut.h"
#include "controls/StsCont.h"
#include "controls/StsGrid.h"
#include "controls/StsLabel.h"
#include "controls/SwitchLED.h"
#include "engine/MidiCntrState.h"

namespace
{
const juce::Colour panelColour (0xff202326);

struct NoCable : public CableListener
{
    void parameterChanged (ParameterId, int, bool, bool, bool) override {}
};

struct NoDevices : public MidiDeviceSystem
{
    juce::Array<juce::MidiDeviceInfo> getInputDevices() override   { return {}; }
    juce::Array<juce::MidiDeviceInfo> getOutputDevices() override  { return {}; }
    std::unique_ptr<MidiDeviceInput> openInput (int, juce::MidiInputCallback*) override  { return {}; }
    std::unique_ptr<MidiDeviceOutput> openOutput (int) override    { return {}; }
};

juce::MouseEvent pressAt (juce::Component& c, float x, float y)
{
    return { juce::Desktop::getInstance().getMainMouseSource(), { x, y }, juce::ModifierKeys::leftButtonModifier,
             0, 0, 0, 0, 0, &c, &c, juce::Time(), { x, y }, juce::Time(), 1, false };
}

// Parameter controls of one kind in several states, on a panel.
class ControlBoard : public juce::Component
{
public:
    struct Item
    {
        int kind, x, y, w, h, maximum, value, style;
        const char* label;
        const char* text;
        float zoom = 1.0f;
    };

    explicit ControlBoard (std::initializer_list<Item> items)
    {
        for (const auto& item : items)
        {
            auto* c = controls.add (new StsCont (cable, 0));
            c->zoomFactor = item.zoom;
            c->knobStyle = item.style;
            c->setup (0, item.label, item.x, item.y + 16, item.w, item.h, 0, item.maximum, item.kind, 0);
            c->setTopLeftScaled (item.x, item.y + 16);
            c->setValue (item.value, item.text);
            addAndMakeVisible (c);
        }
    }

    void paint (juce::Graphics& g) override  { g.fillAll (panelColour); }

private:
    NoCable cable;
    juce::OwnedArray<StsCont> controls;
};

class ButtonBoard : public juce::Component
{
public:
    ButtonBoard()
    {
        add ("LOAD", StsBut::functionButton, 10, 10, 90, 22);
        add ("OSC 1", StsBut::sectionTab, 110, 10, 90, 22);
        add ("CANCEL", StsBut::dialogButton, 210, 10, 90, 24);
        add ("Transmit to bank", StsBut::checkEntry, 10, 50, 160, 22);
        add ("DONE", StsBut::flatButton, 210, 50, 90, 24);
        auto* pressed = add ("PRESSED", StsBut::flatButton, 310, 50, 90, 24);
        pressed->mouseDown (pressAt (*pressed, 10.0f, 10.0f));

        check.caption = "Send on load";
        check.captionColour = juce::Colours::white;
        check.setTopLeftPosition (10, 90);
        check.checked = true;
        addAndMakeVisible (check);

        led.on = true;
        led.setBounds (200, 95, 160, 18);
        addAndMakeVisible (led);

        for (int i = 0; i < 3; ++i)
        {
            auto* l = labels.add (new StsLabel());
            l->setup (juce::StringArray ("Plain", "Filled", "Framed")[i], "Arial", 13.0f);
            l->fillMode = i;
            l->fillColour = juce::Colour (0xff33404a);
            l->frameColour = juce::Colour (0xff8fa4b3);
            l->setBounds (10 + i * 100, 130, 90, 20);
            addAndMakeVisible (l);
        }

        bars.setBounds (330, 120, 36, 30);
        addAndMakeVisible (bars);
    }

    void paint (juce::Graphics& g) override
    {
        g.fillAll (panelColour);
        check.paintLabelOnParent (g);
    }

private:
    StsBut* add (const char* caption, int style, int x, int y, int w, int h)
    {
        auto* b = buttons.add (new StsBut (caption, 1200 + buttons.size(), style));
        b->setBoundsAndStyle (x, y, w, h, true);
        addAndMakeVisible (b);
        return b;
    }

    juce::OwnedArray<StsBut> buttons;
    juce::OwnedArray<StsLabel> labels;
    Check_But check;
    SwitchLED led { "Use Loaded Data" };
    AppSetBarBut bars;
};

// The grid as the bank selector shows it, over its own engine.
class GridBoard : public juce::Component
{
public:
    GridBoard (int mode, int value, int rows, int topRow, int selectRow)
    {
        grid.setRowHeight (46);
        grid.setTextHeight (14);
        grid.setScrollBarWidth (32);
        grid.setDefaultColours();
        grid.setColumnWidths ({ 50, 140, 100, 0 });
        grid.fill (mode, value);
        grid.setBounds (0, 0, 340, rows * 46);
        grid.setTopRow (topRow);
        addAndMakeVisible (grid);

        if (selectRow >= 0)
            grid.mouseDown (pressAt (grid, 20.0f, (float) (selectRow * 46 + 10)));
    }

    void paint (juce::Graphics& g) override  { g.fillAll (juce::Colours::black); }

private:
    NoDevices devices;
    MidiCntrState engine { devices };
    StsGrid grid { engine };
};

using Item = ControlBoard::Item;
}

VANTOR_SNAPSHOT ("param-knobs", 420, 90, [] {
    return std::make_unique<ControlBoard> (std::initializer_list<Item> {
        { StsCont::knob, 0, 5, 80, 80, 127, 0, 0, "Cutoff", "0" },
        { StsCont::knob, 80, 5, 80, 80, 127, 63, 1, "Resonance", "63" },
        { StsCont::knob, 160, 5, 80, 80, 127, 127, 2, "Env Amount", "127" },
        { StsCont::knob, 240, 5, 80, 80, 7, 3, 3, "Octave", "+3" },
        { StsCont::knob, 320, 5, 80, 80, 0, 0, 0, "Fixed", "-" },
    });
})

VANTOR_SNAPSHOT ("param-switches", 420, 90, [] {
    return std::make_unique<ControlBoard> (std::initializer_list<Item> {
        { StsCont::ledSwitch, 10, 5, 120, 20, 1, 0, 0, "Sync Off", "Off" },
        { StsCont::ledSwitch, 10, 30, 120, 20, 1, 1, 0, "Sync On", "On" },
        { StsCont::threeWay, 150, 5, 64, 20, 2, 0, 0, "", "" },
        { StsCont::threeWay, 150, 30, 64, 20, 2, 1, 0, "", "" },
        { StsCont::threeWay, 150, 55, 64, 20, 2, 2, 0, "", "" },
        { StsCont::centredLed, 240, 5, 80, 30, 1, 0, 0, "Key Sync", "Off" },
        { StsCont::centredLed, 320, 5, 80, 30, 1, 1, 0, "Latch", "On" },
        { StsCont::ledSwitch, 480, 110, 160, 40, 1, 1, 0, "Zoomed 0.5", "On", 0.5f },
    });
})

VANTOR_SNAPSHOT ("param-dropdowns", 420, 70, [] {
    return std::make_unique<ControlBoard> (std::initializer_list<Item> {
        { StsCont::dropDown, 10, 5, 120, 36, 8, 0, 0, "Wave", "Sawtooth" },
        { StsCont::dropDown, 150, 5, 120, 36, 8, 3, 0, "Mode", "A Very Long Value Text" },
        { StsCont::dropDown, 290, 5, 100, 36, 8, 1, 0, "", "" },
        { StsCont::dropDown, 480, 75, 200, 36, 8, 2, 0, "Zoomed 0.6", "Square", 0.6f },
    });
})

VANTOR_SNAPSHOT ("buttons-and-labels", 420, 160, [] { return std::make_unique<ButtonBoard>(); })
VANTOR_SNAPSHOT ("grid-bank", 340, 230, [] { return std::make_unique<GridBoard> (StsGrid::bankMode, 4, 5, 0, 1); })
VANTOR_SNAPSHOT ("grid-bank-scrolled", 340, 230, [] { return std::make_unique<GridBoard> (StsGrid::bankMode, 0, 5, 50, -1); })
VANTOR_SNAPSHOT ("grid-category", 340, 276, [] { return std::make_unique<GridBoard> (StsGrid::categoryMode, 3, 6, 0, 0); })
VANTOR_SNAPSHOT ("grid-category-arp", 340, 322, [] { return std::make_unique<GridBoard> (StsGrid::categoryMode, 25, 7, 0, 2); })
