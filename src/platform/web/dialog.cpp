// The "Error" box in the browser: window.alert, which is modal to the page
// as the desktop's box is to the show. It has no title of its own; the
// text is the same.
#include "platform/dialog.h"

#include <emscripten.h>

#include <cstdio>

namespace {
ErrorBoxHandler handler = nullptr;

EM_JS(void, alertText, (const char* text), { window.alert(UTF8ToString(text)); });
}  // namespace

void printErrorToStderr(const char* text) { std::fprintf(stderr, "Error: %s\n", text); }

void setErrorBoxHandler(ErrorBoxHandler newHandler) { handler = newHandler; }

ErrorBoxHandler errorBoxHandler() { return handler; }

void showErrorBox(const char* text) {
    if (handler) {
        handler(text);
        return;
    }
    alertText(text);
}
