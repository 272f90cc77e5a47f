// g_necrogram.cpp -- the necrogram screen: the board drawn, mouse and keys turned into marks
#include "game/board/g_necrogram.h"

#include "engine/ec_assert.h"
#include "engine/ec_data_set.h"
#include "engine/ec_memory.h"
#include "engine/ec_settings.h"
#include "engine/ec_strings.h"
#include "game/board/g_board_client.h"
#include "game/board/g_necrogram_draw.h"
#include "game/board/g_necrogram_help.h"
#include "game/board/g_necrogram_palette.h"
#include "game/g_game.h"
#include "game/g_strings.h"
#include "graphics/d3d_font.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzb.h"
#include "graphics/d3d_kzg.h"
#include "graphics/d3d_main.h"
#include "platform/pf_keys.h"
#include "platform/pf_pad.h"
#include "platform/pf_system.h"
#include "sound/direct_sound.h"
#include "ui/app_modes.h"
#include "ui/ec_cursor.h"
#include "ui/ec_particles.h"
#include "ui/ec_ui.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// The board shown (empty until the screen first loads one). Static: paint_mark lives
// on from one board to the next.
necrogram_board board;
// The capture is recorded: the board is finished and its picture is shown.
bool captured = false;
int reveal_ticks = 0; // frame ticks since the capture

// The client whose puzzle the board plays (null: none, an empty board).
const board_client *client = nullptr;
// The clock: seconds of play on this board, the wall clock since the board was entered
// less the time the window was inactive meanwhile, on top of the time kept from earlier
// visits; it stops at the capture.
double play_seconds = 0;
double clock_base_seconds = 0; // kept from earlier visits
bool clock_running = false;    // on the board, not captured
u32 clock_start = 0;
std::uint64_t clock_inactive_at_start = 0;

bool board_empty() { return board.width <= 0 || board.height <= 0; }

// The time of play up to now, while the board is not captured.
void clock_update() {
    if (!clock_running)
        return;
    const u32 wall = platform_get_tick_count() - clock_start;
    const std::uint64_t inactive = window_inactive_ms() - clock_inactive_at_start;
    play_seconds = clock_base_seconds + (wall > inactive ? (double)(wall - inactive) / 1000.0 : 0.0);
}

void clock_start_at(double seconds) {
    clock_base_seconds = play_seconds = seconds;
    clock_running = true;
    clock_start = platform_get_tick_count();
    clock_inactive_at_start = window_inactive_ms();
}

// The solve beat the puzzle's best time (the client said so at the capture).
bool new_best = false;
void show_play_next();

// The moment the board is solved the capture is recorded and saved; from then on the
// board is finished (nothing but leaving changes it).
void capture_if_solved() {
    if (captured || !board.solved || board_empty())
        return;
    clock_update();
    clock_running = false;
    captured = true;
    reveal_ticks = 0;
    necrogram_stroke_end(&board);
    if (client) {
        client->captured(&board, play_seconds);
        new_best = client->new_best && client->new_best();
    }
    show_play_next();
}

// What the client last heard of the marks: a change of any of these is a change of marks
// (or of the hints used).
struct marks_seen {
    s32 steps = 0, done = 0, changes = 0, hints = 0;
    bool operator==(const marks_seen &) const = default;
};
marks_seen seen_marks;

marks_seen marks_now() {
    return {board.history.num_steps, board.history.num_done, board.history.num_changes, board.hints_used};
}

// Tells the client of a change of marks since it last heard.
void notice_marks() {
    const marks_seen now = marks_now();
    if (now == seen_marks)
        return;
    seen_marks = now;
    if (client && client->marked)
        client->marked(&board);
}

// "m:ss" of whole seconds.
void format_time(char *out, size_t size, double seconds) {
    const long whole = (long)seconds;
    std::snprintf(out, size, "%ld:%02ld", whole / 60, whole % 60);
}
// Times the screen was entered: whether a step through a list entered it again.
int entries = 0;

// The list the board's puzzle is part of: its place and length (0 of 1: no list).
void list_place(int *index, int *count) {
    *index = 0, *count = 1;
    if (client && client->list_place && client->step)
        client->list_place(index, count);
}

} // namespace

const necrogram_board *necrogram_shown() { return &board; }
bool necrogram_solved() { return board.solved; }
u8 necrogram_get_mark(int row, int column) { return necrogram_mark_at(&board, row, column); }

void necrogram_get_hover(int *column, int *row) {
    if (column)
        *column = board.hover_column;
    if (row)
        *row = board.hover_row;
}

