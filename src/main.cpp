// main.cpp -- entry point, the application-mode table and the window procedure
#include "main.h"

#include "data/data_check.h"
#include "engine/ec_assert.h"
#include "engine/ec_fileio.h"
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"
#include "engine/ec_settings.h"
#include "engine/ec_strings.h"
#include "game/board/g_necrogram.h"
#include "game/freeplay/g_freeplay.h"
#include "game/freeplay/g_freeplay_screen.h"
#include "game/g_game.h"
#include "game/g_question.h"
#include "game/library/g_library_screen.h"
#include "game/story/g_ending.h"
#include "game/story/g_gallery.h"
#include "game/story/g_map.h"
#include "game/story/g_player.h"
#include "game/title/g_main_menu.h"
#include "game/workshop/g_workshop.h"
#include "game/workshop/g_workshop_puzzles.h"
#include "graphics/d3d_font.h"
#include "graphics/d3d_main.h"
#include "graphics/d3d_window.h"
#include "platform/pf_events.h"
#include "platform/pf_pad.h"
#include "platform/pf_system.h"
#include "platform/pf_video.h"
#include "sound/direct_sound.h"
#include "ui/ec_cursor.h"
#include "ui/ec_splash.h"
#include "ui/ec_ui.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

int current_app_mode = appmode_init;

// A mouse press this soon after a change of screen is held back (with its release):
// the second click of a double click must not land on the new screen's button.
constexpr std::uint32_t press_guard_ms = 300;
std::uint32_t mode_entered_at = 0;
bool press_held_back[2] = {}; // left, right: the press was held back, so is its release

// True when the button message is one to hold back.
bool hold_back_press(int button, bool down) {
    if (!down) {
        const bool held = press_held_back[button];
        press_held_back[button] = false;
        return held;
    }
    press_held_back[button] = platform_get_tick_count() - mode_entered_at < press_guard_ms;
    return press_held_back[button];
}

void appmode_init_init();
void appmode_exit_init();

// Mode numbers are fixed: the table is indexed by them.
const app_mode game_app_modes[num_app_modes] = {
    /* appmode_init */ {.init = appmode_init_init},
    /* appmode_splash */
    {.init = appmode_splash_init,
     .free = appmode_splash_free,
     .update = appmode_splash_update,
     .lbutton = appmode_splash_lbutton,
     .keydown = appmode_splash_keydown},
    /* appmode_main_menu */
    {.init = appmode_main_menu_init,
     .free = appmode_main_menu_free,
     .update = appmode_main_menu_update,
     .mousemove = appmode_main_menu_mousemove,
     .lbutton = appmode_main_menu_lbutton,
     .keydown = appmode_main_menu_keydown},
    /* appmode_map: the menu's frame and mouse */
    {.init = appmode_map_init,
     .free = appmode_map_free,
     .update = appmode_main_menu_update,
     .mousemove = appmode_main_menu_mousemove,
     .lbutton = appmode_main_menu_lbutton,
     .keydown = appmode_map_keydown},
    /* appmode_necrogram */
    {.init = appmode_necrogram_init,
     .free = appmode_necrogram_free,
     .update = appmode_necrogram_update,
     .mousemove = appmode_necrogram_mousemove,
     .lbutton = appmode_necrogram_lbutton,
     .rbutton = appmode_necrogram_rbutton,
     .keydown = appmode_necrogram_keydown,
     .keyup = appmode_necrogram_keyup,
     .pad = appmode_necrogram_pad},
    /* appmode_exit */ {.init = appmode_exit_init},
    /* appmode_ending: the menu's mouse */
    {.init = appmode_ending_init,
     .free = appmode_ending_free,
     .update = appmode_ending_update,
     .mousemove = appmode_main_menu_mousemove,
     .lbutton = appmode_main_menu_lbutton,
     .keydown = appmode_ending_keydown},
    /* appmode_freeplay: the menu's mouse */
    {.init = appmode_freeplay_init,
     .free = appmode_freeplay_free,
     .update = appmode_freeplay_update,
     .mousemove = appmode_main_menu_mousemove,
     .lbutton = appmode_main_menu_lbutton,
     .keydown = appmode_freeplay_keydown},
    /* appmode_library: the menu's mouse */
    {.init = appmode_library_init,
     .free = appmode_library_free,
     .update = appmode_library_update,
     .mousemove = appmode_main_menu_mousemove,
     .lbutton = appmode_main_menu_lbutton,
     .keydown = appmode_library_keydown},
    /* appmode_workshop */
    {.init = appmode_workshop_init,
     .free = appmode_workshop_free,
     .update = appmode_workshop_update,
     .mousemove = appmode_workshop_mousemove,
     .lbutton = appmode_workshop_lbutton,
     .rbutton = appmode_workshop_rbutton,
     .keydown = appmode_workshop_keydown,
     .keyup = appmode_workshop_keyup,
     .keychar = appmode_workshop_keychar},
    /* appmode_gallery: the menu's mouse */
    {.init = appmode_gallery_init,
     .free = appmode_gallery_free,
     .update = appmode_gallery_update,
     .mousemove = appmode_main_menu_mousemove,
     .lbutton = appmode_main_menu_lbutton,
     .keydown = appmode_gallery_keydown},
    /* appmode_my_puzzles: the menu's mouse */
    {.init = appmode_my_puzzles_init,
     .free = appmode_my_puzzles_free,
     .update = appmode_my_puzzles_update,
     .mousemove = appmode_main_menu_mousemove,
     .lbutton = appmode_main_menu_lbutton,
     .keydown = appmode_my_puzzles_keydown},
};

