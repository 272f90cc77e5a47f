// g_workshop_icons.h -- the Workshop's small square buttons: a slab, a frame by state, and an icon
#pragma once

#include "engine/ec_types.h"

enum workshop_icon : int {
    workshop_icon_pen,
    workshop_icon_line,
    workshop_icon_rect,
    workshop_icon_mirror_x,
    workshop_icon_mirror_y,
    workshop_icon_invert,
    workshop_icon_left,
    workshop_icon_up,
    workshop_icon_down,
    workshop_icon_right,
    workshop_icon_undo,
    workshop_icon_redo,
    workshop_icon_clear,
    workshop_icon_minus,
    workshop_icon_plus,
    workshop_num_icons,
};

// The button's colours: its slab, and its frame as it is pointed at or chosen.
constexpr u32 workshop_slab_colour = 0xFF2C2A3C;
constexpr u32 workshop_frame_colour = 0xFF6A6680;
constexpr u32 workshop_chosen_colour = 0xFFE8B848;
constexpr u32 workshop_focus_colour = 0xFFFFFF00;

// Draws a button of w x h pixels at (x, y) with an icon: state is the toolkit's
// (image_button_sprite_*); chosen lights its frame (a tool in use, a switch on).
void workshop_draw_icon_button(int icon, int x, int y, int w, int h, int state, bool chosen);
// Text at scale from (x, y), cut with "..." past max_width pixels; its advance.
int workshop_text(int x, int y, const char *text, u32 colour, int scale, int max_width = 1280);
int workshop_text_width(const char *text, int scale);
