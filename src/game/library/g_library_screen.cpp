// g_library_screen.cpp -- the Library screen: the chapters listed, a chapter's pictures as tiles
#include "game/library/g_library_screen.h"

#include "engine/ec_assert.h"
#include "game/g_game.h"
#include "game/g_screen.h"
#include "game/g_strings.h"
#include "game/library/g_library.h"
#include "graphics/d3d_gfx2d.h"
#include "platform/pf_keys.h"
#include "ui/app_modes.h"
#include "ui/ec_ui.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int scale = 2;
constexpr int slice = 8 * scale;
// A framed window of 68 x 40 slices in the middle of the screen, as free play's.
constexpr s32 win_x1 = 640 - 34 * slice, win_x2 = 640 + 34 * slice;
constexpr s32 win_y1 = 360 - 20 * slice, win_y2 = 360 + 20 * slice;

// The chapter list down the left; the page's heading, tiles and the line about the focused
// tile to its right; the buttons at the foot.
constexpr int list_x = 120, list_y = 96, list_width = 304, list_height = 56, list_pitch = 66;
constexpr int page_x = 448, page_right = 1160, heading_y = 84;
constexpr int tiles_y = 116, tiles_height = 448;
constexpr int info_y = 572;
constexpr int bottom_y = 600;
constexpr int page_centre = (page_x + page_right) / 2;

constexpr u32 text_colour = 0xFFFFFFFF;
constexpr u32 dim_colour = 0xFFA8A4B8;
constexpr u32 chosen_colour = 0xFFE8B848;
constexpr u32 slab_colour = 0xFF2C2A3C;
constexpr u32 solved_slab_colour = 0xFF1A1826;
constexpr u32 ink_colour = 0xFFE8E0C8; // a solved picture's filled cells: bone on the night's slab

dword background_layer = invalid_id;
dword screen_window = invalid_id;
bool leave_requested = false;

// The page shown, kept for the session; -1 until the first visit chooses one.
int page = -1;
library_progress progress;
std::vector<int> missing; // by chapter: solves still needed to open it

image_button_data chapter_buttons[library_max_chapters];
image_button_data tile_buttons[library_max_tiles];
int num_chapters = 0, num_tiles = 0;
// The capture shown large over the page, while showing.
bool showing = false;
library_capture shown;
image_button_data showcase_button;

// A button at the foot, centred on x.
constexpr dynamic_button_data bottom_button(dword string_id, dword id, int x, int block_width,
                                            void (*on_click)(dword)) {
    return {.string_id = string_id,
            .id = id,
            .x = x - win_x1,
            .y = bottom_y - win_y1,
            .block_width = block_width,
            .scale = scale,
            .flags = 0,
            .on_click = on_click};
}
dynamic_button_data previous_button = bottom_button(str_ng_previous, lb_previous_id, page_centre - 88, 4, lb_do_step);
dynamic_button_data next_button = bottom_button(str_ng_next, lb_next_id, page_centre + 88, 4, lb_do_step);
dynamic_button_data back_button = bottom_button(str_map_back, lb_back_id, list_x + list_width / 2, 8, lb_do_back);

// The buttons shown, in the keyboard's focus order: chapters, tiles, Prev, Next, Back.
const void *shown_buttons[library_max_chapters + library_max_tiles + 3];
int num_shown_buttons = 0;

const std::vector<library_chapter> &chapters() { return library_chapters(); }

// Tiles stand in rows of five (more for a long chapter, so that four rows hold it).
int tile_columns(int count) { return std::max(5, (count + 3) / 4); }

// The tile or the chapter whose button record is data, or -1.
int tile_of(const void *data) {
    for (int i = 0; i < num_tiles; ++i)
        if (data == &tile_buttons[i])
            return i;
    return -1;
}
int chapter_of(const void *data) {
    for (int i = 0; i < num_chapters; ++i)
        if (data == &chapter_buttons[i])
            return i;
    return -1;
}
const void *focused_button() { return ui_focus_element() ? ui_focus_element()->data : nullptr; }

