// g_workshop.cpp -- the Workshop: drawing a picture, its clues and its verdict as it is drawn
#include "game/workshop/g_workshop.h"

#include "engine/ec_assert.h"
#include "engine/ec_data_set.h"
#include "engine/ec_memory.h"
#include "game/board/g_necrogram.h"
#include "game/board/g_necrogram_help.h"
#include "game/board/g_necrogram_layout.h"
#include "game/g_game.h"
#include "game/g_question.h"
#include "game/g_strings.h"
#include "game/workshop/g_workshop_files.h"
#include "game/workshop/g_workshop_icons.h"
#include "game/workshop/g_workshop_import.h"
#include "game/workshop/g_workshop_play.h"
#include "game/workshop/g_workshop_share.h"
#include "game/workshop/g_workshop_verdict.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzb.h"
#include "graphics/d3d_kzg.h"
#include "graphics/d3d_main.h"
#include "platform/pf_keys.h"
#include "platform/pf_system.h"
#include "sound/direct_sound.h"
#include "ui/app_modes.h"
#include "ui/ec_cursor.h"
#include "ui/ec_ui.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// The document and its history, kept from one visit to the next.
workshop_document doc;
workshop_document saved; // as last opened or saved: what "unsaved changes" compares with
workshop_history history;
workshop_tool tool = workshop_tool_pen;
int mirror = workshop_mirror_none;

// The stroke in progress (a press until its release): the picture before it, the cell
// pressed, the cell reached and the value painted; the key that paints (0: the mouse).
bool stroking = false;
workshop_picture stroke_before;
int anchor_x = 0, anchor_y = 0, last_x = 0, last_y = 0;
u8 stroke_value = 1;
unsigned paint_key = 0;
int cursor_x = -1, cursor_y = -1; // the cell under the mouse or the keyboard's cursor

// The judge and what it has said about the picture of serial (each change counts one).
std::unique_ptr<workshop_judge> judge;
std::uint64_t serial = 0;
bool have_report = false;
pz_fair_report report;
u32 changed_at = 0;
// Suggest: asked for (the search runs), and the fix it found for this picture.
bool suggesting = false, have_fix = false;
pz_fix fix;

// The board's sheet and a record of the board that shows the picture's clues.
kzg_sprite_data sheet = {};
necrogram_board record;
dword gradient_layer = invalid_id;
dword screen_window = invalid_id;

// The New Picture window: the veil under it, the sizes chosen.
dword veil_window = invalid_id, new_window = invalid_id;
int new_width = 10, new_height = 10;

constexpr u32 colour_black = 0xFF000000;
constexpr u32 colour_white = 0xFFFFFFFF;
constexpr u32 colour_grey = 0xFF808080;
constexpr u32 colour_yellow = 0xFFFFFF00;
constexpr u32 colour_green = 0xFF00FF00;
constexpr u32 colour_ink = 0xFF3C4A30; // dark moss on the pale gradient, as the board's legend
constexpr u32 colour_fair = 0xFF60E070;
constexpr u32 colour_open = 0xFFF0A030; // amber: cells reasoning cannot settle
constexpr u32 colour_note = 0xFFC8C4D8;

// The right-hand column: the title, the palette of square buttons, the text buttons.
constexpr int column_left = necrogram_area_width, column_centre = 1152;
constexpr int palette_x = 1030, palette_y = 52, palette_size = 44, palette_pitch = 50;
constexpr int buttons_y = 214, buttons_pitch = 54;
constexpr int tip_y = 204;

// The palette, five to a row: each button's icon, id, and the tip shown while it is pointed at.
struct palette_entry {
    int icon;
    dword id;
    const char *tip;
};
constexpr palette_entry palette[] = {
    {workshop_icon_pen, ws_pen_id, "Pen (P)"},
    {workshop_icon_line, ws_line_id, "Line (L)"},
    {workshop_icon_rect, ws_rect_id, "Rectangle (R)"},
    {workshop_icon_mirror_x, ws_mirror_x_id, "Mirror left-right (H)"},
    {workshop_icon_mirror_y, ws_mirror_y_id, "Mirror top-bottom (V)"},
    {workshop_icon_invert, ws_invert_id, "Invert (I)"},
    {workshop_icon_left, ws_shift_left_id, "Move left (Shift+Left)"},
    {workshop_icon_up, ws_shift_up_id, "Move up (Shift+Up)"},
    {workshop_icon_down, ws_shift_down_id, "Move down (Shift+Down)"},
    {workshop_icon_right, ws_shift_right_id, "Move right (Shift+Right)"},
    {workshop_icon_undo, ws_undo_id, "Undo (Ctrl+Z)"},
    {workshop_icon_redo, ws_redo_id, "Redo (Ctrl+Y)"},
    {workshop_icon_clear, ws_clear_id, "Clear the picture"},
};
constexpr int num_palette = (int)std::size(palette);
image_button_data palette_buttons[num_palette];

void palette_draw(dword id, int x, int y, int, int state);

constexpr dynamic_button_data column_button(dword string_id, dword id, int row) {
    return {.string_id = string_id,
            .id = id,
            .x = column_centre,
            .y = buttons_y + buttons_pitch * row,
            .block_width = 10,
            .scale = 2,
            .flags = 0,
            .on_click = ws_do_button};
}
dynamic_button_data suggest_button = column_button(str_ws_suggest, ws_suggest_id, 0);
dynamic_button_data save_button = column_button(str_ws_save, ws_save_id, 1);
dynamic_button_data puzzles_button = column_button(str_ws_puzzles, ws_puzzles_id, 2);
dynamic_button_data copy_button = column_button(str_ws_copy, ws_copy_id, 3);
dynamic_button_data paste_button = column_button(str_ws_paste, ws_paste_id, 4);
dynamic_button_data play_button = column_button(str_ws_play, ws_play_id, 5);
dynamic_button_data new_button = column_button(str_ws_new, ws_new_id, 6);
dynamic_button_data back_button = column_button(str_map_back, ws_back_id, 7);

