#include "gfx/error_dialogs.h"

#include "platform/dialog.h"
#include "platform/last_error.h"

char messageBuffer[1024];

void showError(const std::string& text) { showErrorBox(text.c_str()); }

void checkLastError(const char* label) {
    int code = lastErrorCode();
    if (code != 0) {
        formatErrorMessage(code, messageBuffer, sizeof messageBuffer);
        showError(std::string(label) + messageBuffer);
    }
    setLastErrorCode(0);
}
