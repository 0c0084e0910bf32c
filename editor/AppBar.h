#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>
#include <vector>

class StsBut;
class StsLabel;
class WinMovCan;

// The editor page's top bar: section tabs, function buttons, the MIDI channel
// label and the window tools. Clicks go to whoever listens to the buttons.
class AppBar : public juce::Component,
               public juce::ChangeBroadcaster
{
public:
    static constexpr int tabWidth = 59;
    AppBar();
    ~AppBar() override;

    // The bar is drawn by the page beneath it in this plain colour.
    static constexpr juce::uint32 barColour = 0xFF141414;

    // The function buttons' ids, as the main component's handleCommand receives them.
    enum Command
    {
        banksCommand   = 99,
        fileCommand    = 75,
        editCommand    = 73,
        midiCommand    = 77,
        sendCommand    = 701,
        receiveCommand = 71,
        writeCommand   = 969
    };

    struct ButtonSpec { const char* text; int id; };
    static const std::vector<ButtonSpec>& tabSpecs();
    static const std::vector<ButtonSpec>& functionSpecs();

    int getNumTabs() const noexcept                      { return (int) tabs.size(); }
    StsBut* getTab (int position) const noexcept;
    int getNumFunctionButtons() const noexcept           { return (int) functionButtons.size(); }
    StsBut* getFunctionButton (int index) const noexcept;
    StsBut* findFunctionButton (int id) const noexcept;
    bool isTab (const StsBut* b) const noexcept;
    bool isFunctionButton (const StsBut* b) const noexcept;
    StsLabel& getChannelLabel() noexcept                 { return *channelLabel; }
    WinMovCan& getWindowTools() noexcept                 { return *windowTools; }

    // The narrowest a function button or the channel label gets: its widest text whole.
    static int minButtonWidth();
    static int minLabelWidth();

    int getChangeCode() const noexcept                   { return changeCode; }

    // Where the main component opens its menus.
    int sendIndex = -1, fileIndex = -1, editIndex = -1;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void resized() override;

private:
    juce::Point<int> dragPosition, pressPosition;
    std::unique_ptr<WinMovCan> windowTools;
    int functionRowWidth = 0;
    int changeCode = 0;
    std::vector<std::unique_ptr<StsBut>> functionButtons;
    std::unique_ptr<StsLabel> channelLabel;
    std::vector<std::unique_ptr<StsBut>> tabs;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AppBar)
};
