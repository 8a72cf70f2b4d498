#include "platform/last_error.h"

#include <cstring>

namespace {
thread_local int lastCode = 0;

// strerror_r comes in two flavours; these overloads take whichever the C
// library declares.
[[maybe_unused]] const char* messageFrom(int result, const char* buffer) { return result == 0 ? buffer : ""; }
[[maybe_unused]] const char* messageFrom(const char* result, const char*) { return result; }
}  // namespace

int lastErrorCode() { return lastCode; }

void setLastErrorCode(int code) { lastCode = code; }

void formatErrorMessage(int code, char* buffer, size_t size) {
    if (size == 0) return;
    char scratch[256] = {0};
    const char* text = messageFrom(strerror_r(code, scratch, sizeof scratch), scratch);
    std::strncpy(buffer, text, size - 1);
    buffer[size - 1] = '\0';
}
