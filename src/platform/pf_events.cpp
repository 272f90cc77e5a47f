// pf_events.cpp -- SDL events translated into the game's window messages
#include "platform/pf_events.h"

#include "platform/pf_pad.h"
#include "platform/pf_system.h"
#include "platform/pf_video.h"

#include <SDL.h>

#include <deque>
#include <map>

namespace {

platform_window_proc window_proc = nullptr;
std::deque<platform_message> queue;
bool close_requested = false;
bool events_ready = false;

platform_loop_hook loop_hook = nullptr;

// Files dropped on the window: those of the drop under way, and the drops posted and not yet taken.
std::vector<std::string> dropping;
std::map<std::uint32_t, std::vector<std::string>> drops;
std::uint32_t next_drop = 1;

// Keys (and mouse buttons) down, by virtual key, as dispatched.
bool keys_held[256];
void *loop_hook_context = nullptr;

std::int32_t pack_xy(int x, int y) {
    return (std::int32_t)(((std::uint32_t)(y & 0xFFFF) << 16) | (std::uint32_t)(x & 0xFFFF));
}

// The buttons pressed in the window and not yet released (SDL masks), the last pointer
// position, and the buttons the game was told were released when the window lost its
// input (hidden, minimised, unfocused): the system's own release of those is not passed
// on, nor are they reported held, until they are pressed again.
std::uint32_t buttons_down = 0;
std::uint32_t buttons_let_go = 0;
std::int32_t last_xy = 0;
// Let-go buttons whose release SDL never saw (the window was away): SDL then drops
// the next press as a repeat, so their next release stands for a whole click.
std::uint32_t buttons_stale = 0;

std::uint32_t mouse_key_flags(std::uint32_t state) {
    state &= ~buttons_let_go;
    std::uint32_t flags = 0;
    if (state & SDL_BUTTON_LMASK)
        flags |= mk_lbutton;
    if (state & SDL_BUTTON_RMASK)
        flags |= mk_rbutton;
    return flags;
}

// The virtual-key number of an SDL key, or 0 for keys the game has no name for.
std::uint32_t virtual_key(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z)
        return (std::uint32_t)('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return (std::uint32_t)key;
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return vk_f1 + (std::uint32_t)(key - SDLK_F1);
    switch (key) {
    case SDLK_ESCAPE: return vk_escape;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return vk_return;
    case SDLK_SPACE: return vk_space;
    case SDLK_BACKSPACE: return 0x08;
    case SDLK_TAB: return vk_tab;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return vk_shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return vk_control;
    case SDLK_LALT:
    case SDLK_RALT: return 0x12;
    case SDLK_PAUSE: return 0x13;
    case SDLK_PAGEUP: return 0x21;
    case SDLK_PAGEDOWN: return 0x22;
    case SDLK_END: return 0x23;
    case SDLK_HOME: return 0x24;
    case SDLK_LEFT: return vk_left;
    case SDLK_UP: return vk_up;
    case SDLK_RIGHT: return vk_right;
    case SDLK_DOWN: return vk_down;
    case SDLK_INSERT: return 0x2D;
    case SDLK_DELETE: return 0x2E;
    default: return 0;
    }
}

void push(std::uint32_t message, std::uint32_t wparam, std::int32_t lparam) {
    queue.push_back({message, wparam, lparam});
}

// A close button press and a system quit request (SIGINT, SIGTERM) both close the
// game, once: after the first, the window is being torn down.
void push_close() {
    if (close_requested)
        return;
    close_requested = true;
    push(msg_close, 0, 0);
}

// A window that loses its input ends any stroke: the game is told the held buttons are up.
void let_go_of_buttons() {
    if (buttons_down & SDL_BUTTON_LMASK)
        push(msg_lbuttonup, 0, last_xy);
    if (buttons_down & SDL_BUTTON_RMASK)
        push(msg_rbuttonup, 0, last_xy);
    buttons_let_go |= buttons_down;
    buttons_down = 0;
}

// Back on screen: a let-go button that is up by now while SDL still holds it down had
// its release go elsewhere.
void find_stale_buttons() {
    const std::uint32_t held = SDL_GetGlobalMouseState(nullptr, nullptr);
    buttons_stale |= buttons_let_go & SDL_GetMouseState(nullptr, nullptr) & ~held;
}

// A button event as the game's messages: none for a let-go button's release, and a
// press before a stale one's.
void translate_button(const SDL_MouseButtonEvent &b, bool down) {
    const bool left = b.button == SDL_BUTTON_LEFT;
    if (!left && b.button != SDL_BUTTON_RIGHT)
        return;
    const std::uint32_t mask = SDL_BUTTON(b.button);
    last_xy = pack_xy(b.x, b.y);
    if (!down && (buttons_let_go & mask)) {
        buttons_let_go &= ~mask;
        if (!(buttons_stale & mask))
            return; // its stroke ended when the window lost its input
        buttons_stale &= ~mask;
        push(left ? msg_lbuttondown : msg_rbuttondown, mouse_key_flags(SDL_GetMouseState(nullptr, nullptr)), last_xy);
    }
    if (down) {
        buttons_let_go &= ~mask;
        buttons_stale &= ~mask;
        buttons_down |= mask;
    } else {
        buttons_down &= ~mask;
    }
    const std::uint32_t flags = mouse_key_flags(SDL_GetMouseState(nullptr, nullptr));
    if (down)
        push(left ? msg_lbuttondown : msg_rbuttondown, flags, last_xy);
    else
        push(left ? msg_lbuttonup : msg_rbuttonup, flags, last_xy);
}

// A drop's files arrive one event each, then the drop ends: one message for them all.
void post_drop(std::vector<std::string> paths) {
    if (paths.empty())
        return;
    const std::uint32_t drop = next_drop++;
    drops[drop] = std::move(paths);
    push(msg_dropfiles, drop, 0);
}

void translate(const SDL_Event &e) {
    switch (e.type) {
    case SDL_QUIT: push_close(); break;
    case SDL_WINDOWEVENT:
        // Exposed, resized, shown or restored: the window's contents are shown again.
        platform_render_invalidate();
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: push_close(); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            find_stale_buttons();
            push(msg_activate, 1, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            let_go_of_buttons();
            push(msg_activate, 0, 0);
            break;
        case SDL_WINDOWEVENT_HIDDEN: let_go_of_buttons(); break;
        case SDL_WINDOWEVENT_SHOWN: find_stale_buttons(); break;
        case SDL_WINDOWEVENT_MAXIMIZED: push(msg_size, size_maximized, pack_xy(e.window.data1, e.window.data2)); break;
        case SDL_WINDOWEVENT_MINIMIZED:
            let_go_of_buttons();
            push(msg_size, size_minimized, 0);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            find_stale_buttons();
            push(msg_size, size_restored, 0);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            SDL_Window *w = SDL_GetWindowFromID(e.window.windowID);
            bool maximized = w && (SDL_GetWindowFlags(w) & SDL_WINDOW_MAXIMIZED);
            push(msg_size, maximized ? size_maximized : size_restored, pack_xy(e.window.data1, e.window.data2));
            break;
        }
        default: break;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        std::uint32_t vk = virtual_key(e.key.keysym.sym);
        if (!vk)
            break;
        // A held key repeats only where repeating helps: the arrows that move a
        // cursor or a focus. Every other key acts once per press (a held M or F1
        // would otherwise flip its switch over and over).
        if (e.type == SDL_KEYDOWN && e.key.repeat && (vk < vk_left || vk > vk_down))
            break;
        // Alt combinations and F10 are system keys: the game never sees them.
        bool system = (e.key.keysym.mod & KMOD_ALT) || vk == vk_f10;
        if (e.type == SDL_KEYDOWN)
            push(system ? msg_syskeydown : msg_keydown, vk, 0);
        else
            push(system ? msg_syskeyup : msg_keyup, vk, 0);
        break;
    }
    case SDL_TEXTINPUT:
        for (const char *c = e.text.text; *c; ++c)
            push(msg_char, (std::uint32_t)(unsigned char)*c, 0);
        break;
    case SDL_MOUSEMOTION:
        last_xy = pack_xy(e.motion.x, e.motion.y);
        push(msg_mousemove, mouse_key_flags(e.motion.state), last_xy);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: translate_button(e.button, e.type == SDL_MOUSEBUTTONDOWN); break;
    case SDL_DROPFILE:
    case SDL_DROPTEXT:
        if (e.drop.file) {
            if (e.type == SDL_DROPFILE)
                dropping.push_back(e.drop.file);
            SDL_free(e.drop.file);
        }
        break;
    case SDL_DROPBEGIN: dropping.clear(); break;
    case SDL_DROPCOMPLETE:
        post_drop(std::move(dropping));
        dropping.clear();
        break;
    case SDL_MOUSEWHEEL: {
        std::int16_t delta = (std::int16_t)(e.wheel.y * 120);
        std::uint32_t flags = mouse_key_flags(SDL_GetMouseState(nullptr, nullptr));
        push(msg_mousewheel, ((std::uint32_t)(std::uint16_t)delta << 16) | flags, 0);
        break;
    }
    default: break;
    }
}

