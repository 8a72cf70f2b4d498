// The "Error" box in the browser: window.alert, which is modal to the page
// as the desktop's box is to the show. It has no title of its own; the
// text is the same.
#include "platform/dialog.h"

#include <emscripten.h>

namespace {
EM_JS(void, alertText, (const char* text), { window.alert(UTF8ToString(text)); });
}  // namespace

bool showPlatformErrorBox(const char* text) {
    alertText(text);
    return true;
}
