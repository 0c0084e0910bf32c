#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

// The one way menus and file choosers are shown: asynchronously, answering a
// callback on the message thread. Tests install hooks so no window opens.
namespace UiSeam
{
using MenuCallback = std::function<void (int result)>;            // 0 = dismissed
using FileCallback = std::function<void (juce::File chosen)>;      // empty File = cancelled

using MenuHook = std::function<void (juce::PopupMenu menu, juce::Component* target, MenuCallback onResult)>;
using ChooserHook = std::function<void (bool save, juce::String title, juce::File start,
                                        juce::String patterns, FileCallback onResult)>;

// Shows the menu at the target (at the mouse when the target is null) with the
// kit look. The callback is not called when the target is deleted first.
void showMenu (juce::PopupMenu menu, juce::Component* target, MenuCallback onResult);

// Opens a native chooser; save choosers warn before overwriting.
void chooseFile (bool save, juce::String title, juce::File start, juce::String patterns, FileCallback onResult);

// An empty function puts the real one back.
void setMenuHook (MenuHook);
void setChooserHook (ChooserHook);
}
