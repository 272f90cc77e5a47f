// kz_formats.cpp -- PNG and WAV in, the game's asset formats and pack image out
#include "kz_formats.h"

#include "engine/ec_lzw.h"
#include "engine/ec_pack.h"
#include "graphics/d3d_kzb.h"
#include "graphics/d3d_kzg.h"
#include "platform/pf_system.h"
#include "sound/direct_sound.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace kz {

namespace {

void put_u16(bytes &b, std::uint32_t v) {
    b.push_back((std::uint8_t)v);
    b.push_back((std::uint8_t)(v >> 8));
}
void put_u32(bytes &b, std::uint32_t v) {
    put_u16(b, v & 0xFFFF);
    put_u16(b, v >> 16);
}
void set_u32(bytes &b, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = (std::uint8_t)(v >> (8 * i));
}
std::uint32_t get_u16(const std::uint8_t *p) { return (std::uint32_t)p[0] | (std::uint32_t)p[1] << 8; }
std::uint32_t get_u32(const std::uint8_t *p) { return get_u16(p) | get_u16(p + 2) << 16; }

bool opaque(const std::uint8_t *px) { return px[3] >= 128; }
std::uint32_t rgb_of(const std::uint8_t *px) { return (std::uint32_t)px[0] << 16 | (std::uint32_t)px[1] << 8 | px[2]; }

bool fail(std::string *error, const std::string &text) {
    if (error)
        *error = text;
    return false;
}

} // namespace

bool file_read(const std::string &path, bytes *out, std::string *error) {
    // Not blocking on open, so that a named pipe is refused rather than waited on.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(error, "cannot read " + path + ": " + std::strerror(errno));
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return fail(error, "cannot read " + path + ": not a regular file");
    }
    if ((unsigned long long)st.st_size > max_file_size) {
        close(fd);
        return fail(error, "cannot read " + path + ": larger than " + std::to_string(max_file_size >> 20) + " MiB");
    }
    out->assign((size_t)st.st_size, 0);
    size_t done = 0;
    errno = 0;
    while (done < out->size()) {
        const ssize_t n = read(fd, out->data() + done, out->size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += (size_t)n;
    }
    const int read_error = errno;
    close(fd);
    if (done < out->size()) // cut short while being read, or an error
        return fail(error, "cannot read " + path + ": " + (read_error ? std::strerror(read_error) : "cut short"));
    return true;
}

bool file_write(const std::string &path, const bytes &data) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

bool file_replace(const std::string &path, const bytes &data, std::string *error) {
    std::string temp = path + ".tmp.XXXXXX";
    const int fd = mkstemp(temp.data()); // created exclusively: never an existing file or link
    if (fd < 0)
        return fail(error, "cannot create a temporary file beside " + path + ": " + std::strerror(errno));
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += (size_t)n;
    }
    bool ok = done == data.size() && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
    const int write_error = errno;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temp.c_str(), path.c_str()) == 0)
        return true;
    const std::string why = std::strerror(ok ? errno : write_error);
    unlink(temp.c_str());
    return fail(error, "cannot write " + path + ": " + why);
}

bool png_read(const std::string &path, rgba_image *out, std::string *error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    bytes file;
    if (!file_read(path, &file, error))
        return false;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return fail(error, path + ": " + image.message);
    image.format = PNG_FORMAT_RGBA;
    if ((unsigned long long)image.width * image.height * 4 > max_file_size) {
        png_image_free(&image);
        return fail(error, path + ": a picture of " + std::to_string(image.width) + " x " +
                               std::to_string(image.height) + " is too large");
    }
    out->width = (int)image.width;
    out->height = (int)image.height;
    out->pixels.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, out->pixels.data(), 0, nullptr)) {
        std::string message = image.message;
        png_image_free(&image);
        return fail(error, path + ": " + message);
    }
    return true;
}

bool png_write(const std::string &path, const rgba_image &img, std::string *error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)img.width;
    image.height = (png_uint_32)img.height;
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, img.pixels.data(), 0, nullptr))
        return fail(error, path + ": " + image.message);
    return true;
}

