#pragma once

// A bare X server without a window manager lacks atoms the toolkit sets on its
// windows, and the release toolkit leaves X's default handler in place, which
// ends the process on the first error. While one lives, X errors are ignored.
class QuietXErrors
{
public:
    QuietXErrors();
    ~QuietXErrors();
    QuietXErrors (const QuietXErrors&) = delete;
    QuietXErrors& operator= (const QuietXErrors&) = delete;

private:
    void* previous = nullptr;
};
