#include "StsFile.h"

#include "controls/Artwork.h"

#include "engine/DSI_Program.h"
#include "engine/ParDes.h"
#include "librarian/LibraryFile.h"
#include "librarian/LibraryRecords.h"
#include <algorithm>
#include <cstring>

namespace
{
constexpr size_t recordSize = (size_t) ProgramRecord::size;
}

StsFile::StsFile()
    : thumb (Artwork::get (Artwork::listThumb))
{
    setOpaque (true);
    setWantsKeyboardFocus (true);
}

StsFile::~StsFile()
{
    stopTimer();
}

template <typename Call>
void StsFile::notify (Call&& call)
{
    // A listener may delete this list.
    listeners.callChecked (juce::Component::BailOutChecker (this), std::forward<Call> (call));
}

//==============================================================================
void StsFile::rebuildList (int mode)
{
    firstVisibleRow = scrollPosition = 0;
    selectedRecord = selectedRow = -1;
    filterMode = mode;

    const int n = numRecords();
    index.clear();
    index.reserve ((size_t) n);

    for (int k = 0; k < n; ++k)
        if (mode != 1 || recordBlock[(size_t) k * recordSize + ProgramRecord::category] == filterCategory)
            index.push_back (k);

    counts.fill (0);
    for (int k = 0; k < n; ++k)
    {
        const auto c = recordBlock[(size_t) k * recordSize + ProgramRecord::category];
        if (c < numCounts)
            ++counts[c];
    }

    repaint();
    notify ([] (StsFileListener& l) { l.fileListChanged (202, 100); });
}

void StsFile::selectRow (int row)
{
    if (row < 0 || row >= getRowCount())
        return;

    selectedRow = row;
    selectedRecord = index[(size_t) row];
    repaint();
    const int record = selectedRecord;
    notify ([record] (StsFileListener& l) { l.fileListChanged (201, record); });
}

//==============================================================================
void StsFile::clearStaging()
{
    staging.clear();
    stagingHashes.clear();
}

void StsFile::importRecords (const ByteArray& bytes, size_t offset)
{
    clearStaging();

    if (offset > bytes.size() || bytes.size() - offset < recordSize)
        return;

    const size_t n = (bytes.size() - offset) / recordSize;
    staging.reserve (n * recordSize);
    stagingHashes.reserve (n);
    std::unordered_multimap<juce::uint64, size_t> seen;
    seen.reserve (n);

    for (size_t k = 0; k < n; ++k)
    {
        const auto* r = bytes.data() + offset + k * recordSize;
        const auto h = ProgramRecord::hash (r);
        const auto range = seen.equal_range (h);

        const bool duplicate = std::any_of (range.first, range.second, [&] (const auto& e)
        {
            return std::memcmp (staging.data() + e.second * recordSize, r, recordSize) == 0;
        });

        if (duplicate)
            continue;

        seen.emplace (h, stagingHashes.size());
        staging.insert (staging.end(), r, r + recordSize);
        stagingHashes.push_back (h);
    }
}

void StsFile::commitImport (bool append)
{
    if (stagingHashes.empty())
        return;

    if (! append)
    {
        recordBlock.clear();
        hashes.clear();
        byHash.clear();
    }

    appendRecords (staging.data(), stagingHashes.size(), stagingHashes.data());
    rebuildList (0);
}

void StsFile::appendRecords (const juce::uint8* data, size_t n, const juce::uint64* recordHashes)
{
    recordBlock.insert (recordBlock.end(), data, data + n * recordSize);

    for (size_t k = 0; k < n; ++k)
    {
        const auto h = recordHashes != nullptr ? recordHashes[k] : ProgramRecord::hash (data + k * recordSize);
        byHash.emplace (h, (int) hashes.size());
        hashes.push_back (h);
    }

    ++changeCount;
}

void StsFile::rebuildHashIndex()
{
    byHash.clear();
    byHash.reserve (hashes.size());
    for (size_t k = 0; k < hashes.size(); ++k)
        byHash.emplace (hashes[k], (int) k);
}

int StsFile::find (const juce::uint8* record) const
{
    if (record == nullptr)
        return -1;

    const auto range = byHash.equal_range (ProgramRecord::hash (record));
    int found = -1;

    for (auto it = range.first; it != range.second; ++it)
        if ((found < 0 || it->second < found)
             && std::memcmp (recordBlock.data() + (size_t) it->second * recordSize, record, recordSize) == 0)
            found = it->second;

    return found;
}

