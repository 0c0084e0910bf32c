#include <gtest/gtest.h>
#include "controls/LCD_Comp.h"
#include "support/ChangeRecorder.h"
#include "support/ComponentTestSupport.h"

TEST (LCD_Comp, BankProgramLine)
{
    struct Case { int bank, program; const char* text; };
    const Case cases[] =
    {
        { 0, 4, "U1 P 5" }, { 5, 98, "F2 P 99" }, { 3, 0, "U4 P 1" }, { 4, 0, "F1 P 1" }, { 7, 98, "F4 P 99" },
        // no program: nothing, not "U0 P 0"
        { -1, 0, "" }, { -1, -1, "" }, { 0, -1, "" }, { 8, 0, "" }, { 0, 99, "" },
    };

    LCD_Comp lcd;
    for (const auto& c : cases)
    {
        lcd.setBankProgram (c.bank, c.program);
        EXPECT_EQ (lcd.getBankProgramText(), c.text) << c.bank << "/" << c.program;
    }
}

TEST (LCD_Comp, ClicksReportTheirZoneAndMissesChangeNothing)
{
    struct Case { int x, y, zone; };
    const Case cases[] =
    {
        { 50, 30, LCD_Comp::nameZone },
        { 100, 10, LCD_Comp::categoryZone },      // both areas: the category wins
        { 180, 10, LCD_Comp::categoryZone },
        { 20, 10, LCD_Comp::bankProgramZone },
        { 9, 10, LCD_Comp::noZone },              // bounds are exclusive
        { 50, 26, LCD_Comp::noZone },
        { 200, 40, LCD_Comp::noZone },
    };

    for (const auto& c : cases)
    {
        LCD_Comp lcd;
        ChangeRecorder changes (lcd);

        ui::click (lcd, { 50, 30 });   // a known zone first, so a miss must keep it
        ASSERT_TRUE (ui::drain());
        ASSERT_EQ (changes.seen.size(), 1u);

        ui::click (lcd, { c.x, c.y });
        ASSERT_TRUE (ui::drain());
        const bool hit = c.zone != LCD_Comp::noZone;
        EXPECT_EQ (changes.seen.size(), hit ? 2u : 1u) << c.x << "," << c.y;
        EXPECT_EQ (lcd.getClickedZone(), hit ? c.zone : (int) LCD_Comp::nameZone) << c.x << "," << c.y;
    }
}
