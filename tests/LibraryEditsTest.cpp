#include <gtest/gtest.h>
#include "controls/TextInputCont.h"
#include "engine/VantorAudioProcessor.h"
#include "librarian/LibClass.h"
#include "librarian/LibraryRecords.h"
#include "support/ComponentTestSupport.h"
#include "support/RecordingMidiDevices.h"

// Renaming and deleting in the library act on the selected record alone, and
// a rename stores the box's category, "-----" (0) included.
namespace
{
ByteArray fourRecords()
{
    ByteArray out;
    for (int k = 0; k < 4; ++k)
    {
        ByteArray r ((size_t) ProgramRecord::size, (juce::uint8) k);
        r[(size_t) ProgramRecord::category] = 7;
        ProgramRecord::setName (r, 0, "Record " + juce::String (k));
        out.insert (out.end(), r.begin(), r.end());
    }
    return out;
}

struct Library
{
    Library()
    {
        page.setSize (1000, 528);
        page.setVisible (true);
        page.getList().importRecords (fourRecords(), 0);
        page.getList().commitImport (false);
    }

    void clickButton (int id)   { ui::click (page, page.getButton (id).getBounds().getCentre()); }
    void ok()
    {
        auto* box = page.getTextBox();
        ASSERT_NE (box, nullptr);
        ui::click (page, box->getButton (TextInputCont::okId).getBounds().getCentre() + box->getPosition());
    }

    juce::String name (int k)   { return ProgramRecord::name (page.getList().records(), k).trimEnd(); }
    int category (int k)        { return page.getList().records()[(size_t) k * ProgramRecord::size + ProgramRecord::category]; }

    RecordingMidiDevices devices;
    VantorAudioProcessor processor { devices };
    ui::MenuRecorder seams;
    LibClass page { processor };
};
}

TEST (LibraryEdits, RenameStoresTextAndTheBoxCategoryOnTheSelectedRecordOnly)
{
    const struct { const char* text; int categoryItem; const char* name; int category; } cases[] =
    {
        { "Renamed", 0, "Renamed", 7 },     // category left as it was
        { "Dark Pad", 5, "Dark Pad", 4 },
        { "None", 1, "None", 0 },           // "-----" is a category too
        { "", 3, "Record 2", 7 },           // no text: nothing changes
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.text);
        Library lib;
        lib.page.getList().selectRow (2);
        ASSERT_EQ (lib.page.getList().getSelectedRecord(), 2);
        lib.clickButton (LibClass::renameId);
        auto* box = lib.page.getTextBox();
        ASSERT_NE (box, nullptr);
        box->getEditor().setText (c.text);
        if (c.categoryItem > 0)
            box->applyCategoryChoice (c.categoryItem);
        lib.ok();

        EXPECT_EQ (lib.name (2), c.name);
        EXPECT_EQ (lib.category (2), c.category);
        for (int k : { 0, 1, 3 })
        {
            EXPECT_EQ (lib.name (k), "Record " + juce::String (k)) << k;
            EXPECT_EQ (lib.category (k), 7) << k;
        }
    }
}

TEST (LibraryEdits, DeleteRemovesTheSelectedRecordOnly)
{
    for (int selected : { 0, 2, 3 })
    {
        Library lib;
        lib.page.getList().selectRow (selected);
        lib.clickButton (LibClass::deleteId);
        ASSERT_NE (lib.page.getTextBox(), nullptr);
        lib.ok();

        ASSERT_EQ (lib.page.getList().numRecords(), 3) << selected;
        int k = 0;
        for (int original = 0; original < 4; ++original)
        {
            if (original != selected)
            {
                EXPECT_EQ (lib.name (k++), "Record " + juce::String (original)) << selected;
            }
        }
    }
}
