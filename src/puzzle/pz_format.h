// pz_format.h -- reading and writing puzzles: the .non text, the puzzle-site XML and game ids
#pragma once

// Every reader takes the whole text in memory and either returns every puzzle it holds
// or refuses the text with the first fault: the file's name, the line and the reason.
// Readers never read past the text, and their work and memory grow at most linearly
// with its size; what would need more (a line over pz_max_line, XML nested deeper than
// pz_max_depth, a file over pz_max_file or of more than pz_max_puzzles) is refused. Every puzzle returned passes
// pz_check (or, when pz_read_options ask, pz_check without its equal totals).

#include "puzzle/pz_puzzle.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t pz_max_file = 16u << 20;  // bytes of a puzzle file
constexpr size_t pz_max_line = 256u << 10; // characters of one line of .non or game-id text
constexpr int pz_max_depth = 32;           // nesting of XML elements
constexpr size_t pz_max_puzzles = 10000;   // puzzles in one file

// Why a file was refused. line is 1-based; 0 when the fault is not on one line.
struct pz_error {
    std::string file;
    int line = 0;
    std::string reason;
};

// "file:line: reason" ("file: reason" without a line).
std::string pz_error_text(const pz_error &e);

// s safe to print on a terminal: each control character (a byte below 0x20 or 0x7F, a
// UTF-8 C1 control) and each byte that is not part of well-formed UTF-8 written as \xHH,
// the rest (backslashes too) as it is, so that a second pass changes nothing. Every
// reason a reader gives shows the file's text this way.
std::string pz_printable(std::string_view s);

enum pz_format { pz_format_non, pz_format_xml, pz_format_id };

// What a reader lets through beyond pz_check.
struct pz_read_options {
    // A puzzle whose rows and columns fill different numbers of cells: without a
    // solution, but readable (the solving tool answers "none" for it).
    bool unequal_totals = false;
};

// The format of a file by its first line that is not blank or a # comment: XML starts
// with '<', a game id with a digit, a .non key with a letter; otherwise the name's
// extension (.xml; .txt for game ids), and .non for anything else.
pz_format pz_detect(std::string_view name, std::string_view text);

// The .non text: keys width, height, title, by, copyright, catalogue and goal (values
// plain or in double quotes, where \" and \\ stand for " and \), the blocks rows and
// columns of one line of comma-separated runs per row or column ("0" or an empty line
// for an empty line); # lines and unknown keys are skipped. A text of several puzzles has
// a line pz_non_separator after each but the last; appends every puzzle to *out.
bool pz_read_non(std::string_view text, const std::string &file, std::vector<pz_puzzle> *out, pz_error *err,
                 const pz_read_options &options = {});

// The line between two puzzles of one .non text.
constexpr const char pz_non_separator[] = "---";

// The puzzle-site XML export: a <puzzleset> of <puzzle>s (or one <puzzle>) with
// <clues type="rows|columns"> of <line>s of <count>s, optional <title>, <author>,
// <copyright>, <id> (the catalogue) and a <solution type="goal"> <image>. Puzzles of
// more than one colour beside the background are refused, naming the colour.
bool pz_read_xml(std::string_view text, const std::string &file, std::vector<pz_puzzle> *out, pz_error *err,
                 const pz_read_options &options = {});

// One game id, "WxH:" then the column clues then the row clues, lines separated by '/',
// runs within a line by '.', an empty line as nothing between two slashes (or "0");
// blanks around a line's runs are allowed.
bool pz_read_id(std::string_view id, pz_puzzle *out, std::string *why, const pz_read_options &options = {});

// A text of game ids, one a line; blank lines and lines starting with # are skipped.
bool pz_read_ids(std::string_view text, const std::string &file, std::vector<pz_puzzle> *out, pz_error *err,
                 const pz_read_options &options = {});

// Any of the three, by pz_detect; appends every puzzle of the text to *out.
bool pz_read_text(std::string_view text, const std::string &file, std::vector<pz_puzzle> *out, pz_error *err,
                  const pz_read_options &options = {});

// Reads the file at path (at most pz_max_file bytes) and every puzzle in it, like pz_read_text.
// Only a regular file is read: a named pipe, a device or a folder is refused ("not a
// regular file") without waiting for it.
bool pz_read_file(const std::string &path, std::vector<pz_puzzle> *out, pz_error *err,
                  const pz_read_options &options = {});

// The same from an open stream (standard input, say) read to its end, named name in
// errors; the stream stays open.
bool pz_read_stream(std::FILE *f, const std::string &name, std::vector<pz_puzzle> *out, pz_error *err,
                    const pz_read_options &options = {});

// The puzzle as .non text: catalogue, title, by, copyright (those not empty), width,
// height, rows, columns and goal (when present), every line ending in '\n'. Control
// characters in the strings, which a .non line cannot hold, are written as spaces.
std::string pz_write_non(const pz_puzzle &p);

// The puzzle's game id, without a line end.
std::string pz_write_id(const pz_puzzle &p);
