// bench_frame.cpp -- one representative frame composed on the CPU, against a memset + memcpy floor
//
// The frame: clear, a 15 x 15 board of 32 x 32 tiles with crosses on some cells and
// grid lines, clue strips of tiles with shadowed digits at scale 2, a caption at
// scale 3 and a line at scale 2, 100 sparks of scaled pixels, and the composition of
// the whole picture over the layers into its texture. The floor clears and copies one framebuffer's worth of memory.
#include "engine/ec_fileio.h"
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"
#include "engine/ec_strings.h"
#include "game/board/g_necrogram.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzb.h"
#include "graphics/d3d_kzg.h"
#include "graphics/d3d_main.h"
#include "graphics/d3d_window.h"
#include "platform/pf_system.h"
#include "platform/pf_video.h"
#include "puzzle/pz_generate.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

platform_mb_answer answer_quietly(const char *, const char *text, platform_mb_buttons buttons, platform_mb_icon) {
    std::fprintf(stderr, "%s\n", text);
    return buttons == platform_mb_ok ? platform_mb_answer_ok : platform_mb_answer_yes;
}

// The graphics stack over the built pack, once for the whole run.
struct stack {
    kzg_sprite_data tiles = {};
    bool ready = false;
    stack() {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_RENDER_DRIVER", "software", 0);
        std::string pack = TW_TEST_PACK;
        std::string base = pack.substr(0, pack.rfind("/data/"));
        setenv("TOMBWEAVER_PATH", base.c_str(), 1);
        platform_set_dialog_handler(answer_quietly);
        memory_system_init();
        const int modes[2][2] = {{1024, 768}, {1280, 720}};
        platform_video_set_modes_for_test(modes, 2);
        if (!base_path_init() || !packfile_load())
            return;
        string_table_read();
        if (!d3d_window_create() || !d3d_init())
            return;
        d3d_kzg_load_data("game\\nonoblocks.kzg", &tiles);
        // The board's background: an opaque vertical gradient as a layer.
        std::vector<u32> gradient((size_t)screen_width * screen_height);
        for (int y = 0; y < screen_height; ++y)
            std::fill_n(gradient.begin() + (std::ptrdiff_t)y * screen_width, screen_width,
                        0xFF000000u | (u32)(0xDD - y / 16) << 16 | (u32)(0xDE - y / 20) << 8 | 0xCBu);
        kzb_image_data image = {screen_width, screen_height, gradient.data()};
        ready = tiles.data != nullptr && gfx2d_background_layer_add(&image) != invalid_id;
    }
};

stack &graphics() {
    static stack s;
    return s;
}

struct spark {
    int x, y, scale;
    u32 colour;
};

void draw_frame(stack &s, const std::vector<spark> &sparks, const safestring *digits, const safestring *caption,
                const safestring *line, bool whole) {
    constexpr int board_x = 480, board_y = 200, tile = 32, n = 15, clue_cells = 5;
    const int kinds = s.tiles.num_sprites;
    gfx2d_fill_screen(0);
    for (int i = 0; i < n; ++i) {
        // A strip of clue tiles left of each row and above each column, with three numbers.
        for (int k = 0; k < clue_cells; ++k) {
            gfx2d_draw_sprite(&s.tiles, board_x - (k + 1) * tile, board_y + i * tile, kinds - 1, 1);
            gfx2d_draw_sprite(&s.tiles, board_x + i * tile, board_y - (k + 1) * tile, kinds - 1, 1);
        }
        for (int k = 0; k < 3; ++k) {
            const safestring *d = &digits[(i + k) % 4];
            gfx2d_draw_string(board_x - 150 + k * 48 + 2, board_y + i * tile + 10, d, 0xFF000000u, 2);
            gfx2d_draw_string(board_x - 150 + k * 48, board_y + i * tile + 8, d, 0xFFFFFFFFu, 2);
            gfx2d_draw_string(board_x + i * tile + 10, board_y - 150 + k * 48 + 2, d, 0xFF000000u, 2);
            gfx2d_draw_string(board_x + i * tile + 8, board_y - 150 + k * 48, d, 0xFFFFFFFFu, 2);
        }
    }
    // The board: a tile per cell, a cross on every fifth, grid lines.
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            int x = board_x + c * tile, y = board_y + r * tile;
            gfx2d_draw_sprite(&s.tiles, x, y, (r * n + c) % kinds, 1);
            if ((r * n + c) % 5 == 0) {
                gfx2d_draw_line(x + 6, y + 6, x + 25, y + 25);
                gfx2d_draw_line(x + 25, y + 6, x + 6, y + 25);
            }
        }
    // As the board draws them: every line grey, then every fifth in yellow over it.
    for (int i = 0; i <= n; ++i)
        gfx2d_draw_hline(board_x, board_x + n * tile, board_y + i * tile, 0xFF808080u);
    gfx2d_draw_vlines(board_x, tile, n + 1, board_y, board_y + n * tile, 0xFF808080u);
    for (int i = 0; i <= n; i += 5) {
        gfx2d_draw_hline(board_x, board_x + n * tile, board_y + i * tile, 0xFFFFE070u);
        gfx2d_draw_vline(board_x + i * tile, board_y, board_y + n * tile, 0xFFFFE070u);
    }
    gfx2d_draw_string(40, 40, caption, 0xFFFFE070u, 3);
    gfx2d_draw_string(40, 680, line, 0xFFC0C0C0u, 2);
    for (const spark &p : sparks)
        gfx2d_draw_pixel(p.x, p.y, p.colour, p.scale);
    // whole: every row composed over the layers, as after a change on every row;
    // else only the rows that differ from the last frame, as the game does.
    d3d_gfx2d_upload(whole);
}