void StsFile::addRecord (const juce::String& name, const juce::MemoryBlock& block)
{
    DSI_Program program;

    if (block.getSize() == recordSize)
        program.setParamsFromBlock (block);

    program.setName (name);
    const auto& bytes = program.getParams();
    const int category = bytes.size() > (size_t) ProgramRecord::category ? bytes[(size_t) ProgramRecord::category] : 0;

    int existing = -1;
    if (bytes.size() == recordSize)
    {
        existing = find (bytes.data());
        if (existing < 0)
            appendRecords (bytes.data(), 1, nullptr);
    }

    rebuildList (filterMode);

    if (existing >= 0)
    {
        // Select the copy already there, never the last row in its place.
        const auto it = std::find (index.begin(), index.end(), existing);
        if (it != index.end())
            selectRow ((int) (it - index.begin()));
    }
    else if (filterMode == 0 || (filterMode == 1 && filterCategory == category))
    {
        selectRow (getRowCount() - 1);
    }
}

void StsFile::clearRecords()
{
    recordBlock.clear();
    recordBlock.shrink_to_fit();
    hashes.clear();
    byHash.clear();
    ++changeCount;
    rebuildList (filterMode);
}

void StsFile::removeRecord (int k)
{
    if (k < 0 || k >= numRecords())
        return;

    const auto start = recordBlock.begin() + (std::ptrdiff_t) ((size_t) k * recordSize);
    recordBlock.erase (start, start + (std::ptrdiff_t) recordSize);
    hashes.erase (hashes.begin() + k);
    rebuildHashIndex();
    ++changeCount;
    rebuildList (filterMode);
}

void StsFile::replaceRecords (ByteArray wholeRecords)
{
    wholeRecords.resize ((wholeRecords.size() / recordSize) * recordSize);
    recordBlock = std::move (wholeRecords);
    hashes.clear();
    hashes.reserve (recordBlock.size() / recordSize);

    for (size_t k = 0; k < recordBlock.size(); k += recordSize)
        hashes.push_back (ProgramRecord::hash (recordBlock.data() + k));

    rebuildHashIndex();
    ++changeCount;
    rebuildList (filterMode);
}

void StsFile::renameRecord (int k, const juce::String& name, int category)
{
    if (k < 0 || k >= numRecords())
        return;

    ProgramRecord::setName (recordBlock, k, name);
    recordBlock[(size_t) k * recordSize + ProgramRecord::category] = (juce::uint8) juce::jlimit (0, 255, category);

    const auto range = byHash.equal_range (hashes[(size_t) k]);
    for (auto it = range.first; it != range.second; ++it)
    {
        if (it->second == k)
        {
            byHash.erase (it);
            break;
        }
    }

    hashes[(size_t) k] = ProgramRecord::hash (recordBlock.data() + (size_t) k * recordSize);
    byHash.emplace (hashes[(size_t) k], k);
    ++changeCount;
    repaint();
}

//==============================================================================
ByteArray StsFile::fileImage() const  { return LibraryFile::image (recordBlock); }

bool StsFile::saveToFile (const juce::File& file) const
{
    return LibraryFile::write (recordBlock, file);
}

//==============================================================================
void StsFile::scrollTo (int position)
{
    const int last = juce::jmax (0, getRowCount() - visibleRows());
    const int v = juce::jlimit (0, last, position);

    if (v == scrollPosition && v == firstVisibleRow)
        return;

    scrollPosition = v;
    setFirstVisibleRow (v);
    repaint();
}

void StsFile::setFirstVisibleRow (int row)
{
    if (row < 0)
        return;

    // Never below 0: a view shorter than the list would otherwise start at a negative row.
    firstVisibleRow = juce::jmax (0, juce::jmin (row, getRowCount() - 1, getRowCount() - visibleRows()));
    scrollPosition = firstVisibleRow;
    repaint();
}

int StsFile::thumbTop() const
{
    const int travel = getHeight() - thumbHeight;
    const int spare = getRowCount() - visibleRows();

    if (travel <= 0 || spare <= 0)
        return 0;

    return (int) ((juce::int64) scrollPosition * travel / spare);
}

//==============================================================================
void StsFile::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (backgroundColour));

    if (rowHeight <= 0)
        return;

    const int visible = juce::jmin (getRowCount(), visibleRows() + 1);

    for (int i = 0; i < visible; ++i)
    {
        const int row = firstVisibleRow + i;
        if (row >= getRowCount())
            break;
        if (g.clipRegionIntersects ({ 0, rowHeight * i, listWidth, rowHeight }))
            renderRow (g, row, row == selectedRow, rowHeight * i);
    }

    if (scrollable())
        paintScrollBar (g);
}

