#include "SectionLayouts.h"
#include <array>

namespace SectionLayouts
{
namespace
{
// The control's own kinds, short for the tables below.
constexpr int dropDown = Kind::dropDown, ledSwitch = Kind::ledSwitch, knob = Kind::knob,
              threeWay = Kind::threeWay, centredLed = Kind::centredLed;

// One row of the layout, or a run of `count` rows: row k sits at list position
// pos + k*posStep, edits parameter param + k*paramStep and is placed at
// (x + k*dx, y + k*dy). Ranges and value texts follow the parameter table,
// which the host and the synthesizer use too.
struct Run
{
    int section, pos, posStep, count, param, paramStep;
    const char* label;
    int kind, minimum, maximum, displayType;
    int x, y, dx, dy, w, h;
    int knobStyle;
};

constexpr int envelope3 = 9, envelope4 = 10;

constexpr Run runs[] =
{
    // section pos step n  param step  label               kind        min  max type    x    y   dx   dy    w    h  style
    // SLIDERS: the latches keep the pad from springing back.
    {  0,  0, 1,  2, 1028, 1, "Latch",            centredLed, 0,   1,   0,    14,  38,  56,   0,  40,  32, 0 },

    // OSCILLATORS: one row per oscillator, 72 pixels apart.
    {  1,  0, 1,  4,    0, 1, "Pitch",            knob,       0, 120,  13,     0,  36,   0,  72,  65,  72, 3 },
    {  1,  4, 1,  4,    4, 1, "Fine",             knob,       0, 100,  22,    68,  36,   0,  72,  65,  72, 3 },
    {  1,  8, 1,  4,    8, 1, "Level",            knob,       0, 127,   0,   138,  36,   0,  72,  61,  72, 0 },
    {  1, 12, 1,  4,   12, 1, "Shape",            dropDown,   0,  19,  14,   200,  72,   0,  72,  70,  36, 0 },
    {  1, 16, 1,  4,   28, 1, "Shape Mod",        knob,       0, 127,  23,   274,  36,   0,  72,  65,  72, 0 },
    {  1, 20, 1,  4,   16, 1, "Wave L",           dropDown,   0,  11,  15,   344,  72,   0,  72,  64,  36, 0 },
    {  1, 24, 1,  4,   20, 1, "Wave R",           dropDown,   0,  11,  15,   412,  72,   0,  72,  64,  36, 0 },
    {  1, 28, 1,  4,   32, 1, "FM Amt",           knob,       0, 255,   0,   480,  36,   0,  72,  65,  72, 0 },
    {  1, 32, 1,  4,   36, 1, "AM Amt",           knob,       0, 255,   0,   548,  36,   0,  72,  65,  72, 0 },
    {  1, 36, 1,  4,   44, 1, "Slop",             knob,       0, 127,   0,   616,  36,   0,  72,  65,  72, 0 },
    {  1, 40, 1,  4,   48, 1, "Glide",            knob,       0, 127,   0,   684,  36,   0,  72,  65,  72, 0 },
    {  1, 44, 1,  4,   52, 1, "Sync",             ledSwitch,  0,   1,  12,   752,  40,   0,  72,  95,  20, 0 },
    {  1, 48, 1,  4,   56, 1, "Key On/Off",       ledSwitch,  0,   1,  12,   752,  64,   0,  72,  95,  20, 0 },
    {  1, 52, 1,  4,   60, 1, "Note Reset",       ledSwitch,  0,   1,  12,   752,  88,   0,  72,  95,  20, 0 },
    {  1, 56, 0,  1,   40, 0, "Osc 1 Sub",        knob,       0, 127,   0,   868,  36,   0,   0,  65,  72, 0 },
    {  1, 57, 0,  1,   72, 0, "Glide Mode",       dropDown,   0,   3,   9,   852, 144,   0,   0,  90,  36, 0 },
    {  1, 58, 0,  1,   73, 0, "Glide On/Off",     ledSwitch,  0,   1,  12,   848, 112,   0,   0, 100,  20, 0 },
    {  1, 59, 0,  1,   74, 0, "P. B. Range Up",   dropDown,   0,  12,  16,   852, 216,   0,   0,  90,  36, 0 },
    {  1, 60, 0,  1,   75, 0, "P. B. Range Dn",   dropDown,   0,  24,  16,   852, 264,   0,   0,  90,  36, 0 },

    // CHARACTER
    {  2,  0, 0,  1,   76, 0, "Air",              knob,       0, 127,   0,   125, 108,   0,   0,  65,  72, 0 },
    {  2,  1, 0,  1,   77, 0, "Girth",            knob,       0, 127,   0,    57, 108,   0,   0,  65,  72, 0 },
    {  2,  2, 0,  1,   78, 0, "Hack",             knob,       0, 127,   0,   159, 180,   0,   0,  65,  72, 0 },
    {  2,  3, 0,  1,   79, 0, "Decimate",         knob,       0, 127,   0,    23, 180,   0,   0,  65,  72, 0 },
    {  2,  4, 0,  1,   80, 0, "Drive",            knob,       0, 127,   0,    91, 180,   0,   0,  65,  72, 0 },

    // LOW PASS FILTER: the envelope stages sit at positions 7-10.
    {  3,  0, 0,  1,   85, 0, "Frequency",        knob,       0, 164,   0,   140,  34,   0,   0,  65,  72, 0 },
    {  3,  1, 0,  1,   86, 0, "Resonance",        knob,       0, 127,   0,   208,  34,   0,   0,  65,  72, 0 },
    {  3,  2, 0,  1,   87, 0, "Key Amount",       knob,       0, 127,   0,   276,  34,   0,   0,  65,  72, 0 },
    {  3,  3, 0,  1,   88, 0, "4 Pole",           centredLed, 0,   1,  12,    72,  50,   0,   0,  65,  32, 0 },
    {  3,  4, 0,  1,  168, 0, "Env. Amount",      knob,       0, 254,  21,    72, 106,   0,   0,  65,  72, 1 },
    {  3,  5, 0,  1,  172, 0, "Velocity Amt",     knob,       0, 127,   0,   344,  34,   0,   0,  65,  72, 1 },
    {  3,  6, 0,  1,  176, 0, "Delay",            knob,       0, 127,   0,     0, 106,   0,   0,  65,  72, 0 },
    {  3,  7, 0,  1,  180, 0, "Attack",           knob,       0, 127,   0,   140, 106,   0,   0,  65,  72, 0 },
    {  3,  8, 0,  1,  184, 0, "Decay",            knob,       0, 127,   0,   208, 106,   0,   0,  65,  72, 0 },
    {  3,  9, 0,  1,  188, 0, "Sustain",          knob,       0, 127,   0,   276, 106,   0,   0,  65,  72, 0 },
    {  3, 10, 0,  1,  192, 0, "Release",          knob,       0, 127,   0,   344, 106,   0,   0,  65,  72, 0 },
    {  3, 11, 0,  1,  198, 0, "Repeat",           ledSwitch,  0,   1,  12,   570, 146,   0,   0, 100,  20, 0 },

    // HIGH PASS FILTER
    {  4,  0, 0,  1,   89, 0, "Frequency",        knob,       0, 127,   0,    14,  34,   0,   0,  65,  72, 0 },
    {  4,  1, 0,  1,   90, 0, "Resonance",        knob,       0, 127,   0,    82,  34,   0,   0,  65,  72, 0 },
    {  4,  2, 0,  1,   91, 0, "Key Amount",       knob,       0, 127,   0,    48, 106,   0,   0,  65,  72, 0 },

    // VOLTAGE CONTROLLED AMPLIFIER: its envelope amount is unipolar.
    {  5,  0, 0,  1,  169, 0, "Env. Amount",      knob,       0, 127,   0,   176,  34,   0,   0,  65,  72, 1 },
    {  5,  1, 0,  1,  173, 0, "Velocity Amt",     knob,       0, 127,   0,   244,  34,   0,   0,  65,  72, 1 },
    {  5,  2, 0,  1,  177, 0, "Delay",            knob,       0, 127,   0,    42, 106,   0,   0,  65,  72, 0 },
    {  5,  3, 0,  1,  181, 0, "Attack",           knob,       0, 127,   0,   140, 106,   0,   0,  65,  72, 0 },
    {  5,  4, 0,  1,  185, 0, "Decay",            knob,       0, 127,   0,   208, 106,   0,   0,  65,  72, 0 },
    {  5,  5, 0,  1,  189, 0, "Sustain",          knob,       0, 127,   0,   276, 106,   0,   0,  65,  72, 0 },
    {  5,  6, 0,  1,  193, 0, "Release",          knob,       0, 127,   0,   344, 106,   0,   0,  65,  72, 0 },
    {  5,  7, 0,  1,  199, 0, "Repeat",           ledSwitch,  0,   1,  12,   570, 146,   0,   0, 100,  20, 0 },
    {  5,  8, 0,  1,   92, 0, "Pan Spread",       knob,       0, 127,   0,   312,  34,   0,   0,  65,  72, 0 },
    {  5,  9, 0,  1,   93, 0, "Voice Volume",     knob,       0, 127,   0,    42,  34,   0,   0,  65,  72, 0 },

    // FEEDBACK
    {  6,  0, 0,  1,   94, 0, "Amount",           knob,       0, 254,  21,    28,  34,   0,   0,  65,  72, 0 },
    {  6,  1, 0,  1,   95, 0, "Tune",             knob,       0,  48,   0,    28, 106,   0,   0,  65,  72, 0 },

    // DELAY: nine controls per line, each line 205 pixels right of the last.
    {  7,  0, 9,  4,   96, 1, "Time",             knob,       0, 255,   0,     8,  34, 205,   0,  65,  72, 3 },
    {  7,  1, 9,  4,  100, 1, "Time Sync",        dropDown,   0,  11,   8,    68, 180, 205,   0,  80,  36, 0 },
    {  7,  2, 9,  4,  104, 1, "Amount",           knob,       0, 127,   0,    76,  34, 205,   0,  65,  72, 0 },
    {  7,  3, 9,  4,  108, 1, "Feedback",         knob,       0, 127,   0,    42, 106, 205,   0,  65,  72, 0 },
    {  7,  4, 9,  4,  112, 1, "Sync",             ledSwitch,  0,   1,  12,    20, 180, 205,   0,  30,  20, 0 },
    {  7,  5, 9,  4,  116, 1, "LP Freq",          knob,       0, 127,   0,     8, 220, 205,   0,  65,  72, 0 },
    {  7,  6, 9,  4,  120, 1, "HP Freq",          knob,       0, 127,   0,    76, 220, 205,   0,  65,  72, 0 },
    {  7,  7, 9,  4,  124, 1, "Filter Mode",      dropDown,   0,   1,  24,    42, 294, 205,   0,  65,  36, 0 },
    {  7,  8, 9,  4,  164, 1, "Pan",              knob,       0, 127,   0,   112, 106, 205,   0,  65,  72, 0 },

    // LOW FREQUENCY OSCILLATORS: one column per LFO, 176 pixels apart.
    {  8,  0, 1,  4,  128, 1, "Frequency",        knob,       0, 255,   0,    14,  78, 176,   0,  65,  72, 0 },
    {  8,  4, 1,  4,  132, 1, "Frequency Sync",   dropDown,   0,  15,  10,    22, 224, 176,   0, 118,  34, 0 },
    {  8,  8, 1,  4,  136, 1, "Shape",            dropDown,   0,   7,  11,    22, 260, 176,   0, 118,  34, 0 },
    {  8, 12, 1,  4,  140, 1, "Amount",           knob,       0, 127,   0,    82,  78, 176,   0,  65,  72, 0 },
    {  8, 16, 1,  4,  144, 1, "Destination",      dropDown,   0, 104,   7,    22, 296, 176,   0, 118,  34, 0 },
    {  8, 20, 1,  4,  148, 1, "Sync",             ledSwitch,  0,   1,  12,    38,  34, 176,   0, 120,  20, 0 },
    {  8, 24, 1,  4,  152, 1, "Note Reset",       ledSwitch,  0,   1,  12,    38,  56, 176,   0, 120,  20, 0 },
    {  8, 28, 1,  4,  156, 1, "Slew",             knob,       0, 127,   0,    14, 150, 176,   0,  65,  72, 0 },
    {  8, 32, 1,  4,  160, 1, "Phase",            knob,       0, 127,   0,    82, 150, 176,   0,  65,  72, 0 },

    // ENVELOPE 3; ENVELOPE 4 is the same panel one parameter up (built below).
    {  9,  0, 0,  1,  170, 0, "Env. Amount",      knob,       0, 254,  21,   276,  34,   0,   0,  65,  72, 1 },
    {  9,  1, 0,  1,  174, 0, "Velocity Amt",     knob,       0, 127,   0,   344,  34,   0,   0,  65,  72, 1 },
    {  9,  2, 0,  1,  178, 0, "Delay",            knob,       0, 127,   0,    52, 106,   0,   0,  65,  72, 0 },
    {  9,  3, 0,  1,  182, 0, "Attack",           knob,       0, 127,   0,   140, 106,   0,   0,  65,  72, 0 },
    {  9,  4, 0,  1,  186, 0, "Decay",            knob,       0, 127,   0,   208, 106,   0,   0,  65,  72, 0 },
    {  9,  5, 0,  1,  190, 0, "Sustain",          knob,       0, 127,   0,   276, 106,   0,   0,  65,  72, 0 },
    {  9,  6, 0,  1,  194, 0, "Release",          knob,       0, 127,   0,   344, 106,   0,   0,  65,  72, 0 },
    {  9,  7, 0,  1,  196, 0, "Destination",      dropDown,   0, 104,   7,   140,  48,   0,   0, 120,  36, 0 },
    {  9,  8, 0,  1,  200, 0, "Repeat",           ledSwitch,  0,   1,  12,   570, 146,   0,   0, 100,  20, 0 },

    // MODULATION: slot m has its source at m, amount at 16+m, destination at
    // 32+m; slots 0-7 form the upper row, 8-15 the lower, columns 119 apart.
    { 11,  0, 1,  8,  206, 1, "Source",           dropDown,   0,  27,  17,     4,  40, 119,   0, 108,  34, 0 },
    { 11,  8, 1,  8,  214, 1, "Source",           dropDown,   0,  27,  17,     4, 188, 119,   0, 108,  34, 0 },
    { 11, 16, 1,  8,  222, 1, "Amount",           knob,       0, 254,  21,    28, 116, 119,   0,  65,  72, 1 },
    { 11, 24, 1,  8,  230, 1, "Amount",           knob,       0, 254,  21,    28, 264, 119,   0,  65,  72, 1 },
    { 11, 32, 1,  8,  238, 1, "Destination",      dropDown,   0, 104,   7,     4,  80, 119,   0, 108,  34, 0 },
    { 11, 40, 1,  8,  246, 1, "Destination",      dropDown,   0, 104,   7,     4, 228, 119,   0, 108,  34, 0 },

    // DISTORTION
    { 12,  0, 0,  1,  254, 0, "Amount",           knob,       0, 127,   0,    48,  72,   0,   0,  65,  72, 0 },

    // UNISON: the key assign names are the editor's own value texts.
    { 13,  0, 0,  1,  257, 0, "On/Off",           ledSwitch,  0,   1,  12,    18,  46,   0,   0,  80,  20, 0 },
    { 13,  1, 0,  1,  258, 0, "Detune",           knob,       0, 127,   0,    28,  78,   0,   0,  65,  72, 0 },
    { 13,  2, 0,  1,  259, 0, "Mode",             dropDown,   0,   1,  20,    18, 164,   0,   0,  80,  36, 0 },
    { 13,  3, 0,  1,  260, 0, "Key Assign",       dropDown,   0,   5, 180,    18, 204,   0,   0,  80,  36, 0 },

    // ARPEGGIATOR
    { 14,  0, 0,  1,  256, 0, "BPM",              knob,      30, 250,   6,    26,  36,   0,   0,  70,  72, 3 },
    { 14,  1, 0,  1,  294, 0, "Mode",             dropDown,   0,   4,   2,    16, 196,   0,   0,  90,  36, 0 },
    { 14,  2, 0,  1,  295, 0, "Range",            dropDown,   0,   2,   3,    16, 236,   0,   0,  90,  36, 0 },
    { 14,  3, 0,  1,  296, 0, "On/Off",           ledSwitch,  0,   1,  12,    16, 108,   0,   0,  90,  20, 0 },
    { 14,  4, 0,  1,  297, 0, "Auto Latch",       ledSwitch,  0,   1,  12,    16, 132,   0,   0,  90,  20, 0 },
    { 14,  5, 0,  1,  298, 0, "Clock Devide",     dropDown,   0,  10,   5,    16, 156,   0,   0,  90,  36, 0 },
    { 14,  6, 0,  1,  299, 0, "Repeats",          dropDown,   0,   3,   4,    16, 276,   0,   0,  90,  36, 0 },
    { 14,  7, 0,  1,  300, 0, "Lock Notes",       ledSwitch,  0,   1,  12,    16, 312,   0,   0, 100,  20, 0 },

    // AB MODE: the panel paints "Split Point" itself.
    { 15,  0, 0,  1,  424, 0, "",                 dropDown,   0, 120,  18,   270,  16,   0,   0,  36,  20, 0 },
    { 15,  1, 0,  1,  425, 0, "A B Mode",         threeWay,   0,   2,   1,     0,  40,   0,   0,  90,  34, 0 },
};

using ControlTable = std::array<std::vector<ControlRow>, numSections>;

ControlTable expand()
{
    ControlTable table;

    for (const auto& run : runs)
    {
        auto& list = table[(size_t) run.section];
        for (int k = 0; k < run.count; ++k)
        {
            const auto pos = (size_t) (run.pos + k * run.posStep);
            if (list.size() <= pos)
                list.resize (pos + 1, ControlRow { -1, {}, 0, 0, 0, 0, 0, 0, 0, 0, 0 });

            jassert (list[pos].parameter < 0);   // each position is filled once
            list[pos] = { run.param + k * run.paramStep, run.label, run.kind,
                          run.minimum, run.maximum, run.displayType,
                          run.x + k * run.dx, run.y + k * run.dy, run.w, run.h, run.knobStyle };
        }
    }

    table[(size_t) envelope4] = table[(size_t) envelope3];
    for (auto& row : table[(size_t) envelope4])
        ++row.parameter;

    return table;
}

using GraphicTable = std::array<std::vector<GraphicRow>, numSections>;

GraphicTable graphicTable()
{
    GraphicTable table;
    table[0] = { { Graphic::touchStrip1, 0, { 16, 60, 36, 130 }, true },
                 { Graphic::touchStrip2, 0, { 72, 60, 36, 130 }, true },
                 { Graphic::pad,         0, { 18, 210, 90, 90 }, true } };

    for (int k = 0; k < 4; ++k)
        table[1].push_back ({ Graphic::waveIcon, k, { 214, 30 + 72 * k, 36, 21 }, true });

    for (int s : { 3, 5, envelope3, envelope4 })
        table[(size_t) s] = { { Graphic::envelope, 0, { 426, 46, 218, 80 }, true } };

    table[15] = { { Graphic::splitKeys,      0, { 0, 0, 269, 18 },   true },
                  { Graphic::splitKeysLarge, 0, { 20, 24, 505, 34 }, false } };
    return table;
}

const std::vector<ControlRow> noControls;
const std::vector<GraphicRow> noGraphics;
}

const std::vector<ControlRow>& controls (int section)
{
    static const ControlTable table = expand();
    return juce::isPositiveAndBelow (section, numSections) ? table[(size_t) section] : noControls;
}

const std::vector<GraphicRow>& graphics (int section)
{
    static const GraphicTable table = graphicTable();
    return juce::isPositiveAndBelow (section, numSections) ? table[(size_t) section] : noGraphics;
}

int firstEnvelopeStage (int section) noexcept
{
    switch (section)
    {
        case 3:         return 7;
        case 5:
        case envelope3:
        case envelope4: return 3;
        default:        return -1;
    }
}
}
