// test_game_pad.cpp -- a game pad alone, end to end: plugged in while the game runs, the menus and the map,
// a whole board played by the d-pad, the stick and the buttons (the stroke rule included), and unplugged
#include "engine/ec_settings.h"
#include "game/board/g_necrogram.h"
#include "game/story/g_puzzles.h"
#include "game_script.h"
#include "platform/pf_pad.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// A pad made by SDL's virtual joystick driver, which the game picks up as any other.
struct virtual_pad {
    SDL_Joystick *joystick = nullptr;

    void plug_in() {
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
        SDL_VirtualJoystickDesc d;
        SDL_zero(d);
        d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        d.naxes = SDL_CONTROLLER_AXIS_MAX;
        d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        d.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        d.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        d.name = "Test Pad";
        const int device = SDL_JoystickAttachVirtualEx(&d);
        ASSERT_GE(device, 0) << SDL_GetError();
        joystick = SDL_JoystickOpen(device);
        ASSERT_NE(joystick, nullptr) << SDL_GetError();
    }
    void unplug() {
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
        SDL_JoystickClose(joystick);
        joystick = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id)
                SDL_JoystickDetachVirtual(i);
    }
    void button(int b, bool down) { SDL_JoystickSetVirtualButton(joystick, b, down ? 1 : 0); }
    void axis(int a, Sint16 value) { SDL_JoystickSetVirtualAxis(joystick, a, value); }
};

virtual_pad pad;

// A press and release, each seen by the game's loop before the next.
game_script &press(game_script &s, int button, int held = 2) {
    s.then([button] { pad.button(button, true); }).passes(held);
    return s.then([button] { pad.button(button, false); }).passes(2);
}
game_script &hold(game_script &s, int button, bool down) {
    return s.then([=] { pad.button(button, down); }).passes(2);
}

class GamePad : public fresh_game_test {
protected:
    void SetUp() override {
        fresh_game_test::SetUp();
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1); // the headless window has no focus
    }
};

TEST_F(GamePad, AWholeBoardPlayedWithThePadAlone) {
    int row = 0, column = 0; // where the cell cursor is
    auto go = [&](int r, int c) {
        for (; column < c; ++column)
            press(s, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        for (; column > c; --column)
            press(s, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
        for (; row < r; ++row)
            press(s, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
        for (; row > r; --row)
            press(s, SDL_CONTROLLER_BUTTON_DPAD_UP);
    };
    // Plugged in while the game runs; B skips the splash, the d-pad and A take the menu and the map.
    s.wait_mode(appmode_splash).then([] { pad.plug_in(); }).passes(3).then([] {
        EXPECT_EQ(platform_pads_connected(), 1);
    });
    press(s, SDL_CONTROLLER_BUTTON_B).wait_mode(appmode_main_menu).passes(2);
    press(press(s, SDL_CONTROLLER_BUTTON_DPAD_DOWN), SDL_CONTROLLER_BUTTON_A).wait_mode(appmode_map).passes(2);
    press(press(s, SDL_CONTROLLER_BUTTON_DPAD_RIGHT), SDL_CONTROLLER_BUTTON_A).wait_mode(appmode_necrogram).passes(2);
    press(s, SDL_CONTROLLER_BUTTON_DPAD_RIGHT).then([] { // the first shows the cursor on the top-left cell
        int c = -1, r = -1;
        necrogram_get_hover(&c, &r);
        EXPECT_EQ(std::pair(c, r), std::pair(0, 0));
        EXPECT_TRUE(platform_pad_in_use());
    });
    // A held direction repeats; the stick moves the cursor as the d-pad does.
    press(s, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 40).then([] {
        int c = -1;
        necrogram_get_hover(&c, nullptr);
        EXPECT_GE(c, 3);
    });
    s.then([] { pad.axis(SDL_CONTROLLER_AXIS_LEFTY, 32767); }).passes(2);
    s.then([] { pad.axis(SDL_CONTROLLER_AXIS_LEFTY, 0); }).passes(2).then([] {
        int r = -1;
        necrogram_get_hover(nullptr, &r);
        EXPECT_EQ(r, 1);
    });
    for (int i = 0; i < 10; ++i) // back to the top-left cell, held at the edges
        press(press(s, SDL_CONTROLLER_BUTTON_DPAD_LEFT), SDL_CONTROLLER_BUTTON_DPAD_UP);

    // The stroke rule: B held from an empty cell crosses (1, 5); A held from (1, 3) to (1, 6)
    // fills round the cross; A on the cross empties it, A again fills it; LB and RB undo and redo.
    go(1, 5);
    press(s, SDL_CONTROLLER_BUTTON_B);
    go(1, 3);
    hold(s, SDL_CONTROLLER_BUTTON_A, true);
    go(1, 6);
    hold(s, SDL_CONTROLLER_BUTTON_A, false).then([] {
        EXPECT_EQ(necrogram_get_mark(1, 4), mark_full);
        EXPECT_EQ(necrogram_get_mark(1, 5), mark_cross);
        EXPECT_EQ(necrogram_get_mark(1, 6), mark_full);
    });
    go(1, 5);
    press(s, SDL_CONTROLLER_BUTTON_A).then([] { EXPECT_EQ(necrogram_get_mark(1, 5), mark_empty); });
    press(s, SDL_CONTROLLER_BUTTON_A);
    press(s, SDL_CONTROLLER_BUTTON_LEFTSHOULDER).then([] { EXPECT_EQ(necrogram_get_mark(1, 5), mark_empty); });
    press(s, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER).then([] { EXPECT_EQ(necrogram_get_mark(1, 5), mark_full); });
    // B held from a fill over the row empties the fills alone.
    go(1, 3);
    hold(s, SDL_CONTROLLER_BUTTON_B, true);
    go(1, 6);
    hold(s, SDL_CONTROLLER_BUTTON_B, false).then([] { EXPECT_EQ(necrogram_get_mark(1, 6), mark_empty); });
    press(s, SDL_CONTROLLER_BUTTON_LEFTSHOULDER).then([] { EXPECT_EQ(necrogram_get_mark(1, 6), mark_full); });
    // Y switches mistake checking, X shows a hint.
    press(s, SDL_CONTROLLER_BUTTON_Y).then([] { EXPECT_TRUE(settings_get().mistake_check); });
    press(s, SDL_CONTROLLER_BUTTON_Y).then([] { EXPECT_FALSE(settings_get().mistake_check); });
    press(s, SDL_CONTROLLER_BUTTON_X).passes(3).then([] { EXPECT_NE(necrogram_hint_shown(), nullptr); });

    // The rest of the picture, cell by cell; Start then leaves the captured board for the map.
    for (int r = 2; r < 10; ++r)
        for (int c : puzzle_0[r]) {
            go(r, c);
            press(s, SDL_CONTROLLER_BUTTON_A);
        }
    s.passes(2).then([] { EXPECT_TRUE(necrogram_captured()); });
    press(s, SDL_CONTROLLER_BUTTON_START).wait_mode(appmode_map).passes(1).then([] {
        EXPECT_EQ(save_read(), progress({0}));
        pad.unplug();
    });
    s.passes(3).then([] { EXPECT_EQ(platform_pads_connected(), 0); });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
}

} // namespace
