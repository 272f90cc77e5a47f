// g_necrogram.cpp -- the necrogram board (model, clues, marking rules) and its screen
#include "game/g_necrogram.h"

#include "engine/ec_assert.h"
#include "engine/ec_memory.h"
#include "engine/ec_strings.h"
#include "game/g_game.h"
#include "game/g_player.h"
#include "game/g_puzzles.h"
#include "graphics/d3d_font.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzb.h"
#include "graphics/d3d_kzg.h"
#include "graphics/d3d_main.h"
#include "platform/pf_keys.h"
#include "sound/direct_sound.h"
#include "ui/app_modes.h"
#include "ui/ec_cursor.h"
#include "ui/ec_particles.h"
#include "ui/ec_ui.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

namespace {

int necrogram_size = 0;
u8 solution[max_necrogram_size * max_necrogram_size];
u8 marks[max_necrogram_size * max_necrogram_size];
u8 row_clues[max_necrogram_size][max_line_clues];
s32 row_clue_count[max_necrogram_size];
u8 column_clues[max_necrogram_size][max_line_clues];
s32 column_clue_count[max_necrogram_size];
bool solved = false;
int hover_column = -1;
int hover_row = -1;
// Chosen by the last press on a cell and kept across boards: dragging paints it.
u8 paint_mark = mark_empty;

// Runs of non-zero bytes along one line (cells at first, first + step, ...) into
// clues; an empty line has the single clue 0.
int line_runs(const u8 *line, int step, int length, u8 value, u8 *clues) {
    int count = 0, run = 0;
    for (int i = 0; i <= length; ++i) {
        if (i < length && line[i * step] == value) {
            ++run;
            continue;
        }
        if (run > 0 && count < max_line_clues)
            clues[count++] = (u8)run;
        run = 0;
    }
    if (count == 0)
        clues[count++] = 0;
    return count;
}

bool line_matches(const u8 *line, int step, const u8 *clues, int count) {
    u8 runs[max_line_clues];
    int n = line_runs(line, step, necrogram_size, mark_full, runs);
    return n == count && std::memcmp(runs, clues, (size_t)n) == 0;
}

u8 &hovered_cell() { return marks[hover_row * max_necrogram_size + hover_column]; }

bool cell_hovered() {
    return hover_column >= 0 && hover_row >= 0 && hover_column < necrogram_size &&
           hover_row < necrogram_size;
}

} // namespace

necrogram_layout necrogram_layout_for(int size) {
    necrogram_layout l;
    l.clue_band = (size / 2) * necrogram_clue_pitch;
    l.total = size * necrogram_cell_size + l.clue_band;
    l.left = (1024 - l.total) / 2;
    l.top = (720 - l.total) / 2;
    l.grid_x = l.left + l.clue_band;
    l.grid_y = l.top + l.clue_band;
    return l;
}

void necrogram_load(int size, const u8 *cells) {
    necrogram_size = 0;
    solved = false;
    if (size <= 0)
        return; // an empty board
    if (!ec_assert(cells) || !ec_assert(size <= max_necrogram_size))
        return;
    necrogram_size = size;
    for (int r = 0; r < size; ++r) {
        for (int c = 0; c < size; ++c) {
            solution[r * max_necrogram_size + c] = cells[r * size + c] ? 1 : 0;
            marks[r * max_necrogram_size + c] = mark_empty;
        }
    }
}

void necrogram_make_row_clues() {
    for (int r = 0; r < necrogram_size; ++r)
        row_clue_count[r] = line_runs(&solution[r * max_necrogram_size], 1, necrogram_size, 1, row_clues[r]);
}

void necrogram_make_column_clues() {
    for (int c = 0; c < necrogram_size; ++c)
        column_clue_count[c] =
            line_runs(&solution[c], max_necrogram_size, necrogram_size, 1, column_clues[c]);
}

bool necrogram_is_solved() {
    for (int i = 0; i < necrogram_size; ++i) {
        if (!line_matches(&marks[i * max_necrogram_size], 1, row_clues[i], row_clue_count[i]))
            return false;
        if (!line_matches(&marks[i], max_necrogram_size, column_clues[i], column_clue_count[i]))
            return false;
    }
    return true;
}

int necrogram_get_size() { return necrogram_size; }
bool necrogram_solved() { return solved; }

u8 necrogram_get_mark(int row, int column) {
    if (row < 0 || column < 0 || row >= necrogram_size || column >= necrogram_size)
        return mark_empty;
    return marks[row * max_necrogram_size + column];
}

