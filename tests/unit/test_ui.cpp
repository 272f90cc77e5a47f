// test_ui.cpp -- the UI toolkit's window stack, button layout, focus and click dispatch
#include "engine/ec_cursor.h"
#include "engine/ec_memory.h"
#include "engine/ec_strings.h"
#include "engine/ec_ui.h"
#include "graphics/d3d_window.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// String ids used below.
enum : dword { str_ten = 0, str_eleven = 1, str_caption = 2, str_ok = 3, num_test_strings };

string_definition test_strings[num_test_strings];

void set_string(dword id, const char *text) {
    std::strcpy(test_strings[id].string_token, "test");
    safestring_create(&test_strings[id].string, text);
}

std::vector<dword> clicks;
void record_click(dword id) { clicks.push_back(id); }

class ui_test : public ::testing::Test {
protected:
    dialog_recorder rec;

    void SetUp() override {
        memory_system_init();
        d3d_window_set_for_test(1280, 720, 1.0f, 1.0f);
        set_string(str_ten, "0123456789");
        set_string(str_eleven, "0123456789A");
        set_string(str_caption, "Bones");
        set_string(str_ok, "OK");
        string_table_use_for_test(test_strings, num_test_strings);
        ui_window_remove_all();
        clicks.clear();
        move_to(0, 0);
    }
    void TearDown() override {
        ui_window_remove_all();
        EXPECT_EQ(memory_num_allocations(), 0) << "the toolkit left blocks behind";
        string_table_use_for_test(nullptr, 0);
    }

    static void move_to(int x, int y) {
        cursor_update_position(x, y);
        ui_mousemove();
    }
    static dword add_plain(int x1, int y1, int x2, int y2, dword flags = 0) {
        const window_data w = {.flags = flags, .caption_id = invalid_id, .x1 = x1, .y1 = y1,
                               .x2 = x2, .y2 = y2, .scale = 1, .draw = nullptr, .on_remove = nullptr};
        return ui_window_add(&w);
    }
    static dword add_framed(int x1, int y1, int x2, int y2, int scale) {
        const window_data w = {.flags = window_flag_framed, .caption_id = str_caption, .x1 = x1,
                               .y1 = y1, .x2 = x2, .y2 = y2, .scale = scale, .draw = nullptr,
                               .on_remove = nullptr};
        return ui_window_add(&w);
    }
    static int count_elements(dword win_id) {
        int n = 0;
        for (const ui_element *e = ui_get_window_from_id(win_id)->elements; e; e = e->next)
            n++;
        return n;
    }
};

dynamic_button_data text_button(dword string_id, s32 x, s32 y, s32 block_width, s32 scale) {
    return {.string_id = string_id, .id = 7, .x = x, .y = y, .block_width = block_width,
            .scale = scale, .flags = 1, .on_click = record_click};
}

image_button_data image_button(s32 x, s32 y, s32 w, s32 h, dword id = 9) {
    return {.id = id, .x = x, .y = y, .width = w, .height = h, .flags = 0, .draw = nullptr,
            .on_click = record_click};
}

// Windows