void necrogram_update_hover(int x, int y) {
    board.hover_column = board.hover_row = -1;
    const necrogram_layout l = necrogram_layout_for(&board);
    if (x >= l.grid_x && x < l.grid_x + l.grid_width && y >= l.grid_y && y < l.grid_y + l.grid_height) {
        board.hover_column = (x - l.grid_x) / l.cell;
        board.hover_row = (y - l.grid_y) / l.cell;
    }
}

bool necrogram_captured() { return captured; }
bool necrogram_new_best() { return captured && new_best; }

void necrogram_client_set(const board_client *c) { client = c; }
const board_client *necrogram_client() { return client; }

double necrogram_play_seconds() {
    clock_update();
    return play_seconds;
}

void necrogram_keep_progress() {
    if (captured || board_empty() || !client)
        return;
    clock_update();
    client->keep(&board, play_seconds);
}

void necrogram_do_exit(dword id) {
    if (!ec_assert(id == ng_exit_id))
        return;
    necrogram_keep_progress();
    // The board is nobody's once left, until a client hands it a puzzle again.
    const board_client *leaving = client;
    client = nullptr;
    if (leaving)
        leaving->leave();
}

void necrogram_do_undo(dword id) {
    if (!ec_assert(id == ng_undo_id) || captured)
        return;
    necrogram_undo(&board);
    necrogram_help_marked();
    notice_marks();
    capture_if_solved();
}

void necrogram_do_redo(dword id) {
    if (!ec_assert(id == ng_redo_id) || captured)
        return;
    necrogram_redo(&board);
    necrogram_help_marked();
    notice_marks();
    capture_if_solved();
}

void necrogram_do_step(dword id) {
    if (!ec_assert(id == ng_previous_id || id == ng_next_id))
        return;
    int index = 0, count = 1;
    list_place(&index, &count);
    const int delta = id == ng_next_id ? 1 : -1;
    if (index + delta < 0 || index + delta >= count)
        return;
    necrogram_keep_progress(); // the unfinished board first
    const int entries_before = entries;
    if (client->step(delta) && entries == entries_before)
        set_app_mode(appmode_necrogram); // the list's puzzle onto the board
}

void necrogram_do_hint(dword id) {
    if (!ec_assert(id == ng_hint_id) || captured)
        return;
    necrogram_help_press(&board);
    notice_marks();
    capture_if_solved();
}

void necrogram_do_play_next(dword id) {
    if (!ec_assert(id == ng_play_next_id) || !captured || !client || !client->next)
        return;
    const int entries_before = entries;
    if (client->next() && entries == entries_before)
        set_app_mode(appmode_necrogram); // the next puzzle onto the board
}

// The screen.

