// ec_ui.cpp -- UI toolkit: windows, text and image buttons, mouse focus and clicks
#include "ui/ec_ui.h"

#include "engine/ec_assert.h"
#include "engine/ec_data_set.h"
#include "engine/ec_memory.h"
#include "engine/ec_settings.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzg.h"
#include "platform/pf_keys.h"
#include "platform/pf_system.h"
#include "sound/direct_sound.h"
#include "ui/ec_cursor.h"

#include <array>
#include <climits>

namespace {

// Frames of the window sheet: eight frame pieces, then the close button's states.
enum : int {
    frame_top_left = 0,
    frame_top = 1,
    frame_top_right = 2,
    frame_left = 3,
    frame_right = 4,
    frame_bottom_left = 5,
    frame_bottom = 6,
    frame_bottom_right = 7,
    frame_close_button = 8,
    num_window_frames = 11,
};
// Frames of the text-button sheet: four states of nine pieces each.
constexpr int num_dynamic_button_frames = 36;

constexpr u32 colour_black = 0xFF000000u;
constexpr u32 colour_white = 0xFFFFFFFFu;
constexpr u32 colour_yellow = 0xFFFFFF00u;

constexpr std::array<bool, max_ui_windows> all_ids_free() {
    std::array<bool, max_ui_windows> ids{};
    for (bool &id : ids)
        id = true;
    return ids;
}

ui_window *ui_window_list = nullptr;
std::array<bool, max_ui_windows> win_id_avail = all_ids_free();

kzg_sprite_data window_sprite{};
kzg_sprite_data dynamic_button_sprite{};
dword click_down_sound = invalid_id;

ui_window *mouse_window_focus = nullptr;
ui_element *mouse_element_focus = nullptr;

void win_close_btn_draw(dword id, int x, int y, int scale, int state);
void win_do_close_btn(dword id);

// One record serves the close button of every framed window; its rectangle is
// set before each add.
image_button_data win_close_btn = {
    .id = win_close_btn_id,
    .x = 0,
    .y = 0,
    .width = 0,
    .height = 0,
    .flags = 0,
    .draw = win_close_btn_draw,
    .on_click = win_do_close_btn,
};

// Whether a rectangle computed in 64 bits can be stored in an element.
bool rect_fits(long long x1, long long y1, long long x2, long long y2) {
    for (long long v : {x1, y1, x2, y2}) {
        if (v < INT_MIN || v > INT_MAX)
            return false;
    }
    return true;
}

bool point_in(const ui_element *e, int x, int y) { return x >= e->x1 && x <= e->x2 && y >= e->y1 && y <= e->y2; }

bool point_in(const ui_window *w, int x, int y) { return x >= w->x1 && x <= w->x2 && y >= w->y1 && y <= w->y2; }

bool cursor_in(const ui_element *e) {
    int x = 0, y = 0;
    cursor_get_position(&x, &y);
    return point_in(e, x, y);
}

// A sheet that failed to load (or lacks frames) is freed at load time; its
// pieces are then skipped rather than raising an assertion every frame.
void draw_piece(kzg_sprite_data *sheet, int x, int y, int frame, int scale) {
    if (sheet->data)
        gfx2d_draw_sprite(sheet, x, y, frame, scale);
}

void load_sheet(const char *name, kzg_sprite_data *sheet, int frames_needed) {
    if (sheet->data)
        d3d_kzg_free_data(sheet);
    d3d_kzg_load_data(name, sheet);
    if (!sheet->data)
        return;
    if (!ec_assert_info(sheet->num_sprites >= frames_needed, name))
        d3d_kzg_free_data(sheet);
}

// Frees every element of a list; the callers' button records are theirs.
void free_elements(ui_element *e) {
    while (e) {
        ui_element *next = e->next;
        zel_free(e);
        e = next;
    }
}

// The visual state of a button, from its flags, the focus and the cursor.
int button_state(const ui_element *element, dword flags) {
    int state = image_button_sprite_normal;
    if (flags & button_flag_disabled)
        state = image_button_sprite_disabled;
    else if (element == mouse_element_focus)
        state = image_button_sprite_over;
    if ((flags & button_flag_down) && cursor_in(element))
        state = image_button_sprite_down;
    return state;
}

// A button element's flags, click handler and id, whichever record it shows.
dword button_record_fields(const ui_element *e, dword *flags, void (**on_click)(dword)) {
    if (e->ui_type == ui_type_dynamic_button) {
        const dynamic_button_data *button = (const dynamic_button_data *)e->data;
        *flags = button->flags;
        *on_click = button->on_click;
        return button->id;
    }
    const image_button_data *button = (const image_button_data *)e->data;
    *flags = button->flags;
    *on_click = button->on_click;
    return button->id;
}

ui_window *find_window(dword id, ui_window **previous) {
    ui_window *prev = nullptr;
    for (ui_window *w = ui_window_list; w; prev = w, w = w->next) {
        if (w->window_id == id) {
            if (previous)
                *previous = prev;
            return w;
        }
    }
    return nullptr;
}

ui_element *new_element(ui_window *win, dword ui_type, void *data, long long x1, long long y1, long long x2,
                        long long y2) {
    ui_element *new_button = (ui_element *)ZEL_MALLOC(sizeof(ui_element), "ui_element");
    if (!ec_assert(new_button))
        return nullptr;
    new_button->ui_type = ui_type;
    new_button->data = data;
    new_button->win_id = win->window_id;
    new_button->active = true;
    new_button->x1 = (s32)x1;
    new_button->y1 = (s32)y1;
    new_button->x2 = (s32)x2;
    new_button->y2 = (s32)y2;
    new_button->next = win->elements;
    win->elements = new_button;
    return new_button;
}

void dynamic_button_draw(const ui_element *element) {
    if (!ec_assert(element))
        return;
    ui_window *win = ui_get_window_from_id(element->win_id);
    if (!ec_assert(win))
        return;
    const dynamic_button_data *button = (const dynamic_button_data *)element->data;
    if (!ec_assert(button))
        return;

    const int state = button_state(element, button->flags);
    const int scale = button->scale;
    const int ss = 8 * scale;
    const int b = 9 * state;
    for (int row = 0; row < 3; row++) {
        const int y = element->y1 + row * ss;
        const int first = b + 3 * row;
        draw_piece(&dynamic_button_sprite, element->x1, y, first, scale);
        int x = element->x1 + ss;
        while (x < element->x2 - ss) {
            draw_piece(&dynamic_button_sprite, x, y, first + 1, scale);
            x += ss;
        }
        draw_piece(&dynamic_button_sprite, x, y, first + 2, scale);
    }

    u32 colour = colour_white;
    if (button->flags & button_flag_disabled)
        colour = colour_black;
    else if (element == mouse_element_focus)
        colour = colour_yellow;

    const safestring *s = safestring_get_from_id(button->string_id);
    if (!s)
        return;
    const int t = gfx2d_strlen(s, 1);
    int x = element->x1 + (((element->x2 - element->x1) - t * scale) >> 1);
    int y = element->y1 + 8 * scale;
    if (state == image_button_sprite_down) {
        x -= 2 * scale;
        y += 2 * scale;
    }
    gfx2d_draw_string(x, y, s, colour, scale);
}

void image_button_draw(const ui_element *element) {
    if (!ec_assert(element))
        return;
    ui_window *win = ui_get_window_from_id(element->win_id);
    if (!ec_assert(win))
        return;
    const image_button_data *button = (const image_button_data *)element->data;
    if (!ec_assert(button))
        return;
    if (button->draw)
        button->draw(button->id, element->x1, element->y1, win->scale, button_state(element, button->flags));
}

// Both button types take a click the same way; only text buttons sound on the press.
// The handler reads on_click before calling it and touches nothing afterwards:
// the callback may remove the window or switch the screen.
bool button_lbutton(ui_element *element, dword &flags, dword id, void (*on_click)(dword), bool down, bool click_sound) {
    if (flags & button_flag_disabled)
        return false;
    if (!cursor_in(element) || !on_click)
        return false;
    if (down) {
        if (click_sound && click_down_sound != invalid_id && settings_get().sounds)
            sound_play(click_down_sound, false);
        flags |= button_flag_down;
        return true;
    }
    on_click(id);
    return true;
}

bool dynamic_button_lbutton(ui_element *element, bool down) {
    if (!ec_assert(element))
        return false;
    dynamic_button_data *button = (dynamic_button_data *)element->data;
    if (!ec_assert(button))
        return false;
    return button_lbutton(element, button->flags, button->id, button->on_click, down, true);
}

bool image_button_lbutton(ui_element *element, bool down) {
    if (!ec_assert(element))
        return false;
    image_button_data *button = (image_button_data *)element->data;
    if (!ec_assert(button))
        return false;
    return button_lbutton(element, button->flags, button->id, button->on_click, down, false);
}

void win_close_btn_draw(dword id, int x, int y, int scale, int state) {
    if (!ec_assert(id == win_close_btn_id))
        return;
    const int offset_state = state;
    if (!ec_assert(offset_state >= image_button_sprite_normal))
        return;
    if (!ec_assert(offset_state <= image_button_sprite_down))
        return;
    draw_piece(&window_sprite, x, y, frame_close_button + offset_state, scale);
}

void win_do_close_btn(dword id) {
    if (!ec_assert(id == win_close_btn_id))
        return;
    if (!ec_assert(mouse_element_focus))
        return;
    if (!ec_assert(mouse_element_focus->ui_type == ui_type_image_button))
        return;
    const image_button_data *button = (const image_button_data *)mouse_element_focus->data;
    if (!ec_assert(button))
        return;
    if (!ec_assert(button->id == id))
        return;
    ui_window_remove(mouse_element_focus->win_id);
}

void draw_window_contents(const ui_element *elist) {
    for (; elist; elist = elist->next) {
        if (!elist->active)
            continue;
        if (!ec_assert((dword)elist->ui_type < num_ui_element_types))
            return;
        if (elist->ui_type == ui_type_dynamic_button)
            dynamic_button_draw(elist);
        else
            image_button_draw(elist);
    }
}

void draw_window_caption(ui_window *win) {
    if (!ec_assert(win))
        return;
    const int scale = win->scale;
    const int ss = 8 * scale;
    if (ss <= 0)
        return;
    const int cols = (int)(((long long)win->x2 - win->x1) / ss);
    const int rows = (int)(((long long)win->y2 - win->y1) / ss);
    auto piece = [&](int col, int row, int frame) {
        draw_piece(&window_sprite, win->x1 + col * ss, win->y1 + row * ss, frame, scale);
    };

    // Caption bar: the last two columns belong to the close button.
    piece(0, 0, frame_top_left);
    piece(0, 1, frame_bottom_left);
    for (int c = 1; c <= cols - 4; c++) {
        piece(c, 0, frame_top);
        piece(c, 1, frame_bottom);
    }
    piece(cols - 3, 0, frame_top_right);
    piece(cols - 3, 1, frame_bottom_right);

    // Caption, centred over columns 1 to cols - 3.
    const int t = gfx2d_strlen(&win->caption, scale);
    const long long span = (long long)win->x2 - win->x1 - 4LL * ss;
    const long long text_x = (long long)win->x1 + ss + (span - t) / 2;
    if (text_x >= INT_MIN && text_x <= INT_MAX)
        gfx2d_draw_string((int)text_x, win->y1 + 4 * scale, &win->caption, colour_white, scale);

    // Body: top and bottom rows, sides, black interior.
    piece(0, 2, frame_top_left);
    piece(0, rows - 1, frame_bottom_left);
    for (int c = 1; c <= cols - 2; c++) {
        piece(c, 2, frame_top);
        piece(c, rows - 1, frame_bottom);
    }
    piece(cols - 1, 2, frame_top_right);
    piece(cols - 1, rows - 1, frame_bottom_right);
    for (int r = 3; r <= rows - 2; r++) {
        piece(0, r, frame_left);
        piece(cols - 1, r, frame_right);
    }
    gfx2d_fill_rect(win->x1 + ss, win->y1 + 3 * ss, win->x2 - ss - 1, win->y2 - ss - 1);
}

// Paints the older windows first, so the newest ends up on top.
void draw_window(ui_window *win) {
    if (!ec_assert(win))
        return;
    if (win->next)
        draw_window(win->next);
    if (win->flags & window_flag_framed)
        draw_window_caption(win);
    else if (win->flags & window_flag_filled)
        gfx2d_fill_rect(win->x1, win->y1, win->x2, win->y2);
    if (win->draw) {
        if (win->flags & window_flag_framed)
            win->draw(win->x1 + 8 * win->scale, win->y1 + 24 * win->scale);
        else
            win->draw(win->x1, win->y1);
    }
    draw_window_contents(win->elements);
}

} // namespace

