#include <gtest/gtest.h>
#include "engine/ParDes.h"
#include <tuple>

TEST (ParDes, ListsRunFromFirstToLastEntryAndNoFurther)
{
    struct Expected { int type; const char* first; int lastValue; const char* last; };

    const Expected lists[] =
    {
        {   1, "Normal",     2,   "Stack A+B" },
        {   2, "Up",         4,   "Random" },
        {   3, "1 Octave",   2,   "3 Octaves" },
        {   5, "Half Note",  13,  "64th N T" },
        {   7, "Off",        104, "Mod 16 Amount" },
        {   8, "64th",       11,  "Whole" },
        {   9, "FixRate",    3,   "FixTime A" },
        {  10, "32nd Trip",  15,  "32 Qrtr" },
        {  11, "Triangle",   7,   "Random" },
        {  12, "OFF",        1,   "ON" },
        {  14, "Off",        19,  "Violet Noise" },
        {  15, "Tines",      11,  "Meh" },
        {  17, "Off",        27,  "Audio Out" },
        {  20, "1 Voice",    1,   "All Voices" },
        {  24, "Lowpass",    1,   "Highpass" },
        { 180, "Low Note",   5,   "Last Retrig" },
    };

    for (auto& e : lists)
    {
        EXPECT_EQ (ParDes::valueText (e.type, 0), e.first) << "type " << e.type;
        EXPECT_EQ (ParDes::valueText (e.type, e.lastValue), e.last) << "type " << e.type;
        EXPECT_EQ (ParDes::valueText (e.type, e.lastValue + 1), "") << "type " << e.type;
        EXPECT_EQ (ParDes::valueText (e.type, -1), "") << "type " << e.type;
    }

    EXPECT_EQ (ParDes::valueText (10, 5), "8th ");
}

TEST (ParDes, NumbersNotesTypesWithoutTextAndCategories)
{
    const std::tuple<int, int, const char*> cases[] =
    {
        { 0, -5, "-5" },  { 21, 0, "-127" }, { 21, 127, "0" }, { 21, 254, "127" }, { 22, 50, "0" }, { 23, 64, "0" },
        { 16, 0, "OFF" }, { 16, 1, "1 Semitones" }, { 16, 12, "1 Octave" }, { 16, 23, "23 Semitones" },
        { 16, 24, "2 Octaves" }, { 16, 25, "" }, { 16, -1, "" },
        { 4, 3, "3" }, { 4, 4, "" }, { 4, -1, "" }, { 6, 120, "120 bpm" },
        { 13, 0, "C0" }, { 13, 61, "C#5" }, { 13, 120, "C10" }, { 13, 127, "G10" }, { 13, -13, "" },
        { 18, 0, "C0" }, { 18, 61, "C#5" }, { 18, 120, "C10" }, { 18, 127, "G10" }, { 18, -13, "" },
    };
    for (auto& [type, value, text] : cases)
        EXPECT_EQ (ParDes::valueText (type, value), text) << type << " " << value;

    for (int type : { 19, 25, -1 })
        for (int v : { -1, 0, 1, 127 })
            EXPECT_EQ (ParDes::valueText (type, v), "") << type << " " << v;

    EXPECT_EQ (ParDes::categoryName (0), "- Not Assigned -");
    EXPECT_EQ (ParDes::categoryName (25), "Arpeggiator");
    EXPECT_TRUE (ParDes::categoryName (26).isEmpty() && ParDes::categoryName (-1).isEmpty());
}
