// The two error reports of texture loading. Both show the modal "Error"
// box (platform/dialog.h) and block until it is closed; neither stops the
// show. Main thread only.
#pragma once

#include <string>

// Receives the system's message text; never cleared between checks.
extern char messageBuffer[1024];

// If the thread's last system error code is non-zero, shows `label`
// immediately followed by the system's text for it. Always resets the code
// to 0, so the next check reports only what was raised after this one.
void checkLastError(const char* label);

// Shows `text` in the "Error" box and returns when the user has closed it.
void showError(const std::string& text);
