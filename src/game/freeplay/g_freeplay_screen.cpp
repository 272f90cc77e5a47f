// g_freeplay_screen.cpp -- the free-play screen: a size, a grade and a number, the records, Play
#include "game/freeplay/g_freeplay_screen.h"

#include "engine/ec_assert.h"
#include "game/freeplay/g_freeplay.h"
#include "game/freeplay/g_freeplay_records.h"
#include "game/g_game.h"
#include "game/g_question.h"
#include "game/g_screen.h"
#include "game/g_strings.h"
#include "graphics/d3d_gfx2d.h"
#include "platform/pf_keys.h"
#include "puzzle/pz_grade.h"
#include "ui/app_modes.h"
#include "ui/ec_ui.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int scale = 2;
constexpr int slice = 8 * scale;
// A framed window of 68 x 40 slices in the middle of the screen.
constexpr s32 win_x1 = 640 - 34 * slice, win_x2 = 640 + 34 * slice;
constexpr s32 win_y1 = 360 - 20 * slice, win_y2 = 360 + 20 * slice;

// The choices: three buttons a row, their centres and tops in screen pixels; the width's and
// the height's steps two each side of their value.
constexpr int choice_block = 6;
constexpr int choice_width = (choice_block + 4) * slice, choice_height = 3 * slice;
constexpr int choice_x[3] = {376, 552, 728};
constexpr int size_y[2] = {104, 160};
constexpr int step_block = 2;
constexpr int step_x[freeplay_num_steps] = {344, 448, 656, 760};
constexpr int grade_y = 232;
constexpr int number_y = 304;
constexpr int best_y = 384;
constexpr int kept_y = 424;
constexpr int label_x = 136;
constexpr int recent_x = 856;
constexpr int recent_y = 112;
constexpr int bottom_y = 592;

constexpr u32 text_colour = 0xFFFFFFFF;
constexpr u32 dim_colour = 0xFFA8A4B8;
constexpr u32 chosen_colour = 0xFFE8B848;
constexpr u32 slab_colour = 0xFF2C2A3C;

constexpr unsigned key_backspace = 0x08;
constexpr std::size_t max_digits = 10;

dword background_layer = invalid_id;
dword screen_window = invalid_id;
bool leave_requested = false;
// Play or Continue was pressed: this frame shows "Making the puzzle...", the next one
// makes it (a 30x30 hard puzzle takes about a second).
bool making = false, making_shown = false;
bool making_kept = false; // the kept board's puzzle rather than the chosen one

// Kept for the session, and in free play's file between runs: the next visit starts with the
// same size and grade.
int chosen_width = 20, chosen_height = 20;
int chosen_grade = 0;
std::string number_text;

freeplay_progress progress;
const freeplay_record *chosen_record = nullptr;

constexpr dynamic_button_data choice_button(dword string_id, dword id, int x, int y) {
    return {.string_id = string_id,
            .id = id,
            .x = x - win_x1,
            .y = y - win_y1,
            .block_width = choice_block,
            .scale = scale,
            .flags = 0,
            .on_click = fp_do_choice};
}
constexpr dynamic_button_data bottom_button(dword string_id, dword id, int x, void (*on_click)(dword)) {
    return {.string_id = string_id,
            .id = id,
            .x = x - win_x1,
            .y = bottom_y - win_y1,
            .block_width = 8,
            .scale = scale,
            .flags = 0,
            .on_click = on_click};
}