const app_mode *app_modes = game_app_modes;

void appmode_init_init() {
    std::srand((unsigned)std::time(nullptr));
    frame_timer_start();
    ui_load_gfx();
    diag_strings_create();
    save_file_init_path();
    player_reset(); // nothing read or played yet (a second run in one process starts clean too)
    main_menu_load_song();
    game_load_song();
    set_app_mode(appmode_splash);
}

void appmode_exit_init() {
    songs_free();
    diag_strings_free();
    ui_free_gfx();
    // Closing the window: its destruction posts the quit message that ends the loop.
    d3d_window_destroy();
}

bool program_init() {
    if (!d3d_window_create())
        return false;
    if (!d3d_init()) {
        d3d_window_destroy();
        return false;
    }
    if (!sound_system_init()) {
        d3d_free();
        d3d_window_destroy();
        return false;
    }
    d3d_window_show();
    if (settings_get().fullscreen)
        platform_window_set_fullscreen(true);
    window_active_set(true);
    cursor_centre();
    set_app_mode(appmode_init);
    return true;
}

// What the command line asks of this run: the window (0 or 1 overrides the saved
// full-screen choice for this run, -1 keeps it), puzzle files to play, a picture to import.
struct start_choices {
    int window_choice = -1;
    std::vector<std::string> files;
    std::string import_path;
};

// The command line's files open once, where the title first comes (after the splash),
// between two messages: when they put a puzzle on the board, the board replaces the
// title; else the title stays, after the boxes that said why. A picture to import opens
// the Workshop there in the same way (puzzle files beside it are not played).
void open_files_at_title(start_choices *start) {
    if (current_app_mode != appmode_main_menu || app_modes != game_app_modes)
        return;
    if (!start->import_path.empty()) {
        const std::string path = std::move(start->import_path);
        *start = {};
        workshop_start_import(path);
        return;
    }
    if (start->files.empty())
        return;
    const std::vector<std::string> opening = std::move(start->files);
    start->files.clear();
    freeplay_open_files(opening);
}

// Messages are routed as they come; the running mode's update (one frame) runs when
// the next frame is due. In between the loop sleeps until a message arrives or the
// frame is due, so an idle game leaves the processor alone.
void main_loop(start_choices start) {
    bool quit = false;
    while (!quit) {
        open_files_at_title(&start);
        platform_run_loop_hook();
        if (platform_peek_message()) {
            platform_message msg;
            if (!platform_get_message(&msg))
                quit = true;
            platform_dispatch_message(&msg);
        } else if (std::uint32_t wait = platform_frame_wait_ms()) {
            platform_wait_message(wait);
        } else if (app_modes[current_app_mode].update) {
            platform_frame_start();
            const auto started = std::chrono::steady_clock::now();
            app_modes[current_app_mode].update();
            frame_timer_note_update(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count());
        }
    }
}

void shutdown() {
    sounds_free_all();
    sound_system_close();
    d3d_free();
    string_table_free();
    packfile_close();
    memory_system_close();
}