const library_chapter *page_chapter() {
    return page >= 0 && page < (int)chapters().size() ? &chapters()[(std::size_t)page] : nullptr;
}

bool page_open() { return page_chapter() && missing[(std::size_t)page] == 0; }

std::string time_text(int seconds) {
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

std::string hints_text(int hints) {
    return hints == 0 ? "no hints" : hints == 1 ? "1 hint" : std::to_string(hints) + " hints";
}

std::string size_text(const pz_puzzle &p) { return std::to_string(p.width) + "x" + std::to_string(p.height); }

// Draws text, cut short with "..." where it would pass max_width pixels.
int draw_text(int x, int y, const std::string &text, u32 colour, int text_scale = scale, int max_width = 1280) {
    safestring s;
    safestring_create(&s, text.c_str());
    if (gfx2d_strlen(&s, text_scale) > max_width) {
        std::string cut = text.substr(0, std::min(text.size(), (std::size_t)max_string_size - 4));
        do {
            cut.pop_back();
            safestring_create(&s, (cut + "...").c_str());
        } while (!cut.empty() && gfx2d_strlen(&s, text_scale) > max_width);
    }
    return gfx2d_draw_string(x, y, &s, colour, text_scale);
}

int text_width(const std::string &text, int text_scale = scale) {
    safestring s;
    safestring_create(&s, text.c_str());
    return gfx2d_strlen(&s, text_scale);
}

void draw_centred(int centre_x, int y, const std::string &text, u32 colour, int text_scale = scale) {
    draw_text(centre_x - text_width(text, text_scale) / 2, y, text, colour, text_scale);
}

void fill(int x0, int y0, int x1, int y1, u32 colour) {
    for (int y = y0; y <= y1; ++y)
        gfx2d_draw_hline(x0, x1, y, colour);
}

// A two-pixel ring just inside x0..x1 x y0..y1.
void draw_ring(int x0, int y0, int x1, int y1, u32 colour) {
    for (int i = 0; i < 2; ++i) {
        gfx2d_draw_hline(x0, x1, y0 + i, colour);
        gfx2d_draw_hline(x0, x1, y1 - i, colour);
        gfx2d_draw_vline(x0 + i, y0, y1, colour);
        gfx2d_draw_vline(x1 - i, y0, y1, colour);
    }
}

// The tile's picture on the page, or null.
const library_picture *tile_picture(dword id) {
    const library_chapter *c = page_chapter();
    const long index = (long)id - (long)lb_tile_id;
    if (!c || index < 0 || index >= (long)c->pictures.size())
        return nullptr;
    return &c->pictures[(std::size_t)index];
}

// A solved picture shows as itself; an unsolved one as its size and grade (and whether a
// board of it is unfinished).
void tile_draw(dword id, int x, int y, int, int state) {
    const library_picture *p = tile_picture(id);
    if (!p)
        return;
    const int size = library_tile_at(0, num_tiles).size;
    const library_record *solved = library_record_find(progress, p->puzzle.title);
    fill(x, y, x + size - 1, y + size - 1, solved ? solved_slab_colour : slab_colour);
    if (solved) {
        const int w = p->puzzle.width, h = p->puzzle.height;
        const int cell = std::max(1, (size - 10) / std::max(w, h));
        const int left = x + (size - cell * w) / 2, top = y + (size - cell * h) / 2;
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c)
                if (p->puzzle.goal[(std::size_t)(r * w + c)])
                    gfx2d_draw_pixel(left + c * cell, top + r * cell, ink_colour, cell);
    } else {
        const int centre = x + size / 2;
        draw_centred(centre, y + size / 2 - 22, size_text(p->puzzle), text_colour);
        draw_centred(centre, y + size / 2 + 2, pz_grade_name(p->grade), dim_colour);
        if (library_board_find(progress, p->puzzle.title))
            draw_centred(centre, y + size - 18, "unfinished", chosen_colour, 1);
    }
    if (state == image_button_sprite_over || state == image_button_sprite_down)
        draw_ring(x - 4, y - 4, x + size + 3, y + size + 3, chosen_colour);
}

