// ec_cursor.cpp -- cursor position in framebuffer pixels, the 16 ms frame timer, the F1 panel's lines
#include "ui/ec_cursor.h"

#include "engine/ec_assert.h"
#include "engine/ec_memory.h"
#include "engine/ec_strings.h"
#include "graphics/d3d_font.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_window.h"
#include "platform/pf_system.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

int cursor_x = 0;
int cursor_y = 0;

bool window_active = true;
// Milliseconds the window has spent inactive, and since when it is (while it is).
std::uint64_t inactive_ms = 0;
u32 inactive_since = 0;

bool frame_tick = false;
u32 last_tick_time = 0;
u32 frame_counter = 0;
u32 second_start = 0;
u32 frame_rate = 0;

constexpr u32 frame_tick_ms = 16;
constexpr u32 frame_backlog_ms = 250;

// The diagnostics panel.
constexpr int num_diag_strings = 4;
constexpr int diag_x = 8;
constexpr int diag_y[num_diag_strings] = {8, 40, 80, 112};
constexpr u32 diag_colour = 0xFFFFFFFFu;
constexpr int diag_scale = 3;
dword diag_strings[num_diag_strings] = {invalid_id, invalid_id, invalid_id, invalid_id};
bool diag_visible = false;

// TOMBWEAVER_FRAME_LOG set: the frame rate also goes to stderr once a second, for
// measuring scripts that cannot read the diagnostics panel.
bool frame_log = false;
double longest_update_ms = 0, total_update_ms = 0; // this second's
u32 updates_noted = 0;

} // namespace

void cursor_update_position(int x, int y) {
    float scale_x, scale_y;
    d3d_get_mouse_scale(&scale_x, &scale_y);
    int offset_x, offset_y;
    d3d_get_mouse_offset(&offset_x, &offset_y);
    x -= offset_x;
    y -= offset_y;

    // The nearest framebuffer pixel, halves rounding up, kept inside the picture.
    // The mouse scale maps the picture's rectangle in the client area onto the whole
    // 1280 x 720 framebuffer, so a click on a bar lands on the picture's edge.
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

void window_active_set(bool active) {
    const u32 now = platform_get_tick_count();
    if (window_active && !active)
        inactive_since = now;
    else if (!window_active && active)
        inactive_ms += now - inactive_since;
    window_active = active;
}
bool window_active_get() { return window_active; }

std::uint64_t window_inactive_ms() {
    return inactive_ms + (window_active ? 0 : platform_get_tick_count() - inactive_since);
}

void frame_timer_start() {
    u32 now = platform_get_tick_count();
    second_start = now;
    last_tick_time = now;
    frame_counter = 0;
    frame_rate = 0;
    frame_tick = false;
    frame_log = std::getenv("TOMBWEAVER_FRAME_LOG") != nullptr;
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
        if (frame_log)
            std::fprintf(stderr, "frame rate %u\nlongest frame %.1f ms\nmean frame %.2f ms\n", (unsigned)frame_rate,
                         longest_update_ms, updates_noted ? total_update_ms / updates_noted : 0.0);
        longest_update_ms = total_update_ms = 0;
        updates_noted = 0;
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

void frame_timer_note_update(double ms) {
    longest_update_ms = std::max(longest_update_ms, ms);
    total_update_ms += ms;
    ++updates_noted;
}

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

void diag_strings_create() {
    safestring *s = scratch_string();
    safestring_create(s, "");
    for (int i = 0; i < num_diag_strings; ++i)
        diag_strings[i] = d3dui_string_new(diag_x, diag_y[i], s, diag_colour, diag_scale);
    diag_strings_show();
}

void diag_strings_show() {
    for (dword id : diag_strings)
        if (id != invalid_id)
            d3dui_string_set_visible(id, diag_visible);
    // Lines appear filled in, even before the next frame's update.
    diag_strings_update();
}

void diag_strings_toggle() {
    diag_visible = !diag_visible;
    diag_strings_show();
}

void diag_strings_update() {
    if (!diag_visible || diag_strings[0] == invalid_id)
        return;
    safestring *s = scratch_string();
    safestring_create(s, "framerate : ");
    safestring_concat_str(s, number_text_format((int)frame_rate_get()));
    d3dui_string_update(diag_strings[0], s);
    memory_status_text();
    d3dui_string_update(diag_strings[1], s);
    d3d_window_res_string();
    d3dui_string_update(diag_strings[2], s);
    cursor_text();
    d3dui_string_update(diag_strings[3], s);
}

void diag_strings_free() {
    for (dword &id : diag_strings) {
        if (id != invalid_id)
            d3dui_string_free(id);
        id = invalid_id;
    }
}

bool diag_visible_get() { return diag_visible; }
