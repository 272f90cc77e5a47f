// g_board_client.h -- what brings a puzzle to the board screen: a client's table of calls
//
// The board screen plays one puzzle at a time for a client: the story's locations, free
// play's puzzles, and whatever else puts puzzles on the board. A client is a table of its
// own functions, in the style of the mode table, handed to the board before it is entered;
// the board names none of its clients. Every function is required unless it says "may be null".
#pragma once

#include "engine/ec_types.h"
#include "game/board/g_necrogram_board.h"
#include "puzzle/pz_puzzle.h"

#include <string>

struct board_client {
    // The puzzle to play, asked once each time the board is entered: its clues and a goal
    // of its size (its picture, or the first solution found). Null: nothing to play (the
    // board stays empty, with its buttons). The puzzle is copied onto the board.
    const pz_puzzle *(*puzzle)();
    // Puts what was kept of this puzzle back on the board just loaded with it (its marks,
    // hints used) and *seconds played; false when nothing was kept.
    bool (*restore)(necrogram_board *b, double *seconds);
    // Keeps an unfinished board for its next visit: leaving it, stepping to another
    // puzzle, closing the program on it.
    void (*keep)(const necrogram_board *b, double seconds);
    // The board has just been solved: records the solve (what was kept of it goes).
    void (*captured)(const necrogram_board *b, double seconds);
    // Leaves the board (its exit button, Escape) for the client's own screen.
    void (*leave)();
    // The list the puzzle is part of: its place in it and its length. May be null (no list).
    void (*list_place)(int *index, int *count) = nullptr;
    // Puts the list's next (+1) or previous (-1) puzzle on the board; false at either end.
    // May be null (no list).
    bool (*step)(int delta) = nullptr;
    // Shown in the right-hand column under the legend: the puzzle's caption and a note
    // under it ("" for none). May be null.
    std::string (*caption)() = nullptr;
    std::string (*note)() = nullptr;
    // The exit button's label and the legend's words for Escape (string-table ids).
    dword exit_label;
    dword escape_label;
    // The time played is shown beside the board and on the banner ("Solved in m:ss"),
    // else the banner says the monster is captured.
    bool timed;
    // The capture banner's first words, in place of "Fantastic!" (the picture's name, say).
    // May be null.
    std::string (*banner)() = nullptr;
    // The story's boards keep the story's layout (32-pixel cells on its 10 x 10 and 15 x 15
    // boards); others are fitted to the screen.
    bool story_layout = false;

    // The calls below may all be null (left out of a client's table).
    // What the finished picture is, named on the capture banner: "Location 7", "10x10 easy 48213".
    std::string (*picture_name)() = nullptr;
    // Whether the solve just recorded (captured) beat the puzzle's best time: the banner says so.
    bool (*new_best)() = nullptr;
    // Opens the next puzzle at once from a solved board (the Next button that replaces Hint,
    // and Return): false when there is none.
    bool (*next)() = nullptr;
    // A short text shown over the board, read every frame: a lesson's step ("" for none).
    std::string (*lesson)() = nullptr;
    // Whether the lesson points at a cell (framed in white on the board).
    bool (*lesson_cell)(int row, int column) = nullptr;
    // Called after each change of the marks (a press, a painted cell, undo, redo, a hint
    // applied) and once the board is loaded, with the board.
    void (*marked)(const necrogram_board *b) = nullptr;
};

// Hands the board to client (kept until another client is handed over): the board screen
// plays its puzzle from its next entry on. Null: no client (an empty board).
void necrogram_client_set(const board_client *client);
const board_client *necrogram_client();