// The buttons in the keyboard's focus order.
const void *shown_buttons[num_palette + 8];
int num_shown_buttons = 0;

// The New Picture window: 30 x 16 slices at scale 2 in the middle of the screen.
constexpr int win_scale = 2, slice = 8 * win_scale;
constexpr s32 new_x1 = 640 - 15 * slice, new_x2 = 640 + 15 * slice;
constexpr s32 new_y1 = 360 - 8 * slice, new_y2 = 360 + 8 * slice;
constexpr int size_button = 40;
image_button_data size_buttons[4] = {
    {.id = ws_width_less_id,
     .x = 200,
     .y = 60,
     .width = size_button,
     .height = size_button,
     .flags = 0,
     .draw = palette_draw,
     .on_click = ws_do_button},
    {.id = ws_width_more_id,
     .x = 360,
     .y = 60,
     .width = size_button,
     .height = size_button,
     .flags = 0,
     .draw = palette_draw,
     .on_click = ws_do_button},
    {.id = ws_height_less_id,
     .x = 200,
     .y = 112,
     .width = size_button,
     .height = size_button,
     .flags = 0,
     .draw = palette_draw,
     .on_click = ws_do_button},
    {.id = ws_height_more_id,
     .x = 360,
     .y = 112,
     .width = size_button,
     .height = size_button,
     .flags = 0,
     .draw = palette_draw,
     .on_click = ws_do_button},
};
dynamic_button_data create_button = {.string_id = str_ws_create,
                                     .id = ws_create_id,
                                     .x = 15 * slice - 6 * slice,
                                     .y = 11 * slice,
                                     .block_width = 6,
                                     .scale = win_scale,
                                     .flags = 0,
                                     .on_click = ws_do_button};
dynamic_button_data cancel_button = {.string_id = str_ws_cancel,
                                     .id = ws_cancel_id,
                                     .x = 15 * slice + 6 * slice,
                                     .y = 11 * slice,
                                     .block_width = 6,
                                     .scale = win_scale,
                                     .flags = 0,
                                     .on_click = ws_do_button};

// The Save Picture window: 40 x 18 slices in the middle of the screen, two fields. The
// buttons' places count from the window's corner, its drawing from inside its frame.
constexpr s32 save_x1 = 640 - 20 * slice, save_x2 = 640 + 20 * slice;
constexpr s32 save_y1 = 360 - 9 * slice, save_y2 = 360 + 9 * slice;
constexpr int field_x = 136, field_width = 460, field_height = 36, field_y[2] = {64, 116};
constexpr int inside_x = slice, inside_y = 3 * slice; // where the drawing's origin lies in the window
dword save_window = invalid_id;
std::string fields[2]; // title, author
int field_focus = 0;
workshop_document pending; // the document a question (Replace, a dropped file) is about

void field_draw(dword id, int x, int y, int, int state);
image_button_data field_buttons[2] = {
    {.id = ws_title_field_id,
     .x = field_x,
     .y = field_y[0],
     .width = field_width,
     .height = field_height,
     .flags = 0,
     .draw = field_draw,
     .on_click = ws_do_button},
    {.id = ws_author_field_id,
     .x = field_x,
     .y = field_y[1],
     .width = field_width,
     .height = field_height,
     .flags = 0,
     .draw = field_draw,
     .on_click = ws_do_button},
};
dynamic_button_data save_now_button = {.string_id = str_ws_save,
                                       .id = ws_save_now_id,
                                       .x = 20 * slice - 6 * slice,
                                       .y = 12 * slice + 8,
                                       .block_width = 6,
                                       .scale = win_scale,
                                       .flags = 0,
                                       .on_click = ws_do_button};
dynamic_button_data save_cancel_button = {.string_id = str_ws_cancel,
                                          .id = ws_save_cancel_id,
                                          .x = 20 * slice + 6 * slice,
                                          .y = 12 * slice + 8,
                                          .block_width = 6,
                                          .scale = win_scale,
                                          .flags = 0,
                                          .on_click = ws_do_button};

bool dirty() { return !(doc == saved); }

// The board record showing the picture's clues: its puzzle is the picture's, its marks
// stay empty (the picture's cells are drawn over it).
void record_load() {
    necrogram_load(&record, doc.picture.width, doc.picture.height, doc.picture.cells.data());
    record.steady_layout = true; // the grid stays put as the clues change
    record.hover_column = cursor_x;
    record.hover_row = cursor_y;
}

// Every change: the clues are redrawn, the judge starts on the new picture, and what was
// said or suggested about the old one goes.
void changed() {
    ++serial;
    have_report = have_fix = suggesting = false;
    changed_at = platform_get_tick_count();
    record_load();
    if (judge)
        judge->judge(doc.picture, serial);
}

// A step that changes the whole picture at once (invert, shift, clear, a fix): one undo step.
template <class F> void whole_step(F &&change) {
    const workshop_picture before = doc.picture;
    change(&doc.picture);
    if (doc.picture == before)
        return;
    workshop_history_push(&history, before);
    changed();
}

// Strokes: a press on a cell, the cells reached while it is held, its release.
void stroke_apply(int x, int y) {
    if (tool == workshop_tool_pen) {
        if (workshop_line(&doc.picture, last_x, last_y, x, y, stroke_value, mirror))
            changed();
    } else {
        workshop_picture shaped = stroke_before;
        if (tool == workshop_tool_line)
            workshop_line(&shaped, anchor_x, anchor_y, x, y, stroke_value, mirror);
        else
            workshop_rect(&shaped, anchor_x, anchor_y, x, y, stroke_value, mirror);
        if (!(shaped == doc.picture)) {
            doc.picture = std::move(shaped);
            changed();
        }
    }
    last_x = x, last_y = y;
}

void stroke_begin(int x, int y, bool fill) {
    if (stroking || !workshop_inside(doc.picture, x, y))
        return;
    stroking = true;
    stroke_before = doc.picture;
    anchor_x = last_x = x;
    anchor_y = last_y = y;
    // The pen toggles the pressed cell, as the board's left button does; the shapes fill.
    stroke_value = !fill ? 0 : tool == workshop_tool_pen ? !workshop_at(doc.picture, x, y) : 1;
    stroke_apply(x, y);
}

