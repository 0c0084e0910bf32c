#include <gtest/gtest.h>
#include "librarian/LibClass.h"
#include "librarian/Lib_Manager_Comp.h"
#include "librarian/Lib_Manager_Win.h"
#include "librarian/Plugin_Bank.h"
#include "support/EditorTestRig.h"
#include <dlfcn.h>

namespace
{
// A bare test X server has no window manager, so the window-manager atoms a
// top-level window names do not exist and Xlib's default handler would end the
// run. A plug-in's host installs no handler either, but there a manager is running.
void tolerateMissingWindowManagerAtoms()
{
    static const bool installed = []
    {
        using Handler = int (*) (void*, void*);
        if (auto* x11 = dlopen ("libX11.so.6", RTLD_NOW | RTLD_NOLOAD))
            if (auto* set = reinterpret_cast<Handler (*) (Handler)> (dlsym (x11, "XSetErrorHandler")))
                set ([] (void*, void*) { return 0; });
        return true;
    }();
    juce::ignoreUnused (installed);
}

Lib_Manager_Win& openWindow (EditorTestRig& rig)
{
    tolerateMissingWindowManagerAtoms();
    rig.main().openLibraryWindow();
    auto* window = rig.main().getLibraryWindow();
    EXPECT_NE (window, nullptr);
    return *window;
}

void clickButton (Lib_Manager_Comp& content, LibBut& button)
{
    ui::click (content, content.getLocalPoint (&button, button.getLocalBounds().getCentre()));
}
}

TEST (LibraryWindowThreads, OpensOnThePresetBankHidesOnDoneAndKeepsItsPage)
{
    EditorTestRig rig;
    rig.open();
    rig.processor->setCurrentProgram (12);

    auto& window = openWindow (rig);
    auto& content = window.getContent();
    EXPECT_TRUE (window.isVisible());
    EXPECT_EQ (content.getPageName(), "PRESET BANK");
    EXPECT_EQ (content.getLibraryPage(), nullptr);
    EXPECT_EQ (content.getPresetBankPage()->getList().getSelectedSlot(), 12);

    // Each page's DONE, and a double click in the preset list, hide the window.
    const std::function<void()> closers[] =
    {
        [&] { clickButton (content, content.getPresetBankPage()->getButton (Plugin_Bank::doneId)); },
        [&] { content.getPresetBankPage()->presetDoubleClicked (0, 0); },
        [&] { clickButton (content, content.getTab (Lib_Manager_Comp::libraryTab));
              clickButton (content, content.getLibraryPage()->getButton (LibClass::doneId)); },
    };
    for (auto& close : closers)
    {
        rig.main().openLibraryWindow();
        ASSERT_TRUE (window.isVisible());
        close();
        EXPECT_FALSE (window.isVisible());
    }

    EXPECT_EQ (&openWindow (rig), &window);   // the same window, on the page it was left on
    EXPECT_EQ (content.getPageName(), "LIBRARY");
    EXPECT_TRUE (content.getLibraryPage()->isVisible());

    // Back on the preset bank, the list follows the host's current program.
    rig.processor->setCurrentProgram (40);
    clickButton (content, content.getTab (Lib_Manager_Comp::presetBankTab));
    EXPECT_FALSE (content.getLibraryPage()->isVisible());
    EXPECT_EQ (content.getPresetBankPage()->getList().getSelectedSlot(), 40);
    EXPECT_GE (40, content.getPresetBankPage()->getList().getFirstRow());
}

TEST (LibraryWindowThreads, OnlyTheHeaderDragsTheWindow)
{
    EditorTestRig rig;
    rig.open();
    auto& window = openWindow (rig);
    auto& content = window.getContent();

    const struct { int y; bool moves; } cases[] = { { 10, true }, { 25, false }, { 12, true } };
    for (auto& c : cases)
    {
        const auto before = window.getPosition();
        ui::drag (content, { 420, c.y }, { 470, c.y + 30 }, 1);
        EXPECT_EQ (window.getPosition(), c.moves ? before + juce::Point<int> (50, 30) : before) << c.y;
    }
}

TEST (LibraryWindowThreads, GoesWithTheEditorWhateverItShows)
{
    for (const bool onLibrary : { false, true })
        for (const bool visible : { true, false })
        {
            EditorTestRig rig;
            rig.open();
            auto& window = openWindow (rig);
            if (onLibrary)
                window.getContent().showLibraryPage();
            window.setVisible (visible);
            juce::Component::SafePointer<juce::Component> watch (&window);
            rig.close();
            EXPECT_TRUE (ui::pumpUntil ([&] { return watch.getComponent() == nullptr; }));
        }
}