void ui_load_gfx() {
    load_sheet(asset_dynamic_button, &dynamic_button_sprite, num_dynamic_button_frames);
    load_sheet(asset_ui_window, &window_sprite, num_window_frames);
    if (!ec_assert(click_down_sound == invalid_id))
        return;
    click_down_sound = sound_create(asset_click_sound);
    ec_assert(click_down_sound != invalid_id);
}

void ui_free_gfx() {
    if (dynamic_button_sprite.data)
        d3d_kzg_free_data(&dynamic_button_sprite);
    if (window_sprite.data)
        d3d_kzg_free_data(&window_sprite);
    if (click_down_sound != invalid_id) {
        sound_free(click_down_sound);
        click_down_sound = invalid_id;
    }
}

dword ui_window_add(const window_data *win) {
    if (!ec_assert(win))
        return invalid_id;
    if (win->flags & window_flag_framed) {
        // A framed window is a whole number of slices, at least 4 x 4 of them.
        if (!ec_assert(win->scale >= 1))
            return invalid_id;
        const long long width = (long long)win->x2 - win->x1;
        const long long height = (long long)win->y2 - win->y1;
        const long long ss = 8LL * win->scale;
        if (!ec_assert(width >= ss * 4))
            return invalid_id;
        if (!ec_assert_text(width % ss == 0, "( width % ss ) == 0"))
            return invalid_id;
        if (!ec_assert(height >= ss * 4))
            return invalid_id;
        if (!ec_assert_text(height % ss == 0, "( height % ss ) == 0"))
            return invalid_id;
    }

    ui_window *w = (ui_window *)ZEL_MALLOC(sizeof(ui_window), "ui_window");
    if (!w)
        return invalid_id;
    w->window_id = invalid_id;
    for (int i = 0; i < max_ui_windows; i++) {
        if (win_id_avail[i]) {
            win_id_avail[i] = false;
            w->window_id = ui_window_id_start + (dword)i;
            break;
        }
    }
    if (!ec_assert(w->window_id != invalid_id)) {
        zel_free(w);
        return invalid_id;
    }

    w->flags = win->flags;
    safestring_create(&w->caption, nullptr);
    safestring_create_from_id(&w->caption, win->caption_id);
    w->x1 = win->x1;
    w->y1 = win->y1;
    w->x2 = win->x2;
    w->y2 = win->y2;
    w->scale = win->scale;
    w->draw = win->draw;
    w->on_remove = win->on_remove;
    w->elements = nullptr;
    w->next = ui_window_list;
    ui_window_list = w;

    if (w->flags & window_flag_framed) {
        // The close button fills the last two caption columns; one pixel short
        // of the window's right edge so that it lies inside the window.
        const s32 size = 16 * w->scale;
        win_close_btn.x = (w->x2 - size) - w->x1;
        win_close_btn.y = 0;
        win_close_btn.width = size - 1;
        win_close_btn.height = size - 1;
        image_button_add(w->window_id, &win_close_btn);
    }

    ui_mousemove();
    return w->window_id;
}

