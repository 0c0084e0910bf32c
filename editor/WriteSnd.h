#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

#include "controls/LCD_Comp.h"
#include "controls/RenameCnt.h"
#include "controls/StsBut.h"
#include "controls/StsGrid.h"

class MidiCntrState;

// The WRITE dialog: picks a user-bank slot, a name and a category for the
// edit buffer. WRITE and CANCEL are carried out by the main component.
class WriteSnd : public juce::Component,
                 public stsbutChangeListener,
                 public GridListener
{
public:
    static constexpr int writeId = 999, cancelId = 999;

    // A factory bank is never a target: the dialog then opens on the first user bank.
    WriteSnd (MidiCntrState& engine, int bank, int program, const juce::String& name, int category);
    ~WriteSnd() override;

    // Laid out at full size in the space it gets: a narrower dialog first gives
    // up the margin left of its bank buttons, and one narrower or lower than its
    // smallest full-size layout is drawn smaller as a whole. A low dialog keeps
    // its bank buttons beside the grid, moved up and closer together.
    static constexpr int fullWidth = 660, spareLeft = 94, minHeight = 128;
    void layout (int x, int y, int width, int height);
    static int gridHeightFor (int height) noexcept   { return juce::jmax (0, (height - 80) / 46) * 46; }
    float getScale() const noexcept                  { return scale; }

    void openRename (const juce::String& name);
    void closeRename();
    void setName (const juce::String& text) override;
    void showBank (int userBank);
    void showCategory (int category);

    const juce::String& getName() const noexcept     { return name; }   // always 16 characters
    bool isRenameShown() const noexcept              { return renameBox != nullptr; }
    RenameCnt* getRenameBox() const noexcept         { return renameBox.get(); }

    LCD_Comp& getLcd() noexcept                      { return *lcd; }
    StsGrid& getGrid() noexcept                      { return *grid; }
    StsBut& getBankButton (int i)                    { return *bankButtons[(size_t) i]; }
    StsBut& getWriteButton() noexcept                { return *writeButton; }
    StsBut& getCancelButton() noexcept               { return *cancelButton; }

    void paint (juce::Graphics&) override;
    void stsbutChanged (StsBut*) override;
    void gridChanged (StsGrid*) override;

private:
    MidiCntrState& engine;
    std::vector<std::unique_ptr<StsBut>> bankButtons;
    std::unique_ptr<StsGrid> grid;
    std::unique_ptr<StsBut> writeButton, cancelButton;
    std::unique_ptr<LCD_Comp> lcd;
    std::unique_ptr<RenameCnt> renameBox;
    juce::String name;
    juce::String layerMode, arp;   // of the slot it opened on, kept for the LCD
    float scale = 1.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WriteSnd)
};