namespace {

kzg_sprite_data nonoblocks_sprite = {};
dword full_sound = invalid_id;
dword cross_sound = invalid_id;
dword pave_sound = invalid_id;
dword gradient_layer = invalid_id;

constexpr u32 colour_black = 0xFF000000;
constexpr u32 colour_white = 0xFFFFFFFF;
constexpr u32 colour_yellow = 0xFFFFFF00;
constexpr u32 colour_legend = 0xFF3C4A30; // dark moss, readable on the pale gradient
constexpr u32 colour_lit = 0xFFF4F1E4;    // a legend line lit on the moss

// The right-hand column: the legend at the top, Undo, Redo and Map at the bottom
// (x is a button's centre, y its top).
constexpr int column_centre = 1152;
constexpr int legend_left = 1040, legend_top = 30, legend_pitch = 21, legend_action_x = 1040 + 104;

// A text button of the right-hand column, with its top at y.
constexpr dynamic_button_data column_button(dword string_id, dword id, s32 y, void (*on_click)(dword)) {
    return {.string_id = string_id,
            .id = id,
            .x = column_centre,
            .y = y,
            .block_width = 10,
            .scale = 2,
            .flags = 0,
            .on_click = on_click};
}

dynamic_button_data exit_button = column_button(str_ng_exit, ng_exit_id, 656, necrogram_do_exit);
dynamic_button_data undo_button = column_button(str_ng_undo, ng_undo_id, 536, necrogram_do_undo);
dynamic_button_data redo_button = column_button(str_ng_redo, ng_redo_id, 596, necrogram_do_redo);
// The Hint button: the second click of a double click leaves the step it showed in sight
// (a later click applies it), so that the step is seen before it is applied.
constexpr u32 double_click_ms = 500;
u32 hint_clicked_at = 0;
bool hint_clicked_before = false;
void hint_button_clicked(dword id) {
    const u32 now = platform_get_tick_count();
    const bool second = hint_clicked_before && now - hint_clicked_at < double_click_ms && necrogram_hint_shown();
    hint_clicked_at = now;
    hint_clicked_before = true;
    if (!second)
        necrogram_do_hint(id);
}
dynamic_button_data hint_button = column_button(str_ng_hint, ng_hint_id, 476, hint_button_clicked);
// A solved board's Next, in Hint's place.
dynamic_button_data play_next_button = column_button(str_ng_play_next, ng_play_next_id, 476, necrogram_do_play_next);
dword board_window = invalid_id;
bool play_next_shown = false;
// The client's part of the column: the caption from free_column_top, the time at
// free_column_time_y (or under a caption of more lines), the list's buttons under it.
constexpr int free_column_top = 294, free_column_time_y = 346;
// The client's list: the previous and the next puzzle ("<" and ">"), side by side above the
// hints used, 96 pixels wide and 16 apart.
constexpr int step_button_y = 378;
dynamic_button_data previous_button = {.string_id = str_ng_previous,
                                       .id = ng_previous_id,
                                       .x = column_centre - 56,
                                       .y = step_button_y,
                                       .block_width = 2,
                                       .scale = 2,
                                       .flags = 0,
                                       .on_click = necrogram_do_step};
dynamic_button_data next_button = {.string_id = str_ng_next,
                                   .id = ng_next_id,
                                   .x = column_centre + 56,
                                   .y = step_button_y,
                                   .block_width = 2,
                                   .scale = 2,
                                   .flags = 0,
                                   .on_click = necrogram_do_step};

// The fill or cross key held since it marked a cell: moving paints until it is released.
unsigned paint_key = 0;

// Creates one of the board's sounds into *id, which must be empty.
void load_sound(dword *id, const char *filename, bool was_empty) {
    if (!was_empty)
        return; // still loaded: keep it rather than lose it
    *id = sound_create(filename);
}

// The sound of a change (unless the player switched sounds off); a full mark also
// bursts sparks at (x, y). A change that solves the board records the capture.
void play_effect(necrogram_effect effect, int x, int y) {
    if (effect != necrogram_effect_none)
        necrogram_help_marked();
    notice_marks();
    capture_if_solved();
    dword sound = invalid_id;
    switch (effect) {
    case necrogram_effect_none: return;
    case necrogram_effect_full:
        particle_burst(x, y);
        sound = full_sound;
        break;
    case necrogram_effect_cross: sound = cross_sound; break;
    case necrogram_effect_pave: sound = pave_sound; break;
    }
    if (sound != invalid_id && settings_get().sounds)
        sound_play(sound, false);
}

// A change made with the mouse: the sparks start at the cursor.
void play_mouse_effect(necrogram_effect effect) {
    int x = 0, y = 0;
    cursor_get_position(&x, &y);
    play_effect(effect, x, y);
}

// A change made with the keys: the sparks start in the middle of the hovered cell.
void play_key_effect(necrogram_effect effect) {
    const necrogram_layout l = necrogram_layout_for(&board);
    play_effect(effect, l.grid_x + l.cell * board.hover_column + l.cell / 2,
                l.grid_y + l.cell * board.hover_row + l.cell / 2);
}

// Undo and Redo are shown disabled when there is nothing to take back or bring back.
void sync_history_buttons() {
    auto set = [](dynamic_button_data &button, bool enabled) {
        if (enabled)
            button.flags &= ~button_flag_disabled;
        else
            button.flags |= button_flag_disabled;
    };
    set(undo_button, !captured && necrogram_can_undo(&board));
    set(redo_button, !captured && necrogram_can_redo(&board));
    set(hint_button, !captured && !board_empty());
    int index = 0, count = 1;
    list_place(&index, &count);
    set(previous_button, index > 0);
    set(next_button, index + 1 < count);
    set(play_next_button, captured && (count <= 1 || index + 1 < count));
}

// Once the board is solved, Hint gives its place to Next when the client has a next puzzle.
void show_play_next() {
    if (!captured || !client || !client->next || board_window == invalid_id || play_next_shown)
        return;
    play_next_shown = true;
    ui_button_set_shown(&hint_button, false);
    play_next_button.flags = 0;
    dynamic_button_add(board_window, &play_next_button);
    ui_mousemove();
}

void necrogram_make_background() {
    gradient_layer = gfx2d_gradient_layer_add({0.8666667f, 0.87058824f, 0.79607844f},
                                              {0.12549019f, 0.06666666f, 0.10196078f}, "necrogram gradient");
}

// The keys, two columns in the bitmap font: the key, then what it does; while a pad is in use,
// the pad's buttons instead.
void draw_legend() {
    const bool pad = platform_pad_in_use();
    const int lines =
        pad ? num_ng_pad_legend_lines : num_ng_legend_lines + num_ng_legend_help_lines + num_ng_legend_more_lines;
    for (int i = 0; i < lines; ++i) {
        const int y = legend_top + legend_pitch * i;
        const int help = i - num_ng_legend_lines, more = help - num_ng_legend_help_lines;
        const dword first = pad        ? str_ng_pad_legend_first + 2 * (dword)i
                            : help < 0 ? str_ng_legend_first + 2 * (dword)i
                            : more < 0 ? str_ng_legend_help_first + 2 * (dword)help
                                       : str_ng_legend_more_first + 2 * (dword)more;
        const safestring *key = safestring_get_from_id(first);
        // Escape (the pad's Start) leaves for the client's own screen, in its words.
        const bool escape = client && (pad ? i == num_ng_pad_legend_lines - 1
                                           : first == str_ng_legend_first + 2 * (num_ng_legend_lines - 1));
        const safestring *action = safestring_get_from_id(escape ? client->escape_label : first + 1);
        if (!key || !action)
            return;
        // Mistake checking's line stands out, dark, for as long as the checking is on.
        const bool check = pad ? i == num_ng_pad_legend_lines - 2 : first == str_ng_legend_check;
        const bool lit = check && settings_get().mistake_check;
        if (lit)
            necrogram_fill(legend_left - 6, y - 3, screen_width - legend_left, legend_pitch - 1, colour_legend);
        gfx2d_draw_string(legend_left, y, key, lit ? colour_lit : colour_black, 2);
        gfx2d_draw_string(legend_action_x, y, action, lit ? colour_lit : colour_legend, 2);
    }
}

// Breaks text into lines of at most width pixels at scale, between words (a word wider than
// a line is cut); empty when more than max_lines would be needed.
std::vector<std::string> column_lines(const std::string &text, int scale, int width, int max_lines) {
    std::vector<std::string> lines;
    safestring *s = scratch_string();
    auto fits = [&](const std::string &line) {
        safestring_create(s, line.c_str());
        return gfx2d_strlen(s, scale) <= width;
    };
    std::string rest = text;
    while (!rest.empty()) {
        if ((int)lines.size() == max_lines)
            return {};
        size_t cut = rest.size();
        while (cut > 1 && !fits(rest.substr(0, cut))) {
            const size_t space = rest.rfind(' ', cut - 1);
            cut = space != std::string::npos && space > 0 ? space : cut - 1;
        }
        lines.push_back(rest.substr(0, cut));
        const size_t next = rest.find_first_not_of(' ', cut);
        rest = next == std::string::npos ? "" : rest.substr(next);
    }
    return lines;
}

// UTF-8 text as the font shows it, centred on the column from y: at scale 2 on up to two lines
// (and max_lines) when it fits, else at scale 1 on up to max_lines, the last ending in "..."
// when the rest does not fit. The next free y.
int draw_column_text(const char *utf8, int y, u32 colour, int max_lines) {
    constexpr int column_width = screen_width - necrogram_area_width - 16;
    const std::string text = text_for_font(utf8);
    int scale = 2;
    std::vector<std::string> lines = column_lines(text, 2, column_width, std::min(2, max_lines));
    if (lines.empty()) {
        scale = 1;
        lines = column_lines(text, 1, column_width, 99);
        if (lines.size() > (size_t)max_lines && max_lines > 0) {
            lines.resize((size_t)max_lines);
            std::string &last = lines.back();
            safestring *s = scratch_string();
            do {
                if (!last.empty())
                    last.pop_back();
                safestring_create(s, (last + "...").c_str());
            } while (!last.empty() && gfx2d_strlen(s, 1) > column_width);
            last += "...";
        }
    }
    safestring *s = scratch_string();
    for (const std::string &line : lines) {
        safestring_create(s, line.c_str());
        gfx2d_draw_string(column_centre - gfx2d_strlen(s, scale) / 2, y, s, colour, scale);
        y += 10 * scale;
    }
    return y + 4;
}

// The client's part of the column, under the legend: the puzzle's caption, its note (the
// rule of a puzzle with several pictures, say), and the time.
void draw_client_column() {
    if (!client)
        return;
    int y = free_column_top;
    if (const std::string caption = client->caption ? client->caption() : ""; !caption.empty())
        y = draw_column_text(caption.c_str(), y, colour_black, 2);
    if (const std::string note = client->note ? client->note() : ""; !note.empty())
        y = draw_column_text(note.c_str(), y, colour_legend, 1);
    if (!client->timed)
        return;
    char time[24], line[40];
    format_time(time, sizeof time, play_seconds);
    std::snprintf(line, sizeof line, "Time %s", time);
    draw_column_text(line, std::max(y, free_column_time_y), colour_legend, 1);
}

// Text centred on x at y in colour; its width in pixels.
int draw_centred(const std::string &text, int x, int y, u32 colour, int scale) {
    safestring *s = scratch_string();
    safestring_create(s, text.c_str());
    const int width = gfx2d_strlen(s, scale);
    gfx2d_draw_string(x - width / 2, y, s, colour, scale);
    return width;
}

int text_width(const std::string &text, int scale) {
    safestring *s = scratch_string();
    safestring_create(s, text.c_str());
    return gfx2d_strlen(s, scale);
}

constexpr u32 colour_slab = 0xFF2C2A3C;
constexpr u32 colour_ink = 0xFFE8E2CC;
constexpr u32 colour_best = 0xFF7CFF6A; // "New best time!"
constexpr int card_size = 224;          // the picture's square on the banner

// The finished picture drawn large: its filled cells in pale ink on a slab with a yellow
// frame, a square of size pixels from (x, y).
void draw_picture_card(int x, int y, int size) {
    for (int r = y; r < y + size; ++r)
        gfx2d_draw_hline(x, x + size - 1, r, colour_slab);
    for (int i = 0; i < 2; ++i) {
        gfx2d_draw_hline(x + i, x + size - 1 - i, y + i, colour_yellow);
        gfx2d_draw_hline(x + i, x + size - 1 - i, y + size - 1 - i, colour_yellow);
        gfx2d_draw_vline(x + i, y + i, y + size - 1 - i, colour_yellow);
        gfx2d_draw_vline(x + size - 1 - i, y + i, y + size - 1 - i, colour_yellow);
    }
    const int cell = std::max(1, (size - 24) / std::max(board.width, board.height));
    const int left = x + (size - cell * board.width) / 2, top = y + (size - cell * board.height) / 2;
    for (int r = 0; r < board.height; ++r)
        for (int c = 0; c < board.width; ++c)
            if (necrogram_mark_at(&board, r, c) == mark_full)
                gfx2d_draw_pixel(left + c * cell, top + r * cell, colour_ink, cell);
}

// The capture banner: across the middle of the whole framebuffer at first, the picture
// large beside it, then sliding down and narrowing into a strip under the board's area,
// clear of the picture. It names the picture, says "Captured!" (a timed board: "Solved in
// m:ss"), a new best time and the hints used, all at the font's full size or larger.
void draw_banner() {
    const int slide = std::clamp(reveal_ticks - necrogram_reveal_hold, 0, necrogram_reveal_end - necrogram_reveal_hold);
    const int span = necrogram_reveal_end - necrogram_reveal_hold;
    auto between = [&](int from, int to) { return from + (to - from) * slide / span; };
    const int w = between(screen_width, necrogram_area_width);
    const int top = between(necrogram_banner_top, necrogram_strip_top);
    const int bottom = top + between(necrogram_banner_height, necrogram_strip_height);
    gfx2d_fill_rect(0, top + 1, w - 1, bottom - 1);
    gfx2d_draw_hline(0, w - 1, top, colour_yellow);
    gfx2d_draw_hline(0, w - 1, bottom, colour_yellow);

    std::string headline = "Captured!";
    if (client && client->timed) {
        char time[24];
        format_time(time, sizeof time, play_seconds);
        headline = std::string("Solved in ") + time;
    }
    std::string name = client && client->picture_name ? client->picture_name() : "";
    if (name.empty() && client && client->banner)
        name = client->banner();
    const int hints = necrogram_hints_used();
    const std::string hints_line =
        hints <= 0 ? "" : std::to_string(hints) + (hints == 1 ? " hint used" : " hints used");
    const std::string best = new_best ? "New best time!" : "";

    if (bottom - top < 80) {
        // The strip: one line, with the name when it fits.
        auto joined = [&](bool with_name) {
            std::string line = headline;
            for (const std::string &part : {with_name ? name : std::string(), best, hints_line})
                if (!part.empty())
                    line += " - " + part;
            return line;
        };
        std::string line = joined(true);
        if (text_width(line, 2) > w - 16)
            line = joined(false);
        const int scale = text_width(line, 2) <= w - 16 ? 2 : 1;
        draw_centred(line, w / 2, top + (bottom - top) / 2 - 4 * scale, colour_yellow, scale);
        return;
    }
    // Across the middle: the picture at the left of the board's area while the banner holds,
    // the lines centred in the room right of it.
    int text_centre = w / 2;
    if (slide == 0) {
        constexpr int card_x = 232;
        draw_picture_card(card_x, (top + bottom) / 2 - card_size / 2, card_size);
        text_centre = (card_x + card_size + necrogram_area_width) / 2;
    }
    const int height = bottom - top;
    if (!name.empty())
        draw_centred(name, text_centre, top + height * 16 / 128, colour_white, 2);
    draw_centred(headline, text_centre, top + height * 56 / 128, colour_yellow, 3);
    // Under it: a new best time in green, the hints used in yellow.
    const int gap = 24;
    const int best_width = best.empty() ? 0 : text_width(best, 2);
    const int hints_width = hints_line.empty() ? 0 : text_width(hints_line, 2);
    const int both = best_width + hints_width + (best_width && hints_width ? gap : 0);
    const int y = top + height * 96 / 128;
    if (best_width)
        draw_centred(best, text_centre - both / 2 + best_width / 2, y, colour_best, 2);
    if (hints_width)
        draw_centred(hints_line, text_centre + both / 2 - hints_width / 2, y, colour_yellow, 2);
}

// The client's lesson over the board: a black panel edged in yellow above the board, its
// text wrapped on up to three lines; the cells it points at framed in white.
void draw_lesson() {
    const std::string text = client && client->lesson ? client->lesson() : "";
    if (text.empty() || board_empty())
        return;
    const necrogram_layout l = necrogram_layout_for(&board);
    if (client->lesson_cell && !captured)
        for (int r = 0; r < board.height; ++r)
            for (int c = 0; c < board.width; ++c)
                if (client->lesson_cell(r, c))
                    for (int i = 2; i < 4; ++i) {
                        const int x = l.grid_x + l.cell * c, y = l.grid_y + l.cell * r, e = l.cell;
                        gfx2d_draw_hline(x + i, x + e - i, y + i, colour_white);
                        gfx2d_draw_hline(x + i, x + e - i, y + e - i, colour_white);
                        gfx2d_draw_vline(x + i, y + i, y + e - i, colour_white);
                        gfx2d_draw_vline(x + e - i, y + i, y + e - i, colour_white);
                    }
    constexpr int left = 32, right = necrogram_area_width - 32, pitch = 22;
    std::vector<std::string> lines = column_lines(text, 2, right - left - 32, 3);
    int scale = 2;
    if (lines.empty()) {
        scale = 1;
        lines = column_lines(text, 1, right - left - 32, 6);
    }
    const int height = 16 + pitch * (int)lines.size();
    const int panel_top = std::max(8, l.strip_top - 16 - height);
    const int bottom = panel_top + height;
    gfx2d_fill_rect(left, panel_top, right, bottom);
    gfx2d_draw_hline(left, right, panel_top, colour_yellow);
    gfx2d_draw_hline(left, right, bottom, colour_yellow);
    int y = panel_top + 12;
    for (const std::string &line : lines) {
        draw_centred(line, (left + right) / 2, y, colour_white, scale);
        y += pitch;
    }
}

} // namespace

