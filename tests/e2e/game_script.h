// game_script.h -- runs the real program headless with scripted mouse, keys and clock
//
// A script is a list of steps. Once per pass of the main loop the runner advances
// the hand-driven clock by one frame tick (16 ms) and runs the current step; a
// step returns true when it is done, and the next pass starts the next step. Input
// is posted as window messages, so it reaches the modes the way real input does.
// The display lists 1280 x 720, which the game takes: client pixels are framebuffer pixels.
#pragma once

#include "engine/ec_fileio.h"
#include "game/board/g_necrogram.h"
#include "game/board/g_necrogram_help.h"
#include "game/g_question.h"
#include "game/story/g_puzzles.h"
#include "main.h"
#include "platform/pf_events.h"
#include "platform/pf_video.h"
#include "tw_test.h"
#include "ui/ec_splash.h"
#include "ui/ec_ui.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

class game_script {
public:
    using step = std::function<bool()>;

    game_script &then(std::function<void()> action) {
        steps.push_back([action] {
            action();
            return true;
        });
        return *this;
    }
    // Waits, one pass at a time, until the condition holds.
    game_script &until(std::function<bool()> condition, const std::string &what) {
        steps.push_back([this, condition, what] {
            waiting_for = what;
            return condition();
        });
        return *this;
    }
    game_script &wait_mode(int mode) {
        return until([mode] { return current_app_mode_get() == mode; }, "mode " + std::to_string(mode));
    }
    // Lets n passes go by (each one a frame when no message waits).
    game_script &passes(int n) {
        for (int i = 0; i < n; ++i)
            steps.push_back([] { return true; });
        return *this;
    }
    game_script &post(std::uint32_t message, std::uint32_t wparam = 0, std::int32_t lparam = 0) {
        return then([=] { platform_post_message(message, wparam, lparam); });
    }
    game_script &move(int x, int y, unsigned flags = 0) {
        return post(msg_mousemove, flags, (std::int32_t)((std::uint32_t)y << 16 | (std::uint32_t)(x & 0xFFFF)));
    }
    // Play on a fresh start offers the tutorial first: No to it (when it is asked), and the
    // game goes on to the map.
    game_script &decline_tutorial() {
        until([] { return question_is_open() || current_app_mode_get() == appmode_map; }, "the offer or the map");
        return then([] {
            if (question_is_open())
                platform_post_message(msg_keydown, vk_escape, 0);
        });
    }
    // Waits out the guard after a change of screen, during which presses are held back.
    game_script &ready() {
        return until([] { return app_mode_takes_presses(); }, "presses taken");
    }
    game_script &left_click(int x, int y) { return click(x, y, msg_lbuttondown, msg_lbuttonup, mk_lbutton); }
    game_script &right_click(int x, int y) { return click(x, y, msg_rbuttondown, msg_rbuttonup, mk_rbutton); }
    game_script &close() { return post(msg_close); }
    // Drops files on the window, as a file manager does.
    game_script &drop(std::vector<std::string> paths) {
        return then([paths] { platform_post_drop(paths); });
    }
    // The run's command line after the program's name (none: started without one).
    game_script &command_line(std::vector<std::string> args) {
        arguments = std::move(args);
        return *this;
    }
    // A click skips the splash's fade-in; the menu follows when the fade-out ends.
    game_script &skip_splash() {
        wait_mode(appmode_splash).ready();
        post(msg_lbuttondown, mk_lbutton).post(msg_lbuttonup);
        return wait_mode(appmode_main_menu).passes(1);
    }

    // Runs tombweaver_main over the script and returns its result. A script that
    // has not ended the program after max_passes closes the window and fails.
    int run(int max_passes = 20000) {
        manual_clock clock(1000);
        // 1280 x 720 is chosen when listed; a larger mode must be there too.
        static const int modes[2][2] = {{1280, 720}, {1920, 1080}};
        platform_video_set_modes_for_test(modes, 2);
        platform_video_set_capture(true);
        platform_set_loop_hook(&game_script::hook, this);
        necrogram_help_wait_whole(true);
        limit = max_passes;
        std::vector<std::string> args = arguments;
        args.insert(args.begin(), "tombweaver");
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        const int result = arguments.empty() ? tombweaver_main() : tombweaver_main((int)argv.size(), argv.data());
        platform_set_loop_hook(nullptr, nullptr);
        necrogram_help_wait_whole(false);
        platform_video_set_capture(false);
        platform_video_set_modes_for_test(nullptr, 0);
        EXPECT_LT(passes_run, limit) << "the script stalled waiting for " << waiting_for;
        EXPECT_EQ(next, steps.size()) << "the program ended before the script, waiting for " << waiting_for;
        return result;
    }

