// The pack builder: every kind of source converted, packed, and read back by the game's own readers.
#include "engine/ec_pack.h"
#include "graphics/d3d_kzg.h"
#include "kz_formats.h"
#include "test_pack.h"
#include "tw_test.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using bytes = std::vector<uint8_t>;

void put(bytes &b, uint32_t v, int width) {
    for (int i = 0; i < width; ++i)
        b.push_back((uint8_t)(v >> 8 * i));
}
// A PCM WAV file, optionally with a chunk the converter must step over before the data.
bytes wav_of(uint32_t channels, uint32_t rate, uint32_t bits, const bytes &samples, bool extra_chunk = false) {
    bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0};
    put(b, channels, 2);
    put(b, rate, 4);
    put(b, rate * channels * bits / 8, 4);
    put(b, channels * bits / 8, 2);
    put(b, bits, 2);
    if (extra_chunk) // odd size: padded
        b.insert(b.end(), {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0});
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put(b, (uint32_t)samples.size(), 4);
    b.insert(b.end(), samples.begin(), samples.end());
    uint32_t riff = (uint32_t)b.size() - 8;
    std::memcpy(&b[4], &riff, 4);
    return b;
}

void write_file(const fs::path &path, const bytes &data) {
    fs::create_directories(path.parent_path());
    ASSERT_TRUE(kz::file_write(path, data));
}
// A PNG of 0xAARRGGBB pixels (little-endian words: B, G, R, A bytes), written by libpng.
void write_png(const fs::path &path, int w, int h, const std::vector<uint32_t> &pixels) {
    fs::create_directories(path.parent_path());
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)w;
    image.height = (png_uint_32)h;
    image.format = PNG_FORMAT_BGRA;
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr)) << image.message;
}
void write_file(const fs::path &path, const std::string &s) { write_file(path, bytes(s.begin(), s.end())); }

struct run_result {
    int status;
    std::string out;
};

// Runs the built kzpack with arguments; status is its exit code.
run_result kzpack(const std::string &arguments, const fs::path &scratch) {
    fs::path log = scratch / "kzpack.log";
    std::string command = "timeout -s KILL 60 " + std::string(TW_BUILD_DIR) + "/tools/kzpack " + arguments + " > '" +
                          log.string() + "' 2>&1";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, file_text(log)};
}

std::string quoted(const fs::path &p) { return "'" + p.string() + "'"; }

// A sprite's pixels as the game decodes them: transparent 0, opaque with alpha 0xFF.
std::vector<uint32_t> as_decoded(std::vector<uint32_t> pixels) {
    for (uint32_t &p : pixels)
        p = (p >> 24) >= 0x80 ? (p | 0xFF000000u) : 0;
    return pixels;
}

std::vector<uint32_t> crop(const std::vector<uint32_t> &pixels, int stride, int x0, int y0, int w, int h) {
    std::vector<uint32_t> out;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            out.push_back(pixels[(size_t)y * stride + x]);
    return out;
}

// Every sprite of the pack's sheet name, decoded by the game's sprite decoders.
std::vector<std::vector<uint32_t>> game_sprites(const char *name, kzg_sprite_data *sd) {
    std::vector<std::vector<uint32_t>> out;
    u32 size = 0;
    u8 *data = pack_file_load(name, &size);
    if (!data || !d3d_kzg_parse(data, size, sd))
        return out;
    for (int i = 0; i < sd->num_sprites; ++i) {
        u32 offset;
        std::memcpy(&offset, sd->sprite_offsets + 4 * i, 4);
        const u8 *record = data + offset;
        int h = record[0] + 1, w = record[1] + 1;
        std::vector<uint32_t> pixels((size_t)w * h);
        bool ok = sd->num_colors == -1 ? sprite_decompress24(record, size - offset, pixels.data(), w, h)
                                       : sprite_decompress(record, size - offset, sd->colors, pixels.data(), w, h);
        EXPECT_TRUE(ok);
        out.push_back(pixels);
    }
    pack_file_close(data);
    return out;
}

} // namespace