void stroke_to(int x, int y) {
    if (!stroking)
        return;
    if (tool == workshop_tool_pen && !workshop_inside(doc.picture, x, y))
        return;
    x = std::clamp(x, 0, doc.picture.width - 1);
    y = std::clamp(y, 0, doc.picture.height - 1);
    if (x != last_x || y != last_y)
        stroke_apply(x, y);
}

void stroke_end() {
    if (!stroking)
        return;
    stroking = false;
    paint_key = 0;
    if (!(doc.picture == stroke_before))
        workshop_history_push(&history, stroke_before);
}

// The cell under a framebuffer position, or (-1, -1).
void cell_at(int px, int py, int *x, int *y) {
    const necrogram_layout l = necrogram_layout_for(&record);
    *x = *y = -1;
    if (px >= l.grid_x && px < l.grid_x + l.grid_width && py >= l.grid_y && py < l.grid_y + l.grid_height) {
        *x = (px - l.grid_x) / l.cell;
        *y = (py - l.grid_y) / l.cell;
    }
}

void set_cursor(int x, int y) {
    cursor_x = x, cursor_y = y;
    record.hover_column = x;
    record.hover_row = y;
}

// Suggest: the first press looks for a fix and shows it; the next applies it.
void suggest_press() {
    if (have_fix && !fix.cells.empty()) {
        const pz_fix applying = fix;
        whole_step([&](workshop_picture *p) {
            for (int c : applying.cells)
                p->cells[(size_t)c] ^= 1;
        });
        return;
    }
    if (suggesting || !judge)
        return;
    suggesting = true;
    judge->suggest();
}

void undo() {
    stroke_end();
    if (workshop_undo(&history, &doc.picture)) {
        if (!workshop_inside(doc.picture, cursor_x, cursor_y))
            set_cursor(-1, -1);
        changed();
    }
}

void redo() {
    stroke_end();
    if (workshop_redo(&history, &doc.picture)) {
        if (!workshop_inside(doc.picture, cursor_x, cursor_y))
            set_cursor(-1, -1);
        changed();
    }
}

// The New Picture window.
void new_window_close() {
    const dword window = new_window, veil = veil_window;
    new_window = veil_window = invalid_id;
    if (window != invalid_id)
        ui_window_remove(window);
    if (veil != invalid_id)
        ui_window_remove(veil);
    ui_mousemove();
}

void new_window_removed() {
    if (new_window == invalid_id)
        return; // closed by a button
    new_window = invalid_id;
    new_window_close();
}

void new_window_draw(int x, int y) {
    char text[16];
    for (int row = 0; row < 2; ++row) {
        const int top = y + size_buttons[2 * row].y - 3 * slice + 12;
        workshop_text(x + 8, top, row == 0 ? "Width" : "Height", colour_white, 2);
        std::snprintf(text, sizeof text, "%d", row == 0 ? new_width : new_height);
        const int w = workshop_text_width(text, 2);
        workshop_text(x + 300 - slice - w / 2, top, text, colour_white, 2);
    }
}

void new_window_open() {
    new_width = doc.picture.width;
    new_height = doc.picture.height;
    veil_window = veil_window_add();
    const window_data frame = {.flags = window_flag_framed | window_flag_filled,
                               .caption_id = str_ws_new_caption,
                               .x1 = new_x1,
                               .y1 = new_y1,
                               .x2 = new_x2,
                               .y2 = new_y2,
                               .scale = win_scale,
                               .draw = new_window_draw,
                               .on_remove = new_window_removed};
    new_window = ui_window_add(&frame);
    if (veil_window == invalid_id || new_window == invalid_id) {
        new_window_close();
        return;
    }
    for (image_button_data &b : size_buttons) {
        b.flags = 0;
        image_button_add(new_window, &b);
    }
    create_button.flags = cancel_button.flags = 0;
    dynamic_button_add(new_window, &create_button);
    dynamic_button_add(new_window, &cancel_button);
    ui_mousemove();
    ui_focus_button(&create_button);
}

void new_picture_answered(bool yes) {
    if (yes)
        new_window_open();
}

// New: asks first when the picture has changes not saved.
void new_press() {
    if (!dirty()) {
        new_window_open();
        return;
    }
    safestring line1, line2;
    safestring_create(&line1, "Start a new picture?");
    safestring_create(&line2, "The changes to this one are not saved.");
    question_open(str_ws_discard_caption, &line1, &line2, new_picture_answered);
}

void create_picture() {
    const int w = new_width, h = new_height;
    new_window_close();
    workshop_set_document({workshop_blank(w, h), "", "", ""});
}

// The Save Picture window.

