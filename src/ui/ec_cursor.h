// ec_cursor.h -- the cursor position, the frame timer and the F1 diagnostics panel
#pragma once

#include "engine/ec_types.h"

#include <cstdint>

// Converts a client-area position to framebuffer pixels (nearest, clamped) and keeps it.
void cursor_update_position(int x, int y);
// Stores the cursor position in framebuffer pixels; a null pointer raises an assertion.
void cursor_get_position(int *x, int *y);
// Moves the system cursor to the centre of the client area and keeps that position.
void cursor_centre();

// Whether the game window has the focus; while it has not, the timer gives no ticks.
void window_active_set(bool active);
bool window_active_get();
// Milliseconds the window has been inactive in all, counted from the activation changes
// (a clock of play subtracts them from the time since its start).
std::uint64_t window_inactive_ms();

// Starts the frame timer at the current tick count.
void frame_timer_start();
// Once per pass of the main loop: counts the pass and raises the 16 ms frame tick.
void frame_timer_update();
// The tick raised by the last frame_timer_update; screens clear it when they use it.
bool frame_tick_is_set();
void frame_tick_clear();
// Passes counted in the last completed second.
u32 frame_rate_get();
// The time one frame's update took, in milliseconds: with TOMBWEAVER_FRAME_LOG set the
// longest and the mean of each second are logged beside the frame rate.
void frame_timer_note_update(double ms);

// Composes "Allocations: ..  Used: ..MB  Avail: ..MB" in scratch_string.
void memory_status_text();
// Composes "cursor: ( x, y )" in scratch_string.
void cursor_text();

// The diagnostics panel: four strings at the top left, shown while diag_visible.
// Creates the four strings (from the start-up mode) and applies diag_visible.
void diag_strings_create();
// Sets the four strings' visibility to diag_visible.
void diag_strings_show();
// Toggles diag_visible and applies it (F1).
void diag_strings_toggle();
// Rewrites the four lines (frame rate, memory, resolution, cursor) while visible.
void diag_strings_update();
// Frees the four strings (from the exit mode).
void diag_strings_free();
bool diag_visible_get();
