#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Every picture of the plug-in: drawn by tools/make_artwork, checked in under
// resources/artwork/ and embedded. Sizes cover every source rectangle read from them.
namespace Artwork
{
// Knob filmstrip 3655x56: 61 frames of 56x56, frame n at x = 60n minus one for each of n > 6, 18, 30, 42, 54.
constexpr const char* knobStrip = "knob_strip.png";
// Knob backgrounds 80x80, one per knob style 0, 1, 2 (read from (16,14,50,50), (16,14,50,48), (6,14,70,60)).
constexpr const char* knobBack0 = "knob_back_0.png";
constexpr const char* knobBack1 = "knob_back_1.png";
constexpr const char* knobBack2 = "knob_back_2.png";
// Global-settings knob filmstrip 3188x56: 55 frames of 56x56, frame n at x = 58n.
constexpr const char* globalKnobStrip = "global_knob_strip.png";
// Program display background 240x62 (also the grid's row image).
constexpr const char* lcdBack = "lcd_back.png";
// Drop-down pieces: bar 200x18, arrow 14x18, frame 113x17 (read from (0,0,100,17)).
constexpr const char* dropBar = "drop_bar.png";
constexpr const char* dropArrow = "drop_arrow.png";
constexpr const char* dropFrame = "drop_frame.png";
// Parameter LED 40x12: off frame at x 0, lit frame at x 20, each 20x12.
constexpr const char* led = "led.png";
// Small LED 29x9: off frame at x 0, lit frame at x 15, each 14x9.
constexpr const char* switchLed = "switch_led.png";
// Check box pictures 20x11: checked, unchecked, pressed.
constexpr const char* checkOn = "check_on.png";
constexpr const char* checkOff = "check_off.png";
constexpr const char* checkPressed = "check_pressed.png";
// Program grid scroll thumb 18x31 (read from (0,0,18,31)).
constexpr const char* gridThumb = "grid_thumb.png";
// Envelope graph background 218x73 and overlay 218x73 (both read from (0,0,218,73)).
constexpr const char* envBack = "env_back.png";
constexpr const char* envOverlay = "env_overlay.png";
// Oscillator shape icon background 36x21.
constexpr const char* shapeBack = "shape_back.png";
// Horizontal scroll bar 153x16 (only the column (5,0,2,14) is read).
constexpr const char* scrollBar = "scroll_bar.png";
// Zoom corner handle 50x14.
constexpr const char* cornerHandle = "corner_handle.png";
// Wheel sprite 1891x200: 35 frames of 55x200, frame n at x = 54n (frame 0 centre/bottom, 34 top).
constexpr const char* wheelStrip = "wheel_strip.png";
// Wheel well 81x206.
constexpr const char* wheelWell = "wheel_well.png";
// Touch strip 36x130.
constexpr const char* touchStrip = "touch_strip.png";
// X/Y pad 90x90.
constexpr const char* xyPad = "xy_pad.png";
// Velocity number box 27x13.
constexpr const char* numberBox = "number_box.png";
// Mini keyboard 269x18, 128 notes: octave o spans x 25o..25o+25, white keys 25/7 px wide.
constexpr const char* miniKeys = "mini_keys.png";
// Split keyboard 505x34, 128 notes: octave o spans x 49o..49o+49, white keys 7 px wide.
constexpr const char* zoneKeys = "zone_keys.png";
// Key bed pictures: white key 25x152 up and down, black key 16x100 up and down.
constexpr const char* whiteKeyUp = "white_key_up.png";
constexpr const char* whiteKeyDown = "white_key_down.png";
constexpr const char* blackKeyUp = "black_key_up.png";
constexpr const char* blackKeyDown = "black_key_down.png";
// Keyboard panel top bar 100x20.
constexpr const char* keyboardBar = "keyboard_bar.png";
// Library button body 200x48 and right end 10x48 (the body is drawn 24 high from y 0..48 scaled).
constexpr const char* libButton = "lib_button.png";
constexpr const char* libButtonEnd = "lib_button_end.png";
// Category button 100x18: the top half (100x9) is drawn.
constexpr const char* categoryButton = "category_button.png";
// List scroll thumb 36x43: the thumb in the left 25x43, the rest clear (one list reads a 36x43 box).
constexpr const char* listThumb = "list_thumb.png";
// Window tools 54x32: normal icons in (0,0,54,15), highlighted from y 16 (minimise 0-19, full screen 20-34, close 37-53).
constexpr const char* windowTools = "window_tools.png";
// Close box 30x30.
constexpr const char* closeBox = "close_box.png";
// Model-name word 275x43 and model number 113x56.
constexpr const char* modelWord = "model_word.png";
constexpr const char* modelNumber = "model_number.png";
// Splash 467x300 and the about box's lower picture 389x162.
constexpr const char* splash = "splash.png";
constexpr const char* aboutLower = "about_lower.png";

struct Entry
{
    const char* name;
    int width, height;
};

inline constexpr Entry entries[] = {
    { knobStrip, 3655, 56 },   { knobBack0, 80, 80 },      { knobBack1, 80, 80 },        { knobBack2, 80, 80 },
    { globalKnobStrip, 3188, 56 }, { lcdBack, 240, 62 },   { dropBar, 200, 18 },         { dropArrow, 14, 18 },
    { dropFrame, 113, 17 },    { led, 40, 12 },            { switchLed, 29, 9 },         { checkOn, 20, 11 },
    { checkOff, 20, 11 },      { checkPressed, 20, 11 },   { gridThumb, 18, 31 },        { envBack, 218, 73 },
    { envOverlay, 218, 73 },   { shapeBack, 36, 21 },      { scrollBar, 153, 16 },       { cornerHandle, 50, 14 },
    { wheelStrip, 1891, 200 }, { wheelWell, 81, 206 },     { touchStrip, 36, 130 },      { xyPad, 90, 90 },
    { numberBox, 27, 13 },     { miniKeys, 269, 18 },      { zoneKeys, 505, 34 },        { whiteKeyUp, 25, 152 },
    { whiteKeyDown, 25, 152 }, { blackKeyUp, 16, 100 },    { blackKeyDown, 16, 100 },    { keyboardBar, 100, 20 },
    { libButton, 200, 48 },    { libButtonEnd, 10, 48 },   { categoryButton, 100, 18 },  { listThumb, 36, 43 },
    { windowTools, 54, 32 },   { closeBox, 30, 30 },       { modelWord, 275, 43 },       { modelNumber, 113, 56 },
    { splash, 467, 300 },      { aboutLower, 389, 162 },
};

// Source x of knob filmstrip frame n (0..60).
constexpr int knobFrameX (int n) noexcept
{
    return 60 * n - (n > 6) - (n > 18) - (n > 30) - (n > 42) - (n > 54);
}

// The embedded picture by file name, through the image cache; an invalid image for an unknown name.
juce::Image get (const char* name);
}
