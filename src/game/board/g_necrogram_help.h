// g_necrogram_help.h -- the board screen's help: the Hint button's steps, mistake checking, their drawing
#pragma once

#include "game/board/g_necrogram.h"
#include "game/board/g_necrogram_hints.h"

// The hint's outlines and line tint, and a wrong mark's outline and sign, in the usual palette.
constexpr u32 necrogram_hint_colour = necrogram_palette_usual.hint;
constexpr u32 necrogram_wrong_colour = necrogram_palette_usual.wrong;
// The outline of the marks a line hint's reason rests on, beside the cells it settles.
constexpr u32 necrogram_reason_colour = 0xFFFF9A1E; // amber

// A new board (kept by the screen until the next): its analysis begun on the solver's
// thread (finished within the frame on the built-in sizes), no hint shown. Its hints_used
// counts the hints shown on it.
void necrogram_help_load(const necrogram_board *b);
// Leaving the board: the solver's work on it stops.
void necrogram_help_stop();
// Scripted runs, whose clock is driven by hand: a frame waits for the solver's work to be
// over (within 5 seconds), so that what it shows does not depend on how busy the machine is.
void necrogram_help_wait_whole(bool on);
// Tests of what the board does while its analysis is still running: a held analysis
// starts only once released (or stops when the board is left), and frames do not wait for it.
void necrogram_help_hold_analysis(bool on);
// The player changed the marks (a cell, undo, redo): the hint shown goes.
void necrogram_help_marked();
// The Hint button or key: shows the next step of reasoning; on a step already shown
// (a wrong mark, a line, a look-ahead) applies it as one undo step instead. A revealed
// cell is applied at once. Ignored while a hint is being looked for.
void necrogram_help_press(necrogram_board *b);
// Once a frame: takes the hint or the analysis once the solver's thread has it, waiting
// for it at most a frame's slice ("Thinking..." meanwhile).
void necrogram_help_update(necrogram_board *b);

// Hints shown on this board, and the one shown now (null: none).
int necrogram_hints_used();
const necrogram_hint *necrogram_hint_shown();
bool necrogram_help_thinking();
// The board's analysis (which marks are wrong).
const necrogram_analysis *necrogram_help_analysis();

// Drawing, after the board: wrong marks (mistake checking on) and the hint's line, cells,
// the marks its reason rests on and its text; the count in the right-hand column. (The
// capture banner tells the count itself.)
void necrogram_help_draw_board(const necrogram_board *b, bool captured);
void necrogram_help_draw_column();
