// The editor against a synthesizer: the plug-in's stored ports name the
// simulated device's, a bank receive and a bank transmit are started from the
// editor as a user starts them, and the editor or the whole instance goes
// while programs are still on their way.
#include "SimulatedDevice.h"
#include "Validate.h"
#include "ValidateWindow.h"

#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <set>

namespace vsthost::validation
{
namespace
{
SimulatedDevice& device()   { return SimulatedDevice::get(); }

// Where the editor shows its commands at the size it first opens at.
constexpr int banksX = 267 + 23, banksY = 11;            // top bar, "BANKS"
constexpr int recvX = 267 + 5 * 46 + 23, recvY = 11;     // top bar, "RECV"
constexpr int bankMidiX = 280 + 35, bankMidiY = 54 + 20 + 9;   // bank selector, "MIDI"

// The progress overlay's CANCEL, from the editor's centre.
constexpr int progressCancelX = -200 + 319 + 30, progressCancelY = -20 + 40 + 12;

// Items of the bank selector's MIDI menu, from 0 at the top; a separator follows item 2.
constexpr int receiveAllUserBanks = 1, transmitAllUserBanks = 4;
constexpr int menuItemHeight = 20, menuSeparatorHeight = 10, menuBorder = 3;

int menuItemTop (int item)
{
    return menuBorder + item * menuItemHeight + (item > 2 ? menuSeparatorHeight : 0);
}

// Overlays and menus are drawn in these colours.
constexpr uint32_t menuHighlight = 0x808080, questionBox = 0x191919;

// Menus come and go on the editor's own connection: hold the server while
// looking, so that no window vanishes between two questions about it.
struct ServerGrab
{
    Display* display;
    explicit ServerGrab (XSession& x) : display (x.display)   { XGrabServer (display); }
    ~ServerGrab()
    {
        XUngrabServer (display);
        XFlush (display);
    }
};

// Whether w, a child of `under`, exists and shows; asked without an error for a window already gone.
bool viewable (XSession& x, ::Window under, ::Window w, XWindowAttributes& a)
{
    ::Window root = 0, up = 0, *kids = nullptr;
    unsigned count = 0;
    bool exists = false;
    if (XQueryTree (x.display, under, &root, &up, &kids, &count) != 0)
        for (unsigned i = 0; i < count && ! exists; ++i)
            exists = kids[i] == w;
    if (kids != nullptr)
        XFree (kids);
    return exists && XGetWindowAttributes (x.display, w, &a) != 0 && a.map_state == IsViewable;
}

// Top-level windows that show and take no window manager, with their areas: menus and their shadows.
std::map<::Window, long> popupWindows (XSession& x)
{
    const ServerGrab grab (x);
    std::map<::Window, long> found;
    ::Window root = 0, up = 0, *kids = nullptr;
    unsigned count = 0;
    if (XQueryTree (x.display, DefaultRootWindow (x.display), &root, &up, &kids, &count) != 0)
        for (unsigned i = 0; i < count; ++i)
        {
            XWindowAttributes a {};
            if (XGetWindowAttributes (x.display, kids[i], &a) != 0 && a.map_state == IsViewable && a.override_redirect)
                found[kids[i]] = (long) a.width * a.height;
        }
    if (kids != nullptr)
        XFree (kids);
    return found;
}

// Pixels of a column of a window (a child of `under`), top to bottom; none when it is not showing.
std::vector<uint32_t> column (XSession& x, ::Window under, ::Window w, int px, int fromY, int rows)
{
    const ServerGrab grab (x);
    XWindowAttributes a {};
    if (! viewable (x, under, w, a))
        return {};
    return grabPixels (x, w, px, fromY, 1, std::min (rows, a.height - fromY));
}

// The first row of the menu's highlight, -1 while none shows.
int highlightedTop (XSession& x, ::Window menu)
{
    const auto pixels = column (x, DefaultRootWindow (x.display), menu, 12, 0, 4096);
    const auto at = std::find (pixels.begin(), pixels.end(), menuHighlight);
    return at == pixels.end() ? -1 : (int) (at - pixels.begin());
}

void pressKey (XSession& x, AEffect* e, ::Window w, KeySym key)
{
    for (const bool press : { true, false })
    {
        sendKey (x, w, press, key);
        x.idle (e, 2);
    }
}

// Opens the editor and waits until it has started: it asks the device for its globals.
std::string openStarted (XSession& x, AEffect* e, ::Window parent)
{
    const int before = device().globalRequests();
    if (auto reason = openEditor (x, e, parent); ! reason.empty())
        return reason;
    if (! x.idleUntil (e, [&] { return device().globalRequests() > before; }))
        return "the opened editor did not ask the device for its globals " + x.waited();
    return {};
}

// The first opening of an instance shows the splash over everything: open
// once more, so that clicks reach the page.
std::string openPastSplash (XSession& x, AEffect* e, ::Window parent)
{
    if (auto reason = openStarted (x, e, parent); ! reason.empty())
        return reason;
    if (auto reason = closeEditor (x, e, parent); ! reason.empty())
        return reason;
    return openStarted (x, e, parent);
}

// "BANKS", the bank selector's "MIDI", then that item of its menu.
std::string chooseBankMidiItem (XSession& x, AEffect* e, ::Window parent, int item)
{
    const auto window = editorWindow (x, parent);

    // The selector covers the page: judged against the page as painted and still.
    if (auto reason = waitForPage (x, e, parent); ! reason.empty())
        return reason;
    const auto grabPage = [&] { return grabPixels (x, window, 100, 100, 600, 300); };
    if (! x.holdsStill (e, grabPage))
        return "the page kept changing " + x.waited();
    const auto page = grabPage();
    click (x, e, window, banksX, banksY);
    if (! x.idleUntil (e, [&] { return pixelDifference (grabPage(), page) > 0.2; }))
        return fmt ("BANKS showed no bank selector %s: %.0f%% of the page changed", x.waited().c_str(),
                    100.0 * pixelDifference (grabPage(), page));
    if (! x.holdsStill (e, grabPage))
        return "the bank selector kept changing " + x.waited();

    const auto before = popupWindows (x);
    ::Window menu = 0;
    const auto menuShown = [&]
    {
        // The largest new one: a drop shadow may be a window of its own.
        long largest = 0;
        for (const auto& [w, area] : popupWindows (x))
            if (before.count (w) == 0 && area > largest)
            {
                largest = area;
                menu = w;
            }
        return menu != 0;
    };
    click (x, e, window, bankMidiX, bankMidiY);
    if (! x.idleUntil (e, menuShown))
        return "the bank selector's MIDI menu did not open " + x.waited();

    // The pointer rests on the item until the menu highlights it, as a user's
    // would; the menu follows the pointer itself, so a slow machine only waits.
    const int top = menuItemTop (item), y = top + menuItemHeight / 2, px = 30;
    {
        const ServerGrab grab (x);
        XWindowAttributes a {};
        if (! viewable (x, DefaultRootWindow (x.display), menu, a))
            return "the MIDI menu closed by itself";
        pointTo (x, menu, px, y);
    }
    if (! x.idleUntil (e, [&] { return highlightedTop (x, menu) == top; }))
        return fmt ("the MIDI menu did not highlight the item under the pointer %s (highlight at %d, item at %d)",
                    x.waited().c_str(), highlightedTop (x, menu), top);

    // Return picks the highlighted item. Sent once: a second one would answer the
    // question the item asks.
    pressKey (x, e, window, XK_Return);
    if (! x.idleUntil (e, [&] { return popupWindows (x).count (menu) == 0; }))
        return "the MIDI menu stayed open after Return " + x.waited();
    return {};
}

// Answers the editor's question ("Transmit all user banks?") with its go-ahead button.
std::string goAhead (XSession& x, AEffect* e, ::Window parent)
{
    int w = 0, h = 0;
    editorRect (e, w, h);
    const auto window = editorWindow (x, parent);
    const auto asked = [&]
    {
        const auto pixels = column (x, parent, window, w / 2 - 226, h / 2 - 71, 1);
        return ! pixels.empty() && pixels[0] == questionBox;
    };
    if (! x.idleUntil (e, asked))
        return "the editor asked nothing before transmitting " + x.waited();
    click (x, e, window, w / 2 - 55, h / 2 + 50);
    if (! x.idleUntil (e, [&] { return ! asked(); }))
        return "the question stayed up after a click on its go-ahead button " + x.waited();
    return {};
}

// The editor answers a click and reaches the device: "RECV" asks for the edit buffer.
std::string editorWorks (XSession& x, AEffect* e, ::Window parent)
{
    if (auto reason = waitForPage (x, e, parent); ! reason.empty())
        return reason;
    const int before = device().editBufferRequests();
    click (x, e, editorWindow (x, parent), recvX, recvY);
    if (! x.idleUntil (e, [&] { return device().editBufferRequests() > before; }))
        return "a click on RECV reached no device " + x.waited();
    return {};
}

// Waits for a count to stop moving, which it must once nothing drives it any
// more: still for longer than a transmit waits between two programs.
bool settles (XSession& x, AEffect* e, const std::function<int()>& count)
{
    return x.holdsStill (e, count, std::chrono::milliseconds (800), 80);
}

// After an instance has gone, nothing of it may reach the device.
std::string quietAfterClose (XSession& x, const std::function<int()>& count, const char* what)
{
    if (device().hasReceiver())
        return "the device still has a receiver after effClose";
    const int atClose = count();
    if (! x.idleWhile (nullptr, [&] { return count() == atClose; }, std::chrono::milliseconds (300), 30))
        return fmt ("%d %s reached the device after effClose", count() - atClose, what);
    return {};
}

enum class Transfer { receive, transmit };
enum class Closing { editor, instance };

std::string closeMidTransfer (XSession& x, Library& lib, Transfer transfer, Closing closing)
{
    Problems p;
    auto a = std::make_unique<Instance> (lib.entry);
    if (! device().hasReceiver())
        return "the plug-in did not open the stored input port";
    int w = 0, h = 0;
    editorRect (*a, w, h);
    const auto parent = x.createParent (w, h);
    if (auto reason = openPastSplash (x, *a, parent); ! reason.empty())
    {
        a.reset();
        x.destroy (parent);
        return reason;
    }

    // Programs asked for and answered, or programs sent: what moves while the transfer runs.
    const std::function<int()> progress = transfer == Transfer::receive ? [] { return device().answered(); }
                                                                        : [] { return device().programDumps(); };
    const std::function<int()> traffic = transfer == Transfer::receive ? [] { return device().programRequests(); }
                                                                       : [] { return device().programDumps(); };
    const int start = progress(), requests = device().programRequests();

    if (transfer == Transfer::receive)
        p.addAll (chooseBankMidiItem (x, *a, parent, receiveAllUserBanks), "Receive All User Banks");
    else
    {
        p.addAll (chooseBankMidiItem (x, *a, parent, transmitAllUserBanks), "Transmit All User Banks");
        if (p.count == 0)
            p.addAll (goAhead (x, *a, parent), "Transmit All User Banks");
    }

    if (p.count == 0 && ! x.idleUntil (*a, [&] { return progress() >= start + 3; }))
        p.add (fmt ("the transfer did not get going: %d programs moved %s", progress() - start, x.waited().c_str()));
    if (transfer == Transfer::receive && device().programRequests() == requests)
        p.add ("the device saw no program request");
    if (transfer == Transfer::receive && device().lastRequestedBank() != 0)
        p.add (fmt ("a receive of the user banks asked for bank %d", device().lastRequestedBank()));

    if (closing == Closing::editor)
    {
        p.addAll (closeEditor (x, *a, parent), "closed mid-transfer");
        p.addAll (openStarted (x, *a, parent), "reopened");
        if (transfer == Transfer::transmit)
        {
            // The reopened editor shows the transmit still running, and its CANCEL ends it.
            if (! x.idleUntil (*a, [&] { return pageCovered (x, editorWindow (x, parent)); }))
                p.add ("the reopened editor showed no progress over its page " + x.waited());
            click (x, *a, editorWindow (x, parent), w / 2 + progressCancelX, h / 2 + progressCancelY);
            if (! settles (x, *a, traffic))
                p.add ("CANCEL on the reopened editor's progress did not stop the transmit " + x.waited());
        }
        p.addAll (editorWorks (x, *a, parent), "reopened");
        // A reopened editor ends a receive; a transmit goes on until the instance goes.
        if (transfer == Transfer::receive && ! settles (x, *a, traffic))
            p.add ("the receive went on after the editor was reopened " + x.waited());
        p.addAll (closeEditor (x, *a, parent), "reopened");
        a.reset();
    }
    else
    {
        a.reset();   // effClose with the editor open, programs on their way
        if (! x.idleUntil (nullptr, [&] { return x.children (parent) == 0; }))
            p.add ("the editor stayed after effClose");
    }
    p.addAll (quietAfterClose (x, traffic, transfer == Transfer::receive ? "requests" : "programs"), "");

    // A new instance on the same ports works as before.
    if (closing == Closing::instance)
    {
        Instance b (lib.entry);
        p.addAll (openPastSplash (x, b, parent), "new instance");
        p.addAll (editorWorks (x, b, parent), "new instance");
        p.addAll (closeEditor (x, b, parent), "new instance");
    }
    x.destroy (parent);
    return p.str();
}

void deviceGroup (Reporter& r, Library& lib, std::mt19937&)
{
    if (! displaySet())
        return;

    XSession x;
    if (! x.open())
        return;

    // The stored ports name the device's; the editor opens at its first size.
    const SettingsFileSwap ports ("pro12plports.dat", simulatedDevicePorts());
    const SettingsFileSwap geometry ("pro12ltwh.dat", std::nullopt);

    r.check ("device.closeEditorDuringBankReceive",
             withXErrors (x, [&] { return closeMidTransfer (x, lib, Transfer::receive, Closing::editor); }));
    r.check ("device.closeInstanceDuringBankReceive",
             withXErrors (x, [&] { return closeMidTransfer (x, lib, Transfer::receive, Closing::instance); }));
    r.check ("device.closeEditorDuringTransmit",
             withXErrors (x, [&] { return closeMidTransfer (x, lib, Transfer::transmit, Closing::editor); }));
    r.check ("device.closeInstanceDuringTransmit",
             withXErrors (x, [&] { return closeMidTransfer (x, lib, Transfer::transmit, Closing::instance); }));
}
} // namespace

const ValidationGroup deviceChecks { "device", 10, deviceGroup };
} // namespace vsthost::validation
