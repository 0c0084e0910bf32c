// The editor's overlays as a user opens and closes them with the mouse: the
// bank selector, the write dialog, the MIDI setup with its global page, the
// about panel and the library window; the editor closed, and the instance
// destroyed, with them open; every section tab; two editors at once.
//
// What the host can see is what it checks: the editor window's pixels (an
// overlay changes the page it covers, and the page comes back when it closes)
// and the top-level windows on the screen (the library window and menus).
#include "Validate.h"
#include "ValidateWindow.h"

#include <X11/Xatom.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>

namespace vsthost::validation
{
namespace
{
struct Point { int x, y; };
struct Area { int x, y, w, h; };

// Everything below is where things are at the first opening in a fresh
// settings folder: a 1200 x 730 window, page zoom 1.0.
constexpr int firstWidth = 1200, firstHeight = 730;

// The top bar starts 267 px into the page (EditorPanel::resized); its function
// buttons are 46 x 16 at y 3, its section tabs 59 x 16 at y 32 (AppBar).
constexpr int barX = 267;
constexpr Point functionButton (int index)   { return { barX + index * 46 + 23, 3 + 8 }; }
constexpr Point sectionTab (int index)       { return { barX + index * 59 + 29, 32 + 8 }; }
constexpr int banksIndex = 0, fileIndex = 1, midiIndex = 3, writeIndex = 6;   // BANKS FILE EDIT MIDI SEND RECV WRITE
constexpr int numTabs = 12;                                                   // OSC ... ARP
// The scroll origin of each tab's section (EditorPanel's column table): VCA
// shows LPF's column, every other pair of neighbours differs.
constexpr int tabOrigin[numTabs] = { 0, 954, 1204, 1908, 1204, 2072, 2196, 3030, 3734, 3858, 4562, 5516 };

// The logo in the top bar, where a click does nothing (and closes the splash).
constexpr Point logo { 1000, 13 };

// The library window's button: the menu icon at (6, 4), 36 x 36.
constexpr Point libraryButton { 24, 22 };

// The bank selector's OK: BankComp::layout (0, 54, 1200, 730 - 74) makes the grid
// (656 - 60) / 46 * 46 = 552 high and puts OK (70 x 18) at (816, 54 + 552 + 38).
constexpr Point bankOk { 816 + 35, 54 + 552 + 38 + 9 };

// A row of the bank selector's grid (202, 54 + 50), 46 px a row: the fourth is U1 P 4.
constexpr Point bankRow (int row)   { return { 202 + 100, 54 + 50 + 46 * row + 23 }; }

// The write dialog's CANCEL: WriteSnd::layout (0, 54, 1200, 730 - 54): grid
// (676 - 80) / 46 * 46 = 552, CANCEL (70 x 18) at (582, 54 + 74 + 552 - 54).
constexpr Point writeCancel { 582 + 35, 54 + 74 + 552 - 54 + 9 };

// The MIDI setup covers the window: GLOBALS (690, 200) and OK (690, 240), 74 x 18.
constexpr Point midiGlobals { 690 + 37, 200 + 9 }, midiOk { 690 + 37, 240 + 9 };
// Its global page lies at (38, 285), 750 x 350, with its close box 27 to 10 px
// from its right edge and 9 to 24 px down.
constexpr Area globalPage { 38, 285, 750, 350 };
constexpr Point globalClose { 38 + 750 - 18, 285 + 16 };

// The about panel's box: 460 x 260, centred across and a third of the way down.
constexpr Area aboutBox { (firstWidth - 460) / 2, (firstHeight - 260) / 3, 460, 260 };

// A zoomed-in oscillator panel (950 x 319) is centred in the 710-high page; the
// dimmed band left of it takes the click that zooms out.
constexpr Point oscillatorPanel { 400, 120 }, leftDimBand { 60, 400 };

// The library window's content, inside a 1-px border: the tabs PRESET BANK at
// (20, 22) and LIBRARY at (130, 22), 100 x 34; the close button (w - 20, 6), 18 x 22.
constexpr Point presetBankTab { 1 + 20 + 50, 1 + 22 + 17 }, libraryTab { 1 + 130 + 50, 1 + 22 + 17 };
constexpr int libraryCloseFromRight = 1 + 20 - 9, libraryCloseY = 1 + 6 + 11;

// In the write dialog (0, 54): the display at (202, 18) with the name line 26 to 38
// down; the rename box over it at (274, 82), its text field 180 x 24.
constexpr Point writeName { 202 + 80, 54 + 18 + 32 }, renameField { 274 + 60, 82 + 12 };

// The page between the top bar and the status line.
constexpr Area pageArea { 0, 60, firstWidth, 640 };
// The page above the library window, which opens centred on the screen (1000 x 620:
// at y 202 on a 1280 x 1024 screen, lower on larger ones).
constexpr Area aboveLibrary { 0, 60, firstWidth, 130 };

constexpr double changed = 0.2, returned = 0.03;

// A menu's highlighted entry.
constexpr uint32_t menuHighlight = 0x808080;

Area geometry (XSession& x, ::Window w)
{
    XWindowAttributes attributes {};
    if (XGetWindowAttributes (x.display, w, &attributes) == 0)
        return {};
    return { attributes.x, attributes.y, attributes.width, attributes.height };
}

// Keeps the real pointer off every window until a click puts it somewhere.
void parkPointer (XSession& x)
{
    const int screen = DefaultScreen (x.display);
    XWarpPointer (x.display, None, RootWindow (x.display, screen), 0, 0, 0, 0,
                  DisplayWidth (x.display, screen) - 1, DisplayHeight (x.display, screen) - 1);
    XSync (x.display, False);
}

//==============================================================================
// One instance with its editor in a host window, driven by clicks.
struct Editor
{
    XSession& x;
    std::unique_ptr<Instance> instance;
    ::Window parent = 0, window = 0;
    bool openedBefore = false;

