// g_tutorial.cpp -- the tutorial's boards, their lessons, and the board client that plays them
#include "game/tutorial/g_tutorial.h"

#include "engine/ec_settings.h"
#include "game/board/g_board_client.h"
#include "game/board/g_necrogram_help.h"
#include "game/g_strings.h"
#include "ui/app_modes.h"

#include <string>
#include <vector>

namespace {

// What a step waits for.
enum step_wait {
    wait_marks,        // every cell of its rectangles has its mark
    wait_hint_shown,   // a hint is on the board
    wait_hint_applied, // the hint shown is gone (made, or the marks changed)
    wait_solved,       // the board is solved
};

// Cells from (row0, column0) to (row1, column1), both included, counted from 0.
struct cell_rect {
    int row0, column0, row1, column1;
};

struct lesson_step {
    const char *text;
    step_wait wait;
    u8 mark;            // wait_marks: the mark the cells must have
    cell_rect cells[2]; // wait_marks: the cells (a rectangle with row0 -1 is none)
};

constexpr cell_rect none = {-1, -1, -1, -1};
constexpr int max_steps = 5;

// A tutorial board: its picture, drawn by hand ('#' filled, '.' empty), and its lesson.
struct tutorial_board_data {
    const char *name; // what the picture shows
    int width, height;
    const char *rows[10];
    lesson_step steps[max_steps];
    int num_steps;
};

const tutorial_board_data boards[tutorial_num_boards] = {
    {.name = "the ghost",
     .width = 5,
     .height = 5,
     .rows = {".###.", "#.#.#", "#####", "#####", "#.#.#"},
     .steps = {{"Each number counts filled cells in its row or column, run by run. Row 3 says 5: fill all five "
                "with the left mouse button (or hold it and drag).",
                wait_marks,
                mark_full,
                {{2, 0, 2, 4}, none}},
               {"Row 3 now matches its 5, so its number turns grey: the line is finished. Column 3 says 5 too: "
                "fill it.",
                wait_marks,
                mark_full,
                {{0, 2, 4, 2}, none}},
               {"Row 2 says 1 1 1: three single cells with a gap between each. Its cells 2 and 4 stay empty: "
                "right-click them to cross them out.",
                wait_marks,
                mark_cross,
                {{1, 1, 1, 1}, {1, 3, 1, 3}}},
               {"The keys play too: arrows move the cursor, Space or Z fills, X crosses. Fill cells 1 and 5 of "
                "row 2 with the keys.",
                wait_marks,
                mark_full,
                {{1, 0, 1, 0}, {1, 4, 1, 4}}},
               {"Finish the ghost: once every row and column matches its numbers, the picture is captured.",
                wait_solved,
                0,
                {none, none}}},
     .num_steps = 5},
    {.name = "the skull",
     .width = 8,
     .height = 8,
     .rows = {"..####..", ".######.", "########", "#..##..#", "#..##..#", "###..###", ".######.", ".#.##.#."},
     .steps = {{"Row 2 says 6 in 8 cells. Put the 6 at the left end, then at the right end: cells 3-6 are "
                "filled both ways, so wherever it lies. Fill them.",
                wait_marks,
                mark_full,
                {{1, 2, 1, 5}, none}},
               {"A run longer than half its line always covers its middle. Stuck? Press Hint (or T): it shows "
                "the next step and says why.",
                wait_hint_shown,
                0,
                {none, none}},
               {"The hint frames in blue what follows, in amber any marks it rests on, and says why under "
                "the board. Press Hint again to make that step.",
                wait_hint_applied,
                0,
                {none, none}},
               {"Finish the skull. Read each hint's reason, then try to find the next step yourself.",
                wait_solved,
                0,
                {none, none}}},
     .num_steps = 4},
    {.name = "the tombstone",
     .width = 10,
     .height = 10,
     .rows = {"..######..", ".########.", ".###..###.", ".##....##.", ".###..###.", ".###..###.", ".########.",
              ".########.", "##########", "##########"},
     .steps = {{"Rows 9 and 10 say 10: fill them both.", wait_marks, mark_full, {{8, 0, 9, 9}, none}},
               {"Column 1 says 2 and has its 2: the line is finished, so its other cells stay empty. Cross them "
                "(hold the right button to paint).",
                wait_marks,
                mark_cross,
                {{0, 0, 7, 0}, none}},
               {"Column 10 is finished too. The tombstone is yours now: finish it. Hint is there when you are "
                "stuck.",
                wait_solved,
                0,
                {none, none}}},
     .num_steps = 3},
};

bool on = false;     // the board plays the tutorial
int board_index = 0; // the board played
int step = 0;        // its lesson's step; num_steps once captured
int mode_after = appmode_main_menu;
pz_puzzle puzzle_played;

const tutorial_board_data &current() { return boards[board_index]; }

bool step_done(const lesson_step &s, const necrogram_board *b) {
    switch (s.wait) {
    case wait_marks:
        for (const cell_rect &r : s.cells)
            for (int row = r.row0; row >= 0 && row <= r.row1; ++row)
                for (int column = r.column0; column <= r.column1; ++column)
                    if (necrogram_mark_at(b, row, column) != s.mark)
                        return false;
        return true;
    case wait_hint_shown: return necrogram_hint_shown() != nullptr;
    case wait_hint_applied: return b->hints_used > 0 && !necrogram_hint_shown() && !necrogram_help_thinking();
    case wait_solved: return b->solved;
    }
    return false;
}

// The end, by the last board's Next or by Skip: remembered, then on to what comes after.
void finish() {
    on = false;
    tutorial_mark_done();
    set_app_mode(mode_after);
}

// The board client.

const pz_puzzle *client_puzzle() {
    const tutorial_board_data &b = current();
    std::vector<u8> cells;
    for (int r = 0; r < b.height; ++r)
        for (int c = 0; c < b.width; ++c)
            cells.push_back(b.rows[r][c] == '#');
    puzzle_played = pz_from_picture(b.width, b.height, cells.data());
    step = 0;
    return &puzzle_played;
}

bool client_restore(necrogram_board *, double *) { return false; } // every visit starts afresh
void client_keep(const necrogram_board *, double) {}
void client_captured(const necrogram_board *, double) { step = current().num_steps; }
void client_leave() { finish(); } // Skip

std::string client_caption() { return "Tutorial"; }
std::string client_note() {
    return "Board " + std::to_string(board_index + 1) + " of " + std::to_string(tutorial_num_boards);
}
std::string client_picture_name() {
    return "Tutorial " + std::to_string(board_index + 1) + " of " + std::to_string(tutorial_num_boards) + ": " +
           current().name;
}

// Next on a captured board: the next board, or after the last the end (the screen is left
// here, so there is no puzzle for the board to open).
bool client_next() {
    if (board_index + 1 < tutorial_num_boards) {
        ++board_index;
        return true;
    }
    finish();
    return false;
}

std::string client_lesson() { return tutorial_lesson_text(); }

// The cells the step's marks are wanted on.
bool client_lesson_cell(int row, int column) {
    if (step >= current().num_steps || current().steps[step].wait != wait_marks)
        return false;
    for (const cell_rect &r : current().steps[step].cells)
        if (r.row0 >= 0 && row >= r.row0 && row <= r.row1 && column >= r.column0 && column <= r.column1)
            return true;
    return false;
}

// After each change of marks: every step the board now satisfies is over.
void client_marked(const necrogram_board *b) {
    while (step < current().num_steps && step_done(current().steps[step], b))
        ++step;
}

const board_client client = {
    .puzzle = client_puzzle,
    .restore = client_restore,
    .keep = client_keep,
    .captured = client_captured,
    .leave = client_leave,
    .list_place = nullptr,
    .step = nullptr,
    .caption = client_caption,
    .note = client_note,
    .exit_label = str_tut_skip,
    .escape_label = str_tut_act_skip,
    .timed = false,
    .picture_name = client_picture_name,
    .new_best = nullptr,
    .next = client_next,
    .lesson = client_lesson,
    .lesson_cell = client_lesson_cell,
    .marked = client_marked,
};

} // namespace

void tutorial_start(int after) {
    mode_after = after;
    board_index = 0;
    step = 0;
    on = true;
    necrogram_client_set(&client);
    set_app_mode(appmode_necrogram);
}

void tutorial_mark_done() {
    game_settings s = settings_get();
    if (s.tutorial_done)
        return;
    s.tutorial_done = true;
    settings_set(s);
}

bool tutorial_on() { return on && necrogram_client() == &client; }
int tutorial_board() { return board_index; }
int tutorial_step() { return step; }
int tutorial_num_steps(int board) { return board >= 0 && board < tutorial_num_boards ? boards[board].num_steps : 0; }

const char *tutorial_lesson_text() {
    if (!tutorial_on())
        return "";
    if (step < current().num_steps)
        return current().steps[step].text;
    if (board_index + 1 < tutorial_num_boards)
        return "Captured! Press Next for the next board.";
    return mode_after == appmode_map ? "You know the rules now. Press Next to start the story."
                                     : "You know the rules now. Press Next to go back to the title.";
}