const u8 *necrogram_row_clues(int row, int *count) {
    if (row < 0 || row >= necrogram_size)
        return nullptr;
    if (count)
        *count = row_clue_count[row];
    return row_clues[row];
}

const u8 *necrogram_column_clues(int column, int *count) {
    if (column < 0 || column >= necrogram_size)
        return nullptr;
    if (count)
        *count = column_clue_count[column];
    return column_clues[column];
}

u8 necrogram_paint_mark_get() { return paint_mark; }

void necrogram_update_hover(int x, int y) {
    hover_column = hover_row = -1;
    const necrogram_layout l = necrogram_layout_for(necrogram_size);
    const int edge = necrogram_cell_size * necrogram_size;
    if (x >= l.grid_x && x < l.grid_x + edge && y >= l.grid_y && y < l.grid_y + edge) {
        hover_column = (x - l.grid_x) / necrogram_cell_size;
        hover_row = (y - l.grid_y) / necrogram_cell_size;
    }
}

void necrogram_get_hover(int *column, int *row) {
    if (column)
        *column = hover_column;
    if (row)
        *row = hover_row;
}

necrogram_effect necrogram_press_left() {
    if (!cell_hovered())
        return necrogram_effect_none;
    necrogram_effect effect;
    if (hovered_cell() == mark_full) {
        paint_mark = mark_empty;
        effect = necrogram_effect_pave;
    } else {
        paint_mark = mark_full;
        effect = necrogram_effect_full;
    }
    hovered_cell() = paint_mark;
    solved = necrogram_is_solved();
    return effect;
}

necrogram_effect necrogram_press_right() {
    if (!cell_hovered())
        return necrogram_effect_none;
    necrogram_effect effect;
    if (hovered_cell() == mark_cross) {
        paint_mark = mark_empty;
        effect = necrogram_effect_pave;
    } else {
        paint_mark = mark_cross;
        effect = necrogram_effect_cross;
    }
    hovered_cell() = paint_mark;
    solved = necrogram_is_solved();
    return effect;
}

necrogram_effect necrogram_paint_hovered() {
    if (!cell_hovered() || hovered_cell() == paint_mark)
        return necrogram_effect_none;
    hovered_cell() = paint_mark;
    solved = necrogram_is_solved();
    switch (paint_mark) {
    case mark_full:
        return necrogram_effect_full;
    case mark_cross:
        return necrogram_effect_cross;
    default:
        return necrogram_effect_pave;
    }
}

void necrogram_record_capture() {
    if (solved)
        player_complete_puzzle(puzzle_get_active());
}

void necrogram_do_exit(dword id) {
    if (!ec_assert(id == ng_exit_id))
        return;
    necrogram_record_capture();
    set_app_mode(appmode_map);
}

void necrogram_reset_for_test() {
    paint_mark = mark_empty;
    necrogram_size = 0;
    solved = false;
    hover_column = hover_row = -1;
}

// The screen.

