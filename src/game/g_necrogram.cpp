// g_necrogram.cpp -- the necrogram screen: the board drawn, mouse and keys turned into marks
#include "game/g_necrogram.h"

#include "engine/ec_assert.h"
#include "engine/ec_memory.h"
#include "engine/ec_settings.h"
#include "engine/ec_strings.h"
#include "game/g_ending.h"
#include "game/g_game.h"
#include "game/g_player.h"
#include "game/g_puzzles.h"
#include "game/g_strings.h"
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
#include <initializer_list>

namespace {

// The board shown (empty until the screen first loads one). Static: paint_mark lives
// on from one board to the next.
necrogram_board board;
// Completed puzzles when the board opened: whether leaving it ends the game.
int captures_at_entry = 0;

} // namespace

necrogram_layout necrogram_layout_for(int size) {
    necrogram_layout l;
    l.clue_band = (size / 2) * necrogram_clue_pitch;
    l.total = size * necrogram_cell_size + l.clue_band;
    l.left = (necrogram_area_width - l.total) / 2;
    l.top = (necrogram_area_height - l.total) / 2;
    l.grid_x = l.left + l.clue_band;
    l.grid_y = l.top + l.clue_band;
    return l;
}

const necrogram_board *necrogram_shown() { return &board; }
int necrogram_get_size() { return board.size; }
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
    const necrogram_layout l = necrogram_layout_for(board.size);
    const int edge = necrogram_cell_size * board.size;
    if (x >= l.grid_x && x < l.grid_x + edge && y >= l.grid_y && y < l.grid_y + edge) {
        board.hover_column = (x - l.grid_x) / necrogram_cell_size;
        board.hover_row = (y - l.grid_y) / necrogram_cell_size;
    }
}

void necrogram_record_capture() {
    if (board.solved)
        player_complete_puzzle(puzzle_get_active());
}

void necrogram_do_exit(dword id) {
    if (!ec_assert(id == ng_exit_id))
        return;
    necrogram_record_capture();
    // The last capture ends the game; every other visit goes back to the map.
    set_app_mode(ending_due(captures_at_entry) ? appmode_ending : appmode_map);
}

void necrogram_do_undo(dword id) {
    if (!ec_assert(id == ng_undo_id))
        return;
    necrogram_undo(&board);
}

