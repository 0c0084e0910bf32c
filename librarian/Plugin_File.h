#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/ListenerSet.h"
#include "engine/Bank_Program.h"

class VantorAudioProcessor;

class PlugFileListener
{
public:
    virtual ~PlugFileListener() = default;
    // 65 for a press in the rows; a right press adds 90 (first column) or 88.
    virtual void presetSelected (int code, int value) = 0;
    virtual void presetDoubleClicked (int code, int value) = 0;
};

// The scrolling list of the preset bank: one row per slot with its number,
// name and category. Message thread only.
class Plugin_File : public juce::Component,
                    private juce::Timer,
                    public ListenerSet<PlugFileListener>
{
public:
    Plugin_File (VantorAudioProcessor&, const juce::String& name);
    ~Plugin_File() override;

    // Rows 0 to n - 1 show slots 0 to n - 1; never more rows than the bank has slots.
    void setRows (int n);
    int getNumRows() const noexcept                  { return rowToSlot.size(); }
    int getSelectedSlot() const noexcept             { return selectedSlot; }
    int getHighlightedRow() const noexcept           { return highlightedRow; }
    bool hasSelection() const noexcept               { return getNumRows() > 0 && selectedSlot >= 0; }
    int getFirstRow() const noexcept                 { return firstRow; }
    int getScrollPosition() const noexcept           { return scrollPosition; }
    int visibleRows() const noexcept                 { return rowHeight > 0 ? getHeight() / rowHeight : 0; }
    bool rowsOverflow() const noexcept               { return getNumRows() > visibleRows(); }

    // Selects a row without telling the listeners and brings it into view.
    void selectRowQuietly (int row);

    void scrollTo (int v);
    void setFirstRow (int v);

    // Preset bank records 0 to n - 1 become records 0 to n - 1 of the bank.
    void copyBank (const Bank_Program& bank, int n);
    // Only the marked records are copied, each to its own slot.
    void copySlots (const Bank_Program& bank, const Bank_Program::SlotMarks& marked);

    juce::Colour backgroundColour { 0xff373535 }, scrollAreaColour { 0x00000000 };
    juce::Colour numberColour { 0xffaaaaaa }, nameColour { 0xffcccccc }, categoryColour { 0xffbbbbbb };
    juce::Colour numberColourLit { 0xffeeeeee }, nameColourLit { 0xffffffff }, categoryColourLit { 0xffffffff };
    int rowHeight = 34;
    int scrollBarX = 242;
    float numberHeight = 14.0f, nameHeight = 15.0f, categoryHeight = 12.0f;
    int columnWidths[2] { 50, 180 };

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    void resized() override;

    static constexpr int thumbHeight = 43, scrollBarWidth = 36, repeatMs = 200;

private:
    void timerCallback() override;
    void renderRow (juce::Graphics&, int row, int y, bool highlighted) const;
    int lastScrollPosition() const noexcept;
    int thumbPosition() const noexcept;
    template <typename Callback> void fire (Callback&&);

    VantorAudioProcessor& processor;
    juce::Array<int> rowToSlot;
    int highlightedRow = -1, selectedSlot = -1;
    int firstRow = 0, scrollPosition = 0;
    bool scrollingUp = false, rowDrag = false, thumbDrag = false;
    int thumbY = 0;
    juce::Image thumb;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Plugin_File)
};
