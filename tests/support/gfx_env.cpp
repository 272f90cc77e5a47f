// gfx_env.cpp -- brings the window and graphics device up headless for a test
#include "gfx_env.h"

#include "engine/ec_strings.h"
#include "graphics/d3d_main.h"
#include "graphics/d3d_window.h"
#include "platform/pf_video.h"

namespace {

string_definition fixture_title;

// Entry 0, the window's title, when no string table is loaded.
void install_fixture_strings() {
    safestring_create(&fixture_title.string, "Tombweaver");
    string_table_use_for_test(&fixture_title, 1);
}

} // namespace

scoped_graphics::scoped_graphics(int width, int height) {
    if (width > 0 && height > 0) {
        // A display must offer a mode of at least 1024 x 768 besides the one wanted.
        const int modes[2][2] = {{1024, 768}, {width, height}};
        platform_video_set_modes_for_test(modes, 2);
    }
    if (string_table_size() == 0) {
        install_fixture_strings();
        own_strings = true;
    }
    if (!d3d_window_create())
        return;
    if (!d3d_init()) {
        d3d_window_destroy();
        return;
    }
    ready = true;
}

scoped_graphics::~scoped_graphics() {
    if (ready) {
        d3d_free();
        d3d_window_destroy();
    }
    platform_video_set_capture(false);
    platform_video_set_modes_for_test(nullptr, 0);
    platform_video_set_client_size_for_test(0, 0);
    if (own_strings)
        string_table_use_for_test(nullptr, 0);
}

std::vector<u32> scoped_graphics::read_frame(int *w, int *h) {
    *w = *h = 0;
    if (!ready)
        return {};
    platform_video_set_capture(true);
    d3d_render();
    const u32 *frame = platform_video_captured_frame(w, h, nullptr);
    if (!frame)
        return {};
    return std::vector<u32>(frame, frame + (std::size_t)*w * (std::size_t)*h);
}
