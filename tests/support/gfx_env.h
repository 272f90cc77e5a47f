// gfx_env.h -- brings the window and graphics device up headless for a test
//
//   class scoped_graphics {
//   public:
//       explicit scoped_graphics(int width = 1280, int height = 720);
//       ~scoped_graphics();
//       bool ok() const;
//       std::vector<u32> read_frame(int *w, int *h);
//   };
//
// Open a pack first (scoped_test_pack with the fonts "ui_gfx\retro_font.kzg" and
// "ui_gfx\c64_font.kzg", or the built pack: base_path_init(); packfile_load();) and
// install a dialog_recorder. The constructor makes the display list the two modes
// 1024 x 768 and width x height (0, 0: the real list; the dummy driver's is 1024 x 768),
// so the client area is width x height for 1280 x 720 or any mode larger than 1024 x 768;
// installs a one-entry string table (the title) when none is loaded; then d3d_window_create() and d3d_init(). The
// destructor runs d3d_free() and d3d_window_destroy() and restores the mode list and string table. read_frame() runs
// d3d_render() and returns the composed client-area picture (ARGB words, row stride *w), read back before present.
#pragma once

#include "engine/ec_types.h"

#include <vector>

class scoped_graphics {
public:
    explicit scoped_graphics(int width = 1280, int height = 720);
    ~scoped_graphics();
    scoped_graphics(const scoped_graphics &) = delete;
    scoped_graphics &operator=(const scoped_graphics &) = delete;

    bool ok() const { return ready; }
    std::vector<u32> read_frame(int *w, int *h);

private:
    bool ready = false;
    bool own_strings = false;
};
