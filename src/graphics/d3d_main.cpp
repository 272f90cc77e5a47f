// d3d_main.cpp -- the graphics device: start-up checks, the frame, the device-bound modules
#include "graphics/d3d_main.h"

#include "engine/ec_assert.h"
#include "graphics/d3d_font.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_window.h"
#include "platform/pf_video.h"

namespace {

// A module whose resources live as long as the device. Null entries do nothing.
// prepare readies the module's part of the frame (whole: from scratch) and says
// whether it differs from the last frame presented.
struct d3d_resource {
    void (*init)();
    void (*free)();
    bool (*prepare)(bool whole);
    void (*render)();
};

// Walked in this order for init, render and free alike: the overlay text comes
// last so it lies on top of the framebuffer picture.
const d3d_resource d3d_resource_table[] = {
    {.init = d3d_gfx2d_init, .free = d3d_gfx2d_free, .prepare = d3d_gfx2d_prepare, .render = d3d_gfx2d_render},
    {.init = d3dui_font_init,
     .free = d3dui_font_free,
     .prepare = d3dui_font_prepare,
     .render = d3dui_font_render_strings},
};

constexpr u32 clear_colour = 0xFF000000u;

bool device_ready = false;

} // namespace

bool d3d_init() {
    if (platform_display_mode_count() < 0) {
        fatal_start_up_error(10);
        return false;
    }
    if (!d3d_choose_resolution()) {
        fatal_start_up_error(11);
        return false;
    }
    d3d_window_apply_res();
    if (!platform_renderer_create()) {
        fatal_start_up_error(12);
        return false;
    }
    if (!platform_renderer_check_caps()) {
        fatal_start_up_error(13);
        platform_renderer_destroy();
        return false;
    }
    device_ready = true;
    for (const d3d_resource &r : d3d_resource_table)
        if (r.init)
            r.init();
    return true;
}

void d3d_render() {
    if (!ec_assert_text(device_ready, "d3d_device"))
        return;
    // A frame identical to the one on show is neither composed nor presented.
    bool whole = platform_render_redraw_needed();
    bool changed = whole;
    for (const d3d_resource &r : d3d_resource_table)
        if (r.prepare && r.prepare(whole))
            changed = true;
    if (!changed) {
        platform_render_skip();
        return;
    }
    // The picture covers the client area but for the bars, which the clear makes black.
    int out_w = 0, out_h = 0;
    platform_renderer_output_size(&out_w, &out_h);
    picture_rect picture = d3d_picture_rect(out_w, out_h);
    if (picture.width != out_w || picture.height != out_h || whole) {
        if (!platform_render_clear(clear_colour))
            d3d_check(d3derr_invalidcall);
    }
    for (const d3d_resource &r : d3d_resource_table)
        if (r.render)
            r.render();
    platform_render_present();
}

void d3d_free() {
    if (device_ready) {
        for (const d3d_resource &r : d3d_resource_table)
            if (r.free)
                r.free();
    }
    device_ready = false;
    platform_renderer_destroy();
}

bool d3d_device_exists() { return device_ready; }
