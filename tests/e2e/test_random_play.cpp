// test_random_play.cpp -- thousands of random mouse and key events through the real loop, on every screen
//
// A fixed seed makes the run the same every time. Half the pointer events aim at what
// the current screen offers (menu buttons, map locations, board cells, the exit
// buttons), the rest land anywhere, also off the window; now and then a board is
// solved. The run fails on any box (assertion, leak, save failure), on a sanitizer
// report (the process ends), or on a save that is not 25 bytes.
#include "game/g_map.h"
#include "game/g_necrogram.h"
#include "game/g_puzzles.h"
#include "game_script.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>

namespace {

constexpr int wanted_events = 6000;
constexpr unsigned seed = 20261206;

struct random_player {
    std::mt19937 rng{seed};
    int events = 0;
    int passes = 0;
    int screens_seen[num_app_modes] = {};
    int solved_boards = 0;
    unsigned held = 0;    // the buttons held down, as key flags
    bool closing = false; // this run's one close has been posted

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    void post(std::uint32_t message, std::uint32_t wparam = 0, std::int32_t lparam = 0) {
        platform_post_message(message, wparam, lparam);
        ++events;
    }
    void move(int x, int y) {
        post(msg_mousemove, held, (std::int32_t)((std::uint32_t)(y & 0xFFFF) << 16 | (std::uint32_t)(x & 0xFFFF)));
    }
    void click(int x, int y) {
        move(x, y);
        post(msg_lbuttondown, mk_lbutton);
        post(msg_lbuttonup);
    }

    // A point the current screen offers.
    void aim(int *x, int *y) {
        *x = 640, *y = 360;
        switch (current_app_mode_get()) {
        case appmode_main_menu: {
            const int ys[] = {310, 376, 596}; // play or continue, new game, exit (rarely)
            *y = ys[pick(20) == 0 ? 2 : pick(2)];
            break;
        }
        case appmode_map: {
            if (pick(8) == 0) {
                *x = 1152, *y = 680; // back
                break;
            }
            int shown = 0;
            for (int i = 0; i < num_map_locations; ++i)
                shown += map_location_shown(i);
            for (int i = 0, k = pick(shown > 0 ? shown : 1); i < num_map_locations; ++i)
                if (map_location_shown(i) && k-- == 0) {
                    const image_button_data *b = map_location_button(i);
                    *x = b->x + b->width / 2, *y = b->y + b->height / 2;
                }
            break;
        }
        case appmode_necrogram: {
            if (pick(30) == 0) {
                *x = 1152, *y = 680; // back to the map
                break;
            }
            const int size = necrogram_get_size();
            const necrogram_layout l = necrogram_layout_for(size);
            *x = l.grid_x + 32 * pick(size) + 16;
            *y = l.grid_y + 32 * pick(size) + 16;
            break;
        }
        default:
            break;
        }
    }

    // Clicks every cell whose mark differs from the picture (crosses count as empty).
    void solve_board() {
        int size = 0;
        const u8 *cells = puzzle_get_info(puzzle_get_active(), &size, nullptr);
        if (!cells || size != necrogram_get_size())
            return;
        const necrogram_layout l = necrogram_layout_for(size);
        held = 0;
        for (int r = 0; r < size; ++r)
            for (int c = 0; c < size; ++c)
                if ((cells[r * size + c] != 0) != (necrogram_get_mark(r, c) == mark_full))
                    click(l.grid_x + 32 * c + 16, l.grid_y + 32 * r + 16);
        ++solved_boards;
    }

    void one_event() {
        const int roll = pick(1000);
        int x, y;
        if (roll < 450) { // move; dragging when a button is held
            if (pick(2)) {
                aim(&x, &y);
            } else {
                x = pick(1360) - 40;
                y = pick(800) - 40;
            }
            move(x, y);
        } else if (roll < 650) {
            aim(&x, &y);
            click(x, y);
        } else if (roll < 730) {
            bool down = !(held & mk_lbutton);
            held ^= mk_lbutton;
            post(down ? msg_lbuttondown : msg_lbuttonup, held);
        } else if (roll < 830) {
            bool down = !(held & mk_rbutton);
            held ^= mk_rbutton;
            post(down ? msg_rbuttondown : msg_rbuttonup, held);
        } else if (roll < 930) {
            const std::uint32_t keys[] = {vk_escape, vk_f1, 'A', 'Z', '1', 0x0D, 0x20, 0x25, 0x28, vk_f10};
            std::uint32_t key = keys[pick(10)];
            bool system = key == vk_f10 || pick(10) == 0;
            post(system ? msg_syskeydown : msg_keydown, key);
            post(system ? msg_syskeyup : msg_keyup, key);
            if (!system && pick(2))
                post(msg_char, 'a' + (std::uint32_t)pick(26));
        } else if (roll < 950) {
            post(msg_mousewheel, (std::uint32_t)(pick(2) ? 120 : -120) << 16);
        } else if (roll < 965) {
            post(msg_activate, (std::uint32_t)pick(2));
        } else if (roll < 975) {
            post(msg_size, pick(2) ? size_restored : size_maximized);
        } else if (roll < 995) {
            if (current_app_mode_get() == appmode_necrogram)
                solve_board();
        } else if (roll < 997) {
            post(msg_close);
            closing = true;
        }
    }

    static void hook(void *context) {
        random_player *p = (random_player *)context;
        platform_clock_advance(16);
        ++p->passes;
        const int mode = current_app_mode_get();
        if (mode >= 0 && mode < num_app_modes)
            ++p->screens_seen[mode];
        if (p->closing)
            return;
        if (p->events >= wanted_events) {
            platform_post_message(msg_close, 0, 0);
            p->closing = true;
            return;
        }
        for (int n = p->pick(4); n > 0 && !p->closing; --n)
            p->one_event();
    }
};

TEST(RandomPlay, ThousandsOfEventsOnEveryScreenLeaveNoBoxAndA25ByteSave) {
    // 1280 x 720 is chosen when listed beside a larger mode: client pixels are framebuffer pixels.
    static const int modes[2][2] = {{1280, 720}, {1920, 1080}};
    random_player player;
    int runs = 0;
    const auto start = std::chrono::steady_clock::now();
    save_remove();
    while (player.events < wanted_events && runs < 100) {
        ++runs;
        dialog_recorder rec;
        manual_clock clock(1000);
        platform_video_set_modes_for_test(modes, 2);
        platform_set_loop_hook(&random_player::hook, &player);
        player.held = 0;
        player.closing = false;
        const int result = tombweaver_main();
        platform_set_loop_hook(nullptr, nullptr);
        platform_video_set_modes_for_test(nullptr, 0);
        ASSERT_EQ(result, 0) << "run " << runs;
        ASSERT_EQ(rec.count(), 0u) << "run " << runs << ", after " << player.events << " events: "
                                   << rec.dialogs()[0].caption << "\n"
                                   << rec.dialogs()[0].text;
        if (save_exists()) {
            ASSERT_EQ(save_read().size(), 25u) << "run " << runs;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("random play: %d events, %d passes, %d runs, %d boards solved, %.1f s\n", player.events,
                player.passes, runs, player.solved_boards, seconds);
    EXPECT_GE(player.events, wanted_events);
    for (int mode : {appmode_splash, appmode_main_menu, appmode_map, appmode_necrogram})
        EXPECT_GT(player.screens_seen[mode], 0) << "mode " << mode << " never reached";
    EXPECT_GT(player.solved_boards, 0);
}

} // namespace