// A chapter in the list: its number and name, then how far it is solved, or what it lacks.
void chapter_draw(dword id, int x, int y, int, int state) {
    const int index = (int)id - (int)lb_chapter_id;
    if (index < 0 || index >= (int)chapters().size())
        return;
    const library_chapter &c = chapters()[(std::size_t)index];
    if (index == page)
        fill(x, y, x + list_width - 1, y + list_height - 1, slab_colour);
    const bool focused = state == image_button_sprite_over || state == image_button_sprite_down;
    const bool open = missing[(std::size_t)index] == 0 && c.damage.empty();
    const u32 colour = focused ? chosen_colour : open ? text_colour : dim_colour;
    draw_text(x + 10, y + 8, std::to_string(index + 1) + " " + c.name, colour, scale, list_width - 20);
    std::string line;
    if (!c.damage.empty())
        line = "Damaged";
    else if (!open)
        line = "Locked: " + std::to_string(missing[(std::size_t)index]) + " more";
    else
        line = std::to_string(library_solved_in(c, progress)) + " of " + std::to_string(c.pictures.size()) + " solved";
    draw_text(x + 10 + text_width("1 "), y + 30, line, dim_colour, scale, list_width - 40);
}

// Under the tiles: what the focused tile is.
void draw_info() {
    const int index = tile_of(focused_button());
    if (index < 0)
        return;
    const library_picture *p = tile_picture(lb_tile_id + (dword)index);
    if (!p)
        return;
    const library_chapter &c = *page_chapter();
    std::string text;
    if (const library_record *r = library_record_find(progress, p->puzzle.title))
        text = p->puzzle.title + ": best " + time_text(r->seconds) + ", " + hints_text(r->hints);
    else
        text = "Picture " + std::to_string(index + 1) + " of " + std::to_string(c.pictures.size()) + ": " +
               size_text(p->puzzle) + ", " + pz_grade_name(p->grade) +
               (library_board_find(progress, p->puzzle.title) ? ", unfinished" : "");
    draw_text(page_x, info_y, text, text_colour, scale, page_right - page_x);
}

// A locked page says what opens it; a chapter that could not be read says why.
void draw_closed_page(const library_chapter &c) {
    const int centre = page_centre, y = tiles_y + 120;
    if (!c.damage.empty()) {
        draw_centred(centre, y, "This chapter could not be read.", text_colour);
        const int reason_scale = text_width(c.damage) <= page_right - page_x ? scale : 1;
        const int reason_x = std::max(page_x, page_centre - text_width(c.damage, reason_scale) / 2);
        draw_text(reason_x, y + 40, c.damage, dim_colour, reason_scale, page_right - page_x);
        return;
    }
    const int more = missing[(std::size_t)page];
    const std::string pictures = more == 1 ? "1 more picture" : std::to_string(more) + " more pictures";
    const library_chapter *before = page > 0 ? &chapters()[(std::size_t)page - 1] : nullptr;
    draw_centred(centre, y, "This chapter is locked.", text_colour);
    if (before && missing[(std::size_t)page - 1] == 0 && before->damage.empty()) {
        draw_centred(centre, y + 40, "Solve " + pictures + " of", dim_colour);
        draw_centred(centre, y + 64, before->name + " to open it.", dim_colour);
    } else {
        draw_centred(centre, y + 40, "Solve " + pictures + " in the", dim_colour);
        draw_centred(centre, y + 64, "chapters before it to open it.", dim_colour);
    }
    const auto cells = [](const library_picture &a) { return a.puzzle.width * a.puzzle.height; };
    const auto [smallest, largest] = std::minmax_element(
        c.pictures.begin(), c.pictures.end(), [&](const auto &a, const auto &b) { return cells(a) < cells(b); });
    draw_centred(centre, y + 120,
                 std::to_string(c.pictures.size()) + " pictures, " + size_text(smallest->puzzle) + " to " +
                     size_text(largest->puzzle),
                 dim_colour);
}

