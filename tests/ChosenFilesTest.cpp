#include <gtest/gtest.h>

#include "editor/AskPanel.h"
#include "controls/StsLabel.h"
#include "engine/FileMan.h"
#include "librarian/LibClass.h"
#include "librarian/Plugin_Bank.h"
#include "support/EditorTestRig.h"
#include "support/TestFolder.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// Files the musician picks in a chooser, on every page that saves or loads one:
// a save never replaces a file unasked, a load reads only a regular file of a
// sane size.
namespace
{
// Fails a load that opens what it must not, instead of hanging the suite: a
// reader stuck on the FIFO is let go by opening its other end, and a run still
// stuck after that (reading a device without end) is ended.
class HangGuard
{
public:
    explicit HangGuard (const juce::File& fifo) : path (fifo.getFullPathName().toStdString()),
                                                   watcher ([this] { watch(); })   {}

    ~HangGuard()
    {
        {
            const std::lock_guard<std::mutex> lock (mutex);
            done = true;
        }
        wake.notify_all();
        watcher.join();
    }

private:
    void watch()
    {
        std::unique_lock<std::mutex> lock (mutex);

        // Far longer than any refusal takes on a loaded machine: only a hang gets here.
        if (wake.wait_for (lock, std::chrono::seconds (120), [this] { return done; }))
            return;

        ADD_FAILURE() << "a load blocked on a FIFO or read a device without end";

        for (int round = 0; ! wake.wait_for (lock, std::chrono::milliseconds (100), [this] { return done; }); ++round)
        {
            const int fd = ::open (path.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close (fd);

            if (round == 600)
            {
                std::fprintf (stderr, "A load is still stuck: ending the test run.\n");
                std::_Exit (1);
            }
        }
    }

    std::string path;
    std::mutex mutex;
    std::condition_variable wake;
    bool done = false;
    std::thread watcher;
};

ByteArray bytesOf (const juce::File& f)
{
    juce::MemoryBlock b;
    f.loadFileAsData (b);
    const auto* p = static_cast<const juce::uint8*> (b.getData());
    return ByteArray (p, p + b.getSize());
}

struct ChosenFilesThreads : public ::testing::Test
{
    EditorTestRig rig;
    MainComp& main = rig.open();
    ui::MenuRecorder seams;
    TestFolder folder { "chosen-files" };
    Plugin_Bank presets { *rig.processor };
    LibClass library { *rig.processor };

    juce::String status()   { return main.getKeyboardPanel().getStatusText(); }

    static juce::String boxText (TextInputCont* box)
    {
        return box != nullptr && box->isVisible() ? box->getTitle().getText() : juce::String();
    }

