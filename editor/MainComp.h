#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>

#include "controls/KitLookAndFeel.h"
#include "controls/ListenerInterfaces.h"
#include "controls/StsBut.h"
#include "controls/StsGrid.h"
#include "controls/TextEntry.h"
#include "controls/UiSeam.h"
#include "engine/DSI_Program.h"
#include "engine/FileMan.h"
#include "engine/MidiCntrState.h"
#include "editor/EditorRules.h"
#include "editor/KeyBrd.h"
#include "editor/MIDI_Setup.h"
#include "librarian/Lib_Manager_Win.h"

class VantorAudioProcessor;
class EditorPanel;
class AboutPanel;
class ProgBar;
class BankComp;
class WriteSnd;
class AskPanel;

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
    Lib_Manager_Win* getLibraryWindow() const noexcept   { return libraryWindow.get(); }

    void handleEngineEvent (int event);
    void handleSectionCommand (int event);
    void setStatusText (const juce::String& text);

    // A transfer's code: the receives are the engine's own modes.
    enum TransferCode
    {
        noTransfer          = -1,
        receiveOneBank      = 0,
        receiveUserBanks    = MidiCntrState::allUserBanks,
        receiveFactoryBanks = MidiCntrState::allFactoryBanks,
        sendOneBank         = 100,
        sendUserBanks       = 888,
        sendFactoryBanks    = 887
    };

    // Where a category menu's choice goes.
    enum CategoryTarget
    {
        bankPanelCategory  = 86,   // the bank panel's category filter
        editBufferCategory = 87,   // the edited program
        slotCategory       = 88,   // a bank slot's program
        writeLcdCategory   = 89,   // the write dialog's display
        writeGridCategory  = 90    // the write dialog's category filter
    };

    void startTransfer (int code, int bank);
    void endTransfer();

    //==============================================================================
    // Commands. Each menu is a build and an apply; show* runs the pair through
    // the menu seam. Applies that overwrite many programs ask first.
    void handleCommand (int id);
    void lcdClicked (int code);
    void handleBankCommand (int code);
    void handleMidiSetupCommand (int code, int value);
    void midiSetupChanged();

    juce::PopupMenu buildEditMenu() const;
    void applyEditMenu (int id);
    void showEditMenu();
    juce::PopupMenu buildFileMenu() const;
    void applyFileMenu (int id);
    void showFileMenu();
    juce::PopupMenu buildSendMenu() const;
    void applySendMenu (int id);
    void showSendMenu();
    juce::PopupMenu buildChannelMenu() const;
    void applyChannelMenu (int id);
    void showChannelMenu();
    juce::PopupMenu buildProgramMenu() const;
    void applyProgramMenu (int id);
    void showProgramMenu();
    juce::PopupMenu buildCategoryMenu() const;
    void applyCategoryMenu (int id, int target, int bank, int program);
    void showCategoryMenu (int target, int bank, int program);
    juce::PopupMenu buildGridProgramMenu (int bank, int program) const;
    void applyGridProgramMenu (int id, int bank, int program);
    void showGridProgramMenu (int bank, int program);
    juce::PopupMenu buildBankFileMenu() const;
    void applyBankFileMenu (int id);
    void showBankFileMenu();
    juce::PopupMenu buildBankMidiMenu() const;
    void applyBankMidiMenu (int id);
    void showBankMidiMenu();
    juce::PopupMenu buildPresetsMenu() const;
    void applyPresetsMenu (int id);
    void showPresetsMenu();

    void copyProgram();
    void copyStoredProgram (int bank, int program);
    void pasteProgram (bool toSlot, int bank, int program);
    void reloadEditBuffer();
    void loadProgramBankFile (int bank);
    void saveSingleProgram (const ByteArray& dump, const juce::String& name);
    void saveProgramBankFile (int bank);
    UiSeam::ReplaceQuestion askReplace();
    void writeProgram();

    // Shows a question; the action runs only on the go-ahead button.
    void ask (const juce::String& question, const juce::String& detail, const juce::String& goAheadText,
              std::function<void()> action);
    AskPanel* getQuestion() const noexcept               { return question.get(); }
    BankComp* getBankComp() const noexcept               { return bankComp.get(); }
    WriteSnd* getWriteDialog() const noexcept            { return writeDialog.get(); }
    bool isBankPanelShown() const noexcept               { return bankPanelShown; }
    const DSI_Program* getClipboard() const noexcept     { return clipboardFull ? clipboard.get() : nullptr; }

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
    KeyBrd& getKeyboardPanel() noexcept            { return *keyboardPanel; }
    MIDI_Setup* getMidiSetup() noexcept             { return midiSetup.get(); }
    AboutPanel* getAboutPanel() const noexcept           { return aboutPanel.get(); }
    ProgBar* getProgressOverlay() const noexcept         { return progress.get(); }
    int getTransferCode() const noexcept                 { return transferCode; }

    static constexpr int splashMs = 2000;

private:
    void build();
    void teardown();
    void closeQuestion();
    bool transmitBankTo (int destBank);
    void refillBankGrid();
    void fillClipboard (const ByteArray& record);
    void runMenu (juce::PopupMenu menu, juce::Component* target, std::function<void (MainComp&, int)> apply);
    void applyPageHeight (int requestedHeight);
    void fitPageToWindow();
    void restack();
    void showProgress (int value, const juce::String& text);
    void showProgressOverlay();
    juce::Rectangle<int> monitorArea() const;
    MidiCntrState& engine() const;

    VantorAudioProcessor* processor;
    // Fonts named "Arial" anywhere in the panels resolve through the default
    // look; inside a host that is not ours unless we hold it, and the host's
    // font lookup can come back empty (text drawn low, descenders cut).
    // Declared before the panels so it outlives them.
    KitDefaultLook defaultLook;
    // The computer keyboard of this editor's windows, its own and the library's.
    KeyScope keys;
    std::unique_ptr<BankComp> bankComp;
    bool bankPanelShown = false;
    int pageHeightBeforeBanks = 0;
    int chosenPageHeight = EditorRules::pageHeightForZoom (1.0f);   // by the zoom handle; the window may show less
    std::unique_ptr<EditorPanel> editorPanel;
    bool midiSetupShown = false;
    std::unique_ptr<MIDI_Setup> midiSetup;
    std::unique_ptr<AboutPanel> aboutPanel;
    bool aboutShown = false;
    FileMan fileMan;
    bool writeDialogShown = false;
    std::unique_ptr<WriteSnd> writeDialog;
    std::unique_ptr<AskPanel> question;
    std::unique_ptr<ProgBar> progress;
    std::unique_ptr<KeyBrd> keyboardPanel;
    std::unique_ptr<DSI_Program> clipboard;
    bool clipboardFull = false;
    std::unique_ptr<Lib_Manager_Win> libraryWindow;   // made on first use, deleted with us

    int transferCode = noTransfer;
    bool started = false;
    juce::String pendingNotice;   // shown in place of the next "OFF-LINE" and "ON-LINE"

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComp)
};
