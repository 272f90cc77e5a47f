// g_workshop_files.h -- My Puzzles on disk: the pictures' .non files and their best times
//
// The pictures live in "puzzles" beside the save ($XDG_DATA_HOME/Oakhollow Works/puzzles/),
// one .non file each (title, author, clues and the picture as its goal), named after the
// title. Every write replaces its file atomically. The best times of their test plays are
// kept in "workshop.txt" beside the save, a line each: "best <seconds> <game id>".
#pragma once

#include "game/workshop/g_workshop.h"

#include <string>
#include <vector>

constexpr const char *workshop_records_name = "workshop.txt";
// The longest title and author kept (bytes).
constexpr std::size_t workshop_max_text = 40;

// The puzzles folder, "" when the game has no save folder.
std::string workshop_folder();
// A title's file name: letters, digits, spaces, '-' and '_' kept (others dropped), blanks
// trimmed, cut to 40 characters; "Untitled" when nothing is left; then ".non".
std::string workshop_file_name(const std::string &title);
// The path a document saves to under its title (in the puzzles folder), "" without a folder.
std::string workshop_target_path(const workshop_document &doc);

// The document as its .non text, and read back from a file (the picture is its goal, or
// the first solution of its clues when it has none). False with the reason in *why.
std::string workshop_non_text(const workshop_document &doc);
bool workshop_read(const std::string &path, workshop_document *out, std::string *why);

// Writes doc to path atomically (the folder made when missing): the file is either the old
// one whole or the new one. False with the reason in *why; nothing else changes then.
bool workshop_write(const workshop_document &doc, const std::string &path, std::string *why);
// Removes a picture's file; false with the reason.
bool workshop_remove(const std::string &path, std::string *why);
// A copy of the picture at path under a new title ("<title> copy", "<title> copy 2", ...)
// that takes no other picture's file; its path in *out_path.
bool workshop_duplicate(const std::string &path, std::string *out_path, std::string *why);

// One picture of the folder.
struct workshop_entry {
    std::string path;
    workshop_document doc;
    bool readable = false;
    std::string error; // why it cannot be read
};
// Every .non file of the folder, by title (then file name); unreadable ones too, with why.
std::vector<workshop_entry> workshop_list();

// A picture's key for its best time: its game id.
std::string workshop_key(const workshop_picture &p);
// The best time of a picture's test plays in seconds, -1 when it was never solved.
int workshop_best_seconds(const std::string &key);
// A solve in seconds: kept when it beats the best. True when it is a new best.
bool workshop_record_solve(const std::string &key, int seconds);
// The best times' file (workshop.txt beside the save): a damaged one is moved aside and told
// once a session, a failed write told once. Tests: a new session.
void workshop_records_forget_told();
