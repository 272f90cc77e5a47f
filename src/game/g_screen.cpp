// g_screen.cpp -- what the menu-like screens share: their frame, mouse and the title picture
#include "game/g_screen.h"

#include "engine/ec_data_set.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzb.h"
#include "graphics/d3d_main.h"
#include "sound/direct_sound.h"
#include "ui/ec_cursor.h"
#include "ui/ec_ui.h"

void appmode_main_menu_update() {
    frame_timer_update();
    frame_tick_clear(); // nothing here is animated
    sound_update();
    gfx2d_fill_screen(0);
    ui_draw();
    diag_strings_update();
    d3d_render();
}

void appmode_main_menu_mousemove(int x, int y, unsigned) {
    cursor_update_position(x, y);
    ui_mousemove();
}

void appmode_main_menu_lbutton(bool down) { ui_lbutton(down); }

dword title_picture_add() {
    kzb_image_data image = {};
    d3d_kzb_load_data(asset_start_screen, &image);
    if (!image.data)
        return invalid_id; // its load has reported why
    const dword layer = gfx2d_background_layer_add(&image);
    d3d_kzb_free_data(&image);
    return layer;
}

void title_picture_remove(dword *layer) {
    if (*layer == invalid_id)
        return;
    gfx2d_background_layer_delete(*layer);
    *layer = invalid_id;
}
