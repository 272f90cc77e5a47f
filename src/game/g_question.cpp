// g_question.cpp -- the yes/no question: a veil and a framed window with two buttons
#include "game/g_question.h"

#include "game/g_strings.h"
#include "graphics/d3d_gfx2d.h"
#include "platform/pf_keys.h"
#include "ui/ec_ui.h"

namespace {

constexpr u32 text_colour = 0xFFFFFFFF;
constexpr int scale = 2;
constexpr int slice = 8 * scale;
// The window: 50 x 14 slices in the middle of the screen.
constexpr s32 win_x1 = 640 - 25 * slice, win_x2 = 640 + 25 * slice;
constexpr s32 win_y1 = 360 - 7 * slice, win_y2 = 360 + 7 * slice;

dword veil_window = invalid_id;
dword question_window = invalid_id;
safestring lines[2];
void (*answer_handler)(bool yes) = nullptr;

void question_do_answer(dword id);

dynamic_button_data yes_button = {
    .string_id = str_question_yes,
    .id = question_yes_id,
    .x = (win_x2 - win_x1) / 2 - 6 * slice,
    .y = 9 * slice,
    .block_width = 4,
    .scale = scale,
    .flags = 0,
    .on_click = question_do_answer,
};
dynamic_button_data no_button = {
    .string_id = str_question_no,
    .id = question_no_id,
    .x = (win_x2 - win_x1) / 2 + 6 * slice,
    .y = 9 * slice,
    .block_width = 4,
    .scale = scale,
    .flags = 0,
    .on_click = question_do_answer,
};

// Darkens everything drawn so far and the pictures behind the frame by half.
void veil_draw(int, int) {
    u32 *pixels = gfx2d_screen_buffer();
    for (int i = 0; i < screen_width * screen_height; ++i) {
        const u32 p = pixels[i];
        const u32 a = p >> 24;
        // Over a transparent pixel the veil is half-opaque black; over a drawn one, the
        // colour at half its brightness keeps it opaque.
        pixels[i] = a == 0 ? 0x80000000u : (p & 0xFF000000u) | ((p >> 1) & 0x007F7F7Fu);
    }
}

void lines_draw(int x, int y) {
    const int width = win_x2 - win_x1 - 2 * slice;
    for (int i = 0; i < 2; ++i) {
        const int w = gfx2d_strlen(&lines[i], scale);
        gfx2d_draw_string(x + (width - w) / 2, y + slice + i * 2 * slice, &lines[i], text_colour, scale);
    }
}

// Closing by the window's own button is a No.
void question_window_removed() {
    if (question_window == invalid_id)
        return; // removed by an answer
    question_window = invalid_id;
    question_do_answer(question_no_id);
}

void question_do_answer(dword id) {
    void (*handler)(bool) = answer_handler;
    const dword window = question_window, veil = veil_window;
    question_window = veil_window = invalid_id;
    answer_handler = nullptr;
    if (window != invalid_id)
        ui_window_remove(window);
    if (veil != invalid_id)
        ui_window_remove(veil);
    if (handler)
        handler(id == question_yes_id);
}

} // namespace

dword veil_window_add() {
    const window_data veil = {
        .flags = 0,
        .caption_id = invalid_id,
        .x1 = 0,
        .y1 = 0,
        .x2 = screen_width,
        .y2 = screen_height,
        .scale = 1,
        .draw = veil_draw,
        .on_remove = nullptr,
    };
    return ui_window_add(&veil);
}

bool question_open(dword caption_id, const safestring *line1, const safestring *line2, void (*on_answer)(bool yes)) {
    if (question_is_open())
        return false;
    safestring_create(&lines[0], line1 ? line1->text : nullptr);
    safestring_create(&lines[1], line2 ? line2->text : nullptr);
    answer_handler = on_answer;
    veil_window = veil_window_add();
    const window_data frame = {
        .flags = window_flag_framed | window_flag_filled,
        .caption_id = caption_id,
        .x1 = win_x1,
        .y1 = win_y1,
        .x2 = win_x2,
        .y2 = win_y2,
        .scale = scale,
        .draw = lines_draw,
        .on_remove = question_window_removed,
    };
    question_window = ui_window_add(&frame);
    if (veil_window == invalid_id || question_window == invalid_id) {
        question_do_answer(question_no_id); // the toolkit has raised why
        return false;
    }
    yes_button.flags = no_button.flags = 0;
    dynamic_button_add(question_window, &yes_button);
    dynamic_button_add(question_window, &no_button);
    ui_mousemove();
    ui_focus_button(&no_button);
    return true;
}

bool question_is_open() { return question_window != invalid_id; }

bool question_keydown(unsigned virtual_key) {
    if (!question_is_open())
        return false;
    if (virtual_key == vk_escape) {
        question_do_answer(question_no_id);
    } else if (virtual_key == 'Y') {
        question_do_answer(question_yes_id);
    } else {
        const void *buttons[2] = {&yes_button, &no_button};
        ui_focus_key(virtual_key, buttons, 2);
    }
    return true;
}

void question_forget() {
    question_window = veil_window = invalid_id;
    answer_handler = nullptr;
}
