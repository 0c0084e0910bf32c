#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/LibBut.h"
#include "controls/ListenerInterfaces.h"
#include "controls/SimpleLabel.h"
#include "controls/TextInputCont.h"
#include "controls/UiSeam.h"
#include "librarian/CatContainer.h"
#include "librarian/LibraryFile.h"
#include "librarian/StsFile.h"
#include <functional>
#include <memory>

class Bank_Program;
class VantorAudioProcessor;

// The "LIBRARY" page: the program library list with the category selector
// and the commands that fill, save, clear, rename, delete and extend it.
// Selecting a program makes it the current program. Questions and name
// entries appear in one box laid over the page. Message thread only.
class LibClass : public juce::Component,
                 public LibButListener,
                 public textmsgListener,
                 public StsFileListener,
                 public CatListener
{
public:
    enum ButtonId { loadId = 1319, saveId = 1209, clearId = 1205, applyId = 1206,
                    renameId = 1203, deleteId = 1204, addCurrentId = 1207, doneId = 1201 };

    // Commands of the box: the questions and entries, a notice, and a
    // notice after which a tolerated file problem goes on to the import.
    enum Command { noticeCommand = 0, importQuestion = 256, clearQuestion = 768, deleteQuestion = 1024,
                   renameEntry = 1280, nameEntry = 1536, noticeThenImport = 1792, replaceQuestion = 2048 };

    enum LoadItem { deviceBankItem = 100, libraryFileItem = 200, programBankFileItem = 300, presetBankItem = 777 };

    explicit LibClass (VantorAudioProcessor&);
    ~LibClass() override;

    static juce::File defaultLibraryFile();
    void loadDefaultLibrary();
    // Writes the default library when this page changed it; the destructor calls it.
    LibraryFile::StoreResult storeDefaultLibrary();

    juce::PopupMenu buildLoadMenu() const;
    void showLoadMenu();
    void applyLoadChoice (int id);

    void loadLibraryFile();
    void loadProgramBankFile();
    // Saves to a chosen file; then (if given) learns whether it was written.
    void saveLibraryAs (std::function<void (bool saved)> then = {});
    void clearAll();
    void applySelected();
    void askRename();
    void askDelete();
    void askAddCurrent();
    void renameSelected();
    void deleteSelected();
    void addCurrentProgram (const juce::String& text, int category);
    void updateButtons();

    StsFile& getList() noexcept                     { return list; }
    CatContainer& getSelector() noexcept            { return selector; }
    SimpleLabel& getCategoryLabel() noexcept        { return categoryLabel; }
    juce::Label& getHelpLine() noexcept             { return helpLine; }
    LibBut& getButton (int id);
    TextInputCont* getTextBox() noexcept            { return textBox.get(); }
    bool isBoxShown() const noexcept                { return textBox != nullptr && textBox->isVisible(); }

    void libButClicked (LibBut* source, int id) override;
    void libButEntered (LibBut* source, int id) override;
    void libButExited (LibBut* source, int id) override;
    void okPressed (int commandId, int value) override;
    void noPressed (int commandId, int value) override;
    void cancelPressed (int commandId, int value) override;
    void fileListChanged (int code, int value) override;
    void fileListDoubleClicked (int code, int value) override;
    void categoryChosen (int index) override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent&) override;

private:
    void importFile (const juce::File& file);
    void importFrom (const Bank_Program& bank);
    void importEnding();
    void askQuestion (const juce::String& message, const juce::String& ok, const juce::String& no,
                      const juce::String& cancel, int command, int value);
    void askText (const juce::String& message, const juce::String& text, int category, int command);
    void showNotice (const juce::String& message, int command = noticeCommand);
    UiSeam::ReplaceQuestion askReplace();
    void answerReplace (bool replace);
    void showBox (bool withEditor);
    void closeBox();
    ByteArray editBuffer (juce::String* name) const;

    VantorAudioProcessor& processor;
    juce::Colour backgroundColour { 0xff373535 };

    StsFile list;
    SimpleLabel categoryLabel { 16.0f, juce::Colour (0xff373535), nullptr, juce::Font::bold, juce::Justification::centredLeft };
    juce::OwnedArray<LibBut> buttons;
    CatContainer selector;
    juce::Label helpLine;
    std::unique_ptr<TextInputCont> textBox;
    std::function<void (bool replace)> pendingReplace;   // the save waiting on the box's answer

    LibraryFile::Origin origin;
    juce::uint64 storedChange = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LibClass)
};
