#include "librarian/Plugin_File.h"
#include "controls/Artwork.h"
#include "controls/KitFonts.h"
#include "engine/Bank_Program.h"
#include "engine/ParDes.h"
#include "engine/VantorAudioProcessor.h"

Plugin_File::Plugin_File (VantorAudioProcessor& p, const juce::String& name)
    : juce::Component (name), processor (p)
{
    thumb = Artwork::get (Artwork::listThumb);
    setWantsKeyboardFocus (true);
}

Plugin_File::~Plugin_File() = default;

template <typename Callback>
void Plugin_File::fire (Callback&& callback)
{
    listeners.callChecked (juce::Component::BailOutChecker (this), std::forward<Callback> (callback));
}

void Plugin_File::setRows (int n)
{
    rowToSlot.clearQuick();
    for (int r = 0; r < juce::jlimit (0, VantorAudioProcessor::numPrograms, n); ++r)
        rowToSlot.add (r);

    if (! juce::isPositiveAndBelow (highlightedRow, getNumRows()))
        highlightedRow = selectedSlot = -1;

    setFirstRow (firstRow);
    repaint();
}

void Plugin_File::selectRowQuietly (int row)
{
    if (! juce::isPositiveAndBelow (row, getNumRows()) || row == highlightedRow)
        return;

    highlightedRow = row;
    selectedSlot = rowToSlot[row];
    scrollPosition = juce::jlimit (0, lastScrollPosition(), row);
    setFirstRow (row);
    repaint();
}

int Plugin_File::thumbPosition() const noexcept
{
    const int last = lastScrollPosition();
    if (last <= 0)
        return 0;

    const float scale = (float) last / (float) juce::jmax (1, getHeight() - thumbHeight);
    return (int) ((float) scrollPosition / scale);
}

int Plugin_File::lastScrollPosition() const noexcept
{
    return juce::jmax (0, getNumRows() - visibleRows());
}

void Plugin_File::scrollTo (int v)
{
    // Clamped at both ends always, so holding the track never runs past the list.
    const int clamped = juce::jlimit (0, lastScrollPosition(), v);
    if (clamped == scrollPosition && clamped == firstRow)
        return;

    scrollPosition = clamped;
    setFirstRow (scrollPosition);
    repaint();
}

void Plugin_File::setFirstRow (int v)
{
    if (v < 0)
        return;

    firstRow = juce::jlimit (0, lastScrollPosition(), v);
}

void Plugin_File::copyBank (const Bank_Program& bank, int n)
{
    auto& engine = processor.getEngine();
    const juce::ScopedLock sl (engine.getProgramLock());
    for (int k = 0; k < juce::jmin (n, VantorAudioProcessor::numPrograms); ++k)
        engine.presetBank().setProgramBytes (k, bank.programBlock (k));
}

void Plugin_File::copySlots (const Bank_Program& bank, const Bank_Program::SlotMarks& marked)
{
    auto& engine = processor.getEngine();
    const juce::ScopedLock sl (engine.getProgramLock());
    for (int k = 0; k < juce::jmin ((int) marked.size(), VantorAudioProcessor::numPrograms); ++k)
        if (marked[(size_t) k])
            engine.presetBank().setProgramBytes (k, bank.programBlock (k));
}

//==============================================================================
void Plugin_File::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);

    const int rows = getNumRows(), v = visibleRows();
    for (int i = 0; i < juce::jmin (rows, v); ++i)
        if (firstRow + i < rows)
            renderRow (g, firstRow + i, i * rowHeight, firstRow + i == highlightedRow);

    if (rows <= v || v <= 0)
        return;

    const int trackX = scrollBarX + scrollBarWidth / 7;
    g.setColour (juce::Colour (0x50323030));
    g.fillRoundedRectangle ((float) trackX + 1.0f, 0.0f, (float) scrollBarWidth - 12.0f, (float) getHeight(), 3.0f);
    g.setColour (juce::Colour (0x5a4b4f57));
    g.drawRoundedRectangle ((float) trackX + 1.0f, 0.0f, (float) scrollBarWidth - 12.0f, (float) getHeight(), 3.0f, 2.1f);

    if (! scrollAreaColour.isTransparent())
    {
        g.setColour (scrollAreaColour);
        g.fillRect (scrollBarX, 0, scrollBarWidth - 2, v * rowHeight);
    }

    thumbY = thumbPosition();
    g.drawImageAt (thumb, trackX, thumbY);
}