// The board frame. Arg 1: every row composed; arg 0: the sparks move each frame, as
// particles do, and the rows that changed are composed; arg 2: every row composed and
// shrunk by area averaging into a 1000 x 562 picture (a 1000 x 700 window).
void bm_frame(benchmark::State &state) {
    stack &s = graphics();
    if (!s.ready) {
        state.SkipWithError("graphics stack not available");
        return;
    }
    std::vector<spark> sparks;
    for (int i = 0; i < 100; ++i)
        sparks.push_back({600 + (i * 37) % 300, 300 + (i * 53) % 200, 2 + i % 3, 0xFF000000u | (u32)i * 0x020305u});
    safestring digits[4], caption, line;
    const char *d[4] = {"1 2 3", "10", "4 1", "2 2 2"};
    for (int i = 0; i < 4; ++i)
        safestring_create(&digits[i], d[i]);
    safestring_create(&caption, "The Sunken Crypt");
    safestring_create(&line, "Left button fills, right button crosses out.");
    const bool whole = state.range(0) != 0;
    if (state.range(0) == 2)
        platform_window_place(0, 0, 1000, 562);
    int step = 0;
    for (auto _ : state) {
        if (!whole) {
            ++step;
            for (spark &p : sparks)
                p.y = 300 + (p.y - 300 + (step & 1 ? 1 : -1) + 200) % 200;
        }
        draw_frame(s, sparks, digits, &caption, &line, whole);
        benchmark::ClobberMemory();
    }
    platform_window_place(0, 0, screen_width, screen_height);
}
BENCHMARK(bm_frame)->Arg(1)->Arg(0)->Arg(2)->Unit(benchmark::kMicrosecond);

// The board screen's own drawing of a generated board of range(0) x range(0) cells, a
// third of them marked, composed as the game does. range(1) 0: nothing changes (an idle
// board); 1: the hovered cell moves along a row every frame (a drag); 2: a cell's mark
// changes every frame as well (a painting drag: every line's finished numbers worked out again).
void bm_board(benchmark::State &state) {
    stack &s = graphics();
    if (!s.ready) {
        state.SkipWithError("graphics stack not available");
        return;
    }
    const int n = (int)state.range(0);
    pz_puzzle p;
    auto b = std::make_unique<necrogram_board>();
    if (!pz_generate(n, n, pz_grade::medium, 1, &p, nullptr) || !necrogram_load_puzzle(b.get(), p)) {
        state.SkipWithError("no puzzle");
        return;
    }
    for (int i = 0; i < n * n; i += 3)
        b->marks[i] = (i / 3) % 2 ? mark_full : mark_cross;
    b->hover_row = n / 2;
    int step = 0;
    for (auto _ : state) {
        if (state.range(1))
            b->hover_column = step++ % n;
        if (state.range(1) == 2) {
            u8 &mark = b->marks[necrogram_cell(b.get(), b->hover_row, b->hover_column)];
            mark = (u8)((mark + 1) % 3);
        }
        gfx2d_fill_screen(0);
        necrogram_draw_record(b.get(), &s.tiles, false);
        d3d_gfx2d_upload(false);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(bm_board)->Args({15, 0})->Args({15, 1})->Args({30, 0})->Args({30, 1})->Args({30, 2})->Unit(
    benchmark::kMicrosecond);

// Every line's finished clue numbers on a 30 x 30 board a third marked: what a change of
// marks costs the board's drawing (worked out once per change, not per frame).
void bm_finished_numbers(benchmark::State &state) {
    pz_puzzle p;
    auto b = std::make_unique<necrogram_board>();
    if (!pz_generate(30, 30, pz_grade::medium, 1, &p, nullptr) || !necrogram_load_puzzle(b.get(), p)) {
        state.SkipWithError("no puzzle");
        return;
    }
    for (int i = 0; i < 30 * 30; i += 3)
        b->marks[i] = p.goal[(size_t)i] ? mark_full : mark_cross;
    for (auto _ : state) {
        u32 all = 0;
        for (int line = 0; line < 30; ++line)
            all ^= necrogram_row_finished(b.get(), line) ^ necrogram_column_finished(b.get(), line);
        benchmark::DoNotOptimize(all);
    }
}
BENCHMARK(bm_finished_numbers)->Unit(benchmark::kMicrosecond);

// The floor: clear one framebuffer and copy it once.
void bm_floor_memset_memcpy(benchmark::State &state) {
    std::vector<u32> a((size_t)screen_width * screen_height), b(a.size());
    for (auto _ : state) {
        std::memset(a.data(), 0, a.size() * 4);
        benchmark::ClobberMemory();
        std::memcpy(b.data(), a.data(), a.size() * 4);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(bm_floor_memset_memcpy)->Unit(benchmark::kMicrosecond);

} // namespace