void necrogram_draw_record(const necrogram_board *b, kzg_sprite_data *sheet, bool captured) {
    if (b->width <= 0 || b->height <= 0)
        return;
    necrogram_draw_board(b, sheet, captured);
    if (!captured)
        necrogram_draw_cursor(b);
}

void necrogram_draw() {
    if (!board_empty())
        necrogram_draw_board(&board, &nonoblocks_sprite, captured);
    necrogram_help_draw_board(&board, captured);
    if (!captured && !board_empty())
        necrogram_draw_cursor(&board); // over a wrong mark's sign and a hint's outline too
    draw_lesson();
    if (captured)
        draw_banner();
}

void appmode_necrogram_init() {
    // necrogram_init
    d3d_kzg_load_data(asset_nonoblocks, &nonoblocks_sprite);
    load_sound(&full_sound, asset_fill_sound, ec_assert(full_sound == invalid_id));
    ec_assert(full_sound != invalid_id);
    load_sound(&cross_sound, asset_cross_sound, ec_assert(cross_sound == invalid_id));
    ec_assert(cross_sound != invalid_id);
    load_sound(&pave_sound, asset_pave_sound, ec_assert(pave_sound == invalid_id));
    ec_assert(pave_sound != invalid_id);

    ++entries;
    captured = false;
    // No puzzle, or one past the board's limits, leaves the board empty, with its buttons.
    const pz_puzzle *puzzle = client ? client->puzzle() : nullptr;
    double kept_seconds = 0;
    board.story_layout = client && client->story_layout;
    if (puzzle && necrogram_load_puzzle(&board, *puzzle))
        client->restore(&board, &kept_seconds); // the marks, time and hints kept last time
    else
        necrogram_load(&board, 0, 0, nullptr);
    clock_start_at(kept_seconds);
    necrogram_help_load(&board);
    new_best = false;
    board_window = invalid_id;
    play_next_shown = false;
    capture_if_solved();
    seen_marks = marks_now();
    if (client && client->marked)
        client->marked(&board);
    paint_key = 0;
    necrogram_make_background();
    const dword window = ui_window_add_fullscreen(nullptr);
    board_window = window;
    exit_button.string_id = client ? client->exit_label : str_ng_exit;
    for (dynamic_button_data *button : {&exit_button, &undo_button, &redo_button, &hint_button}) {
        button->flags = 0; // no press left over from an earlier visit
        dynamic_button_add(window, button);
    }
    int index = 0, count = 1;
    list_place(&index, &count);
    if (count > 1)
        for (dynamic_button_data *button : {&previous_button, &next_button}) {
            button->flags = 0;
            dynamic_button_add(window, button);
        }
    show_play_next(); // a board solved already
    sync_history_buttons();
    ui_mousemove(); // the focus, if the cursor is already over a button

    particles_clear();
    main_menu_stop_song();
    game_start_song();
}

