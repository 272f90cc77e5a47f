// g_workshop.h -- the Workshop (appmode_workshop): a picture drawn, its clues and its verdict as it is drawn
#pragma once

#include "engine/ec_types.h"
#include "game/workshop/g_workshop_picture.h"
#include "puzzle/pz_fair.h"

#include <string>
#include <vector>

// Button ids: the palette's from ws_tool_id, the column's text buttons from ws_suggest_id.
enum : dword {
    ws_pen_id = 300,
    ws_line_id,
    ws_rect_id,
    ws_mirror_x_id, // left-right
    ws_mirror_y_id, // top-bottom
    ws_invert_id,
    ws_shift_left_id,
    ws_shift_up_id,
    ws_shift_down_id,
    ws_shift_right_id,
    ws_undo_id,
    ws_redo_id,
    ws_clear_id,
    ws_suggest_id = 320,
    ws_save_id,
    ws_puzzles_id,
    ws_copy_id,
    ws_paste_id,
    ws_play_id,
    ws_new_id,
    ws_back_id,
    // The New Picture window.
    ws_width_less_id = 340,
    ws_width_more_id,
    ws_height_less_id,
    ws_height_more_id,
    ws_create_id,
    ws_cancel_id,
    // The Save Picture window.
    ws_title_field_id = 360,
    ws_author_field_id,
    ws_save_now_id,
    ws_save_cancel_id,
};

enum workshop_tool : int { workshop_tool_pen, workshop_tool_line, workshop_tool_rect };

// The picture being drawn and what it is: its title, author and the file it was opened from
// or last saved to ("" for none).
struct workshop_document {
    workshop_picture picture;
    std::string title, author, path;

    bool operator==(const workshop_document &) const = default;
};

// The screen. init loads the board's sheet, makes the buttons and starts the judge on the
// picture; free stops the judge (the picture, its history and the tools stay for the next visit).
void appmode_workshop_init();
void appmode_workshop_free();
void appmode_workshop_update();
// Left draws (the pen toggles the pressed cell and paints its new value along the drag; the
// line and the rectangle fill from the pressed cell to the released one), right clears.
void appmode_workshop_mousemove(int x, int y, unsigned key_flags);
void appmode_workshop_lbutton(bool down);
void appmode_workshop_rbutton(bool down);
// Arrows move the cursor, Space or Z fills (toggles with the pen) and X clears, held while
// moving to paint; Shift+arrows move the picture; P, L, R choose the pen, line and
// rectangle; H and V switch mirroring left-right and top-bottom; I inverts; S suggests;
// Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo; Ctrl+S saves; Escape goes back to the title.
// While the Save Picture window is open, typed characters go into its fields.
void appmode_workshop_keydown(unsigned virtual_key);
void appmode_workshop_keyup(unsigned virtual_key);
void appmode_workshop_keychar(unsigned character);

// The buttons' handlers (the palette's, the column's and the New Picture window's).
void ws_do_button(dword id);

// What the screen holds, for the other screens and tests.
const workshop_document &workshop_current();
workshop_tool workshop_tool_get();
int workshop_mirror_get();
// The cell under the cursor ((-1, -1): none).
void workshop_cursor(int *x, int *y);
// The verdict on the picture as it is now: false while it is being worked out.
bool workshop_verdict(pz_fair_report *out);
// The fix Suggest shows (false: none shown).
bool workshop_fix_shown(pz_fix *out);
// True while a New Picture, Save Picture or question window is open over the screen.
bool workshop_window_open();
// True when the picture, its title or its author differ from what was last opened or saved.
bool workshop_dirty();
// The file at path is gone (deleted from My Puzzles): a picture opened from it is no longer saved anywhere.
void workshop_forget_path(const std::string &path);

// The Save Picture window: opened with the document's title and author to edit; the
// fields as they stand; saving them (what the Save button and Return do). The picture is
// written to the puzzles folder under its title, atomically; another picture's file is
// replaced only after "Replace Picture" is answered Yes; a picture saved under a new
// title leaves its old file. A failure is told in a box and the document stays unsaved.
void workshop_save_open();
void workshop_save_fields(std::string *title, std::string *author);
void workshop_save_set_fields(const std::string &title, const std::string &author);
void workshop_save_confirm();

// Files dropped on the Workshop: a PNG opens the Import Picture window; a puzzle file
// opens its picture as a new one (after asking when the picture there has changes not
// saved). A file that cannot be read is told in a box.
void workshop_drop(const std::vector<std::string> &paths);
// `tombweaver --import picture.png`: the Workshop with the PNG in its Import Picture window.
void workshop_start_import(const std::string &path);

// Opens doc in the Workshop as a new document (its history starts empty; doc counts as saved
// when it has a path). The caller then enters appmode_workshop.
void workshop_set_document(const workshop_document &doc);
