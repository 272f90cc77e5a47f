// g_workshop_puzzles.cpp -- My Puzzles: the saved pictures listed, to edit, play, duplicate and delete
#include "game/workshop/g_workshop_puzzles.h"

#include "game/g_game.h"
#include "game/g_question.h"
#include "game/g_screen.h"
#include "game/g_strings.h"
#include "game/workshop/g_workshop.h"
#include "game/workshop/g_workshop_files.h"
#include "game/workshop/g_workshop_icons.h"
#include "game/workshop/g_workshop_play.h"
#include "graphics/d3d_gfx2d.h"
#include "platform/pf_keys.h"
#include "platform/pf_system.h"
#include "ui/app_modes.h"
#include "ui/ec_ui.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int scale = 2, slice = 8 * scale;
// A framed window of 68 x 40 slices in the middle of the screen, as free play's.
constexpr s32 win_x1 = 640 - 34 * slice, win_x2 = 640 + 34 * slice;
constexpr s32 win_y1 = 360 - 20 * slice, win_y2 = 360 + 20 * slice;
// The list on the left, the chosen picture and the buttons on the right.
constexpr int list_x = win_x1 + slice + 8, list_y = win_y1 + 3 * slice + 32, list_width = 640, row_height = 56;
constexpr int preview_x = 800, preview_y = list_y, preview_width = 360, preview_height = 220;
constexpr int buttons_x = 980, buttons_y = preview_y + preview_height + 24, buttons_pitch = 54;

constexpr u32 text_colour = 0xFFFFFFFF;
constexpr u32 dim_colour = 0xFFA8A4B8;
constexpr u32 error_colour = 0xFFFF7070;
constexpr u32 chosen_colour = 0xFFE8B848;
constexpr u32 row_colour = 0xFF2C2A3C;

dword background_layer = invalid_id;
dword screen_window = invalid_id;
bool leave_requested = false;

std::vector<workshop_entry> entries;
std::vector<int> best; // each entry's best time, -1: none
int chosen = 0, first_shown = 0;
std::string chosen_path; // kept for the next visit

void row_draw(dword id, int x, int y, int, int state);

image_button_data row_buttons[my_puzzles_rows];

constexpr dynamic_button_data side_button(dword string_id, dword id, int row) {
    return {.string_id = string_id,
            .id = id,
            .x = buttons_x - win_x1,
            .y = buttons_y + buttons_pitch * row - win_y1,
            .block_width = 9,
            .scale = scale,
            .flags = 0,
            .on_click = mp_do_button};
}
dynamic_button_data edit_button = side_button(str_ws_edit, mp_edit_id, 0);
dynamic_button_data play_button = side_button(str_ws_play, mp_play_id, 1);
dynamic_button_data duplicate_button = side_button(str_ws_duplicate, mp_duplicate_id, 2);
dynamic_button_data delete_button = side_button(str_ws_delete, mp_delete_id, 3);
dynamic_button_data back_button = side_button(str_map_back, mp_back_id, 4);
const void *focus_order[] = {&edit_button, &play_button, &duplicate_button, &delete_button, &back_button};

const workshop_entry *chosen_entry() {
    return chosen >= 0 && chosen < (int)entries.size() ? &entries[(size_t)chosen] : nullptr;
}

void choose(int index) {
    if (entries.empty()) {
        chosen = 0;
        chosen_path.clear();
        return;
    }
    chosen = std::clamp(index, 0, (int)entries.size() - 1);
    chosen_path = entries[(size_t)chosen].path;
    first_shown = std::clamp(first_shown, std::max(0, chosen - my_puzzles_rows + 1), chosen);
}

void reload(const std::string &keep_path) {
    entries = workshop_list();
    best.clear();
    for (const workshop_entry &e : entries)
        best.push_back(e.readable ? workshop_best_seconds(workshop_key(e.doc.picture)) : -1);
    int at = 0;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].path == keep_path)
            at = (int)i;
    choose(at);
}

void sync_buttons() {
    const workshop_entry *e = chosen_entry();
    auto set = [](dynamic_button_data &b, bool enabled) {
        b.flags = enabled ? b.flags & ~button_flag_disabled : b.flags | button_flag_disabled;
    };
    set(edit_button, e && e->readable);
    set(play_button, e && e->readable);
    set(duplicate_button, e && e->readable);
    set(delete_button, e != nullptr);
    for (int i = 0; i < my_puzzles_rows; ++i) {
        dword &flags = row_buttons[i].flags;
        flags = first_shown + i < (int)entries.size() ? flags & ~button_flag_disabled : flags | button_flag_disabled;
    }
}

