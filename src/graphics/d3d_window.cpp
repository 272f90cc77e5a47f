// d3d_window.cpp -- the main window, its client resolution and the mouse scale
#include "graphics/d3d_window.h"

#include "engine/ec_assert.h"

namespace {

int window_res_width = 1280;
int window_res_height = 720;
float mouse_scale_x = 1.0f;
float mouse_scale_y = 1.0f;

} // namespace

void d3d_get_window_res(int *width, int *height) {
    if (!ec_assert(width) || !ec_assert(height))
        return;
    *width = window_res_width;
    *height = window_res_height;
}

void d3d_get_mouse_scale(float *x, float *y) {
    *x = mouse_scale_x;
    *y = mouse_scale_y;
}

void d3d_window_update_mouse_scale() {}

void d3d_window_centre_system_cursor() {}

void d3d_window_set_for_test(int width, int height, float scale_x, float scale_y) {
    window_res_width = width;
    window_res_height = height;
    mouse_scale_x = scale_x;
    mouse_scale_y = scale_y;
}
