// Naming a program as a user does, with real key events in the editor's X
// window: WRITE, a click on the name in the display, the name typed (with a
// slip mended by BackSpace), Return, WRITE again. The name must arrive with
// the program the device stores, and no note may leave while the box has the
// keys, though the letters typed are the computer keyboard's note keys.
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

struct Key { KeySym sym; unsigned modifiers; };

void typeKey (XSession& x, AEffect* e, ::Window w, Key k)
{
    for (const bool press : { true, false })
    {
        sendKey (x, w, press, k.sym, k.modifiers);
        x.idle (e, 2);
    }
}

std::string nameAProgram (XSession& x, Library& lib)
{
    Instance a (lib.entry);
    if (a.e == nullptr)
        return "the plug-in did not open";
    Problems p;
    const ::Window parent = openInNewParent (x, a.e, p, "open");
    if (p.count > 0)
        return p.str();
    // The first opening shows the splash over everything: open once more.
    p.addAll (closeEditor (x, a.e, parent), "closing after the splash");
    p.addAll (openEditor (x, a.e, parent), "reopening");
    if (p.count > 0)
        return p.str();
    const auto window = editorWindow (x, parent);
    if (auto reason = waitForPage (x, a.e, parent); ! reason.empty())
        return reason;

    // The write dialog covers the page; its display is judged once painted and still.
    const auto grabBox = [&] { return grabPixels (x, window, boxX, boxY, boxW, boxH); };
    const auto page = grabBox();
    click (x, a.e, window, writeFunctionX, writeFunctionY);
    if (! x.idleUntil (a.e, [&] { return pixelDifference (grabBox(), page) > 0.2; }))
        return "WRITE showed no write dialog " + x.waited();
    if (! x.holdsStill (a.e, grabBox))
        return "the write dialog kept changing " + x.waited();

    // The rename box shows over the name line of the dialog's display; between its
    // two buttons its own background shows.
    const auto boxUp = [&]
    {
        const auto pixels = grabPixels (x, window, boxGapX, boxGapY, 1, 1);
        return ! pixels.empty() && pixels[0] == renameBox;
    };
    click (x, a.e, window, nameX, nameY);
    if (! x.idleUntil (a.e, boxUp))
        return "a click on the write dialog's name showed no rename box " + x.waited();
    if (! x.holdsStill (a.e, grabBox))
        return "the rename box kept changing " + x.waited();
    const auto boxShown = grabBox();

    // Ctrl+A, "Xyz", BackSpace, Return; the pointer rests on the dialog, not the box.
    const int notesBefore = device().notes();
    const Key keys[] = { { XK_a, ControlMask }, { XK_X, ShiftMask }, { XK_y, 0 }, { XK_z, 0 }, { XK_BackSpace, 0 } };
    for (const auto& k : keys)
        typeKey (x, a.e, window, k);
    if (! x.idleUntil (a.e, [&] { return pixelDifference (grabBox(), boxShown) > 0.0; }))
        p.add ("the rename box showed nothing of what was typed " + x.waited());

    typeKey (x, a.e, window, { XK_Return, 0 });
    if (! x.idleUntil (a.e, [&] { return ! boxUp(); }))
        p.add ("Return left the rename box open " + x.waited());

    // WRITE comes after the keys: once the program arrives, a note any key played has arrived before it.
    const int stored = device().programDumps();
    click (x, a.e, window, writeX, writeY);
    if (! x.idleUntil (a.e, [&] { return device().programDumps() > stored; }))
        p.add ("WRITE sent no program to the device " + x.waited());
    else if (const auto name = device().storedName (device().lastStoredSlot()); name != "Xy" + std::string (14, ' '))
        p.add ("the device stored the name " + quoted (name) + ", not \"Xy\"");
    if (! device().caughtUp (XSession::patience))
        p.add ("the device did not take in what it was sent");
    if (device().notes() != notesBefore)
        p.add (fmt ("%d note messages left while the rename box had the keys", device().notes() - notesBefore));

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
}
} // namespace

const ValidationGroup typingChecks { "typing", 11, typingGroup, true };
} // namespace vsthost::validation
