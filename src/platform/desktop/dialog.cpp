#include "platform/dialog.h"

#include <SDL.h>

bool showPlatformErrorBox(const char* text) {
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", text, nullptr) == 0;
}
