// The editor, headless and in a real window.
#include "Validate.h"
#include "ValidateWindow.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace vsthost::validation
{
namespace
{
void editorGroup (Reporter& r, Library& lib, std::mt19937& rng)
{
    r.check ("editor.rectHeadless", [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        int w0 = 0, h0 = 0;
        for (int k = 0; k < 5; ++k)
        {
            int w = 0, h = 0;
            if (! editorRect (a, w, h))
            {
                p.add (fmt ("query %d: no size", k));
                continue;
            }
            if (w <= 0 || h <= 0 || w > 8192 || h > 8192)
                p.add (fmt ("size %dx%d", w, h));
            if (k == 0)
            {
                w0 = w;
                h0 = h;
                std::fprintf (stderr, "note: editor size %dx%d\n", w, h);
            }
            else if (w != w0 || h != h0)
                p.add (fmt ("size changed from %dx%d to %dx%d between queries", w0, h0, w, h));
        }
        return p.str();
    });

    if (! displaySet())
    {
        std::fprintf (stderr, "note: DISPLAY not set: the editor was not opened in a window\n");
        return;
    }

    XSession x;
    if (! x.open())
    {
        r.check ("editor.window", [&] { return fmt ("DISPLAY is %s but it cannot be opened", std::getenv ("DISPLAY")); });
        return;
    }

    r.check ("editor.window", withXErrors (x, [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        int w = 0, h = 0;
        if (! editorRect (a, w, h))
            return "no editor size";
        auto parent = x.createParent (w, h);
        for (int cycle = 0; cycle < 6; ++cycle)
        {
            if (cycle >= 3)
            {
                // Later cycles get a new window each time, as hosts that rebuild their frames do.
                x.destroy (parent);
                parent = x.createParent (w, h);
            }
            if (auto reason = openEditor (x, a, parent); ! reason.empty())
            {
                p.add (fmt ("cycle %d: %s", cycle, reason.c_str()));
                dispatch (a, effEditClose);
                continue;
            }
            x.idle (a, 5);
            int w2 = 0, h2 = 0;
            if (! editorRect (a, w2, h2) || w2 != w || h2 != h)
                p.add (fmt ("cycle %d: the size reads %dx%d while open", cycle, w2, h2));
            p.addAll (closeEditor (x, a, parent), fmt ("cycle %d", cycle));
        }
        x.destroy (parent);
        return p.str();
    }));

    // A host that keeps the last window reparented into its own and moves it
    // again when it next opens an editor (before the new window's notice
    // arrives) must find a live window there, or it gets BadWindow, and some
    // hosts end on that. The editor's own window dies with the host's.
    r.check ("editor.lastWindowInHostOutlivesIt", withXErrors (x, [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        ::Window stale = 0;
        for (int cycle = 0; cycle < 2; ++cycle)
        {
            const auto parent = openInNewParent (x, a, p, fmt ("cycle %d", cycle));
            const auto own = editorWindow (x, parent);
            if (! x.idleUntil (a, [&] { return x.lastReparentedInto[parent] != 0 && x.lastReparentedInto[parent] != own; }))
                p.add (fmt ("cycle %d: the last window put into the host's window is the editor's own, which dies with it", cycle));
            stale = x.lastReparentedInto[parent];
            // An embedding socket maps and sizes every window that entered it, by
            // its id, also once it has left: that window must not come into view
            // anywhere (an invisible one the editor's size would swallow clicks
            // and leave what it covers unpainted).
            if (stale != 0 && stale != own)
            {
                XMapWindow (x.display, stale);
                XResizeWindow (x.display, stale, 400, 300);
                XSync (x.display, False);
                XWindowAttributes lent {};
                x.idle (a, 3);
                if (XGetWindowAttributes (x.display, stale, &lent) != 0 && lent.map_state == IsViewable)
                {
                    int rootX = 0, rootY = 0;
                    ::Window child = 0;
                    XTranslateCoordinates (x.display, stale, DefaultRootWindow (x.display), 0, 0, &rootX, &rootY, &child);
                    p.add (fmt ("cycle %d: the window put into the host's window comes into view at %d,%d when the host maps it",
                                cycle, rootX, rootY));
                }
            }
            p.addAll (closeEditor (x, a, parent), fmt ("cycle %d", cycle));
            x.destroy (parent);
            x.lastReparentedInto.erase (parent);

            XWindowAttributes attributes {};
            if (stale == 0 || XGetWindowAttributes (x.display, stale, &attributes) == 0)
            {
                p.add (fmt ("cycle %d: the last window put into the host's window is gone once the host's window is", cycle));
                continue;
            }
            XMoveWindow (x.display, stale, 0, 0);
            XSync (x.display, False);
        }
        return p.str();
    }));

    // A window of another program (a file chooser, a menu) that closes over
    // the editor leaves it to repaint what it uncovered, when the X server says so.
    r.check ("editor.repaintsWhatAWindowUncovers", withXErrors (x, [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        const auto parent = openInNewParent (x, a, p, "");
        const auto own = editorWindow (x, parent);
        const int left = 20, top = 120, width = 300, height = 150;
        constexpr uint32_t coverColour = 0xFF00FFu;   // the editor draws nothing in it

        int rootX = 0, rootY = 0;
        ::Window child = 0;
        XTranslateCoordinates (x.display, own, DefaultRootWindow (x.display), left, top, &rootX, &rootY, &child);
        // As the screen shows it: what the editor painted, or what is left of the cover.
        const auto shareOfCover = [&]
        {
            const auto pixels = grabPixels (x, DefaultRootWindow (x.display), rootX, rootY, width, height);
            if (pixels.empty())
                return 1.0;
            size_t covered = 0;
            for (const auto pixel : pixels)
                covered += pixel == coverColour ? 1 : 0;
            return (double) covered / (double) pixels.size();
        };
        XSetWindowAttributes attributes {};
        attributes.override_redirect = True;
        attributes.background_pixel = coverColour;
        const auto cover = XCreateWindow (x.display, DefaultRootWindow (x.display), rootX, rootY, (unsigned) width,
                                          (unsigned) height, 0, CopyFromParent, InputOutput, CopyFromParent,
                                          CWOverrideRedirect | CWBackPixel, &attributes);
        XMapRaised (x.display, cover);
        XSync (x.display, False);
        if (! x.idleUntil (a, [&] { return shareOfCover() > 0.99; }))
            p.add ("the covering window never showed over the editor");
        x.destroy (cover);
        if (! x.idleUntil (a, [&] { return shareOfCover() == 0.0; }))
            p.add (fmt ("%.0f%% of what the closed window uncovered still shows it", 100.0 * shareOfCover()));
        p.addAll (closeEditor (x, a, parent), "");
        x.destroy (parent);
        return p.str();
    }));

    r.check ("editor.parametersWhileOpen", withXErrors (x, [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        const auto parent = openInNewParent (x, a, p, "");
        for (int i = 0; i < numParams; ++i)
        {
            a->setParameter (a, i, std::uniform_real_distribution<float> (0.0f, 1.0f) (rng));
            if (i % 50 == 0)
                x.idle (a, 1);
        }
        for (int prog : { 0, 50, 98 })
        {
            dispatch (a, effSetProgram, 0, prog);
            x.idle (a, 3);
        }
        p.addAll (closeEditor (x, a, parent), "");
        x.destroy (parent);
        return p.str();
    }));

    r.check ("editor.twoInstances", withXErrors (x, [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry), b (lib.entry);
        int w = 0, h = 0;
        editorRect (a, w, h);
        const auto pa = x.createParent (w, h), pb = x.createParent (w, h);
        p.addAll (openEditor (x, a, pa), "first");
        p.addAll (openEditor (x, b, pb), "second");
        for (int k = 0; k < 10; ++k)
        {
            a->setParameter (a, k, 0.3f);
            b->setParameter (b, k, 0.7f);
            x.idle (a, 1);
            x.idle (b, 1);
        }
        p.addAll (closeEditor (x, a, pa), "first");
        x.idle (b, 3);
        p.addAll (closeEditor (x, b, pb), "second");
        x.destroy (pa);
        x.destroy (pb);
        return p.str();
    }));

    r.check ("editor.whileProcessing", withXErrors (x, [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        const auto parent = openInNewParent (x, a, p, "");
        prepare (a, 48000.0, 256);
        resume (a);
        std::atomic<bool> done { false };
        std::string audioProblem;
        AEffect* e = a;
        const unsigned seed = rng();
        std::thread audio ([e, seed, &done, &audioProblem]
        {
            std::mt19937 local (seed);
            for (int b = 0; b < 1500; ++b)
            {
                e->setParameter (e, (int) (local() % numParams), std::uniform_real_distribution<float> (0.0f, 1.0f) (local));
                if (auto reason = runBlock (e, 256, local); ! reason.empty() && audioProblem.empty())
                    audioProblem = reason;
            }
            done = true;
        });
        while (! done)
            x.idle (a, 1);
        audio.join();
        suspend (a);
        p.addAll (audioProblem, "audio");
        p.addAll (closeEditor (x, a, parent), "");
        x.destroy (parent);
        return p.str();
    }));

    r.check ("editor.randomState", withXErrors (x, [&]() -> std::string
    {
        Problems p;
        Instance a (lib.entry);
        Bytes bank ((size_t) bankSize), prog ((size_t) programSize);
        for (auto& c : bank)
            c = (char) rng();
        for (auto& c : prog)
            c = (char) rng();
        std::memcpy (bank.data(), bankHeader.data(), bankHeader.size());
        std::memcpy (prog.data(), programHeader.data(), programHeader.size());
        setChunk (a, false, bank);
        dispatch (a, effSetProgram, 0, 17);
        setChunk (a, true, prog);
        const auto parent = openInNewParent (x, a, p, "");
        x.idle (a, 10);
        dispatch (a, effSetProgram, 0, 60);
        x.idle (a, 5);
        p.addAll (closeEditor (x, a, parent), "");
        x.destroy (parent);
        return p.str();
    }));

    // Some hosts close the plug-in without effEditClose; repeated because what goes wrong there may be a race.
    r.check ("editor.closeInstanceWithEditorOpen", withXErrors (x, [&]() -> std::string
    {
        Problems p;
        for (int cycle = 0; cycle < 4; ++cycle)
        {
            auto a = std::make_unique<Instance> (lib.entry);
            const auto parent = openInNewParent (x, *a, p, fmt ("cycle %d", cycle));
            x.idle (*a, 3);
            a.reset();
            if (! x.idleUntil (nullptr, [&] { return x.children (parent) == 0; }))
                p.add (fmt ("cycle %d: the editor window stayed in the host's window after effClose", cycle));
            x.destroy (parent);
        }
        return p.str();
    }));
}
} // namespace

const ValidationGroup editorChecks { "editor", 6, editorGroup };
} // namespace vsthost::validation
