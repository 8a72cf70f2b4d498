#include "platform/dialog.h"

#include <cstdio>

namespace {
ErrorBoxHandler handler = nullptr;
}

void printErrorToStderr(const char* text) { std::fprintf(stderr, "Error: %s\n", text); }

void setErrorBoxHandler(ErrorBoxHandler newHandler) { handler = newHandler; }

ErrorBoxHandler errorBoxHandler() { return handler; }

void showErrorBox(const char* text) {
    if (handler) {
        handler(text);
        return;
    }
    if (!showPlatformErrorBox(text)) printErrorToStderr(text);
}
