// pf_image.cpp -- PNG pictures read with libpng's simplified reader, from memory
#include "platform/pf_image.h"

#include "platform/pf_system.h"

#include <png.h>

#include <cstring>

bool platform_png_read(const std::string &path, int *width, int *height, std::vector<std::uint32_t> *pixels,
                       std::string *why) {
    pixels->clear();
    *width = *height = 0;
    platform_file *file = platform_file_open_read(path.c_str());
    if (!file) {
        *why = "the file cannot be opened";
        return false;
    }
    const std::uint64_t size = platform_file_size(file);
    if (size > platform_png_max_file) {
        platform_file_close(file);
        *why = "the file is larger than " + std::to_string(platform_png_max_file >> 20) + " MB";
        return false;
    }
    std::vector<unsigned char> bytes((std::size_t)size);
    const std::size_t got = platform_file_read(file, bytes.data(), bytes.size());
    platform_file_close(file);
    if (got != bytes.size()) {
        *why = "the file could not be read whole";
        return false;
    }
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() < 8 || std::memcmp(bytes.data(), signature, 8) != 0) {
        *why = "it is not a PNG picture";
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        *why = std::string("the picture is damaged: ") + image.message;
        png_image_free(&image);
        return false;
    }
    if ((std::uint64_t)image.width * image.height > platform_png_max_pixels || image.width == 0 || image.height == 0) {
        *why = "the picture is " + std::to_string(image.width) + "x" + std::to_string(image.height) +
               " pixels: at most 4096x4096 are read";
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_BGRA; // in memory B, G, R, A: a little-endian 0xAARRGGBB word
    std::vector<std::uint32_t> out((std::size_t)image.width * image.height);
    if (!png_image_finish_read(&image, nullptr, out.data(), 0, nullptr)) {
        *why = std::string("the picture is damaged: ") + image.message;
        png_image_free(&image);
        return false;
    }
    *width = (int)image.width;
    *height = (int)image.height;
    pixels->swap(out);
    return true;
}