namespace {

kzg_sprite_data nonoblocks_sprite = {};
dword full_sound = invalid_id;
dword cross_sound = invalid_id;
dword pave_sound = invalid_id;
dword gradient_layer = invalid_id;

enum : int {
    tile_full = 0,
    tile_cross = 1,
    tile_even = 2,
    tile_odd = 3,
    tile_strip_odd = 4,
    tile_strip_hover = 5,
};

constexpr u32 colour_black = 0xFF000000;
constexpr u32 colour_white = 0xFFFFFFFF;
constexpr u32 colour_grey = 0xFF808080;
constexpr u32 colour_yellow = 0xFFFFFF00;
constexpr u32 colour_green = 0xFF00FF00;

dynamic_button_data exit_button = {
    .string_id = 18,
    .id = ng_exit_id,
    .x = 1152,
    .y = 656,
    .block_width = 10,
    .scale = 2,
    .flags = 1,
    .on_click = necrogram_do_exit,
};

// Creates one of the board's sounds into *id, which must be empty.
void load_sound(dword *id, const char *filename, bool was_empty) {
    if (!was_empty)
        return; // still loaded: keep it rather than lose it
    *id = sound_create(filename);
}

void play_effect(necrogram_effect effect) {
    dword sound = invalid_id;
    switch (effect) {
    case necrogram_effect_none:
        return;
    case necrogram_effect_full: {
        int x = 0, y = 0;
        cursor_get_position(&x, &y);
        particle_burst(x, y);
        sound = full_sound;
        break;
    }
    case necrogram_effect_cross:
        sound = cross_sound;
        break;
    case necrogram_effect_pave:
        sound = pave_sound;
        break;
    }
    if (sound != invalid_id)
        sound_play(sound, false);
}

// One 32 x 32 tile of the board's sheet; a sheet that failed to load draws nothing.
void draw_tile(int x, int y, int tile, int scale) {
    if (nonoblocks_sprite.data)
        gfx2d_draw_sprite(&nonoblocks_sprite, x, y, tile, scale);
}

void necrogram_make_background() {
    // The framebuffer's size: the layer is stretched with it to the window.
    const int w = screen_width, h = screen_height;
    u32 *pixels = (u32 *)ZEL_MALLOC((u32)w * (u32)h * sizeof(u32), "necrogram gradient");
    if (!pixels)
        return;
    for (int y = 0; y < h; ++y) {
        const float t = (float)y / (float)h;
        const u32 r = (u32)std::floor((0.8666667f - t * 0.12549019f) * 255.0f);
        const u32 g = (u32)std::floor((0.87058824f - t * 0.06666666f) * 255.0f);
        const u32 b = (u32)std::floor((0.79607844f - t * 0.10196078f) * 255.0f);
        const u32 colour = 0xFF000000u | r << 16 | g << 8 | b;
        for (int x = 0; x < w; ++x)
            pixels[y * w + x] = colour;
    }
    kzb_image_data image = {.width = w, .height = h, .data = pixels};
    gradient_layer = gfx2d_background_layer_add(&image);
    zel_free(pixels);
}

// A clue in its slot: one digit as the character, 10 and more as a decimal number
// centred on the digit's place, small enough to keep clear of its neighbours.
void draw_clue(int x, int y, int value) {
    const int shadow_x = 1, shadow_y = 1; // black, one pixel right and down
    if (value < 10) {
        const char c = (char)('0' + value);
        gfx2d_draw_char(x + shadow_x, y + shadow_y, c, colour_black, 2);
        gfx2d_draw_char(x, y, c, colour_white, 2);
        return;
    }
    safestring number;
    safestring_create(&number, number_text_format(value));
    const int digit = font_kern_width('0') * 2;
    int scale = 2;
    int w = gfx2d_strlen(&number, scale);
    if (w > necrogram_clue_pitch - 2) {
        scale = 1;
        w = gfx2d_strlen(&number, scale);
        y += 4;
    }
    x += (digit - w) / 2;
    gfx2d_draw_string(x + shadow_x, y + shadow_y, &number, colour_black, scale);
    gfx2d_draw_string(x, y, &number, colour_white, scale);
}

} // namespace

