// pf_video.h -- the platform's video: display modes, the one game window, its renderer, textures
#pragma once

#include <cstddef>
#include <cstdint>

// What the graphics modules expect of a video backend (SDL2 here):
//  - one window and one renderer at a time, owned by this module;
//  - streaming 32-bit ARGB textures whose pixels this module keeps, so that they
//    come back by themselves after the renderer loses its textures;
//  - textured triangles with per-vertex colour, alpha-blended;
//  - reading back the composed frame, for tests.
// Colours are 32-bit words, alpha in bits 24-31, then red, green, blue.
// The start-up steps (video system, display modes, window, renderer) go through a
// backend chosen before start-up: SDL, or for tests a null display or a failing one
// (pf_video_backend.h).

// Starts the video system. False when it cannot start.
bool platform_video_init();
// Stops the video system (after the window and renderer are gone).
void platform_video_quit();

// Number of display modes of the first display, or -1 when the display list
// cannot be read or lists no mode with a size (no display). Injected lists (below) take its place in tests.
int platform_display_mode_count();
// Width and height of mode index; false when index is out of range.
bool platform_display_mode(int index, int *width, int *height);
// The desktop area not taken by panels and docks, in screen coordinates.
bool platform_display_usable_bounds(int *x, int *y, int *width, int *height);

// Creates the hidden game window with a client area of width x height. False on failure.
bool platform_window_create(const char *title, int width, int height);
// Destroys the window. While a renderer still draws into it, the system window
// is only hidden and goes when the renderer does.
void platform_window_destroy();
bool platform_window_exists();
// Sizes of the window frame around the client area (0 where the system has none).
void platform_window_borders(int *top, int *left, int *bottom, int *right);
// Places the client area's top-left corner at (x, y) and sizes it width x height.
void platform_window_place(int x, int y, int width, int height);
void platform_window_show();
// Gives the window an icon of width x height ARGB words (row stride width), copied.
// False when there is no window or the icon cannot be made.
bool platform_window_set_icon(const std::uint32_t *argb, int width, int height);
// Switches the window to desktop full screen or back to a window.
void platform_window_set_fullscreen(bool fullscreen);
// The current client area in window pixels (an injected size in tests).
void platform_window_client_size(int *width, int *height);

// Moves the mouse pointer to (x, y) in screen coordinates.
void platform_mouse_warp_global(int x, int y);
// Shows or hides the system cursor over the window.
void platform_cursor_show(bool shown);
bool platform_cursor_shown();

// Creates the renderer of the window. TOMBWEAVER_RENDERER=software or accelerated
// forces one (any other value is named on stderr as unknown); otherwise the software renderer draws straight into the
// window's surface wherever OpenGL is itself a software rasteriser (llvmpipe, softpipe, swrast) or missing, else the
// accelerated renderer with vertical sync. With SDL_RENDER_DRIVER set, SDL chooses. False when none can be made.
bool platform_renderer_create();
// Checks that the renderer streams ARGB8888 textures, blends and draws geometry.
bool platform_renderer_check_caps();
void platform_renderer_destroy();
bool platform_renderer_exists();
// True when presenting waits for the display's vertical retrace.
bool platform_renderer_vsync();
// The size of the picture the renderer presents, in window pixels.
void platform_renderer_output_size(int *width, int *height);
// The renderer's name ("software", "opengl", ...).
const char *platform_renderer_name();

// A texture of the renderer (opaque). Pixels written through lock / unlock are kept
// by this module (unless the texture is made with keep_pixels false) and restored
// when the renderer has to rebuild its textures.
struct platform_texture;

// Creates a width x height ARGB texture, alpha-blended, or opaque (alpha ignored,
// drawn as a plain copy); null on failure. Its pixels start transparent black.
platform_texture *platform_texture_create(int width, int height, bool keep_pixels, bool opaque = false);
void platform_texture_destroy(platform_texture *texture);
// Locks the whole texture for writing; *pitch receives the bytes from one row to
// Copies height rows of width pixels from src (src_stride pixels a row) to dst
// (dst_pitch bytes a row): one block copy when both are packed alike.
void platform_copy_rows(void *dst, std::size_t dst_pitch, const std::uint32_t *src, std::size_t src_stride, int width,
                        int height);
// the next. Null on failure.
std::uint32_t *platform_texture_lock(platform_texture *texture, int *pitch);
// Ends the write and hands the pixels to the renderer.
void platform_texture_unlock(platform_texture *texture);

struct platform_vertex {
    float x, y;           // window pixels
    std::uint32_t colour; // ARGB, multiplies the texture's colour and alpha
    float u, v;           // texture coordinates 0..1
};

// Starts a frame: restores lost textures and clears to colour. False on failure.
bool platform_render_clear(std::uint32_t colour);
// Draws a triangle list with texture (null: untextured), blended by alpha. False on failure.
bool platform_render_geometry(platform_texture *texture, const platform_vertex *vertices, int count);
// Draws the whole texture stretched over the rectangle, without blending. False on failure.
bool platform_render_copy(platform_texture *texture, int x, int y, int width, int height);
// Shows the frame (after keeping a copy when capture is on).
void platform_render_present();
// Stands for a present when the frame is unchanged and nothing is drawn.
void platform_render_skip();
// True when the window must be presented again although the picture is unchanged
// (first frame, exposed or resized window, lost textures).
bool platform_render_redraw_needed();
void platform_render_invalidate();

// Frame pacing on the game's clock: frames are spaced by 16 ms, whatever the driver
// claims about vsync.
// Milliseconds until the next frame is due (0: now).
std::uint32_t platform_frame_wait_ms();
// Starts a frame: the next one is due 16 ms after this one was (from now when late).
void platform_frame_start();
// Reads the composed frame (before present) into out, width x height words, row stride width.
bool platform_render_read(std::uint32_t *out, int width, int height);

// Tests. These choose the backend of the next start-up.
// Replaces the display's mode list by count (width, height) pairs; null restores the real one.
void platform_video_set_modes_for_test(const int (*modes)[2], int count);
// Makes one step fail, to reach its fatal start-up error.
enum platform_video_failure {
    platform_video_fail_none,
    platform_video_fail_init,         // the video system does not start
    platform_video_fail_window,       // no window
    platform_video_fail_display_list, // the display list cannot be read
    platform_video_fail_renderer,     // no renderer
    platform_video_fail_caps,         // the renderer lacks streaming ARGB, blending or geometry
};
void platform_video_fail_for_test(platform_video_failure failure);
// Reports this client size instead of the window's (0, 0: the real one).
void platform_video_set_client_size_for_test(int width, int height);
// While on, every present first reads the composed frame back and keeps it.
void platform_video_set_capture(bool on);
// The last kept frame (null before one), its size and the number of frames presented
// since capture was switched on.
const std::uint32_t *platform_video_captured_frame(int *width, int *height, std::uint32_t *frame_number);
// Throws away the renderer's copies of every texture, as a device reset does; the
// next frame restores them from the kept pixels.
void platform_video_lose_textures_for_test();
// The size of the icon the window was last given (0 x 0: none yet).
void platform_window_icon_size(int *width, int *height);
// The last position given to platform_mouse_warp_global.
void platform_mouse_last_warp(int *x, int *y);