bool kzg_encode(const rgba_image &image, const std::vector<rect> &rects, bytes *out, std::string *error) {
    if (rects.empty())
        return fail(error, "a sheet needs at least one sprite");
    for (size_t i = 0; i < rects.size(); ++i) {
        const rect &r = rects[i];
        if (r.w < 1 || r.h < 1 || r.w > 256 || r.h > 256)
            return fail(error, "sprite " + std::to_string(i) + " is not 1..256 pixels wide and high");
        if (r.x < 0 || r.y < 0 || r.x + r.w > image.width || r.y + r.h > image.height)
            return fail(error, "sprite " + std::to_string(i) + " lies outside the " + std::to_string(image.width) +
                                   " x " + std::to_string(image.height) + " picture");
    }

    // Palette in order of first appearance, sprite by sprite, row-major.
    std::map<std::uint32_t, int> index_of;
    std::vector<std::uint32_t> palette;
    for (const rect &r : rects)
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) {
                const std::uint8_t *px = image.at(x, y);
                if (!opaque(px))
                    continue;
                std::uint32_t c = rgb_of(px);
                if (index_of.emplace(c, (int)palette.size()).second)
                    palette.push_back(c);
            }
    const bool paletted = palette.size() <= 256;

    bytes b;
    put_u32(b, paletted ? (std::uint32_t)palette.size() : 0xFFFFFFFFu);
    if (paletted)
        for (std::uint32_t c : palette)
            put_u32(b, c);
    put_u32(b, (std::uint32_t)rects.size());
    size_t offsets_at = b.size();
    b.resize(b.size() + 4 * rects.size());

    // A fill pays for itself from 3 equal pixels when paletted, 2 when 24-bit.
    const int fill_from = paletted ? 3 : 2;
    auto put_colour = [&](const std::uint8_t *px) {
        if (paletted) {
            b.push_back((std::uint8_t)index_of[rgb_of(px)]);
        } else {
            b.push_back(px[0]);
            b.push_back(px[1]);
            b.push_back(px[2]);
        }
    };
    for (size_t s = 0; s < rects.size(); ++s) {
        const rect &r = rects[s];
        set_u32(b, offsets_at + 4 * s, (std::uint32_t)b.size());
        b.push_back((std::uint8_t)(r.h - 1));
        b.push_back((std::uint8_t)(r.w - 1));
        for (int y = r.y; y < r.y + r.h; ++y) {
            const int end = r.x + r.w;
            // Length of the run of pixels equal to the one at x (transparent ones are all equal).
            auto same_run = [&](int x) {
                const std::uint8_t *first = image.at(x, y);
                int n = 1;
                while (x + n < end && n < 256) {
                    const std::uint8_t *px = image.at(x + n, y);
                    if (opaque(first) != opaque(px) || (opaque(px) && rgb_of(px) != rgb_of(first)))
                        break;
                    ++n;
                }
                return n;
            };
            int x = r.x;
            while (x < end) {
                const std::uint8_t *px = image.at(x, y);
                int n = same_run(x);
                if (!opaque(px)) {
                    b.push_back(0x40);
                    b.push_back((std::uint8_t)(n - 1));
                    x += n;
                } else if (n >= fill_from) {
                    b.push_back(0x80);
                    b.push_back((std::uint8_t)(n - 1));
                    put_colour(px);
                    x += n;
                } else {
                    // Literal: opaque pixels up to the next transparent one or worthwhile fill.
                    int start = x;
                    int count = 0;
                    while (x < end && count < 256 && opaque(image.at(x, y))) {
                        int m = same_run(x);
                        if (m >= fill_from)
                            break;
                        if (count + m > 256)
                            m = 256 - count;
                        count += m;
                        x += m;
                    }
                    b.push_back(0x00);
                    b.push_back((std::uint8_t)(count - 1));
                    for (int i = start; i < start + count; ++i)
                        put_colour(image.at(i, y));
                }
            }
        }
    }
    *out = std::move(b);
    return true;
}