TEST_F(ui_test, ids_are_taken_lowest_first_and_reused) {
    EXPECT_EQ(add_plain(0, 0, 10, 10), 100u);
    EXPECT_EQ(add_plain(0, 0, 10, 10), 101u);
    EXPECT_EQ(add_plain(0, 0, 10, 10), 102u);
    ui_window_remove(101);
    EXPECT_EQ(ui_get_window_from_id(100)->window_id, 100u);
    EXPECT_EQ(add_plain(0, 0, 10, 10), 101u);
    EXPECT_EQ(add_plain(0, 0, 10, 10), 103u);
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(ui_test, the_thirty_third_window_is_refused_and_leaks_nothing) {
    for (int i = 0; i < max_ui_windows; i++)
        ASSERT_EQ(add_plain(0, 0, 10, 10), ui_window_id_start + (dword)i);
    const int blocks = memory_num_allocations();
    EXPECT_EQ(add_plain(0, 0, 10, 10), invalid_id);
    EXPECT_TRUE(rec.asserted("w->window_id != invalid_id"));
    EXPECT_EQ(memory_num_allocations(), blocks);

    ui_window_remove(117);
    EXPECT_EQ(add_plain(0, 0, 10, 10), 117u);
    EXPECT_EQ(add_plain(0, 0, 10, 10), invalid_id);
}

TEST_F(ui_test, framed_windows_must_be_whole_slices_of_at_least_four) {
    // 4 x 4 slices at scale 1 and 2, and a larger one: accepted with a close button.
    EXPECT_NE(add_framed(0, 0, 32, 32, 1), invalid_id);
    EXPECT_NE(add_framed(100, 100, 164, 164, 2), invalid_id);
    EXPECT_NE(add_framed(300, 300, 300 + 80, 300 + 48, 1), invalid_id);
    EXPECT_EQ(rec.count(), 0u);

    struct refused {
        int x2, y2, scale;
        const char *text;
    } cases[] = {
        {100, 32, 1, "( width % ss ) == 0"},
        {24, 32, 1, "width >= ss * 4"},
        {32, 24, 1, "height >= ss * 4"},
        {32, 36, 1, "( height % ss ) == 0"},
        {32, 32, 0, "win->scale >= 1"},
        {32, 32, -3, "win->scale >= 1"},
        {-64, 32, 2, "width >= ss * 4"},
    };
    for (const refused &c : cases) {
        rec.clear();
        EXPECT_EQ(add_framed(0, 0, c.x2, c.y2, c.scale), invalid_id) << c.text;
        EXPECT_TRUE(rec.asserted(c.text)) << c.text;
        EXPECT_EQ(rec.count(), 1u) << c.text;
    }
    // Unframed windows are not validated.
    rec.clear();
    EXPECT_NE(add_plain(0, 0, 100, 7), invalid_id);
    EXPECT_NE(add_plain(50, 50, 10, 10, window_flag_filled), invalid_id);
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(ui_test, a_framed_window_carries_its_close_button_inside_the_frame) {
    const dword id = add_framed(64, 40, 64 + 96, 40 + 64, 2);
    ASSERT_NE(id, invalid_id);
    const ui_window *w = ui_get_window_from_id(id);
    ASSERT_NE(w->elements, nullptr);
    const ui_element *close = w->elements;
    EXPECT_EQ(close->next, nullptr);
    EXPECT_EQ(close->ui_type, (dword)ui_type_image_button);
    EXPECT_EQ(((const image_button_data *)close->data)->id, win_close_btn_id);
    // The last two caption columns: 32 pixels at scale 2, one pixel inside x2.
    EXPECT_EQ(close->x1, 64 + 96 - 32);
    EXPECT_EQ(close->x2, 64 + 96 - 1);
    EXPECT_EQ(close->y1, 40);
    EXPECT_EQ(close->y2, 40 + 31);
    EXPECT_EQ(safestring_length(&w->caption), 5);
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(ui_test, pressing_the_close_button_removes_its_window) {
    const dword below = add_plain(0, 0, 1279, 719);
    const dword framed = add_framed(64, 64, 128, 128, 1);
    move_to(128 - 8, 70);
    ASSERT_NE(ui_focus_element(), nullptr);
    EXPECT_TRUE(ui_lbutton(true));
    EXPECT_TRUE(ui_lbutton(false));
    // The focus moved to the window that was under it.
    ASSERT_NE(ui_focus_window(), nullptr);
    EXPECT_EQ(ui_focus_window()->window_id, below);
    EXPECT_EQ(ui_focus_element(), nullptr);
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_EQ(ui_get_window_from_id(framed), nullptr);
    EXPECT_TRUE(rec.asserted("found"));
}

TEST_F(ui_test, lookups_and_id_returns_check_their_ids) {
    EXPECT_EQ(ui_get_window_from_id(99), nullptr);
    EXPECT_TRUE(rec.asserted("id >= ui_window_id_start && id < ui_window_id_end"));
    rec.clear();
    EXPECT_EQ(ui_get_window_from_id(105), nullptr);
    EXPECT_TRUE(rec.asserted("found"));

    rec.clear();
    set_window_id_available(99);
    set_window_id_available(132);
    set_window_id_available(100); // free already
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"id >= ui_window_id_start",
                                                          "id < ui_window_id_end",
                                                          "!win_id_avail[ index ]"}));
    rec.clear();
    ui_window_remove(100);
    EXPECT_TRUE(rec.asserted("found"));
    rec.clear();
    EXPECT_EQ(ui_window_add(nullptr), invalid_id);
    EXPECT_TRUE(rec.asserted("win"));
}

