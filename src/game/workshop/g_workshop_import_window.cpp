// g_workshop_import_window.cpp -- the Import Picture window: a PNG's cells chosen by size and threshold
#include "game/workshop/g_workshop.h"
#include "game/workshop/g_workshop_icons.h"
#include "game/workshop/g_workshop_import.h"

#include "engine/ec_assert.h"
#include "game/g_question.h"
#include "game/g_strings.h"
#include "graphics/d3d_gfx2d.h"
#include "platform/pf_keys.h"
#include "platform/pf_system.h"
#include "ui/ec_cursor.h"
#include "ui/ec_ui.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

enum : dword {
    width_less_id = 380,
    width_more_id,
    height_less_id,
    height_more_id,
    slider_id,
    use_id,
    cancel_id,
};

// The window: 50 x 30 slices at scale 2. Buttons are placed from its corner; its drawing
// is given the corner inside its frame.
constexpr int scale = 2, slice = 8 * scale;
constexpr s32 x1 = 640 - 25 * slice, x2 = 640 + 25 * slice, y1 = 360 - 15 * slice, y2 = 360 + 15 * slice;
constexpr int box = 240, before_x = x1 + 32, after_x = x1 + 292, boxes_y = y1 + 76;
constexpr int controls_x = x1 + 560, width_y = y1 + 76, height_y = y1 + 124, step_size = 36;
constexpr int slider_x = x1 + 32, slider_y = y1 + 356, slider_width = 500, slider_height = 28;

constexpr u32 paper = 0xFFE8E4D8, ink = 0xFF1E1C2C, text_colour = 0xFFFFFFFF, dim_colour = 0xFFA8A4B8;

dword veil = invalid_id, window = invalid_id;
workshop_image image;
std::string name; // the file's name without its folder and extension: the new picture's title
int cells_width = 10, cells_height = 10, threshold = 128;
std::vector<u8> darkness; // of the cells at their size
bool dragging = false;
workshop_picture chosen_cells;

void on_button(dword id);
void step_draw(dword id, int x, int y, int, int state) {
    const bool less = id == width_less_id || id == height_less_id;
    workshop_draw_icon_button(less ? workshop_icon_minus : workshop_icon_plus, x, y, step_size, step_size, state,
                              false);
}
void slider_draw(dword, int x, int y, int, int state) {
    const int knob = x + (threshold - 1) * (slider_width - 12) / 254;
    for (int row = y + 10; row < y + slider_height - 10; ++row) {
        gfx2d_draw_hline(x, knob, row, 0xFFE8B848);
        gfx2d_draw_hline(knob, x + slider_width - 1, row, 0xFF4A4560);
    }
    for (int row = y; row < y + slider_height; ++row)
        gfx2d_draw_hline(knob, knob + 11, row, state == image_button_sprite_over || dragging ? 0xFFFFFF00 : 0xFFFFFFFF);
}

image_button_data steps[4] = {
    {.id = width_less_id,
     .x = controls_x + 100 - x1,
     .y = width_y - y1,
     .width = step_size,
     .height = step_size,
     .flags = 0,
     .draw = step_draw,
     .on_click = on_button},
    {.id = width_more_id,
     .x = controls_x + 184 - x1,
     .y = width_y - y1,
     .width = step_size,
     .height = step_size,
     .flags = 0,
     .draw = step_draw,
     .on_click = on_button},
    {.id = height_less_id,
     .x = controls_x + 100 - x1,
     .y = height_y - y1,
     .width = step_size,
     .height = step_size,
     .flags = 0,
     .draw = step_draw,
     .on_click = on_button},
    {.id = height_more_id,
     .x = controls_x + 184 - x1,
     .y = height_y - y1,
     .width = step_size,
     .height = step_size,
     .flags = 0,
     .draw = step_draw,
     .on_click = on_button},
};
image_button_data slider = {.id = slider_id,
                            .x = slider_x - x1,
                            .y = slider_y - y1,
                            .width = slider_width,
                            .height = slider_height,
                            .flags = 0,
                            .draw = slider_draw,
                            .on_click = on_button};
dynamic_button_data use_button = {.string_id = str_ws_use,
                                  .id = use_id,
                                  .x = 25 * slice - 6 * slice,
                                  .y = 26 * slice - 8,
                                  .block_width = 6,
                                  .scale = scale,
                                  .flags = 0,
                                  .on_click = on_button};
dynamic_button_data cancel_button = {.string_id = str_ws_cancel,
                                     .id = cancel_id,
                                     .x = 25 * slice + 6 * slice,
                                     .y = 26 * slice - 8,
                                     .block_width = 6,
                                     .scale = scale,
                                     .flags = 0,
                                     .on_click = on_button};

