#pragma once

#include <juce_graphics/juce_graphics.h>

// The editor's arithmetic: first-open geometry, zoom limits and the texts and
// views that engine events map to. Kept apart from the components so each rule
// can be checked without building a window.
namespace EditorRules
{
    constexpr int barHeight = 54;
    constexpr int defaultWidth = 1200, defaultHeight = 730;
    constexpr int defaultKeyboardHeight = 172;
    constexpr int keyboardStripHeight = 20, minPageHeight = 200;
    constexpr float maxZoom = 1.5f;

    // Display queries may come back empty (no display, a host window not yet
    // on screen): fall back to a 1920 x 1080 area at the origin.
    juce::Rectangle<int> usableMonitorArea (juce::Rectangle<int> area);

    // The main component's size on opening, from the stored size and the monitor.
    juce::Point<int> openingSize (int storedWidth, int storedHeight, juce::Rectangle<int> monitor);

    // The page zoom on opening: below 0.1 (or not a number) gives 1.0, capped at 1.5.
    float openingZoom (float stored);

    // The zoom the page returns to after a zoomed-in panel closes.
    float restoredZoom (float stored);

    float openingKeyboardZoom (float stored);
    int openingKeyboardHeight (int stored);

    // Page height for a zoom.
    int pageHeightForZoom (float zoom);

    // The page height the zoom handle may pull to on a monitor this high.
    float clampedPageHeight (float requested, int monitorHeight);

    float zoomForPageHeight (float pageHeight);

    // The page height a window this high shows. Where the whole keyboard fits
    // under the height the zoom handle chose, the page fills what the keyboard
    // leaves (up to the largest zoom), so no empty band stays below. Otherwise
    // the keys show whole or not at all, never as a strip of key tops: the
    // page ends either above the whole keyboard or above its top strip (status
    // line and player) at the window's foot, whichever is nearer the chosen
    // height, and never below the handle's own 200.
    int fittedPageHeight (int chosenHeight, int windowHeight);

    // The top bar's upper row: function buttons, channel label and the folded
    // AB mode group (split keyboard, then split-point selector). Where the
    // window is narrower than the row at its full size, the group moves left
    // and its keyboard narrows; below that the buttons and label narrow to
    // their texts, and the keyboard goes before anything is drawn in part.
    // Page coordinates; the buttons and label start at the bar's left edge.
    struct TopBarRow
    {
        int buttonWidth = 46, labelX = 597, labelWidth = 56;
        int groupX = 667, groupWidth = 260, selectorX = 216;
        int keysWidth = 269;          // 0: no keyboard
        float keysZoom = 0.8f;
    };
    constexpr int topBarX = 267, functionButtonCount = 7, selectorWidth = 36;
    TopBarRow topBarRow (int pageWidth, int minButtonWidth, int minLabelWidth);

    // The scale a panel takes when zoomed into on a display this high.
    float focusScale (int screenHeight);

    // "U2:12" for bank 1, program 11; "F4:99" for bank 7, program 98.
    juce::String progressText (int bank, int program);

    // The section tab a computer-keyboard digit command shows, or -1.
    int sectionForKeyCommand (int payload);
}
