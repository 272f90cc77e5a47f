// d3d_gfx2d.cpp -- the software framebuffer, its primitives, bitmap-font text, background layers
#include "graphics/d3d_gfx2d.h"

#include "engine/ec_assert.h"
#include "engine/ec_data_set.h"
#include "engine/ec_memory.h"
#include "graphics/d3d_kzb.h"
#include "graphics/d3d_kzg.h"
#include "graphics/d3d_main.h"
#include "graphics/d3d_window.h"
#include "platform/pf_video.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define TW_COMPOSE_AVX2 1
#else
#define TW_COMPOSE_AVX2 0
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr u32 opaque_black = 0xFF000000u;
constexpr u32 screen_bytes = (u32)screen_width * (u32)screen_height * 4u;
constexpr int font_glyph_height = 8;
// The sheet's cells: characters 33..126, then the Latin-1 characters 160..255.
constexpr int font_num_ascii_glyphs = 94;
constexpr int font_num_glyphs = font_num_ascii_glyphs + 96;

struct clip_rect {
    s32 clip_left, clip_top, clip_right, clip_bottom;
};

u32 *screen_buffer = NULL;
clip_rect screen_clip = {0, 0, screen_width, screen_height};
// The composed picture: layers and framebuffer drawn on the CPU, shown as one opaque quad.
platform_texture *offscreen_texture = NULL;
// The framebuffer quad in framebuffer pixels; its colour is the brightness grey.
platform_vertex offscreen_vb[6];

struct background_layer {
    // The picture's pixels, row stride width; null: slot free. A picture whose alpha is
    // only 0 or 255 (as kzb pictures are) is kept as drawn over black, with its clear
    // pixels marked in clear: then it is itself the base when it is the only layer.
    u32 *texture;
    std::vector<bool> clear;
    const platform_vertex *vertices; // the quad, in framebuffer pixels; null: slot free
    u32 primitive_count;
    s32 width, height;
    platform_vertex quad[6];
};
background_layer background_layers[max_background_layers];
s32 num_background_layers = 0;

// The layers composed over opaque black, rebuilt when a layer comes or goes; a single
// opaque layer covering the picture is used as it is (layers_base).
std::vector<u32> layers_composed;
const u32 *layers_base = NULL;
bool layers_changed = true;
// The framebuffer as last composed, and the brightness then: rows that match are not
// composed again, and a frame where nothing changed is not presented.
std::vector<u32> last_composed;
u32 last_brightness_grey = 0xFFFFFFFFu;

// Pixels lo..hi-1 of a row; empty when hi <= lo (none_drawn when nothing was).
struct row_span {
    std::int16_t lo, hi;
};
// What drawing touched since the last clear: outside its row's span a row still holds
// the clear colour. Until the first clear, and after the buffer was handed out for
// writing anywhere, every span is the whole row.
constexpr row_span none_drawn = {(std::int16_t)screen_width, 0};
row_span drawn[screen_height];
u32 clear_colour = 0;
bool cleared = false;
// The spans and clear colour of the last composed frame: outside them last_composed
// holds that clear colour, so a row part that is clear in both frames is not read.
row_span last_drawn[screen_height];
u32 last_clear_colour = 0;
bool last_cleared = false;

void touch_all() {
    for (row_span &s : drawn)
        s = {0, (std::int16_t)screen_width};
}

// Records x0..x1 x y0..y1 (inclusive, clamped to the picture) as drawn on.
void touch(long long x0, long long y0, long long x1, long long y1) {
    x0 = std::max<long long>(x0, 0);
    y0 = std::max<long long>(y0, 0);
    x1 = std::min<long long>(x1, screen_width - 1);
    y1 = std::min<long long>(y1, screen_height - 1);
    if (x0 > x1 || y0 > y1)
        return;
    const std::int16_t lo = (std::int16_t)x0, hi = (std::int16_t)(x1 + 1);
    for (long long y = y0; y <= y1; ++y) {
        drawn[y].lo = std::min(drawn[y].lo, lo);
        drawn[y].hi = std::max(drawn[y].hi, hi);
    }
}

kzg_sprite_data font_sprites = {};

// Advance widths of characters 32..126 in unscaled pixels.
const u8 font_kern_table[95] = {
    5, 2, 4, 6, 5, 6, 6, 2, 3, 3, 4, 4, 2, 4, 2, 6, // space ! " # $ % & ' ( ) * + , - . /
    5, 3, 5, 5, 5, 5, 5, 5, 5, 5, 2, 2, 4, 4, 4, 5, // 0-9 : ; < = > ?
    6, 5, 5, 4, 5, 4, 4, 5, 5, 4, 5, 5, 4, 6, 5, 5, // @ A-O
    5, 5, 5, 5, 4, 5, 6, 6, 5, 5, 4, 3, 6, 3, 4, 4, // P-Z [ \ ] ^ _
    3, 5, 5, 4, 5, 5, 4, 5, 5, 2, 3, 5, 2, 6, 5, 5, // ` a-o
    5, 5, 4, 5, 4, 5, 6, 6, 4, 5, 5, 4, 2, 4, 5,    // p-z { | } ~
};
// Advance widths of the Latin-1 characters 160..255 (tools/assetgen/fonts.py, latin1_advances).
const u8 font_latin1_kern_table[96] = {
    5, 2, 5, 5, 6, 6, 2, 5, 4, 7, 4, 5, 5, 4, 8, 4, 4, 4, 4, 4, 3, 5, 6, 2, 3, 3, 4, 5, 7, 7, 7, 5,
    5, 5, 5, 5, 5, 5, 6, 4, 4, 4, 4, 4, 4, 4, 4, 4, 6, 5, 5, 5, 5, 5, 5, 4, 5, 5, 5, 5, 5, 5, 5, 5,
    5, 5, 5, 5, 5, 5, 6, 4, 5, 5, 5, 5, 3, 3, 4, 4, 5, 5, 5, 5, 5, 5, 5, 4, 5, 5, 5, 5, 5, 5, 5, 5,
};

