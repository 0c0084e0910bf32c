#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>
#include "controls/StsBut.h"
#include "editor/Global_Container.h"

class MidiCntrState;
class StsLabel;
class Check_But;

// Where the user connects the plug-in to the synthesizer: port choice, SysEx
// size mode, the automation switch, and the global settings page. Commands
// for the main component go out as a change message with a code and value.
class MIDI_Setup : public juce::Component,
                   private juce::Timer,
                   public juce::ChangeListener,
                   public juce::ChangeBroadcaster,
                   public stsbutChangeListener,
                   public Global_Listener
{
public:
    enum Command { okCommand = 203, automationCommand = 212, inputCommand = 300, outputCommand = 302 };

    explicit MIDI_Setup (MidiCntrState* engine);
    ~MIDI_Setup() override;

    void setPortLists (const juce::StringArray& inputs, const juce::StringArray& outputs);
    void layout (int width, int height);

    static juce::String sysExSizeText (int mode);
    // What a click on a port box says when there is no device of that kind.
    static constexpr const char* noPortsText = "NO MIDI PORTS FOUND";

    int commandCode = 0, commandValue = 0;
    int chosenInput = 0, thirdPort = 0, chosenOutput = 0;
    bool inputOpen = false, outputOpen = false;

    StsLabel& statusLabel() noexcept                 { return *status; }
    StsLabel& sysExSizeLabel() noexcept              { return *sysExSize; }
    Check_But& automationToggle() noexcept           { return *automation; }
    StsBut& okButton() noexcept                      { return *ok; }
    StsBut& globalsButton() noexcept                 { return *globals; }
    juce::Label& instructionLabel() noexcept         { return *instructions; }
    Global_Container* getGlobalPage() noexcept       { return page.get(); }
    const juce::StringArray& inputNames() const      { return inputs; }
    const juce::StringArray& outputNames() const     { return outputs; }

    // Menus: built and applied apart, so both can be driven without a window.
    juce::PopupMenu buildPortMenu (int command) const;
    void applyPortMenu (int command, int result);
    void showPortMenu (int command);
    void showSysExSizeMenu();
    void applySysExSizeMenu (int result);

    void toggleGlobalPage();
    void closeGlobalPage();
    void globalsChanged();

    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent&) override;
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    void stsbutChanged (StsBut*) override;
    void globalPanelCommand (int code, int value) override;

private:
    void timerCallback() override;
    void send (int code, int value);
    void paintPortBox (juce::Graphics&, int y, const juce::StringArray& names, int chosen, bool open);
    void placeGlobalPage();

    MidiCntrState* engine;
    std::unique_ptr<juce::Label> instructions;
    std::unique_ptr<Global_Container> page;
    std::unique_ptr<juce::Viewport> pageView;   // scrolls the page when the window is smaller than it
    std::unique_ptr<StsLabel> status;
    juce::StringArray inputs { "NONE" }, outputs { "NONE" };
    std::unique_ptr<Check_But> automation;
    std::unique_ptr<StsLabel> sysExSize;
    std::unique_ptr<StsBut> ok, globals;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MIDI_Setup)
};
