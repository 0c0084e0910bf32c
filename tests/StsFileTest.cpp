#include <gtest/gtest.h>
#include "librarian/LibraryRecords.h"
#include "librarian/StsFile.h"
#include "support/ComponentTestSupport.h"
#include <map>
#include <random>

namespace
{
constexpr size_t recordSize = (size_t) ProgramRecord::size;

ByteArray record (int category, const char* name, int variant = 0)
{
    ByteArray r (recordSize, 0);
    r[(size_t) ProgramRecord::category] = (juce::uint8) category;
    ProgramRecord::setName (r, 0, name);
    r[7] = (juce::uint8) variant;
    r[900] = (juce::uint8) (variant >> 8);
    return r;
}

ByteArray concat (const std::vector<ByteArray>& parts)
{
    ByteArray out;
    for (auto& p : parts)
        out.insert (out.end(), p.begin(), p.end());
    return out;
}

juce::MemoryBlock block (const ByteArray& r)   { return { r.data(), r.size() }; }

struct Recorder : public StsFileListener
{
    std::vector<std::pair<int, int>> calls;
    int order = 0;      // when it was last called, counting all recorders
    void fileListChanged (int code, int value) override      { calls.emplace_back (code, value); static int clock = 0; order = ++clock; }
    void fileListDoubleClicked (int, int) override {}
};
}

TEST (LibraryRecords, NamesReadAndWriteByTheLibrarysRules)
{
    struct Case { std::vector<int> stored; const char* reads; };
    const Case reads[] = {
        { { 'P', 'a', 'd', ' ' },      "Pad " },
        { { 0x85, 'x', 0x1f, 0x7f },   "AxA\x7f" },
        { { 0xff, 0x80, 0x20, 0x00 },  "AA A" },
    };

    for (const auto& c : reads)
    {
        ByteArray r (recordSize, ' ');
        for (size_t i = 0; i < c.stored.size(); ++i)
            r[(size_t) ProgramRecord::nameOffset + i] = (juce::uint8) c.stored[i];
        EXPECT_EQ (ProgramRecord::name (r, 0).substring (0, 4), juce::String (c.reads));
    }

    ByteArray r (2 * recordSize, 0);
    ProgramRecord::setName (r, 1, juce::String ("Br") + juce::String::charToString (0xa0) + juce::String::charToString (0x9f)
                                    + "ass that is far too long");
    EXPECT_EQ (r[ProgramRecord::nameOffset + recordSize + 2], 32);      // 160 and above: a space
    EXPECT_EQ (r[ProgramRecord::nameOffset + recordSize + 3], 0x9f);
    EXPECT_EQ (ProgramRecord::name (r, 1).length(), 16);
    EXPECT_EQ (r[ProgramRecord::nameOffset], 0);                        // record 0 untouched
    EXPECT_EQ (ProgramRecord::name (r, 2), juce::String());             // out of range

    EXPECT_TRUE (ProgramRecord::sameAs (concat ({ record (1, "a"), record (2, "b") }), record (2, "b").data()));
    EXPECT_FALSE (ProgramRecord::sameAs (concat ({ record (1, "a"), record (2, "b") }), record (2, "b", 1).data()));
    EXPECT_FALSE (ProgramRecord::sameAs ({}, record (2, "b").data()));
}

