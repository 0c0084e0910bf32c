#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/LibBut.h"
#include "controls/ListenerInterfaces.h"
#include "controls/TextInputCont.h"
#include "controls/UiSeam.h"
#include "librarian/Plugin_File.h"
#include "librarian/TextSetCurCont.h"
#include <memory>

class VantorAudioProcessor;
class Bank_Program;

// The "PRESET BANK" page: the host's programs in a list, loaded and saved as
// preset and bank files, filled from device banks and program bank files,
// renamed, and set from the current program. Choosing a row makes it the
// current program. Message thread only.
class Plugin_Bank : public juce::Component,
                    public LibButListener,
                    public textmsgListener,
                    public PlugFileListener,
                    public juce::ChangeBroadcaster,
                    public textSetCurListener
{
public:
    enum ButtonId { loadId = 1211, saveId = 1209, applyId = 1206, renameId = 1203, setCurrentId = 1316, doneId = 1201 };
    enum LoadItem { presetFileItem = 11, bankFileItem = 10, programBankItem = 14, deviceBankItem = 100 };
    enum SaveItem { savePresetItem = 21, saveBankItem = 20 };
    enum { closeCode = 1113, noticeCommand = 0, replaceCommand = 2048 };

    explicit Plugin_Bank (VantorAudioProcessor&);
    ~Plugin_Bank() override;

    juce::PopupMenu buildLoadMenu() const;
    void applyLoadChoice (int id);
    juce::PopupMenu buildSaveMenu() const;
    void applySaveChoice (int id);

    void saveCurrentPreset();
    void savePresetBank();
    void beginRename();
    void renamePreset (int slot);
    void showSetCurrent();
    void updateButtons();

    // Legal as a file name whatever the preset is called.
    static juce::String presetFileName (const juce::String& presetName);

    Plugin_File& getList() noexcept                 { return list; }
    LibBut& getButton (int id);
    juce::Label& getHelpLine() noexcept             { return helpLine; }
    TextInputCont* getTextBox() noexcept            { return textBox.get(); }
    TextSetCurCont* getNameBox() noexcept           { return nameBox.get(); }

    void libButClicked (LibBut* source, int id) override;
    void libButEntered (LibBut* source, int id) override;
    void libButExited (LibBut* source, int id) override;
    void okPressed (int commandId, int value) override;
    void noPressed (int commandId, int value) override;
    void cancelPressed (int commandId, int value) override;
    void presetSelected (int code, int value) override;
    void presetDoubleClicked (int code, int value) override;
    void nameAccepted (int slot) override;
    void nameCancelled() override;

    void paint (juce::Graphics&) override;
    void resized() override;

private:
    void close();
    void loadChunkFile (bool wholeBank);
    void loadProgramBankFile();
    bool chosenFileExists (const juce::File& chosen);
    void presetsReplaced (int count);
    void choosePreset (int slot);
    void saveChunk (bool wholeBank, const juce::String& proposedName);
    void showEntryBox();
    void showNotice (const juce::String& message);
    UiSeam::ReplaceQuestion askReplace();
    void answerReplace (bool replace);
    void hideBox (juce::Component*);
    void showMenu (const juce::PopupMenu&, LibBut& at, std::function<void (int)> apply);

    VantorAudioProcessor& processor;
    std::unique_ptr<TextSetCurCont> nameBox;
    juce::Label helpLine;
    int requestedClose = 0;
    juce::OwnedArray<LibBut> buttons;
    Plugin_File list;
    std::unique_ptr<TextInputCont> textBox;
    std::function<void (bool replace)> pendingReplace;   // the save waiting on the box's answer

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Plugin_Bank)
};