dword ui_window_add_fullscreen(void (*draw)(int x, int y)) {
    ui_window_remove_all();
    const window_data data = {
        .flags = 0,
        .caption_id = invalid_id,
        .x1 = 0,
        .y1 = 0,
        .x2 = screen_width,
        .y2 = screen_height,
        .scale = 1,
        .draw = draw,
        .on_remove = nullptr,
    };
    return ui_window_add(&data);
}

ui_window *ui_get_window_from_id(dword id) {
    if (!ec_assert(id >= ui_window_id_start && id < ui_window_id_end))
        return nullptr;
    ui_window *w = find_window(id, nullptr);
    const bool found = w != nullptr;
    if (!ec_assert(found))
        return nullptr;
    return w;
}

void set_window_id_available(dword id) {
    if (!ec_assert(id >= ui_window_id_start))
        return;
    if (!ec_assert(id < ui_window_id_end))
        return;
    const dword index = id - ui_window_id_start;
    if (!ec_assert(!win_id_avail[index]))
        return;
    win_id_avail[index] = true;
}

void ui_window_remove(dword id) {
    ui_window *w = find_window(id, nullptr);
    const bool found = w != nullptr;
    if (!ec_assert(found))
        return;
    if (w->on_remove)
        w->on_remove();
    // Look again: the callback may itself have changed the stack.
    ui_window *previous = nullptr;
    w = find_window(id, &previous);
    if (!w)
        return;
    if (previous)
        previous->next = w->next;
    else
        ui_window_list = w->next;
    free_elements(w->elements);
    set_window_id_available(w->window_id);
    zel_free(w);
    // The focus may have pointed into the removed window.
    ui_mousemove();
}

