// test_window.cpp -- resolution choice, mouse scale and cursor position;
// real SDL events routed by the shell to the running mode. (Switching modes, freeing the old one
// before the new one starts, is what every end-to-end run does from its first pass: a mode left
// unfreed shows as a leak box there.)
// (no usable mode and the other video start-up failures: test_window_shell)
#include "graphics/d3d_window.h"
#include "main.h"
#include "platform/pf_events.h"
#include "platform/pf_video.h"
#include "test_gfx_util.h"
#include "tw_test.h"
#include "ui/ec_cursor.h"

#include <SDL.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

TEST(window_resolution, any_screen_without_1280_x_720_the_largest_area_and_the_first_of_equals) {
    // Any screen is taken, 1280 x 720 itself or smaller.
    const int largest[2][2] = {{1024, 768}, {1600, 900}}, equal[2][2] = {{1280, 1024}, {1024, 1280}},
              small[2][2] = {{640, 480}, {800, 600}}, hd[2][2] = {{800, 600}, {1280, 720}};
    for (auto [modes, w, h] :
         {std::tuple{largest, 1600, 900}, {equal, 1280, 1024}, {small, 800, 600}, {hd, 1280, 720}}) {
        platform_video_set_modes_for_test(modes, 2);
        EXPECT_TRUE(d3d_choose_resolution());
        int got_w = 0, got_h = 0;
        d3d_get_window_res(&got_w, &got_h);
        EXPECT_EQ(std::pair(got_w, got_h), std::pair(w, h));
    }
    platform_video_set_modes_for_test(nullptr, 0);
    d3d_window_set_for_test(1280, 720, 1.0f, 1.0f);
}

class window_up : public gfx_test::stack {};

// The mouse scale, and the framebuffer pixel a client point lands on: the nearest, halves
// rounding up, and kept on the picture (a click on a bar lands on its edge).
TEST_F(window_up, mouse_scale_follows_maximise_and_restore) {
    app_modes_use_for_test(nullptr, appmode_exit);
    // Each row: the client size the window reports, the size message, the scale after it,
    // a client point and where the cursor lands.
    const struct {
        int client_w, client_h;
        u32 kind;
        float scale;
        int x, y, want_x, want_y;
    } cases[] = {
        // 16:9 picture 1808 x 1017, bars of 56 beside it: 2 * 0.7079646 + 0.5 rounds down to 1.
        {1920, 1017, size_maximized, 0.7079646f, 56 + 2, 0, 1, 0},
        {1920, 1017, size_maximized, 0.7079646f, 1919, 1016, 1279, 719},
        {0, 500, size_restored, 1.0f, -5, 720, 0, 719}, // an empty client area leaves the scale at 1
    };
    float sx = 0, sy = 0;
    for (const auto &c : cases) {
        platform_video_set_client_size_for_test(c.client_w, c.client_h);
        platform_message size = {msg_size, c.kind, 0};
        main_window_proc(&size);
        d3d_get_mouse_scale(&sx, &sy);
        EXPECT_FLOAT_EQ(sx, c.scale) << c.kind;
        EXPECT_FLOAT_EQ(sy, c.scale) << c.kind;
        cursor_update_position(c.x, c.y);
        int x = -1, y = -1;
        cursor_get_position(&x, &y);
        EXPECT_EQ(std::pair(x, y), std::pair(c.want_x, c.want_y)) << c.x << "," << c.y;
    }
    // A real change of the client area: the picture is stretched to it as well.
    platform_video_set_client_size_for_test(0, 0);
    platform_window_place(0, 0, 1600, 900);
    platform_message restored = {msg_size, size_restored, 0};
    main_window_proc(&restored);
    d3d_get_mouse_scale(&sx, &sy);
    EXPECT_FLOAT_EQ(sx, 0.8f);
    gfx2d_screen_buffer()[719 * 1280 + 1279] = 0xFFFF0000u;
    frame();
    EXPECT_EQ(std::pair(frame_w, frame_h), std::pair(1600, 900));
    EXPECT_EQ(px(1599, 899), 0xFFFF0000u); // the last pixel, stretched to the corner
    app_modes_use_for_test(nullptr, appmode_init);
}

std::vector<std::string> calls;

void record(const std::string &s) { calls.push_back(s); }

app_mode test_modes[num_app_modes];

void fill_test_modes() {
    for (int i = 0; i < num_app_modes; ++i)
        test_modes[i] = {};
    test_modes[3].free = [] { record("free3"); };
    test_modes[3].mousemove = [](int x, int y, unsigned flags) {
        record("move " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(flags));
    };
    test_modes[3].lbutton = [](bool down) { record(down ? "ldown" : "lup"); };
    test_modes[3].rbutton = [](bool down) { record(down ? "rdown" : "rup"); };
    test_modes[3].mousewheel = [](unsigned w) { record("wheel " + std::to_string(w >> 16)); };
    test_modes[3].keydown = [](unsigned vk) { record("keydown " + std::to_string(vk)); };
    test_modes[3].keyup = [](unsigned vk) { record("keyup " + std::to_string(vk)); };
    test_modes[3].keychar = [](unsigned c) { record("char " + std::to_string(c)); };
    test_modes[5].init = [] { record("exit"); };
}

