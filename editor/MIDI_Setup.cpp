#include "editor/MIDI_Setup.h"
#include "controls/Check_But.h"
#include "controls/KitFonts.h"
#include "controls/StsLabel.h"
#include "controls/UiSeam.h"
#include "engine/MidiCntrState.h"

MIDI_Setup::MIDI_Setup (MidiCntrState* e)
    : engine (e)
{
    sysExSize = std::make_unique<StsLabel>();
    sysExSize->setup (sysExSizeText (engine != nullptr ? engine->ports().sysexChunkSize : 0), "Arial", 12.0f);
    sysExSize->fillMode = StsLabel::filledAndFramed;
    sysExSize->fillColour = juce::Colour (0xFF000000);
    sysExSize->frameColour = juce::Colour (0xFF9F9F9F);
    sysExSize->setOpaque (true);
    sysExSize->setBounds (180, 172, 100, 16);
    sysExSize->addChangeListener (this);
    addAndMakeVisible (*sysExSize);

    ok = std::make_unique<StsBut> ("OK", 1111, 140);
    ok->setBoundsAndStyle (326, 200, 74, 18, true);
    ok->addListener (this);
    addAndMakeVisible (*ok);
    globals = std::make_unique<StsBut> ("GLOBALS", 999, 140);
    globals->setBoundsAndStyle (326, 140, 74, 18, true);
    globals->addListener (this);
    addAndMakeVisible (*globals);

    status = std::make_unique<StsLabel>();
    status->setup ("------", "Arial", 13.0f);
    status->setBounds (0, 2, 500, 14);
    addAndMakeVisible (*status);

    automation = std::make_unique<Check_But>();
    automation->caption = "Control Program Change with Automation";
    automation->captionHeight = 13.0f;
    automation->captionColour = juce::Colours::white;
    automation->captionOnItself = false;
    automation->setBounds (20, 195, 300, 15);
    automation->addChangeListener (this);
    addAndMakeVisible (*automation);

    instructions = std::make_unique<juce::Label> ("glbLabel",
        "Prophet 12 Global Settings should be set manually as follows:\n\n"
        "MIDI Channel: All\nMIDI Parameter Send: NRPN\nMIDI Parameter Receive: NRPN\nMIDI Control Enable: ON\n"
        "MIDI Sysex Enable: ON\nMIDI Sysex Cable: USB or MIDI (depending on your connection)\n"
        "MIDI Out Select: USB or MIDI (depending on your connection)\n");
    instructions->setFont (kitFont (14.0f));
    instructions->setJustificationType (juce::Justification::centredLeft);
    instructions->setEditable (false, false, false);
    instructions->setColour (juce::Label::textColourId, juce::Colours::white);
    instructions->setColour (juce::TextEditor::textColourId, juce::Colours::black);
    instructions->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
    addAndMakeVisible (*instructions);

    setSize (400, 200);
}

MIDI_Setup::~MIDI_Setup()
{
    stopTimer();
    closeGlobalPage();
    sysExSize->removeChangeListener (this);
    automation->removeChangeListener (this);
    ok->removeListener (this);
    globals->removeListener (this);
}

juce::String MIDI_Setup::sysExSizeText (int mode)
{
    return mode != 0 ? "SySex Size" : "256";
}

void MIDI_Setup::setPortLists (const juce::StringArray& in, const juce::StringArray& out)
{
    inputs = juce::StringArray ("NONE");
    inputs.addArray (in);
    outputs = juce::StringArray ("NONE");
    outputs.addArray (out);
    repaint();
}

void MIDI_Setup::layout (int width, int height)
{
    // In a narrow window the buttons move left so the panel can still be closed.
    const int buttonX = juce::jlimit (0, 690, width - 84);
    instructions->setBounds (50, 310, 730, 160);
    ok->setBoundsAndStyle (buttonX, 240, 74, 18, true);
    globals->setBoundsAndStyle (buttonX, 200, 74, 18, true);
    status->setBounds (40, 30, 400, 14);
    automation->setBounds (juce::jlimit (0, 390, width - 300), 60, 300, 18);
    setBounds (0, 0, width, height);
    setVisible (true);
}

void MIDI_Setup::send (int code, int value)
{
    commandCode = code;
    commandValue = value;
    sendChangeMessage();
}

