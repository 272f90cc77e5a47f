// pf_video_backend.h -- the video backends: the start-up steps that differ between them
#pragma once

// A backend provides the steps below; pf_video calls them through the one in use and
// does everything else (textures, drawing, presenting) itself over SDL. A backend is
// chosen before start-up, not while a window exists.
//  - platform_video_sdl (pf_video.cpp): the real display, window and renderer;
//  - platform_video_null (pf_video_null.cpp): a display whose mode list and client
//    size a test gives, over SDL's window and renderer;
//  - platform_video_failing (pf_video_failing.cpp): one step fails, the others are
//    those of the null display or SDL.
struct platform_video_backend {
    bool (*init)();              // false: the video system does not start
    int (*display_mode_count)(); // -1: no display list
    bool (*display_mode)(int index, int *width, int *height);
    bool (*usable_bounds)(int *x, int *y, int *width, int *height);
    bool (*window_create)(const char *title, int width, int height);
    void (*window_client_size)(int *width, int *height);
    bool (*renderer_create)();
    bool (*renderer_check_caps)();
};

extern const platform_video_backend platform_video_sdl;
extern const platform_video_backend platform_video_null;
extern const platform_video_backend platform_video_failing;

// Makes b the backend of the next start-up (null: SDL).
void platform_video_use_backend(const platform_video_backend *b);
// The null display when a test gave it modes or a client size, else SDL; the failing
// backend runs over it.
const platform_video_backend *platform_video_base_backend();
// Chooses from what the tests asked for: failing over the base when a failure is set.
void platform_video_choose_backend();
bool platform_video_failing_wanted();
bool platform_video_null_wanted();
