// g_freeplay_records.h -- free play's progress file: the records and the one unfinished board
//
// "freeplay.txt" in the save's folder, apart from the story's save, which free play never
// touches. A version line, then one line a record or kept board, fields split by tabs:
//   tombweaver free play 1
//   record <order> <seconds> <hints> <key> <name>
//   board <origin> <width> <height> <grade> <number> <index> <seconds> <hints> <cells> <key> <path>
//   choice <width> <height> <grade>          (the screen's last choice of a generated puzzle)
// The cells row by row as '.' (empty), '#' (full) and 'x' (cross); the path comes last
// so that it may hold tabs.
#pragma once

#include "engine/ec_fileio.h"
#include "engine/ec_types.h"
#include "game/freeplay/g_freeplay.h"

#include <string>
#include <string_view>
#include <vector>

constexpr const char *freeplay_file_name = "freeplay.txt";
// The file's limits, the same for its writer and its reader. The writer cuts a name or a
// key to freeplay_max_name bytes, keeps the latest freeplay_max_records records, and
// leaves out a board whose path is longer than freeplay_max_path bytes (the longest path
// the system opens) or holds a line end; the reader takes nothing longer. No file the
// writer makes passes freeplay_max_file_size: a bigger one is not ours.
constexpr std::size_t freeplay_max_name = 200;
constexpr int freeplay_max_records = 4000;
constexpr std::size_t freeplay_max_path = max_path - 1;
constexpr int freeplay_max_seconds = 100000000; // over three years: anything longer is damage
constexpr int freeplay_max_hints = 1000000;
constexpr std::size_t freeplay_max_file_size = 4u << 20;

// A solved puzzle's best.
struct freeplay_record {
    std::string key;  // freeplay_puzzle_key
    std::string name; // shown: "20x20 hard 48213", "birds.non: Heron"
    int seconds = 0;  // the best time
    int hints = 0;    // the hints used in that time
    long order = 0;   // when it was last solved: a later solve has a larger order

    bool operator==(const freeplay_record &) const = default;
};

// The unfinished board, with what it takes to make its puzzle again.
struct freeplay_kept_board {
    std::string key;
    int origin = freeplay_origin_generated;
    int width = 0, height = 0;
    int grade = 0;
    u32 number = 0;
    std::string path; // file: the file it was read from
    int index_in_file = 0;
    int seconds = 0;
    int hints = 0;
    std::string cells; // width * height of '.', '#', 'x'

    bool operator==(const freeplay_kept_board &) const = default;
};

struct freeplay_progress {
    std::vector<freeplay_record> records;
    bool have_board = false;
    freeplay_kept_board board;
    bool have_choice = false; // the screen's last width, height and grade
    int choice_width = 20, choice_height = 20, choice_grade = 0;
};

// A puzzle's identity: "WxH grade number" for a generated one; for one from a file
// "clues " and a hash of its clues, so the same puzzle matches wherever it was read from.
std::string freeplay_puzzle_key(const freeplay_puzzle &p);

// The file's text: freeplay_max_records records at most (the latest), and the board unless
// its path is too long or holds a line end.
std::string freeplay_progress_text(const freeplay_progress &progress);
// Reads that text back; false when it is not ours (a wrong version, a line that does
// not parse, a record's key twice, more records than the game writes).
bool freeplay_progress_parse(std::string_view text, freeplay_progress *out);

// The file's contents. A missing file is no progress; a damaged one (a line that does not
// parse, a wrong version, over freeplay_max_file_size) is moved aside to
// "freeplay.txt.damaged" and the player told in a box, once a session.
freeplay_progress freeplay_progress_read();
// Replaces the file atomically. False when it could not be written: the first failure of
// a session is told in a box, later ones only on stderr.
bool freeplay_progress_write(const freeplay_progress &progress);

// The record of key, or null.
const freeplay_record *freeplay_record_find(const freeplay_progress &progress, const std::string &key);
// A solve: the record of key gets a later order, and the time (with its hints) when it
// beats the best (a tie in time: fewer hints). True when it is a new best.
bool freeplay_record_solved(freeplay_progress *progress, const std::string &key, const std::string &name, int seconds,
                            int hints);
// The most recently solved records, latest first, at most count.
std::vector<freeplay_record> freeplay_records_recent(const freeplay_progress &progress, int count);

// "3:07" for 187 seconds, "1:02:03" past an hour.
std::string freeplay_time_text(int seconds);

// Tests: a new session, in which the damaged file and a failed write are told again.
void freeplay_progress_forget_told();