void ui_window_remove_all() {
    ui_window *w = ui_window_list;
    while (w) {
        ui_window *next = w->next;
        free_elements(w->elements);
        zel_free(w);
        w = next;
    }
    ui_window_list = nullptr;
    win_id_avail = all_ids_free();
    mouse_window_focus = nullptr;
    mouse_element_focus = nullptr;
}

namespace {

// The switch note: its text and when it was shown.
constexpr std::uint32_t note_ms = 1000;
constexpr int note_scale = 2, note_margin = 12, note_padding = 6;
safestring note_text = {};
std::uint32_t note_shown_at = 0;

} // namespace

void ui_draw() {
    if (!ec_assert(ui_window_list))
        return;
    draw_window(ui_window_list);
    ui_note_draw();
}

void ui_note_show(const char *text) {
    safestring_create(&note_text, text ? text : "");
    note_shown_at = platform_get_tick_count();
}

namespace {
bool text_entry = false;
}

void ui_text_entry_set(bool on) { text_entry = on; }
bool ui_text_entry_on() { return text_entry; }

void ui_note_switch(const char *name, bool on) {
    safestring_create(&note_text, name ? name : "");
    safestring_concat_str(&note_text, on ? " on" : " off");
    note_shown_at = platform_get_tick_count();
}