int removals = 0;
bool window_still_there = false;
void on_remove_probe() {
    removals++;
    window_still_there = ui_get_window_from_id(100) != nullptr;
}

TEST_F(ui_test, remove_calls_on_remove_first_and_remove_all_calls_none) {
    const window_data w = {.flags = 0, .caption_id = invalid_id, .x1 = 0, .y1 = 0, .x2 = 10,
                           .y2 = 10, .scale = 1, .draw = nullptr, .on_remove = on_remove_probe};
    removals = 0;
    ASSERT_EQ(ui_window_add(&w), 100u);
    ui_window_remove(100);
    EXPECT_EQ(removals, 1);
    EXPECT_TRUE(window_still_there);

    ui_window_add(&w);
    ui_window_add(&w);
    ui_window_remove_all();
    EXPECT_EQ(removals, 1);
    EXPECT_EQ(add_plain(0, 0, 1, 1), 100u);
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(ui_test, the_fullscreen_window_spans_the_framebuffer_whatever_the_window_size) {
    d3d_window_set_for_test(1024, 768, 1.25f, 0.9375f);
    add_plain(0, 0, 10, 10);
    add_plain(0, 0, 10, 10);
    const dword id = ui_window_add_fullscreen(nullptr);
    EXPECT_EQ(id, 100u);
    const ui_window *w = ui_get_window_from_id(id);
    EXPECT_EQ(w->next, nullptr);
    EXPECT_EQ(w->x1, 0);
    EXPECT_EQ(w->y1, 0);
    EXPECT_EQ(w->x2, 1280);
    EXPECT_EQ(w->y2, 720);
    EXPECT_EQ(w->flags, 0u);
    EXPECT_EQ(safestring_length(&w->caption), 0);
}

// Buttons

TEST_F(ui_test, a_text_button_is_block_width_plus_four_slices_centred_on_x) {
    const dword win = add_plain(0, 100, 1279, 719);
    dynamic_button_data b = text_button(str_ten, 640, 20, 10, 2);
    dynamic_button_add(win, &b);
    const ui_element *e = ui_get_window_from_id(win)->elements;
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->ui_type, (dword)ui_type_dynamic_button);
    EXPECT_EQ(e->x1, 528);
    EXPECT_EQ(e->x2, 752);
    EXPECT_EQ(e->y1, 120);
    EXPECT_EQ(e->y2, 168);
    EXPECT_TRUE(e->active);
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(ui_test, a_label_longer_than_block_width_is_refused_whole) {
    const dword win = add_plain(0, 0, 1279, 719);
    dynamic_button_data fits = text_button(str_ten, 640, 0, 10, 1);
    dynamic_button_data too_long = text_button(str_eleven, 640, 50, 10, 1);
    dynamic_button_add(win, &fits);
    EXPECT_EQ(rec.count(), 0u);
    dynamic_button_add(win, &too_long);
    EXPECT_TRUE(rec.asserted("(int)safestring_length( s ) <= button->block_width"));
    EXPECT_EQ(count_elements(win), 1);

    rec.clear();
    dynamic_button_data no_scale = text_button(str_ok, 640, 100, 10, 0);
    dynamic_button_add(win, &no_scale);
    EXPECT_TRUE(rec.asserted("button->scale >= 1"));
    dynamic_button_data bad_label = text_button(999, 640, 100, 10, 1);
    dynamic_button_add(win, &bad_label);
    EXPECT_EQ(count_elements(win), 1);

    // Nothing half-made to hit: the refused buttons' places take no clicks.
    move_to(640, 60);
    EXPECT_EQ(ui_focus_element(), nullptr);
}

TEST_F(ui_test, text_buttons_are_pushed_inside_the_screen_and_the_window) {
    const dword win = add_plain(100, 0, 700, 719);
    // 6 slices of 8 = 48 wide; centred at 100 - 90 it would start at -14: it
    // starts at the screen's x 0, not the window's x1.
    dynamic_button_data left = text_button(str_ok, -90, 0, 2, 1);
    dynamic_button_add(win, &left);
    const ui_element *e = ui_get_window_from_id(win)->elements;
    EXPECT_EQ(e->x1, 0);
    EXPECT_EQ(e->x2, 48);

    dynamic_button_data right = text_button(str_ok, 590, 40, 2, 1);
    dynamic_button_add(win, &right);
    e = ui_get_window_from_id(win)->elements;
    EXPECT_EQ(e->x2, 699);
    EXPECT_EQ(e->x1, 699 - 48);
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(ui_test, image_buttons_must_lie_strictly_inside_their_window) {
    const dword win = add_plain(100, 100, 300, 200);
    image_button_data ok = image_button(150, 50, 49, 49);
    image_button_add(win, &ok);
    EXPECT_EQ(rec.count(), 0u);
    const ui_element *e = ui_get_window_from_id(win)->elements;
    EXPECT_EQ(e->x1, 250);
    EXPECT_EQ(e->x2, 299);
    EXPECT_EQ(e->y1, 150);
    EXPECT_EQ(e->y2, 199);

    struct refused {
        image_button_data b;
        const char *text;
    } cases[] = {
        {image_button(150, 0, 50, 10), "new_button->x2 < win->x2"},
        {image_button(-101, 0, 10, 10), "new_button->x1 >= 0"},
        {image_button(0, -101, 10, 10), "new_button->y1 >= 0"},
        {image_button(0, 50, 10, 50), "new_button->y2 < win->y2"},
        {image_button(0x7FFFFFFF, 0, 0x7FFFFFFF, 10), "new_button->x2 < win->x2"},
    };
    for (refused &c : cases) {
        rec.clear();
        image_button_add(win, &c.b);
        EXPECT_TRUE(rec.asserted(c.text)) << c.text;
    }
    EXPECT_EQ(count_elements(win), 1);

    rec.clear();
    image_button_add(131, &ok);
    EXPECT_TRUE(rec.asserted("found"));
    EXPECT_TRUE(rec.asserted("win"));
    rec.clear();
    dynamic_button_data t = text_button(str_ok, 0, 0, 4, 1);
    dynamic_button_add(5, &t);
    EXPECT_TRUE(rec.asserted("win_id >= ui_window_id_start && win_id < ui_window_id_end"));
    rec.clear();
    dynamic_button_add(win, nullptr);
    image_button_add(win, nullptr);
    image_button_disable(nullptr);
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"button", "button", "button"}));
}