bool kzb_encode(const rgba_image &image, bytes *out, std::string *error) {
    if (image.width > 65535 || image.height > 65535)
        return fail(error, "a kzb picture is at most 65535 pixels wide and high");
    bytes b;
    put_u16(b, (std::uint32_t)image.width);
    put_u16(b, (std::uint32_t)image.height);
    auto header = [&](std::uint8_t control, int count) {
        b.push_back(control);
        b.push_back((std::uint8_t)((count - 1) >> 8));
        b.push_back((std::uint8_t)((count - 1) & 0xFF));
    };
    for (int y = 0; y < image.height; ++y) {
        const int end = image.width;
        auto same_run = [&](int x) {
            const std::uint8_t *first = image.at(x, y);
            int n = 1;
            while (x + n < end && n < 65536) {
                const std::uint8_t *px = image.at(x + n, y);
                if (opaque(first) != opaque(px) || (opaque(px) && rgb_of(px) != rgb_of(first)))
                    break;
                ++n;
            }
            return n;
        };
        int x = 0;
        while (x < end) {
            const std::uint8_t *px = image.at(x, y);
            int n = same_run(x);
            if (!opaque(px)) {
                header(0x40, n);
                x += n;
            } else if (n >= 2) {
                header(0x80, n);
                b.push_back(px[0]);
                b.push_back(px[1]);
                b.push_back(px[2]);
                x += n;
            } else {
                int start = x;
                while (x < end && x - start < 65536 && opaque(image.at(x, y)) && same_run(x) < 2)
                    ++x;
                header(0x00, x - start);
                for (int i = start; i < x; ++i) {
                    const std::uint8_t *p = image.at(i, y);
                    b.push_back(p[0]);
                    b.push_back(p[1]);
                    b.push_back(p[2]);
                }
            }
        }
    }
    *out = std::move(b);
    return true;
}

bool kzs_from_wav(const bytes &wav, bytes *out, std::string *error) {
    if (wav.size() < 12 || std::memcmp(wav.data(), "RIFF", 4) != 0 || std::memcmp(wav.data() + 8, "WAVE", 4) != 0)
        return fail(error, "not a RIFF WAVE file");
    std::uint32_t channels = 0, rate = 0, block_align = 0, bits = 0;
    const std::uint8_t *samples = nullptr;
    size_t sample_bytes = 0;
    size_t at = 12;
    while (at + 8 <= wav.size()) {
        const std::uint8_t *chunk = wav.data() + at;
        std::uint32_t size = get_u32(chunk + 4);
        size_t body = at + 8;
        size_t avail = wav.size() - body;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || size > avail)
                return fail(error, "damaged fmt chunk");
            std::uint32_t tag = get_u16(chunk + 8);
            if (tag == 0xFFFE && size >= 26)
                tag = get_u16(chunk + 8 + 24); // the sub-format's first two bytes
            if (tag != 1)
                return fail(error, "only PCM WAV files can be converted");
            channels = get_u16(chunk + 10);
            rate = get_u32(chunk + 12);
            block_align = get_u16(chunk + 20);
            bits = get_u16(chunk + 22);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            samples = chunk + 8;
            sample_bytes = size <= avail ? size : avail; // a truncated data chunk keeps what is there
        }
        at = body + size + (size & 1);
    }
    if (!channels || !samples)
        return fail(error, "no fmt or data chunk");
    if (bits != 8 && bits != 16)
        return fail(error, "only 8- and 16-bit samples are supported");
    if (channels > 2)
        return fail(error, "only mono and stereo are supported");
    if (rate == 0 || block_align != channels * bits / 8)
        return fail(error, "inconsistent wave format");
    sample_bytes -= sample_bytes % block_align;
    *out = kzs_encode(channels, rate, bits, bytes(samples, samples + sample_bytes));
    return true;
}

bytes kzs_encode(std::uint32_t channels, std::uint32_t rate, std::uint32_t bits, const bytes &samples) {
    bytes b;
    put_u32(b, channels);
    put_u32(b, rate);
    put_u32(b, channels * bits / 8);
    put_u32(b, bits);
    b.insert(b.end(), samples.begin(), samples.end());
    return b;
}

bool kzs_check(const bytes &kzs, std::string *error) {
    kzs_sound sound;
    s32 result = kzs_parse(kzs.data(), (u32)kzs.size(), &sound);
    if (result != DS_OK)
        return fail(error, kzs_result_text(result));
    return true;
}