constexpr const char *usage_text =
    "Usage: tombweaver [--fullscreen | --window] [--] [FILE...]\n"
    "       tombweaver [--fullscreen | --window] --import PICTURE.png\n"
    "       tombweaver --help | --version\n"
    "Capture the monsters of a moonlit graveyard by solving picture logic puzzles.\n"
    "\n"
    "  --fullscreen  start in full screen for this run\n"
    "  --window      start in a window for this run\n"
    "  -h, --help    show this help and exit\n"
    "  --version     show the version and exit\n"
    "  --import PNG  open the Workshop with the picture, to turn it into a puzzle\n"
    "  FILE          puzzles to play after the splash, instead of the title: .non files,\n"
    "                puzzle-site XML or text files of game ids; several puzzles make a\n"
    "                list to step through\n"
    "\n"
    "The game's data is data/tombweaver.kzp under $TOMBWEAVER_PATH, beside the program,\n"
    "in ../share/tombweaver or in the current folder.\n";

// Prints text on stdout for --help and --version: 0 once it is written, else 1 after
// saying on stderr that it could not be (a closed pipe, a full disk).
int print_and_end(const char *text) {
    errno = 0;
    if (std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0)
        return 0;
    std::fprintf(stderr, "tombweaver: cannot write to standard output: %s\n",
                 errno ? std::strerror(errno) : "write error");
    std::clearerr(stdout);
    return 1;
}

// -1 when the game should start (with *start filled in), else the exit code.
// Arguments that are not options, and all after "--", are puzzle files.
int parse_command_line(int argc, char **argv, start_choices *start) {
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (!options || arg[0] != '-' || arg[1] == 0) {
            start->files.push_back(arg);
            continue;
        }
        if (std::strcmp(arg, "--") == 0) {
            options = false;
            continue;
        }
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0)
            return print_and_end(usage_text);
        if (std::strcmp(arg, "--version") == 0)
            return print_and_end("tombweaver " TW_VERSION "\n");
        if (std::strcmp(arg, "--fullscreen") == 0) {
            start->window_choice = 1;
        } else if (std::strcmp(arg, "--window") == 0) {
            start->window_choice = 0;
        } else if (std::strcmp(arg, "--import") == 0) {
            if (i + 1 == argc) {
                std::fprintf(stderr, "tombweaver: --import needs a PNG picture\n");
                std::fputs(usage_text, stderr);
                return 2;
            }
            start->import_path = argv[++i];
        } else {
            std::fprintf(stderr, "tombweaver: unknown option '%s'\n", arg);
            std::fputs(usage_text, stderr);
            return 2;
        }
    }
    return -1;
}

// F11 and Alt+Enter: desktop full screen or the window, kept for the next start.
void toggle_fullscreen() {
    game_settings s = settings_get();
    s.fullscreen = !s.fullscreen;
    settings_set(s);
    platform_window_set_fullscreen(s.fullscreen);
    d3d_window_update_mouse_scale();
    ui_note_show(s.fullscreen ? "Full screen" : "Window");
}

// Files dropped on the window open on the title, the map, the free-play screen and the
// board (which keeps its marks first, as leaving it does); elsewhere, and while
// a question waits for its answer, a drop is ignored. A message box holds the loop, so
// no drop arrives while one is up.
void open_dropped_files(const std::vector<std::string> &files) {
    if (files.empty() || app_modes != game_app_modes || question_is_open())
        return;
    switch (current_app_mode) {
    case appmode_workshop:
        workshop_drop(files); // a picture to import, or a puzzle to edit
        return;
    case appmode_necrogram: necrogram_keep_progress(); break;
    case appmode_main_menu:
    case appmode_map:
    case appmode_freeplay: break;
    default: return;
    }
    freeplay_open_files(files);
}

// A pad's button for a mode without a pad callback: the key it stands for (0: none).
unsigned pad_key(unsigned button) {
    switch (button) {
    case pad_up: return vk_up;
    case pad_down: return vk_down;
    case pad_left: return vk_left;
    case pad_right: return vk_right;
    case pad_a:
    case pad_start: return vk_return;
    case pad_b:
    case pad_back: return vk_escape;
    default: return 0;
    }
}

void route_pad(const app_mode &mode, unsigned button, bool down, bool repeat) {
    if (mode.pad) {
        mode.pad(button, down, repeat);
        return;
    }
    const unsigned key = pad_key(button);
    if (key && down && mode.keydown)
        mode.keydown(key);
    else if (key && !down && mode.keyup)
        mode.keyup(key);
}

