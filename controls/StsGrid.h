#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/ListenerSet.h"
#include <vector>

class MidiCntrState;
class StsGrid;

// Told after a click on the grid; read the source's change code and clicked program.
class GridListener
{
public:
    virtual ~GridListener() = default;
    virtual void gridChanged (StsGrid* source) = 0;
};

// The scrollable program list of the bank selector and the write dialog: the
// 99 programs of one bank, or every user program of one category.
class StsGrid : public juce::Component,
                public ListenerSet<GridListener>
{
public:
    enum ChangeCode
    {
        rowClicked          = 91,
        categoryRightClick  = 88,
        rightClick          = 90
    };

    enum FillMode { bankMode = 0, categoryMode = 1 };

    explicit StsGrid (MidiCntrState& engine);
    ~StsGrid() override;

    void setDefaultColours();
    void setColumnWidths (const juce::Array<int>& widths);
    void fill (int mode, int value);
    void setTopRow (int row);
    void selectRow (int row);
    juce::String entryText (int row) const;

    void setRowHeight (int h);
    void setTextHeight (int h);
    void setScrollBarWidth (int w);

    int getChangeCode() const noexcept      { return changeCode; }
    int getClickedProgram() const noexcept  { return clickedProgram; }
    int getClickedBank() const noexcept     { return clickedBank; }
    int getClickedColumn() const noexcept   { return clickedColumn; }
    int getSelectedRow() const noexcept     { return selectedRow; }
    int getNumRows() const noexcept         { return (int) rowPrograms.size(); }
    int getTopRow() const noexcept          { return topRow; }
    int getScrollPosition() const noexcept  { return scrollPosition; }
    int getRowHeight() const noexcept       { return rowHeight; }
    int getVisibleSlots() const noexcept;
    int rowProgram (int row) const noexcept;
    int rowBank (int row) const noexcept;

    static juce::String slotText (int bank, int program);

    // Nine colours, written directly by owners that want their own.
    juce::Colour rowFill, selectedRowFill, spareColour1, spareColour2,
                 numberText, nameText, categoryText,
                 selectedNumberText, selectedNameText, selectedCategoryText;

    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;

private:
    int columnAt (int x) const noexcept;
    void requestScrollPosition (int requested);
    bool notify();
    void resetPosition() noexcept;

    MidiCntrState& engine;
    int width = 0, height = 0;
    int selectedRow = -1;
    int clickedColumn = -1;
    juce::Array<int> columnWidths;
    int clickedProgram = -1, clickedBank = -1;
    int changeCode = 0;
    std::vector<int> rowPrograms, rowBanks;
    int fillMode = bankMode, fillValue = 0;
    int thumbLength = 31;
    int scrollBarWidth = 18;
    juce::Image rowImage, thumbImage, rowBackground;
    int topRow = 0;
    int rowHeight = 46;
    float scrollRatio = 1.0f;
    int lastRequestedPosition = 0, scrollPosition = 0;
    int textHeight = 14;
    bool clickedInRows = false, draggingThumb = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsGrid)
};