constexpr dynamic_button_data step_button(int step, bool height) {
    return {.string_id = str_fp_step_first + (dword)step,
            .id = fp_size_id + (dword)(height * freeplay_num_steps + step),
            .x = step_x[step] - win_x1,
            .y = size_y[height] - win_y1,
            .block_width = step_block,
            .scale = scale,
            .flags = 0,
            .on_click = fp_do_choice};
}
dynamic_button_data size_buttons[2 * freeplay_num_steps] = {
    step_button(0, false), step_button(1, false), step_button(2, false), step_button(3, false),
    step_button(0, true),  step_button(1, true),  step_button(2, true),  step_button(3, true),
};
dynamic_button_data grade_buttons[freeplay_num_grades] = {
    choice_button(str_fp_grade_first + 0, fp_grade_id + 0, choice_x[0], grade_y),
    choice_button(str_fp_grade_first + 1, fp_grade_id + 1, choice_x[1], grade_y),
    choice_button(str_fp_grade_first + 2, fp_grade_id + 2, choice_x[2], grade_y),
};
dynamic_button_data random_button = {
    .string_id = str_fp_random,
    .id = fp_random_id,
    .x = choice_x[2] - win_x1,
    .y = number_y - win_y1,
    .block_width = choice_block,
    .scale = scale,
    .flags = 0,
    .on_click = fp_do_random,
};
dynamic_button_data play_button = bottom_button(str_mm_play, fp_play_id, 400, fp_do_play);
dynamic_button_data continue_button = bottom_button(str_mm_continue, fp_continue_id, 640, fp_do_continue);
dynamic_button_data back_button = bottom_button(str_map_back, fp_back_id, 880, fp_do_back);

// The Recent entries of generated puzzles, which play their puzzle: a ring when pointed at.
constexpr int recent_pitch = 52, recent_width = win_x2 - slice - recent_x;
std::vector<freeplay_record> recent;
void draw_recent_ring(dword, int x, int y, int, int state);
image_button_data recent_buttons[freeplay_recent_shown];

// The buttons shown, in the keyboard's focus order.
const void *shown_buttons[2 * freeplay_num_steps + freeplay_num_grades + freeplay_recent_shown + 4];
int num_shown_buttons = 0;

void add_button(dynamic_button_data *button) {
    button->flags = 0; // no press left over from an earlier visit
    dynamic_button_add(screen_window, button);
    if (num_shown_buttons < (int)std::size(shown_buttons))
        shown_buttons[num_shown_buttons++] = button;
}

u32 chosen_number() { return number_text.empty() ? 0 : (u32)std::stoul(number_text); }

void new_random_number() { number_text = std::to_string(1 + (unsigned)std::rand() % 99999u); }

std::string chosen_key() {
    freeplay_puzzle p;
    p.puzzle.width = chosen_width;
    p.puzzle.height = chosen_height;
    p.grade = chosen_grade;
    p.number = chosen_number();
    return freeplay_puzzle_key(p);
}

void choice_changed() { chosen_record = freeplay_record_find(progress, chosen_key()); }

std::string hints_text(int hints) {
    return hints == 0 ? "no hints" : hints == 1 ? "1 hint" : std::to_string(hints) + " hints";
}

// Draws UTF-8 text as the font shows it, cut short with "..." where it would pass
// max_width pixels.
int draw_text(int x, int y, const std::string &utf8, u32 colour, int max_width = 1280) {
    const std::string text = text_for_font(utf8);
    safestring s;
    safestring_create(&s, text.c_str());
    if (gfx2d_strlen(&s, scale) > max_width) {
        std::string cut = text.substr(0, std::min(text.size(), (std::size_t)max_string_size - 4));
        do {
            cut.pop_back();
            safestring_create(&s, (cut + "...").c_str());
        } while (!cut.empty() && gfx2d_strlen(&s, scale) > max_width);
    }
    return gfx2d_draw_string(x, y, &s, colour, scale);
}

int draw_text_id(int x, int y, dword id, u32 colour) {
    const safestring *s = safestring_get_from_id(id);
    return s ? gfx2d_draw_string(x, y, s, colour, scale) : 0;
}

// What the kept unfinished board is, as the screen names it: a generated puzzle's key, a file's name.
std::string kept_name() {
    const freeplay_kept_board &k = progress.board;
    const std::size_t slash = k.path.find_last_of('/');
    return k.origin == freeplay_origin_generated ? k.key
           : slash == std::string::npos          ? k.path
                                                 : k.path.substr(slash + 1);
}

// Starting another puzzle while a board is kept unfinished asks first; Yes drops the kept board
// and starts the puzzle, No leaves everything as it was.
void start_chosen() {
    making = true; // made once "Making the puzzle..." has been on the screen for a frame
    making_shown = making_kept = false;
}

void drop_answered(bool yes) {
    if (!yes)
        return;
    freeplay_progress now = freeplay_progress_read();
    now.have_board = false;
    freeplay_progress_write(now);
    progress.have_board = false;
    start_chosen();
}

