// pf_clipboard.cpp -- the clipboard through SDL
#include "platform/pf_clipboard.h"

#include <SDL.h>

bool platform_clipboard_set(const std::string &text) { return SDL_SetClipboardText(text.c_str()) == 0; }

std::string platform_clipboard_get() {
    if (!SDL_HasClipboardText())
        return "";
    char *text = SDL_GetClipboardText();
    if (!text)
        return "";
    std::string copy(text);
    SDL_free(text);
    return copy;
}
