// pz_text.h -- what the puzzle readers share: the lines of a text and the numbers in them
#pragma once

#include "puzzle/pz_format.h"

#include <string>
#include <string_view>

// Walks a text line by line; a line is returned without its "\n" or "\r\n".
struct pz_lines {
    std::string_view text;
    size_t pos = 0;
    int number = 0; // of the line last returned, from 1

    // The next line in *line; false at the end of the text.
    bool next(std::string_view *line);
};

// The text without a UTF-8 byte-order mark at its start.
std::string_view pz_skip_bom(std::string_view text);

// s without spaces and tabs at either end.
std::string_view pz_trim(std::string_view s);

// s for a message: in quotes, cut to its first 24 bytes, shown by pz_printable.
std::string pz_excerpt(std::string_view s);

// A whole number from 0 to limit written in decimal digits (surrounding blanks allowed);
// otherwise false with the reason, naming what the number is ("the width", "a run").
bool pz_parse_number(std::string_view s, int limit, const char *what, int *out, std::string *why);

// Sets *err (when given) to the fault, the reason shown by pz_printable; returns false.
bool pz_fail(pz_error *err, const std::string &file, int line, const std::string &reason);

// The reason a line longer than pz_max_line is refused.
std::string pz_long_line_reason();

// The reason a file of more than pz_max_puzzles is refused.
std::string pz_too_many_reason();
