// pf_events.h -- the window message queue: input and window events as the game's messages
#pragma once

#include "platform/pf_keys.h"

#include <cstdint>
#include <string>
#include <vector>

// Message numbers and parameters are those the game's window procedure expects.
enum : std::uint32_t {
    msg_destroy = 0x0002,
    msg_size = 0x0005,
    msg_activate = 0x0006,
    msg_close = 0x0010,
    msg_quit = 0x0012,
    msg_keydown = 0x0100,
    msg_keyup = 0x0101,
    msg_char = 0x0102,
    msg_syskeydown = 0x0104,
    msg_syskeyup = 0x0105,
    msg_mousemove = 0x0200,
    msg_lbuttondown = 0x0201,
    msg_lbuttonup = 0x0202,
    msg_rbuttondown = 0x0204,
    msg_rbuttonup = 0x0205,
    msg_mousewheel = 0x020A,
    msg_dropfiles = 0x0233, // files dropped on the window: wparam names the drop
    msg_paddown = 0x0410,   // a pad's button (pf_pad.h) pressed: wparam the button, lparam 1 on a repeat
    msg_padup = 0x0411,     // and released
};

// msg_size parameters.
enum : std::uint32_t {
    size_restored = 0,
    size_minimized = 1,
    size_maximized = 2,
};

struct platform_message {
    std::uint32_t message;
    std::uint32_t wparam;
    std::int32_t lparam; // mouse: x in the low 16 bits, y in the high 16 bits (signed)
};

typedef std::intptr_t (*platform_window_proc)(const platform_message *msg);

// Routes every dispatched or sent message to proc.
void platform_set_window_proc(platform_window_proc proc);
// Empties the queue and forgets earlier close requests (each run starts afresh).
void platform_events_reset();
// True when a message is waiting (system events are translated on the way).
bool platform_peek_message();
// Waits up to ms milliseconds for a message (on the hand-driven clock, the wait
// advances it); true when one is waiting.
bool platform_wait_message(std::uint32_t ms);
// Takes the next message, waiting for one; false when it is msg_quit.
bool platform_get_message(platform_message *msg);
// Hands a message to the window procedure.
std::intptr_t platform_dispatch_message(const platform_message *msg);
// Calls the window procedure at once, as the system does for msg_destroy.
std::intptr_t platform_send_message(std::uint32_t message, std::uint32_t wparam, std::int32_t lparam);
// Queues msg_quit; the loop ends when it takes it.
void platform_post_quit_message();
// Queues a message behind those waiting (tests script input this way too).
void platform_post_message(std::uint32_t message, std::uint32_t wparam, std::int32_t lparam);

// The paths of a drop (a msg_dropfiles wparam), in the order they were dropped. A drop
// is given once: it is forgotten then (empty for a drop not known).
std::vector<std::string> platform_drop_take(std::uint32_t drop);
// Queues a drop of paths as msg_dropfiles, as dropping them on the window does (tests drop this way).
void platform_post_drop(const std::vector<std::string> &paths);

// Runs once per pass of the main loop (and of a wait that keeps the window alive), before
// it looks at the queue; not again from inside its own call. The shipped program has none;
// end-to-end tests script input and the clock from it.
typedef void (*platform_loop_hook)(void *context);
void platform_set_loop_hook(platform_loop_hook hook, void *context);
void platform_run_loop_hook();