void cells_changed() {
    cells_width = std::clamp(cells_width, workshop_min_size, workshop_max_size);
    cells_height = std::clamp(cells_height, workshop_min_size, workshop_max_size);
    threshold = std::clamp(threshold, 1, 255);
    darkness = workshop_cell_darkness(image, cells_width, cells_height);
    chosen_cells = workshop_threshold(darkness, cells_width, cells_height, threshold);
}

// The picture as read, fitted into the left box, grey by its darkness.
void draw_image(int x, int y) {
    if (image.width <= 0)
        return;
    const double fit = std::min((double)box / image.width, (double)box / image.height);
    const int w = std::max(1, (int)(image.width * fit)), h = std::max(1, (int)(image.height * fit));
    const int left = x + (box - w) / 2, top = y + (box - h) / 2;
    u32 *fb = gfx2d_screen_buffer_rect(left, top, left + w - 1, top + h - 1);
    if (!fb)
        return;
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
            const int sx = std::min(image.width - 1, (int)(px / fit)), sy = std::min(image.height - 1, (int)(py / fit));
            const u32 v = 255u - image.darkness[(size_t)sy * image.width + sx];
            fb[(size_t)(top + py) * screen_width + left + px] = 0xFF000000u | v << 16 | v << 8 | v;
        }
}

void draw_cells(int x, int y) {
    const workshop_picture &p = chosen_cells;
    const int cell = std::max(1, std::min(box / p.width, box / p.height));
    const int left = x + (box - cell * p.width) / 2, top = y + (box - cell * p.height) / 2;
    for (int row = top; row < top + cell * p.height; ++row)
        gfx2d_draw_hline(left, left + cell * p.width - 1, row, paper);
    for (int r = 0; r < p.height; ++r)
        for (int c = 0; c < p.width; ++c)
            if (workshop_at(p, c, r))
                gfx2d_draw_pixel(left + cell * c, top + cell * r, ink, cell);
    if (cell >= 4) // the cells' grid, faintly
        for (int i = 0; i <= p.width; ++i)
            gfx2d_draw_vline(left + cell * i, top, top + cell * p.height, 0xFF9A96A8);
    if (cell >= 4)
        for (int i = 0; i <= p.height; ++i)
            gfx2d_draw_hline(left, left + cell * p.width, top + cell * i, 0xFF9A96A8);
}

void window_draw(int, int) {
    workshop_text(before_x, boxes_y - 24, ("Picture: " + name).c_str(), dim_colour, 2, box);
    workshop_text(after_x, boxes_y - 24, "Cells", dim_colour, 2);
    gfx2d_draw_frame(before_x - 1, boxes_y - 1, box + 1, box + 1, 1, dim_colour);
    gfx2d_draw_frame(after_x - 1, boxes_y - 1, box + 1, box + 1, 1, dim_colour);
    draw_image(before_x, boxes_y);
    draw_cells(after_x, boxes_y);
    char text[48];
    const int sizes[2] = {cells_width, cells_height};
    const int rows[2] = {width_y, height_y};
    for (int i = 0; i < 2; ++i) {
        workshop_text(controls_x, rows[i] + 10, i == 0 ? "Width" : "Height", text_colour, 2);
        std::snprintf(text, sizeof text, "%d", sizes[i]);
        const int w = workshop_text_width(text, 2);
        workshop_text(controls_x + 160 - w / 2, rows[i] + 10, text, text_colour, 2);
    }
    std::snprintf(text, sizeof text, "Threshold %d", threshold);
    workshop_text(slider_x, slider_y - 26, text, text_colour, 2);
    workshop_text(slider_x + slider_width + 16, slider_y + 2, "darker", dim_colour, 1);
    workshop_text(slider_x + slider_width + 16, slider_y + 14, "fills", dim_colour, 1);
    std::snprintf(text, sizeof text, "%d of %d cells filled", workshop_filled_count(chosen_cells),
                  chosen_cells.width * chosen_cells.height);
    workshop_text(controls_x, height_y + 64, text, dim_colour, 1);
    workshop_text(controls_x, height_y + 84, "Left, Right: threshold", dim_colour, 1);
    workshop_text(controls_x, height_y + 100, "Up, Down: width", dim_colour, 1);
    workshop_text(controls_x, height_y + 116, "Shift+Up, Down: height", dim_colour, 1);
}

void removed() {
    if (window == invalid_id)
        return;
    window = invalid_id;
    workshop_import_close();
}

