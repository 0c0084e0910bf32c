// The editor window through its life as a user drives it: resized by its
// corner, zoomed by its handle, closed while its splash or a zoomed-in panel
// is still animating, in one instance and beside another.
#include "Validate.h"
#include "ValidateWindow.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace vsthost::validation
{
namespace
{
bool sane (int w, int h)   { return w > 0 && h > 0 && w <= 8192 && h <= 8192; }

// The corner's limits: the narrowest window still shows the whole function row.
constexpr int minWidth = 653, minHeight = 298;

// The page of a first opening is 710 high (zoom 1.0) with its zoom handle in its lower right corner.
constexpr int pageHeight = 710;

void editorLifeGroup (Reporter& r, Library& lib, std::mt19937&)
{
    if (! displaySet())
        return;

    XSession x;
    if (! x.open())
        return;

    r.check ("editorLife.resizeAndZoom", withXErrors (x, [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        int w = 0, h = 0;
        editorRect (a, w, h);
        auto parent = x.createParent (w, h);

        for (int cycle = 0; cycle < 4; ++cycle)
        {
            if (auto reason = openEditor (x, a, parent); ! reason.empty())
            {
                p.add (fmt ("cycle %d: %s", cycle, reason.c_str()));
                dispatch (a, effEditClose);
                continue;
            }

            const auto window = editorWindow (x, parent);
            int w0 = 0, h0 = 0;
            editorRect (a, w0, h0);

            // The first opening's splash takes the page's drags: wait until the page shows.
            if (auto reason = waitForPage (x, a, parent); ! reason.empty())
                p.add (fmt ("cycle %d: %s", cycle, reason.c_str()));

            // The resize corner: smaller by 60 x 40, never below its limits.
            const auto resized = [&] { int ww = 0, hh = 0; editorRect (a, ww, hh); return ww != w0 || hh != h0; };
            drag (x, a, window, w0 - 8, h0 - 8, w0 - 68, h0 - 48);
            x.idleUntil (a, resized);
            int w1 = 0, h1 = 0;
            if (! editorRect (a, w1, h1) || ! sane (w1, h1))
                p.add (fmt ("cycle %d: after the corner drag the size reads %dx%d", cycle, w1, h1));
            else if (w1 < minWidth || h1 < minHeight)
                p.add (fmt ("cycle %d: the corner made the editor %dx%d, below its limits", cycle, w1, h1));
            else if (w1 == w0 && h1 == h0 && w0 > minWidth && h0 > minHeight)
                p.add (fmt ("cycle %d: dragging the corner left the editor at %dx%d %s", cycle, w1, h1, x.waited().c_str()));

            // The zoom handle, where the window shows it.
            editorRect (a, w1, h1);
            if (h1 >= pageHeight)
            {
                const auto zoomed = [&] { int ww = 0, hh = 0; editorRect (a, ww, hh); return hh != h1; };
                drag (x, a, window, w1 - 6, pageHeight - 7, w1 - 6, pageHeight - 7 - 150);
                x.idleUntil (a, zoomed);
                int w2 = 0, h2 = 0;
                if (! editorRect (a, w2, h2) || ! sane (w2, h2))
                    p.add (fmt ("cycle %d: after zooming the size reads %dx%d", cycle, w2, h2));
                else if (h2 == h1)
                    p.add (fmt ("cycle %d: dragging the zoom handle left the editor %d high %s", cycle, h2, x.waited().c_str()));
            }

            p.addAll (closeEditor (x, a, parent), fmt ("cycle %d", cycle));
            if (cycle == 1)
            {
                x.destroy (parent);
                editorRect (a, w, h);
                parent = x.createParent (w, h);
            }
        }

        x.destroy (parent);
        return p.str();
    }));

    // Pulled smaller by its corner, the editor keeps the keyboard's strip in sight
    // under the page: the zoom handle sits right above that strip, and dragging
    // it must still zoom (it was lost below the window when the page kept its height).
    r.check ("editorLife.shrinkKeepsTheKeyboardStrip", withXErrors (x, [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        const auto parent = openInNewParent (x, a, p, "opening");
        const auto window = editorWindow (x, parent);
        // The first opening's splash takes the page's drags: wait until the page shows.
        p.addAll (waitForPage (x, a, parent), "opening");

        // Earlier checks leave their size in the stored geometry: start from what opens.
        int wOpen = 0, hOpen = 0;
        editorRect (a, wOpen, hOpen);
        for (const int target : { std::max (minHeight + 42, hOpen - 117), minHeight })
        {
            int w0 = 0, h0 = 0;
            editorRect (a, w0, h0);
            if (h0 <= target)
                continue;
            const auto sizeIs = [&] (int w, int h) { return [&, w, h] { int ww = 0, hh = 0; editorRect (a, ww, hh); return ww != w || hh != h; }; };
            const auto shrunk = sizeIs (w0, h0);
            drag (x, a, window, w0 - 8, h0 - 8, std::max (minWidth, w0 - 240) - 8, target - 8);
            x.idleUntil (a, shrunk);
            int w1 = 0, h1 = 0;
            if (! editorRect (a, w1, h1) || ! sane (w1, h1) || h1 >= h0)
            {
                p.add (fmt ("pulling the corner up to %d left the editor %dx%d %s", target, w1, h1, x.waited().c_str()));
                continue;
            }

            // The page lays itself out for the new size before its handle is where it is looked for.
            const int handleX = w1 - 6, handleY = h1 - 20 - 7;
            if (auto reason = waitForPage (x, a, parent); ! reason.empty())
                p.add (fmt ("at %dx%d: %s", w1, h1, reason.c_str()));
            const auto zoomed = sizeIs (w1, h1);
            drag (x, a, window, handleX, handleY, handleX, handleY - 50);
            x.idleUntil (a, zoomed);
            int w2 = 0, h2 = 0;
            editorRect (a, w2, h2);
            if (! zoomed())
                p.add (fmt ("at %dx%d no zoom handle above the keyboard strip (%d, %d) %s", w1, h1, handleX, handleY,
                            x.waited().c_str()));
            else if (! sane (w2, h2) || h2 < minHeight)
                p.add (fmt ("at %dx%d the zoom handle made the editor %dx%d", w1, h1, w2, h2));
        }

        p.addAll (closeEditor (x, a, parent), "closing");
        x.destroy (parent);
        return p.str();
    }));

    // A host may resize its own window around the editor (VST 2 gives it no way to ask
    // the editor to follow): the editor keeps its size and stays whole and responsive.
    r.check ("editorLife.hostResizesItsWindow", withXErrors (x, [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        const auto parent = openInNewParent (x, a, p, "opening");
        int w0 = 0, h0 = 0;
        editorRect (a, w0, h0);

        for (auto [pw, ph] : { std::pair { 320, 200 }, { 1900, 1150 }, { w0 / 2, h0 * 2 }, { w0, h0 } })
        {
            XResizeWindow (x.display, parent, (unsigned) pw, (unsigned) ph);
            XSync (x.display, False);
            x.idle (a, 5);
            int cw = 0, ch = 0, ew = 0, eh = 0;
            if (x.children (parent, &cw, &ch) != 1)
                p.add (fmt ("host window %dx%d: the editor's window is gone", pw, ph));
            if (! editorRect (a, ew, eh) || ew != w0 || eh != h0)
                p.add (fmt ("host window %dx%d: the editor reads %dx%d, was %dx%d", pw, ph, ew, eh, w0, h0));
        }

        p.addAll (closeEditor (x, a, parent), "closing");
        x.destroy (parent);
        return p.str();
    }));

    r.check ("editorLife.closeDuringSplash", withXErrors (x, [&]() -> std::string
    {
        Problems p;
        for (int cycle = 0; cycle < 3; ++cycle)
        {
            // A fresh instance shows its splash on its first opening; close well inside its 2 s.
            auto a = std::make_unique<Instance> (lib.entry);
            const auto parent = openInNewParent (x, *a, p, fmt ("cycle %d", cycle));
            x.idle (*a, 2 + cycle);

            if (cycle == 2)
            {
                a.reset();   // the plug-in goes with its editor and splash still up
                if (! x.idleUntil (nullptr, [&] { return x.children (parent) == 0; }))
                    p.add ("the editor stayed after effClose during the splash");
            }
            else
            {
                p.addAll (closeEditor (x, *a, parent), fmt ("cycle %d", cycle));
                // Reopened: the splash is over for this instance, and closing again is clean.
                p.addAll (openEditor (x, *a, parent), fmt ("cycle %d reopened", cycle));
                x.idle (*a, 2);
                p.addAll (closeEditor (x, *a, parent), fmt ("cycle %d reopened", cycle));
            }
            x.destroy (parent);
        }
        return p.str();
    }));

    r.check ("editorLife.closeDuringZoomedPanel", withXErrors (x, [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry), b (lib.entry);
        int w = 0, h = 0;
        editorRect (a, w, h);
        const auto pa = x.createParent (w, h), pb = x.createParent (w, h);

        // The second instance stays open throughout, splash and all.
        p.addAll (openEditor (x, b, pb), "second");

        for (int cycle = 0; cycle < 4; ++cycle)
        {
            p.addAll (openEditor (x, a, pa), fmt ("cycle %d", cycle));
            const auto window = editorWindow (x, pa);
            x.idle (a, 2);
            // A right click on the oscillator panel zooms into it; close while it moves.
            rightClick (x, a, window, 400, 120);
            x.idle (b, 1);
            if (cycle % 2 == 1)
                x.idle (a, 40);   // or once it has settled, dimmed page and all
            p.addAll (closeEditor (x, a, pa), fmt ("cycle %d", cycle));
        }

        x.idle (b, 3);
        p.addAll (closeEditor (x, b, pb), "second");
        x.destroy (pa);
        x.destroy (pb);
        return p.str();
    }));

    // The zoom handle pulled up to the smallest page, then the window made a
    // little higher: the write dialog has only the 174 px above the keyboard
    // panel, and each of its bank buttons must still take its own click (they
    // lay under the keyboard, where a click plays a key).
    r.check ("editorLife.writeDialogOnASmallPage", withXErrors (x, [&]() -> std::string
    {
        Problems p;
        // From the first size: 1200 x 730, a 710 px page with its handle in its corner.
        const SettingsFileSwap geometry ("pro12ltwh.dat", std::nullopt);
        Instance a (lib.entry);
        const auto parent = openInNewParent (x, a, p, "opening");
        const auto window = editorWindow (x, parent);
        p.addAll (waitForPage (x, a, parent), "opening");
        int w = 0, h = 0;
        editorRect (a, w, h);
        if (w != 1200 || h != 730)
            return fmt ("the editor opened at %dx%d, not at 1200x730", w, h);

        const auto sizeIs = [&] (int ww, int hh) { return [&, ww, hh] { int cw = 0, ch = 0; editorRect (a, cw, ch); return cw == ww && ch == hh; }; };
        // Page 200 under a 172 px keyboard panel; then the corner, 28 px down, gives the page 228.
        drag (x, a, window, w - 6, pageHeight - 7, w - 6, 200 - 7);
        if (! x.idleUntil (a, sizeIs (1200, 372)))
            return "the zoom handle pulled up to a 200 px page did not make the editor 1200x372 " + x.waited();
        drag (x, a, window, w - 8, 372 - 8, w - 8, 400 - 8);
        if (! x.idleUntil (a, sizeIs (1200, 400)))
            return "the corner did not make the editor 1200x400 " + x.waited();
        if (auto reason = waitForPage (x, a, parent); ! reason.empty())
            return "at 1200x400: " + reason;

        // WriteSnd::layout (0, 54, 1200, 174): grid (202, 74, 350, 92); the bank
        // buttons beside it at (102, 40 + 36 i); CANCEL at (582, 74 + 92 - 54).
        constexpr int gridX = 202, gridY = 54 + 74, gridW = 350, gridH = 92;
        const auto grid = [&] { return grabPixels (x, window, gridX, gridY, gridW, gridH); };
        // The panels paint a while after the tabs: the page is judged once it holds still.
        const auto pageNow = [&] { return grabPixels (x, window, 0, 60, 1200, 160); };
        x.holdsStill (a, pageNow, std::chrono::milliseconds (600), 20);
        const auto page = pageNow();
        click (x, a, window, 267 + 6 * 46 + 23, 3 + 8);
        if (! x.idleUntil (a, [&] { return pixelDifference (pageNow(), page) > 0.2; }))
            return "WRITE showed no write dialog " + x.waited();

        // Each click shows another bank than the one before it; the first only sets out from a known one.
        bool first = true;
        for (const int i : { 3, 2, 1, 0, 3 })
        {
            x.holdsStill (a, grid);
            const auto before = grid();
            click (x, a, window, 102 + 35, 54 + 40 + 36 * i + 9);
            if (! first && ! x.idleUntil (a, [&] { return pixelDifference (grid(), before) > 0.05; }))
                p.add (fmt ("BANK U%d did not show its bank in the grid %s", i + 1, x.waited().c_str()));
            first = false;
        }

        click (x, a, window, 582 + 35, 54 + 74 + gridH - 54 + 9);
        double share = 1;
        if (! x.idleUntil (a, [&] { return (share = pixelDifference (pageNow(), page)) < 0.03; }))
            p.add (fmt ("the page did not come back after the write dialog's CANCEL (%.1f%% differs) %s", 100 * share, x.waited().c_str()));

        p.addAll (closeEditor (x, a, parent), "closing");
        x.destroy (parent);
        return p.str();
    }));
}
} // namespace

const ValidationGroup editorLifeChecks { "editorLife", 7, editorLifeGroup };
} // namespace vsthost::validation
