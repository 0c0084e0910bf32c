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

// Shows "replace this file?" on the caller's own question overlay and calls
// answer (true) only when the musician goes ahead; a decline may answer false
// or not at all.
using ReplaceQuestion = std::function<void (juce::String question, juce::String detail,
                                            std::function<void (bool replace)> answer)>;

// A save chooser for a file type code (FileMan), answering the file that will
// really be written: the type's extension is appended when the name lacks one.
// The chooser warned only about the name as typed, so when that made a
// different name and a file of it exists, the question is asked first. An
// empty File when the chooser was cancelled or the question declined.
void chooseSaveFile (int fileTypeCode, juce::File start, ReplaceQuestion ask, FileCallback onTarget);

// The question of chooseSaveFile for a target that exists.
juce::String replaceQuestion (const juce::File& target);
juce::String replaceDetail (const juce::File& target);

// An empty function puts the real one back.
void setMenuHook (MenuHook);
void setChooserHook (ChooserHook);
}
