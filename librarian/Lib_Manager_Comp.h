#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/LibBut.h"
#include "controls/ListenerInterfaces.h"
#include "controls/WinMovCan.h"
#include "editor/KeyPlayClass.h"
#include <memory>

class VantorAudioProcessor;
class Lib_Manager_Win;
class Plugin_Bank;
class LibClass;

// The library window's content: its own header (dragged to move the window),
// two tabs, a close button, and the preset bank and library pages, each made
// on first use and kept. Message thread only.
class Lib_Manager_Comp : public juce::Component,
                         public LibButListener,
                         public KeyPlayListener,
                         public juce::ChangeBroadcaster
{
public:
    enum { presetBankTab = 1218, libraryTab = 1217, doneId = 1201 };

    explicit Lib_Manager_Comp (VantorAudioProcessor&);
    ~Lib_Manager_Comp() override;

    void showLibraryPage();
    void showPresetBankPage();

    void setWindow (Lib_Manager_Win* w) noexcept    { window = w; }
    WinMovCan& getCloseButton() noexcept            { return closeButton; }
    LibBut& getTab (int id);
    const juce::String& getPageName() const noexcept { return pageName; }
    Plugin_Bank* getPresetBankPage() const noexcept { return presetPage.get(); }
    LibClass* getLibraryPage() const noexcept       { return libraryPage.get(); }
    juce::Label& getHelpLine() noexcept             { return helpLine; }
    KeyPlayClass& player() noexcept                 { return keyPlayer; }

    void libButClicked (LibBut* source, int id) override;
    void libButEntered (LibBut* source, int id) override;
    void libButExited (LibBut* source, int id) override;
    void keyPlayMouseDown (int x, int y) override;
    void keyPlayMouseUp (int, int) override         {}
    void keyPlayMouseDrag (int x, int y) override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseMove (const juce::MouseEvent&) override;

private:
    void beginDrag (int x, int y, bool onHandle);
    void dragTo (int x, int y);
    void sendClose();

    VantorAudioProcessor& processor;
    juce::Label helpLine;
    juce::String pageName;
    bool dragging = false;
    int pressX = 0, pressY = 0;
    Lib_Manager_Win* window = nullptr;
    KeyPlayClass keyPlayer;
    WinMovCan closeButton { false, false };
    std::unique_ptr<Plugin_Bank> presetPage;
    juce::OwnedArray<LibBut> tabs;
    std::unique_ptr<LibClass> libraryPage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Lib_Manager_Comp)
};
