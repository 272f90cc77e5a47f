// g_workshop_import.h -- a PNG picture turned into cells: scaled to a size, then a threshold
#pragma once

#include "game/workshop/g_workshop_picture.h"

#include <string>
#include <vector>

// A picture read for import: how dark each pixel is (0 white .. 255 black), transparent
// pixels counting as the white paper under them.
struct workshop_image {
    int width = 0, height = 0;
    std::vector<u8> darkness;
};

// Reads a PNG file; false with the reason in *why.
bool workshop_image_read(const std::string &path, workshop_image *out, std::string *why);
// The image from 0xAARRGGBB pixels.
workshop_image workshop_image_from_pixels(int width, int height, const std::vector<u32> &pixels);

// The size the image's cells are first given: its shape, the longer side 20 cells (or the
// image's own pixels when fewer), each side kept within 5..30.
void workshop_import_size(const workshop_image &image, int *width, int *height);
// Each cell's darkness, width x height cells: the mean of the pixels the cell covers.
std::vector<u8> workshop_cell_darkness(const workshop_image &image, int width, int height);
// A threshold between the dark and the light cells (the one that best splits them in two).
int workshop_auto_threshold(const std::vector<u8> &darkness);
// The picture: a cell is filled when its darkness reaches the threshold (1..255).
workshop_picture workshop_threshold(const std::vector<u8> &darkness, int width, int height, int threshold);

// The Import Picture window over the Workshop: the picture as read and its cells side by
// side, the cells' width and height (-, +), the threshold's slider, Use and Cancel.
// Opening reads the PNG at path (a box tells why when it cannot be read: false). Use
// opens the cells in the Workshop as a new picture (after asking when the picture there
// has changes not saved).
bool workshop_import_open(const std::string &path);
bool workshop_import_is_open();
void workshop_import_close();
// The choices (tests): the cells' size and the threshold; and the cells they give.
void workshop_import_set(int width, int height, int threshold);
void workshop_import_get(int *width, int *height, int *threshold);
workshop_picture workshop_import_cells();
void workshop_import_use();
// The Workshop hands its input over while the window is open: Left and Right move the
// threshold (Shift: by 1), Up and Down the width (Shift: the height), Return uses,
// Escape cancels; a press on the slider moves it, and dragging with the button held.
void workshop_import_keydown(unsigned virtual_key);
void workshop_import_drag(int x, int y, bool held);