void appmode_necrogram_free() {
    clock_update();
    clock_running = false; // the time stands from here on
    game_stop_song();
    // necrogram_free
    if (gradient_layer != invalid_id) {
        gfx2d_background_layer_delete(gradient_layer);
        gradient_layer = invalid_id;
    }
    if (nonoblocks_sprite.data)
        d3d_kzg_free_data(&nonoblocks_sprite);
    for (dword *sound : {&full_sound, &cross_sound, &pave_sound}) {
        if (*sound != invalid_id) {
            sound_free(*sound);
            *sound = invalid_id;
        }
    }
    ui_window_remove_all();
    board_window = invalid_id;
    play_next_shown = false;
    necrogram_help_stop();
    necrogram_history_clear(&board);
    paint_key = 0;
}

void appmode_necrogram_update() {
    frame_timer_update();
    if (frame_tick_is_set()) {
        frame_tick_clear();
        particles_update();
        if (captured && reveal_ticks < necrogram_reveal_end)
            ++reveal_ticks;
    }
    sound_update();
    clock_update();
    necrogram_help_update(&board);
    notice_marks(); // a revealed cell, marked by the help on its own
    capture_if_solved();
    gfx2d_fill_screen(0);
    necrogram_draw();
    draw_legend();
    draw_client_column();
    necrogram_help_draw_column();
    sync_history_buttons();
    ui_draw();
    particles_draw();
    diag_strings_update();
    d3d_render();
}