const char *ui_note_text() {
    if (platform_get_tick_count() - note_shown_at >= note_ms)
        note_text.length = 0, note_text.text[0] = 0;
    return note_text.text;
}

void ui_note_draw() {
    if (!ui_note_text()[0])
        return;
    // A small black box at the bottom-left corner, the text in white.
    const int w = gfx2d_strlen(&note_text, note_scale), h = 8 * note_scale;
    const int x = note_margin, y = screen_height - note_margin - h - 2 * note_padding;
    gfx2d_fill_rect(x, y, x + w + 2 * note_padding - 1, y + h + 2 * note_padding - 1);
    gfx2d_draw_string(x + note_padding, y + note_padding, &note_text, 0xFFFFFFFFu, note_scale);
}

void dynamic_button_add(dword win_id, dynamic_button_data *button) {
    // Every check runs before the element is made: a refused button is not added.
    if (!ec_assert(button))
        return;
    if (!ec_assert(win_id >= ui_window_id_start && win_id < ui_window_id_end))
        return;
    ui_window *win = ui_get_window_from_id(win_id);
    if (!ec_assert(win))
        return;
    if (!ec_assert(button->scale >= 1))
        return;
    const safestring *s = safestring_get_from_id(button->string_id);
    if (!s)
        return;
    if (!ec_assert_text(safestring_length(s) <= button->block_width,
                        "(int)safestring_length( s ) <= button->block_width"))
        return;

    const long long width = ((long long)button->block_width + 4) * button->scale * 8;
    const long long y1 = (long long)win->y1 + button->y;
    const long long y2 = y1 + 24LL * button->scale;
    long long x1 = (long long)win->x1 + button->x - width / 2;
    if (x1 < 0)
        x1 = 0;
    long long x2 = x1 + width;
    if (x2 >= win->x2) {
        x2 = (long long)win->x2 - 1;
        x1 = x2 - width;
    }
    if (!ec_assert(rect_fits(x1, y1, x2, y2)))
        return;
    new_element(win, ui_type_dynamic_button, button, x1, y1, x2, y2);
}

void image_button_add(dword win_id, image_button_data *button) {
    if (!ec_assert(button))
        return;
    ui_window *win = ui_get_window_from_id(win_id);
    if (!ec_assert(win))
        return;
    // The rectangle is computed and checked in 64 bits before the element is
    // made; the checks keep it within the window.
    struct {
        long long x1, y1, x2, y2;
    } rect;
    rect.x1 = (long long)win->x1 + button->x;
    if (!ec_assert_text(rect.x1 >= 0, "new_button->x1 >= 0"))
        return;
    rect.x2 = rect.x1 + button->width;
    if (!ec_assert_text(rect.x2 < win->x2, "new_button->x2 < win->x2"))
        return;
    rect.y1 = (long long)win->y1 + button->y;
    if (!ec_assert_text(rect.y1 >= 0, "new_button->y1 >= 0"))
        return;
    rect.y2 = rect.y1 + button->height;
    if (!ec_assert_text(rect.y2 < win->y2, "new_button->y2 < win->y2"))
        return;
    new_element(win, ui_type_image_button, button, rect.x1, rect.y1, rect.x2, rect.y2);
}

void image_button_disable(image_button_data *button) {
    if (!ec_assert(button))
        return;
    button->flags |= button_flag_disabled;
}

