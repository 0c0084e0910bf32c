#include "controls/StsGrid.h"
#include "controls/Artwork.h"
#include "controls/KitFonts.h"
#include "engine/MidiCntrState.h"
#include "engine/ParDes.h"

namespace
{
constexpr int defaultRows = ProgramRecord::programsPerBank;
constexpr int userBanks = 4;
}

StsGrid::StsGrid (MidiCntrState& engineToUse)
    : engine (engineToUse),
      rowImage (Artwork::get (Artwork::lcdBack)),
      thumbImage (Artwork::get (Artwork::gridThumb))
{
    rowPrograms.resize (defaultRows);
    rowBanks.assign (defaultRows, 0);
    for (int i = 0; i < defaultRows; ++i)
        rowPrograms[(size_t) i] = i;

    setWantsKeyboardFocus (true);
}

StsGrid::~StsGrid() = default;

void StsGrid::setDefaultColours()
{
    rowFill = juce::Colour (0x00000000);
    selectedRowFill = juce::Colour (0x22038FBE);
    spareColour1 = juce::Colour (0x1127293A);
    spareColour2 = juce::Colour (0x1100000A);
    numberText = nameText = juce::Colour (0xFFD6D6D6);
    categoryText = juce::Colour (0xFF35C5F4);
    selectedNumberText = selectedNameText = juce::Colours::white;
    selectedCategoryText = juce::Colour (0xFF76D8F8);
    repaint();
}

void StsGrid::resetPosition() noexcept
{
    selectedRow = -1;
    topRow = 0;
    scrollPosition = 0;
    // Forget the last request too, or the first wheel step after a refill
    // could equal it and be ignored.
    lastRequestedPosition = 0;
}

void StsGrid::setColumnWidths (const juce::Array<int>& widths)
{
    resetPosition();
    columnWidths = widths;
    repaint();
}

void StsGrid::fill (int mode, int value)
{
    if (mode == bankMode)
    {
        if (value < 0 || value >= ProgramRecord::numDeviceBanks)
            return;

        rowPrograms.resize (defaultRows);
        rowBanks.assign (defaultRows, value);
        for (int i = 0; i < defaultRows; ++i)
            rowPrograms[(size_t) i] = i;
    }
    else if (mode == categoryMode)
    {
        rowPrograms.clear();
        rowBanks.clear();

        // A bank receive writes these bytes on the MIDI input thread.
        const juce::ScopedLock sl (engine.getProgramLock());

        for (int b = 0; b < userBanks; ++b)
        {
            const auto& data = engine.deviceBank (b).records();

            for (int p = 0; p < defaultRows; ++p)
            {
                const auto at = (size_t) (p * ProgramRecord::size + ProgramRecord::category);
                const int category = at < data.size() ? data[at] : 0;

                if (category == value)
                {
                    rowBanks.push_back (b);
                    rowPrograms.push_back (p);
                }
            }
        }
    }
    else
    {
        return;
    }

    fillMode = mode;
    fillValue = value;
    resetPosition();
    repaint();
}

int StsGrid::getVisibleSlots() const noexcept
{
    return height / rowHeight;
}

void StsGrid::setTopRow (int row)
{
    if (row < 0)
        return;

    const auto rows = getNumRows();
    row = juce::jmin (row, rows - 1);
    // A list shorter than a page starts at its first row.
    topRow = juce::jmax (0, juce::jmin (row, rows - getVisibleSlots()));
    // The thumb and the next wheel step start from the rows shown.
    scrollPosition = lastRequestedPosition = topRow;
}

void StsGrid::selectRow (int row)
{
    selectedRow = juce::isPositiveAndBelow (row, getNumRows()) ? row : -1;
    repaint();
}

juce::String StsGrid::slotText (int bank, int program)
{
    return (bank < 4 ? "U" + juce::String (bank + 1) : "F" + juce::String (bank - 3))
           + " P " + juce::String (program + 1);
}

juce::String StsGrid::entryText (int row) const
{
    if (row < 0 || row >= getNumRows())
        return {};

    return slotText (rowBank (row), rowProgram (row));
}

int StsGrid::rowProgram (int row) const noexcept
{
    return row >= 0 && row < getNumRows() ? rowPrograms[(size_t) row] : -1;
}

