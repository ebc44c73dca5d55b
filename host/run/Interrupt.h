// An interrupt (Ctrl-C, SIGINT, SIGTERM) asks a batch to stop; it does not
// end the program, which finishes the photographs in flight first, so that
// no partial or temporary file is left.
#ifndef LUMACUT_HOST_INTERRUPT_H
#define LUMACUT_HOST_INTERRUPT_H

// From now on an interrupt only sets the flag Interrupted() reads (the
// platform's half).
void CatchInterrupts();

bool Interrupted();

// What the platform's half calls from its handler: only an atomic store.
void NoteInterrupt();

#endif