// True when the question is asked (the puzzle of key is not the kept board's).
bool ask_before_dropping(const std::string &key) {
    if (!progress.have_board || progress.board.key == key)
        return false;
    safestring ask, drop;
    safestring_create(&ask, "Start another puzzle?");
    safestring_create(&drop, ("Your unfinished " + kept_name() + " will be dropped.").c_str());
    return question_open(str_mm_freeplay, &ask, &drop, drop_answered);
}

// A two-pixel ring just outside a button: the size or grade chosen.
void draw_ring(int centre_x, int top) {
    const int x0 = centre_x - choice_width / 2 - 4, x1 = centre_x + choice_width / 2 + 3;
    const int y0 = top - 4, y1 = top + choice_height + 3;
    for (int i = 0; i < 2; ++i) {
        gfx2d_draw_hline(x0, x1, y0 + i, chosen_colour);
        gfx2d_draw_hline(x0, x1, y1 - i, chosen_colour);
        gfx2d_draw_vline(x0 + i, y0, y1, chosen_colour);
        gfx2d_draw_vline(x1 - i, y0, y1, chosen_colour);
    }
}

void draw_recent() {
    draw_text_id(recent_x, recent_y - 8, str_fp_recent, dim_colour);
    int y = recent_y + 32;
    for (const freeplay_record &r : recent) {
        draw_text(recent_x, y, r.name, text_colour, recent_width - 8);
        draw_text(recent_x + slice, y + 20, freeplay_time_text(r.seconds) + ", " + hints_text(r.hints), dim_colour);
        y += recent_pitch;
    }
}

void draw_recent_ring(dword, int x, int y, int, int state) {
    if (state != image_button_sprite_over && state != image_button_sprite_down)
        return;
    const int x1 = x + recent_width + 7, y1 = y + recent_pitch - 9;
    gfx2d_draw_hline(x, x1, y, chosen_colour);
    gfx2d_draw_hline(x, x1, y1, chosen_colour);
    gfx2d_draw_vline(x, y, y1, chosen_colour);
    gfx2d_draw_vline(x1, y, y1, chosen_colour);
}

// The width, height, grade and number of a generated puzzle's key ("20x15 hard 48213").
bool parse_generated_key(const std::string &key, int *width, int *height, int *grade, u32 *number) {
    char grade_name[16] = {};
    unsigned long n = 0;
    if (std::sscanf(key.c_str(), "%dx%d %15s %lu", width, height, grade_name, &n) != 4 || n > 0xFFFFFFFFul ||
        *width < freeplay_min_side || *width > freeplay_max_size || *height < freeplay_min_side ||
        *height > freeplay_max_size)
        return false;
    for (int g = 0; g < freeplay_num_grades; ++g)
        if (std::string(grade_name) == pz_grade_name((pz_grade)g)) {
            *grade = g;
            *number = (u32)n;
            return true;
        }
    return false;
}

// The choice when the screen was entered: only a change is written.
int entry_choice[3] = {};

// The screen's choice, kept in free play's file when the player changed it.
void keep_choice() {
    if (entry_choice[0] == chosen_width && entry_choice[1] == chosen_height && entry_choice[2] == chosen_grade)
        return;
    freeplay_progress now = freeplay_progress_read();
    if (now.have_choice && now.choice_width == chosen_width && now.choice_height == chosen_height &&
        now.choice_grade == chosen_grade)
        return;
    now.have_choice = true;
    now.choice_width = chosen_width;
    now.choice_height = chosen_height;
    now.choice_grade = chosen_grade;
    freeplay_progress_write(now);
}

