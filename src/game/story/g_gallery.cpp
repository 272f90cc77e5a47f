// g_gallery.cpp -- the gallery of captured monsters, and the board client that shows one finished
#include "game/story/g_gallery.h"

#include "engine/ec_assert.h"
#include "engine/ec_fileio.h"
#include "game/board/g_board_client.h"
#include "game/g_game.h"
#include "game/g_screen.h"
#include "game/g_strings.h"
#include "game/story/g_map.h"
#include "game/story/g_player.h"
#include "game/story/g_puzzles.h"
#include "graphics/d3d_gfx2d.h"
#include "platform/pf_keys.h"
#include "ui/app_modes.h"
#include "ui/ec_ui.h"

#include <string>

namespace {

constexpr int scale = 2;
constexpr int slice = 8 * scale;
// A framed window of 40 x 42 slices in the middle of the screen.
constexpr s32 win_x1 = 640 - 20 * slice, win_x2 = 640 + 20 * slice;
constexpr s32 win_y1 = 360 - 21 * slice, win_y2 = 360 + 21 * slice;

// The grid: 5 x 5 pictures of 80 pixels on slabs, 96 apart, under the count.
constexpr int columns = 5;
constexpr int picture_size = 80;
constexpr int picture_pitch = 96;
constexpr int grid_x = 640 - (columns * picture_pitch - (picture_pitch - picture_size)) / 2;
constexpr int grid_y = win_y1 + 96;
constexpr int slab_border = 4;
constexpr int name_y = grid_y + 5 * picture_pitch;

constexpr u32 text_colour = 0xFFFFFFFF;
constexpr u32 dim_colour = 0xFF8A8698;
constexpr u32 slab_colour = 0xFF2C2A3C;
constexpr u32 ink_colour = 0xFFE8E2CC;
constexpr u32 focus_colour = 0xFFE8B848;

dword background_layer = invalid_id;
dword gallery_window = invalid_id;
bool leave_requested = false;

dynamic_button_data back_button = {
    .string_id = str_map_back,
    .id = gallery_back_id,
    .x = (win_x2 - win_x1) / 2,
    .y = win_y2 - win_y1 - 4 * slice,
    .block_width = 8,
    .scale = scale,
    .flags = 0,
    .on_click = gallery_do_back,
};
image_button_data picture_buttons[num_map_locations];
bool picture_shown[num_map_locations];

void draw_text_centred(const std::string &text, int y, u32 colour) {
    safestring *s = scratch_string();
    safestring_create(s, text.c_str());
    gfx2d_draw_string(640 - gfx2d_strlen(s, scale) / 2, y, s, colour, scale);
}

// A location's place: its picture when captured, else a blank slab with its number.
void draw_place(int index, bool focused) {
    int x = 0, y = 0, size = 0;
    gallery_picture_rect(index, &x, &y, &size);
    for (int r = y - slab_border; r < y + size + slab_border; ++r)
        gfx2d_draw_hline(x - slab_border, x + size + slab_border - 1, r, slab_colour);
    if (focused)
        for (int i = 0; i < 2; ++i) {
            const int x0 = x - slab_border + i, x1 = x + size + slab_border - 1 - i;
            const int y0 = y - slab_border + i, y1 = y + size + slab_border - 1 - i;
            gfx2d_draw_hline(x0, x1, y0, focus_colour);
            gfx2d_draw_hline(x0, x1, y1, focus_colour);
            gfx2d_draw_vline(x0, y0, y1, focus_colour);
            gfx2d_draw_vline(x1, y0, y1, focus_colour);
        }
    int edge = 0;
    const u8 *cells =
        player_has_completed((unsigned long)index) ? puzzle_get_info((u32)index, &edge, nullptr) : nullptr;
    if (!cells || edge <= 0) {
        safestring *s = scratch_string();
        safestring_create(s, std::to_string(index + 1).c_str());
        gfx2d_draw_string(x + (size - gfx2d_strlen(s, scale)) / 2, y + size / 2 - 8, s, dim_colour, scale);
        return;
    }
    const int cell = size / edge;
    const int inset = (size - cell * edge) / 2;
    for (int r = 0; r < edge; ++r)
        for (int c = 0; c < edge; ++c)
            if (cells[r * edge + c])
                gfx2d_draw_pixel(x + inset + c * cell, y + inset + r * cell, ink_colour, cell);
}

// The picture under the mouse or the keys' focus, -1 for none.
int focused_picture() {
    const ui_element *e = ui_focus_element();
    for (int i = 0; e && i < num_map_locations; ++i)
        if (picture_shown[i] && e->data == &picture_buttons[i])
            return i;
    return -1;
}

void picture_draw(dword, int, int, int, int) {} // drawn with the grid, in the window's draw

void gallery_draw(int, int) {
    const int captured = player_num_completed();
    draw_text_centred(std::to_string(captured) + " of " + std::to_string(num_map_locations) + " captured", win_y1 + 52,
                      text_colour);
    const int focused = focused_picture();
    for (int i = 0; i < num_map_locations; ++i)
        draw_place(i, i == focused);
    if (focused >= 0)
        draw_text_centred("Location " + std::to_string(focused + 1), name_y, text_colour);
    else
        draw_text_centred("Click a monster to see its board", name_y, dim_colour);
}

void gallery_window_removed() {
    gallery_window = invalid_id;
    leave_requested = true;
}

// The board client: one captured location shown finished.
int shown_location = 0;
pz_puzzle shown_puzzle;

const pz_puzzle *shown_puzzle_get() {
    int edge = 0;
    const u8 *cells = puzzle_get_info((u32)shown_location, &edge, nullptr);
    if (!cells || edge <= 0)
        return nullptr;
    shown_puzzle = pz_from_picture(edge, edge, cells);
    return &shown_puzzle;
}

// Every cell of the picture marked: the board opens solved, as it was captured.
bool shown_restore(necrogram_board *b, double *) {
    for (int i = 0; i < b->width * b->height; ++i)
        b->marks[i] = b->puzzle.goal[(size_t)i] ? mark_full : mark_empty;
    b->solved = necrogram_is_solved(b);
    return true;
}
void shown_keep(const necrogram_board *, double) {}
void shown_captured(const necrogram_board *, double) {} // captured long ago
void shown_leave() { set_app_mode(appmode_gallery); }
std::string shown_name() { return "Location " + std::to_string(shown_location + 1); }

const board_client shown_client = {
    .puzzle = shown_puzzle_get,
    .restore = shown_restore,
    .keep = shown_keep,
    .captured = shown_captured,
    .leave = shown_leave,
    .list_place = nullptr,
    .step = nullptr,
    .caption = nullptr,
    .note = nullptr,
    .exit_label = str_map_back,
    .escape_label = str_ng_act_back,
    .timed = false,
    .picture_name = shown_name,
};

} // namespace

