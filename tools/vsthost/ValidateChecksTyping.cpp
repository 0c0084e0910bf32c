// Naming a program as a user does, with real key events in the editor's X
// window: WRITE, a click on the name in the display, the name typed (with a
// slip mended by BackSpace), Return, WRITE again. The name must arrive with
// the program the device stores, and no note may leave while the box has the
// keys, though the letters typed are the computer keyboard's note keys.
// Then where keys go: with two editors open each keeps its own (a box in one
// takes nothing typed into the other, which plays), also while the host keeps
// the focus on its own window; and a box hidden with its answer takes no keys.
#include "SimulatedDevice.h"
#include "Validate.h"
#include "ValidateWindow.h"

#include <X11/keysym.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace vsthost::validation
{
namespace
{
SimulatedDevice& device()   { return SimulatedDevice::get(); }

// Where things are at the first opening (1200 x 730, page zoom 1.0): the top
// bar's WRITE; the write dialog's display at (202, 54 + 18), its name line 27
// to 37 px down; the rename box over it at (274, 82), 180 x 50, its text field
// 24 high and its buttons 26 px down, 50 px in from either side; the dialog's
// WRITE at (582, 54 + 74 + 552 - 18), 70 x 18.
constexpr int writeFunctionX = 267 + 6 * 46 + 23, writeFunctionY = 11;
constexpr int nameX = 202 + 60, nameY = 54 + 18 + 32;
constexpr int boxX = 274, boxY = 82, boxW = 180, boxH = 24;
constexpr int boxGapX = boxX + 90, boxGapY = boxY + 36;   // between its Cancel and OK
constexpr uint32_t renameBox = 0x221414;
constexpr int writeX = 582 + 35, writeY = 54 + 74 + 552 - 18 + 9;
// The logo in the top bar, where a click does nothing; the library window's
// button, the menu icon at (6, 4), 36 x 36.
constexpr int logoX = 1000, logoY = 13, libraryButtonX = 24, libraryButtonY = 22;
// In the library window (1000 x 620, its content inside a 1-px border), the
// preset bank page at (0, 50) of the content, 998 x 526: SET CURRENT (100 x 34)
// at (878, 356) of the page; the name box's OK at (389, 256).
constexpr int setCurrentX = 1 + 878 + 50, setCurrentY = 1 + 50 + 356 + 17;
constexpr int nameOkX = 1 + 389 + 50, nameOkY = 1 + 50 + 256 + 17;

struct Key { KeySym sym; unsigned modifiers; };

void typeKey (XSession& x, AEffect* e, ::Window w, Key k)
{
    for (const bool press : { true, false })
    {
        sendKey (x, w, press, k.sym, k.modifiers);
        x.idle (e, 2);
    }
}

void typeKeys (XSession& x, AEffect* e, ::Window w, std::initializer_list<Key> keys)
{
    for (const auto& k : keys)
        typeKey (x, e, w, k);
}

// The instance's editor in a host window of its own, past the first opening's
// splash and showing its page; false, with p telling why, when it is not.
bool openPastSplash (XSession& x, const Instance& a, Problems& p, ::Window& parent, ::Window& window)
{
    if (a.e == nullptr)
    {
        p.add ("the plug-in did not open");
        return false;
    }
    parent = openInNewParent (x, a.e, p, "open");
    if (p.count == 0)
    {
        // The first opening shows the splash over everything: open once more.
        p.addAll (closeEditor (x, a.e, parent), "closing after the splash");
        p.addAll (openEditor (x, a.e, parent), "reopening");
    }
    window = editorWindow (x, parent);
    if (p.count == 0)
        p.addAll (waitForPage (x, a.e, parent), "");
    return p.count == 0;
}

// The rename box's pixels.
std::vector<uint32_t> grabBox (XSession& x, ::Window window)
{
    return grabPixels (x, window, boxX, boxY, boxW, boxH);
}

// Whether the rename box shows: between its two buttons its own background shows.
bool renameBoxUp (XSession& x, ::Window window)
{
    const auto pixels = grabPixels (x, window, boxGapX, boxGapY, 1, 1);
    return ! pixels.empty() && pixels[0] == renameBox;
}

// WRITE, then a click on the dialog's name: "" once the rename box shows, painted and still.
std::string openRenameBox (XSession& x, AEffect* e, ::Window window)
{
    // The write dialog covers the page; its display is judged once painted and still.
    const auto page = grabBox (x, window);
    click (x, e, window, writeFunctionX, writeFunctionY);
    if (! x.idleUntil (e, [&] { return pixelDifference (grabBox (x, window), page) > 0.2; }))
        return "WRITE showed no write dialog " + x.waited();
    if (! x.holdsStill (e, [&] { return grabBox (x, window); }))
        return "the write dialog kept changing " + x.waited();

    // The rename box shows over the name line of the dialog's display.
    click (x, e, window, nameX, nameY);
    if (! x.idleUntil (e, [&] { return renameBoxUp (x, window); }))
        return "a click on the write dialog's name showed no rename box " + x.waited();
    if (! x.holdsStill (e, [&] { return grabBox (x, window); }))
        return "the rename box kept changing " + x.waited();
    return {};
}

// Return in the rename box, then the dialog's WRITE: "" when the device stored the name.
std::string storeTheName (XSession& x, AEffect* e, ::Window window, const std::string& name)
{
    Problems p;
    typeKey (x, e, window, { XK_Return, 0 });
    if (! x.idleUntil (e, [&] { return ! renameBoxUp (x, window); }))
        p.add ("Return left the rename box open " + x.waited());

    const int stored = device().programDumps();
    click (x, e, window, writeX, writeY);
    if (! x.idleUntil (e, [&] { return device().programDumps() > stored; }))
        p.add ("WRITE sent no program to the device " + x.waited());
    else if (const auto got = device().storedName (device().lastStoredSlot()); got != name + std::string (16 - name.size(), ' '))
        p.add ("the device stored the name " + quoted (got) + ", not " + quoted (name));
    if (! device().caughtUp (XSession::patience))
        p.add ("the device did not take in what it was sent");
    return p.str();
}

std::string nameAProgram (XSession& x, Library& lib)
{
    Instance a (lib.entry);
    Problems p;
    ::Window parent = 0, window = 0;
    if (! openPastSplash (x, a, p, parent, window))
        return p.str();

    p.addAll (openRenameBox (x, a.e, window), "");
    if (p.count > 0)
        return p.str();
    const auto boxShown = grabBox (x, window);

    // Ctrl+A, "Xyz", BackSpace; the pointer rests on the dialog, not the box.
    const int notesBefore = device().notes();
    typeKeys (x, a.e, window, { { XK_a, ControlMask }, { XK_X, ShiftMask }, { XK_y, 0 }, { XK_z, 0 }, { XK_BackSpace, 0 } });
    if (! x.idleUntil (a.e, [&] { return pixelDifference (grabBox (x, window), boxShown) > 0.0; }))
        p.add ("the rename box showed nothing of what was typed " + x.waited());

    // WRITE comes after the keys: once the program arrives, a note any key played has arrived before it.
    p.addAll (storeTheName (x, a.e, window, "Xy"), "");
    if (device().notes() != notesBefore)
        p.add (fmt ("%d note messages left while the rename box had the keys", device().notes() - notesBefore));
    p.addAll (closeEditor (x, a.e, parent), "");
    x.destroy (parent);
    return p.str();
}

// Puts the X focus on a host's own window, as hosts that keep it there do:
// the editor's toolkit then has no focus in its windows.
void hostKeepsTheFocus (XSession& x, AEffect* e, ::Window hostWindow)
{
    XSetInputFocus (x.display, hostWindow, RevertToParent, CurrentTime);
    XSync (x.display, False);
    x.idle (e, 5);
}

// Two instances with their editors open: a name begun in the first editor's
// rename box, then the second clicked and "cv" typed there, with the focus as
// the click leaves it and with the host keeping it. The second plays both
// times, and the first box gets none of it: the name finished there, with the
// host's window keeping the focus, is the name the device stores.
std::string keysStayInTheirEditor (XSession& x, Library& lib)
{
    Instance a (lib.entry), b (lib.entry);
    Problems p;
    ::Window parentA = 0, windowA = 0, parentB = 0, windowB = 0;
    if (! openPastSplash (x, a, p, parentA, windowA) || ! openPastSplash (x, b, p, parentB, windowB))
        return p.str();

    // The host windows lie on each other: the one worked in is raised.
    XRaiseWindow (x.display, parentA);
    XSync (x.display, False);
    if (p.count == 0)
        p.addAll (openRenameBox (x, a.e, windowA), "first editor");
    if (p.count == 0)
    {
        typeKeys (x, a.e, windowA, { { XK_a, ControlMask }, { XK_A, ShiftMask }, { XK_b, 0 } });

        XRaiseWindow (x.display, parentB);
        XSync (x.display, False);
        for (const bool hostKeeps : { false, true })
        {
            click (x, b.e, windowB, logoX, logoY);
            if (hostKeeps)
                hostKeepsTheFocus (x, b.e, parentB);
            const int before = device().notes();
            typeKeys (x, b.e, windowB, { { XK_c, 0 }, { XK_v, 0 } });
            if (! x.idleUntil (b.e, [&] { return device().notes() >= before + 4; }))
                p.add (fmt ("\"cv\" typed in the second editor (focus %s) sent %d of 4 note messages",
                            hostKeeps ? "on its host's window" : "where its click left it", device().notes() - before));
        }

        XRaiseWindow (x.display, parentA);
        XSync (x.display, False);
        hostKeepsTheFocus (x, a.e, parentA);
        typeKeys (x, a.e, windowA, { { XK_X, ShiftMask }, { XK_y, 0 } });
        p.addAll (storeTheName (x, a.e, windowA, "AbXy"), "first editor");
    }

    p.addAll (closeEditor (x, b.e, parentB), "second editor");
    p.addAll (closeEditor (x, a.e, parentA), "first editor");
    x.destroy (parentB);
    x.destroy (parentA);
    return p.str();
}

// The library window's preset bank page: SET CURRENT, a name typed, OK. The
// box hides with its answer; a Return typed into the window after that, with
// the focus on the host's window, answers nothing (the host's program stays
// where the host put it), and the window's keyboard player still plays.
std::string hiddenBoxTakesNoKeys (XSession& x, Library& lib)
{
    Instance a (lib.entry);
    Problems p;
    ::Window parent = 0, window = 0;
    if (! openPastSplash (x, a, p, parent, window))
        return p.str();

    const auto before = shownTopLevels (x);
    ::Window library = 0;
    for (int attempt = 0; attempt < 3 && library == 0; ++attempt)
    {
        click (x, a.e, window, libraryButtonX, libraryButtonY);
        x.idleUntil (a.e, [&] { return (library = newTopLevel (x, before)) != 0; });
    }
    if (library == 0)
        p.add ("the menu icon showed no library window");
    else
    {
        const auto grabPage = [&] { return grabPixels (x, library, 1, 51, 998, 526); };
        x.idle (a.e, 10);
        const auto page = grabPage();
        const auto boxShown = [&] { return pixelDifference (grabPage(), page) > 0.2; };
        for (int attempt = 0; attempt < 3 && ! boxShown(); ++attempt)
        {
            click (x, a.e, library, setCurrentX, setCurrentY);
            x.idleUntil (a.e, boxShown);
        }
        if (! boxShown())
            p.add ("SET CURRENT showed no name box");
        else
        {
            // The edit buffer's name is offered: cleared from its end.
            typeKey (x, a.e, library, { XK_End, 0 });
            for (int i = 0; i < 20; ++i)
                typeKey (x, a.e, library, { XK_BackSpace, 0 });
            typeKeys (x, a.e, library, { { XK_X, ShiftMask }, { XK_y, 0 } });
            for (int attempt = 0; attempt < 3 && programName (a.e, 0) != "Xy"; ++attempt)
            {
                click (x, a.e, library, nameOkX, nameOkY);
                x.idleUntil (a.e, [&] { return programName (a.e, 0) == "Xy"; });
            }
            if (programName (a.e, 0) != "Xy")
                p.add ("OK in the name box named the first preset " + quoted (programName (a.e, 0)) + ", not \"Xy\"");

            dispatch (a.e, effSetProgram, 0, 5);
            hostKeepsTheFocus (x, a.e, parent);
            const int notes = device().notes();
            typeKeys (x, a.e, library, { { XK_Return, 0 }, { XK_z, 0 } });
            if (! x.idleUntil (a.e, [&] { return device().notes() >= notes + 2; }))
                p.add ("z typed into the library window after its name box closed played no note");
            if (const auto program = (int) dispatch (a.e, effGetProgram); program != 5)
                p.add (fmt ("a Return typed after the name box closed answered it again (program %d, not 5)", program));
        }
    }

    p.addAll (closeEditor (x, a.e, parent), "");
    x.destroy (parent);
    return p.str();
}

void typingGroup (Reporter& r, Library& lib, std::mt19937&)
{
    if (! displaySet())
        return;

    // A settings folder of its own: the first window size, and ports that name the device's.
    char folder[] = "/tmp/vsthost-typing-home-XXXXXX";
    if (mkdtemp (folder) == nullptr)
        return;
    setenv ("HOME", folder, 1);
    {
        std::filesystem::create_directories (std::filesystem::path (folder) / "VantorConfig");
        std::ofstream ports (std::filesystem::path (folder) / "VantorConfig" / "pro12plports.dat", std::ios::binary);
        ports << SimulatedDevice::inputName << '\x0f' << SimulatedDevice::outputName << '\x10' << "NONE" << '\x11' << "0" << '\x12';
    }

    if (! lib.load (lib.path))
    {
        r.check ("typing.load", [&] { return lib.error; });
        return;
    }

    XSession x;
    if (! x.open())
        return;
    r.check ("typing.nameTypedIntoTheWriteDialog", withXErrors (x, [&] { return nameAProgram (x, lib); }));
    r.check ("typing.keysStayInTheirEditor", withXErrors (x, [&] { return keysStayInTheirEditor (x, lib); }));
    r.check ("typing.hiddenNameBoxTakesNoKeys", withXErrors (x, [&] { return hiddenBoxTakesNoKeys (x, lib); }));
}
} // namespace

const ValidationGroup typingChecks { "typing", 11, typingGroup, true };
} // namespace vsthost::validation
