#pragma once

#include "engine/ParameterTable.h"

// The engine's listener interfaces on their own, for controls that need no more of the engine.
class MidiCntrState;

// Told after an engine event was queued (on the thread that queued it).
class MidiCntrStateListener
{
public:
    virtual ~MidiCntrStateListener() = default;
    virtual void midiCntrStateChanged (MidiCntrState* source) = 0;
};

// Told after a UI command was queued.
class stateListener
{
public:
    virtual ~stateListener() = default;
    virtual void stateChanged() = 0;
    virtual void handleStateEvent (int event) = 0;
};

// The single edit entry: every change of a parameter, whatever its source, passes here.
class CableListener
{
public:
    virtual ~CableListener() = default;
    virtual void parameterChanged (ParameterId id, int value, bool endGestureNow, bool sendToDevice, bool notifyEditor) = 0;
};