// Fills the quad with corners (0, 0) and (w, h): two triangles sharing the top-left
// to bottom-right diagonal, counter-clockwise on screen, one colour.
void build_quad(platform_vertex *q, float w, float h, u32 colour) {
    const platform_vertex corners[6] = {
        {0, 0, colour, 0, 0}, {0, h, colour, 0, 1}, {w, h, colour, 1, 1},
        {0, 0, colour, 0, 0}, {w, h, colour, 1, 1}, {w, 0, colour, 1, 0},
    };
    std::memcpy(q, corners, sizeof corners);
}

// x / 255 rounded to nearest, for x up to 255 * 255.
inline u32 div255(u32 x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// src over dst with src's alpha, per channel; the result is opaque.
inline u32 blend_over(u32 src, u32 dst) {
    u32 a = src >> 24;
    if (a == 0xFF)
        return src | 0xFF000000u;
    if (a == 0)
        return dst;
    u32 na = 255 - a;
    u32 r = div255(((src >> 16) & 0xFF) * a + ((dst >> 16) & 0xFF) * na);
    u32 g = div255(((src >> 8) & 0xFF) * a + ((dst >> 8) & 0xFF) * na);
    u32 b = div255((src & 0xFF) * a + (dst & 0xFF) * na);
    return 0xFF000000u | r << 16 | g << 8 | b;
}

// The colour multiplied channel by channel by the grey v (alpha kept).
inline u32 modulate(u32 c, u32 v) {
    return (c & 0xFF000000u) | (((c >> 16) & 0xFF) * v / 255) << 16 | (((c >> 8) & 0xFF) * v / 255) << 8 |
           (c & 0xFF) * v / 255;
}

// A layer that alone makes the base: exactly the picture's width, at least its height,
// kept as drawn over black.
bool covers_as_base(const background_layer &l) {
    return l.width == screen_width && l.height >= screen_height && !l.clear.empty();
}

// Black, then every layer in slot order at the top-left, each by its own alpha.
void compose_layers() {
    layers_changed = false;
    const background_layer *only = NULL;
    int count = 0;
    for (const background_layer &l : background_layers)
        if (l.texture && l.vertices && ++count == 1)
            only = &l;
    if (count == 1 && covers_as_base(*only)) {
        layers_composed.clear();
        layers_composed.shrink_to_fit();
        layers_base = only->texture;
        return;
    }
    layers_composed.assign((std::size_t)screen_width * screen_height, opaque_black);
    layers_base = layers_composed.data();
    for (const background_layer &l : background_layers) {
        if (!l.texture || !l.vertices)
            continue;
        int w = std::min<int>(l.width, screen_width), h = std::min<int>(l.height, screen_height);
        for (int y = 0; y < h; ++y) {
            const std::size_t row = (std::size_t)y * (std::size_t)l.width;
            u32 *dst = layers_composed.data() + (std::size_t)y * screen_width;
            for (int x = 0; x < w; ++x)
                if (l.clear.empty() || !l.clear[row + (std::size_t)x])
                    dst[x] = blend_over(l.texture[row + (std::size_t)x], dst[x]);
        }
    }
}

// Four pixels at a time (GCC and Clang vector extensions: SSE2 on x86-64, NEON on ARM).
typedef u32 u32x4 __attribute__((vector_size(16)));
typedef s32 s32x4 __attribute__((vector_size(16)));

inline u32x4 load4(const u32 *p) {
    u32x4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store4(u32 *p, u32x4 v) { std::memcpy(p, &v, sizeof v); }

// Sixteen pixels, one cache line of a row.
constexpr int compose_group = 16;
static_assert(screen_width % compose_group == 0);

inline bool any_bits(u32x4 v) {
#if defined(__SSE2__)
    return _mm_movemask_epi8(_mm_cmpeq_epi8((__m128i)v, _mm_setzero_si128())) != 0xFFFF;
#else
    return (v[0] | v[1] | v[2] | v[3]) != 0;
#endif
}

// The pixels of a group that are not all clear or opaque, or whose brightness is not
// full, blended one by one.
void blend_group(u32 *out, const u32 *fb, const u32 *base, u32 v) {
    for (int i = 0; i < compose_group; ++i)
        out[i] = blend_over(v == 255 ? fb[i] : modulate(fb[i], v), base[i]);
}

// One row of the picture: the framebuffer, darkened by v, over the composed layers,
// into out; last holds the framebuffer row as last composed and is brought up to
// date; n pixels, a multiple of 16. Unless whole, a group of 16 pixels equal to last
// is left as it is in out.
// Where no pixel of a group is half transparent, each is the framebuffer's (opaque)
// or the layers' (clear), chosen by mask; the others are blended one by one.
void compose_row_portable(u32 *out, const u32 *fb, u32 *last, const u32 *base, int n, u32 v, bool whole) {
    for (int x = 0; x < n; x += compose_group) {
        u32x4 c[4], diff = {0, 0, 0, 0};
        for (int k = 0; k < 4; ++k) {
            c[k] = load4(fb + x + 4 * k);
            diff |= c[k] ^ load4(last + x + 4 * k);
        }
        const bool same = !any_bits(diff);
        if (same && !whole)
            continue;
        if (!same)
            for (int k = 0; k < 4; ++k)
                store4(last + x + 4 * k, c[k]);
        // The alpha sign-extended: 0 when clear, all ones when opaque, else half transparent.
        s32x4 alpha[4], mixed = {0, 0, 0, 0};
        for (int k = 0; k < 4; ++k) {
            alpha[k] = (s32x4)c[k] >> 24;
            mixed |= alpha[k] ^ ((s32x4)c[k] >> 31);
        }
        if (v != 255 || any_bits((u32x4)mixed)) {
            blend_group(out + x, fb + x, base + x, v);
            continue;
        }
        for (int k = 0; k < 4; ++k) {
            u32x4 opaque = (u32x4)alpha[k];
            store4(out + x + 4 * k, (c[k] & opaque) | (load4(base + x + 4 * k) & ~opaque));
        }
    }
}

#if TW_COMPOSE_AVX2
// The same, eight pixels at a time, on processors that have AVX2.
__attribute__((target("avx2"))) void compose_row_avx2(u32 *out, const u32 *fb, u32 *last, const u32 *base, int n, u32 v,
                                                      bool whole) {
    for (int x = 0; x < n; x += compose_group) {
        const __m256i c0 = _mm256_loadu_si256((const __m256i *)(fb + x));
        const __m256i c1 = _mm256_loadu_si256((const __m256i *)(fb + x + 8));
        const __m256i diff = _mm256_or_si256(_mm256_xor_si256(c0, _mm256_loadu_si256((const __m256i *)(last + x))),
                                             _mm256_xor_si256(c1, _mm256_loadu_si256((const __m256i *)(last + x + 8))));
        const bool same = _mm256_testz_si256(diff, diff);
        if (same && !whole)
            continue;
        if (!same) {
            _mm256_storeu_si256((__m256i *)(last + x), c0);
            _mm256_storeu_si256((__m256i *)(last + x + 8), c1);
        }
        const __m256i a0 = _mm256_srai_epi32(c0, 24), a1 = _mm256_srai_epi32(c1, 24);
        const __m256i mixed = _mm256_or_si256(_mm256_xor_si256(a0, _mm256_srai_epi32(c0, 31)),
                                              _mm256_xor_si256(a1, _mm256_srai_epi32(c1, 31)));
        if (v != 255 || !_mm256_testz_si256(mixed, mixed)) {
            blend_group(out + x, fb + x, base + x, v);
            continue;
        }
        _mm256_storeu_si256((__m256i *)(out + x),
                            _mm256_blendv_epi8(_mm256_loadu_si256((const __m256i *)(base + x)), c0, a0));
        _mm256_storeu_si256((__m256i *)(out + x + 8),
                            _mm256_blendv_epi8(_mm256_loadu_si256((const __m256i *)(base + x + 8)), c1, a1));
    }
}
#endif

typedef void compose_row_fn(u32 *out, const u32 *fb, u32 *last, const u32 *base, int n, u32 v, bool whole);

// The widest row composer this processor runs.
compose_row_fn *pick_compose_row() {
#if TW_COMPOSE_AVX2
    // Run from a static initialiser: the feature table may not be filled in yet.
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2"))
        return compose_row_avx2;
#endif
    return compose_row_portable;
}

compose_row_fn *compose_row = pick_compose_row();

bool inside_x(long long x) { return x >= screen_clip.clip_left && x < screen_clip.clip_right; }
bool inside_y(long long y) { return y >= screen_clip.clip_top && y < screen_clip.clip_bottom; }

void plot(long long x, long long y, u32 colour) {
    if (inside_x(x) && inside_y(y))
        screen_buffer[y * screen_width + x] = colour;
}

// Fills the part of x0..x1 x y0..y1 (inclusive) inside the clip rectangle.
void fill_clipped(long long x0, long long y0, long long x1, long long y1, u32 colour) {
    x0 = std::max<long long>(x0, screen_clip.clip_left);
    y0 = std::max<long long>(y0, screen_clip.clip_top);
    x1 = std::min<long long>(x1, screen_clip.clip_right - 1);
    y1 = std::min<long long>(y1, screen_clip.clip_bottom - 1);
    if (x0 > x1 || y0 > y1)
        return;
    touch(x0, y0, x1, y1);
    for (long long y = y0; y <= y1; ++y)
        std::fill_n(screen_buffer + y * screen_width + x0, x1 - x0 + 1, colour);
}

bool have_buffer() { return ec_assert(screen_buffer); }

// A window smaller than the picture gets it shrunk by area averaging: each window pixel
// is the mean of the framebuffer pixels it covers, so one-pixel lines never drop out
// (as they do when pixels are merely picked). The composed picture is kept whole in
// full_picture and the shrunk one goes to its own texture, drawn one to one.
struct shrink_axis {
    // Per output pixel: the first source pixel and the weight of each source pixel it
    // covers (the overlap in units of 1/destination; they add up to the source size).
    std::vector<int> first, count, weights;
    int source = 0, destination = 0;

    void build(int src, int dst) {
        source = src;
        destination = dst;
        first.assign((std::size_t)dst, 0);
        count.assign((std::size_t)dst, 0);
        weights.clear();
        for (int i = 0; i < dst; ++i) {
            const long long lo = (long long)i * src, hi = (long long)(i + 1) * src;
            first[(std::size_t)i] = (int)(lo / dst);
            for (long long k = lo / dst; k * dst < hi; ++k) {
                weights.push_back((int)(std::min((k + 1) * dst, hi) - std::max(k * dst, lo)));
                ++count[(std::size_t)i];
            }
        }
    }
};

struct shrunk_picture {
    platform_texture *texture = NULL;
    int width = 0, height = 0;
    shrink_axis x, y;
    std::vector<u32> full_picture;          // the composed picture at full size
    std::vector<u32> row_sums, column_sums; // per channel, three words a pixel
} shrunk;

void shrunk_release() {
    if (shrunk.texture)
        platform_texture_destroy(shrunk.texture);
    shrunk = shrunk_picture{};
}

// Readies the shrunk texture for a picture of width x height; false when none is needed
// (the window holds the picture at full size or larger) or it cannot be made.
bool shrunk_prepare(int width, int height, bool *remade) {
    *remade = false;
    if (width <= 0 || height <= 0 || width > screen_width || height > screen_height ||
        (width == screen_width && height == screen_height)) {
        if (shrunk.texture) {
            shrunk_release();
            *remade = true; // the full-size texture missed the frames in between
        }
        return false;
    }
    if (shrunk.texture && shrunk.width == width && shrunk.height == height)
        return true;
    shrunk_release();
    shrunk.texture = platform_texture_create(width, height, false, true);
    if (!shrunk.texture)
        return false;
    shrunk.width = width;
    shrunk.height = height;
    shrunk.x.build(screen_width, width);
    shrunk.y.build(screen_height, height);
    shrunk.full_picture.assign((std::size_t)screen_width * screen_height, opaque_black);
    shrunk.row_sums.assign((std::size_t)width * 3, 0);
    shrunk.column_sums.assign((std::size_t)width * 3, 0);
    *remade = true;
    return true;
}

// One source row weighted along x into sums (three words an output pixel): red and blue
// side by side in one 64-bit word, green alone.
void shrink_row_across(const u32 *src, u32 *sums) {
    const shrink_axis &ax = shrunk.x;
    const int *weight = ax.weights.data();
    for (int i = 0; i < shrunk.width; ++i) {
        std::uint64_t rb = 0;
        u32 g = 0;
        const u32 *p = src + ax.first[(std::size_t)i];
        for (int k = 0, count = ax.count[(std::size_t)i]; k < count; ++k) {
            const u32 w = (u32)*weight++, c = p[k];
            rb += ((std::uint64_t)(c & 0xFF0000u) << 16 | (c & 0xFFu)) * w;
            g += ((c >> 8) & 0xFF) * w;
        }
        sums[3 * i] = (u32)(rb >> 32);
        sums[3 * i + 1] = g;
        sums[3 * i + 2] = (u32)rb;
    }
}

// Output rows first_row to last_row, from full_picture into the shrunk texture. Each
// source row is weighted along x once (the row shared by two output rows is kept).
void shrink_rows(int first_row, int last_row) {
    int pitch = 0;
    u32 *pixels = platform_texture_lock(shrunk.texture, &pitch);
    if (!pixels) {
        d3d_check(d3derr_invalidcall);
        return;
    }
    const shrink_axis &ay = shrunk.y;
    // Division by the area as a multiplication: sums stay below 2^28, the factor below 2^22.
    const std::uint64_t area = (std::uint64_t)shrunk.x.source * (std::uint64_t)ay.source;
    const std::uint64_t reciprocal = ((std::uint64_t)1 << 40) / area + 1;
    auto channel = [&](u32 sum) { return (u32)(((std::uint64_t)sum + area / 2) * reciprocal >> 40); };
    std::size_t wy = 0;
    for (int j = 0; j < first_row; ++j)
        wy += (std::size_t)ay.count[(std::size_t)j];
    int across_row = -1; // the source row whose sums row_sums holds
    const std::size_t n = (std::size_t)shrunk.width * 3;
    for (int j = first_row; j <= last_row; ++j) {
        std::fill(shrunk.column_sums.begin(), shrunk.column_sums.end(), 0u);
        for (int k = 0; k < ay.count[(std::size_t)j]; ++k, ++wy) {
            const int row = ay.first[(std::size_t)j] + k;
            if (row != across_row) {
                shrink_row_across(shrunk.full_picture.data() + (std::size_t)row * screen_width, shrunk.row_sums.data());
                across_row = row;
            }
            const u32 w = (u32)ay.weights[wy];
            for (std::size_t i = 0; i < n; ++i)
                shrunk.column_sums[i] += shrunk.row_sums[i] * w;
        }
        u32 *out = (u32 *)((u8 *)pixels + (std::size_t)j * (std::size_t)pitch);
        const u32 *sum = shrunk.column_sums.data();
        for (int i = 0; i < shrunk.width; ++i, sum += 3)
            out[i] = opaque_black | channel(sum[0]) << 16 | channel(sum[1]) << 8 | channel(sum[2]);
    }
    platform_texture_unlock(shrunk.texture);
}

} // namespace

void d3d_gfx2d_init() {
    if (!ec_assert(!offscreen_texture) || !ec_assert(!screen_buffer) ||
        !ec_assert_text(d3d_device_exists(), "d3d_device"))
        return;
    // The picture is composed into its texture, which keeps no copy: after a loss the
    // next frame composes it whole again.
    offscreen_texture = platform_texture_create(screen_width, screen_height, false, true);
    if (!ec_assert(offscreen_texture))
        return;
    build_quad(offscreen_vb, (float)screen_width, (float)screen_height, 0xFFFFFFFFu);
    screen_buffer = (u32 *)ZEL_MALLOC(screen_bytes, "screen_buffer");
    if (!ec_assert(screen_buffer)) {
        platform_texture_destroy(offscreen_texture);
        offscreen_texture = NULL;
        return;
    }
    num_background_layers = 0;
    for (background_layer &l : background_layers) {
        l.texture = NULL;
        l.vertices = NULL;
        l.primitive_count = 0;
    }
    layers_changed = true;
    last_composed.assign((std::size_t)screen_width * screen_height, 0u);
    last_brightness_grey = 0xFFFFFFFFu;
    touch_all();
    std::memcpy(last_drawn, drawn, sizeof drawn);
    cleared = false;
    last_cleared = false;
    d3d_kzg_load_data(asset_retro_font, &font_sprites);
    screen_clip = {0, 0, screen_width, screen_height};
}

bool d3d_gfx2d_upload(bool whole) {
    if (!ec_assert(offscreen_texture) || !ec_assert(screen_buffer))
        return false;
    const u32 grey = offscreen_vb[0].colour & 0xFF;
    int out_w = 0, out_h = 0;
    platform_renderer_output_size(&out_w, &out_h);
    const picture_rect place = d3d_picture_rect(out_w, out_h);
    bool remade = false;
    const bool shrinking = shrunk_prepare(place.width, place.height, &remade);
    if (remade)
        whole = true;
    if (layers_changed) {
        compose_layers();
        whole = true;
    }
    // Before a clear every span is the whole row, so only two clear colours need a look.
    if (grey != last_brightness_grey || (cleared && last_cleared && clear_colour != last_clear_colour))
        whole = true;
    // Per row, the 16-pixel groups drawn on in this frame or the last: outside them both
    // frames hold the same clear colour. Unless whole, only they are compared.
    static int from[screen_height], to[screen_height];
    for (int y = 0; y < screen_height; ++y) {
        const row_span a = drawn[y], b = last_drawn[y];
        int lo = screen_width, hi = 0;
        if (a.hi > a.lo)
            lo = a.lo, hi = a.hi;
        if (b.hi > b.lo)
            lo = std::min<int>(lo, b.lo), hi = std::max<int>(hi, b.hi);
        if (whole)
            lo = 0, hi = screen_width;
        from[y] = lo < hi ? lo / compose_group * compose_group : 0;
        to[y] = lo < hi ? (hi + compose_group - 1) / compose_group * compose_group : 0;
    }
    const auto remember_spans = [] {
        std::memcpy(last_drawn, drawn, sizeof drawn);
        last_clear_colour = clear_colour;
        last_cleared = cleared;
    };
    // Rows above the first that differs from the last composed frame are left as they
    // are in the texture; below it, groups of pixels equal to the last frame's are.
    int first = 0;
    if (!whole) {
        while (first < screen_height &&
               std::memcmp(screen_buffer + (std::size_t)first * screen_width + from[first],
                           last_composed.data() + (std::size_t)first * screen_width + from[first],
                           (std::size_t)(to[first] - from[first]) * 4) == 0)
            ++first;
        if (first == screen_height) {
            remember_spans();
            return false;
        }
    }
    struct {
        int Pitch;
        u32 *pBits;
    } locked_data;
    if (shrinking) {
        // The last row that differs: the rows below it need no shrinking again either.
        int last = screen_height - 1;
        while (!whole && last > first &&
               std::memcmp(screen_buffer + (std::size_t)last * screen_width + from[last],
                           last_composed.data() + (std::size_t)last * screen_width + from[last],
                           (std::size_t)(to[last] - from[last]) * 4) == 0)
            --last;
        locked_data.pBits = shrunk.full_picture.data();
        locked_data.Pitch = screen_width * 4;
        for (int y = first; y < screen_height; ++y) {
            const std::size_t at = (std::size_t)y * screen_width + from[y];
            compose_row(locked_data.pBits + at, screen_buffer + at, last_composed.data() + at, layers_base + at,
                        to[y] - from[y], grey, whole);
        }
        shrink_rows((int)((long long)first * shrunk.height / screen_height),
                    (int)(((long long)last + 1) * shrunk.height - 1) / screen_height);
        last_brightness_grey = grey;
        remember_spans();
        return true;
    }
    locked_data.pBits = platform_texture_lock(offscreen_texture, &locked_data.Pitch);
    if (!locked_data.pBits) {
        d3d_check(d3derr_invalidcall);
        return false;
    }
    if (!ec_assert(locked_data.Pitch != 0)) {
        platform_texture_unlock(offscreen_texture);
        return false;
    }
    for (int y = first; y < screen_height; ++y) {
        const std::size_t at = (std::size_t)y * screen_width + from[y];
        compose_row((u32 *)((u8 *)locked_data.pBits + (std::size_t)y * (std::size_t)locked_data.Pitch) + from[y],
                    screen_buffer + at, last_composed.data() + at, layers_base + at, to[y] - from[y], grey, whole);
    }
    platform_texture_unlock(offscreen_texture);
    last_brightness_grey = grey;
    remember_spans();
    return true;
}

bool d3d_gfx2d_prepare(bool whole) { return d3d_gfx2d_upload(whole); }

void d3d_gfx2d_render() {
    if (!ec_assert_text(d3d_device_exists(), "d3d_device") || !offscreen_texture)
        return;
    // One opaque quad: the picture stretched over its place in the client area.
    int out_w = 0, out_h = 0;
    platform_renderer_output_size(&out_w, &out_h);
    picture_rect r = d3d_picture_rect(out_w, out_h);
    platform_texture *shown =
        shrunk.texture && shrunk.width == r.width && shrunk.height == r.height ? shrunk.texture : offscreen_texture;
    if (!platform_render_copy(shown, r.x, r.y, r.width, r.height))
        d3d_check(d3derr_invalidcall);
}

void d3d_gfx2d_free() {
    d3d_kzg_free_data(&font_sprites);
    shrunk_release();
    if (screen_buffer) {
        zel_free(screen_buffer);
        screen_buffer = NULL;
    }
    if (offscreen_texture) {
        platform_texture_destroy(offscreen_texture);
        offscreen_texture = NULL;
    }
    for (dword id = 0; id < (dword)max_background_layers; ++id)
        if (background_layers[id].texture)
            gfx2d_background_layer_delete(id);
    ec_assert(num_background_layers == 0);
    layers_composed.clear();
    layers_composed.shrink_to_fit();
    layers_base = NULL;
    last_composed.clear();
    last_composed.shrink_to_fit();
}

u32 *gfx2d_screen_buffer() {
    touch_all();
    return screen_buffer;
}

u32 *gfx2d_screen_buffer_rect(int x0, int y0, int x1, int y1) {
    touch(x0, y0, x1, y1);
    return screen_buffer;
}

void gfx2d_compose_portable_for_test(bool portable) {
    compose_row = portable ? compose_row_portable : pick_compose_row();
}

void gfx2d_fill_screen(u32 colour) {
    if (!have_buffer())
        return;
    // Clear (0) and white are one byte repeated: the library's memset is the fastest fill.
    const bool one_byte = (colour & 0xFF) * 0x01010101u == colour;
    // Outside the drawn spans the buffer already holds the last clear colour.
    if (cleared && colour == clear_colour) {
        for (int y = 0; y < screen_height; ++y) {
            const row_span d = drawn[y];
            if (d.hi <= d.lo)
                continue;
            u32 *p = screen_buffer + y * screen_width + d.lo;
            if (one_byte)
                std::memset(p, (int)(colour & 0xFF), (std::size_t)(d.hi - d.lo) * 4);
            else
                std::fill_n(p, d.hi - d.lo, colour);
        }
    } else if (one_byte)
        std::memset(screen_buffer, (int)(colour & 0xFF), screen_bytes);
    else
        std::fill_n(screen_buffer, screen_width * screen_height, colour);
    for (row_span &s : drawn)
        s = none_drawn;
    clear_colour = colour;
    cleared = true;
}

void gfx2d_draw_pixel(int x, int y, u32 colour, int scale) {
    if (!ec_assert(scale >= 1) || !have_buffer())
        return;
    if (scale == 1) {
        touch(x, y, x, y);
        plot(x, y, colour);
        return;
    }
    long long x_end = (long long)x + scale, y_end = (long long)y + scale;
    if (inside_x(x) && inside_x(x_end) && inside_y(y) && inside_y(y_end)) {
        touch(x, y, x_end - 1, y_end - 1);
        for (int r = 0; r < scale; ++r)
            std::fill_n(screen_buffer + (y + r) * screen_width + x, scale, colour);
        return;
    }
    fill_clipped(x, y, x_end - 1, y_end - 1, colour);
}

void gfx2d_draw_hline(int x0, int x1, int y, u32 colour) {
    if (!have_buffer() || !inside_y(y) || x0 > x1)
        return;
    fill_clipped(x0, y, x1, y, colour);
}

void gfx2d_draw_vline(int x, int y0, int y1, u32 colour) {
    if (!have_buffer() || !inside_x(x) || y0 > y1)
        return;
    long long top = std::max<long long>(y0, screen_clip.clip_top);
    long long bottom = std::min<long long>(y1, screen_clip.clip_bottom - 1);
    touch(x, top, x, bottom);
    for (long long y = top; y <= bottom; ++y)
        screen_buffer[y * screen_width + x] = colour;
}

void gfx2d_draw_vlines(int x0, int step, int count, int y0, int y1, u32 colour) {
    if (!have_buffer() || y0 > y1 || step < 1 || count < 1)
        return;
    long long top = std::max<long long>(y0, screen_clip.clip_top);
    long long bottom = std::min<long long>(y1, screen_clip.clip_bottom - 1);
    touch(x0, top, (long long)x0 + (long long)step * (count - 1), bottom);
    // Row by row: a column walk touches one cache set per row and misses on every store.
    for (long long y = top; y <= bottom; ++y) {
        u32 *row = screen_buffer + y * screen_width;
        for (long long i = 0, x = x0; i < count; ++i, x += step)
            if (inside_x(x))
                row[x] = colour;
    }
}

void gfx2d_draw_line(int x0, int y0, int x1, int y1) {
    if (!have_buffer())
        return;
    long long dx = std::llabs((long long)x1 - x0), dy = std::llabs((long long)y1 - y0);
    int sx = x0 <= x1 ? 1 : -1, sy = y0 <= y1 ? 1 : -1;
    long long x = x0, y = y0;
    touch(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1));
    if (dx >= dy) {
        // x-major (a 45 degree line too)
        long long err = 2 * dy - dx;
        for (long long i = 0; i <= dx; ++i) {
            plot(x, y, opaque_black);
            x += sx;
            if (err > 0) {
                y += sy;
                err += 2 * dy - 2 * dx;
            } else {
                err += 2 * dy;
            }
        }
    } else {
        long long err = 2 * dx - dy;
        for (long long i = 0; i <= dy; ++i) {
            plot(x, y, opaque_black);
            y += sy;
            if (err > 0) {
                x += sx;
                err += 2 * dx - 2 * dy;
            } else {
                err += 2 * dx;
            }
        }
    }
}

