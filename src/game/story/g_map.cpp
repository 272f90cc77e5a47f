// g_map.cpp -- the map of locations, their buttons and the paths between them
#include "game/story/g_map.h"

#include "engine/ec_assert.h"
#include "engine/ec_data_set.h"
#include "game/board/g_board_client.h"
#include "game/g_game.h"
#include "game/g_strings.h"
#include "game/story/g_player.h"
#include "game/story/g_puzzles.h"
#include "game/story/g_story_board.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzb.h"
#include "graphics/d3d_kzg.h"
#include "platform/pf_keys.h"
#include "ui/app_modes.h"
#include "ui/ec_ui.h"

#include <algorithm>
#include <string>

namespace {

// Location i holds puzzle i and follows puzzle i - 1. The chain runs along the
// top (0 to 11), then, with no path between 11 and 12, along the lower half.
const map_location map_locations[num_map_locations] = {
    {.name = "Name", .x = 124, .y = 94, .puzzle_id = 0, .prerequisite = -1, .draw_path = 0},
    {.name = "Name", .x = 204, .y = 34, .puzzle_id = 1, .prerequisite = 0, .draw_path = 1},
    {.name = "Name", .x = 311, .y = 31, .puzzle_id = 2, .prerequisite = 1, .draw_path = 1},
    {.name = "Name", .x = 382, .y = 108, .puzzle_id = 3, .prerequisite = 2, .draw_path = 1},
    {.name = "Name", .x = 469, .y = 151, .puzzle_id = 4, .prerequisite = 3, .draw_path = 1},
    {.name = "Name", .x = 564, .y = 177, .puzzle_id = 5, .prerequisite = 4, .draw_path = 1},
    {.name = "Name", .x = 673, .y = 165, .puzzle_id = 6, .prerequisite = 5, .draw_path = 1},
    {.name = "Name", .x = 785, .y = 153, .puzzle_id = 7, .prerequisite = 6, .draw_path = 1},
    {.name = "Name", .x = 857, .y = 65, .puzzle_id = 8, .prerequisite = 7, .draw_path = 1},
    {.name = "Name", .x = 973, .y = 37, .puzzle_id = 9, .prerequisite = 8, .draw_path = 1},
    {.name = "Name", .x = 1091, .y = 87, .puzzle_id = 10, .prerequisite = 9, .draw_path = 1},
    {.name = "Name", .x = 1148, .y = 193, .puzzle_id = 11, .prerequisite = 10, .draw_path = 1},
    {.name = "Name", .x = 42, .y = 456, .puzzle_id = 12, .prerequisite = 11, .draw_path = 0},
    {.name = "Name", .x = 96, .y = 378, .puzzle_id = 13, .prerequisite = 12, .draw_path = 1},
    {.name = "Name", .x = 176, .y = 349, .puzzle_id = 14, .prerequisite = 13, .draw_path = 1},
    {.name = "Name", .x = 257, .y = 377, .puzzle_id = 15, .prerequisite = 14, .draw_path = 1},
    {.name = "Name", .x = 331, .y = 449, .puzzle_id = 16, .prerequisite = 15, .draw_path = 1},
    {.name = "Name", .x = 454, .y = 508, .puzzle_id = 17, .prerequisite = 16, .draw_path = 1},
    {.name = "Name", .x = 598, .y = 501, .puzzle_id = 18, .prerequisite = 17, .draw_path = 1},
    {.name = "Name", .x = 669, .y = 418, .puzzle_id = 19, .prerequisite = 18, .draw_path = 1},
    {.name = "Name", .x = 734, .y = 331, .puzzle_id = 20, .prerequisite = 19, .draw_path = 1},
    {.name = "Name", .x = 852, .y = 315, .puzzle_id = 21, .prerequisite = 20, .draw_path = 1},
    {.name = "Name", .x = 969, .y = 344, .puzzle_id = 22, .prerequisite = 21, .draw_path = 1},
    {.name = "Name", .x = 1047, .y = 429, .puzzle_id = 23, .prerequisite = 22, .draw_path = 1},
    {.name = "Name", .x = 1036, .y = 510, .puzzle_id = 24, .prerequisite = 23, .draw_path = 1},
};

kzg_sprite_data map_button_sprite = {};
image_button_data map_location_buttons[num_map_locations];
bool location_shown[num_map_locations];
dword background_layer = invalid_id;
// Every puzzle is completed: completed locations stay ticked but open their board again.
bool replay_open = false;
constexpr u32 replay_highlight = 0xFFF0E0A0;

dynamic_button_data back_button = {
    .string_id = str_map_back,
    .id = map_back_id,
    .x = 1152,
    .y = 656,
    .block_width = 10,
    .scale = 2,
    .flags = 0,
    .on_click = map_do_back,
};

// A location is open when it has no prerequisite or that puzzle is completed; a
// prerequisite that is no puzzle raises "puzzle_id < num_puzzles" and locks it.
bool location_open(const map_location &location) {
    return location.prerequisite == -1 || player_has_completed((unsigned long)location.prerequisite);
}

} // namespace