void Plugin_File::renderRow (juce::Graphics& g, int row, int y, bool lit) const
{
    const int slot = rowToSlot[row];
    const int width = scrollBarX - 4;
    juce::String name;
    int category = 0;
    {
        auto& engine = processor.getEngine();
        const juce::ScopedLock sl (engine.getProgramLock());
        name = engine.presetBank().programName (slot);
        const auto bytes = engine.presetBank().programBytes (slot);
        if ((int) bytes.size() > ProgramRecord::category)
            category = bytes[(size_t) ProgramRecord::category];
    }

    const juce::Graphics::ScopedSaveState state (g);
    g.reduceClipRegion (0, y, width, rowHeight);
    g.setOrigin (0, y);

    const auto box = juce::Rectangle<float> (0.0f, 4.0f, (float) width, (float) rowHeight - 8.0f);
    g.setColour (juce::Colour (lit ? 0xff7b7f95 : 0xff3b3b43));
    g.fillRoundedRectangle (box, 4.0f);
    g.setColour (juce::Colours::black);
    g.drawRoundedRectangle (box, 4.0f, 2.0f);

    const int style = lit ? juce::Font::bold : juce::Font::plain;
    g.setFont (kitFont (numberHeight, style));
    g.setColour (lit ? numberColourLit : numberColour);
    g.drawSingleLineText (juce::String (row + 1), 7, (int) numberHeight + 4);

    g.setFont (kitFont (nameHeight, style));
    g.setColour (lit ? nameColourLit : nameColour);
    g.drawSingleLineText (name, 44, (int) numberHeight + 8);

    g.setFont (kitFont (categoryHeight, style));
    g.setColour (lit ? categoryColourLit : categoryColour);
    g.drawText (ParDes::categoryName (category), 0, (int) numberHeight - 8, scrollBarX - 20, 20,
                juce::Justification::topRight, true);
}

//==============================================================================
void Plugin_File::mouseDown (const juce::MouseEvent& e)
{
    if (isShowing())
        grabKeyboardFocus();

    rowDrag = thumbDrag = false;
    const int x = e.x, y = e.y, rows = getNumRows();

    if (x > 0 && x < scrollBarX - 30)
    {
        if (rows == 0)
            return;

        rowDrag = true;
        highlightedRow = juce::jlimit (0, rows - 1, firstRow + y / juce::jmax (1, rowHeight));
        selectedSlot = rowToSlot[highlightedRow];
        repaint();

        juce::Component::SafePointer<Plugin_File> self (this);
        const bool right = e.mods.isRightButtonDown();
        fire ([] (PlugFileListener& l) { l.presetSelected (65, 0); });
        if (self != nullptr && right)
            self->fire ([x, this] (PlugFileListener& l) { l.presetSelected (x < columnWidths[1] ? 90 : 88, 0); });
        return;
    }

    if (x > scrollBarX - 30 && rowsOverflow())
    {
        thumbY = thumbPosition();
        if (y < thumbY)
        {
            scrollingUp = true;
            scrollTo (scrollPosition - 1);
            startTimer (repeatMs);
        }
        else if (y > thumbY && y < thumbY + thumbHeight)
        {
            thumbDrag = true;
        }
        else if (y > thumbY + thumbHeight)
        {
            scrollingUp = false;
            scrollTo (scrollPosition + 1);
            startTimer (repeatMs);
        }
    }
}

void Plugin_File::timerCallback()
{
    scrollTo (scrollPosition + (scrollingUp ? -1 : 1));
}

void Plugin_File::mouseUp (const juce::MouseEvent&)
{
    stopTimer();
}

void Plugin_File::mouseDrag (const juce::MouseEvent& e)
{
    if (thumbDrag)
    {
        const int v = visibleRows();
        const float track = (float) juce::jmax (1, v * rowHeight - thumbHeight);
        float t = (float) juce::jmax (0, e.y + 20 - thumbHeight);
        if (t > track)
            t = std::trunc (track + 1.0f);
        scrollTo ((int) (t * (float) (getNumRows() - v) / track));
    }
    else if (rowDrag)
    {
        if (e.y > getHeight())
            setFirstRow (firstRow + 1);
        else if (e.y < 0)
            setFirstRow (firstRow - 1);
        repaint();
    }
}

void Plugin_File::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    if (! rowsOverflow() || wheel.deltaY == 0.0f)
        return;

    scrollTo (scrollPosition + (wheel.deltaY < 0.0f ? 1 : -1));
}

void Plugin_File::mouseDoubleClick (const juce::MouseEvent&)
{
    fire ([] (PlugFileListener& l) { l.presetDoubleClicked (0, 0); });
}

void Plugin_File::resized()
{
    // A taller or shorter list shows a different number of rows: keep both ends in reach.
    scrollPosition = juce::jlimit (0, lastScrollPosition(), scrollPosition);
    setFirstRow (firstRow);
}