void slider_to(int x) {
    threshold = 1 + (x - slider_x - 6) * 254 / (slider_width - 12);
    cells_changed();
}

void use_answered(bool yes) {
    if (yes)
        workshop_set_document({chosen_cells, name, "", ""});
}

void on_button(dword id) {
    switch (id) {
    case width_less_id:
    case width_more_id: cells_width += id == width_more_id ? 1 : -1; break;
    case height_less_id:
    case height_more_id: cells_height += id == height_more_id ? 1 : -1; break;
    case slider_id: {
        int x = 0, y = 0;
        cursor_get_position(&x, &y);
        slider_to(x);
        break;
    }
    case use_id: workshop_import_use(); return;
    case cancel_id: workshop_import_close(); return;
    default: ec_assert(!"an Import Picture button"); break;
    }
    cells_changed();
}

} // namespace

bool workshop_import_open(const std::string &path) {
    std::string why;
    workshop_image read;
    if (!workshop_image_read(path, &read, &why)) {
        platform_message_box("Picture Not Imported",
                             ("This file cannot be imported:\n" + path + "\n" + why + ".").c_str(), platform_mb_ok,
                             platform_mb_icon_warning);
        return false;
    }
    workshop_import_close();
    image = std::move(read);
    name = std::filesystem::path(path).stem().string().substr(0, 40);
    workshop_import_size(image, &cells_width, &cells_height);
    threshold = workshop_auto_threshold(workshop_cell_darkness(image, cells_width, cells_height));
    cells_changed();
    veil = veil_window_add();
    const window_data frame = {.flags = window_flag_framed | window_flag_filled,
                               .caption_id = str_ws_import_caption,
                               .x1 = x1,
                               .y1 = y1,
                               .x2 = x2,
                               .y2 = y2,
                               .scale = scale,
                               .draw = window_draw,
                               .on_remove = removed};
    window = ui_window_add(&frame);
    if (veil == invalid_id || window == invalid_id) {
        workshop_import_close();
        return false;
    }
    for (image_button_data &b : steps) {
        b.flags = 0;
        image_button_add(window, &b);
    }
    slider.flags = 0;
    image_button_add(window, &slider);
    use_button.flags = cancel_button.flags = 0;
    dynamic_button_add(window, &use_button);
    dynamic_button_add(window, &cancel_button);
    ui_mousemove();
    ui_focus_button(&use_button);
    return true;
}

bool workshop_import_is_open() { return window != invalid_id; }

void workshop_import_close() {
    const dword w = window, v = veil;
    window = veil = invalid_id;
    dragging = false;
    if (w != invalid_id)
        ui_window_remove(w);
    if (v != invalid_id)
        ui_window_remove(v);
    ui_mousemove();
}

void workshop_import_set(int width, int height, int t) {
    cells_width = width;
    cells_height = height;
    threshold = t;
    cells_changed();
}

void workshop_import_get(int *width, int *height, int *t) {
    *width = cells_width;
    *height = cells_height;
    *t = threshold;
}

workshop_picture workshop_import_cells() { return chosen_cells; }

void workshop_import_use() {
    workshop_import_close();
    if (!workshop_dirty()) {
        use_answered(true);
        return;
    }
    safestring line1, line2;
    safestring_create(&line1, "Open the imported picture in the Workshop?");
    safestring_create(&line2, "The changes to the one there are not saved.");
    question_open(str_ws_discard_caption, &line1, &line2, use_answered);
}

void workshop_import_keydown(unsigned key) {
    const bool shift = platform_key_held(vk_shift);
    switch (key) {
    case vk_escape: workshop_import_close(); return;
    case vk_return:
        if (ui_focus_element() && ui_focus_element()->data == &cancel_button)
            workshop_import_close();
        else
            workshop_import_use();
        return;
    case vk_left:
    case vk_right:
        threshold += (key == vk_right ? 1 : -1) * (shift ? 1 : 8); // Shift: finely
        break;
    case vk_up:
    case vk_down: (shift ? cells_height : cells_width) += key == vk_up ? 1 : -1; break;
    default: {
        const void *buttons[2] = {&use_button, &cancel_button};
        ui_focus_key(key, buttons, 2);
        return;
    }
    }
    cells_changed();
}

void workshop_import_drag(int x, int y, bool held) {
    if (!held) {
        dragging = false;
        return;
    }
    if (!dragging && x >= slider_x && x < slider_x + slider_width && y >= slider_y && y < slider_y + slider_height)
        dragging = true;
    if (dragging)
        slider_to(std::clamp(x, slider_x, slider_x + slider_width));
}