int StsGrid::rowBank (int row) const noexcept
{
    return row >= 0 && row < getNumRows() ? rowBanks[(size_t) row] : -1;
}

void StsGrid::addListener (GridListener* l)
{
    const juce::ScopedLock sl (listenerLock);
    listeners.add (l);
}

void StsGrid::removeListener (GridListener* l)
{
    const juce::ScopedLock sl (listenerLock);
    listeners.remove (l);
}

void StsGrid::setRowHeight (int h)
{
    rowHeight = juce::jmax (1, h);
    setTopRow (topRow);
    repaint();
}

void StsGrid::setTextHeight (int h)
{
    textHeight = juce::jmax (1, h);
    repaint();
}

void StsGrid::setScrollBarWidth (int w)
{
    scrollBarWidth = juce::jmax (0, w);
    repaint();
}

void StsGrid::resized()
{
    width = getWidth();
    height = getHeight();
    setTopRow (topRow);
}

//==============================================================================
bool StsGrid::notify()
{
    // A listener may delete the grid (a dialog closing on the click).
    juce::Component::BailOutChecker checker (this);
    listeners.callChecked (checker, [this] (GridListener& l) { l.gridChanged (this); });
    return ! checker.shouldBailOut();
}

int StsGrid::columnAt (int x) const noexcept
{
    int start = 0;

    for (int i = 0; i < columnWidths.size(); ++i)
    {
        const auto end = start + columnWidths.getUnchecked (i);
        if (start < x && x < end)
            return i;
        start = end;
    }

    return -1;
}

void StsGrid::requestScrollPosition (int requested)
{
    if (requested == lastRequestedPosition)
        return;

    setTopRow (juce::jmax (0, juce::jmin (requested, getNumRows() - getVisibleSlots())));
    lastRequestedPosition = requested;
    repaint();
}

void StsGrid::mouseDown (const juce::MouseEvent& e)
{
    clickedInRows = false;
    draggingThumb = false;
    if (isShowing())
        grabKeyboardFocus();

    clickedColumn = columnAt (e.x);

    if (e.x < 1)
        return;

    if (e.x > width - scrollBarWidth)
    {
        draggingThumb = true;
        return;
    }

    if (e.x == width - scrollBarWidth)
        return;

    clickedInRows = true;
    const auto rows = getNumRows();
    const auto hit = topRow + (rowHeight > 0 ? e.y / rowHeight : 0);
    const auto row = e.y >= 0 && hit < rows ? juce::jmax (0, hit) : -1;
    selectedRow = row;
    repaint();

    // Nothing hit (an empty list, or below its last row): report nothing,
    // and keep no earlier click.
    if (row < 0)
    {
        clickedProgram = clickedBank = -1;
        return;
    }

    clickedProgram = rowPrograms[(size_t) row];
    clickedBank = rowBanks[(size_t) row];
    changeCode = rowClicked;

    if (! notify())
        return;

    if (e.mods.isPopupMenu())
    {
        changeCode = clickedColumn == 2 ? categoryRightClick : rightClick;
        notify();
    }
}

void StsGrid::mouseDrag (const juce::MouseEvent& e)
{
    if (draggingThumb)
    {
        const auto slots = getVisibleSlots();
        const auto travel = slots * rowHeight - thumbLength;
        const auto rows = getNumRows();

        if (travel <= 0 || rows <= slots)
            return;

        const auto ratio = (float) (rows - slots) / (float) travel;
        auto t = juce::jmax (0, e.y - thumbLength);
        if (t > travel)
            t = travel + 1;

        requestScrollPosition ((int) ((float) t * ratio));
    }
    else if (clickedInRows)
    {
        if (e.y > height)
            setTopRow (topRow + 1);
        else if (e.y < 0)
            setTopRow (topRow - 1);
        else
            return;

        repaint();
    }
}

void StsGrid::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    if (e.y < 0)
        return;

    if (wheel.deltaY < 0.0f)
        requestScrollPosition (scrollPosition + 1);
    else if (wheel.deltaY > 0.0f)
        requestScrollPosition (scrollPosition - 1);
}