std::string trimmed(const std::string &text) {
    const size_t first = text.find_first_not_of(' '), last = text.find_last_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

void field_draw(dword id, int x, int y, int, int) {
    const int i = id == ws_title_field_id ? 0 : 1;
    for (int row = y; row < y + field_height; ++row)
        gfx2d_draw_hline(x, x + field_width - 1, row, 0xFF18161F);
    gfx2d_draw_frame(x, y, field_width - 1, field_height - 1, 2,
                     i == field_focus ? workshop_chosen_colour : workshop_frame_colour);
    const int w = workshop_text(x + 10, y + 10, fields[i].c_str(), colour_white, 2, field_width - 30);
    if (i == field_focus && (platform_get_tick_count() / 500) % 2 == 0)
        gfx2d_draw_pixel(x + 12 + w, y + 8, colour_white, 2), gfx2d_draw_vline(x + 12 + w, y + 8, y + 27, colour_white);
}

void save_window_draw(int x, int y) {
    workshop_text(x + 8, y + field_y[0] - inside_y + 10, "Title", colour_white, 2);
    workshop_text(x + 8, y + field_y[1] - inside_y + 10, "Author", colour_white, 2);
    workshop_document named = doc;
    named.title = trimmed(fields[0]);
    const std::string target = workshop_target_path(named);
    std::string note =
        target.empty() ? "There is no folder to keep pictures in." : "Saved as " + workshop_file_name(named.title);
    if (!target.empty() && target != doc.path && platform_path_exists(target.c_str()))
        note += ": another picture has that name";
    else if (!doc.path.empty() && target != doc.path)
        note += " (the old file goes)";
    workshop_text(x + field_x - inside_x, y + field_y[1] + field_height + 10 - inside_y, note.c_str(), colour_note, 1,
                  field_width);
}

void save_window_close() {
    const dword window = save_window, veil = veil_window;
    save_window = veil_window = invalid_id;
    ui_text_entry_set(false);
    if (window != invalid_id)
        ui_window_remove(window);
    if (veil != invalid_id)
        ui_window_remove(veil);
    ui_mousemove();
}

void save_window_removed() {
    if (save_window == invalid_id)
        return;
    save_window = invalid_id;
    save_window_close();
}

void tell(const char *caption, const std::string &text) {
    platform_message_box(caption, text.c_str(), platform_mb_ok, platform_mb_icon_warning);
}

// Writes the document under its title to target; on success it is saved there (and its
// old file, under another title, goes).
void save_to(workshop_document named, const std::string &target) {
    std::string why;
    if (!workshop_write(named, target, &why)) {
        tell("Picture Not Saved",
             "The picture could not be saved to\n" + target + ":\n" + why + "\n\nIt is still here in the Workshop.");
        return;
    }
    if (!named.path.empty() && named.path != target && platform_path_exists(named.path.c_str()) &&
        !workshop_remove(named.path, &why))
        tell("Old File Kept", "The picture is saved as\n" + target + "\nbut its old file could not be removed:\n" +
                                  named.path + "\n" + why);
    named.path = target;
    doc = named;
    saved = doc;
    ui_note_show(("Saved: " + workshop_file_name(doc.title)).c_str());
}

void replace_answered(bool yes) {
    if (yes)
        save_to(pending, workshop_target_path(pending));
}

} // namespace

void workshop_save_open() {
    if (save_window != invalid_id)
        return;
    fields[0] = doc.title;
    fields[1] = doc.author;
    field_focus = 0;
    veil_window = veil_window_add();
    const window_data frame = {.flags = window_flag_framed | window_flag_filled,
                               .caption_id = str_ws_save_caption,
                               .x1 = save_x1,
                               .y1 = save_y1,
                               .x2 = save_x2,
                               .y2 = save_y2,
                               .scale = win_scale,
                               .draw = save_window_draw,
                               .on_remove = save_window_removed};
    save_window = ui_window_add(&frame);
    if (veil_window == invalid_id || save_window == invalid_id) {
        save_window_close();
        return;
    }
    for (image_button_data &b : field_buttons) {
        b.flags = 0;
        image_button_add(save_window, &b);
    }
    save_now_button.flags = save_cancel_button.flags = 0;
    dynamic_button_add(save_window, &save_now_button);
    dynamic_button_add(save_window, &save_cancel_button);
    ui_text_entry_set(true);
    ui_mousemove();
}

void workshop_save_fields(std::string *title, std::string *author) {
    *title = fields[0];
    *author = fields[1];
}

void workshop_save_set_fields(const std::string &title, const std::string &author) {
    fields[0] = title.substr(0, workshop_max_text);
    fields[1] = author.substr(0, workshop_max_text);
}

void workshop_save_confirm() {
    workshop_document named = doc;
    named.title = trimmed(fields[0]);
    named.author = trimmed(fields[1]);
    save_window_close();
    const std::string target = workshop_target_path(named);
    if (target.empty()) {
        tell("Picture Not Saved", "The picture cannot be saved: the game has no folder for its files.");
        return;
    }
    if (target != named.path && platform_path_exists(target.c_str())) {
        pending = named;
        safestring line1, line2;
        safestring_create(&line1, ("Replace the picture saved as " + workshop_file_name(named.title) + "?").c_str());
        safestring_create(&line2, "Another picture is saved under that title.");
        question_open(str_ws_replace_caption, &line1, &line2, replace_answered);
        return;
    }
    save_to(named, target);
}

