// kz_formats.h -- the pack builder's converters: PNG, WAV and the game's kzg, kzb, kzs and kzp formats
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kz {

using bytes = std::vector<std::uint8_t>;

// An RGBA picture, 4 bytes per pixel, rows packed.
struct rgba_image {
    int width = 0;
    int height = 0;
    bytes pixels;
    std::uint8_t *at(int x, int y) { return &pixels[((size_t)y * width + x) * 4]; }
    const std::uint8_t *at(int x, int y) const { return &pixels[((size_t)y * width + x) * 4]; }
};

struct rect {
    int x, y, w, h;
};

// Loads a PNG as RGBA; false with *error set when it cannot.
bool png_read(const std::string &path, rgba_image *out, std::string *error);
// Writes an RGBA picture as PNG.
bool png_write(const std::string &path, const rgba_image &image, std::string *error);

// A sheet of sprites cut from image at rects. Pixels with alpha below 128 are
// transparent (jump runs). Paletted (palette in order of first appearance over the
// sprites, row-major) when at most 256 opaque colours are used, else 24-bit.
bool kzg_encode(const rgba_image &image, const std::vector<rect> &rects, bytes *out, std::string *error);
// A picture as kzb: transparent pixels become jump runs (alpha 0), opaque ones fill or literal runs.
bool kzb_encode(const rgba_image &image, bytes *out, std::string *error);
// A PCM WAV file (8 or 16 bit, any rate, mono or stereo) as kzs: 16-byte header, then the samples.
bool kzs_from_wav(const bytes &wav, bytes *out, std::string *error);
// kzs bytes of samples as given: the header (channels, rate, block alignment =
// channels x bits / 8, bits), then the samples.
bytes kzs_encode(std::uint32_t channels, std::uint32_t rate, std::uint32_t bits, const bytes &samples);
// A kzs file back to a WAV file.
bool kzs_to_wav(const bytes &kzs, bytes *out, std::string *error);

// The game's own readers, for checking and extracting: every sprite of a kzg
// file, a kzb picture, a kzs file's sound. False with *error when the game refuses it.
// Pixels come back as RGBA; transparent ones are 0.
bool kzg_decode(const bytes &kzg, std::vector<rgba_image> *sprites, std::string *error);
bool kzb_decode(const bytes &kzb, rgba_image *out, std::string *error);
bool kzs_check(const bytes &kzs, std::string *error);

// One entry of a pack being written.
struct pack_entry {
    std::string name;
    bytes data;
    bool compress = true; // compressed only when that makes it smaller
};
// The bytes of a pack file holding entries in order.
bytes pack_image(const std::vector<pack_entry> &entries, bool *compressed_flags = nullptr);

// The largest file the tools read whole.
constexpr unsigned long long max_file_size = 512ull << 20;
// Reads a regular file of at most max_file_size bytes whole; anything else (a named
// pipe, a device, a folder, a larger file) is refused with *error set, without waiting.
bool file_read(const std::string &path, bytes *out, std::string *error = nullptr);
bool file_write(const std::string &path, const bytes &data);
// Replaces path with data: written to a temporary file created beside it exclusively
// (never through an existing file or link), then renamed over it. False with *error.
bool file_replace(const std::string &path, const bytes &data, std::string *error);

} // namespace kz