    Editor (XSession& session, EntryPoint entry) : x (session), instance (std::make_unique<Instance> (entry)) {}

    ~Editor()
    {
        if (instance != nullptr && window != 0)
            dispatch (*instance, effEditClose);
        instance.reset();
        if (parent != 0)
            x.destroy (parent);
    }

    AEffect* e() const   { return instance != nullptr ? instance->e : nullptr; }

    std::vector<uint32_t> grab (Area a) const   { return grabPixels (x, window, a.x, a.y, a.w, a.h); }

    bool pageUncovered() const   { return pageShows (x, window); }

    // Opens the editor and waits for its page, clicking the first opening's splash away.
    std::string open()
    {
        if (parent == 0)
        {
            int w = 0, h = 0;
            editorRect (e(), w, h);
            parent = x.createParent (w, h);
        }
        if (auto reason = openEditor (x, e(), parent); ! reason.empty())
        {
            dispatch (e(), effEditClose);
            return reason;
        }
        window = editorWindow (x, parent);
        int w = 0, h = 0;
        editorRect (e(), w, h);
        if (w != firstWidth || h != firstHeight)
            return fmt ("the editor opened at %dx%d, not at its first size %dx%d", w, h, firstWidth, firstHeight);

        // An instance's first opening shows the splash a moment after the page (and
        // takes it away 2 s later): wait for it to come, so the page is not judged
        // before it, unless it came and went unseen.
        if (! openedBefore)
        {
            openedBefore = true;
            const auto start = std::chrono::steady_clock::now();
            x.idleUntil (e(), [&]
            {
                return pageCovered (x, window)
                    || (pageUncovered() && std::chrono::steady_clock::now() - start > std::chrono::seconds (5));
            });
        }
        for (int attempt = 0; attempt < 3 && ! x.idleUntil (e(), [&] { return pageUncovered(); }, std::chrono::seconds (1)); ++attempt)
            clickAt (window, logo);
        if (auto reason = waitForPage (x, e(), parent); ! reason.empty())
            return reason;
        // The panels paint a while after the tabs: judged only once the whole page has held still for a good moment.
        const bool still = x.holdsStill (e(), [&] { return grab (pageArea); }, std::chrono::milliseconds (600), 20);
        return still ? "" : "the page kept changing " + x.waited();
    }

    std::string close()
    {
        window = 0;
        return closeEditor (x, e(), parent);
    }

    // Waits until the area looks the same for a moment: painted and not animating.
    bool settle (Area a)
    {
        return x.holdsStill (e(), [&] { return grab (a); }) && ! grab (a).empty();
    }

    // A click as a user makes it: the pointer goes there, then the button goes down and up.
    void clickAt (::Window w, Point at, bool right = false)
    {
        pointTo (x, w, at.x, at.y);
        x.idle (e(), 3);
        const unsigned button = right ? Button3 : Button1;
        sendButton (x, w, true, at.x, at.y, button);
        x.idle (e(), 2);
        sendButton (x, w, false, at.x, at.y, button);
        x.idle (e(), 2);
    }

    // Clicks and waits for what the click does.
    bool clickUntil (Point at, const std::function<bool()>& condition, bool right = false)
    {
        clickAt (window, at, right);
        return x.idleUntil (e(), condition);
    }