// The store against a plain model: the records in order, the view the stable
// filter of them, the counts their histogram.
TEST (StsFileStore, RandomOperationsMatchAModel)
{
    for (unsigned seed = 1; seed <= 20; ++seed)
    {
        SCOPED_TRACE (seed);
        std::mt19937 rng (seed);
        auto pick = [&] (int n) { return (int) (rng() % (unsigned) n); };
        // Few distinct records, so duplicates are common.
        auto randomRecord = [&] { return record (pick (4) == 0 ? 200 : pick (6), "P", pick (12)); };

        StsFile store;
        std::vector<ByteArray> model;
        int filterCategory = 0, filterMode = 0;

        for (int step = 0; step < 150; ++step)
        {
            switch (pick (7))
            {
                case 0: case 1:
                {
                    std::vector<ByteArray> batch;
                    for (int i = pick (6); --i >= 0;)
                        batch.push_back (randomRecord());
                    store.importRecords (concat (batch), 0);

                    std::vector<ByteArray> staged;
                    for (auto& r : batch)
                        if (std::find (staged.begin(), staged.end(), r) == staged.end())
                            staged.push_back (r);
                    ASSERT_EQ (store.numStaged(), (int) staged.size());

                    const bool append = pick (3) != 0;
                    store.commitImport (append);
                    if (! staged.empty())
                    {
                        if (! append)
                            model.clear();
                        model.insert (model.end(), staged.begin(), staged.end());
                        filterMode = 0;
                    }
                    break;
                }
                case 2:
                {
                    auto r = randomRecord();
                    store.addRecord ("P", block (r));
                    ProgramRecord::setName (r, 0, "P");
                    if (std::find (model.begin(), model.end(), r) == model.end())
                        model.push_back (r);
                    break;
                }
                case 3:
                    if (! model.empty())
                    {
                        const int k = pick ((int) model.size());
                        store.removeRecord (k);
                        model.erase (model.begin() + k);
                    }
                    break;
                case 4:
                    if (! model.empty())
                    {
                        const int k = pick ((int) model.size()), c = pick (6);
                        const auto newName = "Q" + juce::String (pick (3));
                        store.renameRecord (k, newName, c);
                        ProgramRecord::setName (model[(size_t) k], 0, newName);
                        model[(size_t) k][(size_t) ProgramRecord::category] = (juce::uint8) c;
                        store.rebuildList (filterMode);
                    }
                    break;
                case 5:
                    filterCategory = pick (6);
                    filterMode = pick (2);
                    store.setFilterCategory (filterCategory);
                    store.rebuildList (filterMode);
                    break;
                default:
                    if (pick (4) == 0)
                    {
                        store.clearRecords();
                        model.clear();
                    }
                    break;
            }

            ASSERT_EQ (store.records(), concat (model));

            std::vector<int> view;
            std::array<int, StsFile::numCounts> counts {};
            for (int k = 0; k < (int) model.size(); ++k)
            {
                const int c = model[(size_t) k][(size_t) ProgramRecord::category];
                if (filterMode != 1 || c == filterCategory)
                    view.push_back (k);
                if (c < StsFile::numCounts)
                    ++counts[(size_t) c];
            }
            ASSERT_EQ (store.viewIndex(), view);
            ASSERT_EQ (store.getCounts(), counts);
            ASSERT_TRUE (store.getSelectedRecord() == -1 || store.getSelectedRecord() == view[(size_t) store.getSelectedRow()]);

            for (const auto& r : model)
                ASSERT_TRUE (store.contains (r.data()));
        }
    }
}

TEST (StsFileStore, AddingSelectsTheNewOrTheExistingCopy)
{
    const auto a = record (3, "Alpha"), b = record (5, "Beta"), c = record (3, "Gamma");

    struct Case { const char* name; int filterMode, filterCategory; ByteArray added; int selectedRecord; int records; };
    const Case cases[] = {
        { "new, all shown",         0, 0, record (1, "New"), 3, 4 },
        { "new, its category",      1, 1, record (1, "New"), 3, 4 },
        { "new, other category",    1, 3, record (1, "New"), -1, 4 },
        { "existing, all shown",    0, 0, b, 1, 3 },       // the copy, not the last row
        { "existing, filtered out", 1, 3, b, -1, 3 },
    };

    for (const auto& t : cases)
    {
        SCOPED_TRACE (t.name);
        StsFile store;
        Recorder listener;
        store.importRecords (concat ({ a, b, c }), 0);
        store.commitImport (false);
        store.setFilterCategory (t.filterCategory);
        store.rebuildList (t.filterMode);
        store.addListener (&listener);

        store.addRecord (ProgramRecord::name (t.added, 0), block (t.added));
        EXPECT_EQ (store.numRecords(), t.records);
        EXPECT_EQ (store.getSelectedRecord(), t.selectedRecord);
        EXPECT_EQ (listener.calls.front(), std::make_pair (202, 100));
        EXPECT_EQ (listener.calls.size(), t.selectedRecord >= 0 ? 2u : 1u);
    }
}

TEST (StsFileStore, ListenersHearTheLatestFirstAndOnlyOnce)
{
    StsFile store;
    Recorder first, second;
    for (auto* l : { &first, &second, &first })
        store.addListener (l);
    store.rebuildList (0);
    EXPECT_TRUE (first.calls.size() == 1 && second.calls.size() == 1);
    EXPECT_LT (second.order, first.order);
}

