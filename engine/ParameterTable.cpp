#include "ParameterTable.h"
#include "engine/ProgramRecord.h"

namespace
{
// A run of consecutive layer-A ids that share section, range and display type.
// '#' in the name stands for the counting number (1, 2, 3 ...) along the run;
// a name without '#' is used for every id of the run.
struct Run
{
    int first, last;
    const char* name;   // nullptr: unnamed
    int section, minimum, maximum, type;
    bool automatable;
};

constexpr Run layerARuns[] =
{
    {   0,   3, "Pitch #",          1, 0, 120, 13, true },
    {   4,   7, "Fine #",           1, 0, 100, 22, true },
    {   8,  11, "Level #",          1, 0, 127,  0, true },
    {  12,  15, "Shape #",          1, 0,  19, 14, true },
    {  16,  19, "Wave L #",         1, 0,  11, 15, true },
    {  20,  23, "Wave R #",         1, 0,  11, 15, true },
    {  24,  27, nullptr,            0, 0,   1,  0, false },
    {  28,  31, "Shape Mod #",      1, 0, 127, 23, true },
    {  32,  35, "FM #",             1, 0, 255,  0, true },
    {  36,  39, "AM #",             1, 0, 255,  0, true },
    {  40,  40, "Osc 1 Sub",        1, 0, 127,  0, true },
    {  41,  43, nullptr,            0, 0,   0,  0, false },
    {  44,  47, "Slop #",           1, 0, 127,  0, true },
    {  48,  51, "Glide #",          1, 0, 127,  0, true },
    {  52,  55, "Sync #",           1, 0,   1, 12, true },
    {  56,  59, "Key On/Off #",     1, 0,   1, 12, true },
    {  60,  63, "Note Reset #",     1, 0,   1, 12, true },
    {  64,  71, nullptr,            0, 0,   0,  0, false },
    {  72,  72, "Glide Mode",       1, 0,   3,  9, true },
    {  73,  73, "Glide On/Off",     1, 0,   1, 12, true },
    {  74,  74, "P. B. Range Up",   1, 0,  12, 16, true },
    {  75,  75, "P. B. Range Dn",   1, 0,  24, 16, true },
    {  76,  76, "Air",              2, 0, 127,  0, true },
    {  77,  77, "Girth",            2, 0, 127,  0, true },
    {  78,  78, "Hack",             2, 0, 127,  0, true },
    {  79,  79, "Decimate",         2, 0, 127,  0, true },
    {  80,  80, "Drive",            2, 0, 127,  0, true },
    {  81,  84, nullptr,            0, 0,   0,  0, false },
    {  85,  85, "LPF Freq",         3, 0, 164,  0, true },
    {  86,  86, "LPF LFP Reson",    3, 0, 127,  0, true },
    {  87,  87, "LPF Key Amt",      3, 0, 127,  0, true },
    {  88,  88, "LPF 4 Pole",       3, 0,   1, 12, true },
    {  89,  89, "HPF freq",         4, 0, 127,  0, true },
    {  90,  90, "HPF Reson",        4, 0, 127,  0, true },
    {  91,  91, "HPF Key Amt",      4, 0, 127,  0, true },
    {  92,  92, "Pan Spread",       5, 0, 127,  0, true },
    {  93,  93, "Voice Volume",     5, 0, 127,  0, true },
    {  94,  94, "FeedBk Amount",    6, 0, 254, 21, true },
    {  95,  95, "FeedBk Tune",      6, 0,  48,  0, true },
    {  96,  99, "Dly # Time",       7, 0, 255,  0, true },
    { 100, 103, "Dly # Tm Sync",    7, 0,  11,  8, true },
    { 104, 107, "Dly # Amt",        7, 0, 127,  0, true },
    { 108, 111, "Dly # Feedbk",     7, 0, 127,  0, true },
    { 112, 115, "Dly # Sync",       7, 0,   1, 12, true },
    { 116, 119, "Dly # LP Freq",    7, 0, 127,  0, true },
    { 120, 123, "Dly # HP Freq",    7, 0, 127,  0, true },
    { 124, 127, "Dly # Filter",     7, 0,   1, 24, true },
    { 128, 131, "LFO # Freq",       8, 0, 255,  0, true },
    { 132, 135, "LFO # Freq Sync",  8, 0,  15, 10, true },
    { 136, 139, "LFO # Shape",      8, 0,   7, 11, true },
    { 140, 143, "LFO # Amount",     8, 0, 127,  0, true },
    { 144, 147, "LFO # Dest",       8, 0, 104,  7, true },
    { 148, 151, "LFO # Sync",       8, 0,   1, 12, true },
    { 152, 155, "LFO # Note Rst",   8, 0,   1, 12, true },
    { 156, 159, "LFO # Slew",       8, 0, 127,  0, true },
    { 160, 163, "LFO # Phase",      8, 0, 127,  0, true },
    { 164, 167, "Dly Pan #",        7, 0, 127,  0, true },

    // Envelope block: each stage takes four ids, for the low-pass filter
    // envelope (section 3), VCA (5), envelope 3 (9) and envelope 4 (10).
    { 168, 168, "LPF Env Amt 1",    3, 0, 254, 21, true },
    { 169, 169, "VCA Env Amt 2",    5, 0, 127,  0, true },
    { 170, 170, "ENV3 Env Amt 3",   9, 0, 254, 21, true },
    { 171, 171, "ENV4 Env Amt 4",  10, 0, 254, 21, true },
    { 172, 172, "LPF Vel Amt 1",    3, 0, 127,  0, true },
    { 173, 173, "VCA Vel Amt 2",    5, 0, 127,  0, true },
    { 174, 174, "ENV3 Vel Amt 3",   9, 0, 127,  0, true },
    { 175, 175, "ENV4 Vel Amt 4",  10, 0, 127,  0, true },
    { 176, 176, "LPF Delay",        3, 0, 127,  0, true },
    { 177, 177, "VCA Delay",        5, 0, 127,  0, true },
    { 178, 178, "ENV3 Delay",       9, 0, 127,  0, true },
    { 179, 179, "ENV4 Delay",      10, 0, 127,  0, true },
    { 180, 180, "LPF Attack",       3, 0, 127,  0, true },
    { 181, 181, "VCA Attack",       5, 0, 127,  0, true },
    { 182, 182, "ENV3 Attack",      9, 0, 127,  0, true },
    { 183, 183, "ENV4 Attack",     10, 0, 127,  0, true },
    { 184, 184, "LPF Decay",        3, 0, 127,  0, true },
    { 185, 185, "VCA Decay",        5, 0, 127,  0, true },
    { 186, 186, "ENV3 Decay",       9, 0, 127,  0, true },
    { 187, 187, "ENV4 Decay",      10, 0, 127,  0, true },
    { 188, 188, "LPF Sustain",      3, 0, 127,  0, true },
    { 189, 189, "VCA Sustain",      5, 0, 127,  0, true },
    { 190, 190, "ENV3 Sustain",     9, 0, 127,  0, true },
    { 191, 191, "ENV4 Sustain",    10, 0, 127,  0, true },
    { 192, 192, "LPF Release",      3, 0, 127,  0, true },
    { 193, 193, "VCA Release",      5, 0, 127,  0, true },
    { 194, 194, "ENV3 Release",     9, 0, 127,  0, true },
    { 195, 195, "ENV4 Release",    10, 0, 127,  0, true },
    { 196, 196, "ENV3 Destination", 9, 0, 104,  7, true },
    { 197, 197, "ENV4 Destination",10, 0, 104,  7, true },
    { 198, 198, "LPF Repeat",       3, 0,   1, 12, true },
    { 199, 199, "VCA Repeat",       5, 0,   1, 12, true },
    { 200, 200, "ENV3 Repeat",      9, 0,   1, 12, true },
    { 201, 201, "ENV4 Repeat",     10, 0,   1, 12, true },

    { 202, 205, "rfu",              0, 0,   0,  0, false },
    { 206, 221, "Mod # Src",       11, 0,  27, 17, true },
    { 222, 237, "Mod # Amt",       11, 0, 254, 21, true },
    { 238, 253, "Mod # Dest",      11, 0, 104,  7, true },
    { 254, 254, "Distor Amt",      12, 0, 127,  0, true },
    { 255, 255, nullptr,            0, 0,   0,  0, false },
    { 256, 256, "BPM",             14, 30, 250, 6, true },
    { 257, 257, "Unison ON",       13, 0,   1, 12, true },
    { 258, 258, "Unis Detune",     13, 0, 127,  0, true },
    { 259, 259, "Unis Mode",       13, 0,   1, 20, true },
    { 260, 260, "Unis Key Ass.",   13, 0,   5, 180, true },   // the key-assign names, as the editor shows them
    { 261, 293, nullptr,            0, 0,   0,  0, false },
    { 294, 294, "Arp Mode",        14, 0,   4,  2, true },
    { 295, 295, "Arp Range",       14, 0,   2,  3, true },
    { 296, 296, "Arp On/Off",      14, 0,   1, 12, true },
    { 297, 297, "Arp Auto Latch",  14, 0,   1, 12, true },
    { 298, 298, "Arp Clock Devide",14, 0,  10,  5, true },
    { 299, 299, "Arp Repeats",     14, 0,   3,  4, true },
    { 300, 300, "Arp Lock Notes",  14, 0,   1, 12, true },
    { 301, 301, "Lock Note Count",  0, 0,   0,  0, false },
    { 302, 305, nullptr,            0, 0,   0,  0, false },
    { 306, 337, "ArpNote #",        0, -1, 127, 0, true },
    { 338, 369, "ArpVel #",         0, 0, 127,  0, true },
    { 370, 423, nullptr,            0, 32, 120, 0, false },
    { 424, 424, "Split Point",     15, 0, 120, 18, true },
    { 425, 425, "A B Mode",        15, 0,   2,  1, true },
    { 426, 511, nullptr,            0, 0,   0,  0, false },
};

struct PseudoRow { ParameterId id; const char* name; int section, minimum, maximum, type; };

constexpr PseudoRow pseudoRows[] =
{
    { ParameterIds::programSelect, "Program No.", 20, 0, 791, 0 },
    { ParameterIds::slider1,       "Slider 1",     0, 0, 127, 0 },
    { ParameterIds::slider2,       "Slider 2",     0, 0, 127, 0 },
    { ParameterIds::sliderPress,   "Slider Press", 0, 0, 127, 0 },
    { ParameterIds::sliderLatch1,  "SlidLatch 1",  0, 0,   1, 0 },
    { ParameterIds::sliderLatch2,  "SlidLatch 2",  0, 0,   1, 0 },
};

// "Split Point" and "A B Mode" belong to the whole program: layer B has no host parameter for them.
constexpr ParameterId splitPointId = ProgramRecord::splitPoint, abModeId = ProgramRecord::layerMode;
}

