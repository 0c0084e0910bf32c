#include "Snapshots.h"
#include "controls/StsLabel.h"
#include "editor/KeyBrd.h"
#include "editor/MIDI_Setup.h"
#include "editor/PianoKey.h"
#include "editor/PianoPad.h"
#include "engine/MidiCntrState.h"

namespace
{
struct NamedDevices : public MidiDeviceSystem
{
    juce::Array<juce::MidiDeviceInfo> list (const char* a, const char* b)
    {
        return { juce::MidiDeviceInfo (a, a), juce::MidiDeviceInfo (b, b) };
    }
    juce::Array<juce::MidiDeviceInfo> getInputDevices() override   { return list ("USB MIDI In", "Port 2 In"); }
    juce::Array<juce::MidiDeviceInfo> getOutputDevices() override  { return list ("USB MIDI Out", "Port 2 Out"); }
    std::unique_ptr<MidiDeviceInput> openInput (int, juce::MidiInputCallback*) override  { return {}; }
    std::unique_ptr<MidiDeviceOutput> openOutput (int) override    { return {}; }
};

// Keeps the engine alive as long as the pictured component.
template <typename C>
struct WithEngine : public juce::Component
{
    NamedDevices devices;
    MidiCntrState engine { devices };
    std::unique_ptr<C> shown;

    void resized() override   { if (shown != nullptr && shown->getWidth() == 0) shown->setBounds (getLocalBounds()); }
};

std::unique_ptr<juce::Component> keyboardPanel()
{
    auto w = std::make_unique<WithEngine<KeyBrd>>();
    w->setSize (1200, 172);
    w->shown = std::make_unique<KeyBrd> (&w->engine);
    w->addAndMakeVisible (*w->shown);
    w->shown->setZoom (1.0f, 0, 1200, 172);
    w->shown->setStatusText ("DSI:  PROPHET 12 MDL ON-LINE");
    w->shown->player().setStatusText ("Play Chn: 1 Key: C#3 Vel: 100");
    w->shown->keyBed().key (7).press (120);
    w->shown->keyBed().key (10).press (80);
    return w;
}

std::unique_ptr<juce::Component> midiSetup (bool withGlobals)
{
    auto w = std::make_unique<WithEngine<MIDI_Setup>>();
    w->setSize (830, 660);
    w->shown = std::make_unique<MIDI_Setup> (&w->engine);
    w->addAndMakeVisible (*w->shown);
    w->shown->setPortLists ({ "USB MIDI In", "Port 2 In" }, { "USB MIDI Out", "Port 2 Out" });
    w->shown->chosenInput = 1;
    w->shown->chosenOutput = 1;
    w->shown->outputOpen = true;
    w->shown->statusLabel().setText ("OFF-LINE");
    w->shown->layout (830, 660);
    if (withGlobals)
    {
        const int values[] = { 12, 50, 0, 0, 1, 0, 0, 1, 1, 2, 2, 1, 0, 0, 0, 0, 2, 3, 1, 1, 2, 0, 0, 1, 0, 8 };
        for (int i = 0; i < 26; ++i)
            w->engine.setGlobalByte (i, values[i]);
        w->shown->toggleGlobalPage();
    }
    return w;
}
}

VANTOR_SNAPSHOT ("keyboard-panel", 1200, 172, [] { return keyboardPanel(); });
VANTOR_SNAPSHOT ("midi-setup", 830, 660, [] { return midiSetup (false); });
VANTOR_SNAPSHOT ("midi-setup-globals", 830, 660, [] { return midiSetup (true); });
