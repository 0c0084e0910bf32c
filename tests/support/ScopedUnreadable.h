#pragma once

#include <juce_core/juce_core.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes a file unreadable while it lives. The folders stay open to everyone, and
// root, who reads anything, reads and writes as nobody meanwhile.
class ScopedUnreadable
{
public:
    ScopedUnreadable (const juce::File& f, bool active) : file (f), on (active)
    {
        if (! on)
            return;
        chmod (file.getParentDirectory().getFullPathName().toRawUTF8(), 0777);
        chmod (file.getParentDirectory().getParentDirectory().getFullPathName().toRawUTF8(), 0755);
        chmod (file.getFullPathName().toRawUTF8(), 0);
        if (geteuid() == 0)
            setfsuid (65534);
    }

    ~ScopedUnreadable()
    {
        if (! on)
            return;
        if (geteuid() == 0)
            setfsuid (0);
        chmod (file.getFullPathName().toRawUTF8(), 0644);
    }

private:
    juce::File file;
    bool on;
};
