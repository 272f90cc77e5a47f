// d3d_window.h -- the main window, its client resolution and the mouse scale
#pragma once

// Stores the client resolution chosen at start-up (window_res); a null pointer raises an assertion.
void d3d_get_window_res(int *width, int *height);
// The factors that turn client pixels into framebuffer pixels.
void d3d_get_mouse_scale(float *x, float *y);
// Recomputes the mouse scale from the current client area.
void d3d_window_update_mouse_scale();
// Moves the system cursor to the centre of the client area as placed at start-up.
void d3d_window_centre_system_cursor();

// Tests: set the resolution and the mouse scale without a window.
void d3d_window_set_for_test(int width, int height, float scale_x, float scale_y);