namespace {

// Drawing.

// The board's pale gradient, a little cooler.
void make_background() {
    gradient_layer = gfx2d_gradient_layer_add({0.84f, 0.86f, 0.84f}, {0.12f, 0.07f, 0.10f}, "workshop gradient");
}

// The grid's lines as the board draws them: between cells, every fifth in yellow, the double border.
void draw_grid_lines(const necrogram_layout &l, int w, int h) {
    const int s = l.cell, gx = l.grid_x, gy = l.grid_y, right = gx + l.grid_width, bottom = gy + l.grid_height;
    for (int i = 0; i < h; ++i)
        gfx2d_draw_hline(gx, right, gy + s * i, colour_grey);
    gfx2d_draw_vlines(gx, s, w, gy, bottom, colour_grey);
    const int guide = s < necrogram_cell_size ? 2 : 1;
    for (int k = 1; 5 * k < h; ++k)
        for (int i = 0; i < guide; ++i)
            gfx2d_draw_hline(gx, right, gy + 5 * s * k - i, colour_yellow);
    if (w > 5)
        for (int i = 0; i < guide; ++i)
            gfx2d_draw_vlines(gx + 5 * s - i, 5 * s, (w - 1) / 5, gy, bottom, colour_yellow);
    for (int i = 0; i < 2; ++i)
        gfx2d_draw_frame(gx - i, gy - i, l.grid_width + 2 * i, l.grid_height + 2 * i, 1, colour_black);
}

// Diagonal hatching over a cell, lines width pixels wide, seen without colour too.
void hatch(int x, int y, int s, u32 colour, int width) {
    u32 *buffer = gfx2d_screen_buffer_rect(x + 1, y + 1, x + s - 1, y + s - 1);
    if (!buffer)
        return;
    for (int j = 1; j < s; ++j)
        for (int i = 1; i < s; ++i)
            if ((i + j) % 5 < width)
                buffer[(y + j) * screen_width + x + i] = colour;
}

void draw_picture() {
    const workshop_picture &p = doc.picture;
    necrogram_draw_record(&record, &sheet, false);
    const necrogram_layout l = necrogram_layout_for(&record);
    const int s = l.cell;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (workshop_at(p, x, y))
                necrogram_draw_tile(&sheet, l.grid_x + s * x, l.grid_y + s * y, necrogram_tile_full, s);
    draw_grid_lines(l, p.width, p.height);

    // The verdict's cells: another picture's differences in red, the cells reasoning cannot
    // settle shaded; a fix's cells ringed in blue.
    if (have_report && report.kind == pz_fairness::several)
        for (int i = 0; i < p.width * p.height; ++i)
            if (report.differ[(size_t)i]) {
                const int x = l.grid_x + s * (i % p.width), y = l.grid_y + s * (i / p.width);
                hatch(x, y, s, necrogram_wrong_colour, 2);
                gfx2d_draw_frame(x + 1, y + 1, s - 2, s - 2, 2, necrogram_wrong_colour);
            }
    if (have_report && report.kind == pz_fairness::guess)
        for (int i = 0; i < p.width * p.height; ++i)
            if (report.open[(size_t)i]) {
                const int x = l.grid_x + s * (i % p.width), y = l.grid_y + s * (i / p.width);
                hatch(x, y, s, colour_open, 1);
                gfx2d_draw_frame(x + 2, y + 2, s - 4, s - 4, 1, colour_open);
            }
    if (have_fix)
        for (int c : fix.cells) {
            const int x = l.grid_x + s * (c % p.width), y = l.grid_y + s * (c / p.width);
            gfx2d_draw_frame(x - 1, y - 1, s + 2, s + 2, s >= 24 ? 4 : 3, necrogram_hint_colour);
        }
    if (workshop_inside(p, cursor_x, cursor_y)) {
        const int x = l.grid_x + s * cursor_x, y = l.grid_y + s * cursor_y;
        gfx2d_draw_frame(x, y, s, s, 1, colour_green);
    }
}

// The verdict strip under the board: a headline and a line of detail.
void draw_verdict() {
    const int top = necrogram_strip_top, bottom = top + necrogram_strip_height;
    gfx2d_fill_rect(0, top + 1, necrogram_area_width - 1, bottom - 1);
    gfx2d_draw_hline(0, necrogram_area_width - 1, top, colour_yellow);
    char head[160] = "", detail[200] = "";
    u32 colour = colour_yellow;
    const bool waiting = judge && judge->busy(serial);
    if (suggesting && !have_fix) {
        std::snprintf(head, sizeof head, "Looking for a change that makes it fair...");
    } else if (have_fix) {
        int fills = 0;
        for (int c : fix.cells)
            fills += !doc.picture.cells[(size_t)c];
        const int clears = (int)fix.cells.size() - fills;
        if (fix.cells.empty() && fix.found) {
            std::snprintf(head, sizeof head, "Nothing to change: the picture is already fair.");
            colour = colour_fair;
        } else if (fix.cells.empty()) {
            std::snprintf(head, sizeof head, "No change of one or two cells was found that makes it fairer.");
            colour = colour_note;
        } else {
            std::string what;
            if (fills)
                what = "fill " + std::to_string(fills) + (fills == 1 ? " cell" : " cells");
            if (clears)
                what += (what.empty() ? "clear " : " and clear ") + std::to_string(clears) +
                        (clears == 1 ? " cell" : " cells");
            if (fix.found)
                std::snprintf(head, sizeof head, "Suggest: %s (ringed) to make it fair.", what.c_str());
            else if (fix.stopped)
                std::snprintf(head, sizeof head, "No fix found in %d seconds; the best so far: %s.",
                              (int)workshop_suggest_seconds, what.c_str());
            else
                std::snprintf(head, sizeof head, "No change of one or two cells makes it fair; the best: %s.",
                              what.c_str());
            std::snprintf(detail, sizeof detail, "%sPress Suggest (S) again to apply it, or draw on.",
                          fix.found ? "" : ("It leaves " + std::to_string(fix.open_after) + " cells open. ").c_str());
            colour = necrogram_hint_colour;
        }
    } else if (!have_report) {
        if (waiting && platform_get_tick_count() - changed_at > 120)
            std::snprintf(head, sizeof head, "Checking...");
    } else {
        switch (report.kind) {
        case pz_fairness::fair: {
            std::string grade = pz_grade_name(report.grading.grade);
            grade[0] = (char)(grade[0] - 'a' + 'A');
            std::snprintf(head, sizeof head, "One solution, no guess: %s, score %d.", grade.c_str(),
                          report.grading.score);
            std::snprintf(detail, sizeof detail, "Reasoning alone solves it, line by line%s.",
                          report.grading.lookahead ? " with look-ahead" : "");
            colour = colour_fair;
            break;
        }
        case pz_fairness::guess:
            std::snprintf(head, sizeof head, "One solution, but it needs a guess.");
            std::snprintf(detail, sizeof detail,
                          "Reasoning cannot settle the %d shaded cells. Suggest (S) looks for a fix.",
                          report.open_count);
            colour = colour_open;
            break;
        case pz_fairness::several:
            std::snprintf(head, sizeof head, "Several solutions: other pictures fit these clues.");
            std::snprintf(detail, sizeof detail,
                          "Another picture differs in the %d cells marked red. Suggest (S) looks for a fix.",
                          report.differ_count);
            colour = necrogram_wrong_colour;
            break;
        case pz_fairness::stopped:
            std::snprintf(head, sizeof head, "Too hard to check in %d seconds.", (int)workshop_verdict_seconds);
            colour = colour_note;
            break;
        }
    }
    workshop_text(12, top + 5, head, colour, 2, necrogram_area_width - 24);
    workshop_text(12, top + 27, detail, colour_note, 1, necrogram_area_width - 24);
}

// The column's head: the picture's title, its size and author; the tip of the palette
// button pointed at; the keys at its foot.
void draw_column() {
    const int width = screen_width - column_left - 12;
    const std::string title = doc.title.empty() ? "Untitled" : doc.title;
    workshop_text(column_left + 6, 8, (title + (dirty() ? "*" : "")).c_str(), colour_black, 2, width);
    std::string line = std::to_string(doc.picture.width) + " x " + std::to_string(doc.picture.height);
    if (!doc.author.empty())
        line += "  by " + doc.author;
    workshop_text(column_left + 6, 30, line.c_str(), colour_ink, 1, width);
    const ui_element *focus = ui_focus_element();
    if (focus && focus->ui_type == ui_type_image_button)
        for (int i = 0; i < num_palette; ++i)
            if (focus->data == &palette_buttons[i])
                workshop_text(column_left + 6, tip_y, palette[i].tip, colour_ink, 1, width);
    const char *keys[] = {"Left fill, Right clear", "Arrows, Space/Z, X: draw", "Shift+Arrows: move picture",
                          "Ctrl+Z undo, Ctrl+Y redo", "Ctrl+C, Ctrl+V: copy, paste code"};
    int y = 650;
    for (const char *k : keys) {
        workshop_text(column_left + 6, y, k, colour_ink, 1, width);
        y += 13;
    }
}

bool chosen(dword id) {
    return (id == ws_pen_id && tool == workshop_tool_pen) || (id == ws_line_id && tool == workshop_tool_line) ||
           (id == ws_rect_id && tool == workshop_tool_rect) ||
           (id == ws_mirror_x_id && (mirror & workshop_mirror_left_right)) ||
           (id == ws_mirror_y_id && (mirror & workshop_mirror_top_bottom));
}

void palette_draw(dword id, int x, int y, int, int state) {
    for (int i = 0; i < num_palette; ++i)
        if (palette[i].id == id) {
            workshop_draw_icon_button(palette[i].icon, x, y, palette_size, palette_size, state, chosen(id));
            return;
        }
    const bool less = id == ws_width_less_id || id == ws_height_less_id;
    workshop_draw_icon_button(less ? workshop_icon_minus : workshop_icon_plus, x, y, size_button, size_button, state,
                              false);
}

void sync_buttons() {
    auto set = [](dword &flags, bool enabled) {
        if (enabled)
            flags &= ~button_flag_disabled;
        else
            flags |= button_flag_disabled;
    };
    for (int i = 0; i < num_palette; ++i) {
        if (palette[i].id == ws_undo_id)
            set(palette_buttons[i].flags, !history.undo.empty());
        else if (palette[i].id == ws_redo_id)
            set(palette_buttons[i].flags, !history.redo.empty());
    }
    set(play_button.flags, workshop_filled_count(doc.picture) > 0); // an empty board would be solved at once
    set(size_buttons[0].flags, new_width > workshop_min_size);
    set(size_buttons[1].flags, new_width < workshop_max_size);
    set(size_buttons[2].flags, new_height > workshop_min_size);
    set(size_buttons[3].flags, new_height < workshop_max_size);
}

void add_shown(const void *button) {
    if (num_shown_buttons < (int)std::size(shown_buttons))
        shown_buttons[num_shown_buttons++] = button;
}

// Takes what the judge has found for the picture as it is now.
void take_results() {
    if (!judge)
        return;
    if (!have_report)
        have_report = judge->verdict(serial, &report);
    if (suggesting && !have_fix && judge->fix(serial, &fix)) {
        have_fix = true;
        suggesting = false;
    }
}

} // namespace

