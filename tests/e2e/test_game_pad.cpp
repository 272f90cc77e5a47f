// test_game_pad.cpp -- a game pad alone, end to end: plugged in while the game runs, the menus and the map,
// a whole board played by the d-pad, the stick and the buttons (the stroke rule included), and unplugged
#include "engine/ec_settings.h"
#include "game/board/g_necrogram.h"
#include "game/g_question.h"
#include "game/story/g_puzzles.h"
#include "game_script.h"
#include "platform/pf_pad.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// A pad made by SDL's virtual joystick driver, which the game picks up as any other.
SDL_Joystick *pad = nullptr;

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
    pad = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&d));
    ASSERT_NE(pad, nullptr) << SDL_GetError();
}

void unplug() {
    const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
    SDL_JoystickClose(pad);
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == id)
            SDL_JoystickDetachVirtual(i);
}

// A button held down or let go, seen by the game's loop before the next step.
game_script &hold(game_script &s, int button, bool down, int passes = 2) {
    return s.then([=] { SDL_JoystickSetVirtualButton(pad, button, down); }).passes(passes);
}
game_script &press(game_script &s, int button, int held = 2) {
    return hold(hold(s, button, true, held), button, false);
}
game_script &stick(game_script &s, Sint16 y) {
    return s.then([=] { SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, y); }).passes(2);
}
std::pair<int, int> cursor() { return {necrogram_shown()->hover_row, necrogram_shown()->hover_column}; }

class GamePad : public fresh_game_test {
protected:
    void SetUp() override {
        fresh_game_test::SetUp();
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1); // the headless window has no focus
    }
};

// Plugged in while the game runs: B skips the splash, the d-pad and A take the menu and the map.
// On the board a held direction repeats and the stick moves as the d-pad does; A and B paint by
// the stroke rule, the shoulders undo and redo, Y and X switch checking and show a hint; the
// picture is finished by the pad and Start leaves. Unplugged, the pad is let go.
TEST_F(GamePad, AWholeBoardPlayedWithThePadAlone) {
    int row = 0, column = 0; // where the cell cursor is
    auto go = [&](int r, int c) {
        for (; column != c; column += c > column ? 1 : -1)
            press(s, c > column ? SDL_CONTROLLER_BUTTON_DPAD_RIGHT : SDL_CONTROLLER_BUTTON_DPAD_LEFT);
        for (; row != r; row += r > row ? 1 : -1)
            press(s, r > row ? SDL_CONTROLLER_BUTTON_DPAD_DOWN : SDL_CONTROLLER_BUTTON_DPAD_UP);
    };
    s.wait_mode(appmode_splash).then(plug_in).passes(3).then([] { EXPECT_EQ(platform_pads_connected(), 1); });
    press(s, SDL_CONTROLLER_BUTTON_B).wait_mode(appmode_main_menu).passes(2);
    press(press(s, SDL_CONTROLLER_BUTTON_DPAD_DOWN), SDL_CONTROLLER_BUTTON_A);
    s.until([] { return question_is_open(); }, "the tutorial's offer"); // B declines it
    press(s, SDL_CONTROLLER_BUTTON_B).wait_mode(appmode_map).passes(2);
    press(press(s, SDL_CONTROLLER_BUTTON_DPAD_RIGHT), SDL_CONTROLLER_BUTTON_A).wait_mode(appmode_necrogram).passes(2);
    press(s, SDL_CONTROLLER_BUTTON_DPAD_RIGHT).then([] { // the first shows the cursor on the top-left cell
        EXPECT_EQ(cursor(), std::pair(0, 0));
        EXPECT_TRUE(platform_pad_in_use());
    });
    // Held, the d-pad repeats until the cursor stops at the edge; the stick moves it as the d-pad does.
    press(s, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 100).then([] { EXPECT_EQ(cursor(), std::pair(0, 9)); });
    stick(stick(s, 32767), 0).then([] { EXPECT_EQ(cursor(), std::pair(1, 9)); });
    row = 1, column = 9;

    // Row 1: a cross at 5, then A held from 3 to 6 fills round it; A on the cross empties it,
    // again fills it; B held from a fill empties the fills alone; LB and RB undo and redo.
    auto row_1 = [] {
        std::string marks;
        for (int c = 3; c < 7; ++c)
            marks += ".#x"[necrogram_get_mark(1, c)];
        return marks;
    };
    go(1, 5);
    press(s, SDL_CONTROLLER_BUTTON_B);
    go(1, 3);
    hold(s, SDL_CONTROLLER_BUTTON_A, true);
    go(1, 6);
    hold(s, SDL_CONTROLLER_BUTTON_A, false).then([&] { EXPECT_EQ(row_1(), "##x#"); });
    go(1, 5);
    press(press(s, SDL_CONTROLLER_BUTTON_A), SDL_CONTROLLER_BUTTON_A).then([&] { EXPECT_EQ(row_1(), "####"); });
    hold(s, SDL_CONTROLLER_BUTTON_B, true);
    go(1, 3);
    hold(s, SDL_CONTROLLER_BUTTON_B, false).then([&] { EXPECT_EQ(row_1(), "...#"); });
    press(press(press(s, SDL_CONTROLLER_BUTTON_LEFTSHOULDER), SDL_CONTROLLER_BUTTON_RIGHTSHOULDER),
          SDL_CONTROLLER_BUTTON_LEFTSHOULDER)
        .then([&] { EXPECT_EQ(row_1(), "####"); });
    press(s, SDL_CONTROLLER_BUTTON_Y).then([] { EXPECT_TRUE(settings_get().mistake_check); });
    press(s, SDL_CONTROLLER_BUTTON_Y);
    press(s, SDL_CONTROLLER_BUTTON_X).passes(3).then([] { EXPECT_NE(necrogram_hint_shown(), nullptr); });

    for (int r = 2; r < 10; ++r)
        for (int c : puzzle_0[r]) {
            go(r, c);
            press(s, SDL_CONTROLLER_BUTTON_A);
        }
    s.passes(2).then([] { EXPECT_TRUE(necrogram_captured()); });
    press(s, SDL_CONTROLLER_BUTTON_START).wait_mode(appmode_map).passes(1).then([] {
        EXPECT_EQ(save_read(), progress({0}));
        unplug();
    });
    s.passes(3).then([] { EXPECT_EQ(platform_pads_connected(), 0); });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
}

} // namespace