namespace
{
// The library page's list: 15 rows of 34 pixels, list width 302.
struct ListFixture
{
    explicit ListFixture (int numRecords)
    {
        std::vector<ByteArray> records;
        for (int k = 0; k < numRecords; ++k)
            records.push_back (record (k % 26, "Row", k));
        list.importRecords (concat (records), 0);
        list.commitImport (false);
        list.listWidth = 302;
        list.setSize (334, 34 * 15);
        list.addListener (&listener);
    }

    void wheel (float deltaY)                { ui::wheel (list, { 100, 100 }, deltaY); }

    StsFile list;
    Recorder listener;
};
}

TEST (StsFileList, ClicksSelectOnlyRealRows)
{
    struct Case { const char* name; int records; juce::Point<int> at; int selected; int scroll; };
    const Case cases[] = {
        { "a row",                          5, { 100, 34 * 2 + 5 },   2, 0 },
        { "below the last row",             5, { 100, 34 * 7 },      -1, 0 },
        { "the scroll zone's edge",        50, { 272, 100 },         -1, 0 },
        { "scroll zone, all rows visible",  5, { 320, 400 },         -1, 0 },
        { "scroll zone below the thumb",   50, { 320, 400 },         -1, 1 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ListFixture f (c.records);
        ui::click (f.list, c.at);
        EXPECT_EQ (f.list.getSelectedRow(), c.selected);
        EXPECT_EQ (f.list.getScrollPosition(), c.scroll);
        EXPECT_EQ (f.listener.calls.empty(), c.selected < 0);
    }
}

TEST (StsFileList, ScrollsWithinTheViewAfterAnyRebuild)
{
    ListFixture f (50);

    f.wheel (0.5f);
    EXPECT_EQ (f.list.getScrollPosition(), 0);           // already at the top

    for (int i = 0; i < 40; ++i)
        f.wheel (-0.5f);
    EXPECT_EQ (f.list.getScrollPosition(), 35);          // 50 rows, 15 visible
    EXPECT_EQ (f.list.getFirstVisibleRow(), 35);

    f.list.rebuildList (0);
    f.wheel (-0.5f);
    EXPECT_EQ (f.list.getFirstVisibleRow(), 1);

    f.list.rebuildList (0);
    f.wheel (-0.5f);
    f.wheel (0.5f);
    f.wheel (-0.5f);
    EXPECT_EQ (f.list.getFirstVisibleRow(), 1);

    // The thumb dragged past the bottom shows the last rows.
    f.list.rebuildList (0);
    ui::drag (f.list, { 320, 10 }, { 320, 2000 });
    EXPECT_EQ (f.list.getFirstVisibleRow(), 35);
    ui::drag (f.list, { 320, 490 }, { 320, -50 });   // the thumb, now at the bottom
    EXPECT_EQ (f.list.getFirstVisibleRow(), 0);
}

TEST (StsFileList, DraggingPastAShortListKeepsItsFirstRow)
{
    ListFixture f (5);
    ui::drag (f.list, { 100, 10 }, { 100, 900 });
    EXPECT_EQ (f.list.getFirstVisibleRow(), 0);
    EXPECT_EQ (f.list.getSelectedRow(), 0);

    // Paints the rows from the first one, never from a negative row.
    const auto image = f.list.createComponentSnapshot (f.list.getLocalBounds());
    EXPECT_NE (image.getPixelAt (150, 17), image.getPixelAt (150, 34 * 10));
}

TEST (StsFileList, HoldingTheScrollZoneRepeatsUntilReleased)
{
    ListFixture f (50);
    ui::press (f.list, { 320, 400 });
    EXPECT_EQ (f.list.getScrollPosition(), 1);

    ASSERT_TRUE (ui::pumpUntil ([&] { return f.list.getScrollPosition() >= 3; }));
    const int held = f.list.getScrollPosition();

    ui::release (f.list, { 320, 400 });
    ASSERT_TRUE (ui::pumpPastTimers (200));
    EXPECT_EQ (f.list.getScrollPosition(), held);
}

TEST (StsFileList, HostileBytesListAndPaint)
{
    // Names and categories of 0xFF: the list paints (the model test covers the counts).
    ByteArray r (recordSize, 0xff);
    StsFile list;
    list.importRecords (concat ({ r, record (3, "ok") }), 0);
    list.commitImport (false);
    list.setSize (334, 510);
    EXPECT_TRUE (list.createComponentSnapshot (list.getLocalBounds()).isValid());
}