const workshop_document &workshop_current() { return doc; }
workshop_tool workshop_tool_get() { return tool; }
int workshop_mirror_get() { return mirror; }

void workshop_cursor(int *x, int *y) {
    *x = cursor_x;
    *y = cursor_y;
}

bool workshop_verdict(pz_fair_report *out) {
    take_results();
    if (have_report && out)
        *out = report;
    return have_report;
}

bool workshop_fix_shown(pz_fix *out) {
    take_results();
    if (have_fix && out)
        *out = fix;
    return have_fix;
}

bool workshop_window_open() {
    return new_window != invalid_id || save_window != invalid_id || workshop_import_is_open() || question_is_open();
}

void workshop_drop(const std::vector<std::string> &paths) {
    if (paths.empty() || workshop_window_open())
        return;
    const std::string &path = paths.front();
    std::string extension = std::filesystem::path(path).extension().string();
    for (char &c : extension)
        c = (char)std::tolower((unsigned char)c);
    if (extension == ".png") {
        workshop_import_open(path);
        return;
    }
    workshop_document opened;
    std::string why;
    if (!workshop_read(path, &opened, &why)) {
        tell("Picture Not Opened", "This file cannot be opened in the Workshop:\n" + path + "\n" + why + ".");
        return;
    }
    opened.path.clear(); // a copy to save into My Puzzles, the file itself left as it is
    pending = opened;
    if (!dirty()) {
        workshop_set_document(pending);
        return;
    }
    safestring line1, line2;
    safestring_create(&line1, "Open the dropped picture in the Workshop?");
    safestring_create(&line2, "The changes to the one there are not saved.");
    question_open(str_ws_discard_caption, &line1, &line2, [](bool yes) {
        if (yes)
            workshop_set_document(pending);
    });
}

void workshop_start_import(const std::string &path) {
    if (current_app_mode_get() != appmode_workshop)
        set_app_mode(appmode_workshop);
    workshop_import_open(path);
}

bool workshop_dirty() { return dirty(); }

void workshop_forget_path(const std::string &path) {
    if (path.empty() || doc.path != path)
        return;
    doc.path.clear();
    saved.path.clear();
    saved.picture = workshop_blank(doc.picture.width, doc.picture.height); // unsaved now
}