bool gallery_available() { return (player_record_owned() ? player_num_completed() : player_saved_captures()) > 0; }

void gallery_picture_rect(int index, int *x, int *y, int *size) {
    *x = grid_x + (index % columns) * picture_pitch;
    *y = grid_y + (index / columns) * picture_pitch;
    *size = picture_size;
}

bool gallery_picture_shown(int index) {
    return gallery_window != invalid_id && index >= 0 && index < num_map_locations && picture_shown[index];
}

dword gallery_window_get() { return gallery_window; }

void appmode_gallery_init() {
    leave_requested = false;
    if (!player_record_owned() && save_file_exists())
        player_continue(); // the captures of the save, as Continue reads them
    ui_window_add_fullscreen(nullptr);
    const window_data frame = {
        .flags = window_flag_framed | window_flag_filled,
        .caption_id = str_gal_caption,
        .x1 = win_x1,
        .y1 = win_y1,
        .x2 = win_x2,
        .y2 = win_y2,
        .scale = scale,
        .draw = gallery_draw,
        .on_remove = gallery_window_removed,
    };
    gallery_window = ui_window_add(&frame);
    for (int i = 0; i < num_map_locations; ++i) {
        picture_shown[i] = gallery_window != invalid_id && player_has_completed((unsigned long)i);
        if (!picture_shown[i])
            continue;
        int x = 0, y = 0, size = 0;
        gallery_picture_rect(i, &x, &y, &size);
        picture_buttons[i] = {
            .id = gallery_picture_first_id + (dword)i,
            .x = x - slab_border - win_x1,
            .y = y - slab_border - win_y1,
            .width = size + 2 * slab_border,
            .height = size + 2 * slab_border,
            .flags = 0,
            .draw = picture_draw,
            .on_click = gallery_do_picture,
        };
        image_button_add(gallery_window, &picture_buttons[i]);
    }
    if (gallery_window != invalid_id) {
        back_button.flags = 0;
        dynamic_button_add(gallery_window, &back_button);
    }
    ui_mousemove();
    background_layer = title_picture_add();
    main_menu_start_song();
}

void appmode_gallery_free() {
    title_picture_remove(&background_layer);
    gallery_window = invalid_id; // before the removal, so it is no request to leave
    ui_window_remove_all();
    for (bool &shown : picture_shown)
        shown = false;
}

void appmode_gallery_update() {
    if (leave_requested) {
        leave_requested = false;
        set_app_mode(appmode_main_menu);
        return;
    }
    appmode_main_menu_update();
}

void appmode_gallery_keydown(unsigned virtual_key) {
    if (platform_key_held(vk_lbutton) || platform_key_held(vk_rbutton))
        return; // the mouse is in the middle of a click
    if (virtual_key == vk_escape) {
        gallery_do_back(gallery_back_id);
        return;
    }
    const void *order[num_map_locations + 1];
    int count = 0;
    for (int i = 0; i < num_map_locations; ++i)
        if (picture_shown[i])
            order[count++] = &picture_buttons[i];
    order[count++] = &back_button;
    ui_focus_key(virtual_key, order, count);
}

void gallery_do_picture(dword id) {
    const long long index = (long long)id - (long long)gallery_picture_first_id;
    if (!ec_assert(index >= 0 && index < num_map_locations) || !ec_assert(player_has_completed((unsigned long)index)))
        return;
    shown_location = (int)index;
    necrogram_client_set(&shown_client);
    set_app_mode(appmode_necrogram);
}

void gallery_do_back(dword id) {
    if (!ec_assert(id == gallery_back_id))
        return;
    set_app_mode(appmode_main_menu);
}
