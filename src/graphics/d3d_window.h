// d3d_window.h -- the main window, its client resolution and the mouse scale
#pragma once

// Starts the video system and creates the hidden main window titled with string 0,
// with the pack's icon when it has one.
// False after fatal start-up error 9 (no video, no window).
bool d3d_window_create();
// Destroys the main window (if any); its destruction sends msg_destroy to the window
// procedure, which queues the quit message.
void d3d_window_destroy();
// Shows the main window (start-up step 4).
void d3d_window_show();
// Shows or hides the system cursor over the window (the splash hides it).
void d3d_window_show_cursor(bool shown);

// Chooses window_res from the display's modes: 1280 x 720 when listed, else the
// largest. Any size will do; false only when there is no mode of any size.
bool d3d_choose_resolution();
// Sizes the window's client area to window_res, cut to what fits (frame included) in
// the usable desktop area, centres it there and sets the client centre and the mouse scale.
void d3d_window_apply_res();

// Where the 16:9 picture lies in a client area of width x height: as large as fits,
// centred, with black bars on the sides or above and below where the shapes differ.
struct picture_rect {
    int x, y, width, height;
};
picture_rect d3d_picture_rect(int width, int height);

// Stores the client resolution chosen at start-up (window_res); a null pointer raises an assertion.
void d3d_get_window_res(int *width, int *height);
// The factors that turn client pixels into framebuffer pixels.
void d3d_get_mouse_scale(float *x, float *y);
// The picture's top-left corner in client pixels (the width of a bar, or 0).
void d3d_get_mouse_offset(int *x, int *y);
// Recomputes the mouse scale and offset from the current client area and the picture's
// rectangle in it: (1280 / picture width, 720 / picture height), or 1 when the area is empty.
void d3d_window_update_mouse_scale();
// Moves the system cursor to the centre of the client area as placed at start-up.
void d3d_window_centre_system_cursor();
// The screen position of the client area's centre as placed at start-up.
void d3d_window_get_client_centre(int *x, int *y);
// Composes "Current Resolution: <w>x<h>" in scratch_string.
void d3d_window_res_string();

// Tests: set the resolution and the mouse scale without a window.
void d3d_window_set_for_test(int width, int height, float scale_x, float scale_y);