//==============================================================================
void StsGrid::paint (juce::Graphics& g)
{
    const auto slots = getVisibleSlots();
    const auto rows = getNumRows();
    const auto rowsWidth = width - scrollBarWidth - 15;

    if (slots >= 1 && rowsWidth > 0)
    {
        // Stretched once per size, not once per row and paint.
        if (rowBackground.getWidth() != rowsWidth || rowBackground.getHeight() != rowHeight)
        {
            rowBackground = juce::Image (juce::Image::ARGB, rowsWidth, rowHeight, true);
            juce::Graphics rg (rowBackground);
            rg.setColour (juce::Colours::black.withAlpha (0.25f));
            rg.drawImage (rowImage, 0, 0, rowsWidth, rowHeight, 0, 0, rowImage.getWidth(), rowImage.getHeight());
        }

        for (int i = 0; i < slots; ++i)
            g.drawImageAt (rowBackground, 0, i * rowHeight);
    }

    int firstColumns = 4;
    for (int i = 0; i < juce::jmin (3, columnWidths.size()); ++i)
        firstColumns += columnWidths.getUnchecked (i);

    const auto bigPlain = kitFont ((float) textHeight);
    const auto bigBold = kitFont ((float) textHeight, juce::Font::bold);
    const auto small = kitFont ((float) (textHeight - 2));
    const auto lastRow = juce::jmin (rows, topRow + slots);

    for (int r = juce::jmax (0, topRow); r < lastRow; ++r)
    {
        const auto bank = rowBanks[(size_t) r], program = rowPrograms[(size_t) r];
        juce::String name, category, layerMode, arp;
        {
            // The MIDI input thread may be storing into this bank.
            const juce::ScopedLock sl (engine.getProgramLock());
            const auto& b = engine.deviceBank (bank);
            const auto& data = b.records();
            const auto at = (size_t) (program * ProgramRecord::size + ProgramRecord::category);
            name = b.programName (program);
            category = ParDes::categoryName (at < data.size() ? data[at] : 0);
            layerMode = b.layerModeLabel (program);
            arp = b.arpMarker (program);
        }

        const auto y = (r - topRow) * rowHeight;
        const auto baseline = y + textHeight + 4;
        const auto selected = r == selectedRow;

        if (selected && ! selectedRowFill.isTransparent())
        {
            g.setColour (selectedRowFill);
            g.fillRect (0, y, rowsWidth, rowHeight + 3);
        }
        else if (! selected && ! rowFill.isTransparent())
        {
            g.setColour (rowFill);
            g.fillRect (0, y, firstColumns, rowHeight - 1);
        }

        g.setFont (selected ? bigBold : bigPlain);
        g.setColour (selected ? selectedNumberText : numberText);
        g.drawSingleLineText (slotText (bank, program), 7, baseline);
        g.setColour (selected ? selectedNameText : nameText);
        g.drawSingleLineText (name, 7, baseline + 18);

        g.setFont (small);
        g.setColour (selected ? selectedCategoryText : categoryText);
        g.drawSingleLineText (category, 170, baseline + 18);
        g.setColour (juce::Colour (0xFFFFC2A6));
        g.drawSingleLineText (layerMode, 170, baseline);
        g.setColour (juce::Colour (0xFFFF5E5E));
        g.drawSingleLineText (arp, 216, baseline);
    }

    const auto x0 = width - scrollBarWidth;
    const auto barArea = juce::Rectangle<int> (x0, 0, scrollBarWidth - 2, slots * rowHeight);

    if (! rowFill.isTransparent())
    {
        g.setColour (rowFill);
        g.fillRect (barArea);
    }

    if (rows > slots && height > thumbLength)
    {
        scrollRatio = (float) (rows - slots) / (float) (height - thumbLength);
        g.setColour (juce::Colour (0xFF1F2224));
        g.fillRoundedRectangle (barArea.toFloat(), 2.0f);
        g.setColour (juce::Colour (0x55808040));
        g.drawRoundedRectangle (barArea.toFloat(), 2.0f, 1.0f);
        g.setColour (juce::Colours::black.withAlpha (0.8f));
        g.drawImage (thumbImage, x0 + 1, (int) ((float) scrollPosition / scrollRatio), scrollBarWidth, thumbLength,
                     0, 0, 18, thumbLength);
    }
}
