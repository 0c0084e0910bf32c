#include <gtest/gtest.h>
#include "engine/NrpnMap.h"

namespace
{
const NrpnMap& nrpnMap()   { static const NrpnMap m; return m; }

constexpr auto none = NrpnMap::none;
}

TEST (NrpnMap, HoldsTheSamePairsBothWaysAndMirrorsLayerB)
{
    int pairsA = 0, pairsB = 0;

    for (int id = 0; id < 1024; ++id)
    {
        const auto nrpn = nrpnMap().nrpnForId (id);
        if (nrpn == none)
            continue;

        ASSERT_LT (nrpn, 1024) << "id " << id;
        EXPECT_EQ (nrpnMap().idForNrpn (nrpn), id) << "id " << id;
        EXPECT_EQ (nrpn < 512, id < 512) << "id " << id;
        ++(id < 512 ? pairsA : pairsB);
    }

    for (int nrpn = 0; nrpn < 1024; ++nrpn)
        if (const auto id = nrpnMap().idForNrpn (nrpn); id != none)
        {
            EXPECT_EQ (nrpnMap().nrpnForId (id), nrpn) << "nrpn " << nrpn;
        }

    EXPECT_EQ (pairsA, 248);
    EXPECT_EQ (pairsB, 248);

    for (int n = 0; n < 512; ++n)
    {
        const auto a = nrpnMap().nrpnForId (n);
        EXPECT_EQ (nrpnMap().nrpnForId (n + 512), a == none ? none : a + 512) << "id " << n;

        const auto idA = nrpnMap().idForNrpn (n);
        EXPECT_EQ (nrpnMap().idForNrpn (n + 512), idA == none ? none : idA + 512) << "nrpn " << n;
    }
}

TEST (NrpnMap, SingleEntriesRunEndsAndOutOfRange)
{
    const std::pair<int, int> pairs[] =
    {
        { 18, 41 }, { 530, 553 }, { 40, 72 }, { 64, 77 }, { 423, 511 }, { 935, 1023 },
        { 60, 13 }, { 61, 31 }, { 62, 49 }, { 63, 67 },
        { 124, 194 }, { 125, 202 }, { 126, 210 }, { 127, 218 },
        { 160, 153 }, { 161, 163 }, { 162, 173 }, { 163, 183 },
        { 206, 219 }, { 221, 279 }, { 237, 280 }, { 253, 281 },
        { 93, 99 }, { 92, 100 }, { 296, 289 }, { 297, 294 }, { 425, 288 },
        // envelope block: first and last stage of each envelope, destinations, repeats
        { 168, 114 }, { 192, 120 }, { 169, 103 }, { 193, 109 },
        { 170, 125 }, { 194, 131 }, { 171, 136 }, { 195, 142 },
        { 196, 133 }, { 197, 144 }, { 198, 121 }, { 199, 110 }, { 200, 132 }, { 201, 143 },
    };

    for (const auto& [id, nrpn] : pairs)
    {
        EXPECT_EQ (nrpnMap().nrpnForId (id), nrpn) << "id " << id;
        EXPECT_EQ (nrpnMap().idForNrpn (nrpn), id) << "nrpn " << nrpn;
    }

    for (int id : { 24, 41, 65, 202, 255, 301, 306, 337, 369, 402, 422, 426, 511, 818 })
        EXPECT_EQ (nrpnMap().nrpnForId (id), none) << "id " << id;

    for (int nrpn : { 14, 17, 78, 85, 102, 282, 297, 428, 433, 510, 526 })
        EXPECT_EQ (nrpnMap().idForNrpn (nrpn), none) << "nrpn " << nrpn;

    for (int v : { -1, -512, 1024, 1025, 65535, 70000 })    // out of range
        EXPECT_TRUE (nrpnMap().nrpnForId (v) == none && nrpnMap().idForNrpn (v) == none) << v;
}