void appmode_necrogram_mousemove(int x, int y, unsigned key_flags) {
    cursor_update_position(x, y);
    ui_mousemove();
    int cx = 0, cy = 0;
    cursor_get_position(&cx, &cy);
    necrogram_update_hover(cx, cy);
    if (!captured && (key_flags & (mk_lbutton | mk_rbutton)))
        play_mouse_effect(necrogram_paint_line(&board));
}

void appmode_necrogram_lbutton(bool down) {
    if (down) {
        paint_key = 0; // the mouse takes the stroke over
        ui_lbutton(true);
        if (!captured)
            play_mouse_effect(necrogram_press_left(&board));
        return;
    }
    necrogram_stroke_end(&board);
    // A release over a button runs its handler; the Map button leaves the screen inside this call.
    ui_lbutton(false);
}

void appmode_necrogram_rbutton(bool down) {
    if (down) {
        paint_key = 0;
        if (!captured)
            play_mouse_effect(necrogram_press_right(&board));
    } else {
        necrogram_stroke_end(&board);
    }
}

namespace {

// Space, Z or X on the hovered cell: the press rule, and the key paints until released.
// With no cell hovered the first key only shows the keyboard cursor, on the top-left cell.
void key_press(unsigned virtual_key, necrogram_effect (*rule)(necrogram_board *)) {
    int column = -1;
    necrogram_get_hover(&column, nullptr);
    if (column < 0) {
        necrogram_move_hover(&board, 0, 0);
        return;
    }
    paint_key = virtual_key;
    play_key_effect(rule(&board));
}

void key_move(int columns, int rows) {
    if (!necrogram_move_hover(&board, columns, rows))
        return;
    if (paint_key)
        play_key_effect(necrogram_paint_hovered(&board));
}

} // namespace