void screen_draw(int, int) {
    draw_text_id(label_x, size_y[0] + slice, str_fp_width, dim_colour);
    draw_text_id(label_x, size_y[1] + slice, str_fp_height, dim_colour);
    draw_text_id(label_x, grade_y + slice, str_fp_grade, dim_colour);
    draw_text_id(label_x, number_y + slice, str_fp_number, dim_colour);
    draw_ring(choice_x[chosen_grade], grade_y);
    // The width and height between their steps.
    for (int row = 0; row < 2; ++row) {
        const std::string value = std::to_string(row ? chosen_height : chosen_width);
        safestring v;
        safestring_create(&v, value.c_str());
        draw_text(choice_x[1] - gfx2d_strlen(&v, scale) / 2, size_y[row] + slice, value, text_colour);
    }

    // The number on a slab, with a cursor block where the next digit goes.
    const int slab_x0 = choice_x[0] - choice_width / 2, slab_x1 = choice_x[1] + choice_width / 2;
    for (int y = number_y + 4; y < number_y + choice_height - 4; ++y)
        gfx2d_draw_hline(slab_x0, slab_x1, y, slab_colour);
    const int end = slab_x0 + 12 + draw_text(slab_x0 + 12, number_y + slice, number_text, text_colour);
    gfx2d_draw_pixel(end + 2, number_y + slice, dim_colour, 8);
    gfx2d_draw_pixel(end + 2, number_y + slice + 8, dim_colour, 8);

    const int value_x = label_x + draw_text_id(label_x, best_y, str_fp_best, dim_colour) + slice;
    if (chosen_record)
        draw_text(value_x, best_y, freeplay_time_text(chosen_record->seconds) + ", " + hints_text(chosen_record->hints),
                  text_colour);
    else
        draw_text_id(value_x, best_y, str_fp_not_solved, text_colour);
    if (progress.have_board) {
        const int x = label_x + draw_text_id(label_x, kept_y, str_fp_kept, dim_colour) + slice;
        draw_text(x, kept_y, kept_name(), text_colour, recent_x - 16 - x);
    }
    draw_recent();

    if (making) {
        const safestring *s = safestring_get_from_id(str_fp_making);
        const int w = s ? gfx2d_strlen(s, scale) : 0;
        for (int y = 320; y < 400; ++y)
            gfx2d_draw_hline(640 - w / 2 - 32, 640 + w / 2 + 31, y, 0xFF000000);
        draw_text_id(640 - w / 2, 352, str_fp_making, text_colour);
    }
}

// The window's close button: back to the title on the next frame.
void screen_window_removed() {
    screen_window = invalid_id;
    leave_requested = true;
}

} // namespace

void appmode_freeplay_init() {
    leave_requested = making = making_shown = false;
    ui_window_add_fullscreen(nullptr);
    const window_data frame = {
        .flags = window_flag_framed | window_flag_filled,
        .caption_id = str_mm_freeplay,
        .x1 = win_x1,
        .y1 = win_y1,
        .x2 = win_x2,
        .y2 = win_y2,
        .scale = scale,
        .draw = screen_draw,
        .on_remove = screen_window_removed,
    };
    screen_window = ui_window_add(&frame);
    progress = freeplay_progress_read();
    if (progress.have_choice) {
        chosen_width = progress.choice_width;
        chosen_height = progress.choice_height;
        chosen_grade = progress.choice_grade;
    }
    recent = freeplay_records_recent(progress, freeplay_recent_shown);
    entry_choice[0] = chosen_width, entry_choice[1] = chosen_height, entry_choice[2] = chosen_grade;
    new_random_number();
    choice_changed();
    num_shown_buttons = 0;
    if (screen_window != invalid_id) {
        for (dynamic_button_data &b : size_buttons)
            add_button(&b);
        for (dynamic_button_data &b : grade_buttons)
            add_button(&b);
        add_button(&random_button);
        int w = 0, h = 0, g = 0;
        u32 n = 0;
        for (int i = 0; i < (int)recent.size(); ++i)
            if (parse_generated_key(recent[(size_t)i].key, &w, &h, &g, &n)) {
                recent_buttons[i] = {.id = fp_recent_id + (dword)i,
                                     .x = recent_x - 8 - win_x1,
                                     .y = recent_y + 28 + recent_pitch * i - win_y1,
                                     .width = recent_width + 8,
                                     .height = recent_pitch - 8,
                                     .flags = 0,
                                     .draw = draw_recent_ring,
                                     .on_click = fp_do_recent};
                image_button_add(screen_window, &recent_buttons[i]);
                if (num_shown_buttons < (int)std::size(shown_buttons))
                    shown_buttons[num_shown_buttons++] = &recent_buttons[i];
            }
        // Play, Continue and Back keep their places across the foot (Continue's is empty without it).
        add_button(&play_button);
        if (progress.have_board)
            add_button(&continue_button);
        add_button(&back_button);
    }
    ui_mousemove();
    ui_focus_button(&play_button);

    background_layer = title_picture_add();
    main_menu_start_song();
}

