// test_pack.cpp -- pack images and asset bytes for tests, and packs on disk
#include "test_pack.h"

#include "engine/ec_data_set.h"
#include "engine/ec_fileio.h"
#include "engine/ec_pack.h"
#include "kz_formats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

std::vector<uint8_t> test_pack_image(const std::vector<test_pack_entry> &entries) {
    std::vector<kz::pack_entry> pack;
    for (const test_pack_entry &e : entries)
        pack.push_back({e.name, e.data, e.compress});
    return kz::pack_image(pack);
}

std::vector<test_pack_entry> test_data_set_entries(const test_pack_entry &except) {
    std::vector<test_pack_entry> entries;
    if (!except.data.empty())
        entries.push_back(except);
    for (const char *name : data_set_entries)
        if (except.name != name)
            entries.push_back({name, {0}});
    return entries;
}

scoped_test_pack::scoped_test_pack(const std::vector<test_pack_entry> &entries) { open(test_pack_image(entries)); }

scoped_test_pack::scoped_test_pack(const test_pack_bytes &image) { open(image.bytes); }

void scoped_test_pack::open(const std::vector<uint8_t> &image) {
    namespace fs = std::filesystem;
    if (packfile_is_open()) {
        packfile_close();
        reopen_previous = true;
    }
    const char *old = std::getenv("TOMBWEAVER_PATH");
    had_env = old != nullptr;
    if (had_env)
        old_env = old;
    const fs::path &base = folder.emplace("tw-pack").root;
    fs::create_directories(base / "data");
    if (!kz::file_write((base / "data" / "tombweaver.kzp").string(), image))
        return;
    setenv("TOMBWEAVER_PATH", base.c_str(), 1);
    base_path_init();
    opened = packfile_load();
}

scoped_test_pack::~scoped_test_pack() {
    if (opened)
        packfile_close();
    if (folder) {
        if (had_env)
            setenv("TOMBWEAVER_PATH", old_env.c_str(), 1);
        else
            unsetenv("TOMBWEAVER_PATH");
        base_path_init();
    }
    if (reopen_previous)
        packfile_load();
}

std::vector<uint8_t> test_kzs_bytes(uint32_t channels, uint32_t rate, uint32_t bits,
                                    const std::vector<uint8_t> &samples) {
    return kz::kzs_encode(channels, rate, bits, samples);
}

std::vector<uint8_t> test_kzg_bytes(const std::vector<test_sprite> &sprites) {
    // The sprites side by side, top-aligned, cut out again by their rectangles.
    kz::rgba_image sheet;
    std::vector<kz::rect> rects;
    for (const test_sprite &s : sprites) {
        rects.push_back({sheet.width, 0, s.width, s.height});
        sheet.width += s.width;
        sheet.height = std::max(sheet.height, s.height);
    }
    sheet.pixels.assign((size_t)sheet.width * sheet.height * 4, 0);
    for (size_t i = 0; i < sprites.size(); ++i)
        for (int y = 0; y < sprites[i].height; ++y)
            for (int x = 0; x < sprites[i].width; ++x) {
                uint32_t p = sprites[i].pixels[(size_t)y * sprites[i].width + x];
                uint8_t *px = sheet.at(rects[i].x + x, y);
                px[0] = (uint8_t)(p >> 16);
                px[1] = (uint8_t)(p >> 8);
                px[2] = (uint8_t)p;
                px[3] = (uint8_t)(p >> 24);
            }
    kz::bytes out;
    std::string error;
    if (!kz::kzg_encode(sheet, rects, &out, &error))
        ADD_FAILURE() << "test sheet: " << error;
    return out;
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
