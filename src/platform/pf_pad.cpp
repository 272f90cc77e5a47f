// pf_pad.cpp -- SDL game controllers turned into the game's pad messages
#include "platform/pf_pad.h"

#include "platform/pf_events.h"
#include "platform/pf_system.h"

#include <SDL.h>

#include <map>

namespace {

bool tried = false, ready = false;
std::map<SDL_JoystickID, SDL_GameController *> pads;

// What is held of each direction: by the d-pad, by the stick; when it repeats next.
struct direction {
    bool dpad = false, stick = false;
    std::uint32_t next_repeat = 0;
    bool held() const { return dpad || stick; }
};
direction directions[4]; // pad_up .. pad_right
bool pad_input = false;

// The stick counts past half way, and lets go under a third (so it does not flicker).
constexpr Sint16 stick_press = 16384, stick_release = 10923;

void post(std::uint32_t message, std::uint32_t button, bool repeat = false) {
    platform_post_message(message, button, repeat ? 1 : 0);
}

void open_pad(int device) {
    if (!SDL_IsGameController(device) || pads.count(SDL_JoystickGetDeviceInstanceID(device)))
        return;
    if (SDL_GameController *pad = SDL_GameControllerOpen(device))
        pads[SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad))] = pad;
}

// A direction held by the d-pad or the stick: its press when it first is, its release when neither holds it.
void set_direction(std::uint32_t button, bool dpad, bool on) {
    direction &d = directions[button - pad_up];
    const bool was = d.held();
    (dpad ? d.dpad : d.stick) = on;
    if (d.held() == was)
        return;
    if (d.held())
        d.next_repeat = platform_get_tick_count() + pad_repeat_delay_ms;
    post(d.held() ? msg_paddown : msg_padup, button);
}

void stick(Uint8 axis, Sint16 value) {
    const std::uint32_t less = axis == SDL_CONTROLLER_AXIS_LEFTX ? pad_left : pad_up;
    const std::uint32_t more = axis == SDL_CONTROLLER_AXIS_LEFTX ? pad_right : pad_down;
    for (std::uint32_t button : {less, more}) {
        const int toward = button == less ? -value : value;
        const bool held = directions[button - pad_up].stick;
        if (!held && toward >= stick_press)
            set_direction(button, false, true);
        else if (held && toward < stick_release)
            set_direction(button, false, false);
    }
}

std::uint32_t pad_button(Uint8 b) {
    switch (b) {
    case SDL_CONTROLLER_BUTTON_A: return pad_a;
    case SDL_CONTROLLER_BUTTON_B: return pad_b;
    case SDL_CONTROLLER_BUTTON_X: return pad_x;
    case SDL_CONTROLLER_BUTTON_Y: return pad_y;
    case SDL_CONTROLLER_BUTTON_BACK: return pad_back;
    case SDL_CONTROLLER_BUTTON_START: return pad_start;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return pad_left_shoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return pad_right_shoulder;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return pad_up;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return pad_down;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return pad_left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return pad_right;
    default: return num_pad_buttons;
    }
}

} // namespace

bool pad_open_all() {
    if (!tried) {
        tried = true;
        ready = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    }
    if (ready)
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            open_pad(i);
    return ready;
}

bool pad_translate(const SDL_Event &e) {
    switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED: open_pad(e.cdevice.which); return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (auto it = pads.find(e.cdevice.which); it != pads.end()) {
            SDL_GameControllerClose(it->second);
            pads.erase(it);
        }
        if (pads.empty()) // what the pad held is let go
            for (std::uint32_t b = pad_up; b <= pad_right; ++b) {
                set_direction(b, true, false);
                set_direction(b, false, false);
            }
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        const std::uint32_t button = pad_button(e.cbutton.button);
        const bool down = e.type == SDL_CONTROLLERBUTTONDOWN;
        if (button >= pad_up && button <= pad_right)
            set_direction(button, true, down);
        else if (button != num_pad_buttons)
            post(down ? msg_paddown : msg_padup, button);
        return true;
    }
    case SDL_CONTROLLERAXISMOTION:
        if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX || e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
            stick(e.caxis.axis, e.caxis.value);
        return true;
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
    case SDL_JOYAXISMOTION:
    case SDL_JOYBALLMOTION:
    case SDL_JOYHATMOTION:
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
    case SDL_CONTROLLERDEVICEREMAPPED: return true; // the controller events above say it the game's way
    default: return false;
    }
}

void pad_repeat() {
    const std::uint32_t now = platform_get_tick_count();
    for (std::uint32_t b = pad_up; b <= pad_right; ++b) {
        direction &d = directions[b - pad_up];
        if (d.held() && (std::int32_t)(now - d.next_repeat) >= 0) {
            d.next_repeat = now + pad_repeat_ms;
            post(msg_paddown, b, true);
        }
    }
}

void pad_reset() {
    for (direction &d : directions)
        d = direction{};
    pad_input = false;
}

void pad_note_input(std::uint32_t message) {
    switch (message) {
    case msg_paddown:
    case msg_padup: pad_input = true; break;
    case msg_keydown:
    case msg_mousemove:
    case msg_lbuttondown:
    case msg_rbuttondown: pad_input = false; break;
    default: break;
    }
}

bool platform_pad_in_use() { return pad_input; }

int platform_pads_connected() { return (int)pads.size(); }
