#include <gtest/gtest.h>
#include "controls/LCD_Comp.h"

// Every edge of the display's three click zones, one pixel inside and on it.
TEST (LcdZones, EachZoneEndsAtItsOwnEdges)
{
    constexpr int none = LCD_Comp::noZone, name = LCD_Comp::nameZone, category = LCD_Comp::categoryZone,
                  slot = LCD_Comp::bankProgramZone;
    const struct { int x, y, zone; } cases[] =
    {
        // The name line: 9 < x < 179, 26 < y < 38.
        { 10, 27, name },  { 178, 37, name },  { 9, 30, none },  { 179, 30, none },  { 50, 26, none },  { 50, 38, none },
        // The category: 76 < x < 184, 5 < y < 18; it wins where it meets the slot.
        { 77, 6, category }, { 183, 17, category }, { 76, 10, slot }, { 184, 10, none }, { 120, 18, none },
        // The slot: 9 < x < 113, 4 < y < 18.
        { 10, 5, slot },   { 112, 5, slot },   { 10, 17, slot },  { 9, 10, none },  { 113, 5, none },  { 40, 4, none },
        { 40, 18, none },  { 120, 5, none },
    };

    for (const auto& c : cases)
        EXPECT_EQ (LCD_Comp::zoneAt (c.x, c.y), c.zone) << c.x << "," << c.y;
}