//==============================================================================
juce::PopupMenu MIDI_Setup::buildPortMenu (int command) const
{
    const auto& names = command == inputCommand ? inputs : outputs;
    juce::PopupMenu menu;
    for (int i = 0; i < names.size(); ++i)
        menu.addItem (i + 1, names[i]);
    return menu;
}

namespace
{
// Where entry i of one port list is in another: by name, and among ports of
// one name by their order (-1 when the other list has no such port).
int sameEntry (const juce::StringArray& from, int i, const juce::StringArray& to)
{
    if (! juce::isPositiveAndBelow (i, from.size()))
        return -1;

    int occurrence = 0;
    for (int j = 0; j < i; ++j)
        if (from[j] == from[i])
            ++occurrence;

    for (int j = 0; j < to.size(); ++j)
        if (to[j] == from[i] && occurrence-- == 0)
            return j;

    return -1;
}
}

void MIDI_Setup::applyPortMenu (int command, int result)
{
    const bool isInput = command == inputCommand;
    const auto& shown = isInput ? inputs : outputs;
    if (result < 1 || result > shown.size())
        return;

    int index = result - 1;
    if (index > 0 && engine != nullptr)
    {
        // The item chosen is the device opened. Only when the device lists
        // changed since the panel was filled is the port the user saw looked
        // up in the lists as they are now (the other direction likewise).
        const auto oldInputs = inputs, oldOutputs = outputs;
        setPortLists (engine->ports().inputDeviceNames(), engine->ports().outputDeviceNames());

        if (inputs != oldInputs || outputs != oldOutputs)
        {
            auto& otherChosen = isInput ? chosenOutput : chosenInput;
            otherChosen = juce::jmax (0, isInput ? sameEntry (oldOutputs, chosenOutput, outputs)
                                                 : sameEntry (oldInputs, chosenInput, inputs));

            index = isInput ? sameEntry (oldInputs, index, inputs) : sameEntry (oldOutputs, index, outputs);
            if (index < 1)
                return;   // gone: nothing opens
        }
    }

    (isInput ? chosenInput : chosenOutput) = index;
    repaint();
    send (command, index);
}

void MIDI_Setup::showPortMenu (int command)
{
    // Only "NONE": a menu of nothing would be no answer at all.
    if ((command == inputCommand ? inputs : outputs).size() < 2)
    {
        status->setText (noPortsText);
        return;
    }
    UiSeam::showMenu (buildPortMenu (command), this, [safe = juce::Component::SafePointer<MIDI_Setup> (this), command] (int result)
    {
        if (safe != nullptr)
            safe->applyPortMenu (command, result);
    });
}

void MIDI_Setup::showSysExSizeMenu()
{
    juce::PopupMenu menu;
    menu.addItem (1, "256");
    menu.addItem (2, "SySex Size");
    UiSeam::showMenu (menu, sysExSize.get(), [safe = juce::Component::SafePointer<MIDI_Setup> (this)] (int result)
    {
        if (safe != nullptr)
            safe->applySysExSizeMenu (result);
    });
}

void MIDI_Setup::applySysExSizeMenu (int result)
{
    if (engine == nullptr)
        return;
    if (result > 0)
        engine->ports().sysexChunkSize = result - 1;
    sysExSize->setText (sysExSizeText (engine->ports().sysexChunkSize));
}

//==============================================================================
void MIDI_Setup::toggleGlobalPage()
{
    if (page != nullptr)
    {
        stopTimer();
        closeGlobalPage();
        return;
    }
    if (engine == nullptr)
        return;

    engine->requestGlobals();
    instructions->setVisible (false);
    page = std::make_unique<Global_Container> (*engine);
    page->setBounds (0, 0, 750, 350);
    page->addListener (this);
    pageView = std::make_unique<juce::Viewport>();
    pageView->setViewedComponent (page.get(), false);
    pageView->setScrollBarThickness (12);
    pageView->setAlwaysOnTop (true);
    addAndMakeVisible (*pageView);
    placeGlobalPage();
}

