// g_library_progress.h -- the picture library's progress file: solves and unfinished boards
//
// "library.txt" in the save's folder, apart from the story's save and free play's file.
// A version line, then one line a solved picture or kept board, fields split by tabs:
//   tombweaver library 1
//   solved <seconds> <hints> <key>
//   board <width> <height> <seconds> <hints> <cells> <key>
// A picture's key is its name (names are unique across the library); it comes last. The
// cells row by row as '.' (empty), '#' (full) and 'x' (cross).
#pragma once

#include <string>
#include <string_view>
#include <vector>

constexpr const char *library_file_name = "library.txt";
// More than any file the game writes: a bigger one is not ours.
constexpr std::size_t library_max_file_size = 1u << 20;
// More pictures than the library will ever hold: more lines of a kind are damage.
constexpr int library_max_entries = 2000;
// The largest picture side a kept board may have.
constexpr int library_max_side = 30;

// A solved picture's best.
struct library_record {
    std::string key;
    int seconds = 0; // the best time
    int hints = 0;   // the hints used in that time

    bool operator==(const library_record &) const = default;
};

// An unfinished board of one picture.
struct library_kept_board {
    std::string key;
    int width = 0, height = 0;
    int seconds = 0;
    int hints = 0;
    std::string cells; // width * height of '.', '#', 'x'

    bool operator==(const library_kept_board &) const = default;
};

struct library_progress {
    std::vector<library_record> solved;
    std::vector<library_kept_board> boards;
};

// The file's text, and that text read back: false when it is not ours (a wrong version, a
// line that does not parse, a key twice among the solves or among the boards).
std::string library_progress_text(const library_progress &progress);
bool library_progress_parse(std::string_view text, library_progress *out);

// The file's contents. A missing file is no progress; a damaged one is moved aside to
// "library.txt.damaged" and the player told in a box, once a session.
library_progress library_progress_read();
// Replaces the file atomically. False when it could not be written: the first failure of
// a session is told in a box, later ones only on stderr.
bool library_progress_write(const library_progress &progress);

// The record or kept board of key, or null.
const library_record *library_record_find(const library_progress &progress, const std::string &key);
const library_kept_board *library_board_find(const library_progress &progress, const std::string &key);
// A solve: the record of key takes the time (with its hints) when it beats the best (a tie
// in time: fewer hints), and the kept board of key goes. True when it is a new best.
bool library_record_solved(library_progress *progress, const std::string &key, int seconds, int hints);
// Keeps board in place of key's kept board (board.key names it); forgets key's board.
void library_board_keep(library_progress *progress, const library_kept_board &board);
void library_board_forget(library_progress *progress, const std::string &key);

// Tests: a new session, in which the damaged file and a failed write are told again.
void library_progress_forget_told();