// Moves system events into the queue until one becomes a message or none is left.
void pump() {
    if (!events_ready) {
        if (!SDL_WasInit(SDL_INIT_EVENTS))
            SDL_InitSubSystem(SDL_INIT_EVENTS);
        events_ready = true;
        pad_open_all();
    }
    pad_repeat();
    SDL_Event e;
    while (queue.empty() && SDL_PollEvent(&e))
        if (!pad_translate(e))
            translate(e);
}

} // namespace

void platform_set_window_proc(platform_window_proc proc) { window_proc = proc; }

void platform_events_reset() {
    queue.clear();
    for (bool &held : keys_held)
        held = false;
    buttons_down = buttons_let_go = buttons_stale = 0;
    close_requested = false;
    dropping.clear();
    drops.clear();
    pad_reset();
    if (SDL_WasInit(SDL_INIT_EVENTS))
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    if (events_ready)
        pad_open_all(); // pads plugged in since, whose news the flush took
}

bool platform_peek_message() {
    if (queue.empty())
        pump();
    return !queue.empty();
}

bool platform_wait_message(std::uint32_t ms) {
    if (platform_peek_message())
        return true;
    if (platform_clock_is_manual()) {
        platform_sleep(ms);
        return platform_peek_message();
    }
    if (!SDL_WaitEventTimeout(nullptr, (int)ms))
        return false;
    return platform_peek_message();
}

