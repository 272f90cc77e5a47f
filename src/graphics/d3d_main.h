// d3d_main.h -- the graphics device: start-up checks, the frame, the device-bound modules
#pragma once

// Chooses the resolution, places the window, creates the renderer, checks it and runs
// the modules' init (framebuffer and layers, then overlay text). False after fatal
// start-up error 10 (no display list), 11 (no display mode of any size), 12 (no
// renderer) or 13 (renderer lacks streaming ARGB8888, blending or geometry); the
// renderer is gone again then, the window stays for the caller to destroy.
bool d3d_init();
// One frame: clear to opaque black, the modules' render in order, present. A frame
// where nothing changed (same framebuffer, layers, brightness and overlay text, and
// a window that needs no redraw) is skipped.
void d3d_render();
// Runs the modules' free in order and releases the renderer. Safe to call twice.
void d3d_free();
// True between a successful d3d_init and d3d_free.
bool d3d_device_exists();