ParameterTable::ParameterTable()
{
    nameList.ensureStorageAllocated (numNames);
    int nextHostIndex = 0;

    for (const auto& run : layerARuns)
    {
        // Every plug-in load builds these: split the name once, not once per id.
        const juce::String name (run.name != nullptr ? run.name : "");
        const int counter = name.indexOfChar ('#');
        const auto before = name.substring (0, counter), after = name.substring (counter + 1);

        for (int id = run.first; id <= run.last; ++id)
        {
            auto& row = rows[(size_t) id];
            row.section     = (juce::int16) run.section;
            row.minimum     = (juce::int16) run.minimum;
            row.maximum     = (juce::int16) run.maximum;
            row.displayType = (juce::int16) run.type;

            if (run.automatable)
                row.hostIndex = nextHostIndex++;

            nameList.add (counter < 0 ? name : before + juce::String (id - run.first + 1) + after);
        }
    }

    jassert (nameList.size() == 512 && nextHostIndex == 310);

    // Layer B copies layer A; its host indices follow in id order.
    for (int n = 0; n < ParameterIds::layerB; ++n)
    {
        auto& rowB = rows[(size_t) (n + ParameterIds::layerB)];
        const auto& rowA = rows[(size_t) n];
        rowB = rowA;
        rowB.hostIndex = (isHostIndex (rowA.hostIndex) && n != splitPointId && n != abModeId)
                             ? nextHostIndex++ : noHostIndex;
    }

    jassert (nextHostIndex == 618);

    for (const auto& p : pseudoRows)
    {
        auto& row = rows[(size_t) p.id];
        row.section     = (juce::int16) p.section;
        row.minimum     = (juce::int16) p.minimum;
        row.maximum     = (juce::int16) p.maximum;
        row.displayType = (juce::int16) p.type;
        row.hostIndex   = nextHostIndex++;
        nameList.add (p.name);
    }

    for (int id = 0; id < ParameterIds::count; ++id)
        if (isHostIndex (rows[(size_t) id].hostIndex))
            idPerHostIndex[(size_t) rows[(size_t) id].hostIndex] = id;
}

juce::String ParameterTable::name (ParameterId id) const
{
    if (id >= 0 && id < ParameterIds::layerB)
        return nameList[id];
    if (id >= ParameterIds::layerB && id < ParameterIds::programSelect)
        return nameList[id - ParameterIds::layerB];
    if (id >= ParameterIds::programSelect && id < ParameterIds::count)
        return nameList[512 + id - ParameterIds::programSelect];
    return {};
}