// Focus and clicks

TEST_F(ui_test, edges_belong_to_windows_and_elements) {
    const dword win = add_plain(10, 10, 500, 400);
    image_button_data b = image_button(10, 10, 20, 30);
    image_button_add(win, &b);
    move_to(40, 50); // the button's x2, y2
    EXPECT_NE(ui_focus_element(), nullptr);
    move_to(20, 20); // its x1, y1
    EXPECT_NE(ui_focus_element(), nullptr);
    move_to(41, 50);
    EXPECT_EQ(ui_focus_element(), nullptr);
    EXPECT_NE(ui_focus_window(), nullptr);
    move_to(500, 400);
    EXPECT_NE(ui_focus_window(), nullptr);
    move_to(501, 400);
    EXPECT_EQ(ui_focus_window(), nullptr);
}

TEST_F(ui_test, mousemove_reports_whether_the_window_under_the_cursor_stayed) {
    cursor_update_position(5, 5);
    EXPECT_FALSE(ui_mousemove()); // no window at all
    add_plain(0, 0, 100, 100);
    add_plain(50, 50, 200, 200);
    cursor_update_position(10, 10);
    EXPECT_TRUE(ui_mousemove());
    cursor_update_position(20, 20);
    EXPECT_TRUE(ui_mousemove());
    cursor_update_position(60, 60);
    EXPECT_FALSE(ui_mousemove());
    cursor_update_position(600, 600);
    EXPECT_FALSE(ui_mousemove());
    cursor_update_position(700, 600);
    EXPECT_TRUE(ui_mousemove()); // over no window twice
}