    std::function<bool()> differs (Area a, const std::vector<uint32_t>& from, double share = changed)
    {
        return [this, a, &from, share] { return (lastShare = pixelDifference (grab (a), from)) > share; };
    }

    std::function<bool()> matches (Area a, const std::vector<uint32_t>& like)
    {
        return [this, a, &like] { return (lastShare = pixelDifference (grab (a), like)) < returned; };
    }

    // What the last wait saw, for a check that failed.
    std::string seen() const
    {
        return fmt (" %s: %.1f%% of the area differed from the look compared with", x.waited().c_str(), 100.0 * lastShare);
    }
    double lastShare = 0;

    //==============================================================================
    // Each overlay: open it from the page and report whether it showed; close it again.
    std::string openBankSelector (const std::vector<uint32_t>& page)
    {
        return clickUntil (functionButton (banksIndex), differs (pageArea, page)) ? "" : "BANKS showed no bank selector" + seen();
    }

    std::string closeBankSelector (const std::vector<uint32_t>& page)
    {
        return clickUntil (bankOk, matches (pageArea, page)) ? "" : "the page did not come back after the bank selector's OK" + seen();
    }

    std::string openWriteDialog (const std::vector<uint32_t>& page)
    {
        return clickUntil (functionButton (writeIndex), differs (pageArea, page)) ? "" : "WRITE showed no write dialog" + seen();
    }

    std::string closeWriteDialog (const std::vector<uint32_t>& page)
    {
        return clickUntil (writeCancel, matches (pageArea, page)) ? "" : "the page did not come back after the write dialog's CANCEL" + seen();
    }

    std::string openMidiSetup (const std::vector<uint32_t>& page)
    {
        return clickUntil (functionButton (midiIndex), differs (pageArea, page)) ? "" : "MIDI showed no MIDI setup" + seen();
    }

    std::string closeMidiSetup (const std::vector<uint32_t>& page)
    {
        return clickUntil (midiOk, matches (pageArea, page)) ? "" : "the page did not come back after the MIDI setup's OK" + seen();
    }

    // The about panel comes from the FILE menu's last entry, "About".
    std::string openAbout()
    {
        const auto before = shownTopLevels (x);
        ::Window menu = 0;
        clickAt (window, functionButton (fileIndex));
        if (! x.idleUntil (e(), [&] { return (menu = newTopLevel (x, before)) != 0; }))
            return "FILE showed no menu " + x.waited();

        // The menu follows the real pointer: put it on the entry until the menu highlights
        // it, as a user's hand rests there. A menu also ignores a release in its first 250 ms.
        const auto opened = std::chrono::steady_clock::now();
        const auto g = geometry (x, menu);
        const Point item { g.w / 2, g.h - 8 };
        XWarpPointer (x.display, None, DefaultRootWindow (x.display), 0, 0, 0, 0, g.x + item.x, g.y + item.y);
        XSync (x.display, False);
        const auto highlighted = [&]
        {
            const auto pixels = grabPixels (x, menu, 12, item.y, 1, 1);
            return ! pixels.empty() && pixels[0] == menuHighlight;
        };
        if (! x.idleUntil (e(), highlighted))
            return "the FILE menu did not highlight About under the pointer " + x.waited();
        x.idleUntil (e(), [&] { return std::chrono::steady_clock::now() - opened > std::chrono::milliseconds (400); });
        sendButton (x, menu, true, item.x, item.y, Button1);
        x.idle (e(), 3);
        sendButton (x, menu, false, item.x, item.y, Button1);
        // The menu may lie over the tab strip too: the panel is up once the menu has gone.
        const bool shown = x.idleUntil (e(), [&] { return shownTopLevels (x).count (menu) == 0 && ! pageUncovered(); });
        parkPointer (x);
        return shown ? "" : "FILE > About showed no about panel " + x.waited();
    }

    std::string closeAbout (const std::vector<uint32_t>& page)
    {
        return clickUntil ({ aboutBox.x + 20, aboutBox.y + 20 }, matches (pageArea, page))
                   ? "" : "the page did not come back after a click on the about panel" + seen();
    }

    std::string openLibrary (::Window& library)
    {
        const auto before = shownTopLevels (x);
        library = 0;
        if (clickUntil (libraryButton, [&] { return (library = newTopLevel (x, before)) != 0; }))
            return {};
        return "the menu icon showed no library window " + x.waited();
    }