bool platform_get_message(platform_message *msg) {
    while (queue.empty()) {
        pump();
        if (queue.empty())
            SDL_WaitEventTimeout(nullptr, 10);
    }
    *msg = queue.front();
    queue.pop_front();
    return msg->message != msg_quit;
}

namespace {

// Follows the keys and buttons as their messages go out, the way the system's key state does.
void track_key_state(const platform_message *msg) {
    const std::uint32_t key = msg->wparam & 0xFF;
    switch (msg->message) {
    case msg_keydown:
    case msg_syskeydown: keys_held[key] = true; break;
    case msg_keyup:
    case msg_syskeyup: keys_held[key] = false; break;
    case msg_lbuttondown:
    case msg_lbuttonup: keys_held[vk_lbutton] = msg->message == msg_lbuttondown; break;
    case msg_rbuttondown:
    case msg_rbuttonup: keys_held[vk_rbutton] = msg->message == msg_rbuttondown; break;
    case msg_activate:
        if (msg->wparam == 0) // the releases go to another window now
            for (bool &held : keys_held)
                held = false;
        break;
    default: break;
    }
}

} // namespace

std::intptr_t platform_dispatch_message(const platform_message *msg) {
    track_key_state(msg);
    pad_note_input(msg->message);
    return window_proc ? window_proc(msg) : 0;
}

bool platform_key_held(std::uint32_t virtual_key) { return virtual_key < 256 && keys_held[virtual_key]; }

std::intptr_t platform_send_message(std::uint32_t message, std::uint32_t wparam, std::int32_t lparam) {
    platform_message msg = {message, wparam, lparam};
    return platform_dispatch_message(&msg);
}

void platform_post_quit_message() { push(msg_quit, 0, 0); }

void platform_post_message(std::uint32_t message, std::uint32_t wparam, std::int32_t lparam) {
    push(message, wparam, lparam);
}

std::vector<std::string> platform_drop_take(std::uint32_t drop) {
    std::vector<std::string> paths;
    auto it = drops.find(drop);
    if (it != drops.end()) {
        paths = std::move(it->second);
        drops.erase(it);
    }
    return paths;
}

void platform_post_drop(const std::vector<std::string> &paths) { post_drop(paths); }

void platform_set_loop_hook(platform_loop_hook hook, void *context) {
    loop_hook = hook;
    loop_hook_context = context;
}

void platform_run_loop_hook() {
    // A loop inside the hook's own call (a wait the hook's step started) runs without it.
    static bool running = false;
    if (!loop_hook || running)
        return;
    running = true;
    loop_hook(loop_hook_context);
    running = false;
}