    static void press (TextInputCont* box, int id)
    {
        ASSERT_NE (box, nullptr);
        box->libButClicked (&box->getButton (id), id);
    }
};

// How one page shows and answers the question before a file is replaced.
struct Overlay
{
    std::function<juce::String()> question;   // empty when none is shown
    std::function<void (bool replace)> answer;
};
}

//==============================================================================
// Each save that appends its extension asks about the file it will really
// write, writes nothing when declined, and writes when the musician goes ahead.
TEST_F (ChosenFilesThreads, SavesAskBeforeReplacingTheFileTheyWrite)
{
    library.getList().addRecord ("One", juce::MemoryBlock (ByteArray (1024, 0).data(), 1024));

    const Overlay editorQuestion
    {
        [this] { return main.getQuestion() != nullptr ? main.getQuestion()->getQuestion() : juce::String(); },
        [this] (bool go) { ASSERT_NE (main.getQuestion(), nullptr); main.getQuestion()->answer (go); }
    };
    const Overlay presetBox
    {
        [this] { return boxText (presets.getTextBox()); },
        [this] (bool go) { press (presets.getTextBox(), go ? TextInputCont::okId : TextInputCont::cancelId); }
    };
    const Overlay libraryBox
    {
        [this] { return boxText (library.getTextBox()); },
        [this] (bool go) { press (library.getTextBox(), go ? TextInputCont::okId : TextInputCont::cancelId); }
    };

    const struct { const char* what; std::function<void()> save; const char* typed; const char* written; const Overlay& overlay; } saves[] =
    {
        { "FILE > Save",            [&] { main.applyFileMenu (2); },                                    "Lead", "Lead.p12p", editorQuestion },
        { "grid menu Save",         [&] { main.applyGridProgramMenu (3, 1, 7); },                       "Slot", "Slot.p12p", editorQuestion },
        { "Save Program Bank U2",   [&] { main.applyBankFileMenu (201); },                              "Set",  "Set.p12b",  editorQuestion },
        { "Save Preset as",         [&] { presets.applySaveChoice (Plugin_Bank::savePresetItem); },     "Pad",  "Pad.fxp",   presetBox },
        { "Save Preset Bank as",    [&] { presets.applySaveChoice (Plugin_Bank::saveBankItem); },       "Live", "Live.fxb",  presetBox },
        { "library Save As",        [&] { library.saveLibraryAs(); },                                   "Live", "Live.p12l", libraryBox },
    };

    const ByteArray old { 'o', 'l', 'd' };

    for (const auto& s : saves)
    {
        SCOPED_TRACE (s.what);
        const auto target = folder.file().getChildFile (s.written);
        ASSERT_TRUE (target.replaceWithData (old.data(), old.size()));
        const auto expected = juce::String ("Replace ") + s.written + "?";

        // Declined: the file keeps its contents.
        main.setStatusText ("");
        s.save();
        seams.chooseFile (folder.file().getChildFile (s.typed));
        EXPECT_EQ (bytesOf (target), old);
        if (! s.overlay.question().startsWith (expected))
        {
            ADD_FAILURE() << "no question before replacing " << s.written << ": " << s.overlay.question();
            continue;
        }
        s.overlay.answer (false);
        EXPECT_TRUE (s.overlay.question().isEmpty());
        EXPECT_EQ (bytesOf (target), old);
        EXPECT_FALSE (status().startsWith ("SAVED"));

        // Gone ahead: written.
        s.save();
        seams.chooseFile (folder.file().getChildFile (s.typed));
        ASSERT_TRUE (s.overlay.question().startsWith (expected)) << s.overlay.question();
        s.overlay.answer (true);
        EXPECT_TRUE (s.overlay.question().isEmpty());
        EXPECT_GT (target.getSize(), (juce::int64) old.size());

        // No file of that name: written without a question.
        ASSERT_TRUE (target.deleteFile());
        s.save();
        seams.chooseFile (folder.file().getChildFile (s.typed));
        EXPECT_TRUE (s.overlay.question().isEmpty());
        EXPECT_TRUE (target.existsAsFile());

        // Nothing was written under the name as typed.
        EXPECT_FALSE (folder.file().getChildFile (s.typed).exists());
    }
}

//==============================================================================
// Each load reads only a regular file of a sane size: a FIFO, a link to a
// device and an oversize file are refused at once, each with its reason.
TEST_F (ChosenFilesThreads, LoadsReadOnlyRegularFilesOfASaneSize)
{
    const auto fifo = folder.file().getChildFile ("pipe");
    ASSERT_EQ (::mkfifo (fifo.getFullPathName().toRawUTF8(), 0600), 0);
    const auto device = folder.file().getChildFile ("zero");
    ASSERT_TRUE (juce::File ("/dev/zero").createSymbolicLink (device, false));
    const auto huge = folder.file().getChildFile ("huge");
    {
        const ByteArray bytes ((size_t) FileMan::largestProgramFile + 1, 0x55);
        ASSERT_TRUE (huge.replaceWithData (bytes.data(), bytes.size()));
    }

    const HangGuard guard (fifo);

    auto editorSays  = [this] { return status(); };
    auto presetsSay  = [this] { return boxText (presets.getTextBox()); };
    auto librarySays = [this] { return boxText (library.getTextBox()); };

    // {name} stands for the chosen file's name.
    const struct
    {
        const char* what;
        std::function<void()> load;
        std::function<juce::String()> said;
        const char* notRegular;
        const char* tooLarge;
    } loads[] =
    {
        { "FILE > Load Single Program", [&] { main.applyFileMenu (1); }, editorSays,
          "NOT A REGULAR FILE, NOT READ: {name}", "TOO LARGE, NOT READ: {name}" },
        { "grid menu Load Program",     [&] { main.applyGridProgramMenu (4, 1, 7); }, editorSays,
          "NOT A REGULAR FILE, NOT READ: {name}", "TOO LARGE, NOT READ: {name}" },
        { "Load Program Bank To U2",    [&] { main.applyBankFileMenu (101); }, editorSays,
          "NOT A REGULAR FILE, NOT READ: {name}", "TOO LARGE, NOT READ: {name}" },
        { "Load Single Preset File",    [&] { presets.applyLoadChoice (Plugin_Bank::presetFileItem); }, presetsSay,
          "{name} is not a regular file: nothing was loaded.", "{name} is too large to be a preset file: nothing was loaded." },
        { "Load Preset Bank File",      [&] { presets.applyLoadChoice (Plugin_Bank::bankFileItem); }, presetsSay,
          "{name} is not a regular file: nothing was loaded.", "{name} is too large to be a preset bank file: nothing was loaded." },
        { "Load Program Bank From File", [&] { presets.applyLoadChoice (Plugin_Bank::programBankItem); }, presetsSay,
          "{name} is not a regular file: nothing was loaded.", "{name} is too large to be a program bank file: nothing was loaded." },
        { "library From Library File",  [&] { library.applyLoadChoice (LibClass::libraryFileItem); }, librarySays,
          "{name}: This is not a regular file; it was not read.", "{name}: The file is too large for a program bank file and was not read." },
        { "library From Program Bank File", [&] { library.applyLoadChoice (LibClass::programBankFileItem); }, librarySays,
          "{name}: This is not a regular file; it was not read.", "{name}: The file is too large for a program bank file and was not read." },
    };

    for (const auto& l : loads)
    {
        for (const auto& [file, message] : { std::pair<juce::File, const char*> { fifo, l.notRegular },
                                             { device, l.notRegular }, { huge, l.tooLarge } })
        {
            SCOPED_TRACE (juce::String (l.what) + ", " + file.getFileName());
            main.setStatusText ("");
            const auto presetState = [&] { juce::MemoryBlock b; rig.processor->getStateInformation (b); return b; };
            const auto before = presetState();
            const auto records = library.getList().records();

            l.load();
            seams.chooseFile (file);

            EXPECT_EQ (l.said(), juce::String (message).replace ("{name}", file.getFileName()));
            EXPECT_EQ (presetState(), before);
            EXPECT_EQ (library.getList().records(), records);

            // The notice is answered before the next load.
            for (auto* box : { presets.getTextBox(), library.getTextBox() })
                if (box != nullptr && box->isVisible())
                    press (box, TextInputCont::okId);
        }
    }
}