// The captured picture large, its name under it, its time, and the chapter it opened.
void showcase_draw(dword, int, int y, int, int) {
    const library_chapter *c = page_chapter();
    if (!c || shown.index < 0 || shown.index >= (int)c->pictures.size())
        return;
    const pz_puzzle &p = c->pictures[(std::size_t)shown.index].puzzle;
    const int cell = std::min(36, 352 / std::max(p.width, p.height));
    const int left = page_centre - cell * p.width / 2, top = y + 16 + (352 - cell * p.height) / 2;
    fill(left - 12, top - 12, left + cell * p.width + 11, top + cell * p.height + 11, solved_slab_colour);
    for (int r = 0; r < p.height; ++r)
        for (int col = 0; col < p.width; ++col)
            if (p.goal[(std::size_t)(r * p.width + col)])
                gfx2d_draw_pixel(left + col * cell, top + r * cell, ink_colour, cell);
    draw_centred(page_centre, y + 392, p.title, chosen_colour, 3);
    std::string line = "Solved in " + time_text(shown.seconds) + (shown.hints ? ", " + hints_text(shown.hints) : "");
    if (shown.best && !shown.first)
        line += ": a new best";
    draw_centred(page_centre, y + 428, line + ".", text_colour);
    // The capture that makes the chapter's share opens the next one.
    const std::size_t next = (std::size_t)page + 1;
    if (shown.first && next < chapters().size() && missing[next] == 0 &&
        library_solved_in(*c, progress) == library_open_need(*c) && chapters()[next].damage.empty())
        draw_centred(page_centre, y + 456, chapters()[next].name + " is open now.", dim_colour);
}

void screen_draw(int, int) {
    const library_chapter *c = page_chapter();
    if (!c) {
        draw_centred(page_centre, tiles_y + 120, "The picture library is missing", text_colour);
        draw_centred(page_centre, tiles_y + 144, "from the game's data.", text_colour);
        return;
    }
    const std::string count = c->damage.empty() ? std::to_string(library_solved_in(*c, progress)) + " of " +
                                                      std::to_string(c->pictures.size()) + " solved"
                                                : "";
    const int count_width = text_width(count);
    draw_text(page_x, heading_y, "Chapter " + std::to_string(page + 1) + ": " + c->name, text_colour, scale,
              page_right - page_x - count_width - 16);
    draw_text(page_right - count_width, heading_y, count, dim_colour);
    if (showing)
        return; // the showcase draws itself
    if (page_open() && c->damage.empty())
        draw_info();
    else
        draw_closed_page(*c);
}

// The window's close button: back to the title on the next frame.
void screen_window_removed() {
    screen_window = invalid_id;
    leave_requested = true;
}

void add_button(const void *button) {
    if (num_shown_buttons < (int)std::size(shown_buttons))
        shown_buttons[num_shown_buttons++] = button;
}

