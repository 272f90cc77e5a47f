// g_workshop_share.h -- sharing a picture as its code: the game id on the clipboard and back
#pragma once

#include "game/workshop/g_workshop.h"

#include <string>

// Reads a game id (blanks and line ends around it are ignored) into a new document whose
// picture fits its clues (the first one found when several do). False with the reason in
// *why, in words a player understands.
bool workshop_document_from_code(const std::string &code, workshop_document *out, std::string *why);

// Copy code: the Workshop's picture's game id onto the clipboard, with a note saying so.
void workshop_copy_code();
// Paste code (the Workshop's button, Ctrl+V there and on the title): the clipboard's code
// opens in the Workshop as a new picture, after asking when the picture there has changes
// not saved. A code that cannot be read is told in a box naming the reason, and nothing
// else changes. True when the code was read.
bool workshop_paste_code();
