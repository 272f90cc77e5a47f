// g_map.h -- the map (appmode_map): the chain of locations, one puzzle each
#pragma once

#include "engine/ec_types.h"
#include "ui/ec_ui.h"

constexpr int num_map_locations = 25;
constexpr dword map_back_id = 999;
constexpr dword map_location_first_id = 100;

// One location: its 32 x 32 button's top-left in screen pixels, the puzzle it
// opens and the puzzle that must be completed first (-1: none).
struct map_location {
    char name[64];
    s32 x, y;
    u32 puzzle_id;
    s32 prerequisite;
    u32 draw_path; // low byte non-zero: a path joins it to its prerequisite's location
};

// The constant table of locations, read-only.
const map_location *map_location_get(int index);

// Builds the map from the player record: a location is shown when it has no
// prerequisite or that puzzle is completed, and disabled when its own puzzle is, until
// every puzzle is: then each completed location keeps its tick and opens its board again.
// Loads "ui_gfx\map_button.kzg" and "game\map.kzb"; plays the title song.
void appmode_map_init();
// Removes the layer and the window and frees the button sheet.
void appmode_map_free();

// Keys: the arrows and Tab move the focus along the open locations in path order and
// on to the back button, Return and Space press it, Escape goes back to the menu.
// Ignored while a mouse button is held.
void appmode_map_keydown(unsigned virtual_key);

// Button handlers: back to the menu (a foreign id raises "id == map_back_id");
// a location makes its puzzle active and opens the board (ids 100 + index; others
// raise "index >= 0" or "index < num_map_locations").
void map_do_back(dword id);
void map_do_location(dword id);
// The draw callback of every location button: sprite state of the button sheet (a
// location open for replay: the tick, framed while under the mouse or pressed).
void map_location_draw(dword id, int x, int y, int scale, int state);
// The window's draw callback: a three-pixel black path from each shown location
// whose prerequisite is completed and shown back to that location; "n of 25 captured"
// beside the Back button; the name of the location under the mouse or the keys' focus.
void map_draw_paths(int x, int y);

// While the map is shown: whether location index has a button, and its record (tests).
bool map_location_shown(int index);
const image_button_data *map_location_button(int index);