void ui_button_set_shown(const void *button, bool shown) {
    bool lost_focus = false;
    for (ui_window *w = ui_window_list; w; w = w->next)
        for (ui_element *e = w->elements; e; e = e->next)
            if (e->data == button) {
                e->active = shown;
                lost_focus = lost_focus || (!shown && e == mouse_element_focus);
            }
    if (lost_focus)
        mouse_element_focus = nullptr;
}

bool ui_mousemove() {
    mouse_element_focus = nullptr;
    const ui_window *old_focus = mouse_window_focus;
    mouse_window_focus = nullptr;
    if (!ui_window_list)
        return false;

    int mx = 0, my = 0;
    cursor_get_position(&mx, &my);
    for (ui_window *w = ui_window_list; w; w = w->next) {
        if (point_in(w, mx, my)) {
            mouse_window_focus = w;
            break;
        }
    }
    const bool same = mouse_window_focus == old_focus;
    if (mouse_window_focus) {
        for (ui_element *e = mouse_window_focus->elements; e; e = e->next) {
            if (e->active && point_in(e, mx, my)) {
                mouse_element_focus = e;
                break;
            }
        }
    }
    return same;
}

bool ui_lbutton(bool down) {
    // A release ends every press first, wherever it began.
    if (!down)
        button_all_up();
    if (!ui_window_list)
        return false;
    if (!mouse_element_focus) {
        if (!mouse_window_focus)
            return true;
        return mouse_window_focus->next != nullptr;
    }
    if (!ec_assert(mouse_element_focus->active))
        return false;
    switch (mouse_element_focus->ui_type) {
    case ui_type_dynamic_button: return dynamic_button_lbutton(mouse_element_focus, down);
    case ui_type_image_button: return image_button_lbutton(mouse_element_focus, down);
    default: ec_assert((dword)mouse_element_focus->ui_type < num_ui_element_types); return false;
    }
}

void button_all_up() {
    for (ui_window *w = ui_window_list; w; w = w->next) {
        for (ui_element *e = w->elements; e; e = e->next) {
            const void *button = e->data;
            if (!ec_assert(button))
                return;
            if (e->ui_type == ui_type_dynamic_button)
                ((dynamic_button_data *)e->data)->flags &= ~button_flag_down;
            else if (e->ui_type == ui_type_image_button)
                ((image_button_data *)e->data)->flags &= ~button_flag_down;
        }
    }
}

bool ui_focus_button(const void *button) {
    for (ui_window *w = ui_window_list; w; w = w->next) {
        for (ui_element *e = w->elements; e; e = e->next) {
            if (e->data != button || !e->active)
                continue;
            dword flags = 0;
            void (*on_click)(dword) = nullptr;
            button_record_fields(e, &flags, &on_click);
            if ((flags & button_flag_disabled) || !on_click)
                return false;
            mouse_window_focus = w;
            mouse_element_focus = e;
            return true;
        }
    }
    return false;
}

bool ui_press_focus() {
    ui_element *e = mouse_element_focus;
    if (!e || !e->active)
        return false;
    dword flags = 0;
    void (*on_click)(dword) = nullptr;
    const dword id = button_record_fields(e, &flags, &on_click);
    if ((flags & button_flag_disabled) || !on_click)
        return false;
    if (e->ui_type == ui_type_dynamic_button && click_down_sound != invalid_id && settings_get().sounds)
        sound_play(click_down_sound, false);
    on_click(id);
    return true;
}

bool ui_focus_key(unsigned virtual_key, const void *const *buttons, int count) {
    if (virtual_key == vk_return || virtual_key == vk_space) {
        ui_press_focus();
        return true;
    }
    int step = 0;
    if (virtual_key == vk_right || virtual_key == vk_down)
        step = 1;
    else if (virtual_key == vk_left || virtual_key == vk_up)
        step = -1;
    else if (virtual_key == vk_tab)
        step = platform_key_held(vk_shift) ? -1 : 1;
    if (step == 0)
        return false;
    if (count <= 0)
        return true;
    int current = step > 0 ? -1 : count; // no focus among them: start from an end
    for (int i = 0; i < count; ++i)
        if (mouse_element_focus && mouse_element_focus->data == buttons[i])
            current = i;
    for (int tried = 1; tried <= count; ++tried) {
        const int i = (((current + step * tried) % count) + count) % count;
        if (ui_focus_button(buttons[i]))
            break;
    }
    return true;
}

const ui_window *ui_focus_window() { return mouse_window_focus; }
const ui_element *ui_focus_element() { return mouse_element_focus; }