// The page lies at (38, 285) when the panel has room for it; in a smaller
// window it moves up and left as far as needed, and scrolls what still does
// not fit, so every setting and the close box stay within reach.
void MIDI_Setup::placeGlobalPage()
{
    if (pageView == nullptr)
        return;
    const int x = juce::jlimit (0, 38, getWidth() - 750);
    const int y = juce::jlimit (0, 285, getHeight() - 350);
    pageView->setBounds (x, y, juce::jmin (750, getWidth() - x), juce::jmin (350, getHeight() - y));
}

void MIDI_Setup::resized()
{
    placeGlobalPage();
}

void MIDI_Setup::closeGlobalPage()
{
    // Both the close box (through the timer) and GLOBALS may ask: close once.
    if (page == nullptr)
        return;
    page->removeListener (this);
    pageView.reset();
    page.reset();
    instructions->setVisible (true);
}

void MIDI_Setup::globalsChanged()
{
    if (page != nullptr)
        page->globalsChanged();
}

void MIDI_Setup::globalPanelCommand (int code, int)
{
    if (code == Global_Listener::closeCode)
        startTimer (100);
}

void MIDI_Setup::timerCallback()
{
    stopTimer();
    closeGlobalPage();
}

//==============================================================================
void MIDI_Setup::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == sysExSize.get())
        showSysExSizeMenu();
    else if (source == automation.get())
        send (automationCommand, automation->checked ? 1 : 0);
}

void MIDI_Setup::stsbutChanged (StsBut* source)
{
    if (source == ok.get())
        send (okCommand, 0);
    else if (source == globals.get())
        toggleGlobalPage();
}

void MIDI_Setup::mouseDown (const juce::MouseEvent& e)
{
    if (e.x < 61 || e.x > 349)
        return;
    if (e.y >= 81 && e.y <= 103)
        showPortMenu (inputCommand);
    else if (e.y >= 131 && e.y <= 153)
        showPortMenu (outputCommand);
}

void MIDI_Setup::paintPortBox (juce::Graphics& g, int y, const juce::StringArray& names, int chosen, bool open)
{
    g.setColour (juce::Colour (0xFF282626));
    g.fillRect (60, y, 290, 24);
    g.setColour (juce::Colour (0xFFFBFFFF));
    g.drawRect (60, y, 290, 24, 1);
    g.setColour (juce::Colours::white);
    g.setFont (kitFont (14.0f));
    g.drawSingleLineText (juce::isPositiveAndBelow (chosen, names.size()) ? names[chosen] : juce::String(), 64, y + 16);

    const juce::Rectangle<float> light (330.0f, (float) y + 8.0f, 10.0f, 8.0f);
    g.setColour (juce::Colour (open ? 0xFFFF0000 : 0xFF432D24));
    g.fillRect (light);
    g.setColour (open ? juce::Colour (0xFF432D24) : juce::Colours::black);
    g.drawRoundedRectangle (light, 2.0f, 1.0f);
}

void MIDI_Setup::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0x88000000));

    auto panelBox = [&g] (juce::Rectangle<float> r)
    {
        g.setColour (juce::Colour (0xDD15222A));
        g.fillRoundedRectangle (r, 10.0f);
        g.setColour (juce::Colour (0xDD457089));
        g.drawRoundedRectangle (r, 10.0f, 3.0f);
    };
    if (instructions->isVisible())
        panelBox ({ 40.0f, 310.0f, 749.0f, 160.0f });
    panelBox ({ 40.0f, 20.0f, 749.0f, 250.0f });

    g.setFont (kitFont (14.0f));
    g.setColour (juce::Colour (0xFFF3F3F3));
    g.drawSingleLineText ("MIDI In Port", 60, 74);
    g.drawSingleLineText ("MIDI Out Port", 60, 124);
    g.drawSingleLineText ("SysEx Buffer Size:", 60, 184);
    g.setFont (kitFont (12.0f));
    g.setColour (juce::Colour (0xFF888888));
    g.drawSingleLineText ("Change only if receiving causes an error (Receiving SysEx).", 60, 204);

    if (automation->isVisible() && ! automation->captionOnItself)
    {
        automation->captionColour = juce::Colour (0xFFF3F3F3);
        automation->captionHeight = 14.0f;
        automation->paintLabelOnParent (g);
    }

    paintPortBox (g, 80, inputs, chosenInput, inputOpen);
    paintPortBox (g, 130, outputs, chosenOutput, outputOpen);
}
