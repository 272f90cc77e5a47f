// ec_ui.h -- UI toolkit: windows, text and image buttons, mouse focus and clicks
#pragma once

#include "engine/ec_strings.h"
#include "engine/ec_types.h"

// Window ids run from 100 to 131: at most 32 windows at a time.
constexpr dword ui_window_id_start = 100;
constexpr dword ui_window_id_end = 132;
constexpr int max_ui_windows = (int)(ui_window_id_end - ui_window_id_start);

// window_data.flags
constexpr dword window_flag_filled = 1; // the rectangle is filled opaque black
constexpr dword window_flag_framed = 2; // frame, caption bar and close button

// The caller's description of a window. ui_window_add copies what it needs; the
// record is not kept. The rectangle is inclusive on all four sides.
struct window_data {
    dword flags;
    dword caption_id; // string id of the caption; invalid_id: no caption
    s32 x1, y1, x2, y2;
    s32 scale;                  // pixel scale of the frame: one slice is 8 * scale pixels
    void (*draw)(int x, int y); // may be null: draws the contents, given their origin
    void (*on_remove)();        // may be null: called by ui_window_remove
};

// Element types.
enum : dword {
    ui_type_dynamic_button = 0,
    ui_type_image_button = 1,
    num_ui_element_types = 2,
};

// One element (button) of a window, owned by the toolkit. data points at the
// caller's button record, which is not copied.
struct ui_element {
    dword ui_type;
    void *data;
    dword win_id;
    bool active;        // inactive elements are neither drawn nor hit
    s32 x1, y1, x2, y2; // screen pixels, edges included in hit tests
    ui_element *next;   // the next older element of the same window
};

// One window, owned by the toolkit from ui_window_add to its removal.
struct ui_window {
    dword window_id;
    dword flags;
    safestring caption;
    s32 x1, y1, x2, y2;
    s32 scale;
    void (*draw)(int x, int y);
    void (*on_remove)();
    ui_element *elements; // newest first
    ui_window *next;      // the next older window
};

// Button flags (both records). The toolkit reads no other bit.
constexpr dword button_flag_down = 0x08000000;     // pressed; cleared on any release
constexpr dword button_flag_disabled = 0x80000000; // set by the caller

// Visual states; the state argument of an image button's draw callback.
enum : int {
    image_button_sprite_normal = 0,
    image_button_sprite_over = 1,
    image_button_sprite_down = 2,
    image_button_sprite_disabled = 3,
};

// A text button: a nine-piece frame of block_width + 4 slices around a label.
// Owned by the caller, in static storage for as long as its window exists; the
// toolkit points at it and writes its flags.
struct dynamic_button_data {
    dword string_id; // label, from the string table
    dword id;        // passed to on_click
    s32 x;           // centre, relative to the window's x1
    s32 y;           // top, relative to the window's y1
    s32 block_width; // label capacity in characters
    s32 scale;       // at least 1
    dword flags;
    void (*on_click)(dword id); // may be null: the button then ignores the mouse
};

// A button drawn by the caller's callback. Ownership as for text buttons.
struct image_button_data {
    dword id;
    s32 x, y; // top-left, relative to the window's x1, y1
    s32 width, height;
    dword flags;
    void (*draw)(dword id, int x, int y, int scale, int state); // may be null
    void (*on_click)(dword id);                                 // may be null
};

// The id of the close button that framed windows carry.
constexpr dword win_close_btn_id = 1;

// Loads the button and window sheets and the click sound. Once, at start-up.
void ui_load_gfx();
// Frees what ui_load_gfx loaded. Once, at exit.
void ui_free_gfx();

// Adds a window on top of the stack (a framed one with its close button) and
// refreshes the focus. Returns its id, or invalid_id after an assertion
// (null data, a framed rectangle that is not a whole number of slices of at
// least 4 x 4, a framed scale below 1, or all 32 ids in use).
dword ui_window_add(const window_data *data);
// Removes every window, then adds an unframed 1280 x 720 window with this draw
// callback (may be null). Returns its id.
dword ui_window_add_fullscreen(void (*draw)(int x, int y));
// Removes one window (calling its on_remove first) with its elements and
// recomputes the focus. An unknown id raises "found".
void ui_window_remove(dword id);
// Removes every window without calling on_remove; the focus becomes empty.
void ui_window_remove_all();
// The window with that id, or null after an assertion.
ui_window *ui_get_window_from_id(dword id);
// Returns a window id to the pool (ui_window_remove does this).
void set_window_id_available(dword id);
// Paints the whole stack into the framebuffer, oldest window first.
void ui_draw();

// A short note in the game's font at the foot of the screen for about a second, drawn by
// ui_draw (and the splash): what a switch (M, N, H, F11, ...) has just done. A newer
// note replaces the one shown.
void ui_note_show(const char *text);
// The note "<name> on" or "<name> off".
void ui_note_switch(const char *name, bool on);
// The note on show, empty once its second is over.
const char *ui_note_text();
// Draws the note on show into the framebuffer (nothing once it is over).
void ui_note_draw();

// A screen taking typed text (a name being written) sets this while it does: the keys
// that switch things on every screen (M, N) are then letters like the others.
void ui_text_entry_set(bool on);
bool ui_text_entry_on();

// Adds a text button to a window. The record must outlive the window. A refused
// button (assertion) is not added.
void dynamic_button_add(dword win_id, dynamic_button_data *button);
// Adds an image button to a window; it must lie inside the window (right and
// bottom edges strictly inside). A refused button (assertion) is not added.
void image_button_add(dword win_id, image_button_data *button);
// Sets button_flag_disabled on the record.
void image_button_disable(image_button_data *button);
// Shows or hides the elements of a button record (text or image) in every window: a hidden
// one is neither drawn nor hit, and gives up the focus.
void ui_button_set_shown(const void *button, bool shown);

// Recomputes the window and element under the cursor. True when the window
// under the cursor is the same as before.
bool ui_mousemove();
// A press (true) or release (false) of the left button, handed to the element
// under the cursor. True when the click was taken, or by the window rule when
// no element is under the cursor (true over no window or a newer window, false
// over the oldest window and when there is no window).
bool ui_lbutton(bool down);
// Clears button_flag_down on every button of every window.
void button_all_up();

// Keyboard focus. The focus is the element under the mouse, and a key may move it:
// ui_focus_button gives it to the element showing this button record (text or image)
// when that element is active, enabled and clickable; false, and no change, otherwise.
// The next mouse move takes the focus back to what is under the cursor.
bool ui_focus_button(const void *button);
// Clicks the focused button as a press and release over it would (a text button's
// click sound, then its on_click). False when nothing is focused or it is disabled.
// The handler may switch the screen: touch nothing of the screen afterwards.
bool ui_press_focus();
// The keys of a screen's buttons, given in the screen's order: Right, Down and Tab move
// the focus to the next button that can take it, Left, Up and Shift+Tab to the one
// before, wrapping round (from no focus: the first or the last); Return and Space press
// the focused one. True when the key was one of these.
bool ui_focus_key(unsigned virtual_key, const void *const *buttons, int count);

// The focus, read-only, for tests and screens: null when there is none.
const ui_window *ui_focus_window();
const ui_element *ui_focus_element();
