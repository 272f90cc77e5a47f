// test_random_play.cpp -- thousands of seeded random mouse and key events through the real loop, on every screen
//
// Half the pointer events aim at what the screen offers (menu buttons, map locations,
// board cells, the exit buttons), the rest land anywhere, also off the window; now and
// then a board is solved. Any box (assertion, leak, save failure), a sanitizer report
// (the process ends) or a save that is not 25 bytes fails the run.
#include "game/board/g_necrogram.h"
#include "game/story/g_map.h"
#include "game/story/g_puzzles.h"
#include "game_script.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace {

constexpr int wanted_events = 6000;

struct random_player {
    std::mt19937 rng{20261206};
    int events = 0, passes = 0, solved_boards = 0;
    int screens_seen[num_app_modes] = {};
    unsigned held = 0;    // the buttons held down, as key flags
    bool closing = false; // this run's one close has been posted

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    void post(std::uint32_t message, std::uint32_t wparam = 0) {
        platform_post_message(message, wparam, 0);
        ++events;
    }
    void move(int x, int y) {
        platform_post_message(msg_mousemove, held, (std::int32_t)((std::uint32_t)(y & 0xFFFF) << 16 | (x & 0xFFFF)));
        ++events;
    }
    void click(int x, int y) { move(x, y), post(msg_lbuttondown, mk_lbutton), post(msg_lbuttonup); }
    void click_cell(int row, int column) {
        const necrogram_layout l = necrogram_layout_for(necrogram_shown());
        click(l.grid_x + 32 * column + 16, l.grid_y + 32 * row + 16);
    }

    // A click on what the current screen offers: menu buttons (exit now and then), map
    // locations, board cells, and now and then the back or exit button.
    void aim() {
        const int mode = current_app_mode_get();
        if (mode == appmode_main_menu)
            click(640, pick(20) == 0 ? 596 : 310 + 66 * pick(2));
        else if ((mode == appmode_map && pick(8) == 0) || (mode == appmode_necrogram && pick(30) == 0))
            click(1152, 680);
        else if (mode == appmode_map)
            for (int i = pick(num_map_locations); i >= 0; --i)
                if (map_location_shown(i)) {
                    const image_button_data *b = map_location_button(i);
                    return click(b->x + b->width / 2, b->y + b->height / 2);
                }
        if (mode == appmode_necrogram)
            click_cell(pick(necrogram_shown()->height), pick(necrogram_shown()->width));
    }

    // Clicks every cell whose mark differs from the picture (crosses count as empty).
    void solve_board() {
        int size = 0;
        const u8 *cells = puzzle_get_info(puzzle_get_active(), &size, nullptr);
        if (!cells || size != necrogram_shown()->width)
            return;
        held = 0;
        for (int i = 0; i < size * size; ++i)
            if ((cells[i] != 0) != (necrogram_get_mark(i / size, i % size) == mark_full))
                click_cell(i / size, i % size);
        ++solved_boards;
    }

    void one_event() {
        const int roll = pick(1000);
        if (roll < 300) {
            aim();
        } else if (roll < 650) { // moves (dragging while a button is held) and clicks anywhere
            const int x = pick(1360) - 40, y = pick(800) - 40;
            roll < 500 ? move(x, y) : click(x, y);
        } else if (roll < 830) {
            const unsigned button = roll < 730 ? mk_lbutton : mk_rbutton;
            const bool down = !(held & button);
            held ^= button;
            post(button == mk_lbutton ? (down ? msg_lbuttondown : msg_lbuttonup)
                                      : (down ? msg_rbuttondown : msg_rbuttonup),
                 held);
        } else if (roll < 930) {
            // Ctrl and Space are sometimes left held, so that undo, redo and painting come up.
            const std::uint32_t keys[] = {vk_escape, vk_f1, 'A', '1', vk_return, vk_space, vk_left,    vk_down, vk_tab,
                                          'Z',       'X',   'Y', 'H', 'M',       'N',      vk_control, vk_f10};
            const std::uint32_t key = keys[pick(17)];
            const bool system = key == vk_f10 || pick(10) == 0; // Alt held
            post(system ? msg_syskeydown : msg_keydown, key);
            if (!((key == vk_control || key == vk_space) && pick(2)))
                post(system ? msg_syskeyup : msg_keyup, key);
            post(msg_char, 'a' + (std::uint32_t)pick(26));
        } else if (roll < 975) {
            const std::uint32_t other[][2] = {{msg_mousewheel, 120u << 16},
                                              {msg_mousewheel, 0xFF88u << 16},
                                              {msg_activate, 0},
                                              {msg_activate, 1},
                                              {msg_size, size_maximized}};
            const int k = pick(5);
            post(other[k][0], other[k][1]);
        } else if (roll < 995 && current_app_mode_get() == appmode_necrogram) {
            solve_board();
        } else if (roll >= 995 && roll < 997) {
            post(msg_close);
            closing = true;
        }
    }

    static void hook(void *context) {
        random_player *p = (random_player *)context;
        platform_clock_advance(16);
        ++p->passes;
        ++p->screens_seen[current_app_mode_get()];
        if (platform_peek_message())
            return; // a frame between bursts: the screen's update runs when the queue is empty
        if (!p->closing && p->events >= wanted_events)
            p->post(msg_close), p->closing = true;
        for (int n = p->pick(4); n > 0 && !p->closing; --n)
            p->one_event();
    }
};

TEST(RandomPlay, ThousandsOfEventsOnEveryScreenLeaveNoBoxAndA25ByteSave) {
    // 1280 x 720 is chosen when listed beside a larger mode: client pixels are framebuffer pixels.
    static const int modes[2][2] = {{1280, 720}, {1920, 1080}};
    random_player player;
    int runs = 0;
    save_remove();
    // The program is started again whenever the menu's exit or a close ends it.
    for (; player.events < wanted_events && runs < 100; ++runs) {
        dialog_recorder rec;
        manual_clock clock(1000);
        platform_video_set_modes_for_test(modes, 2);
        platform_set_loop_hook(&random_player::hook, &player);
        player.held = 0;
        player.closing = false;
        ASSERT_EQ(tombweaver_main(), 0) << "run " << runs;
        platform_set_loop_hook(nullptr, nullptr);
        platform_video_set_modes_for_test(nullptr, 0);
        ASSERT_EQ(rec.count(), 0u) << "run " << runs << ", event " << player.events << ": " << rec.dialogs()[0].caption
                                   << "\n"
                                   << rec.dialogs()[0].text;
        ASSERT_TRUE(!save_exists() || save_read().size() == 25u) << "run " << runs;
    }
    std::printf("random play: %d events, %d passes, %d runs, %d boards solved\n", player.events, player.passes, runs,
                player.solved_boards);
    EXPECT_GE(player.events, wanted_events);
    for (int mode : {appmode_splash, appmode_main_menu, appmode_map, appmode_necrogram})
        EXPECT_GT(player.screens_seen[mode], 0) << "mode " << mode << " never reached";
    EXPECT_GT(player.solved_boards, 0);
}

} // namespace