const map_location *map_location_get(int index) {
    if (!ec_assert(index >= 0 && index < num_map_locations))
        return nullptr;
    return &map_locations[index];
}

void appmode_map_init() {
    necrogram_client_set(story_board_client()); // the story's map: its boards are the locations
    d3d_kzg_load_data(asset_map_button, &map_button_sprite);
    const dword window = ui_window_add_fullscreen(map_draw_paths);
    back_button.flags = 0;
    dynamic_button_add(window, &back_button);
    replay_open = player_num_completed() == num_map_locations;

    for (int i = 0; i < num_map_locations; ++i) {
        const map_location &location = map_locations[i];
        location_shown[i] = location_open(location);
        if (!location_shown[i])
            continue;
        map_location_buttons[i] = {
            .id = map_location_first_id + (dword)i,
            .x = location.x,
            .y = location.y,
            .width = 32,
            .height = 32,
            .flags = 0,
            .draw = map_location_draw,
            .on_click = map_do_location,
        };
        image_button_add(window, &map_location_buttons[i]);
        if (!replay_open && player_has_completed(location.puzzle_id))
            image_button_disable(&map_location_buttons[i]);
    }
    // Entered from the menu or the board, which both track the cursor: focus what
    // is under it now, so a click there needs no move first.
    ui_mousemove();

    kzb_image_data image = {};
    d3d_kzb_load_data(asset_map, &image);
    if (image.data) {
        background_layer = gfx2d_background_layer_add(&image);
        d3d_kzb_free_data(&image);
    }
    main_menu_start_song();
}

void appmode_map_free() {
    if (background_layer != invalid_id) {
        gfx2d_background_layer_delete(background_layer);
        background_layer = invalid_id;
    }
    ui_window_remove_all();
    if (map_button_sprite.data)
        d3d_kzg_free_data(&map_button_sprite);
    for (bool &shown : location_shown)
        shown = false;
    replay_open = false;
}

void map_location_draw(dword id, int x, int y, int scale, int state) {
    if (!map_button_sprite.data)
        return; // its load has reported it
    const long long index = (long long)id - (long long)map_location_first_id;
    if (!replay_open || index < 0 || index >= num_map_locations) {
        gfx2d_draw_sprite(&map_button_sprite, x, y, state, scale);
        return;
    }
    // A location open for replay keeps its tick; the mouse or the keys frame it.
    gfx2d_draw_sprite(&map_button_sprite, x, y, image_button_sprite_disabled, scale);
    if (state == image_button_sprite_over || state == image_button_sprite_down) {
        const int edge = 32 * scale - 1;
        gfx2d_draw_hline(x, x + edge, y, replay_highlight);
        gfx2d_draw_hline(x, x + edge, y + edge, replay_highlight);
        gfx2d_draw_vline(x, y, y + edge, replay_highlight);
        gfx2d_draw_vline(x + edge, y, y + edge, replay_highlight);
    }
}

