// g_workshop_import.cpp -- PNG pictures scaled into cells and split by a threshold
#include "game/workshop/g_workshop_import.h"

#include "platform/pf_image.h"

#include <algorithm>

workshop_image workshop_image_from_pixels(int width, int height, const std::vector<u32> &pixels) {
    workshop_image image;
    image.width = width;
    image.height = height;
    image.darkness.resize(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        const u32 p = pixels[i];
        const u32 a = p >> 24, r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        // Brightness as the eye weighs the colours, over white paper where the pixel is clear.
        const u32 luma = (299 * r + 587 * g + 114 * b) / 1000;
        const u32 seen = (luma * a + 255 * (255 - a)) / 255;
        image.darkness[i] = (u8)(255 - seen);
    }
    return image;
}

bool workshop_image_read(const std::string &path, workshop_image *out, std::string *why) {
    int width = 0, height = 0;
    std::vector<u32> pixels;
    if (!platform_png_read(path, &width, &height, &pixels, why))
        return false;
    *out = workshop_image_from_pixels(width, height, pixels);
    return true;
}

void workshop_import_size(const workshop_image &image, int *width, int *height) {
    const int longest = std::min(20, std::max(image.width, image.height));
    if (image.width >= image.height) {
        *width = longest;
        *height = (int)((long long)longest * image.height / std::max(1, image.width));
    } else {
        *height = longest;
        *width = (int)((long long)longest * image.width / std::max(1, image.height));
    }
    *width = std::clamp(*width, workshop_min_size, workshop_max_size);
    *height = std::clamp(*height, workshop_min_size, workshop_max_size);
}

std::vector<u8> workshop_cell_darkness(const workshop_image &image, int width, int height) {
    std::vector<u8> cells((size_t)(width * height), 0);
    if (image.width <= 0 || image.height <= 0)
        return cells;
    for (int cy = 0; cy < height; ++cy)
        for (int cx = 0; cx < width; ++cx) {
            // The pixels whose centres fall in the cell; at least the one under its centre.
            int x0 = (int)((long long)cx * image.width / width), x1 = (int)((long long)(cx + 1) * image.width / width);
            int y0 = (int)((long long)cy * image.height / height),
                y1 = (int)((long long)(cy + 1) * image.height / height);
            x1 = std::max(x1, x0 + 1), y1 = std::max(y1, y0 + 1);
            x1 = std::min(x1, image.width), y1 = std::min(y1, image.height);
            unsigned long long sum = 0, count = 0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x, ++count)
                    sum += image.darkness[(size_t)y * image.width + x];
            cells[(size_t)(cy * width + cx)] = (u8)(count ? (sum + count / 2) / count : 0);
        }
    return cells;
}

int workshop_auto_threshold(const std::vector<u8> &darkness) {
    // Otsu's split: the threshold that makes the two groups' means furthest apart, weighed by their sizes.
    unsigned long long histogram[256] = {}, total = darkness.size(), sum = 0;
    for (u8 d : darkness) {
        ++histogram[d];
        sum += d;
    }
    double best = -1;
    int threshold = 128;
    unsigned long long below = 0, below_sum = 0;
    for (int t = 1; t < 256; ++t) {
        below += histogram[t - 1];
        below_sum += (unsigned long long)(t - 1) * histogram[t - 1];
        const unsigned long long above = total - below;
        if (below == 0 || above == 0)
            continue;
        const double mean_below = (double)below_sum / below, mean_above = (double)(sum - below_sum) / above;
        const double between = (double)below * above * (mean_above - mean_below) * (mean_above - mean_below);
        if (between > best) {
            best = between;
            threshold = t;
        }
    }
    return threshold;
}

workshop_picture workshop_threshold(const std::vector<u8> &darkness, int width, int height, int threshold) {
    workshop_picture p = workshop_blank(width, height);
    threshold = std::clamp(threshold, 1, 255);
    for (size_t i = 0; i < p.cells.size() && i < darkness.size(); ++i)
        p.cells[i] = darkness[i] >= threshold;
    return p;
}