TEST_F(ui_test, a_newer_window_hides_the_buttons_of_older_ones) {
    const dword older = add_plain(0, 0, 400, 400);
    image_button_data b = image_button(100, 100, 50, 50);
    image_button_add(older, &b);
    const dword newer = add_plain(90, 90, 130, 130);
    move_to(120, 120);
    EXPECT_EQ(ui_focus_window()->window_id, newer);
    EXPECT_EQ(ui_focus_element(), nullptr);
    EXPECT_TRUE(ui_lbutton(true));
    EXPECT_TRUE(ui_lbutton(false));
    EXPECT_TRUE(clicks.empty());
    // The part of the button that the newer window leaves free still works.
    move_to(140, 140);
    EXPECT_EQ(ui_focus_window()->window_id, older);
    EXPECT_EQ(ui_focus_element()->data, &b);
}

TEST_F(ui_test, lbutton_results_away_from_elements_follow_the_window_rule) {
    EXPECT_FALSE(ui_lbutton(true));
    EXPECT_FALSE(ui_lbutton(false));
    add_plain(0, 0, 400, 400);
    add_plain(500, 0, 600, 100);
    move_to(800, 600); // over no window
    EXPECT_TRUE(ui_lbutton(true));
    EXPECT_TRUE(ui_lbutton(false));
    move_to(200, 200); // the oldest window
    EXPECT_FALSE(ui_lbutton(true));
    EXPECT_FALSE(ui_lbutton(false));
    move_to(550, 50); // a newer window
    EXPECT_TRUE(ui_lbutton(true));
    EXPECT_TRUE(ui_lbutton(false));
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(ui_test, a_click_fires_on_release_over_the_button_wherever_it_was_pressed) {
    const dword win = add_plain(0, 0, 1279, 719);
    dynamic_button_data t = text_button(str_ok, 640, 100, 4, 2);
    image_button_data i = image_button(100, 400, 64, 64, 21);
    dynamic_button_add(win, &t);
    image_button_add(win, &i);

    // Press and release on the text button.
    move_to(640, 110);
    EXPECT_TRUE(ui_lbutton(true));
    EXPECT_TRUE(t.flags & button_flag_down);
    EXPECT_EQ(t.flags & ~button_flag_down, 1u) << "other bits are the caller's";
    EXPECT_TRUE(ui_lbutton(false));
    EXPECT_FALSE(t.flags & button_flag_down);
    EXPECT_EQ(clicks, std::vector<dword>{7});

    // Press away from any button, move over the image button, release: it fires.
    clicks.clear();
    move_to(10, 10);
    EXPECT_FALSE(ui_lbutton(true));
    move_to(130, 430);
    EXPECT_TRUE(ui_lbutton(false));
    EXPECT_EQ(clicks, std::vector<dword>{21});

    // Press on the image button, move off, release: nothing fires, the press ends.
    clicks.clear();
    EXPECT_TRUE(ui_lbutton(true));
    EXPECT_TRUE(i.flags & button_flag_down);
    move_to(300, 430);
    EXPECT_FALSE(ui_lbutton(false));
    EXPECT_FALSE(i.flags & button_flag_down);
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(ui_test, disabled_buttons_and_buttons_without_handlers_take_no_click) {
    const dword win = add_plain(0, 0, 1279, 719);
    image_button_data disabled = image_button(100, 100, 50, 50);
    image_button_disable(&disabled);
    EXPECT_EQ(disabled.flags, button_flag_disabled);
    dynamic_button_data text_disabled = text_button(str_ok, 400, 100, 4, 1);
    text_disabled.flags |= button_flag_disabled;
    image_button_data no_handler = image_button(600, 100, 50, 50);
    no_handler.on_click = nullptr;
    image_button_add(win, &disabled);
    dynamic_button_add(win, &text_disabled);
    image_button_add(win, &no_handler);

    for (int x : {120, 400, 620}) {
        move_to(x, 110);
        ASSERT_NE(ui_focus_element(), nullptr);
        EXPECT_FALSE(ui_lbutton(true));
        EXPECT_FALSE(ui_lbutton(false));
    }
    EXPECT_TRUE(clicks.empty());
    EXPECT_FALSE(disabled.flags & button_flag_down);
    EXPECT_FALSE(text_disabled.flags & button_flag_down);
    EXPECT_FALSE(no_handler.flags & button_flag_down);
}

TEST_F(ui_test, inactive_elements_are_never_focused) {
    add_plain(0, 0, 1279, 719);
    const dword top = add_plain(100, 100, 400, 400);
    image_button_data b = image_button(10, 10, 50, 50);
    image_button_add(top, &b);
    ui_get_window_from_id(top)->elements->active = false;
    move_to(130, 130);
    EXPECT_EQ(ui_focus_element(), nullptr);
    EXPECT_TRUE(ui_lbutton(true)); // the newer window's rule
    EXPECT_TRUE(ui_lbutton(false));
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ui_test, button_all_up_ends_every_press_in_every_window) {
    const dword a = add_plain(0, 0, 1279, 719);
    const dword b = add_plain(200, 200, 600, 600);
    image_button_data i1 = image_button(10, 10, 20, 20);
    image_button_data i2 = image_button(10, 10, 20, 20);
    dynamic_button_data t = text_button(str_ok, 200, 100, 4, 1);
    image_button_add(a, &i1);
    image_button_add(b, &i2);
    dynamic_button_add(b, &t);
    i1.flags = button_flag_down | 4;
    i2.flags = button_flag_down;
    t.flags = button_flag_down | button_flag_disabled;
    ui_get_window_from_id(b)->elements->active = false;
    button_all_up();
    EXPECT_EQ(i1.flags, 4u);
    EXPECT_EQ(i2.flags, 0u);
    EXPECT_EQ(t.flags, button_flag_disabled);
}

// A click handler that rebuilds the screen, as a mode switch does.
dynamic_button_data rebuilt_button;
void rebuild_screen(dword id) {
    clicks.push_back(id);
    const dword win = ui_window_add_fullscreen(nullptr);
    rebuilt_button = text_button(str_ok, 640, 300, 4, 1);
    dynamic_button_add(win, &rebuilt_button);
}

TEST_F(ui_test, no_click_reaches_a_removed_element) {
    const dword win = add_plain(0, 0, 1279, 719);
    const dword top = add_plain(100, 100, 400, 400);
    image_button_data b = image_button(10, 10, 50, 50);
    image_button_add(top, &b);
    move_to(130, 130);
    ASSERT_NE(ui_focus_element(), nullptr);

    // Removed under the cursor: the focus moves to what is left there.
    ui_window_remove(top);
    EXPECT_EQ(ui_focus_element(), nullptr);
    EXPECT_EQ(ui_focus_window()->window_id, win);
    EXPECT_FALSE(ui_lbutton(true));
    EXPECT_FALSE(ui_lbutton(false));

    // Everything removed: no window, no focus.
    image_button_data c = image_button(100, 100, 50, 50);
    image_button_add(win, &c);
    move_to(130, 130);
    ASSERT_NE(ui_focus_element(), nullptr);
    ui_window_remove_all();
    EXPECT_EQ(ui_focus_window(), nullptr);
    EXPECT_EQ(ui_focus_element(), nullptr);
    EXPECT_FALSE(ui_lbutton(true));
    EXPECT_FALSE(ui_lbutton(false));
    EXPECT_TRUE(clicks.empty());

    // A handler that replaces the whole stack while its own click is dispatched.
    const dword again = ui_window_add_fullscreen(nullptr);
    dynamic_button_data t = text_button(str_ok, 130, 120, 4, 1);
    t.on_click = rebuild_screen;
    dynamic_button_add(again, &t);
    move_to(130, 130);
    EXPECT_TRUE(ui_lbutton(true));
    EXPECT_TRUE(ui_lbutton(false));
    EXPECT_EQ(clicks, std::vector<dword>{7});
    // The new screen's button is not focused until the mouse moves.
    EXPECT_EQ(ui_focus_element(), nullptr);
    move_to(640, 310);
    ASSERT_NE(ui_focus_element(), nullptr);
    EXPECT_EQ(ui_focus_element()->data, &rebuilt_button);
    EXPECT_EQ(rec.count(), 0u);
}

} // namespace