void gfx2d_fill_rect(int x0, int y0, int x1, int y1) {
    if (!have_buffer() || x0 > x1 || y0 > y1)
        return;
    fill_clipped(x0, y0, x1, y1, opaque_black);
}

void gfx2d_tint_rect(int x0, int y0, int x1, int y1, u32 colour, u32 alpha) {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, screen_width - 1), y1 = std::min(y1, screen_height - 1);
    if (x0 > x1 || y0 > y1)
        return;
    u32 *buffer = gfx2d_screen_buffer_rect(x0, y0, x1, y1);
    if (!buffer)
        return;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            u32 &p = buffer[y * screen_width + x];
            u32 mixed = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const u32 a = (p >> shift) & 0xFF, b = (colour >> shift) & 0xFF;
                mixed |= ((a * (256 - alpha) + b * alpha) >> 8) << shift;
            }
            p = mixed;
        }
}

void gfx2d_draw_frame(int x, int y, int w, int h, int thickness, u32 colour) {
    for (int i = 0; i < thickness; ++i) {
        gfx2d_draw_hline(x + i, x + w - i, y + i, colour);
        gfx2d_draw_hline(x + i, x + w - i, y + h - i, colour);
        gfx2d_draw_vline(x + i, y + i, y + h - i, colour);
        gfx2d_draw_vline(x + w - i, y + i, y + h - i, colour);
    }
}