void appmode_necrogram_keydown(unsigned virtual_key) {
    if (platform_key_held(vk_lbutton) || platform_key_held(vk_rbutton))
        return; // the mouse is painting: the keys keep out of its way
    if (captured && virtual_key == vk_return) {
        if (play_next_shown && !(play_next_button.flags & button_flag_disabled))
            necrogram_do_play_next(ng_play_next_id); // may leave the screen
        return;
    }
    if (captured && virtual_key != vk_escape && virtual_key != 'H' && virtual_key != 'P' && virtual_key != vk_prior &&
        virtual_key != vk_next)
        return; // a finished board: only leaving (and the clue marks' and palette's switches) is left
    if (platform_key_held(vk_control)) {
        if (virtual_key == 'Z' && !platform_key_held(vk_shift))
            necrogram_do_undo(ng_undo_id);
        else if (virtual_key == 'Z' || virtual_key == 'Y')
            necrogram_do_redo(ng_redo_id);
        else
            return;
        paint_key = 0; // undo and redo end the stroke
        return;
    }
    switch (virtual_key) {
    case vk_left: key_move(-1, 0); break;
    case vk_right: key_move(1, 0); break;
    case vk_up: key_move(0, -1); break;
    case vk_down: key_move(0, 1); break;
    case vk_space:
    case 'Z': key_press(virtual_key, necrogram_press_left); break;
    case 'X': key_press(virtual_key, necrogram_press_right); break;
    case 'T': necrogram_do_hint(ng_hint_id); break;
    case vk_prior:
    case vk_next:
        necrogram_do_step(virtual_key == vk_prior ? ng_previous_id : ng_next_id); // may leave the screen
        break;
    case 'C': {
        game_settings s = settings_get();
        s.mistake_check = !s.mistake_check;
        settings_set(s);
        ui_note_switch("Mistake checking", s.mistake_check);
        break;
    }
    case 'H': {
        game_settings s = settings_get();
        s.clue_marks = !s.clue_marks;
        settings_set(s);
        ui_note_switch("Clue marks", s.clue_marks);
        break;
    }
    case 'P': {
        game_settings s = settings_get();
        s.high_contrast = !s.high_contrast;
        settings_set(s);
        ui_note_switch("High contrast", s.high_contrast);
        break;
    }
    case vk_escape:
        necrogram_do_exit(ng_exit_id); // leaves the screen
        break;
    default: break;
    }
}