    std::string closeLibrary (::Window library)
    {
        const auto g = geometry (x, library);
        const Point close { g.w - libraryCloseFromRight, libraryCloseY };
        clickAt (library, close);
        if (x.idleUntil (e(), [&] { return shownTopLevels (x).count (library) == 0; }))
            return {};
        return "the library window stayed after its close button " + x.waited();
    }
};

// The library window's two tabs, each shown by a click and changing what the window shows.
std::string visitLibraryTabs (Editor& ed, ::Window library)
{
    Problems p;
    const auto g = geometry (ed.x, library);
    const Area content { 1, 60, g.w - 2, g.h - 120 };
    auto grab = [&] { return grabPixels (ed.x, library, content.x, content.y, content.w, content.h); };
    auto settled = [&]
    {
        ed.x.holdsStill (ed.e(), grab);
        return grab();
    };

    const auto presets = settled();
    if (presets.empty())
        return "the library window cannot be read";
    for (auto [tab, name] : { std::pair<Point, const char*> { libraryTab, "LIBRARY" }, { presetBankTab, "PRESET BANK" } })
    {
        const auto before = settled();
        ed.clickAt (library, tab);
        if (! ed.x.idleUntil (ed.e(), [&] { return pixelDifference (grab(), before) > changed; }))
            p.add (fmt ("the %s tab changed nothing %s", name, ed.x.waited().c_str()));
    }
    settled();
    if (pixelDifference (grab(), presets) > returned)
        p.add ("the PRESET BANK tab did not bring its page back");
    return p.str();
}

// "" when the window is a transient of the owner, not kept above all others, and named.
std::string windowOwnership (XSession& x, ::Window window, ::Window owner)
{
    Problems p;
    ::Window transientFor = 0;
    if (XGetTransientForHint (x.display, window, &transientFor) == 0 || transientFor != owner)
        p.add (fmt ("WM_TRANSIENT_FOR is 0x%lx, not the editor's top-level window 0x%lx", transientFor, owner));

    const auto property = [&] (const char* name, Atom type)
    {
        std::vector<unsigned char> bytes;
        Atom actual = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty (x.display, window, XInternAtom (x.display, name, False), 0, 1024, False, type, &actual,
                                &format, &items, &after, &data) == Success && data != nullptr)
            bytes.assign (data, data + items * (size_t) (format == 32 ? sizeof (long) : (size_t) format / 8));
        if (data != nullptr)
            XFree (data);
        return bytes;
    };

    const auto states = property ("_NET_WM_STATE", XA_ATOM);
    const auto above = XInternAtom (x.display, "_NET_WM_STATE_ABOVE", False);
    for (size_t i = 0; i + sizeof (long) <= states.size(); i += sizeof (long))
    {
        long state = 0;
        std::memcpy (&state, states.data() + i, sizeof (long));
        if ((Atom) state == above)
            p.add ("it is kept above every other window (_NET_WM_STATE_ABOVE)");
    }

