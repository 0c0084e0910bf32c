/* MIDI ports lent by the host process. A host that wants to stand in for the
   computer's MIDI devices exports, with C linkage,

       const VantorHostMidiPorts* vantorHostMidiPorts (void);

   The plug-in looks the function up once, in the process's global scope; when
   it is there and its ports have this version or a later one, the plug-in
   offers exactly these two ports instead of the system's MIDI devices. Only
   plain C types cross: the host and the plug-in share no objects. */
#ifndef VANTOR_HOST_MIDI_H
#define VANTOR_HOST_MIDI_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VANTOR_HOST_MIDI_VERSION 1
#define VANTOR_HOST_MIDI_SYMBOL "vantorHostMidiPorts"

/* Raw MIDI bytes from the port: any cut of the stream, running status and
   real-time bytes included; a SysEx message may span several calls. */
typedef void (*VantorHostMidiReceiver) (void* context, const unsigned char* bytes, size_t size);

typedef struct VantorHostMidiPorts
{
    int version;                /* VANTOR_HOST_MIDI_VERSION */
    const char* inputName;      /* the port the plug-in receives from; NULL or "" for none */
    const char* outputName;     /* the port the plug-in sends to; NULL or "" for none */

    /* One or more whole messages, from any thread; copies the bytes and returns
       without waiting for the wire. Never calls the receiver itself. */
    void (*send) (const unsigned char* bytes, size_t size);

    /* Installs the one receiver, called on a thread of the host's; a NULL
       receiver detaches. Detaching is final: once it returns, no call into the
       old receiver runs or starts, so its context may be freed. */
    void (*setReceiver) (VantorHostMidiReceiver receiver, void* context);
} VantorHostMidiPorts;

typedef const VantorHostMidiPorts* (*VantorHostMidiPortsFunction) (void);

#ifdef __cplusplus
}
#endif

#endif