class Routing : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        fill_test_modes();
        app_modes_use_for_test(test_modes, 0);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        platform_events_reset();
        platform_set_window_proc(main_window_proc);
        set_app_mode(3);
    }
    void TearDown() override {
        platform_set_window_proc(nullptr);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        app_modes_use_for_test(nullptr, appmode_init);
    }

    // Pushes the events, then runs the loop's message branch until the queue is empty.
    void route(std::initializer_list<SDL_Event> events) {
        for (SDL_Event e : events)
            SDL_PushEvent(&e);
        platform_message msg;
        while (platform_peek_message()) {
            if (!platform_get_message(&msg))
                calls.push_back("quit");
            platform_dispatch_message(&msg);
        }
    }
    // An event of the type with its main fields: a key and its modifiers, a button, a window
    // event, a motion's x, y and buttons held, a wheel's y, or the text "a".
    static SDL_Event ev(Uint32 type, int a = 0, int b = 0, Uint32 c = 0) {
        SDL_Event e = {};
        e.type = type;
        if (type == SDL_KEYDOWN || type == SDL_KEYUP) {
            e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
            e.key.keysym.sym = a;
            e.key.keysym.mod = (Uint16)b;
        } else if (type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP) {
            e.button.button = (Uint8)a;
        } else if (type == SDL_WINDOWEVENT) {
            e.window.event = (Uint8)a;
        } else if (type == SDL_MOUSEMOTION) {
            e.motion = {.type = type,
                        .timestamp = 0,
                        .windowID = 0,
                        .which = 0,
                        .state = c,
                        .x = a,
                        .y = b,
                        .xrel = 0,
                        .yrel = 0};
        } else if (type == SDL_MOUSEWHEEL) {
            e.wheel.y = a;
        } else if (type == SDL_TEXTINPUT) {
            SDL_strlcpy(e.text.text, "a", sizeof e.text.text);
        }
        return e;
    }
};

// One queue of real SDL events: what reaches the mode, what the shell keeps (F1, Alt+F4, F10,
// the middle button), focus, a stroke ended by losing the window, and the close requests that
// enter the exit mode once.
TEST_F(Routing, SdlEventsReachTheModeAndCloseRequestsEnterTheExitModeOnce) {
    dialog_recorder rec;
    manual_clock clock;
    set_app_mode(3);
    calls.clear();
    clock.advance(300); // past the guard on presses after a change of screen
    route({ev(SDL_MOUSEMOTION, -5, -7, SDL_BUTTON_LMASK | SDL_BUTTON_RMASK), ev(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT),
           ev(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT), ev(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE), ev(SDL_MOUSEWHEEL, 1),
           ev(SDL_KEYDOWN, SDLK_ESCAPE), ev(SDL_KEYUP, SDLK_a), ev(SDL_KEYDOWN, SDLK_F4, KMOD_LALT),
           ev(SDL_KEYDOWN, SDLK_F10), ev(SDL_KEYDOWN, SDLK_F1), ev(SDL_TEXTINPUT),
           ev(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST)});
    EXPECT_FALSE(window_active_get());
    // Losing the window (unfocused, minimised, hidden) ends a stroke: the release is heard at once,
    // moves carry no button though SDL still holds it, and the system's late release is dropped.
    route({ev(SDL_MOUSEMOTION, 3, 4, SDL_BUTTON_LMASK), ev(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT),
           ev(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT), ev(SDL_WINDOWEVENT, SDL_WINDOWEVENT_MINIMIZED),
           ev(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT), ev(SDL_WINDOWEVENT, SDL_WINDOWEVENT_HIDDEN)});
    EXPECT_FALSE(platform_key_held(vk_lbutton) || platform_key_held(vk_rbutton)); // keys work again
    route(
        {ev(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED), ev(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE), ev(SDL_QUIT)});
    EXPECT_TRUE(window_active_get());
    EXPECT_EQ(calls, (std::vector<std::string>{"move -5 -7 3", "ldown", "rup", "wheel 120", "keydown 27", "keyup 65",
                                               "char 97", "lup", "move 3 4 0", "rdown", "rup", "ldown", "lup", "free3",
                                               "exit"}));
    EXPECT_EQ(current_app_mode_get(), appmode_exit);
    calls.clear();
    platform_send_message(msg_destroy, 0, 0); // destroying ends the loop
    route({});
    EXPECT_EQ(calls, (std::vector<std::string>{"quit"}));
}

// The files of one drop, an SDL event each, become one message; its paths are given once.
// Dropped text is no file.
TEST_F(Routing, TheFilesOfADropArriveAsOneMessage) {
    for (auto [type, file] : {std::pair<Uint32, const char *>{SDL_DROPBEGIN, nullptr},
                              {SDL_DROPFILE, "/tmp/a.non"},
                              {SDL_DROPTEXT, "text"},
                              {SDL_DROPFILE, "/tmp/b b.txt"},
                              {SDL_DROPCOMPLETE, nullptr}}) {
        SDL_Event e = {};
        e.drop = {.type = type, .timestamp = 0, .file = file ? SDL_strdup(file) : nullptr, .windowID = 0};
        SDL_PushEvent(&e);
    }
    platform_message msg;
    ASSERT_TRUE(platform_peek_message());
    platform_get_message(&msg);
    EXPECT_EQ(msg_dropfiles, msg.message);
    EXPECT_FALSE(platform_peek_message()) << "more than one message";
    EXPECT_EQ((std::vector<std::string>{"/tmp/a.non", "/tmp/b b.txt"}), platform_drop_take(msg.wparam));
    EXPECT_TRUE(platform_drop_take(msg.wparam).empty());
}

} // namespace