    int passes_run = 0;

private:
    game_script &click(int x, int y, std::uint32_t down, std::uint32_t up, std::uint32_t button) {
        return ready().move(x, y).post(down, button).post(up);
    }
    static void hook(void *context) {
        game_script *s = (game_script *)context;
        platform_clock_advance(16);
        // The game seeds its sparks from the time of day; a fixed seed makes every run draw the same frames.
        if (s->passes_run == 0)
            std::srand(1);
        if (++s->passes_run == s->limit)
            platform_post_message(msg_close, 0, 0);
        if (s->passes_run >= s->limit || s->next >= s->steps.size())
            return;
        if (s->steps[s->next]())
            ++s->next;
    }

    std::vector<step> steps;
    size_t next = 0;
    int limit = 0;
    std::string waiting_for;
    std::vector<std::string> arguments;
};

// The save file: removed before a run, read back after it.
inline void save_remove() {
    save_file_init_path();
    std::remove(save_file_path());
}

inline void save_write(const std::vector<u8> &bytes) {
    save_file_init_path();
    std::ofstream(save_file_path(), std::ios::binary).write((const char *)bytes.data(), (std::streamsize)bytes.size());
}

// The save's bytes; empty when there is no save file.
inline std::vector<u8> save_read() {
    save_file_init_path();
    std::ifstream in(save_file_path(), std::ios::binary);
    return std::vector<u8>(std::istreambuf_iterator<char>(in), {});
}

inline bool save_exists() {
    save_file_init_path();
    return save_file_exists();
}

// The settings file the tests' environment points the game at.
inline std::string settings_ini() { return std::string(std::getenv("XDG_CONFIG_HOME")) + "/tombweaver/settings.ini"; }

// A run from a fresh start: no save, no settings, a dialog recorder and a script.
class fresh_game_test : public ::testing::Test {
protected:
    void SetUp() override {
        save_remove();
        std::filesystem::remove(settings_ini());
    }
    dialog_recorder rec;
    game_script s;
};

// The string ids of the text buttons in a window, oldest first.
inline std::vector<dword> window_button_labels(dword window) {
    std::vector<dword> labels;
    const ui_window *w = ui_get_window_from_id(window);
    if (!w)
        return labels;
    for (const ui_element *e = w->elements; e; e = e->next)
        if (e->ui_type == ui_type_dynamic_button)
            labels.insert(labels.begin(), ((const dynamic_button_data *)e->data)->string_id);
    return labels;
}

// A pixel of the last frame presented (as composed in the window), 0 when there is none.
inline u32 frame_pixel(int x, int y) {
    int w = 0, h = 0;
    std::uint32_t n = 0;
    const std::uint32_t *frame = platform_video_captured_frame(&w, &h, &n);
    if (!frame || x < 0 || y < 0 || x >= w || y >= h)
        return 0;
    return frame[y * w + x];
}

// The save's bytes with the given puzzles completed.
inline std::vector<u8> progress(std::initializer_list<int> completed) {
    std::vector<u8> bytes(25, 0);
    for (int i : completed)
        bytes[i] = 1;
    return bytes;
}

// The centre of a cell of a 10 x 10 board, whose grid starts at (402, 250).
inline int cell_x(int column) { return 402 + 32 * column + 16; }
inline int cell_y(int row) { return 250 + 32 * row + 16; }

// Puzzle 0, as the filled columns of each row.
inline const std::vector<std::vector<int>> puzzle_0 = {
    {}, {3, 4, 5, 6}, {3, 6, 7}, {2, 3, 8}, {2, 7, 8}, {1, 7}, {1, 2, 6, 7}, {1, 2, 3, 4, 5, 6}, {3, 4, 5, 6}, {},
};

// Fills row r of a 10 x 10 board from column first to last with one left-button drag.
inline game_script &drag_row(game_script &s, int r, int first, int last) {
    s.ready().move(cell_x(first), cell_y(r)).post(msg_lbuttondown, mk_lbutton);
    for (int c = first + 1; c <= last; ++c)
        s.move(cell_x(c), cell_y(r), mk_lbutton);
    return s.post(msg_lbuttonup).passes(2);
}

// The board of puzzle index, opened straight from the splash.
inline game_script &open_board(game_script &s, u32 index) {
    s.wait_mode(appmode_splash).then([index] {
        set_app_mode(appmode_map);
        puzzle_set_active(index);
        set_app_mode(appmode_necrogram);
    });
    return s.passes(2);
}

// Presses T until the board is captured: each press shows a hint, the next applies it.
// One press every fourth pass (each pass takes one message or runs one frame).
inline game_script &press_hints_until_captured(game_script &s) {
    return s.until(
        [pass = 0]() mutable {
            if (necrogram_captured())
                return true;
            if (++pass % 4 == 0 && !necrogram_help_thinking())
                platform_post_message(msg_keydown, 'T', 0), platform_post_message(msg_keyup, 'T', 0);
            return false;
        },
        "captured by hints");
}