void workshop_set_document(const workshop_document &d) {
    stroke_end();
    doc = d;
    if (doc.picture.width < workshop_min_size || doc.picture.height < workshop_min_size ||
        doc.picture.width > workshop_max_size || doc.picture.height > workshop_max_size ||
        doc.picture.cells.size() != (size_t)(doc.picture.width * doc.picture.height))
        doc.picture = workshop_blank(doc.picture.width, doc.picture.height);
    saved = doc;
    if (doc.path.empty())
        saved.picture =
            workshop_blank(doc.picture.width, doc.picture.height); // a new picture counts as unsaved once drawn on
    workshop_history_clear(&history);
    set_cursor(-1, -1);
    changed();
}

void ws_do_button(dword id) {
    switch (id) {
    case ws_pen_id: tool = workshop_tool_pen; break;
    case ws_line_id: tool = workshop_tool_line; break;
    case ws_rect_id: tool = workshop_tool_rect; break;
    case ws_mirror_x_id: mirror ^= workshop_mirror_left_right; break;
    case ws_mirror_y_id: mirror ^= workshop_mirror_top_bottom; break;
    case ws_invert_id: whole_step(workshop_invert); break;
    case ws_shift_left_id: whole_step([](workshop_picture *p) { workshop_shift(p, -1, 0); }); break;
    case ws_shift_right_id: whole_step([](workshop_picture *p) { workshop_shift(p, 1, 0); }); break;
    case ws_shift_up_id: whole_step([](workshop_picture *p) { workshop_shift(p, 0, -1); }); break;
    case ws_shift_down_id: whole_step([](workshop_picture *p) { workshop_shift(p, 0, 1); }); break;
    case ws_undo_id: undo(); break;
    case ws_redo_id: redo(); break;
    case ws_clear_id:
        whole_step([](workshop_picture *p) { std::fill(p->cells.begin(), p->cells.end(), (u8)0); });
        break;
    case ws_suggest_id: suggest_press(); break;
    case ws_new_id: new_press(); break;
    case ws_save_id: workshop_save_open(); break;
    case ws_puzzles_id: set_app_mode(appmode_my_puzzles); return;
    case ws_play_id: workshop_play(doc, appmode_workshop); return;
    case ws_copy_id: workshop_copy_code(); break;
    case ws_paste_id: workshop_paste_code(); break;
    case ws_title_field_id:
    case ws_author_field_id: field_focus = id == ws_title_field_id ? 0 : 1; break;
    case ws_save_now_id: workshop_save_confirm(); break;
    case ws_save_cancel_id: save_window_close(); break;
    case ws_back_id: set_app_mode(appmode_main_menu); return;
    case ws_width_less_id:
    case ws_width_more_id:
        new_width = std::clamp(new_width + (id == ws_width_more_id ? 1 : -1), workshop_min_size, workshop_max_size);
        break;
    case ws_height_less_id:
    case ws_height_more_id:
        new_height = std::clamp(new_height + (id == ws_height_more_id ? 1 : -1), workshop_min_size, workshop_max_size);
        break;
    case ws_create_id: create_picture(); break;
    case ws_cancel_id: new_window_close(); break;
    default: ec_assert(!"a Workshop button"); break;
    }
    sync_buttons();
}

void appmode_workshop_init() {
    d3d_kzg_load_data(asset_nonoblocks, &sheet);
    make_background();
    screen_window = ui_window_add_fullscreen(nullptr);
    num_shown_buttons = 0;
    for (int i = 0; i < num_palette; ++i) {
        palette_buttons[i] = {.id = palette[i].id,
                              .x = palette_x + palette_pitch * (i % 5),
                              .y = palette_y + palette_pitch * (i / 5),
                              .width = palette_size,
                              .height = palette_size,
                              .flags = 0,
                              .draw = palette_draw,
                              .on_click = ws_do_button};
        image_button_add(screen_window, &palette_buttons[i]);
        add_shown(&palette_buttons[i]);
    }
    for (dynamic_button_data *b : {&suggest_button, &save_button, &puzzles_button, &copy_button, &paste_button,
                                   &play_button, &new_button, &back_button}) {
        b->flags = 0;
        dynamic_button_add(screen_window, b);
        add_shown(b);
    }
    veil_window = new_window = save_window = invalid_id;
    stroking = false;
    paint_key = 0;
    judge = std::make_unique<workshop_judge>();
    changed();
    sync_buttons();
    ui_mousemove();
    main_menu_stop_song();
    game_start_song();
}

void appmode_workshop_free() {
    game_stop_song();
    stroke_end();
    judge.reset(); // cancels its work and waits for its thread
    workshop_import_close();
    if (gradient_layer != invalid_id) {
        gfx2d_background_layer_delete(gradient_layer);
        gradient_layer = invalid_id;
    }
    if (sheet.data)
        d3d_kzg_free_data(&sheet);
    ui_window_remove_all();
    question_forget();
    ui_text_entry_set(false);
    screen_window = veil_window = new_window = save_window = invalid_id;
}

void appmode_workshop_update() {
    frame_timer_update();
    frame_tick_clear();
    sound_update();
    take_results();
    sync_buttons();
    gfx2d_fill_screen(0);
    draw_picture();
    draw_verdict();
    draw_column();
    ui_draw();
    diag_strings_update();
    d3d_render();
}

void appmode_workshop_mousemove(int x, int y, unsigned key_flags) {
    cursor_update_position(x, y);
    ui_mousemove();
    int cx = 0, cy = 0, column = -1, row = -1;
    cursor_get_position(&cx, &cy);
    if (workshop_import_is_open())
        workshop_import_drag(cx, cy, key_flags & mk_lbutton);
    if (workshop_window_open())
        return;
    cell_at(cx, cy, &column, &row);
    if (stroking && paint_key == 0 && (key_flags & (mk_lbutton | mk_rbutton))) {
        // A drag that leaves the grid keeps its last cell; the shapes follow to the edge.
        if (column < 0 && tool != workshop_tool_pen) {
            const necrogram_layout l = necrogram_layout_for(&record);
            column = std::clamp((cx - l.grid_x) / std::max(1, l.cell), 0, doc.picture.width - 1);
            row = std::clamp((cy - l.grid_y) / std::max(1, l.cell), 0, doc.picture.height - 1);
        }
        stroke_to(column, row);
    }
    if (!stroking || paint_key == 0)
        set_cursor(column, row);
}