    const auto utf8 = XInternAtom (x.display, "UTF8_STRING", False);
    const auto netName = property ("_NET_WM_NAME", utf8), name = property ("WM_NAME", AnyPropertyType);
    if (netName.empty())
        p.add ("it has no _NET_WM_NAME");
    if (name.empty())
        p.add ("it has no WM_NAME");
    return p.str();
}

//==============================================================================
enum class Overlay { bankSelector, writeDialog, midiSetup, globalPage, about, library };

const char* nameOf (Overlay o)
{
    switch (o)
    {
        case Overlay::bankSelector: return "bank selector";
        case Overlay::writeDialog:  return "write dialog";
        case Overlay::midiSetup:    return "MIDI setup";
        case Overlay::globalPage:   return "global page";
        case Overlay::about:        return "about panel";
        case Overlay::library:      return "library window";
    }
    return "";
}

constexpr Overlay allOverlays[] = { Overlay::bankSelector, Overlay::writeDialog, Overlay::midiSetup,
                                    Overlay::globalPage, Overlay::about, Overlay::library };

// Opens one overlay over a settled page (the global page through the MIDI setup).
std::string openOverlay (Editor& ed, Overlay o, const std::vector<uint32_t>& page, ::Window& library)
{
    switch (o)
    {
        case Overlay::bankSelector: return ed.openBankSelector (page);
        case Overlay::writeDialog:  return ed.openWriteDialog (page);
        case Overlay::midiSetup:    return ed.openMidiSetup (page);
        case Overlay::about:        return ed.openAbout();
        case Overlay::library:      return ed.openLibrary (library);
        case Overlay::globalPage:
        {
            if (auto reason = ed.openMidiSetup (page); ! reason.empty())
                return reason;
            ed.settle (globalPage);
            const auto setup = ed.grab (globalPage);
            return ed.clickUntil (midiGlobals, ed.differs (globalPage, setup)) ? "" : "GLOBALS showed no global page" + ed.seen();
        }
    }
    return {};
}

//==============================================================================
void overlaysGroup (Reporter& r, Library& lib, std::mt19937&)
{
    if (! displaySet())
        return;

    // Every click lands where a first opening puts things: a settings folder of its own,
    // without the window geometry the earlier groups left behind.
    char folder[] = "/tmp/vsthost-overlays-home-XXXXXX";
    if (mkdtemp (folder) == nullptr)
        return;
    setenv ("HOME", folder, 1);

    if (! lib.load (lib.path))
    {
        r.check ("overlays.load", [&] { return lib.error; });
        return;
    }

    {
        XSession x;
        if (! x.open())
            return;
        parkPointer (x);

        r.check ("overlays.openAndClose", withXErrors (x, [&]() -> std::string
        {
            Problems p;
            Editor ed (x, lib.entry);
            if (auto reason = ed.open(); ! reason.empty())
                return reason;
            const auto page = ed.grab (pageArea);

            p.addAll (ed.openBankSelector (page), "");
            p.addAll (ed.closeBankSelector (page), "");
            p.addAll (ed.openWriteDialog (page), "");
            p.addAll (ed.closeWriteDialog (page), "");

            if (auto reason = ed.openMidiSetup (page); ! reason.empty())
                p.add (reason);
            else
            {
                ed.settle (pageArea);
                const auto setup = ed.grab (globalPage);
                if (! ed.clickUntil (midiGlobals, ed.differs (globalPage, setup)))
                    p.add ("GLOBALS showed no global page" + ed.seen());
                else if (! ed.clickUntil (globalClose, ed.matches (globalPage, setup)))
                    p.add ("the global page's close box left it up" + ed.seen());
                else if (! ed.clickUntil (midiGlobals, ed.differs (globalPage, setup))
                         || ! ed.clickUntil (midiGlobals, ed.matches (globalPage, setup)))
                    p.add ("GLOBALS did not open and close the global page again" + ed.seen());
                p.addAll (ed.closeMidiSetup (page), "");
            }

            if (auto reason = ed.openAbout(); ! reason.empty())
                p.add (reason);
            else
                p.addAll (ed.closeAbout (page), "");

            ::Window library = 0;
            if (auto reason = ed.openLibrary (library); ! reason.empty())
                p.add (reason);
            else
            {
                p.addAll (visitLibraryTabs (ed, library), "library window");
                p.addAll (ed.closeLibrary (library), "");
                // Hidden, not gone: it comes back with its pages.
                if (auto again = ed.openLibrary (library); ! again.empty())
                    p.add ("reopened: " + again);
                else
                    p.addAll (ed.closeLibrary (library), "reopened");
            }

            p.addAll (ed.close(), "");
            return p.str();
        }));

        r.check ("overlays.closeEditorWithOverlayOpen", withXErrors (x, [&]() -> std::string
        {
            Problems p;
            Editor ed (x, lib.entry);
            for (auto o : allOverlays)
            {
                if (auto reason = ed.open(); ! reason.empty())
                {
                    p.add (fmt ("%s: %s", nameOf (o), reason.c_str()));
                    continue;
                }
                const auto page = ed.grab (pageArea);
                const auto hostWindows = shownTopLevels (x);
                ::Window library = 0;
                p.addAll (openOverlay (ed, o, page, library), nameOf (o));
                p.addAll (ed.close(), nameOf (o));
                if (! x.idleUntil (ed.e(), [&] { return shownTopLevels (x) == hostWindows; }))
                    p.add (fmt ("%s: a window of the editor stayed on the screen", nameOf (o)));
            }

            // The global page's close box closes it a moment later: the editor goes in between.
            if (auto reason = ed.open(); ! reason.empty())
                p.add ("global page closing: " + reason);
            else
            {
                const auto page = ed.grab (pageArea);
                ::Window none = 0;
                p.addAll (openOverlay (ed, Overlay::globalPage, page, none), "global page closing");
                ed.clickAt (ed.window, globalClose);
                p.addAll (ed.close(), "global page closing");
                x.idle (ed.e(), 20);
            }

            // And the page opens clean after all of them.
            p.addAll (ed.open(), "reopened");
            p.addAll (ed.close(), "reopened");
            return p.str();
        }));

        r.check ("overlays.closeInstanceWithOverlayOpen", withXErrors (x, [&]() -> std::string
        {
            Problems p;
            for (auto o : { Overlay::library, Overlay::writeDialog })
            {
                Editor ed (x, lib.entry);
                if (auto reason = ed.open(); ! reason.empty())
                {
                    p.add (fmt ("%s: %s", nameOf (o), reason.c_str()));
                    continue;
                }
                const auto page = ed.grab (pageArea);
                ::Window library = 0;
                p.addAll (openOverlay (ed, o, page, library), nameOf (o));
                // The plug-in goes with its editor and the overlay up, as a host does on removing it.
                ed.instance.reset();
                ed.window = 0;
                if (! x.idleUntil (nullptr, [&] { return x.children (ed.parent) == 0; }))
                    p.add (fmt ("%s: the editor stayed after effClose", nameOf (o)));
                if (library != 0 && ! x.idleUntil (nullptr, [&] { return shownTopLevels (x).count (library) == 0; }))
                    p.add ("the library window stayed after effClose");
            }
            return p.str();
        }));

        r.check ("overlays.sectionTabsAndPanelZoom", withXErrors (x, [&]() -> std::string
        {
            Problems p;
            Editor ed (x, lib.entry);
            if (auto reason = ed.open(); ! reason.empty())
                return reason;
            const auto first = ed.grab (pageArea);

            // From OSC through every tab to ARP, then OSC again: each shows another column.
            std::vector<std::vector<uint32_t>> views (numTabs);
            auto last = first;
            for (int k = 1; k <= numTabs; ++k)
            {
                const int tab = k % numTabs;
                if (! ed.clickUntil (sectionTab (tab), ed.differs (pageArea, last)))
                    p.add (fmt ("tab %d changed nothing on the page", tab + 1) + ed.seen());
                ed.settle (pageArea);
                views[(size_t) tab] = last = ed.grab (pageArea);
            }
            if (pixelDifference (views[0], first) > returned)
                p.add ("OSC did not bring the first view back");
            for (int a = 0; a < numTabs; ++a)
                for (int b = a + 1; b < numTabs; ++b)
                    if (tabOrigin[a] == tabOrigin[b] && pixelDifference (views[(size_t) a], views[(size_t) b]) > returned)
                        p.add (fmt ("tabs %d and %d show one column but look different", a + 1, b + 1));

            // A right click zooms into the oscillator panel, a click beside it zooms out; the
            // page ignores that click while the panel still moves (200 ms).
            const auto zoomClick = std::chrono::steady_clock::now();
            if (! ed.clickUntil (oscillatorPanel, ed.differs (pageArea, first), true))
                p.add ("a right click on the oscillator panel did not zoom into it" + ed.seen());
            else
            {
                x.idleUntil (ed.e(), [&] { return std::chrono::steady_clock::now() - zoomClick > std::chrono::milliseconds (400); });
                ed.settle (pageArea);
                if (! ed.clickUntil (leftDimBand, ed.matches (pageArea, first)))
                    p.add ("a click beside the zoomed-in panel did not bring the page back" + ed.seen());
            }

            p.addAll (ed.close(), "");
            return p.str();
        }));

        // A program chosen in the bank selector replaces every value: a host that keeps its
        // own copy of the values (and puts it back over the state on load) hears each that
        // changed, without the gestures that make a host in a touch mode record automation.
        r.check ("overlays.bankProgramReachesTheHostsValues", withXErrors (x, [&]() -> std::string
        {
            Problems p;
            Editor ed (x, lib.entry);
            if (auto reason = ed.open(); ! reason.empty())
                return reason;
            auto* e = ed.e();
            std::vector<float> copy;   // as a host reads them once the editor is up
            for (int i = 0; i < e->numParams; ++i)
                copy.push_back (e->getParameter (e, i));
            const auto begins = host.beginEditCalls.load(), ends = host.endEditCalls.load();
            const auto automatedHere = [&]
            {
                std::map<int, float> values;
                const std::lock_guard<std::mutex> l (host.lock);
                for (const auto& [key, value] : host.automated)
                    if (key.first == e)
                        values[key.second] = value;
                return values;
            };
            {
                // An earlier instance may have lived at the same address.
                const std::lock_guard<std::mutex> l (host.lock);
                for (auto it = host.automated.begin(); it != host.automated.end();)
                    it = it->first.first == e ? host.automated.erase (it) : std::next (it);
            }

            const auto page = ed.grab (pageArea);
            if (auto reason = ed.openBankSelector (page); ! reason.empty())
                return reason;
            ed.settle (pageArea);
            const auto banks = ed.grab (pageArea);
            if (! ed.clickUntil (bankRow (3), ed.differs (pageArea, banks, 0.001)))
                p.add ("a click on the fourth program of the bank selector changed nothing");
            p.addAll (ed.closeBankSelector (page), "");

            // The host's copy: what it read, with every value automated since.
            const auto stale = [&]
            {
                const auto told = automatedHere();
                int count = 0;
                for (int i = 0; i < e->numParams; ++i)
                {
                    const auto it = told.find (i);
                    count += (it != told.end() ? it->second : copy[(size_t) i]) != e->getParameter (e, i) ? 1 : 0;
                }
                return count;
            };
            if (! x.idleUntil (e, [&] { return stale() == 0; }))
                p.add (fmt ("%d of the host's values stayed behind the chosen program", stale()));
            if (automatedHere().size() < 10)
                p.add ("the chosen program changed fewer than ten values: the check proves nothing");
            if (host.beginEditCalls != begins || host.endEditCalls != ends)
                p.add (fmt ("the program came with %d gesture begin(s) and %d end(s)", host.beginEditCalls - begins, host.endEditCalls - ends));
            p.addAll (ed.close(), "");
            return p.str();
        }));

        r.check ("overlays.twoEditors", withXErrors (x, [&]() -> std::string
        {
            Problems p;
            for (int order = 0; order < 2; ++order)
            {
                Editor a (x, lib.entry), b (x, lib.entry);
                p.addAll (a.open(), "first");
                const auto pageA = a.grab (aboveLibrary);
                // The host windows lie on each other: the one read is the one on top.
                p.addAll (b.open(), "second");
                const auto pageB = b.grab (pageArea);
                p.addAll (b.openBankSelector (pageB), "second");
                // The bank selector leaves the page's header and its menu icon uncovered.
                ::Window library = 0;
                p.addAll (b.openLibrary (library), "second");

                // Raised by its host and clicked on (the logo) to bring it to the front, as a user does.
                XRaiseWindow (x.display, a.parent);
                if (! x.idleUntil (a.e(), a.matches (aboveLibrary, pageA)))
                    p.add ("the first editor did not repaint its page when raised" + a.seen());
                a.clickAt (a.window, logo);
                x.idle (a.e(), 5);
                p.addAll (a.clickUntil (functionButton (midiIndex), a.differs (aboveLibrary, pageA)) ? "" : "MIDI showed no MIDI setup" + a.seen(), "first");

                // Closed in either order, each with its overlay up; the library window goes with
                // its own editor only.
                auto& firstClosed = order == 0 ? a : b;
                auto& other = order == 0 ? b : a;
                const auto libraryShown = [&] { return library != 0 && shownTopLevels (x).count (library) != 0; };
                p.addAll (firstClosed.close(), fmt ("order %d, closed first", order));
                x.idle (other.e(), 5);
                if (&firstClosed == &a && ! libraryShown())
                    p.add ("closing the first editor took the second one's library window with it");
                p.addAll (other.close(), fmt ("order %d, closed last", order));
                if (! x.idleUntil (nullptr, [&] { return ! libraryShown(); }))
                    p.add ("the library window stayed after its editor closed");
            }
            return p.str();
        }));

        // The library window stays above its own editor, not above the host's dialogs
        // or other programs: a transient window of the editor's top-level window (the
        // host's), never kept above everything; and it has a name for window lists.
        r.check ("overlays.libraryWindowBelongsToItsEditor", withXErrors (x, [&]() -> std::string
        {
            Problems p;
            Editor ed (x, lib.entry);
            if (auto reason = ed.open(); ! reason.empty())
                return reason;
            for (const char* when : { "first opening", "reopened" })
            {
                ::Window library = 0;
                if (auto reason = ed.openLibrary (library); ! reason.empty())
                {
                    p.add (fmt ("%s: %s", when, reason.c_str()));
                    break;
                }
                p.addAll (windowOwnership (x, library, ed.parent), when);
                p.addAll (ed.closeLibrary (library), when);
            }
            p.addAll (ed.close(), "");
            return p.str();
        }));

        // Some hosts hide their window instead of closing the editor: the library window,
        // a window of its own, goes with it and comes back with it, unless closed meanwhile.
        r.check ("overlays.libraryFollowsHostWindow", withXErrors (x, [&]() -> std::string
        {
            Problems p;
            Editor ed (x, lib.entry);
            if (auto reason = ed.open(); ! reason.empty())
                return reason;
            ::Window library = 0;
            if (auto reason = ed.openLibrary (library); ! reason.empty())
                return reason;
            const auto libraryShown = [&] { return shownTopLevels (x).count (library) != 0; };

            for (int cycle = 0; cycle < 2; ++cycle)
            {
                XUnmapWindow (x.display, ed.parent);
                XSync (x.display, False);
                if (! x.idleUntil (ed.e(), [&] { return ! libraryShown(); }))
                    p.add (fmt ("cycle %d: the library window stayed while the host hid the editor", cycle));
                XMapWindow (x.display, ed.parent);
                XSync (x.display, False);
                if (! x.idleUntil (ed.e(), libraryShown))
                    p.add (fmt ("cycle %d: the library window did not come back with the editor", cycle));
            }

            p.addAll (ed.closeLibrary (library), "");
            XUnmapWindow (x.display, ed.parent);
            XSync (x.display, False);
            x.idle (ed.e(), 20);
            XMapWindow (x.display, ed.parent);
            XSync (x.display, False);
            // Judged once the editor shows again, and for a while after.
            if (! x.idleUntil (ed.e(), [&] { return ed.pageUncovered(); }))
                p.add ("the editor's page did not show again " + x.waited());
            else if (! x.idleWhile (ed.e(), [&] { return ! libraryShown(); }, std::chrono::milliseconds (600), 60))
                p.add ("the library window, closed, came back when the host showed the editor again");
            p.addAll (ed.close(), "");
            return p.str();
        }));

        // The write dialog's rename box has the keyboard focus and a few typed keys when
        // the host hides its window, closes the editor, or closes it and destroys its
        // window; each time the editor opens again in a working window, without X errors.
        const auto openRenameBox = [&] (Editor& ed, Problems& p, const char* when)
        {
            const auto page = ed.grab (pageArea);
            if (auto reason = ed.openWriteDialog (page); ! reason.empty())
                return p.add (fmt ("%s: %s", when, reason.c_str()));
            ed.settle (pageArea);
            const auto dialog = ed.grab (pageArea);
            if (! ed.clickUntil (writeName, ed.differs (pageArea, dialog, 0.001)))
                return p.add (fmt ("%s: a click on the name showed no rename box", when));
            ed.clickAt (ed.window, renameField);
            for (KeySym k : { XK_B, XK_BackSpace, XK_x, XK_y })
            {
                sendKey (x, ed.window, true, k);
                sendKey (x, ed.window, false, k);
                x.idle (ed.e(), 2);
            }
        };
        const auto worksAgain = [&] (Editor& ed, Problems& p)
        {
            p.addAll (ed.open(), "reopened at the end");
            const auto page = ed.grab (pageArea);
            p.addAll (ed.openWriteDialog (page), "reopened at the end");
            p.addAll (ed.closeWriteDialog (page), "reopened at the end");
            p.addAll (ed.close(), "reopened at the end");
        };

        r.check ("overlays.renameBoxThroughHostWindows", withXErrors (x, [&]() -> std::string
        {
            Problems p;
            Editor ed (x, lib.entry);
            for (int way = 0; way < 3; ++way)
            {
                const char* name = way == 0 ? "hidden and shown" : way == 1 ? "closed and reopened" : "closed, host window destroyed";
                if (auto reason = ed.open(); ! reason.empty())
                {
                    p.add (fmt ("%s: %s", name, reason.c_str()));
                    continue;
                }
                openRenameBox (ed, p, name);
                if (way == 0)
                {
                    XUnmapWindow (x.display, ed.parent);
                    XSync (x.display, False);
                    x.idle (ed.e(), 20);
                    XMapWindow (x.display, ed.parent);
                    XSync (x.display, False);
                    x.idle (ed.e(), 20);
                }
                p.addAll (ed.close(), name);
                if (way == 2)
                {
                    x.destroy (ed.parent);
                    ed.parent = 0;
                }
            }
            worksAgain (ed, p);
            return p.str();
        }));

        // A host that destroys its window before it closes the editor takes the editor's
        // window along; once the editor has seen that (a look every 200 ms), nothing of
        // it touches that window, closing included, and it opens again in a new one.
        r.check ("overlays.hostDestroysItsWindowFirst", [&]() -> std::string
        {
            Problems p;
            auto ed = std::make_shared<Editor> (x, lib.entry);
            if (auto reason = ed->open(); ! reason.empty())
                return reason;
            openRenameBox (*ed, p, "before");
            x.destroy (ed->parent);
            ed->parent = 0;
            const auto destroyed = std::chrono::steady_clock::now();
            x.idleUntil (ed->e(), [&] { return std::chrono::steady_clock::now() - destroyed > std::chrono::milliseconds (600); });

            p.addAll (withXErrors (x, [&]() -> std::string
            {
                Problems after;
                x.idle (ed->e(), 10);
                dispatch (ed->e(), effEditClose);
                ed->window = 0;
                x.idle (ed->e(), 10);
                worksAgain (*ed, after);
                return after.str();
            })(), "after the editor saw its window go");
            return p.str();
        });
    }

    lib.unload();
    std::error_code ignored;
    std::filesystem::remove_all (folder, ignored);
}
} // namespace

const ValidationGroup overlayChecks { "overlays", 9, overlaysGroup, true };
} // namespace vsthost::validation
