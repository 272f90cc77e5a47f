// test_workshop_import.cpp -- PNG pictures into cells: reading, scaling, thresholds, and damaged files refused
#include "game/workshop/g_workshop_import.h"
#include "platform/pf_image.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <png.h>

#include <cmath>
#include <cstring>
#include <fstream>

namespace {

// A 60 x 40 picture: a black disk on the left, a mid-grey square on the right, white paper
// around them, and a transparent band along the bottom.
std::vector<u32> sample_pixels() {
    std::vector<u32> pixels(60 * 40, 0xFFFFFFFFu);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            u32 &p = pixels[(size_t)(y * 60 + x)];
            if (std::hypot(x - 15.5, y - 15.5) < 10)
                p = 0xFF000000u;
            else if (x >= 35 && x < 50 && y >= 10 && y < 25)
                p = 0xFF808080u;
            else if (y >= 32)
                p = 0x00000000u; // clear: the paper shows through
        }
    return pixels;
}

void write_png(const std::string &path, int width, int height, const std::vector<u32> &pixels) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)width;
    image.height = (png_uint_32)height;
    image.format = PNG_FORMAT_BGRA;
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr)) << image.message;
}

std::string rows(const workshop_picture &p) {
    std::string s;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x)
            s += workshop_at(p, x, y) ? '#' : '.';
        s += '\n';
    }
    return s;
}

TEST(WorkshopImport, APngBecomesCellsAtTwoThresholds) {
    temp_folder folder("tw_import");
    const std::string path = (folder.root / "sample.png").string();
    write_png(path, 60, 40, sample_pixels());
    workshop_image image;
    std::string why;
    ASSERT_TRUE(workshop_image_read(path, &image, &why)) << why;
    EXPECT_EQ(image.width, 60);
    EXPECT_EQ(image.height, 40);
    EXPECT_EQ(image.darkness[0], 0);              // white paper
    EXPECT_EQ(image.darkness[15 * 60 + 15], 255); // the disk
    EXPECT_EQ(image.darkness[39 * 60 + 0], 0);    // clear counts as paper
    EXPECT_EQ(image.darkness[12 * 60 + 40], 127); // the grey square

    int w = 0, h = 0;
    workshop_import_size(image, &w, &h);
    EXPECT_EQ(w, 20);
    EXPECT_EQ(h, 13); // the picture's shape, the longer side 20

    // At 12 x 8 cells each cell is 5 x 5 pixels: a low threshold takes the grey square too, a
    // high one only the cells the disk covers most.
    const std::vector<u8> cells = workshop_cell_darkness(image, 12, 8);
    EXPECT_EQ(rows(workshop_threshold(cells, 12, 8, 100)),
              "............\n"
              "..##........\n"
              ".####..###..\n"
              ".####..###..\n"
              "..###..###..\n"
              "............\n"
              "............\n"
              "............\n");
    EXPECT_EQ(rows(workshop_threshold(cells, 12, 8, 200)),
              "............\n"
              "............\n"
              "..###.......\n"
              "..###.......\n"
              "..##........\n"
              "............\n"
              "............\n"
              "............\n");
    // The automatic threshold splits paper from ink: the disk and the square both in.
    const int t = workshop_auto_threshold(cells);
    EXPECT_GT(t, 0);
    EXPECT_LE(t, 127);
}

TEST(WorkshopImport, FilesThatAreNotGoodPngsAreRefusedWithTheirReason) {
    temp_folder folder("tw_import_bad");
    const std::string good = (folder.root / "good.png").string();
    write_png(good, 60, 40, sample_pixels());
    std::string bytes = file_text(good);
    ASSERT_GT(bytes.size(), 100u);

    int w = 0, h = 0;
    std::vector<u32> pixels;
    std::string why;
    // Cut short in the middle of its picture data.
    const std::string cut = (folder.root / "cut.png").string();
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    EXPECT_FALSE(platform_png_read(cut, &w, &h, &pixels, &why));
    EXPECT_EQ(why.rfind("the picture is damaged: ", 0), 0u) << why;
    EXPECT_TRUE(pixels.empty());
    // A byte of its header changed: the header's checksum fails.
    std::string header = bytes;
    header[20] ^= 0x55;
    const std::string broken = (folder.root / "broken.png").string();
    std::ofstream(broken, std::ios::binary) << header;
    EXPECT_FALSE(platform_png_read(broken, &w, &h, &pixels, &why));
    EXPECT_EQ(why.rfind("the picture is damaged: ", 0), 0u) << why;
    // Not a PNG at all, a folder, and no file.
    const std::string text = (folder.root / "notes.png").string();
    std::ofstream(text) << "width 5\n";
    EXPECT_FALSE(platform_png_read(text, &w, &h, &pixels, &why));
    EXPECT_EQ(why, "it is not a PNG picture");
    EXPECT_FALSE(platform_png_read(folder.root.string(), &w, &h, &pixels, &why));
    EXPECT_EQ(why, "the file cannot be opened");
    workshop_image image;
    EXPECT_FALSE(workshop_image_read((folder.root / "none.png").string(), &image, &why));
    EXPECT_EQ(why, "the file cannot be opened");
}

} // namespace
