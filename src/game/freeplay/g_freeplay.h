// g_freeplay.h -- free play: generated puzzles and puzzles from files, played beside the story
//
// Free play never touches the story: its puzzles, records and unfinished board live in
// a file of their own. It plays its puzzles on the board as one of the board's clients.
#pragma once

#include "engine/ec_types.h"
#include "game/board/g_necrogram_board.h"
#include "game/g_busy.h"
#include "puzzle/pz_puzzle.h"
#include "puzzle/pz_solve.h"

#include <chrono>
#include <string>
#include <vector>

// The largest free-play board, each way.
constexpr int freeplay_max_size = 30;

enum freeplay_origin : int { freeplay_origin_generated = 0, freeplay_origin_file = 1 };

// The free-play puzzle the board plays.
struct freeplay_puzzle {
    pz_puzzle puzzle; // its clues, and always a goal: the picture, or the first solution found
    int origin = freeplay_origin_generated;
    int grade = 0;                  // generated: the pz_grade asked for
    u32 number = 0;                 // generated: the puzzle number
    std::string path;               // file: the file it was read from
    int index_in_file = 0;          // file: its place in that file, from 0
    int list_index = 0;             // its place in the list being stepped through
    int list_count = 1;             // puzzles in that list (1 for a generated puzzle)
    bool several_solutions = false; // the clues allow more than one picture: any one captures it
    std::string caption;            // shown on the board: "20x20 hard 48213", "birds.non: Heron (2 of 5)"
};

// True while the board is free play's (its client is free play and a puzzle is set).
bool freeplay_on();
// The puzzle set for the board (null before the first).
const freeplay_puzzle *freeplay_current();
// Makes p the free-play puzzle and hands the board to free play (freeplay_on() true from
// now); the caller then enters appmode_necrogram.
void freeplay_set_current(freeplay_puzzle p);

// The board's calls (free play's board client).
// Solved: records the time (seconds of play) and the hints used, and forgets the unfinished board.
// True when the time beats an earlier record of the puzzle (a first solve is no new best).
bool freeplay_board_captured(double seconds, int hints_used);
// Left unfinished (the exit button, or the program closed on it): keeps its marks, time and hints.
void freeplay_board_keep(const necrogram_board *b, double seconds);
// On entering: puts the kept marks, time and hints back when the current puzzle is the
// unfinished one; false when there are none.
bool freeplay_board_restore(necrogram_board *b, double *seconds);
// The list's next (+1) or previous (-1) puzzle onto the board; false at either end.
bool freeplay_step(int delta);

// Generated puzzles: makes "WxH grade number" current and enters the board; false (and
// a message box) when it cannot be made.
bool freeplay_start_generated(int width, int height, int grade, u32 number);
// Makes the kept board's puzzle current again and enters the board; false when it cannot:
// when its puzzle cannot be made or read again a box says why and offers to forget the
// kept board (Yes drops it from the file).
bool freeplay_continue();
// Files (the command line, a file dropped on the window): reads every puzzle of every
// file; each file or puzzle that cannot be played gets a message box naming the file and
// the reason. Enters the board at the first playable puzzle; false when there is none
// (the game stays where it was). The puzzles are checked off the frame, 20 seconds at
// most in all (then the rest are not tried, and a box says so); Escape stops the checks
// and closing the window ends them. Stepping through the list (freeplay_step) checks the
// same way.
bool freeplay_open_files(const std::vector<std::string> &paths);
// The solver's time for a puzzle from a file, for each of its two solves.
constexpr double freeplay_check_seconds = 2.0;
// Readies a puzzle from a file for the board: its goal (its own picture, else the first
// solution found) and whether its clues allow several pictures. The reason it cannot be
// played ("has no solution"), or "". The limits' seconds (freeplay_check_seconds at most)
// and cancel bound the work; when they, rather than the puzzle, cut it short, *cut_short
// is set and the puzzle is left as it was.
std::string freeplay_solve_for_board(pz_puzzle *p, bool *several_solutions, const pz_limits &limits = {},
                                     bool *cut_short = nullptr);
// The same off the frame (busy_run), the window drawn with "Checking <what>...", Escape
// and closing honoured; the time until deadline at most. *end says how the wait ended;
// *cut_short is set when the puzzle was not checked (stopped, closing, or the deadline
// passed), and the puzzle is then left as it was.
std::string freeplay_check(pz_puzzle *p, bool *several_solutions, const std::string &what,
                           std::chrono::steady_clock::time_point deadline, busy_end *end, bool *cut_short);
// A file puzzle's name as the board and the records show it: the file's name, then its
// title when it has one, in UTF-8, control characters as '?', each cut short ("...")
// past 32 and 40 characters.
std::string freeplay_file_caption(const std::string &path, const std::string &title);