void appmode_freeplay_free() {
    keep_choice();
    title_picture_remove(&background_layer);
    screen_window = invalid_id; // before the removal, so it is no request to leave
    ui_window_remove_all();
    question_forget();
    chosen_record = nullptr;
    progress = {};
    recent.clear();
}

void appmode_freeplay_update() {
    if (leave_requested) {
        leave_requested = false;
        set_app_mode(appmode_main_menu);
        return;
    }
    if (making && making_shown) {
        making = making_shown = false;
        if (making_kept) {
            if (!freeplay_continue() && !freeplay_progress_read().have_board)
                set_app_mode(appmode_freeplay); // the kept board was forgotten: the screen without it
        } else
            freeplay_start_generated(chosen_width, chosen_height, chosen_grade, chosen_number());
        return; // on the board, or still here after the box
    }
    appmode_main_menu_update();
    making_shown = making;
}

void appmode_freeplay_keydown(unsigned virtual_key) {
    if (platform_key_held(vk_lbutton) || platform_key_held(vk_rbutton) || making)
        return; // the mouse is in the middle of a click, or the puzzle is being made
    if (question_keydown(virtual_key))
        return;
    if (virtual_key >= '0' && virtual_key <= '9') {
        const std::string longer =
            number_text == "0" ? std::string(1, (char)virtual_key) : number_text + (char)virtual_key;
        if (longer.size() <= max_digits && std::stoull(longer) <= 0xFFFFFFFFull) {
            number_text = longer;
            choice_changed();
        }
    } else if (virtual_key == key_backspace) {
        if (!number_text.empty()) {
            number_text.pop_back();
            choice_changed();
        }
    } else if (virtual_key == vk_escape) {
        fp_do_back(fp_back_id);
    } else if (virtual_key == vk_return && !ui_focus_element()) {
        fp_do_play(fp_play_id);
    } else {
        ui_focus_key(virtual_key, shown_buttons, num_shown_buttons);
    }
}

void fp_do_choice(dword id) {
    if (id >= fp_size_id && id < fp_size_id + 2 * freeplay_num_steps) {
        const int place = (int)(id - fp_size_id);
        int &side = place < freeplay_num_steps ? chosen_width : chosen_height;
        side = std::clamp(side + freeplay_steps[place % freeplay_num_steps], freeplay_min_side, freeplay_max_size);
    } else if (ec_assert(id >= fp_grade_id && id < fp_grade_id + freeplay_num_grades))
        chosen_grade = (int)(id - fp_grade_id);
    choice_changed();
}

void fp_do_random(dword id) {
    if (!ec_assert(id == fp_random_id))
        return;
    new_random_number();
    choice_changed();
}

void fp_do_play(dword id) {
    if (!ec_assert(id == fp_play_id) || ask_before_dropping(chosen_key()))
        return;
    start_chosen();
}

void fp_do_continue(dword id) {
    if (!ec_assert(id == fp_continue_id))
        return;
    making = making_kept = true;
    making_shown = false;
}

void fp_do_back(dword id) {
    if (!ec_assert(id == fp_back_id))
        return;
    set_app_mode(appmode_main_menu);
}

void fp_do_recent(dword id) {
    const int i = (int)(id - fp_recent_id);
    u32 number = 0;
    if (!ec_assert(id >= fp_recent_id && i < (int)recent.size()) ||
        !parse_generated_key(recent[(size_t)i].key, &chosen_width, &chosen_height, &chosen_grade, &number))
        return;
    number_text = std::to_string(number);
    choice_changed();
    fp_do_play(fp_play_id);
}

int freeplay_screen_width() { return chosen_width; }
int freeplay_screen_height() { return chosen_height; }
int freeplay_screen_grade() { return chosen_grade; }
u32 freeplay_screen_number() { return chosen_number(); }
const freeplay_record *freeplay_screen_record() { return chosen_record; }
dword freeplay_window_get() { return screen_window; }