namespace {

// A line of text on a dark label, centred on x, its top at y (kept on the screen).
void draw_label(const std::string &text, int x, int y) {
    safestring *s = scratch_string();
    safestring_create(s, text.c_str());
    const int w = gfx2d_strlen(s, 2);
    const int left = std::clamp(x - w / 2 - 8, 4, screen_width - w - 20);
    for (int r = y; r < y + 26; ++r)
        gfx2d_draw_hline(left, left + w + 15, r, 0xFF1E1C2A);
    gfx2d_draw_string(left + 8, y + 5, s, 0xFFF0E0A0, 2);
}

// The paths between shown locations.
void draw_lines() {
    for (int i = 0; i < num_map_locations; ++i) {
        const map_location &location = map_locations[i];
        const s32 p = location.prerequisite;
        if (p == -1 || (location.draw_path & 0xFF) == 0 || !location_shown[i])
            continue;
        // Only between two locations on the map: a prerequisite that is completed
        // but itself not reached has no button to lead to.
        if (p < 0 || p >= num_map_locations || !location_shown[p] || !player_has_completed((unsigned long)p))
            continue;
        const image_button_data &from = map_location_buttons[i];
        const image_button_data &to = map_location_buttons[p];
        const int x1 = from.x + from.width / 2, y1 = from.y + from.height / 2;
        const int x2 = to.x + to.width / 2, y2 = to.y + to.height / 2;
        gfx2d_draw_line(x1, y1, x2, y2);
        gfx2d_draw_line(x1 + 1, y1, x2 + 1, y2);
        gfx2d_draw_line(x1 - 1, y1, x2 - 1, y2);
        gfx2d_draw_line(x1, y1 + 1, x2, y2 + 1);
        gfx2d_draw_line(x1, y1 - 1, x2, y2 - 1);
    }
}

// The location under the mouse or the keys' focus, -1 for none.
int focused_location() {
    const ui_element *e = ui_focus_element();
    for (int i = 0; e && i < num_map_locations; ++i)
        if (location_shown[i] && e->data == &map_location_buttons[i])
            return i;
    return -1;
}

} // namespace

void map_draw_paths(int, int) {
    draw_lines();
    draw_label(std::to_string(player_num_completed()) + " of " + std::to_string(num_map_locations) + " captured", 900,
               664);
    if (const int i = focused_location(); i >= 0) {
        const image_button_data &b = map_location_buttons[i];
        draw_label("Location " + std::to_string(i + 1), b.x + b.width / 2, b.y > 40 ? b.y - 30 : b.y + b.height + 4);
    }
}

void map_do_back(dword id) {
    if (!ec_assert(id == map_back_id))
        return;
    set_app_mode(appmode_main_menu);
}

void map_do_location(dword id) {
    const long long index = (long long)id - (long long)map_location_first_id;
    if (!ec_assert(index >= 0))
        return;
    if (!ec_assert(index < num_map_locations))
        return;
    story_board_play(map_locations[index].puzzle_id);
}

void appmode_map_keydown(unsigned virtual_key) {
    if (platform_key_held(vk_lbutton) || platform_key_held(vk_rbutton))
        return; // the mouse is in the middle of a click
    if (virtual_key == vk_escape) {
        map_do_back(map_back_id);
        return;
    }
    // The open locations along the path, then the back button; the completed
    // (disabled) ones cannot take the focus.
    const void *order[num_map_locations + 1];
    int count = 0;
    for (int i = 0; i < num_map_locations; ++i)
        if (location_shown[i])
            order[count++] = &map_location_buttons[i];
    order[count++] = &back_button;
    ui_focus_key(virtual_key, order, count);
}

bool map_location_shown(int index) { return index >= 0 && index < num_map_locations && location_shown[index]; }

const image_button_data *map_location_button(int index) {
    return map_location_shown(index) ? &map_location_buttons[index] : nullptr;
}
