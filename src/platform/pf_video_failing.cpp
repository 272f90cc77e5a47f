// pf_video_failing.cpp -- a backend with one start-up step failing, to reach its fatal error
#include "platform/pf_video.h"
#include "platform/pf_video_backend.h"

namespace {

platform_video_failure failure = platform_video_fail_none;

const platform_video_backend &base() { return *platform_video_base_backend(); }

bool failing_init() { return failure != platform_video_fail_init && base().init(); }

int failing_display_mode_count() {
    return failure == platform_video_fail_display_list ? -1 : base().display_mode_count();
}

bool failing_display_mode(int index, int *width, int *height) { return base().display_mode(index, width, height); }

bool failing_usable_bounds(int *x, int *y, int *width, int *height) {
    return base().usable_bounds(x, y, width, height);
}

bool failing_window_create(const char *title, int width, int height) {
    return failure != platform_video_fail_window && base().window_create(title, width, height);
}

void failing_window_client_size(int *width, int *height) { base().window_client_size(width, height); }

bool failing_renderer_create() { return failure != platform_video_fail_renderer && base().renderer_create(); }

bool failing_renderer_check_caps() { return failure != platform_video_fail_caps && base().renderer_check_caps(); }

} // namespace

const platform_video_backend platform_video_failing = {
    .init = failing_init,
    .display_mode_count = failing_display_mode_count,
    .display_mode = failing_display_mode,
    .usable_bounds = failing_usable_bounds,
    .window_create = failing_window_create,
    .window_client_size = failing_window_client_size,
    .renderer_create = failing_renderer_create,
    .renderer_check_caps = failing_renderer_check_caps,
};

bool platform_video_failing_wanted() { return failure != platform_video_fail_none; }

void platform_video_choose_backend() {
    platform_video_use_backend(platform_video_failing_wanted() ? &platform_video_failing
                                                               : platform_video_base_backend());
}

void platform_video_fail_for_test(platform_video_failure f) {
    failure = f;
    platform_video_choose_backend();
}