// The window and its buttons for the page shown, the focus on focus (may be null).
void build(const void *focus) {
    screen_window = invalid_id; // before the removal, so it is no request to leave
    ui_window_add_fullscreen(nullptr);
    const window_data frame = {
        .flags = window_flag_framed | window_flag_filled,
        .caption_id = str_mm_library,
        .x1 = win_x1,
        .y1 = win_y1,
        .x2 = win_x2,
        .y2 = win_y2,
        .scale = scale,
        .draw = screen_draw,
        .on_remove = screen_window_removed,
    };
    screen_window = ui_window_add(&frame);
    num_shown_buttons = num_chapters = num_tiles = 0;
    if (screen_window == invalid_id)
        return;
    num_chapters = std::min((int)chapters().size(), library_max_chapters);
    for (int i = 0; i < num_chapters; ++i) {
        chapter_buttons[i] = {.id = lb_chapter_id + (dword)i,
                              .x = list_x - win_x1,
                              .y = list_y + list_pitch * i - win_y1,
                              .width = list_width,
                              .height = list_height,
                              .flags = 0,
                              .draw = chapter_draw,
                              .on_click = lb_do_chapter};
        image_button_add(screen_window, &chapter_buttons[i]);
        add_button(&chapter_buttons[i]);
    }
    if (showing) {
        showcase_button = {.id = lb_showcase_id,
                           .x = page_x - win_x1,
                           .y = tiles_y - win_y1,
                           .width = page_right - page_x,
                           .height = bottom_y - 8 - tiles_y,
                           .flags = 0,
                           .draw = showcase_draw,
                           .on_click = lb_do_showcase};
        image_button_add(screen_window, &showcase_button);
        add_button(&showcase_button);
    } else if (page_open())
        num_tiles = std::min((int)page_chapter()->pictures.size(), library_max_tiles);
    for (int i = 0; i < num_tiles; ++i) {
        const library_tile_place t = library_tile_at(i, num_tiles);
        tile_buttons[i] = {.id = lb_tile_id + (dword)i,
                           .x = t.x - win_x1,
                           .y = t.y - win_y1,
                           .width = t.size,
                           .height = t.size,
                           .flags = 0,
                           .draw = tile_draw,
                           .on_click = lb_do_tile};
        image_button_add(screen_window, &tile_buttons[i]);
        add_button(&tile_buttons[i]);
    }
    for (dynamic_button_data *b : {&previous_button, &next_button, &back_button}) {
        b->flags = 0; // no press left over from an earlier visit
        dynamic_button_add(screen_window, b);
        add_button(b);
    }
    if (page <= 0)
        previous_button.flags |= button_flag_disabled;
    if (page + 1 >= num_chapters)
        next_button.flags |= button_flag_disabled;
    ui_mousemove();
    if (focus)
        ui_focus_button(focus);
}

// The tile to focus on a page: the picture last played there, else the first unsolved one.
const void *page_focus() {
    if (showing)
        return &showcase_button;
    if (num_tiles == 0)
        return page >= 0 && page < num_chapters ? &chapter_buttons[page] : nullptr;
    if (page == library_current_chapter() && library_current_index() < num_tiles)
        return &tile_buttons[library_current_index()];
    for (int i = 0; i < num_tiles; ++i)
        if (!library_record_find(progress, page_chapter()->pictures[(std::size_t)i].puzzle.title))
            return &tile_buttons[i];
    return &tile_buttons[0];
}

// Turns to chapter to; the focus goes to the same kind of button on the new page.
void turn_to(int to) {
    if (to < 0 || to >= num_chapters || to == page)
        return;
    const void *was = focused_button();
    const bool on_tile = tile_of(was) >= 0, on_chapter = chapter_of(was) >= 0;
    page = to;
    showing = false;
    build(nullptr);
    if (on_tile || !was)
        ui_focus_button(page_focus());
    else if (on_chapter)
        ui_focus_button(&chapter_buttons[page]);
    else if (!ui_focus_button(was))
        ui_focus_button(was == &previous_button ? &next_button : &previous_button);
}

// With nothing focused an arrow focuses the page's picture; up and down among the tiles go by
// a row; left of the first column and right from a chapter go between the list and the tiles.
// False when the key is left to the usual order.
bool tile_key(unsigned virtual_key) {
    const void *was = focused_button();
    const int tile = tile_of(was);
    const bool arrow =
        virtual_key == vk_left || virtual_key == vk_right || virtual_key == vk_up || virtual_key == vk_down;
    if (!was && arrow && page_focus())
        return ui_focus_button(page_focus()); // the first arrow goes to the page's picture
    if (chapter_of(was) >= 0 && virtual_key == vk_right && num_tiles > 0)
        return ui_focus_button(page_focus());
    if (tile < 0)
        return false;
    const int columns = tile_columns(num_tiles);
    if (virtual_key == vk_left && tile % columns == 0)
        return ui_focus_button(&chapter_buttons[page]);
    if (virtual_key != vk_up && virtual_key != vk_down)
        return false;
    const int to = tile + (virtual_key == vk_down ? columns : -columns);
    if (to >= 0 && to < num_tiles)
        return ui_focus_button(&tile_buttons[to]);
    if (virtual_key == vk_up)
        return ui_focus_button(&chapter_buttons[page]);
    for (const void *b : {(const void *)&previous_button, (const void *)&next_button, (const void *)&back_button})
        if (ui_focus_button(b))
            return true;
    return true;
}

} // namespace

