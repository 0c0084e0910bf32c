#include <gtest/gtest.h>
#include "engine/ParameterTable.h"
#include <limits>
#include <set>

namespace
{
const ParameterTable& table()
{
    static const ParameterTable t;
    return t;
}
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
        if (table().hasHostIndex (id))
            ++withHostIndex;
    EXPECT_EQ (withHostIndex, 624);
}

TEST (ParameterTable, HostIndexBoundariesBetweenLayersAndPseudoParameters)
{
    EXPECT_EQ (table().idForHostIndex (0), 0);
    EXPECT_EQ (table().idForHostIndex (309), 425);
    EXPECT_EQ (table().name (425), "A B Mode");
    EXPECT_EQ (table().idForHostIndex (310), 512);
    EXPECT_EQ (table().idForHostIndex (617), 881);
    EXPECT_EQ (table().name (881), "ArpVel 32");
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ (table().idForHostIndex (618 + k), 1024 + k);

    // Host indices run up in id order inside each layer.
    int last = -1;
    for (int id = 0; id < 512; ++id)
        if (table().hasHostIndex (id))
        {
            EXPECT_GT (table().hostIndex (id), last);
            last = table().hostIndex (id);
        }
    EXPECT_EQ (last, 309);
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
            EXPECT_EQ (table().hostIndex (b), 310 + table().hostIndex (n)) << n;
    }

    EXPECT_FALSE (table().hasHostIndex (936));
    EXPECT_FALSE (table().hasHostIndex (937));

    EXPECT_EQ (table().section (700), 3);
    EXPECT_EQ (table().maximum (700), 127);
    EXPECT_EQ (table().displayType (700), 0);
    EXPECT_EQ (table().hostIndex (700), 479);
}

TEST (ParameterTable, RunBoundariesAndNames)
{
    EXPECT_EQ (table().name (0), "Pitch 1");
    EXPECT_EQ (table().name (3), "Pitch 4");
    EXPECT_EQ (table().name (96), "Dly 1 Time");
    EXPECT_EQ (table().name (99), "Dly 4 Time");
    EXPECT_EQ (table().name (135), "LFO 4 Freq Sync");
    EXPECT_EQ (table().name (221), "Mod 16 Src");
    EXPECT_EQ (table().name (306), "ArpNote 1");
    EXPECT_EQ (table().name (337), "ArpNote 32");
    EXPECT_EQ (table().name (168), "LPF Env Amt 1");
    EXPECT_EQ (table().name (201), "ENV4 Repeat");
    EXPECT_EQ (table().name (202), "rfu");
    EXPECT_EQ (table().name (205), "rfu");
    EXPECT_EQ (table().name (1024), "Program No.");
    EXPECT_EQ (table().name (1029), "SlidLatch 2");
    EXPECT_EQ (table().names().size(), ParameterTable::numNames);

    // The envelope block interleaves four envelopes with their own sections and ranges.
    EXPECT_EQ (table().section (169), 5);
    EXPECT_EQ (table().maximum (169), 127);
    EXPECT_EQ (table().displayType (169), 0);
    EXPECT_EQ (table().section (171), 10);
    EXPECT_EQ (table().maximum (171), 254);
    EXPECT_EQ (table().displayType (171), 21);
    EXPECT_EQ (table().hostIndex (168), 149);
    EXPECT_EQ (table().hostIndex (201), 182);
    EXPECT_EQ (table().hostIndex (206), 183);

    // Not automatable although named, and unnamed gaps.
    for (int id : { 202, 203, 204, 205, 301, 24, 41, 64, 255, 261, 302, 370, 423, 426, 511 })
        EXPECT_FALSE (table().hasHostIndex (id)) << id;

    EXPECT_EQ (table().minimum (306), -1);
    EXPECT_EQ (table().minimum (256), 30);
    EXPECT_EQ (table().maximum (256), 250);
    EXPECT_EQ (table().maximum (1024), 791);
    EXPECT_EQ (table().section (1024), 20);
    EXPECT_EQ (table().minimum (370), 32);
    EXPECT_EQ (table().maximum (423), 120);

    EXPECT_EQ (table().section (500), 0);
    EXPECT_EQ (table().maximum (500), 0);
    EXPECT_TRUE (table().name (500).isEmpty());
    EXPECT_FALSE (table().hasHostIndex (500));
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
