#include "editor/EditorRules.h"
#include "engine/ProgramRecord.h"
#include <cmath>

namespace EditorRules
{
juce::Rectangle<int> usableMonitorArea (juce::Rectangle<int> area)
{
    if (area.getWidth() < 100 || area.getHeight() < 100)
        return { 0, 0, 1920, 1080 };
    return area;
}

juce::Point<int> openingSize (int storedWidth, int storedHeight, juce::Rectangle<int> monitor)
{
    monitor = usableMonitorArea (monitor);

    int w = storedWidth < 100 ? defaultWidth : storedWidth;
    if (w > monitor.getWidth())
        w = monitor.getWidth() - 10;

    int h = storedHeight < 100 ? defaultHeight : storedHeight;
    if (h > monitor.getHeight())
        h = monitor.getHeight() - 10;

    return { w, h };
}

float openingZoom (float stored)
{
    if (! (stored >= 0.1f))
        return 1.0f;
    return juce::jmin (stored, maxZoom);
}

float restoredZoom (float stored)
{
    if (! (stored >= 0.1f) || stored > maxZoom)
        return maxZoom;
    return stored;
}

float openingKeyboardZoom (float stored)
{
    return stored >= 0.2f ? stored : 1.0f;
}

int openingKeyboardHeight (int stored)
{
    return stored < 50 ? defaultKeyboardHeight : stored;
}

int pageHeightForZoom (float zoom)
{
    return (int) std::floor (zoom * 640.0f + 70.0f);
}

float clampedPageHeight (float requested, int monitorHeight)
{
    const float f = monitorHeight <= 1000 ? 1.0f : monitorHeight <= 1200 ? 1.2f : 1.5f;
    if (! std::isfinite (requested))
        requested = 200.0f;
    return juce::jlimit (200.0f, f * 640.0f + 70.0f, requested);
}

float zoomForPageHeight (float pageHeight)
{
    return (pageHeight - 70.0f) / 640.0f;
}

int fittedPageHeight (int chosenHeight, int windowHeight)
{
    const int withWholeKeyboard = windowHeight - defaultKeyboardHeight;
    if (withWholeKeyboard >= chosenHeight)
        return juce::jmin (withWholeKeyboard, pageHeightForZoom (maxZoom));

    // Keys shown whole or not at all: whichever page is nearer the chosen one.
    const int withStripOnly = juce::jmax (minPageHeight, windowHeight - keyboardStripHeight);
    if (withWholeKeyboard >= minPageHeight && chosenHeight - withWholeKeyboard < withStripOnly - chosenHeight)
        return withWholeKeyboard;
    return withStripOnly;
}

TopBarRow topBarRow (int pageWidth, int minButtonWidth, int minLabelWidth)
{
    TopBarRow row;
    if (pageWidth >= row.groupX + row.groupWidth)
        return row;

    constexpr int rightMargin = 2, keysGap = 1;
    constexpr float smallestKeys = 0.5f;

    // Where even the selector would not fit beside the label, the gaps close
    // and the buttons, then the label, give up what they hold beyond their texts.
    if (pageWidth < row.groupX + selectorWidth + rightMargin)
    {
        constexpr int gap = 4;
        const auto rowEnd = [&] { return topBarX + functionButtonCount * row.buttonWidth + gap + row.labelWidth
                                         + gap + selectorWidth + rightMargin; };
        const int buttonSpare = juce::jmax (0, row.buttonWidth - juce::jmax (1, minButtonWidth));
        const int excess = juce::jmax (0, rowEnd() - pageWidth);
        row.buttonWidth -= juce::jmin (buttonSpare, (excess + functionButtonCount - 1) / functionButtonCount);
        row.labelWidth -= juce::jlimit (0, juce::jmax (0, row.labelWidth - minLabelWidth), rowEnd() - pageWidth);
        row.labelX = topBarX + functionButtonCount * row.buttonWidth + gap;
        row.groupX = row.labelX + row.labelWidth + gap;
    }

    const int keysRoom = pageWidth - rightMargin - row.groupX - selectorWidth - keysGap;
    row.keysZoom = juce::jmin (0.8f, (float) keysRoom / 269.0f);
    if (row.keysZoom < smallestKeys)
    {
        row.keysZoom = 0.0f;
        row.keysWidth = 0;
        row.selectorX = 0;
    }
    else
    {
        row.keysWidth = (int) (269.0f * row.keysZoom);
        row.selectorX = row.keysWidth + keysGap;
    }
    row.groupWidth = row.selectorX + selectorWidth;
    return row;
}

float focusScale (int screenHeight)
{
    return screenHeight < 1600 ? 1.0f : screenHeight <= 2000 ? 1.3f : 1.5f;
}

juce::String progressText (int bank, int program)
{
    return ProgramRecord::bankLabel (bank) + ":" + juce::String (program + 1);
}

int sectionForKeyCommand (int payload)
{
    static constexpr int tabs[] = { 1, 2, 3, 4, 5, 6, 7, 10, 11 };
    const int digit = payload - 726;
    return digit >= 1 && digit <= 9 ? tabs[digit - 1] : -1;
}
}
