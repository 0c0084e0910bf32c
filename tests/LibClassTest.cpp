#include <gtest/gtest.h>
#include "engine/Bank_Program.h"
#include "engine/DSI_Program.h"
#include "engine/FileMan.h"
#include "engine/ParDes.h"
#include "engine/VantorAudioProcessor.h"
#include "librarian/CatContainer.h"
#include "librarian/LibClass.h"
#include "librarian/LibraryRecords.h"
#include "support/ComponentTestSupport.h"
#include "support/RecordingMidiDevices.h"
#include <set>

namespace
{
constexpr size_t recordSize = (size_t) ProgramRecord::size;

ByteArray record (int category, const char* name, int variant = 0)
{
    ByteArray r (recordSize, 0);
    r[(size_t) ProgramRecord::category] = (juce::uint8) category;
    ProgramRecord::setName (r, 0, name);
    r[7] = (juce::uint8) variant;
    return r;
}

ByteArray records (int n, int category = 2, int salt = 0)
{
    ByteArray out;
    for (int k = 0; k < n; ++k)
    {
        const auto r = record (category, "Lib", k + 100 * salt);
        out.insert (out.end(), r.begin(), r.end());
    }
    return out;
}

juce::File homeFile (const juce::String& name, const ByteArray& bytes)
{
    const auto f = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (name);
    return f.replaceWithData (bytes.data(), bytes.size()) ? f : juce::File();
}

struct Page
{
    Page()   { page->setSize (1000, 528); page->setVisible (true); }

    LibClass& operator*()   { return *page; }
    LibClass* operator->()  { return page.get(); }

    std::set<int> visibleButtons()
    {
        std::set<int> ids;
        for (int id : { 1319, 1209, 1205, 1206, 1203, 1204, 1207, 1201 })
            if (page->getButton (id).isVisible())
                ids.insert (id);
        return ids;
    }

    void clickButton (int id)   { ui::click (*page, page->getButton (id).getBounds().getCentre()); }
    void load (int item, const juce::File& f)   { page->applyLoadChoice (item); seams.chooseFile (f); }

    // Answers the box through its own buttons: 'Y' ok, 'N' no, 'C' cancel.
    void answer (char which)
    {
        ASSERT_TRUE (page->isBoxShown());
        auto* box = page->getTextBox();
        const int id = which == 'Y' ? TextInputCont::okId : which == 'N' ? TextInputCont::noId : TextInputCont::cancelId;
        auto& b = box->getButton (id);
        ASSERT_TRUE (b.isVisible());
        ui::click (*page, b.getBounds().getCentre() + box->getPosition());
    }

    juce::String boxTitle()   { return page->isBoxShown() ? page->getTextBox()->getTitle().getText() : juce::String(); }

    void fill (const ByteArray& bytes)   { page->getList().importRecords (bytes, 0); page->getList().commitImport (false); }

    RecordingMidiDevices devices;
    VantorAudioProcessor processor { devices };
    std::unique_ptr<LibClass> page = std::make_unique<LibClass> (processor);
    ui::MenuRecorder seams;
};
}

TEST (LibClass, ButtonsFollowTheLibraryAndSelectionAppliesAtOnce)
{
    Page p;
    EXPECT_EQ (p.visibleButtons(), (std::set<int> { 1319, 1207, 1201 }));

    // The load menu: files, the eight device banks, the preset bank; dismissed, it loads nothing.
    p.clickButton (LibClass::loadId);
    EXPECT_EQ (p.seams.itemIds(), (std::vector<int> { 200, 300, 100, 101, 102, 103, 104, 105, 106, 107, 777 }));
    p.seams.choose (0);
    EXPECT_EQ (p->getList().numRecords(), 0);

    // Bank 3 on an empty library: no question, each distinct program once.
    p.seams.setAutoAnswer (103);
    p.clickButton (LibClass::loadId);
    std::set<ByteArray> distinct;
    for (int k = 0; k < 99; ++k)
        distinct.insert (p.processor.getEngine().deviceBank (3).programBytes (k));
    EXPECT_FALSE (p->isBoxShown());
    EXPECT_EQ (p->getList().numRecords(), (int) distinct.size());
    EXPECT_EQ (p.visibleButtons(), (std::set<int> { 1319, 1209, 1205, 1207, 1201 }));

    ui::click (*p, { 20 + 100, 10 + 34 * 2 + 10 });
    EXPECT_EQ (p->getList().getSelectedRow(), 2);
    EXPECT_EQ (p.visibleButtons(), (std::set<int> { 1319, 1209, 1205, 1203, 1204, 1207, 1201 }));
    EXPECT_EQ (p.processor.getEngine().editBuffer(), ProgramRecord::get (p->getList().records(), p->getList().getSelectedRecord()));

    // A category without programs: nothing to save or clear in view.
    int empty = 0;
    while (p->getList().getCounts()[(size_t) empty] > 0)
        ++empty;
    p->categoryChosen (empty);
    EXPECT_EQ (p.visibleButtons(), (std::set<int> { 1319, 1207, 1201 }));
    EXPECT_EQ (p->getCategoryLabel().text, ParDes::categoryName (empty));
}