void necrogram_do_redo(dword id) {
    if (!ec_assert(id == ng_redo_id))
        return;
    necrogram_redo(&board);
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
constexpr u32 colour_legend = 0xFF3C4A30; // dark moss, readable on the pale gradient

// The right-hand column: the legend at the top, Undo, Redo and Map at the bottom
// (x is a button's centre, y its top).
constexpr int column_centre = 1152;
constexpr int legend_left = 1040, legend_top = 40, legend_pitch = 22, legend_action_x = 1040 + 104;

// A text button of the right-hand column, with its top at y.
constexpr dynamic_button_data column_button(dword string_id, dword id, s32 y, void (*on_click)(dword)) {
    return {.string_id = string_id, .id = id, .x = column_centre, .y = y, .block_width = 10, .scale = 2,
            .flags = 0, .on_click = on_click};
}

dynamic_button_data exit_button = column_button(str_ng_exit, ng_exit_id, 656, necrogram_do_exit);
dynamic_button_data undo_button = column_button(str_ng_undo, ng_undo_id, 536, necrogram_do_undo);
dynamic_button_data redo_button = column_button(str_ng_redo, ng_redo_id, 596, necrogram_do_redo);

// The fill or cross key held since it marked a cell: moving paints until it is released.
unsigned paint_key = 0;

// Creates one of the board's sounds into *id, which must be empty.
void load_sound(dword *id, const char *filename, bool was_empty) {
    if (!was_empty)
        return; // still loaded: keep it rather than lose it
    *id = sound_create(filename);
}

// The sound of a change (unless the player switched sounds off); a full mark also
// bursts sparks at (x, y).
void play_effect(necrogram_effect effect, int x, int y) {
    dword sound = invalid_id;
    switch (effect) {
    case necrogram_effect_none:
        return;
    case necrogram_effect_full:
        particle_burst(x, y);
        sound = full_sound;
        break;
    case necrogram_effect_cross:
        sound = cross_sound;
        break;
    case necrogram_effect_pave:
        sound = pave_sound;
        break;
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
    const necrogram_layout l = necrogram_layout_for(board.size);
    play_effect(effect, l.grid_x + necrogram_cell_size * board.hover_column + necrogram_cell_size / 2,
                l.grid_y + necrogram_cell_size * board.hover_row + necrogram_cell_size / 2);
}

// Undo and Redo are shown disabled when there is nothing to take back or bring back.
void sync_history_buttons() {
    auto set = [](dynamic_button_data &button, bool enabled) {
        if (enabled)
            button.flags &= ~button_flag_disabled;
        else
            button.flags |= button_flag_disabled;
    };
    set(undo_button, necrogram_can_undo(&board));
    set(redo_button, necrogram_can_redo(&board));
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
void draw_clue(int x, int y, int value, u32 colour) {
    const int shadow_x = 1, shadow_y = 1; // black, one pixel right and down
    if (value < 10) {
        const char c = (char)('0' + value);
        gfx2d_draw_char(x + shadow_x, y + shadow_y, c, colour_black, 2);
        gfx2d_draw_char(x, y, c, colour, 2);
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
    gfx2d_draw_string(x, y, &number, colour, scale);
}

// White, or dimmed once the line's marks form its clues (when the player keeps clue marks on).
u32 clue_colour(bool satisfied) {
    return satisfied && settings_get().clue_marks ? necrogram_clue_done_colour : colour_white;
}

// The keys, two columns in the bitmap font: the key, then what it does.
void draw_legend() {
    for (int i = 0; i < num_ng_legend_lines; ++i) {
        const int y = legend_top + legend_pitch * i;
        const safestring *key = safestring_get_from_id(str_ng_legend_first + 2 * (dword)i);
        const safestring *action = safestring_get_from_id(str_ng_legend_first + 2 * (dword)i + 1);
        if (!key || !action)
            return;
        gfx2d_draw_string(legend_left, y, key, colour_black, 2);
        gfx2d_draw_string(legend_action_x, y, action, colour_legend, 2);
    }
}

} // namespace

void necrogram_draw() {
    const int n = board.size;
    if (n <= 0)
        return;
    const necrogram_layout l = necrogram_layout_for(n);
    const int edge = n * necrogram_cell_size;
    const int gx = l.grid_x, gy = l.grid_y;

    // Row strips and clues.
    for (int r = 0; r < n; ++r) {
        const int y = gy + necrogram_cell_size * r;
        const int tile = r == board.hover_row ? tile_strip_hover : (r & 1) ? tile_strip_odd : tile_even;
        for (int x = l.left - necrogram_cell_size; x < gx; x += necrogram_cell_size)
            draw_tile(x, y, tile, 1);
        const int count = board.row_clue_count[r];
        const u32 colour = clue_colour(necrogram_row_satisfied(&board, r));
        for (int i = 0; i < count; ++i)
            draw_clue(gx - necrogram_clue_pitch * count + necrogram_clue_pitch * i, y + 6, board.row_clues[r][i],
                      colour);
    }
    // Column strips and clues.
    for (int c = 0; c < n; ++c) {
        const int x = gx + necrogram_cell_size * c;
        const int tile = c == board.hover_column ? tile_strip_hover : (c & 1) ? tile_strip_odd : tile_even;
        for (int y = l.top - necrogram_cell_size; y < gy; y += necrogram_cell_size)
            draw_tile(x, y, tile, 1);
        const int count = board.column_clue_count[c];
        const u32 colour = clue_colour(necrogram_column_satisfied(&board, c));
        for (int i = 0; i < count; ++i)
            draw_clue(x + 7, gy - necrogram_clue_pitch * count + necrogram_clue_pitch * i, board.column_clues[c][i],
                      colour);
    }
    // Cells: the checkerboard, then the marks on top.
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) {
            const int x = gx + necrogram_cell_size * c, y = gy + necrogram_cell_size * r;
            draw_tile(x, y, ((r + c) & 1) + tile_even, 1);
            const u8 mark = necrogram_mark_at(&board, r, c);
            if (mark == mark_full)
                draw_tile(x, y, tile_full, 1);
            else if (mark == mark_cross)
                draw_tile(x, y, tile_cross, 1);
        }
    }
    // Grid lines, then every fifth boundary inside the grid, then the double border.
    for (int i = 0; i < n; ++i)
        gfx2d_draw_hline(gx, gx + edge, gy + necrogram_cell_size * i, colour_grey);
    gfx2d_draw_vlines(gx, necrogram_cell_size, n, gy, gy + edge, colour_grey);
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

    if (board.hover_column >= 0 && board.hover_row >= 0 && board.hover_column < n && board.hover_row < n) {
        const int x = gx + necrogram_cell_size * board.hover_column, y = gy + necrogram_cell_size * board.hover_row;
        gfx2d_draw_hline(x, x + necrogram_cell_size, y, colour_green);
        gfx2d_draw_hline(x, x + necrogram_cell_size, y + necrogram_cell_size, colour_green);
        gfx2d_draw_vline(x, y, y + necrogram_cell_size, colour_green);
        gfx2d_draw_vline(x + necrogram_cell_size, y, y + necrogram_cell_size, colour_green);
    }

    if (board.solved) {
        // Across the whole framebuffer, whatever the window's size.
        const int w = screen_width, top = necrogram_banner_top, bottom = top + necrogram_banner_height;
        gfx2d_fill_rect(0, top + 1, w - 1, bottom - 1);
        gfx2d_draw_hline(0, w - 1, top, colour_yellow);
        gfx2d_draw_hline(0, w - 1, bottom, colour_yellow);
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
        necrogram_load(&board, size, cells);
        necrogram_make_row_clues(&board);
        necrogram_make_column_clues(&board);
    } else {
        necrogram_load(&board, 0, nullptr); // no puzzle: an empty board with its buttons
    }
    paint_key = 0;
    necrogram_make_background();
    const dword window = ui_window_add_fullscreen(nullptr);
    for (dynamic_button_data *button : {&exit_button, &undo_button, &redo_button}) {
        button->flags = 0; // no press left over from an earlier visit
        dynamic_button_add(window, button);
    }
    sync_history_buttons();
    ui_mousemove(); // the focus, if the cursor is already over a button

    particles_clear();
    captures_at_entry = player_num_completed();
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
    necrogram_history_clear(&board);
    paint_key = 0;
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
    draw_legend();
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
    if (key_flags & mk_lbutton)
        play_mouse_effect(necrogram_paint_hovered(&board));
    if (key_flags & mk_rbutton)
        play_mouse_effect(necrogram_paint_hovered(&board));
}

void appmode_necrogram_lbutton(bool down) {
    if (down) {
        paint_key = 0; // the mouse takes the stroke over
        ui_lbutton(true);
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
    case vk_left:
        key_move(-1, 0);
        break;
    case vk_right:
        key_move(1, 0);
        break;
    case vk_up:
        key_move(0, -1);
        break;
    case vk_down:
        key_move(0, 1);
        break;
    case vk_space:
    case 'Z':
        key_press(virtual_key, necrogram_press_left);
        break;
    case 'X':
        key_press(virtual_key, necrogram_press_right);
        break;
    case 'H': {
        game_settings s = settings_get();
        s.clue_marks = !s.clue_marks;
        settings_set(s);
        break;
    }
    case vk_escape:
        necrogram_do_exit(ng_exit_id); // leaves the screen
        break;
    default:
        break;
    }
}

void appmode_necrogram_keyup(unsigned virtual_key) {
    if (paint_key == 0 || virtual_key != paint_key)
        return;
    paint_key = 0;
    necrogram_stroke_end(&board);
}
