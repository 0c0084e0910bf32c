#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "controls/ListenerSet.h"
#include "controls/ListenerInterfaces.h"
#include "engine/ProgramRecord.h"
#include <array>
#include <unordered_map>
#include <vector>

// The program library: the records, an import staging area, a filtered view
// with counts per category, and the scrolling list that shows the view.
// Message thread only. Every change of the records rebuilds the view.
class StsFile : public juce::Component,
                private juce::Timer,
                public ListenerSet<StsFileListener>
{
public:
    static constexpr int numCounts = 30;

    StsFile();
    ~StsFile() override;

    //==============================================================================
    // Display values, set by the owner.
    juce::uint32 backgroundColour = 0xff373535;
    int rowHeight = 34;
    int listWidth = 242;
    int thumbHeight = 43, thumbWidth = 36;
    int numberFontHeight = 14, nameFontHeight = 15, categoryFontHeight = 12;
    std::array<juce::uint32, 3> textColours { 0xffaaaaaa, 0xffcccccc, 0xffbbbbbb };       // number, name, category
    std::array<juce::uint32, 3> selectedTextColours { 0xffeeeeee, 0xffffffff, 0xffffffff };

    //==============================================================================
    const ByteArray& records() const noexcept              { return recordBlock; }
    int numRecords() const noexcept                        { return (int) hashes.size(); }
    int numStaged() const noexcept                         { return (int) stagingHashes.size(); }
    void clearStaging();

    int getRowCount() const noexcept                       { return (int) index.size(); }
    const std::vector<int>& viewIndex() const noexcept     { return index; }
    int getSelectedRow() const noexcept                    { return selectedRow; }
    int getSelectedRecord() const noexcept                 { return selectedRecord; }
    bool hasSelectedRecord() const noexcept                { return selectedRecord >= 0 && selectedRecord < numRecords(); }
    int getFilterMode() const noexcept                     { return filterMode; }
    int getFilterCategory() const noexcept                 { return filterCategory; }
    void setFilterCategory (int c) noexcept                { filterCategory = juce::jlimit (0, 25, c); }
    const std::array<int, numCounts>& getCounts() const noexcept { return counts; }
    int getFirstVisibleRow() const noexcept                { return firstVisibleRow; }
    int getScrollPosition() const noexcept                 { return scrollPosition; }
    int visibleRows() const noexcept                       { return rowHeight > 0 ? getHeight() / rowHeight : 0; }

    // Counts every change of the records, so an owner can tell whether it has anything to write.
    juce::uint64 getChangeCount() const noexcept           { return changeCount; }

    //==============================================================================
    void rebuildList (int mode);
    void selectRow (int row);

    // Stages the whole records from offset on, each distinct record once.
    void importRecords (const ByteArray& bytes, size_t offset);
    void commitImport (bool append);

    // Adds the block (the Basic Program when it is not 1024 bytes) under the
    // name. A record the library holds already is not added again: its copy is selected.
    void addRecord (const juce::String& name, const juce::MemoryBlock& block);

    // The record index of an identical record, or -1.
    int find (const juce::uint8* record) const;
    bool contains (const juce::uint8* record) const        { return find (record) >= 0; }

    // The owner's direct changes; each keeps the duplicate index and rebuilds the view.
    void clearRecords();
    void removeRecord (int k);
    void replaceRecords (ByteArray wholeRecords);
    // Name and category of record k; the owner refreshes the view.
    void renameRecord (int k, const juce::String& name, int category);

    ByteArray fileImage() const;
    // Safe replace; false when nothing could be written (also for an empty library).
    bool saveToFile (const juce::File& file) const;

    void scrollTo (int position);
    void setFirstVisibleRow (int row);

    //==============================================================================
    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;

private:
    void timerCallback() override;
    void renderRow (juce::Graphics&, int row, bool selected, int y);
    void paintScrollBar (juce::Graphics&);
    int thumbTop() const;
    bool scrollable() const noexcept                       { return getRowCount() > visibleRows(); }
    int scrollZoneLeft() const noexcept                    { return listWidth - 30; }
    void appendRecords (const juce::uint8* data, size_t numRecords, const juce::uint64* recordHashes);
    void rebuildHashIndex();
    template <typename Call> void notify (Call&& call);

    int filterMode = 0;
    std::array<int, numCounts> counts {};
    int filterCategory = 0;

    ByteArray recordBlock;
    std::vector<juce::uint64> hashes;                      // one per record
    std::unordered_multimap<juce::uint64, int> byHash;     // hash -> record index
    ByteArray staging;
    std::vector<juce::uint64> stagingHashes;

    int scrollPosition = 0, scrollDirection = 0, selectedRow = -1;
    std::vector<int> index;
    int selectedRecord = -1;
    int firstVisibleRow = 0;
    bool listDrag = false, thumbDrag = false;
    juce::uint64 changeCount = 0;
    juce::Image thumb;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsFile)
};
