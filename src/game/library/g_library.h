// g_library.h -- the picture library: its chapters read from the pack, which of them are open,
// and its pictures played on the board
//
// The chapters are the pack's entries under "library\", in name order, each a chapter file
// of named pictures (puzzle/pz_library.h). A chapter opens once most of the one before it
// is solved; the first is always open. Progress lives in its own file (g_library_progress.h).
#pragma once

#include "game/library/g_library_progress.h"
#include "puzzle/pz_grade.h"
#include "puzzle/pz_puzzle.h"

#include <string>
#include <string_view>
#include <vector>

// Where the chapter files are in the pack.
constexpr const char *library_pack_folder = "library\\";
// A chapter opens when this share of the one before it is solved (rounded up).
constexpr int library_open_numerator = 3, library_open_denominator = 4;

struct library_picture {
    pz_puzzle puzzle; // titled with its name (the key of its progress), its picture as the goal
    pz_grade grade = pz_grade::easy;
};

struct library_chapter {
    std::string entry; // its pack entry: "library\02-crypt.txt"
    std::string name;  // its title: "The Crypt"; the entry's file name when it could not be read
    std::vector<library_picture> pictures;
    std::string damage; // why it could not be read: "" when it was
};

// Reads one chapter file's text (entry names it). A chapter that cannot be read, or with a
// picture larger than the board takes, comes back without pictures and with the reason.
library_chapter library_chapter_read(std::string_view text, const std::string &entry);

// Reads the chapters again from the open pack (a chapter whose text has not changed keeps
// its grades). Chapters that cannot be read are told in one box, each damage once a session;
// they stay in the list, without pictures. No pack, or none under "library\": no chapters.
const std::vector<library_chapter> &library_chapters_read();
// The chapters last read (read now if they never were).
const std::vector<library_chapter> &library_chapters();
// Tests: forgets the chapters and the damage told, as a new session would.
void library_chapters_forget();

// Solves a chapter needs to open the next one: three quarters of its pictures, rounded up.
int library_open_need(const library_chapter &chapter);
// The pictures of chapter solved in progress.
int library_solved_in(const library_chapter &chapter, const library_progress &progress);
// For each chapter, 0 when it is open, else the solves still missing in the chapters before
// it. A chapter that could not be read neither opens nor holds back the ones after it.
std::vector<int> library_solves_to_open(const std::vector<library_chapter> &chapters, const library_progress &progress);

// Puts picture index of chapter on the board as the library's and enters the board;
// false (nothing changes) when there is no such picture.
bool library_play(int chapter, int index);
// The picture last played: its chapter and its place in it (the page the screen comes back to);
// -1 before the first.
int library_current_chapter();
int library_current_index();
// True while the board is the library's.
bool library_on();

// A capture on the board, for the screen to show when the player comes back to it.
struct library_capture {
    int chapter = -1, index = -1;
    int seconds = 0, hints = 0;
    bool first = false; // the picture's first solve
    bool best = false;  // a new best time (or the first)
};
// The capture of the last picture played, if it was captured and has not been taken yet
// (stepping to another picture forgets it).
bool library_take_capture(library_capture *out);