int font_kern_lookup(const u8 (&widths)[95], char c) {
    int in = (signed char)c;
    if (!ec_assert(in >= 0))
        return -1;
    if (in < 32 || in == 127)
        return 0;
    return widths[in - 32];
}

int font_kern_width(char c) {
    const u8 code = (u8)c;
    if (code >= 160)
        return font_latin1_kern_table[code - 160];
    if (code >= 128)
        return 0; // the C1 control codes: nothing, like the other control codes
    return font_kern_lookup(font_kern_table, c);
}

int gfx2d_draw_char(int x, int y, char c, u32 colour, int scale) {
    if (!ec_assert(scale >= 1))
        return 0;
    const u8 code = (u8)c;
    // Control codes (C1 included) and 127 draw nothing and do not advance.
    if (code < 32 || (code >= 127 && code < 160))
        return 0;
    int advance = font_kern_width(c) * scale;
    if ((long long)x + advance < screen_clip.clip_left ||
        (long long)y + (long long)font_glyph_height * scale < screen_clip.clip_top || x >= screen_clip.clip_right ||
        y >= screen_clip.clip_bottom)
        return advance;
    if (code == ' ')
        return advance;
    const int index = code < 127 ? code - 33 : font_num_ascii_glyphs + (code - 160);
    if (!ec_assert(index >= 0 && index < font_num_glyphs) || !font_sprites.data)
        return advance;
    // The ink colour is palette entry 0 of the font sheet and stays there.
    font_sprites.colors[0] = colour;
    if (index < font_sprites.num_sprites)
        gfx2d_draw_sprite(&font_sprites, x, y, index, scale);
    return advance;
}

