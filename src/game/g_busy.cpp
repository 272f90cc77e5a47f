// g_busy.cpp -- long work off the frame: the window kept drawn, Escape and closing honoured meanwhile
#include "game/g_busy.h"

#include "engine/ec_strings.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_main.h"
#include "platform/pf_events.h"
#include "platform/pf_keys.h"
#include "platform/pf_video.h"
#include "ui/ec_cursor.h"

#include <algorithm>
#include <chrono>
#include <future>

namespace {

bool active = false;

// Work over within this is waited for without a frame.
constexpr auto slice = std::chrono::milliseconds(50);
constexpr int box_width = 760, box_height = 96, text_scale = 2;
constexpr u32 colour_text = 0xFFFFFFFFu, colour_hint = 0xFFA8A4B8u, colour_edge = 0xFFE8B848u;

void draw_centred(int y, const std::string &utf8, u32 colour) {
    safestring *s = scratch_string();
    safestring_create_utf8(s, utf8.c_str());
    int width = gfx2d_strlen(s, text_scale);
    while (width > box_width - 32 && s->length > 4) { // too long: cut, with "..."
        s->length -= 1;
        std::copy_n("...", 4, s->text + s->length - 3);
        width = gfx2d_strlen(s, text_scale);
    }
    gfx2d_draw_string((screen_width - width) / 2, y, s, colour, text_scale);
}

// The box over whatever the screen drew last.
void draw_box(const std::string &text) {
    const int x0 = (screen_width - box_width) / 2, y0 = (screen_height - box_height) / 2;
    const int x1 = x0 + box_width - 1, y1 = y0 + box_height - 1;
    gfx2d_fill_rect(x0, y0, x1, y1);
    for (int i = 0; i < 2; ++i) {
        gfx2d_draw_hline(x0 + i, x1 - i, y0 + i, colour_edge);
        gfx2d_draw_hline(x0 + i, x1 - i, y1 - i, colour_edge);
        gfx2d_draw_vline(x0 + i, y0 + i, y1 - i, colour_edge);
        gfx2d_draw_vline(x1 - i, y0 + i, y1 - i, colour_edge);
    }
    draw_centred(y0 + 28, text, colour_text);
    draw_centred(y0 + 58, "Escape stops", colour_hint);
}

// One message taken while the work goes on: how it ends the wait, if it does.
bool handle(const platform_message &msg, busy_end *end) {
    switch (msg.message) {
    case msg_keydown:
        if (msg.wparam != vk_escape)
            return false;
        *end = busy_end::stopped;
        return true;
    case msg_close: *end = busy_end::closing; return true;
    case msg_activate:
    case msg_size:
        platform_dispatch_message(&msg); // the window's own state stays true
        return false;
    case msg_dropfiles:
        platform_drop_take(msg.wparam); // dropped while busy: not opened
        return false;
    default: return false;
    }
}

} // namespace

busy_end busy_run(const std::function<void(const std::atomic<bool> &cancel)> &work,
                  const std::function<std::string()> &text) {
    std::atomic<bool> cancel{false};
    std::future<void> over = std::async(std::launch::async, [&] { work(cancel); });
    if (over.wait_for(slice) == std::future_status::ready)
        return busy_end::done;
    busy_end end = busy_end::done;
    bool quit = false;
    active = true;
    while (over.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
        if (end != busy_end::done) {
            over.wait(); // cancelled: the work ends soon
            break;
        }
        platform_run_loop_hook();
        while (end == busy_end::done && platform_peek_message()) {
            platform_message msg;
            if (!platform_get_message(&msg)) {
                quit = true; // the loop's own end: posted again below
                end = busy_end::closing;
            } else if (handle(msg, &end)) {
                break;
            }
        }
        if (end != busy_end::done) {
            cancel = true;
            continue;
        }
        if (std::uint32_t wait = platform_frame_wait_ms()) {
            platform_wait_message(std::min<std::uint32_t>(wait, 4));
            continue;
        }
        platform_frame_start();
        frame_timer_update();
        draw_box(text());
        d3d_render();
    }
    active = false;
    if (end == busy_end::closing) {
        if (quit)
            platform_post_quit_message();
        else
            platform_post_message(msg_close, 0, 0);
    }
    return end;
}

bool busy_active() { return active; }