void necrogram_draw() {
    const int n = necrogram_size;
    if (n <= 0)
        return;
    const necrogram_layout l = necrogram_layout_for(n);
    const int edge = n * necrogram_cell_size;
    const int gx = l.grid_x, gy = l.grid_y;

    // Row strips and clues.
    for (int r = 0; r < n; ++r) {
        const int y = gy + necrogram_cell_size * r;
        const int tile = r == hover_row ? tile_strip_hover : (r & 1) ? tile_strip_odd : tile_even;
        for (int x = l.left - necrogram_cell_size; x < gx; x += necrogram_cell_size)
            draw_tile(x, y, tile, 1);
        const int count = row_clue_count[r];
        for (int i = 0; i < count; ++i)
            draw_clue(gx - necrogram_clue_pitch * count + necrogram_clue_pitch * i, y + 6, row_clues[r][i]);
    }
    // Column strips and clues.
    for (int c = 0; c < n; ++c) {
        const int x = gx + necrogram_cell_size * c;
        const int tile = c == hover_column ? tile_strip_hover : (c & 1) ? tile_strip_odd : tile_even;
        for (int y = l.top - necrogram_cell_size; y < gy; y += necrogram_cell_size)
            draw_tile(x, y, tile, 1);
        const int count = column_clue_count[c];
        for (int i = 0; i < count; ++i)
            draw_clue(x + 7, gy - necrogram_clue_pitch * count + necrogram_clue_pitch * i, column_clues[c][i]);
    }
    // Cells: the checkerboard, then the marks on top.
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) {
            const int x = gx + necrogram_cell_size * c, y = gy + necrogram_cell_size * r;
            draw_tile(x, y, ((r + c) & 1) + tile_even, 1);
            const u8 mark = marks[r * max_necrogram_size + c];
            if (mark == mark_full)
                draw_tile(x, y, tile_full, 1);
            else if (mark == mark_cross)
                draw_tile(x, y, tile_cross, 1);
        }
    }
    // Grid lines, then every fifth boundary inside the grid, then the double border.
    for (int i = 0; i < n; ++i) {
        gfx2d_draw_hline(gx, gx + edge, gy + necrogram_cell_size * i, colour_grey);
        gfx2d_draw_vline(gx + necrogram_cell_size * i, gy, gy + edge, colour_grey);
    }
    if (n > 5) {
        for (int k = 1; k <= (n - 6) / 5 + 1; ++k) {
            gfx2d_draw_hline(gx, gx + edge, gy + 160 * k, colour_yellow);
            gfx2d_draw_vline(gx + 160 * k, gy, gy + edge, colour_yellow);
        }
    }
    gfx2d_draw_hline(gx, gx + edge, gy, colour_black);
    gfx2d_draw_hline(gx, gx + edge, gy + edge, colour_black);
    gfx2d_draw_vline(gx, gy, gy + edge, colour_black);
    gfx2d_draw_vline(gx + edge, gy, gy + edge, colour_black);
    gfx2d_draw_hline(gx - 1, gx + edge + 1, gy - 1, colour_black);
    gfx2d_draw_hline(gx - 1, gx + edge + 1, gy + edge + 1, colour_black);
    gfx2d_draw_vline(gx - 1, gy - 1, gy + edge + 1, colour_black);
    gfx2d_draw_vline(gx + edge + 1, gy - 1, gy + edge + 1, colour_black);

    if (cell_hovered()) {
        const int x = gx + necrogram_cell_size * hover_column, y = gy + necrogram_cell_size * hover_row;
        gfx2d_draw_hline(x, x + necrogram_cell_size, y, colour_green);
        gfx2d_draw_hline(x, x + necrogram_cell_size, y + necrogram_cell_size, colour_green);
        gfx2d_draw_vline(x, y, y + necrogram_cell_size, colour_green);
        gfx2d_draw_vline(x + necrogram_cell_size, y, y + necrogram_cell_size, colour_green);
    }

    if (solved) {
        // Across the whole framebuffer, whatever the window's size.
        const int w = screen_width, top = necrogram_banner_top;
        gfx2d_fill_rect(0, top + 1, w - 1, top + 127);
        gfx2d_draw_hline(0, w - 1, top, colour_yellow);
        gfx2d_draw_hline(0, w - 1, top + 128, colour_yellow);
        safestring *text = scratch_string();
        safestring_create(text, "Fantastic! You've captured the monster.");
        const int text_width = gfx2d_strlen(text, 1);
        gfx2d_draw_string((w - 3 * text_width) / 2, top + 56, text, colour_yellow, 3);
    }
}

void appmode_necrogram_init() {
    // necrogram_init
    d3d_kzg_load_data("game\\nonoblocks.kzg", &nonoblocks_sprite);
    load_sound(&full_sound, "audio\\game_click_2.kzs", ec_assert(full_sound == invalid_id));
    ec_assert(full_sound != invalid_id);
    load_sound(&cross_sound, "audio\\game_click_1.kzs", ec_assert(cross_sound == invalid_id));
    ec_assert(cross_sound != invalid_id);
    load_sound(&pave_sound, "audio\\game_pave.kzs", ec_assert(pave_sound == invalid_id));
    ec_assert(pave_sound != invalid_id);

    int size = 0;
    unsigned long tag = 0;
    const u8 *cells = puzzle_get_active_info(&size, &tag);
    if (cells) {
        necrogram_load(size, cells);
        necrogram_make_row_clues();
        necrogram_make_column_clues();
    } else {
        necrogram_load(0, nullptr); // no puzzle: an empty board with its exit button
    }
    hover_column = hover_row = -1;
    necrogram_make_background();
    const dword window = ui_window_add_fullscreen(nullptr);
    exit_button.flags = 1;
    dynamic_button_add(window, &exit_button);
    ui_mousemove(); // the exit button's focus, if the cursor is already over it

    particles_clear();
    main_menu_stop_song();
    game_start_song();
}

void appmode_necrogram_free() {
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
}

void appmode_necrogram_update() {
    frame_timer_update();
    if (frame_tick_is_set()) {
        frame_tick_clear();
        particles_update();
    }
    sound_update();
    gfx2d_fill_screen(0);
    necrogram_draw();
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
    if (key_flags & mk_lbutton)
        play_effect(necrogram_paint_hovered());
    if (key_flags & mk_rbutton)
        play_effect(necrogram_paint_hovered());
}

void appmode_necrogram_lbutton(bool down) {
    // A release over the exit button leaves the screen inside this call.
    ui_lbutton(down);
    if (down)
        play_effect(necrogram_press_left());
}

void appmode_necrogram_rbutton(bool down) {
    if (down)
        play_effect(necrogram_press_right());
}

void appmode_necrogram_key(unsigned) {}