void appmode_necrogram_pad(unsigned button, bool down, bool) {
    // The keys the pad's buttons stand for on the board (the shoulders undo and redo).
    unsigned key = 0;
    switch (button) {
    case pad_up: key = vk_up; break;
    case pad_down: key = vk_down; break;
    case pad_left: key = vk_left; break;
    case pad_right: key = vk_right; break;
    case pad_a: key = 'Z'; break;
    case pad_b: key = 'X'; break;
    case pad_x: key = 'T'; break;
    case pad_y: key = 'C'; break;
    case pad_start:
    case pad_back: key = vk_escape; break;
    case pad_left_shoulder:
    case pad_right_shoulder:
        if (down && !captured && !platform_key_held(vk_lbutton) && !platform_key_held(vk_rbutton)) {
            paint_key = 0; // undo and redo end the stroke
            if (button == pad_left_shoulder)
                necrogram_do_undo(ng_undo_id);
            else
                necrogram_do_redo(ng_redo_id);
        }
        return;
    default: return;
    }
    if (down)
        appmode_necrogram_keydown(key); // may leave the screen
    else
        appmode_necrogram_keyup(key);
}

void appmode_necrogram_keyup(unsigned virtual_key) {
    if (paint_key == 0 || virtual_key != paint_key)
        return;
    paint_key = 0;
    necrogram_stroke_end(&board);
}
