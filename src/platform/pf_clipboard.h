// pf_clipboard.h -- the desktop's clipboard, for text
#pragma once

#include <string>

// Puts text on the clipboard; false when there is no clipboard to put it on (no video
// system yet). Where the display has no clipboard of its own (a dummy driver), the
// text is kept for this program alone.
bool platform_clipboard_set(const std::string &text);
// The clipboard's text, "" when it holds none (or something other than text).
std::string platform_clipboard_get();