int16_t low_word(int32_t v) { return (int16_t)(v & 0xFFFF); }
int16_t high_word(int32_t v) { return (int16_t)((uint32_t)v >> 16); }

} // namespace

void set_app_mode(int mode) {
    if (!ec_assert(mode >= appmode_init && mode < num_app_modes))
        return;
    if (current_app_mode >= appmode_init && current_app_mode < num_app_modes && app_modes[current_app_mode].free)
        app_modes[current_app_mode].free();
    current_app_mode = mode;
    if (app_modes[current_app_mode].init)
        app_modes[current_app_mode].init();
    mode_entered_at = platform_get_tick_count();
}

int current_app_mode_get() { return current_app_mode; }

bool app_mode_takes_presses() { return platform_get_tick_count() - mode_entered_at >= press_guard_ms; }

void app_modes_use_for_test(const app_mode *table, int mode) {
    app_modes = table ? table : game_app_modes;
    current_app_mode = mode;
}

std::intptr_t main_window_proc(const platform_message *msg) {
    const app_mode &mode = app_modes[current_app_mode];
    switch (msg->message) {
    case msg_destroy: platform_post_quit_message(); return 1;
    case msg_size:
        if (msg->wparam == size_restored || msg->wparam == size_maximized)
            d3d_window_update_mouse_scale();
        return 0;
    case msg_activate: window_active_set(msg->wparam != 0); return 0;
    case msg_close:
        // An unfinished board's marks are kept, as if the player had left by the Map button.
        if (current_app_mode == appmode_necrogram && app_modes == game_app_modes)
            necrogram_keep_progress();
        set_app_mode(appmode_exit);
        return 0;
    case msg_keydown:
        if (msg->wparam == vk_f11) {
            toggle_fullscreen();
            return 0;
        }
        if (msg->wparam == vk_f1) {
            diag_strings_toggle();
            return 0;
        }
        // The music and sound switches work on every screen (but for typing there).
        if (msg->wparam == 'M' && !ui_text_entry_on()) {
            music_switch(current_app_mode);
            return 0;
        }
        if (msg->wparam == 'N' && !ui_text_entry_on()) {
            sounds_switch();
            return 0;
        }
        if (mode.keydown)
            mode.keydown(msg->wparam);
        return 0;
    case msg_keyup:
        if (msg->wparam == vk_f11)
            return 0;
        if (mode.keyup)
            mode.keyup(msg->wparam);
        return 0;
    case msg_char:
        if (mode.keychar)
            mode.keychar(msg->wparam);
        return 0;
    case msg_syskeydown:
        if (msg->wparam == vk_return)
            toggle_fullscreen();
        // System keys (Alt combinations, F10) are swallowed: Alt+F4 does not close.
        return 0;
    case msg_mousemove:
        if (mode.mousemove)
            mode.mousemove(low_word(msg->lparam), high_word(msg->lparam), msg->wparam);
        return 0;
    case msg_lbuttondown:
    case msg_lbuttonup:
        if (!hold_back_press(0, msg->message == msg_lbuttondown) && mode.lbutton)
            mode.lbutton(msg->message == msg_lbuttondown);
        return 0;
    case msg_rbuttondown:
    case msg_rbuttonup:
        if (!hold_back_press(1, msg->message == msg_rbuttondown) && mode.rbutton)
            mode.rbutton(msg->message == msg_rbuttondown);
        return 0;
    case msg_mousewheel:
        if (mode.mousewheel)
            mode.mousewheel(msg->wparam);
        return 0;
    case msg_dropfiles: open_dropped_files(platform_drop_take(msg->wparam)); return 0;
    case msg_paddown:
    case msg_padup: route_pad(mode, msg->wparam, msg->message == msg_paddown, msg->lparam != 0); return 0;
    default: return 0;
    }
}

