// sound_levels.cpp -- mixes what each screen plays, its music and its effects apart, into raw
// files for measuring. Not a test: bench/sound_levels.sh runs it and reads the peaks with sox.
// Each case runs the real program with SDL's disk audio driver writing to
// $TW_LEVELS_DIR/<screen>-<music|effects>.raw (44,100 Hz, signed 16-bit, stereo).
#include "engine/ec_settings.h"
#include "game/g_game.h"
#include "game/story/g_player.h"
#include "game_script.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// The mixer runs about twenty times faster than real time, so a whole song passes in seconds.
constexpr const char *disk_delay_ms = "1";

void real_wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A press and a release away from the button: the click sounds, nothing is done.
game_script &press_off(game_script &s, int x, int y) {
    s.move(x, y).post(msg_lbuttondown, mk_lbutton).passes(2);
    s.move(5, 5, mk_lbutton).post(msg_lbuttonup).passes(2);
    return s.then([] { real_wait(150); });
}

// Runs screen with only its music or only its effects on; screen_steps brings the program
// there from the splash and plays what the screen plays.
void mix(const char *screen, bool music, const std::function<void(game_script &)> &screen_steps) {
    const char *dir = std::getenv("TW_LEVELS_DIR");
    ASSERT_TRUE(dir) << "set TW_LEVELS_DIR";
    const std::string raw = std::string(dir) + "/" + screen + (music ? "-music" : "-effects") + ".raw";
    settings_load();
    game_settings s = settings_get();
    s.music = music;
    s.sounds = !music;
    s.fullscreen = false;
    settings_set(s);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", disk_delay_ms, 1);
    dialog_recorder rec;
    save_write(std::vector<u8>(25, 1));
    game_script script;
    screen_steps(script);
    EXPECT_EQ(script.then([] { real_wait(300); }).close().run(), 0);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

// From the splash straight to mode, with the save's progress.
void enter(game_script &s, int mode) {
    s.wait_mode(appmode_splash).then([mode] {
        player_continue();
        set_app_mode(mode);
    });
    s.passes(2);
}

// Music: long enough for a whole loop of either song.
void hold_music(game_script &s) {
    s.then([] { real_wait(4000); });
}

void splash(game_script &s) {
    s.wait_mode(appmode_main_menu).then([] { real_wait(400); });
}
void menu(game_script &s) {
    enter(s, appmode_main_menu);
    for (int i = 0; i < 3; ++i)
        press_off(s, 640, 596);
}
void map(game_script &s) {
    enter(s, appmode_map);
    for (int i = 0; i < 3; ++i)
        press_off(s, 1152, 680);
}
void ending(game_script &s) {
    enter(s, appmode_ending);
    for (int i = 0; i < 3; ++i)
        press_off(s, 640, 624);
}
// A fill, its clearing, a cross and its clearing, a row painted in one stroke, and a
// press on the Undo button: every sound of the board.
void board(game_script &s) {
    open_board(s, 0);
    auto pause = [] { real_wait(300); };
    for (int i = 0; i < 2; ++i) {
        s.left_click(cell_x(0), cell_y(0)).passes(2).then(pause);
        s.left_click(cell_x(0), cell_y(0)).passes(2).then(pause);
        s.right_click(cell_x(0), cell_y(0)).passes(2).then(pause);
        s.right_click(cell_x(0), cell_y(0)).passes(2).then(pause);
    }
    drag_row(s, 1, 3, 6).then(pause);
    press_off(s, 1152, 560);
}

TEST(SoundLevels, Splash) { mix("splash", false, splash); }
TEST(SoundLevels, MenuMusic) {
    mix("menu", true, [](game_script &s) { enter(s, appmode_main_menu), hold_music(s); });
}
TEST(SoundLevels, MenuEffects) { mix("menu", false, menu); }
TEST(SoundLevels, MapMusic) {
    mix("map", true, [](game_script &s) { enter(s, appmode_map), hold_music(s); });
}
TEST(SoundLevels, MapEffects) { mix("map", false, map); }
// The board is opened through the map, whose title song would leak in: the music is switched
// on (as M does) once the board is shown.
TEST(SoundLevels, BoardMusic) {
    mix("board", true, [](game_script &s) {
        s.then([] { settings_set_for_run({.music = false, .sounds = false}); });
        open_board(s, 0).then([] { music_switch(appmode_necrogram); });
        hold_music(s);
    });
}
TEST(SoundLevels, BoardEffects) { mix("board", false, board); }
TEST(SoundLevels, EndingMusic) {
    mix("ending", true, [](game_script &s) { enter(s, appmode_ending), hold_music(s); });
}
TEST(SoundLevels, EndingEffects) { mix("ending", false, ending); }

} // namespace
