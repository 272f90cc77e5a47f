// pf_image.h -- reading PNG pictures (through libpng), for pictures a player brings in
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The largest PNG file read, and the most pixels its picture may have.
constexpr std::size_t platform_png_max_file = 32u << 20;
constexpr std::uint64_t platform_png_max_pixels = 4096ull * 4096ull;

// Reads the PNG file at path (a regular file only) into width x height pixels, row by
// row, each 0xAARRGGBB. False with the reason in *why ("not a PNG file", "the picture is
// damaged: ...") when it cannot be read; *pixels is then empty.
bool platform_png_read(const std::string &path, int *width, int *height, std::vector<std::uint32_t> *pixels,
                       std::string *why);