bool kzs_to_wav(const bytes &kzs, bytes *out, std::string *error) {
    kzs_sound sound;
    s32 result = kzs_parse(kzs.data(), (u32)kzs.size(), &sound);
    if (result != DS_OK)
        return fail(error, kzs_result_text(result));
    std::uint32_t channels = sound.channels, rate = sound.samples_per_second;
    std::uint32_t block_align = sound.block_align, bits = sound.bits_per_sample;
    std::uint32_t n = sound.sample_bytes;
    bytes b;
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put_u32(b, 36 + n);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put_u32(b, 16);
    put_u16(b, 1);
    put_u16(b, channels);
    put_u32(b, rate);
    put_u32(b, rate * block_align);
    put_u16(b, block_align);
    put_u16(b, bits);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put_u32(b, n);
    b.insert(b.end(), sound.samples, sound.samples + n);
    *out = std::move(b);
    return true;
}

namespace {

// A game pixel (0xAARRGGBB) as RGBA bytes.
void put_pixel(std::uint8_t *px, u32 argb) {
    px[0] = (std::uint8_t)(argb >> 16);
    px[1] = (std::uint8_t)(argb >> 8);
    px[2] = (std::uint8_t)argb;
    px[3] = (std::uint8_t)(argb >> 24);
}

} // namespace

bool kzg_decode(const bytes &kzg, std::vector<rgba_image> *sprites, std::string *error) {
    if (kzg.size() > 0xFFFFFFFFu)
        return fail(error, "too large");
    bytes copy = kzg; // the parser wants writable bytes
    kzg_sprite_data sd = {};
    if (!d3d_kzg_parse(copy.data(), (u32)copy.size(), &sd))
        return fail(error, "the game refuses the sheet");
    sprites->clear();
    for (s32 i = 0; i < sd.num_sprites; ++i) {
        u32 offset = get_u32(sd.sprite_offsets + 4 * (size_t)i);
        const u8 *record = sd.data + offset;
        rgba_image img;
        img.height = record[0] + 1;
        img.width = record[1] + 1;
        std::vector<u32> pixels((size_t)img.width * img.height);
        u32 left = (u32)copy.size() - offset;
        bool ok = sd.num_colors == -1
                      ? sprite_decompress24(record, left, pixels.data(), img.width, img.height)
                      : sprite_decompress(record, left, sd.colors, pixels.data(), img.width, img.height);
        if (!ok)
            return fail(error, "sprite " + std::to_string(i) + " does not decode");
        img.pixels.resize(pixels.size() * 4);
        for (size_t p = 0; p < pixels.size(); ++p)
            put_pixel(&img.pixels[4 * p], pixels[p]);
        sprites->push_back(std::move(img));
    }
    return true;
}

bool kzb_decode(const bytes &kzb, rgba_image *out, std::string *error) {
    if (kzb.size() > 0xFFFFFFFFu)
        return fail(error, "too large");
    kzb_image_data image = {};
    if (!d3d_kzb_decode(kzb.data(), (u32)kzb.size(), &image))
        return fail(error, "the game refuses the picture");
    out->width = image.width;
    out->height = image.height;
    out->pixels.resize((size_t)image.width * image.height * 4);
    for (size_t p = 0; p < (size_t)image.width * image.height; ++p)
        put_pixel(&out->pixels[4 * p], image.data[p]);
    if (image.data)
        d3d_kzb_free_data(&image);
    return true;
}

bytes pack_image(const std::vector<pack_entry> &entries, bool *compressed_flags) {
    std::vector<bytes> stored(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const bytes &data = entries[i].data;
        bool compressed = false;
        if (entries[i].compress && !data.empty()) {
            bytes codes = lzw_compress(data.data(), data.size());
            if (codes.size() < data.size()) {
                stored[i] = std::move(codes);
                compressed = true;
            }
        }
        if (!compressed)
            stored[i] = data;
        if (compressed_flags)
            compressed_flags[i] = compressed;
    }
    bytes b;
    put_u32(b, (std::uint32_t)entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        put_u32(b, (std::uint32_t)stored[i].size());
        put_u32(b, (std::uint32_t)entries[i].data.size());
        put_u32(b, 0);
        b.push_back((std::uint8_t)entries[i].name.size());
        b.insert(b.end(), {0, 0, 0});
        for (char c : entries[i].name)
            b.push_back((std::uint8_t)((std::uint8_t)c + pack_name_key));
    }
    for (const bytes &s : stored)
        b.insert(b.end(), s.begin(), s.end());
    return b;
}

} // namespace kz
