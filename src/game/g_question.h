// g_question.h -- a yes/no question in a framed window over the running screen
#pragma once

#include "engine/ec_strings.h"
#include "engine/ec_types.h"

constexpr dword question_yes_id = 1;
constexpr dword question_no_id = 2;

// A window over the whole screen that takes every click and darkens what is under it, put
// under a window that waits for the player (a question, the Workshop's New, Save and Import
// windows): its id, or invalid_id when the toolkit could not make it (it raises why).
dword veil_window_add();
// Opens the question over the screen's own windows: a veil over the whole screen that
// takes every click, and a framed window with the caption, up to two lines of text and
// Yes and No buttons, No focused. The answer closes both windows, then calls on_answer
// (which may switch the screen) as its last action; the window's close button answers
// No. The lines are copied. A question already open is not replaced (false).
bool question_open(dword caption_id, const safestring *line1, const safestring *line2, void (*on_answer)(bool yes));
// True while a question is shown.
bool question_is_open();
// The screen's keys while the question is open: Left, Right and Tab move between Yes
// and No, Return and Space answer the focused one, Y answers Yes and Escape No.
// True when the question is open (every key is its while it is).
bool question_keydown(unsigned virtual_key);
// Forgets the question without answering it: the screen is leaving and has removed
// every window itself.
void question_forget();
