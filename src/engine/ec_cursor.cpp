// ec_cursor.cpp -- cursor position in framebuffer pixels, the 16 ms frame timer, diagnostics texts
#include "engine/ec_cursor.h"

#include "engine/ec_assert.h"
#include "engine/ec_memory.h"
#include "engine/ec_strings.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_window.h"
#include "platform/pf_system.h"

#include <cmath>

namespace {

int cursor_x = 0;
int cursor_y = 0;

bool window_active = true;

bool frame_tick = false;
u32 last_tick_time = 0;
u32 frame_counter = 0;
u32 second_start = 0;
u32 frame_rate = 0;

constexpr u32 frame_tick_ms = 16;
constexpr u32 frame_backlog_ms = 250;

} // namespace

void cursor_update_position(int x, int y) {
    float scale_x, scale_y;
    d3d_get_mouse_scale(&scale_x, &scale_y);

    // The nearest framebuffer pixel, halves rounding up, kept inside the picture.
    // The mouse scale maps the client area onto the whole 1280 x 720 framebuffer
    // whatever the window's resolution, so that is the range to clamp to.
    int fx = (int)std::floor((float)x * scale_x + 0.5f);
    int fy = (int)std::floor((float)y * scale_y + 0.5f);
    if (fx < 0)
        fx = 0;
    if (fx >= screen_width)
        fx = screen_width - 1;
    if (fy < 0)
        fy = 0;
    if (fy >= screen_height)
        fy = screen_height - 1;
    cursor_x = fx;
    cursor_y = fy;
}

void cursor_get_position(int *x, int *y) {
    if (!ec_assert(x) || !ec_assert(y))
        return;
    *x = cursor_x;
    *y = cursor_y;
}

void cursor_centre() {
    d3d_window_centre_system_cursor();
    int width, height;
    d3d_get_window_res(&width, &height);
    cursor_update_position(width / 2, height / 2);
}

void window_active_set(bool active) { window_active = active; }
bool window_active_get() { return window_active; }

void frame_timer_start() {
    u32 now = platform_get_tick_count();
    second_start = now;
    last_tick_time = now;
    frame_counter = 0;
    frame_rate = 0;
    frame_tick = false;
}

void frame_timer_update() {
    // No ticks and no counting while the window is inactive: animations stand still.
    if (!window_active) {
        frame_tick = false;
        return;
    }
    u32 now = platform_get_tick_count();
    if (now - second_start > 1000) {
        frame_rate = frame_counter;
        frame_counter = 0;
        second_start += 1000;
    }
    frame_counter += 1;

    u32 d = now - last_tick_time;
    if (d < frame_tick_ms) {
        frame_tick = false;
        return;
    }
    frame_tick = true;
    // A late caller catches up one tick per call; a long stall drops the backlog.
    if (d <= frame_backlog_ms)
        last_tick_time += frame_tick_ms;
    else
        last_tick_time = now;
}

bool frame_tick_is_set() { return frame_tick; }
void frame_tick_clear() { frame_tick = false; }
u32 frame_rate_get() { return frame_rate; }

void memory_status_text() {
    u32 used_mb = memory_bytes_used() >> 20;
    safestring *s = scratch_string();
    safestring_create(s, "Allocations: ");
    safestring_concat_str(s, number_text_format(memory_num_allocations()));
    safestring_concat_str(s, "  Used: ");
    safestring_concat_str(s, number_text_format((int)used_mb));
    safestring_concat_str(s, "MB  Avail: ");
    safestring_concat_str(s, number_text_format((int)(memory_avail_mb() - used_mb)));
    safestring_concat_str(s, "MB");
}

void cursor_text() {
    safestring *s = scratch_string();
    safestring_create(s, "cursor: ( ");
    safestring_concat_str(s, number_text_format(cursor_x));
    safestring_concat_str(s, ", ");
    safestring_concat_str(s, number_text_format(cursor_y));
    safestring_concat_str(s, " )");
}