int gfx2d_draw_string(int x, int y, const safestring *s, u32 colour, int scale) {
    if (!ec_assert(scale >= 1) || !ec_assert(s))
        return 0;
    int start = x;
    for (int i = 0; i < safestring_length(s); ++i)
        x += gfx2d_draw_char(x, y, safestring_get_char(s, i), colour, scale);
    return x - start;
}

int gfx2d_strlen(const safestring *s, int scale) {
    if (!ec_assert_text(s, "string") || !ec_assert(scale >= 1))
        return -1;
    int sum = 0;
    for (int i = 0; i < safestring_length(s); ++i)
        sum += font_kern_width(safestring_get_char(s, i));
    return sum * scale;
}

dword gfx2d_background_layer_add(const kzb_image_data *image) {
    if (!ec_assert(image) || !ec_assert(image->data) || !ec_assert(num_background_layers < max_background_layers))
        return invalid_id;
    dword id = 0;
    while (id < (dword)max_background_layers && background_layers[id].texture)
        ++id;
    if (!ec_assert(id < max_background_layers))
        return invalid_id;
    if (!ec_assert_text(d3d_device_exists(), "d3d_device"))
        return invalid_id;
    background_layer &layer = background_layers[id];
    layer.texture = (u32 *)std::malloc((std::size_t)image->width * (std::size_t)image->height * 4);
    if (!ec_assert(background_layers[id].texture))
        return invalid_id;
    const std::size_t n = (std::size_t)image->width * (std::size_t)image->height;
    std::memcpy(layer.texture, image->data, n * 4);
    bool binary_alpha = true;
    for (std::size_t i = 0; i < n && binary_alpha; ++i)
        binary_alpha = (layer.texture[i] >> 24) == 0 || (layer.texture[i] >> 24) == 0xFF;
    if (binary_alpha) {
        layer.clear.assign(n, false);
        for (std::size_t i = 0; i < n; ++i)
            if ((layer.texture[i] >> 24) == 0) {
                layer.clear[i] = true;
                layer.texture[i] = opaque_black;
            }
    }
    layer.width = image->width;
    layer.height = image->height;
    build_quad(layer.quad, (float)image->width, (float)image->height, 0xFFFFFFFFu);
    layer.vertices = layer.quad;
    layer.primitive_count = 2;
    num_background_layers += 1;
    layers_changed = true;
    return id;
}