std::string time_text(int seconds) {
    char text[24];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

// A picture in a box of w x h pixels, its cells as large as fit, centred; a frame around it.
void draw_picture(const workshop_picture &p, int x, int y, int w, int h) {
    const int cell = std::max(1, std::min(w / p.width, h / p.height));
    const int left = x + (w - cell * p.width) / 2, top = y + (h - cell * p.height) / 2;
    for (int row = top; row < top + cell * p.height; ++row)
        gfx2d_draw_hline(left, left + cell * p.width - 1, row, 0xFFE8E4D8);
    for (int r = 0; r < p.height; ++r)
        for (int c = 0; c < p.width; ++c)
            if (workshop_at(p, c, r))
                gfx2d_draw_pixel(left + cell * c, top + cell * r, 0xFF1E1C2C, cell);
    gfx2d_draw_frame(left - 1, top - 1, cell * p.width + 1, cell * p.height + 1, 1, dim_colour);
}

void row_draw(dword id, int x, int y, int, int state) {
    const int index = first_shown + (int)(id - mp_row_id);
    if (index < 0 || index >= (int)entries.size())
        return;
    const workshop_entry &e = entries[(size_t)index];
    const bool is_chosen = index == chosen;
    for (int row = y; row < y + row_height - 4; ++row)
        gfx2d_draw_hline(x, x + list_width - 1, row, is_chosen ? 0xFF4A4560 : row_colour);
    if (is_chosen || state == image_button_sprite_over)
        gfx2d_draw_frame(x, y, list_width - 1, row_height - 5, 2, is_chosen ? chosen_colour : 0xFF6A6680);
    if (e.readable)
        draw_picture(e.doc.picture, x + 6, y + 4, 44, 44);
    const std::string title = e.doc.title.empty() ? "Untitled" : e.doc.title;
    workshop_text(x + 60, y + 8, title.c_str(), text_colour, 2, list_width - 70);
    std::string line;
    if (!e.readable) {
        line = "Cannot be read: " + e.error;
    } else {
        line = std::to_string(e.doc.picture.width) + " x " + std::to_string(e.doc.picture.height);
        if (!e.doc.author.empty())
            line += ", by " + e.doc.author;
        line += best[(size_t)index] < 0 ? ", not solved yet" : ", best " + time_text(best[(size_t)index]);
    }
    workshop_text(x + 60, y + 32, line.c_str(), e.readable ? dim_colour : error_colour, 1, list_width - 70);
}

void screen_draw(int, int) {
    if (entries.empty()) {
        workshop_text(list_x, list_y + 16, "No pictures saved yet.", text_colour, 2);
        workshop_text(list_x, list_y + 48, "Draw one in the Workshop and press Save: it appears here.", dim_colour, 1);
        return;
    }
    char count[48];
    std::snprintf(count, sizeof count, "%d picture%s", (int)entries.size(), entries.size() == 1 ? "" : "s");
    workshop_text(list_x, list_y - 18, count, dim_colour, 1);
    if (first_shown > 0)
        workshop_text(list_x + list_width - 90, list_y - 18, "more above", dim_colour, 1);
    if (first_shown + my_puzzles_rows < (int)entries.size())
        workshop_text(list_x + list_width - 90, list_y + row_height * my_puzzles_rows, "more below", dim_colour, 1);
    const workshop_entry *e = chosen_entry();
    if (e && e->readable)
        draw_picture(e->doc.picture, preview_x, preview_y, preview_width, preview_height);
}

void screen_window_removed() {
    screen_window = invalid_id;
    leave_requested = true;
}

void deleted(bool yes) {
    const workshop_entry *e = chosen_entry();
    if (!yes || !e)
        return;
    std::string why;
    const std::string path = e->path;
    if (!workshop_remove(path, &why)) {
        platform_message_box("Picture Not Deleted", ("The picture could not be deleted:\n" + why).c_str(),
                             platform_mb_ok, platform_mb_icon_warning);
        return;
    }
    workshop_forget_path(path);
    const int at = chosen;
    reload("");
    choose(at);
    sync_buttons();
}

void open_answered(bool yes) {
    const workshop_entry *e = chosen_entry();
    if (!yes || !e)
        return;
    workshop_set_document(e->doc);
    set_app_mode(appmode_workshop);
}

} // namespace

int my_puzzles_count() { return (int)entries.size(); }
int my_puzzles_chosen() { return chosen; }
std::string my_puzzles_chosen_path() { return chosen_entry() ? chosen_entry()->path : ""; }

