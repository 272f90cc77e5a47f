// g_necrogram_palette.cpp -- the board's two palettes and the colour arithmetic that checks them
#include "game/board/g_necrogram_palette.h"

#include "engine/ec_settings.h"

#include <algorithm>
#include <cmath>

const necrogram_palette &necrogram_palette_now() {
    return settings_get().high_contrast ? necrogram_palette_high_contrast : necrogram_palette_usual;
}

namespace {

double linear(u32 colour, int shift) {
    const double c = ((colour >> shift) & 0xFF) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

u32 encoded(double c) {
    c = std::clamp(c, 0.0, 1.0);
    const double v = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    return (u32)std::lround(v * 255);
}

} // namespace

double necrogram_luminance(u32 colour) {
    return 0.2126 * linear(colour, 16) + 0.7152 * linear(colour, 8) + 0.0722 * linear(colour, 0);
}

double necrogram_contrast(u32 a, u32 b) {
    const double la = necrogram_luminance(a), lb = necrogram_luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

u32 necrogram_simulate(u32 colour, necrogram_vision vision) {
    static const double matrices[3][3][3] = {
        {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}},
        {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}},
        {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}},
    };
    if (vision == necrogram_vision_normal)
        return colour;
    const double(&m)[3][3] = matrices[vision - 1];
    const double rgb[3] = {linear(colour, 16), linear(colour, 8), linear(colour, 0)};
    u32 out = colour & 0xFF000000u;
    for (int i = 0; i < 3; ++i)
        out |= encoded(m[i][0] * rgb[0] + m[i][1] * rgb[1] + m[i][2] * rgb[2]) << (16 - 8 * i);
    return out;
}

double necrogram_colour_difference(u32 a, u32 b) {
    auto lab = [](u32 c, double out[3]) {
        const double r = linear(c, 16), g = linear(c, 8), bl = linear(c, 0);
        const double x = (0.4124 * r + 0.3576 * g + 0.1805 * bl) / 0.95047;
        const double y = 0.2126 * r + 0.7152 * g + 0.0722 * bl;
        const double z = (0.0193 * r + 0.1192 * g + 0.9505 * bl) / 1.08883;
        auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116; };
        out[0] = 116 * f(y) - 16;
        out[1] = 500 * (f(x) - f(y));
        out[2] = 200 * (f(y) - f(z));
    };
    double p[3], q[3];
    lab(a, p);
    lab(b, q);
    return std::sqrt((p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1]) + (p[2] - q[2]) * (p[2] - q[2]));
}
