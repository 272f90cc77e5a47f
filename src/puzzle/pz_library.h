// pz_library.h -- the picture library's chapter files: named pictures drawn as text
#pragma once

// A chapter file names its chapter and draws each picture row by row:
//
//   # comment lines start with '#' and a space
//   chapter: Creatures of the Night
//
//   picture: Bat
//   .#.......#.
//   ##.#####.##
//
// A line made only of '#' (filled) and '.' (empty) is a row of the picture above it; a
// blank line ends a picture. The clues are never written: they are the rows' runs.

#include "puzzle/pz_format.h"
#include "puzzle/pz_puzzle.h"

#include <string>
#include <string_view>
#include <vector>

// The most characters of a chapter's or a picture's name.
constexpr size_t pz_library_max_name = 40;

struct pz_library_chapter {
    std::string name;
    std::vector<pz_puzzle> pictures; // each titled with its name, its picture as the goal
};

// Reads one chapter file's text, named file in errors. Refuses (with the line and reason)
// a missing or repeated chapter line, a row outside a picture, rows of different widths,
// a picture of no rows or with a side outside 1..pz_max_size, a name that is empty or too long.
bool pz_read_library_chapter(std::string_view text, const std::string &file, pz_library_chapter *out, pz_error *err);
