#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

#include "controls/ListenerInterfaces.h"
#include "controls/StsBut.h"
#include "controls/StsGrid.h"
#include "engine/DSI_Program.h"
#include "engine/FileMan.h"
#include "engine/MidiCntrState.h"

class VantorAudioProcessor;
class EditorPanel;
class AboutPanel;
class ProgBar;

// Stands where the on-screen keyboard panel goes until it is built: it keeps
// the panel's place, zoom and the values the engine sends it, and draws the
// status line the keyboard panel will carry.
class KeyboardSlot : public juce::Component,
                     public juce::ChangeBroadcaster
{
public:
    KeyboardSlot();

    void setZoom (float zoom, int y, int width, int height);
    float getZoom() const noexcept                       { return zoom; }
    void setStatusText (const juce::String& text);
    const juce::String& getStatusText() const noexcept   { return statusText; }
    void setModWheel (int v)                             { modWheel = v; }
    void setPitchWheel (int v)                           { pitchWheel = v; }
    int getModWheel() const noexcept                     { return modWheel; }
    int getPitchWheel() const noexcept                   { return pitchWheel; }

    void paint (juce::Graphics&) override;

private:
    float zoom = 1.0f;
    juce::String statusText { "OFF-LINE" };
    int modWheel = 0, pitchWheel = 64;
};

// The editor window's content: builds and lays out the editor page, the
// keyboard panel and the dialogs, follows the engine's events and keeps the
// window geometry in the engine between openings.
class MainComp : public juce::Component,
                 public juce::ChangeListener,
                 public juce::ChangeBroadcaster,
                 public stateListener,
                 public stsbutChangeListener,
                 public MidiCntrStateListener,
                 public winToolListener,
                 public GridListener,
                 public juce::AsyncUpdater
{
public:
    explicit MainComp (VantorAudioProcessor& processor);
    ~MainComp() override;

    // What happens once the window is really on screen: the splash on the first
    // opening, the refresh and the global request. Hosts build throw-away editors
    // to ask for the size; those never start.
    void start();
    bool hasStarted() const noexcept                     { return started; }

    void resized() override;
    void layoutChildren();
    void zoomHandleChanged (int requestedHeight);

    void showBankPanel (bool show);
    void showMidiSetup (bool show);
    void showAbout (bool show, int autoCloseMs);
    void showWriteDialog (bool show);
    void openLibraryWindow();

    void handleEngineEvent (int event);
    void handleSectionCommand (int event);
    void setStatusText (const juce::String& text);

    void startTransfer (int code, int bank);
    void endTransfer();

    //==============================================================================
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    void stateChanged() override;
    void handleStateEvent (int) override                 {}
    void stsbutChanged (StsBut*) override;
    void midiCntrStateChanged (MidiCntrState*) override;
    void windowToolClicked (WinMovCan*, int code) override;
    void gridChanged (StsGrid*) override;
    void handleAsyncUpdate() override;

    //==============================================================================
    EditorPanel& getEditorPanel() noexcept               { return *editorPanel; }
    KeyboardSlot& getKeyboardPanel() noexcept            { return *keyboardPanel; }
    AboutPanel* getAboutPanel() const noexcept           { return aboutPanel.get(); }
    ProgBar* getProgressOverlay() const noexcept         { return progress.get(); }
    bool isAboutShown() const noexcept                   { return aboutShown; }
    int getTransferCode() const noexcept                 { return transferCode; }

    static constexpr int splashMs = 2000;

private:
    void build();
    void teardown();
    void handleCommand (int id);
    void applyPageHeight (int requestedHeight);
    void showProgress (int value, const juce::String& text);
    juce::Rectangle<int> monitorArea() const;
    MidiCntrState& engine() const;

    VantorAudioProcessor* processor;
    // Panels still to come: the library window, the bank selector, the MIDI
    // setup panel and the write dialog. Their flags stay false until they exist.
    bool bankPanelShown = false;
    std::unique_ptr<EditorPanel> editorPanel;
    bool midiSetupShown = false;
    std::unique_ptr<AboutPanel> aboutPanel;
    bool aboutShown = false;
    FileMan fileMan;
    bool writeDialogShown = false;
    std::unique_ptr<ProgBar> progress;
    std::unique_ptr<KeyboardSlot> keyboardPanel;
    std::unique_ptr<DSI_Program> clipboard;
    bool clipboardFull = false;

    int transferCode = -1;
    bool started = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComp)
};
