// g_ending.cpp -- the ending: the closing lines, the gallery of captures, the way back to the title
#include "game/story/g_ending.h"

#include "engine/ec_assert.h"
#include "game/g_game.h"
#include "game/g_screen.h"
#include "game/g_strings.h"
#include "game/story/g_player.h"
#include "game/story/g_puzzles.h"
#include "graphics/d3d_gfx2d.h"
#include "platform/pf_keys.h"
#include "ui/app_modes.h"
#include "ui/ec_ui.h"

namespace {

constexpr int scale = 2;
constexpr int slice = 8 * scale;
// A framed window of 50 x 42 slices, in the middle of the screen.
constexpr s32 win_x1 = 640 - 25 * slice, win_x2 = 640 + 25 * slice;
constexpr s32 win_y1 = 360 - 21 * slice, win_y2 = 360 + 21 * slice;

// The gallery: 5 x 5 pictures of 60 pixels on slabs, 84 pixels apart.
constexpr int gallery_columns = 5;
constexpr int picture_size = 60;
constexpr int picture_pitch = 84;
constexpr int gallery_x = 640 - (gallery_columns * picture_pitch - (picture_pitch - picture_size)) / 2;
constexpr int gallery_y = 164;
constexpr int slab_border = 4;

constexpr u32 text_colour = 0xFFFFFFFF;
constexpr u32 slab_colour = 0xFF2C2A3C;
constexpr u32 ink_colour = 0xFFE8E2CC;

dword background_layer = invalid_id;
dword ending_window = invalid_id;
bool leave_requested = false;

dynamic_button_data title_button = {
    .string_id = str_end_title,
    .id = ending_title_id,
    .x = (win_x2 - win_x1) / 2,
    .y = 600 - win_y1,
    .block_width = 8,
    .scale = scale,
    .flags = 0,
    .on_click = ending_do_title,
};

void draw_centred(const safestring *s, int y, int text_scale) {
    if (!s)
        return;
    gfx2d_draw_string(640 - gfx2d_strlen(s, text_scale) / 2, y, s, text_colour, text_scale);
}

// One captured picture, its cells enlarged to fill the 60-pixel square.
void draw_picture(int index) {
    int x = 0, y = 0, size = 0;
    ending_picture_rect(index, &x, &y, &size);
    for (int r = y - slab_border; r < y + size + slab_border; ++r)
        gfx2d_draw_hline(x - slab_border, x + size + slab_border - 1, r, slab_colour);
    int edge = 0;
    const u8 *cells =
        player_has_completed((unsigned long)index) ? puzzle_get_info((u32)index, &edge, nullptr) : nullptr;
    if (!cells || edge <= 0)
        return;
    const int cell = size / edge;
    const int inset = (size - cell * edge) / 2;
    for (int r = 0; r < edge; ++r)
        for (int c = 0; c < edge; ++c)
            if (cells[r * edge + c])
                gfx2d_draw_pixel(x + inset + c * cell, y + inset + r * cell, ink_colour, cell);
}

void ending_draw(int, int y) {
    draw_centred(safestring_get_from_id(str_end_line_1), y + 12, scale);
    draw_centred(safestring_get_from_id(str_end_line_2), y + 44, scale);
    for (int i = 0; i < (int)num_puzzles; ++i)
        draw_picture(i);
}

// The window's close button: leave on the next frame, once the toolkit is done with it.
void ending_window_removed() {
    ending_window = invalid_id;
    leave_requested = true;
}

} // namespace

bool ending_due(int captures_before) {
    return captures_before < (int)num_puzzles && player_num_completed() == (int)num_puzzles;
}

void ending_picture_rect(int index, int *x, int *y, int *size) {
    *x = gallery_x + (index % gallery_columns) * picture_pitch;
    *y = gallery_y + (index / gallery_columns) * picture_pitch;
    *size = picture_size;
}

void appmode_ending_init() {
    leave_requested = false;
    ui_window_add_fullscreen(nullptr);
    const window_data frame = {
        .flags = window_flag_framed | window_flag_filled,
        .caption_id = str_end_caption,
        .x1 = win_x1,
        .y1 = win_y1,
        .x2 = win_x2,
        .y2 = win_y2,
        .scale = scale,
        .draw = ending_draw,
        .on_remove = ending_window_removed,
    };
    ending_window = ui_window_add(&frame);
    if (ending_window != invalid_id) {
        title_button.flags = 0;
        dynamic_button_add(ending_window, &title_button);
    }
    ui_mousemove();

    background_layer = title_picture_add();
    main_menu_start_song();
}

void appmode_ending_free() {
    title_picture_remove(&background_layer);
    ending_window = invalid_id; // before the removal, so it is no request to leave
    ui_window_remove_all();
}

void appmode_ending_update() {
    if (leave_requested) {
        leave_requested = false;
        set_app_mode(appmode_main_menu);
        return;
    }
    appmode_main_menu_update();
}

void appmode_ending_keydown(unsigned virtual_key) {
    if (platform_key_held(vk_lbutton) || platform_key_held(vk_rbutton))
        return; // the mouse is in the middle of a click
    if (virtual_key == vk_return || virtual_key == vk_space || virtual_key == vk_escape)
        ending_do_title(ending_title_id);
}

void ending_do_title(dword id) {
    if (!ec_assert(id == ending_title_id))
        return;
    set_app_mode(appmode_main_menu);
}

dword ending_window_get() { return ending_window; }