// What only the converters decide: a paletted sheet cut by rectangles (ink first, alpha below
// 0x80 transparent), a 24-bit one, and a sound with a chunk to step over. (Pictures and
// compressed texts come back through the built pack in every end-to-end run.)
TEST(kzpack, every_kind_of_source_comes_back_through_the_games_readers) {
    dialog_recorder rec;
    temp_folder dir("tw-kzpack");
    fs::path assets = dir.root / "assets";

    // An 8 x 8 sheet cut into three 4 x 4 cells, with transparent pixels and two colours.
    const int sw = 8, sh = 8;
    std::vector<uint32_t> sheet((size_t)sw * sh);
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x)
            sheet[(size_t)y * sw + x] = (x + y) % 3 == 0 ? 0x00000000u
                                        : x < 4          ? 0xFFFFFFFFu // the ink comes first
                                                         : 0xFF000000u | (uint32_t)(y * 30) << 8 | 0x40u;
    write_png(assets / "ui" / "sheet.png", sw, sh, sheet);
    // More than 256 colours: a 24-bit sheet.
    std::vector<uint32_t> colourful(32 * 16);
    for (size_t i = 0; i < colourful.size(); ++i)
        colourful[i] = 0xFF000000u | (uint32_t)(i * 977) % 0xFFFFFF;
    colourful[5] = 0x10FFFFFF; // still transparent
    write_png(assets / "ui" / "colourful.png", 32, 16, colourful);
    bytes stereo8 = {0, 255, 128, 127, 1, 2, 3, 4};
    write_file(assets / "audio" / "stereo8.wav", wav_of(2, 11025, 8, stereo8, true));
    write_file(assets / "manifest.txt",
               "# test data\n"
               "\n"
               "ui\\grid.kzg       kzg ui/sheet.png grid 4 4 3\n"
               "ui\\whole.kzg      kzg ui/colourful.png whole\n"
               "audio\\stereo8.kzs kzs audio/stereo8.wav\n");
    fs::path pack_path = dir.root / "out.kzp";
    write_file(dir.root / "victim", std::string("mine"));
    fs::create_symlink(dir.root / "victim", dir.root / "out.kzp.tmp"); // not written through
    run_result built = kzpack("build " + quoted(assets / "manifest.txt") + " " + quoted(pack_path), dir.root);
    ASSERT_EQ(0, built.status) << built.out;
    EXPECT_EQ("mine", file_text(dir.root / "victim"));

    const std::string packed = file_text(pack_path);
    scoped_test_pack pack(test_pack_bytes{bytes(packed.begin(), packed.end())});
    ASSERT_TRUE(pack.ok());
    u32 size = 0;
    u8 *kzs = pack_file_load("audio\\stereo8.kzs", &size);
    ASSERT_NE(nullptr, kzs);
    EXPECT_EQ(test_kzs_bytes(2, 11025, 8, stereo8), bytes(kzs, kzs + size));
    pack_file_close(kzs);

    kzg_sprite_data sd = {};
    auto grid = game_sprites("ui\\grid.kzg", &sd);
    ASSERT_EQ(3u, grid.size());
    EXPECT_EQ(as_decoded(crop(sheet, sw, 4, 0, 4, 4)), grid[1]);
    EXPECT_EQ(as_decoded(crop(sheet, sw, 0, 4, 4, 4)), grid[2]);
    auto whole = game_sprites("ui\\whole.kzg", &sd);
    ASSERT_EQ(1u, whole.size());
    EXPECT_EQ(-1, sd.num_colors);
    EXPECT_EQ(as_decoded(colourful), whole[0]);

    EXPECT_EQ(0u, rec.count());
}

TEST(kzpack, bad_manifests_name_their_line_and_write_nothing) {
    temp_folder dir("tw-kzpack");
    fs::path assets = dir.root / "assets";
    write_png(assets / "a.png", 16, 16, std::vector<uint32_t>(256, 0xFF336699u));
    write_png(assets / "big.png", 300, 2, std::vector<uint32_t>(600, 0xFF000000u));
    write_file(assets / "slow.wav", wav_of(1, 99, 8, bytes(4, 128)));
    struct bad {
        const char *line;
        const char *message;
    };
    const bad cases[] = {
        {"x raw missing.txt", "cannot read"},
        {"x kzg a.png rects 10,10,8,8", "outside"},
        {"x kzg big.png whole", "1..256"},
        {"x kzs slow.wav", "sample rate outside 100..200000"}, // the game's own check
        {"x raw pipe", "not a regular file"},                  // not waited on
        {"x raw /dev/zero", "not a regular file"},             // not read without end
    };
    ASSERT_EQ(0, mkfifo((assets / "pipe").c_str(), 0600));
    fs::path out = dir.root / "out.kzp";
    write_file(out, std::string("old"));
    for (const bad &c : cases) {
        SCOPED_TRACE(c.line);
        write_file(assets / "manifest.txt", std::string("# fine so far\nok raw a.png\n") + c.line + "\n");
        run_result r = kzpack("build " + quoted(assets / "manifest.txt") + " " + quoted(out), dir.root);
        EXPECT_EQ(1, r.status);
        EXPECT_NE(std::string::npos, r.out.find("manifest.txt:3:")) << r.out;
        EXPECT_NE(std::string::npos, r.out.find(c.message)) << r.out;
        EXPECT_EQ("old", file_text(out));
    }
}

// (Damaged entries of every kind are refused by the game's readers: test_formats, test_sound.)
TEST(kzpack, verify_names_missing_and_damaged_entries_and_refuses_a_short_file) {
    temp_folder dir("tw-kzpack");
    bytes good_sheet = test_kzg_bytes({{4, 4, std::vector<uint32_t>(16, 0xFF00FF00u)}});
    bytes bad_sheet(good_sheet.begin(), good_sheet.end() - 1); // the last run's payload is cut off
    auto verify = [&](const bytes &image) {
        write_file(dir.root / "v.kzp", image);
        return kzpack("verify " + quoted(dir.root / "v.kzp"), dir.root);
    };
    EXPECT_EQ(0, kzpack("verify " + quoted(TW_TEST_PACK), dir.root).status);
    run_result r = verify(test_pack_image(test_data_set_entries({"game\\map.kzb", {}})));
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.out.find("lacks 1 entry the game loads: \"game\\map.kzb\"")) << r.out;
    r = verify(test_pack_image(test_data_set_entries({"ui_gfx\\icon.kzg", bad_sheet})));
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.out.find("ui_gfx\\icon.kzg: ")) << r.out;
    r = verify(bytes{5, 0, 0});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.out.find("too short to be a pack")) << r.out;
}