namespace {

// Tells the player why the game cannot start: one line on stderr, and the plain text in a box.
bool data_refused(const char *line, const char *text) {
    std::fprintf(stderr, "tombweaver: %s", line);
    platform_message_box("Fatal Error", text, platform_mb_ok, platform_mb_icon_none);
    if (packfile_is_open())
        packfile_close();
    return false;
}

// Opens the pack and checks that it holds every entry the game loads and that each
// one decodes and is taken by its reader; says what is wrong when it does not. False
// when the game cannot start.
bool data_open() {
    static char line[max_path + 1024], text[max_path + 2048];
    if (!base_path_init()) {
        std::snprintf(line, sizeof line, "cannot find the game's data; looked for:\n%s", base_path_searched());
        std::snprintf(text, sizeof text,
                      "The game's data could not be looked for: the current folder cannot be read.\n\n"
                      "Start the game from a folder you can read, or set TOMBWEAVER_PATH to the folder "
                      "that holds data/tombweaver.kzp.");
        return data_refused(line, text);
    }
    const char *pack_path = data_file_path("tombweaver.kzp");
    if (!packfile_load()) {
        if (!platform_file_readable(pack_path)) {
            std::snprintf(line, sizeof line,
                          "cannot open data/tombweaver.kzp; looked for:\n%s"
                          "Reinstall the game or set TOMBWEAVER_PATH to the folder that holds data/.\n",
                          base_path_searched());
            std::snprintf(text, sizeof text,
                          "The game's data file data/tombweaver.kzp was not found. The game looked for it "
                          "in:\n%s\nReinstall the game, or set TOMBWEAVER_PATH to the folder that holds "
                          "data/tombweaver.kzp.",
                          base_path_searched());
            return data_refused(line, text);
        }
        std::snprintf(line, sizeof line, "damaged data file %s: its directory does not fit the file\n", pack_path);
        std::snprintf(text, sizeof text,
                      "The game's data file\n%s\nis damaged: it is shorter than its contents say, or could "
                      "not be read whole. It may have been cut short while it was copied.\n\n"
                      "Please reinstall the game.",
                      pack_path);
        return data_refused(line, text);
    }
    char missing[1024];
    if (u32 count = data_check_missing(missing, sizeof missing)) {
        std::snprintf(line, sizeof line, "data file %s lacks %u entr%s the game needs: %s\n", pack_path, count,
                      count == 1 ? "y" : "ies", missing);
        std::snprintf(text, sizeof text,
                      "The game's data file\n%s\nis incomplete: it lacks %s the game needs: %s.\n\n"
                      "Please reinstall the game.",
                      pack_path, count == 1 ? "an entry" : "entries", missing);
        return data_refused(line, text);
    }
    u32 bad = 0;
    char why[320];
    if (data_check_pack(&bad, why, sizeof why))
        return true;
    const char *name = "";
    pack_file_info(bad, &name, nullptr, nullptr);
    std::snprintf(line, sizeof line, "damaged data file %s: entry \"%s\" %s\n", pack_path, name, why);
    std::snprintf(text, sizeof text,
                  "The game's data file\n%s\nis damaged: its entry \"%s\" %s.\n\nPlease reinstall the game.", pack_path,
                  name, why);
    return data_refused(line, text);
}

} // namespace

namespace {

// The whole program with the command line's choices; files and an import open after the splash.
int run(start_choices start) {
    current_app_mode = appmode_init;
    platform_events_reset();
    platform_set_window_proc(main_window_proc);
    platform_signals_init();

    memory_system_init();
    // One game at a time keeps the save: a second would write over the first one's captures.
    if (!save_folder_lock()) {
        std::fprintf(stderr, "tombweaver: already running for this user; not started again\n");
        platform_message_box("Tombweaver Is Already Running",
                             start.files.empty()
                                 ? "Tombweaver is already running. Only one game at a time can keep your "
                                   "progress: switch to its window."
                                 : "Tombweaver is already running. Only one game at a time can keep your "
                                   "progress: switch to its window, and drop the puzzle files on it to "
                                   "play them there.",
                             platform_mb_ok, platform_mb_icon_warning);
        memory_system_close();
        return 1;
    }
    settings_load();
    if (start.window_choice >= 0) {
        game_settings s = settings_get();
        s.fullscreen = start.window_choice == 1;
        settings_set_for_run(s);
    }
    if (!data_open()) {
        memory_system_close();
        save_folder_unlock();
        return 1;
    }
    string_table_read();
    if (!program_init()) {
        string_table_free();
        packfile_close();
        memory_system_close();
        save_folder_unlock();
        return 1;
    }
    main_loop(std::move(start));
    shutdown();
    save_folder_unlock();
    return 0;
}

} // namespace

int tombweaver_main() { return run({}); }

int tombweaver_main(int argc, char **argv) {
    start_choices start;
    const int code = parse_command_line(argc, argv, &start);
    if (code >= 0)
        return code;
    return run(std::move(start));
}

#ifndef TW_NO_MAIN
int main(int argc, char **argv) { return tombweaver_main(argc, argv); }
#endif