void appmode_workshop_lbutton(bool down) {
    if (workshop_import_is_open()) {
        int cx = 0, cy = 0;
        cursor_get_position(&cx, &cy);
        workshop_import_drag(cx, cy, down); // a press on the slider takes it at once
    }
    if (!down) {
        if (paint_key == 0)
            stroke_end();
        ui_lbutton(false); // a button's handler may leave the screen here
        return;
    }
    ui_lbutton(true);
    if (workshop_window_open() || stroking)
        return;
    int cx = 0, cy = 0, column = -1, row = -1;
    cursor_get_position(&cx, &cy);
    cell_at(cx, cy, &column, &row);
    if (column >= 0)
        stroke_begin(column, row, true);
}

void appmode_workshop_rbutton(bool down) {
    if (!down) {
        if (paint_key == 0)
            stroke_end();
        return;
    }
    if (workshop_window_open() || stroking)
        return;
    int cx = 0, cy = 0, column = -1, row = -1;
    cursor_get_position(&cx, &cy);
    cell_at(cx, cy, &column, &row);
    if (column >= 0)
        stroke_begin(column, row, false);
}

namespace {

void key_move(int dx, int dy) {
    if (cursor_x < 0) {
        set_cursor(0, 0);
        return;
    }
    set_cursor(std::clamp(cursor_x + dx, 0, doc.picture.width - 1),
               std::clamp(cursor_y + dy, 0, doc.picture.height - 1));
    if (paint_key)
        stroke_to(cursor_x, cursor_y);
}

void key_paint(unsigned key, bool fill) {
    if (stroking)
        return;
    if (cursor_x < 0) {
        set_cursor(0, 0);
        return;
    }
    stroke_begin(cursor_x, cursor_y, fill);
    paint_key = key;
}

void new_window_keydown(unsigned key) {
    switch (key) {
    case vk_escape: new_window_close(); return;
    case vk_return:
        if (!ui_focus_element() || ui_focus_element()->data == &create_button)
            create_picture();
        else
            ui_press_focus();
        return;
    case vk_left:
    case vk_right:
        new_width = std::clamp(new_width + (key == vk_right ? 1 : -1), workshop_min_size, workshop_max_size);
        return;
    case vk_up:
    case vk_down:
        new_height = std::clamp(new_height + (key == vk_up ? 1 : -1), workshop_min_size, workshop_max_size);
        return;
    default: {
        const void *buttons[2] = {&create_button, &cancel_button};
        ui_focus_key(key, buttons, 2);
    }
    }
}

void save_window_keydown(unsigned key) {
    constexpr unsigned backspace = 0x08;
    switch (key) {
    case vk_escape: save_window_close(); break;
    case vk_return:
        if (ui_focus_element() && ui_focus_element()->data == &save_cancel_button)
            save_window_close();
        else
            workshop_save_confirm();
        break;
    case vk_tab:
    case vk_up:
    case vk_down: field_focus = 1 - field_focus; break;
    case backspace:
        if (!fields[field_focus].empty())
            fields[field_focus].pop_back();
        break;
    default: break;
    }
}

} // namespace

void appmode_workshop_keydown(unsigned key) {
    if (platform_key_held(vk_lbutton) || platform_key_held(vk_rbutton))
        return; // the mouse is drawing
    if (question_keydown(key))
        return;
    if (workshop_import_is_open()) {
        workshop_import_keydown(key);
        return;
    }
    if (new_window != invalid_id) {
        new_window_keydown(key);
        sync_buttons();
        return;
    }
    if (save_window != invalid_id) {
        save_window_keydown(key);
        return;
    }
    const bool shift = platform_key_held(vk_shift);
    if (platform_key_held(vk_control)) {
        if (key == 'S') {
            workshop_save_open();
            return;
        }
        if (key == 'C') {
            workshop_copy_code();
            return;
        }
        if (key == 'V') {
            workshop_paste_code();
            return;
        }
        if (key == 'Z' && !shift)
            undo();
        else if (key == 'Z' || key == 'Y')
            redo();
        sync_buttons();
        return;
    }
    if (paint_key && key != vk_left && key != vk_right && key != vk_up && key != vk_down)
        return; // a key is painting: only moving goes with it
    switch (key) {
    case vk_left:
    case vk_right:
    case vk_up:
    case vk_down: {
        const int dx = key == vk_left ? -1 : key == vk_right ? 1 : 0, dy = key == vk_up ? -1 : key == vk_down ? 1 : 0;
        if (shift && !stroking)
            whole_step([dx, dy](workshop_picture *p) { workshop_shift(p, dx, dy); });
        else
            key_move(dx, dy);
        break;
    }
    case vk_space:
    case 'Z': key_paint(key, true); break;
    case 'X': key_paint(key, false); break;
    case 'P': ws_do_button(ws_pen_id); break;
    case 'L': ws_do_button(ws_line_id); break;
    case 'R': ws_do_button(ws_rect_id); break;
    case 'H': ws_do_button(ws_mirror_x_id); break;
    case 'V': ws_do_button(ws_mirror_y_id); break;
    case 'I': ws_do_button(ws_invert_id); break;
    case 'S': ws_do_button(ws_suggest_id); break;
    case vk_escape:
        ws_do_button(ws_back_id); // leaves the screen
        return;
    case vk_tab: ui_focus_key(key, shown_buttons, num_shown_buttons); break;
    case vk_return:
        ui_press_focus(); // may leave the screen
        return;
    default: break;
    }
    sync_buttons();
}

void appmode_workshop_keyup(unsigned key) {
    if (paint_key != 0 && key == paint_key)
        stroke_end();
}

void appmode_workshop_keychar(unsigned character) {
    // The font draws printable ASCII: other characters are not taken into a name.
    if (save_window == invalid_id || character < 0x20 || character >= 0x7F)
        return;
    if (fields[field_focus].size() < workshop_max_text)
        fields[field_focus] += (char)character;
}