void StsFile::renderRow (juce::Graphics& g, int row, bool selected, int y)
{
    const int k = index[(size_t) row];
    const auto* r = recordBlock.data() + (size_t) k * recordSize;
    const auto& colours = selected ? selectedTextColours : textColours;
    const int style = selected ? juce::Font::bold : juce::Font::plain;
    const float w = (float) (listWidth - 4);

    juce::Graphics::ScopedSaveState state (g);
    g.reduceClipRegion (0, y, listWidth - 4, rowHeight);
    g.setOrigin (0, y);

    const juce::Rectangle<float> box (0.0f, 4.0f, w, (float) (rowHeight - 8));
    g.setColour (juce::Colour (selected ? 0xff7b7f95 : 0xff3b3b43));
    g.fillRoundedRectangle (box, 4.0f);
    g.setColour (juce::Colours::black);
    g.drawRoundedRectangle (box, 4.0f, 2.0f);

    g.setFont (juce::Font ("Arial", (float) numberFontHeight, style));
    g.setColour (juce::Colour (colours[0]));
    g.drawSingleLineText (juce::String (row + 1), 7, numberFontHeight + 4);

    g.setFont (juce::Font ("Arial", (float) nameFontHeight, style));
    g.setColour (juce::Colour (colours[1]));
    g.drawSingleLineText (ProgramRecord::name (recordBlock, k), 44, numberFontHeight + 8);

    g.setFont (juce::Font ("Arial", (float) categoryFontHeight, style));
    g.setColour (juce::Colour (colours[2]));
    g.drawText (ParDes::categoryName (r[ProgramRecord::category]),
                juce::Rectangle<int> (0, numberFontHeight - 8, listWidth - 20, 20),
                juce::Justification::bottomRight, true);
}

void StsFile::paintScrollBar (juce::Graphics& g)
{
    const int h = getHeight();
    const int x0 = listWidth + thumbWidth / 18;
    const juce::Rectangle<float> track ((float) (x0 + 1), 0.0f, (float) (thumbWidth - 12), (float) h);

    g.setColour (juce::Colour (0x50323030));
    g.fillRoundedRectangle (track, 3.0f);
    g.setColour (juce::Colour (0x5a4b4f57));
    g.drawRoundedRectangle (track, 3.0f, 2.1f);

    g.setOpacity (1.0f);
    g.drawImageAt (thumb, x0, thumbTop());
}

//==============================================================================
void StsFile::resized() {}

void StsFile::mouseDown (const juce::MouseEvent& e)
{
    if (isShowing())
        grabKeyboardFocus();

    listDrag = thumbDrag = false;
    const auto pos = e.getPosition();

    if (pos.x > 0 && pos.x < scrollZoneLeft())
    {
        listDrag = true;
        const int row = firstVisibleRow + (rowHeight > 0 ? pos.y / rowHeight : 0);

        // Below the last row there is nothing to select.
        if (pos.y >= 0 && row < getRowCount())
            selectRow (row);
    }
    else if (pos.x > scrollZoneLeft() && scrollable())
    {
        const int top = thumbTop();

        if (pos.y > top && pos.y < top + thumbHeight)
        {
            thumbDrag = true;
        }
        else
        {
            scrollDirection = pos.y <= top ? 1 : 0;
            scrollTo (scrollPosition + (scrollDirection == 1 ? -1 : 1));
            startTimer (200);
        }
    }
}

void StsFile::timerCallback()
{
    scrollTo (scrollPosition + (scrollDirection == 1 ? -1 : 1));
}

void StsFile::mouseUp (const juce::MouseEvent&)
{
    stopTimer();
}

void StsFile::mouseDrag (const juce::MouseEvent& e)
{
    const int y = e.getPosition().y;

    if (thumbDrag)
    {
        const int visible = visibleRows();
        const int travel = rowHeight * visible - thumbHeight;

        if (travel <= 0)
            return;

        int p = juce::jmax (0, y + 20 - thumbHeight);
        const float rowsPerPixel = (float) (getRowCount() - visible) / (float) travel;
        if (p > travel)
            p = travel + 1;
        scrollTo ((int) ((float) p * rowsPerPixel));
    }
    else if (listDrag)
    {
        if (y > getHeight())
            setFirstVisibleRow (firstVisibleRow + 1);
        else if (y < 0)
            setFirstVisibleRow (firstVisibleRow - 1);
    }
}

void StsFile::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    if (! scrollable() || wheel.deltaY == 0.0f)
        return;

    scrollTo (scrollPosition + (wheel.deltaY < 0.0f ? 1 : -1));
}

void StsFile::mouseDoubleClick (const juce::MouseEvent&)
{
    notify ([] (StsFileListener& l) { l.fileListDoubleClicked (0, 0); });
}
