#include "controls/UiSeam.h"
#include "controls/KitLookAndFeel.h"
#include "engine/FileMan.h"
#include "engine/SettingsFiles.h"

namespace
{
UiSeam::MenuHook& menuHook()
{
    static UiSeam::MenuHook hook;
    return hook;
}

UiSeam::ChooserHook& chooserHook()
{
    static UiSeam::ChooserHook hook;
    return hook;
}
}

namespace UiSeam
{
void setMenuHook (MenuHook hook)        { menuHook() = std::move (hook); }
void setChooserHook (ChooserHook hook)  { chooserHook() = std::move (hook); }

void showMenu (juce::PopupMenu menu, juce::Component* target, MenuCallback onResult)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (menuHook())
    {
        menuHook() (std::move (menu), target, std::move (onResult));
        return;
    }

    // The look lives as long as the menu: the callback holds the last reference.
    juce::SharedResourcePointer<KitLookAndFeel> look;
    menu.setLookAndFeel (&look.get());

    juce::Component::SafePointer<juce::Component> safeTarget (target);
    const bool hadTarget = target != nullptr;
    auto options = hadTarget ? juce::PopupMenu::Options().withTargetComponent (target)
                             : juce::PopupMenu::Options();

    menu.showMenuAsync (options, [look, safeTarget, hadTarget, onResult = std::move (onResult)] (int result)
    {
        if (hadTarget && safeTarget == nullptr)
            return;

        if (onResult)
            onResult (result);
    });
}

void chooseFile (bool save, juce::String title, juce::File start, juce::String patterns, FileCallback onResult)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (chooserHook())
    {
        chooserHook() (save, std::move (title), std::move (start), std::move (patterns), std::move (onResult));
        return;
    }

    // The chooser must outlive launchAsync; the callback owns it and lets it go when done.
    auto chooser = std::make_shared<juce::FileChooser> (title, start, patterns);
    const int flags = (save ? juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::warnAboutOverwriting
                            : juce::FileBrowserComponent::openMode)
                    | juce::FileBrowserComponent::canSelectFiles;

    chooser->launchAsync (flags, [chooser, onResult = std::move (onResult)] (const juce::FileChooser& fc) mutable
    {
        auto chosen = fc.getResult();
        if (onResult)
            onResult (chosen);
        juce::MessageManager::callAsync ([chooser] {});   // released after launchAsync's frame has unwound
    });
}

juce::String replaceQuestion (const juce::File& target)
{
    return "Replace " + target.getFileName() + "?";
}

juce::String replaceDetail (const juce::File& target)
{
    return "A file of that name is already in " + target.getParentDirectory().getFullPathName()
           + ". Saving overwrites it.";
}

void chooseSaveFile (int fileTypeCode, juce::File start, ReplaceQuestion ask, FileCallback onTarget)
{
    FileMan dialog;
    dialog.dialogSpec (fileTypeCode);

    chooseFile (true, dialog.getTitle(), start, dialog.getPatterns().joinIntoString (";"),
                [fileTypeCode, ask = std::move (ask), onTarget = std::move (onTarget)] (juce::File chosen)
    {
        if (! onTarget)
            return;

        if (chosen == juce::File())
        {
            onTarget ({});
            return;
        }

        const auto target = FileMan::withSaveExtension (chosen, fileTypeCode);

        // Only a file can be replaced; a write to anything else fails and says so.
        if (target == chosen || SettingsFiles::kindOf (target) != SettingsFiles::Kind::regular)
        {
            onTarget (target);
            return;
        }

        if (! ask)
        {
            onTarget ({});
            return;
        }

        ask (replaceQuestion (target), replaceDetail (target), [target, onTarget] (bool replace)
        {
            onTarget (replace ? target : juce::File());
        });
    });
}
}
