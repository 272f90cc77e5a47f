// pf_video_null.cpp -- a display of the test's choosing: its mode list and client size, over SDL
#include "platform/pf_video.h"
#include "platform/pf_video_backend.h"

#include <utility>
#include <vector>

namespace {

bool modes_given = false;
std::vector<std::pair<int, int>> modes;
int client_width = 0;
int client_height = 0;

int null_display_mode_count() { return modes_given ? (int)modes.size() : platform_video_sdl.display_mode_count(); }

bool null_display_mode(int index, int *width, int *height) {
    if (!modes_given)
        return platform_video_sdl.display_mode(index, width, height);
    *width = modes[(std::size_t)index].first;
    *height = modes[(std::size_t)index].second;
    return true;
}

// A given mode list stands for a screen as large as its largest mode, all of it usable.
bool null_usable_bounds(int *x, int *y, int *width, int *height) {
    if (!modes_given)
        return platform_video_sdl.usable_bounds(x, y, width, height);
    *x = *y = *width = *height = 0;
    for (const auto &[w, h] : modes)
        if ((long long)w * h > (long long)*width * *height)
            *width = w, *height = h;
    return true;
}

void null_window_client_size(int *width, int *height) {
    if (client_width > 0 || client_height > 0) {
        *width = client_width;
        *height = client_height;
        return;
    }
    platform_video_sdl.window_client_size(width, height);
}

// The window and the renderer are SDL's (the dummy driver's, in tests).
bool null_init() { return platform_video_sdl.init(); }
bool null_window_create(const char *title, int width, int height) {
    return platform_video_sdl.window_create(title, width, height);
}
bool null_renderer_create() { return platform_video_sdl.renderer_create(); }
bool null_renderer_check_caps() { return platform_video_sdl.renderer_check_caps(); }

} // namespace

const platform_video_backend platform_video_null = {
    .init = null_init,
    .display_mode_count = null_display_mode_count,
    .display_mode = null_display_mode,
    .usable_bounds = null_usable_bounds,
    .window_create = null_window_create,
    .window_client_size = null_window_client_size,
    .renderer_create = null_renderer_create,
    .renderer_check_caps = null_renderer_check_caps,
};

bool platform_video_null_wanted() { return modes_given || client_width > 0 || client_height > 0; }

const platform_video_backend *platform_video_base_backend() {
    return platform_video_null_wanted() ? &platform_video_null : &platform_video_sdl;
}

void platform_video_set_modes_for_test(const int (*list)[2], int count) {
    modes.clear();
    modes_given = list != nullptr;
    for (int i = 0; list && i < count; ++i)
        modes.emplace_back(list[i][0], list[i][1]);
    platform_video_choose_backend();
}

void platform_video_set_client_size_for_test(int width, int height) {
    client_width = width;
    client_height = height;
    platform_video_choose_backend();
}
