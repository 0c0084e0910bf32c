#pragma once

// The small interfaces through which the list-window controls, the dialog
// panels and the library's list store report to their owners. Every firing
// walks its owner's listener array from the last entry to the first.

class LibBut;
class WinMovCan;

class LibButListener
{
public:
    virtual ~LibButListener() = default;
    virtual void libButClicked (LibBut* source, int id) = 0;
    virtual void libButEntered (LibBut* source, int id) = 0;
    virtual void libButExited (LibBut* source, int id) = 0;
};

// Fired by the text-entry panel: "OK" 1201, "NO" 1200, "Cancel" 1202.
class textmsgListener
{
public:
    virtual ~textmsgListener() = default;
    virtual void okPressed (int commandId, int value) = 0;
    virtual void noPressed (int commandId, int value) = 0;
    virtual void cancelPressed (int commandId, int value) = 0;
};

class StsFileListener
{
public:
    virtual ~StsFileListener() = default;
    // 201: a record was selected (value = record index); 202: the list was rebuilt (value 100).
    virtual void fileListChanged (int code, int value) = 0;
    // Always called with (0, 0).
    virtual void fileListDoubleClicked (int code, int value) = 0;
};

class CatListener
{
public:
    virtual ~CatListener() = default;
    // 0 to 26; 26 is "LIST ALL".
    virtual void categoryChosen (int index) = 0;
};

class winToolListener
{
public:
    virtual ~winToolListener() = default;
    // 120 minimise, 121 toggle full screen, 122 close.
    virtual void windowToolClicked (WinMovCan* source, int code) = 0;
};
