// Ctrl-C (SIGINT) and SIGTERM ask the capture to stop after the frame in
// hand, so that it can close its files properly, instead of ending the
// process at once.
#pragma once

// Installs the handlers; call once, on the main thread.
void watchForInterrupt();
// Whether a stop was asked for, from any thread.
bool interruptRequested();
// The signal that asked, 0 if none: the exit status is 128 plus it.
int interruptSignal();
