#include <gtest/gtest.h>
#include "engine/ParameterTable.h"
#include <limits>
#include <set>

namespace
{
const ParameterTable& table()   { static const ParameterTable t; return t; }
}

TEST (ParameterTable, EveryHostIndexMapsToAnIdThatMapsBack)
{
    std::set<int> ids;
    for (int h = 0; h < ParameterTable::numHostParameters; ++h)
    {
        const auto id = table().idForHostIndex (h);
        EXPECT_EQ (table().hostIndex (id), h) << "host index " << h;
        ids.insert (id);
    }
    EXPECT_EQ (ids.size(), 624u);

    int withHostIndex = 0;
    for (int id = 0; id < ParameterIds::count; ++id)
        withHostIndex += table().hasHostIndex (id) ? 1 : 0;
    EXPECT_EQ (withHostIndex, 624);

    // Host indices run up in id order inside each layer, layer A ending at 309.
    int last = -1;
    for (int id = 0; id < 512; ++id)
        if (table().hasHostIndex (id))
        {
            EXPECT_GT (table().hostIndex (id), last);
            last = table().hostIndex (id);
        }
    EXPECT_EQ (last, 309);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ (table().idForHostIndex (618 + k), 1024 + k);
}

TEST (ParameterTable, LayerBCopiesLayerAExceptProgramWideParameters)
{
    for (int n = 0; n < 512; ++n)
    {
        const int b = n + 512;
        EXPECT_EQ (table().section (b), table().section (n)) << n;
        EXPECT_EQ (table().minimum (b), table().minimum (n)) << n;
        EXPECT_EQ (table().maximum (b), table().maximum (n)) << n;
        EXPECT_EQ (table().displayType (b), table().displayType (n)) << n;
        EXPECT_EQ (table().name (b), table().name (n)) << n;

        const bool expectHost = table().hasHostIndex (n) && n != 424 && n != 425;
        EXPECT_EQ (table().hasHostIndex (b), expectHost) << n;
        if (expectHost)
        {
            EXPECT_EQ (table().hostIndex (b), 310 + table().hostIndex (n)) << n;
        }
    }
}

// Run ends, the interleaved envelope block and layer B (the binary test checks the host names at the ends).
// -1 for host index means none; 999 means the column is not checked.
TEST (ParameterTable, RunBoundariesAndNames)
{
    const std::pair<int, const char*> names[] =
    {
        { 3, "Pitch 4" }, { 96, "Dly 1 Time" }, { 99, "Dly 4 Time" }, { 135, "LFO 4 Freq Sync" }, { 221, "Mod 16 Src" },
        { 306, "ArpNote 1" }, { 337, "ArpNote 32" },
    };
    for (auto [id, name] : names)
        EXPECT_EQ (table().name (id), name) << id;

    struct Row { int id; const char* name; int section, minimum, maximum, displayType, hostIndex; };
    const Row rows[] =
    {
        { 168,  "LPF Env Amt 1",   999, 999, 999, 999, 149 },
        { 169,  nullptr,           5,   999, 127, 0,   999 },
        { 171,  nullptr,           10,  999, 254, 21,  999 },
        { 201,  "ENV4 Repeat",     999, 999, 999, 999, 182 },
        { 202,  "rfu",             999, 999, 999, 999, -1 },
        { 205,  "rfu",             999, 999, 999, 999, -1 },
        { 206,  nullptr,           999, 999, 999, 999, 183 },
        { 256,  nullptr,           999, 30,  250, 999, 999 },
        { 306,  nullptr,           999, -1,  999, 999, 999 },
        { 370,  nullptr,           999, 32,  999, 999, -1 },
        { 423,  nullptr,           999, 999, 120, 999, -1 },
        { 500,  "",                0,   999, 0,   999, -1 },
        { 700,  nullptr,           3,   999, 127, 0,   479 },
        { 1024, "Program No.",     20,  999, 791, 999, 618 },
    };

    for (const auto& r : rows)
    {
        SCOPED_TRACE (r.id);
        const auto check = [] (int expected, int actual) { if (expected != 999) { EXPECT_EQ (actual, expected); } };
        check (r.section, table().section (r.id));
        check (r.minimum, table().minimum (r.id));
        check (r.maximum, table().maximum (r.id));
        check (r.displayType, table().displayType (r.id));
        check (r.hostIndex, table().hasHostIndex (r.id) ? table().hostIndex (r.id) : -1);
        if (r.name != nullptr)
        {
            EXPECT_EQ (table().name (r.id), r.name);
        }
    }
    EXPECT_EQ (table().names().size(), ParameterTable::numNames);

    // Not automatable although named, and unnamed gaps.
    for (int id : { 203, 204, 301, 24, 41, 64, 255, 261, 302, 426, 511, 936, 937 })
        EXPECT_FALSE (table().hasHostIndex (id)) << id;
}

TEST (ParameterTable, QueriesOutOfRangeAnswerZeroEmptyOrNone)
{
    for (int id : { -1, 1030, 5000, std::numeric_limits<int>::min(), std::numeric_limits<int>::max() })
    {
        EXPECT_EQ (table().maximum (id), 0);
        EXPECT_EQ (table().minimum (id), 0);
        EXPECT_EQ (table().section (id), 0);
        EXPECT_EQ (table().displayType (id), 0);
        EXPECT_TRUE (table().name (id).isEmpty());
        EXPECT_FALSE (table().hasHostIndex (id));
    }
    for (int h : { -1, 624, 2000, std::numeric_limits<int>::max() })
        EXPECT_EQ (table().idForHostIndex (h), 0);
}