library_tile_place library_tile_at(int index, int count) {
    constexpr int width = page_right - page_x, gap = 10;
    const int columns = tile_columns(count), rows = std::max(1, (count + columns - 1) / columns);
    const int pitch_x = width / columns, pitch_y = std::min(tiles_height / std::max(rows, 4), pitch_x);
    const int size = std::min(pitch_x, pitch_y) - gap;
    return {page_x + pitch_x * (index % columns) + (pitch_x - size) / 2,
            tiles_y + pitch_y * (index / columns) + (pitch_y - size) / 2, size};
}

void appmode_library_init() {
    leave_requested = false;
    library_chapters_read();
    progress = library_progress_read();
    missing = library_solves_to_open(chapters(), progress);
    showing = library_take_capture(&shown) && shown.chapter < (int)chapters().size();
    if (showing)
        page = shown.chapter;
    if (page < 0 || page >= (int)chapters().size()) {
        // The first visit opens at the last chapter that is open.
        page = 0;
        for (int i = 0; i < (int)chapters().size() && i < library_max_chapters; ++i)
            if (missing[(std::size_t)i] == 0 && chapters()[(std::size_t)i].damage.empty())
                page = i;
    }
    page = std::min(page, library_max_chapters - 1);
    build(nullptr);
    ui_focus_button(page_focus());
    background_layer = title_picture_add();
    main_menu_start_song();
}

void appmode_library_free() {
    title_picture_remove(&background_layer);
    screen_window = invalid_id; // before the removal, so it is no request to leave
    ui_window_remove_all();
    num_shown_buttons = num_chapters = num_tiles = 0;
    progress = {};
}

void appmode_library_update() {
    if (leave_requested) {
        leave_requested = false;
        set_app_mode(appmode_main_menu);
        return;
    }
    appmode_main_menu_update();
}

void appmode_library_keydown(unsigned virtual_key) {
    if (platform_key_held(vk_lbutton) || platform_key_held(vk_rbutton))
        return; // the mouse is in the middle of a click
    if (virtual_key == vk_escape)
        lb_do_back(lb_back_id);
    else if (showing && virtual_key != vk_shift && virtual_key != vk_control)
        lb_do_showcase(lb_showcase_id); // any other key puts the page back
    else if (virtual_key == vk_prior || virtual_key == vk_next)
        turn_to(page + (virtual_key == vk_next ? 1 : -1));
    else if (!tile_key(virtual_key))
        ui_focus_key(virtual_key, shown_buttons, num_shown_buttons);
}

void lb_do_chapter(dword id) {
    if (ec_assert(id >= lb_chapter_id && id < lb_chapter_id + (dword)num_chapters))
        turn_to((int)(id - lb_chapter_id));
}

void lb_do_tile(dword id) {
    if (!ec_assert(id >= lb_tile_id && id < lb_tile_id + (dword)num_tiles))
        return;
    library_play(page, (int)(id - lb_tile_id)); // enters the board
}

void lb_do_step(dword id) {
    if (ec_assert(id == lb_previous_id || id == lb_next_id))
        turn_to(page + (id == lb_next_id ? 1 : -1));
}

void lb_do_back(dword id) {
    if (!ec_assert(id == lb_back_id))
        return;
    set_app_mode(appmode_main_menu);
}

void lb_do_showcase(dword id) {
    if (!ec_assert(id == lb_showcase_id) || !showing)
        return;
    showing = false;
    build(nullptr);
    ui_focus_button(page_focus());
}

int library_screen_showcase() { return showing ? shown.index : -1; }
int library_screen_page() { return page; }
int library_screen_tiles() { return num_tiles; }
int library_screen_missing() { return page >= 0 && page < (int)missing.size() ? missing[(std::size_t)page] : 0; }
dword library_window_get() { return screen_window; }
