// test_pack.cpp -- pack images and asset bytes for tests, and packs on disk
#include "test_pack.h"

#include "engine/ec_fileio.h"
#include "engine/ec_lzw.h"
#include "engine/ec_pack.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace {

void put_u32(std::vector<uint8_t> &b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back((uint8_t)(v >> (8 * i)));
}

bool is_opaque(uint32_t pixel) { return (pixel >> 24) >= 0x80; }

} // namespace

std::vector<uint8_t> test_pack_image(const std::vector<test_pack_entry> &entries) {
    std::vector<std::vector<uint8_t>> stored;
    for (const test_pack_entry &e : entries) {
        std::vector<uint8_t> codes;
        if (e.compress)
            codes = lzw_compress(e.data.data(), e.data.size());
        // Equal sizes would read as an uncompressed entry.
        stored.push_back(e.compress && codes.size() != e.data.size() ? codes : e.data);
    }
    std::vector<uint8_t> b;
    put_u32(b, (uint32_t)entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        put_u32(b, (uint32_t)stored[i].size());
        put_u32(b, (uint32_t)entries[i].data.size());
        put_u32(b, 0);
        b.push_back((uint8_t)entries[i].name.size());
        b.insert(b.end(), {0, 0, 0});
        for (char c : entries[i].name)
            b.push_back((uint8_t)((uint8_t)c + pack_name_key));
    }
    for (const auto &s : stored)
        b.insert(b.end(), s.begin(), s.end());
    return b;
}

scoped_test_pack::scoped_test_pack(const std::vector<test_pack_entry> &entries) { open(test_pack_image(entries)); }

scoped_test_pack::scoped_test_pack(const test_pack_bytes &image) { open(image.bytes); }

void scoped_test_pack::open(const std::vector<uint8_t> &image) {
    namespace fs = std::filesystem;
    if (packfile_is_open()) {
        packfile_close();
        reopen_previous = true;
    }
    std::string pattern = (fs::temp_directory_path() / "tw-pack-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back(0);
    if (!mkdtemp(name.data()))
        return;
    base = name.data();
    fs::create_directories(fs::path(base) / "data");
    std::string path = (fs::path(base) / "data" / "tombweaver.kzp").string();
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    std::fwrite(image.data(), 1, image.size(), f);
    std::fclose(f);

    const char *old = std::getenv("TOMBWEAVER_PATH");
    had_env = old != nullptr;
    if (had_env)
        old_env = old;
    setenv("TOMBWEAVER_PATH", base.c_str(), 1);
    base_path_init();
    opened = packfile_load();
}

scoped_test_pack::~scoped_test_pack() {
    if (opened)
        packfile_close();
    if (!base.empty()) {
        if (had_env)
            setenv("TOMBWEAVER_PATH", old_env.c_str(), 1);
        else
            unsetenv("TOMBWEAVER_PATH");
        base_path_init();
        std::error_code ec;
        std::filesystem::remove_all(base, ec);
    }
    if (reopen_previous)
        packfile_load();
}

std::vector<uint8_t> test_kzs_bytes(uint32_t channels, uint32_t rate, uint32_t bits,
                                    const std::vector<uint8_t> &samples) {
    std::vector<uint8_t> b;
    put_u32(b, channels);
    put_u32(b, rate);
    put_u32(b, channels * bits / 8);
    put_u32(b, bits);
    b.insert(b.end(), samples.begin(), samples.end());
    return b;
}

std::vector<uint8_t> test_kzg_bytes(const std::vector<test_sprite> &sprites) {
    std::map<uint32_t, int> index_of;
    std::vector<uint32_t> palette;
    for (const test_sprite &s : sprites)
        for (uint32_t p : s.pixels)
            if (is_opaque(p) && index_of.emplace(p & 0xFFFFFF, (int)palette.size()).second)
                palette.push_back(p & 0xFFFFFF);
    const bool paletted = palette.size() <= 256;

    std::vector<uint8_t> b;
    put_u32(b, paletted ? (uint32_t)palette.size() : 0xFFFFFFFFu);
    if (paletted)
        for (uint32_t c : palette)
            put_u32(b, c);
    put_u32(b, (uint32_t)sprites.size());
    size_t offsets = b.size();
    b.resize(b.size() + 4 * sprites.size());
    auto colour = [&](uint32_t p) {
        if (paletted) {
            b.push_back((uint8_t)index_of[p & 0xFFFFFF]);
        } else {
            b.push_back((uint8_t)(p >> 16));
            b.push_back((uint8_t)(p >> 8));
            b.push_back((uint8_t)p);
        }
    };
    for (size_t s = 0; s < sprites.size(); ++s) {
        const test_sprite &sp = sprites[s];
        uint32_t at = (uint32_t)b.size();
        for (int i = 0; i < 4; ++i)
            b[offsets + 4 * s + i] = (uint8_t)(at >> (8 * i));
        b.push_back((uint8_t)(sp.height - 1));
        b.push_back((uint8_t)(sp.width - 1));
        for (int y = 0; y < sp.height; ++y) {
            const uint32_t *row = &sp.pixels[(size_t)y * sp.width];
            int x = 0;
            while (x < sp.width) {
                int n = 1;
                bool op = is_opaque(row[x]);
                while (x + n < sp.width && n < 256 && is_opaque(row[x + n]) == op &&
                       (!op || (row[x + n] & 0xFFFFFF) == (row[x] & 0xFFFFFF)))
                    ++n;
                if (!op) {
                    b.push_back(0x40);
                    b.push_back((uint8_t)(n - 1));
                } else if (n >= 3) {
                    b.push_back(0x80);
                    b.push_back((uint8_t)(n - 1));
                    colour(row[x]);
                } else {
                    b.push_back(0x00);
                    b.push_back((uint8_t)(n - 1));
                    for (int i = 0; i < n; ++i)
                        colour(row[x + i]);
                }
                x += n;
            }
        }
    }
    return b;
}

std::vector<uint8_t> test_kzb_bytes(int width, int height, const std::vector<uint32_t> &pixels) {
    std::vector<uint8_t> b;
    b.push_back((uint8_t)width);
    b.push_back((uint8_t)(width >> 8));
    b.push_back((uint8_t)height);
    b.push_back((uint8_t)(height >> 8));
    for (int y = 0; y < height; ++y) {
        const uint32_t *row = &pixels[(size_t)y * width];
        int x = 0;
        while (x < width) {
            int n = 1;
            bool op = is_opaque(row[x]);
            while (x + n < width && n < 65536 && is_opaque(row[x + n]) == op &&
                   (!op || (row[x + n] & 0xFFFFFF) == (row[x] & 0xFFFFFF)))
                ++n;
            uint8_t control = !op ? 0x40 : n >= 2 ? 0x80 : 0x00;
            b.push_back(control);
            b.push_back((uint8_t)((n - 1) >> 8));
            b.push_back((uint8_t)(n - 1));
            if (op) {
                b.push_back((uint8_t)(row[x] >> 16));
                b.push_back((uint8_t)(row[x] >> 8));
                b.push_back((uint8_t)row[x]);
            }
            x += n;
        }
    }
    return b;
}

std::string test_table_text(const std::vector<std::string> &lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            text += "\r\n";
        text += lines[i];
    }
    return text;
}
