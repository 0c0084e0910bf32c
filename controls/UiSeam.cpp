#include "controls/UiSeam.h"
#include "controls/KitLookAndFeel.h"

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
}
