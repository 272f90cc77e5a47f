// d3d_window.cpp -- the main window, its client resolution and the mouse scale
#include "graphics/d3d_window.h"

#include "engine/ec_assert.h"
#include "engine/ec_data_set.h"
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"
#include "engine/ec_strings.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzg.h"
#include "platform/pf_events.h"
#include "platform/pf_video.h"

namespace {

// The window is made at this size and given window_res once the modes are known.
constexpr int initial_window_width = 1024;
constexpr int initial_window_height = 768;
// A usable area smaller than this (a bogus report) is not shrunk to.
constexpr int min_window_width = 320;
constexpr int min_window_height = 180;

int window_res_width = 1280;
int window_res_height = 720;
float mouse_scale_x = 1.0f;
float mouse_scale_y = 1.0f;
int mouse_offset_x = 0;
int mouse_offset_y = 0;
int client_centre_x = 0;
int client_centre_y = 0;

// The game's icon on its window; a pack without one leaves the system's icon.
void set_window_icon() {
    if (!packfile_is_open() || pack_file_get_index(asset_icon) == invalid_id)
        return;
    int width = 0, height = 0;
    u32 *pixels = d3d_kzg_to_new_buffer(asset_icon, &width, &height);
    if (!pixels)
        return;
    platform_window_set_icon(pixels, width, height);
    zel_free(pixels);
}

} // namespace

bool d3d_window_create() {
    const safestring *title = safestring_get_from_id(0);
    // No video system is no display: the graphics system's text says to connect one.
    if (!platform_video_init()) {
        fatal_start_up_error(10);
        return false;
    }
    if (!platform_window_create(title ? title->text : "", initial_window_width, initial_window_height)) {
        fatal_start_up_error(9);
        return false;
    }
    set_window_icon();
    return true;
}

void d3d_window_destroy() {
    if (!platform_window_exists())
        return;
    platform_window_destroy();
    platform_send_message(msg_destroy, 0, 0);
}

void d3d_window_show() { platform_window_show(); }

void d3d_window_show_cursor(bool shown) { platform_cursor_show(shown); }

bool d3d_choose_resolution() {
    int n = platform_display_mode_count();
    if (n < 1)
        return false;
    bool has_1280_720 = false;
    int largest_width = 0, largest_height = 0;
    long long largest_area = 0;
    for (int i = 0; i < n; ++i) {
        int w = 0, h = 0;
        if (!platform_display_mode(i, &w, &h)) {
            d3d_check(d3derr_invalidcall);
            continue;
        }
        if (w == 1280 && h == 720)
            has_1280_720 = true;
        // On equal areas the earlier mode stays.
        long long area = (long long)w * (long long)h;
        if (w > 0 && h > 0 && area > largest_area) {
            largest_area = area;
            largest_width = w;
            largest_height = h;
        }
    }
    // Any screen will do: the picture keeps its shape in whatever the window gets.
    if (largest_area == 0)
        return false;
    if (has_1280_720) {
        window_res_width = 1280;
        window_res_height = 720;
    } else {
        window_res_width = largest_width;
        window_res_height = largest_height;
    }
    return true;
}

void d3d_window_apply_res() {
    int top, left, bottom, right;
    platform_window_borders(&top, &left, &bottom, &right);
    // The window takes what fits of the usable desktop area, frame included.
    int wa_x, wa_y, wa_w, wa_h;
    const bool bounds = platform_display_usable_bounds(&wa_x, &wa_y, &wa_w, &wa_h);
    if (bounds && wa_w - left - right >= min_window_width && wa_w - left - right < window_res_width)
        window_res_width = wa_w - left - right;
    if (bounds && wa_h - top - bottom >= min_window_height && wa_h - top - bottom < window_res_height)
        window_res_height = wa_h - top - bottom;
    int outer_width = window_res_width + left + right;
    int outer_height = window_res_height + top + bottom;

    // Centred in the usable desktop area, rounding down.
    int x = wa_x + ((wa_w - outer_width) >> 1);
    int y = wa_y + ((wa_h - outer_height) >> 1);

    platform_window_place(x + left, y + top, window_res_width, window_res_height);
    client_centre_x = window_res_width / 2 + left + x;
    client_centre_y = window_res_height / 2 + top + y;
    d3d_window_update_mouse_scale();
}

picture_rect d3d_picture_rect(int width, int height) {
    if (width <= 0 || height <= 0)
        return {0, 0, 0, 0};
    // Wider than 16:9: full height, bars left and right; else full width, bars above and below.
    long long w = width, h = height;
    if (w * screen_height > h * screen_width)
        w = (h * screen_width + screen_height / 2) / screen_height;
    else
        h = (w * screen_height + screen_width / 2) / screen_width;
    return {(int)((width - w) / 2), (int)((height - h) / 2), (int)w, (int)h};
}

void d3d_get_window_res(int *width, int *height) {
    if (!ec_assert(width) || !ec_assert(height))
        return;
    *width = window_res_width;
    *height = window_res_height;
}

void d3d_get_mouse_scale(float *x, float *y) {
    *x = mouse_scale_x;
    *y = mouse_scale_y;
}

void d3d_get_mouse_offset(int *x, int *y) {
    *x = mouse_offset_x;
    *y = mouse_offset_y;
}

void d3d_window_update_mouse_scale() {
    int cw = 0, ch = 0;
    platform_window_client_size(&cw, &ch);
    picture_rect r = d3d_picture_rect(cw, ch);
    if (r.width > 0 && r.height > 0) {
        mouse_scale_x = (float)screen_width / (float)r.width;
        mouse_scale_y = (float)screen_height / (float)r.height;
    } else {
        mouse_scale_x = 1.0f;
        mouse_scale_y = 1.0f;
    }
    mouse_offset_x = r.x;
    mouse_offset_y = r.y;
}

void d3d_window_centre_system_cursor() { platform_mouse_warp_global(client_centre_x, client_centre_y); }

void d3d_window_get_client_centre(int *x, int *y) {
    *x = client_centre_x;
    *y = client_centre_y;
}

void d3d_window_res_string() {
    safestring *s = scratch_string();
    safestring_create(s, "Current Resolution: ");
    safestring_concat_str(s, number_text_format(window_res_width));
    safestring_concat_char(s, 'x');
    safestring_concat_str(s, number_text_format(window_res_height));
}

void d3d_window_set_for_test(int width, int height, float scale_x, float scale_y) {
    window_res_width = width;
    window_res_height = height;
    mouse_scale_x = scale_x;
    mouse_scale_y = scale_y;
    mouse_offset_x = mouse_offset_y = 0;
}