dword gfx2d_gradient_layer_add(const float (&top)[3], const float (&drop)[3], const char *info) {
    // The framebuffer's size: the layer is stretched with it to the window.
    const int w = screen_width, h = screen_height;
    u32 *pixels = (u32 *)ZEL_MALLOC((u32)w * (u32)h * sizeof(u32), info);
    if (!pixels)
        return invalid_id;
    for (int y = 0; y < h; ++y) {
        const float t = (float)y / (float)h;
        u32 colour = 0xFF000000u;
        for (int c = 0; c < 3; ++c)
            colour |= (u32)std::floor((top[c] - t * drop[c]) * 255.0f) << (16 - 8 * c);
        for (int x = 0; x < w; ++x)
            pixels[y * w + x] = colour;
    }
    kzb_image_data image = {.width = w, .height = h, .data = pixels};
    const dword id = gfx2d_background_layer_add(&image);
    zel_free(pixels);
    return id;
}

void gfx2d_background_layer_delete(dword id) {
    if (!ec_assert(id < max_background_layers) || !ec_assert(background_layers[id].texture) ||
        !ec_assert(background_layers[id].vertices))
        return;
    background_layer &layer = background_layers[id];
    std::free(layer.texture);
    layer.texture = NULL;
    layer.clear.clear();
    layer.clear.shrink_to_fit();
    layers_changed = true;
    num_background_layers -= 1;
    layer.vertices = NULL;
    layer.primitive_count = 0;
}

void gfx2d_fullscreen_brightness(u32 percent) {
    if (!ec_assert(percent <= 100))
        return;
    u32 v = percent * 255 / 100;
    u32 colour = 0xFF000000u | v << 16 | v << 8 | v;
    for (platform_vertex &vertex : offscreen_vb)
        vertex.colour = colour;
}