void my_puzzles_choose(const std::string &path) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].path == path)
            choose((int)i);
    sync_buttons();
}

void mp_do_button(dword id) {
    const workshop_entry *e = chosen_entry();
    if (id >= mp_row_id && id < mp_row_id + my_puzzles_rows) {
        choose(first_shown + (int)(id - mp_row_id));
    } else if (id == mp_edit_id && e && e->readable) {
        // The Workshop's picture, when it has changes not saved, is not dropped without asking.
        if (workshop_dirty() && workshop_current().path != e->path) {
            safestring line1, line2;
            safestring_create(&line1, "Open this picture in the Workshop?");
            safestring_create(&line2, "The changes to the one there are not saved.");
            question_open(str_ws_discard_caption, &line1, &line2, open_answered);
        } else {
            open_answered(true);
        }
        return;
    } else if (id == mp_play_id && e && e->readable) {
        workshop_play(e->doc, appmode_my_puzzles);
        return;
    } else if (id == mp_duplicate_id && e && e->readable) {
        std::string path, why;
        if (workshop_duplicate(e->path, &path, &why))
            reload(path);
        else
            platform_message_box("Picture Not Copied", ("The picture could not be copied:\n" + why).c_str(),
                                 platform_mb_ok, platform_mb_icon_warning);
    } else if (id == mp_delete_id && e) {
        safestring line1, line2;
        const std::string title = e->doc.title.empty() ? "Untitled" : e->doc.title;
        safestring_create(&line1, ("Delete \"" + title + "\"?").c_str());
        safestring_create(&line2, "Its file is removed for good.");
        question_open(str_ws_delete_caption, &line1, &line2, deleted);
        return;
    } else if (id == mp_back_id) {
        set_app_mode(appmode_workshop);
        return;
    }
    sync_buttons();
}

void appmode_my_puzzles_init() {
    leave_requested = false;
    ui_window_add_fullscreen(nullptr);
    const window_data frame = {
        .flags = window_flag_framed | window_flag_filled,
        .caption_id = str_ws_puzzles,
        .x1 = win_x1,
        .y1 = win_y1,
        .x2 = win_x2,
        .y2 = win_y2,
        .scale = scale,
        .draw = screen_draw,
        .on_remove = screen_window_removed,
    };
    screen_window = ui_window_add(&frame);
    reload(chosen_path.empty() ? workshop_current().path : chosen_path);
    if (screen_window != invalid_id) {
        for (int i = 0; i < my_puzzles_rows; ++i) {
            row_buttons[i] = {.id = mp_row_id + (dword)i,
                              .x = list_x - win_x1,
                              .y = list_y + row_height * i - win_y1,
                              .width = list_width,
                              .height = row_height - 4,
                              .flags = 0,
                              .draw = row_draw,
                              .on_click = mp_do_button};
            image_button_add(screen_window, &row_buttons[i]);
        }
        for (const void *b : focus_order) {
            dynamic_button_data *button = (dynamic_button_data *)b;
            button->flags = 0;
            dynamic_button_add(screen_window, button);
        }
    }
    sync_buttons();
    ui_mousemove();
    background_layer = title_picture_add();
    main_menu_start_song();
}

void appmode_my_puzzles_free() {
    title_picture_remove(&background_layer);
    screen_window = invalid_id; // before the removal, so it is no request to leave
    ui_window_remove_all();
    question_forget();
}

void appmode_my_puzzles_update() {
    if (leave_requested) {
        leave_requested = false;
        set_app_mode(appmode_workshop);
        return;
    }
    sync_buttons();
    appmode_main_menu_update();
}

void appmode_my_puzzles_keydown(unsigned key) {
    if (platform_key_held(vk_lbutton) || platform_key_held(vk_rbutton))
        return;
    if (question_keydown(key))
        return;
    switch (key) {
    case vk_up:
    case vk_down: choose(chosen + (key == vk_down ? 1 : -1)); break;
    case vk_prior:
    case vk_next: choose(chosen + (key == vk_next ? my_puzzles_rows : -my_puzzles_rows)); break;
    case vk_return:
        if (ui_focus_element())
            ui_press_focus(); // may leave the screen
        else
            mp_do_button(mp_edit_id);
        return;
    case 'P': mp_do_button(mp_play_id); return;
    case 0x2E: // Delete
        mp_do_button(mp_delete_id);
        return;
    case vk_escape: mp_do_button(mp_back_id); return;
    default: ui_focus_key(key, focus_order, (int)std::size(focus_order)); break;
    }
    sync_buttons();
}