TEST (LibClass, ImportAndClearAskBeforeReplacingAndKeepTheLibraryUntilSaved)
{
    const auto old = records (3, 2, 0), incoming = records (4, 5, 1);
    const auto target = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("saved.p12l");
    const auto unwritable = juce::File::getSpecialLocation (juce::File::userHomeDirectory)
                                .getChildFile (juce::String::repeatedString ("x", 245) + ".p12l");
    auto concat = [] (ByteArray a, const ByteArray& b) { a.insert (a.end(), b.begin(), b.end()); return a; };

    // Steps: Y N C answer the box; f saves to the target, e to a file that cannot be written, x cancels the chooser.
    struct Case { const char* name; bool clear; const char* steps; ByteArray expected; bool savedOld; bool failureTold = false; };
    const Case cases[] = {
        { "append",                        false, "Y",   concat (old, incoming), false },
        { "replace without saving",        false, "NN",  incoming,               false },
        { "replace after saving",          false, "NYf", incoming,               true },
        { "save dialog cancelled",         false, "NYx", old,                    false },
        { "save failed",                   false, "NYe", old,                    false, true },
        { "cancel at the second question", false, "NC",  old,                    false },
        { "cancel at once",                false, "C",   old,                    false },
        { "clear without saving",          true,  "N",   {},                     false },
        { "clear after saving",            true,  "Yf",  {},                     true },
        { "clear, save dialog cancelled",  true,  "Yx",  old,                    false },
        { "clear cancelled",               true,  "C",   old,                    false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        target.deleteFile();
        Page p;
        p.fill (old);

        if (c.clear)
            p.clickButton (LibClass::clearId);
        else
            p.load (LibClass::libraryFileItem, homeFile ("incoming.p12l", LibraryFile::image (incoming)));
        EXPECT_EQ (p.boxTitle(), c.clear ? "Save Current Library?" : "Append Programs?");

        for (const char* s = c.steps; *s != 0; ++s)
        {
            if (*s == 'f')       p.seams.chooseFile (target);
            else if (*s == 'e')  p.seams.chooseFile (unwritable);
            else if (*s == 'x')  p.seams.chooseFile ({});
            else                 p.answer (*s);
        }

        EXPECT_EQ (p->getList().records(), c.expected);
        EXPECT_EQ (target.existsAsFile(), c.savedOld);
        if (c.savedOld)
        {
            EXPECT_EQ (LibraryFile::read (target).records, old);
        }
        EXPECT_EQ (p->isBoxShown(), c.failureTold);
        EXPECT_EQ (p->getSelector().countLabel (26).text, "Size: " + juce::String (ProgramRecord::count (c.expected)));
    }
}

TEST (LibClass, FilesAreImportedRefusedOrReported)
{
    auto partial = LibraryFile::image (records (2));
    partial.resize (partial.size() - 500);
    ByteArray bank;
    for (int k = 0; k < 150; ++k)
        for (auto b : DSI_Program::programDump (record (k % 26, "Bank", k), k / 99, k % 99))
            bank.push_back (b);

    // Past the largest real program bank file: a bank file that big is refused unread, a library is not.
    ByteArray oversizeBank, largeLibrary;
    for (int k = 0; (juce::int64) largeLibrary.size() <= FileMan::largestProgramFile; ++k)
    {
        auto r = record (k % 26, "Big", k % 256);
        r[8] = (juce::uint8) (k / 256);
        for (auto b : DSI_Program::programDump (r, 0, k % 99))
            oversizeBank.push_back (b);
        largeLibrary.insert (largeLibrary.end(), r.begin(), r.end());
    }
    const int largeCount = ProgramRecord::count (largeLibrary);
    largeLibrary = LibraryFile::image (largeLibrary);
    ASSERT_GT ((juce::int64) largeLibrary.size(), FileMan::largestProgramFile);

    struct Case { const char* name; int item; ByteArray bytes; bool notice; int records; };
    const Case cases[] = {
        { "oversize bank file",    LibClass::programBankFileItem, oversizeBank,                     true,  0 },
        { "large library",         LibClass::libraryFileItem,     largeLibrary,                     false, largeCount },
        { "bank as a library",     LibClass::libraryFileItem,     bank,                             false, 150 },
        { "150-program bank file", LibClass::programBankFileItem, bank,                             false, 150 },
        { "cut short",             LibClass::libraryFileItem,     partial,                          true,  1 },
        { "not a library",         LibClass::libraryFileItem,     records (2),                      true,  0 },
        { "no programs",           LibClass::libraryFileItem,     LibraryFile::header(),            true,  0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Page p;
        p.load (c.item, homeFile ("chosen.p12l", c.bytes));

        EXPECT_EQ (p->isBoxShown(), c.notice);
        if (p->isBoxShown())
            p.answer ('N');   // the notice's only button

        EXPECT_FALSE (p->isBoxShown());
        EXPECT_EQ (p->getList().numRecords(), c.records);
    }
}

TEST (LibClass, DefaultLibraryIsWrittenOnlyWithOwnChangesAndMergesAnotherInstances)
{
    const auto file = LibClass::defaultLibraryFile();
    const auto initial = records (3);
    const auto x = record (4, "From B"), y = record (5, "From A");

    {
        Page untouched;
        untouched->loadDefaultLibrary();
    }
    EXPECT_FALSE (file.existsAsFile());

    ASSERT_TRUE (LibraryFile::write (initial, file));
    file.setLastModificationTime (juce::Time (2020, 1, 1, 0, 0));
    {
        Page untouched;
        untouched->loadDefaultLibrary();
        untouched->categoryChosen (3);   // views and selections change nothing stored
        untouched->getList().selectRow (0);
    }
    EXPECT_EQ (file.getLastModificationTime(), juce::Time (2020, 1, 1, 0, 0));

    {
        Page a, b;
        a->loadDefaultLibrary();
        b->loadDefaultLibrary();
        b->getList().addRecord ("From B", { x.data(), x.size() });
        b.page.reset();
        a->getList().addRecord ("From A", { y.data(), y.size() });
        a->getList().removeRecord (0);
    }

    auto expected = ByteArray (initial.begin() + (std::ptrdiff_t) recordSize, initial.end());
    expected.insert (expected.end(), x.begin(), x.end());
    expected.insert (expected.end(), y.begin(), y.end());
    EXPECT_EQ (LibraryFile::read (file).records, expected);
}

TEST (LibClass, AddCurrentAddsOnceAndRenameShowsTheFilterCategory)
{
    Page p;
    p.fill (records (2, 7));

    p.clickButton (LibClass::addCurrentId);
    EXPECT_EQ (p.boxTitle(), "Program name:");
    p->getTextBox()->getEditor().setText ("Mine");
    p.answer ('Y');
    ASSERT_EQ (p->getList().numRecords(), 3);
    EXPECT_EQ (ProgramRecord::name (p->getList().records(), 2).trimEnd(), "Mine");
    EXPECT_EQ (p->getList().getSelectedRecord(), 2);

    // Now the current program is the one just added: a second add is refused.
    p.clickButton (LibClass::addCurrentId);
    EXPECT_TRUE (p.boxTitle().endsWith (" Program already exists in the library."));
    p.answer ('N');
    EXPECT_EQ (p->getList().numRecords(), 3);

    // Rename under "LIST ALL" switches to the filter category (0 until one is chosen).
    p->getList().selectRow (0);
    p.clickButton (LibClass::renameId);
    EXPECT_EQ (p.boxTitle(), "Rename " + ProgramRecord::name (p->getList().records(), 0).trimEnd() + ":");
    p->getTextBox()->getEditor().setText ("Renamed");
    p.answer ('Y');
    EXPECT_EQ (ProgramRecord::name (p->getList().records(), 0).trimEnd(), "Renamed");
    EXPECT_EQ (p->getList().getFilterMode(), 1);
    EXPECT_EQ (p->getCategoryLabel().text, ParDes::categoryName (0));
}

TEST (LibClass, RenameOffersTheNameWithoutBlanksAndTakesSixteenCharacters)
{
    struct Case { const char* stored; const char* appended; const char* expected; };
    const Case cases[] = {
        { "Bass",             " Deep",             "Bass Deep" },
        { "Bass",             " Deep Growl Lead",  "Bass Deep Growl" },   // 20 typed: the first 16 stay
        { "  Pad",            " X",                "  Pad X" },           // leading blanks are the name's own
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.stored);
        Page p;
        p.fill (record (3, c.stored));
        p->getList().selectRow (0);
        p.clickButton (LibClass::renameId);

        auto& editor = p->getTextBox()->getEditor();
        EXPECT_EQ (editor.getText(), juce::String (c.stored).trimEnd());
        EXPECT_EQ (p.boxTitle(), "Rename " + juce::String (c.stored).trimEnd() + ":");
        editor.setText (editor.getText() + c.appended);
        p.answer ('Y');
        EXPECT_EQ (ProgramRecord::name (p->getList().records(), 0).trimEnd(), c.expected);
    }
}

TEST (LibClass, CategoryLabelNamesACategoryOnlyWhileItFiltersTheList)
{
    const auto incoming = records (2, 9, 1);

    // Each starts filtered by category 2 and ends with the list as shown; filtered: the mode expected.
    struct Case { const char* what; std::function<void (Page&)> act; bool filtered; };
    const Case cases[] = {
        { "append import",     [&] (Page& p) { p.load (LibClass::libraryFileItem, homeFile ("in.p12l", LibraryFile::image (incoming))); p.answer ('Y'); }, false },
        { "replace import",    [&] (Page& p) { p.load (LibClass::libraryFileItem, homeFile ("in.p12l", LibraryFile::image (incoming))); p.answer ('N'); p.answer ('N'); }, false },
        { "clear all, no",     [] (Page& p) { p.clickButton (LibClass::clearId); p.answer ('N'); }, false },
        { "import cancelled",  [&] (Page& p) { p.load (LibClass::libraryFileItem, homeFile ("in.p12l", LibraryFile::image (incoming))); p.answer ('C'); }, true },
        { "another category",  [] (Page& p) { p->categoryChosen (9); }, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Page p;
        p.fill (records (3, 2));
        p->categoryChosen (2);
        ASSERT_EQ (p->getCategoryLabel().text, ParDes::categoryName (2));

        c.act (p);
        ASSERT_FALSE (p->isBoxShown());
        EXPECT_EQ (p->getList().getFilterMode() == 1, c.filtered);
        EXPECT_EQ (p->getCategoryLabel().text,
                   c.filtered ? ParDes::categoryName (p->getList().getFilterCategory()) : juce::String());
    }
}

TEST (LibClass, AnEmptiedLibraryStaysEmptyInTheNextSession)
{
    const auto file = LibClass::defaultLibraryFile();

    struct Case { const char* what; std::function<void (Page&)> empty; };
    const Case cases[] = {
        { "clear all",              [] (Page& p) { p.clickButton (LibClass::clearId); p.answer ('N'); } },
        { "every program deleted",  [] (Page& p)
          {
              while (p->getList().numRecords() > 0)
              {
                  p->getList().selectRow (0);
                  p.clickButton (LibClass::deleteId);
                  p.answer ('Y');
              }
          } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        ASSERT_TRUE (LibraryFile::write (records (3), file));

        {
            Page p, other;   // another instance keeps the library open, unchanged
            p->loadDefaultLibrary();
            other->loadDefaultLibrary();
            c.empty (p);
            ASSERT_EQ (p->getList().numRecords(), 0);
        }

        Page next;
        next->loadDefaultLibrary();
        EXPECT_EQ (next->getList().numRecords(), 0);
        EXPECT_FALSE (next->isBoxShown());   // an empty library is no damaged one
        EXPECT_FALSE (file.getSiblingFile ("p12Lib damaged.p12l").exists());

        // And it fills again as any library does.
        next.fill (records (1, 4));
        next.page.reset();
        EXPECT_EQ (LibraryFile::read (file).numRecords(), 1);
    }
}

TEST (LibClass, DefaultLibraryProblemsAreToldOnThePage)
{
    const auto file = LibClass::defaultLibraryFile();

    // A default library path that is a folder.
    file.deleteRecursively();
    ASSERT_TRUE (file.createDirectory());
    {
        Page p;
        p->loadDefaultLibrary();
        ASSERT_TRUE (p->isBoxShown());
        EXPECT_TRUE (p.boxTitle().contains ("is a folder"));
        p.answer ('N');
        EXPECT_FALSE (p->isBoxShown());
    }
    ASSERT_TRUE (file.deleteRecursively());

    // A library that cannot be stored as the page goes: the next page of the instance says so.
    ASSERT_TRUE (LibraryFile::write (records (2), file));
    RecordingMidiDevices devices;
    VantorAudioProcessor processor { devices };
    {
        LibClass page (processor);
        page.loadDefaultLibrary();
        page.getList().addRecord ("Added", { record (1, "Added").data(), recordSize });
        // A folder with something in it, in the way of the write.
        ASSERT_TRUE (file.deleteFile() && file.createDirectory() && file.getChildFile ("inside").replaceWithText ("x"));
    }
    ASSERT_TRUE (file.deleteRecursively());
    ASSERT_TRUE (LibraryFile::write (records (2), file));
    {
        LibClass page (processor);
        page.loadDefaultLibrary();
        ASSERT_TRUE (page.isBoxShown());
        EXPECT_TRUE (page.getTextBox()->getTitle().getText().contains ("could not be stored"));
    }
    {
        LibClass page (processor);   // told once
        page.loadDefaultLibrary();
        EXPECT_FALSE (page.isBoxShown());
    }
}

TEST (LibClass, DoubleClickOnTheListActsAsDone)
{
    struct DoneListener : public LibButListener
    {
        void libButClicked (LibBut*, int id) override   { ids.push_back (id); }
        void libButEntered (LibBut*, int) override {}
        void libButExited (LibBut*, int) override {}
        std::vector<int> ids;
    } window;

    Page p;
    p->getButton (LibClass::doneId).addListener (&window);
    p->getList().mouseDoubleClick (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 1.0f,
                                                     0, 0, 0, 0, &p->getList(), &p->getList(), {}, {}, {}, 2, false));
    EXPECT_EQ (window.ids, (std::vector<int> { 1201 }));
}

TEST (CatContainer, ReportsTheReleasedButton)
{
    struct Listener : public CatListener
    {
        void categoryChosen (int i) override   { chosen.push_back (i); }
        std::vector<int> chosen;
    } listener;

    CatContainer selector;
    selector.setSize (440, 380);
    selector.setVisible (true);
    selector.layoutButtons();
    selector.addListener (&listener);

    ui::click (selector, { 380, 285 });              // LIST ALL
    ui::click (selector, { 50, 9 });                 // -----
    ui::press (selector, { 160, 55 });               // pressed on one, released outside
    ui::release (selector, { 160, 200 });
    ASSERT_TRUE (ui::drain());
    EXPECT_EQ (listener.chosen, (std::vector<int> { 26, 0 }));
}

TEST (LibClass, SavedNamesWithADotKeepTheirEnd)
{
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    for (const auto& [typed, written] : { std::pair { "Lib 2024.10", "Lib 2024.10.p12l" }, std::pair { "Lib v1.2", "Lib v1.2.p12l" },
                                          std::pair { "Lib.p12l", "Lib.p12l" } })
    {
        SCOPED_TRACE (typed);
        home.getChildFile (written).deleteFile();
        Page p;
        p.fill (records (2));
        bool saved = false;
        p->saveLibraryAs ([&] (bool ok) { saved = ok; });
        p.seams.chooseFile (home.getChildFile (typed));
        EXPECT_TRUE (saved);
        EXPECT_EQ (LibraryFile::read (home.getChildFile (written)).records, records (2));
    }
}

// A page closing while another program holds the library's folder keeps its
// changes beside the library; the next page takes them and stores them.
TEST (LibClass, ChangesAHeldFolderKeptFromAClosingPageAreStoredByTheNext)
{
    const auto file = LibClass::defaultLibraryFile();
    const auto y = record (5, "From A");
    ASSERT_TRUE (LibraryFile::write (records (2), file));
    const auto kept = [&] { return file.getParentDirectory().getNumberOfChildFiles (juce::File::findFiles, "*.unstored-*"); };

    {
        Page a;
        a->loadDefaultLibrary();
        a->getList().addRecord ("From A", { y.data(), y.size() });
        const int previous = SettingsFiles::FolderLock::setTimeoutMs (20);
        {
            const SettingsFiles::FolderLock other (file);
            ASSERT_TRUE (other.isHeld());
            a.page.reset();
        }
        SettingsFiles::FolderLock::setTimeoutMs (previous);
        EXPECT_EQ (a.processor.getEngine().takeLibraryNotice(), "");
    }
    EXPECT_EQ (kept(), 1);
    EXPECT_EQ (LibraryFile::read (file).numRecords(), 2);

    {
        Page b;
        b->loadDefaultLibrary();
        EXPECT_EQ (b->getList().numRecords(), 3);
    }
    EXPECT_EQ (kept(), 0);
    auto expected = records (2);
    expected.insert (expected.end(), y.begin(), y.end());
    EXPECT_EQ (LibraryFile::read (file).records, expected);
}
