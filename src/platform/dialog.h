// The modal "Error" box: one OK button, no owner window; returns once the
// user has closed it. Where no box can be shown (no display), the text goes
// to stderr as "Error: <text>".
//
// Tests and the capture tool replace the box with a handler of their own, so
// that nothing blocks. Main thread only.
#pragma once

void showErrorBox(const char* text);

typedef void (*ErrorBoxHandler)(const char* text);
// A null handler restores the real box.
void setErrorBoxHandler(ErrorBoxHandler handler);
// The handler in place, null for the real box.
ErrorBoxHandler errorBoxHandler();

// A handler that prints "Error: <text>" to stderr, for runs without a person.
void printErrorToStderr(const char* text);

// The platform's own box (platform/desktop, platform/web), which
// showErrorBox calls when no handler is set; false where none can be shown.
bool showPlatformErrorBox(const char* text);
