// board_window.cpp -- the game with a generated free-play board open from the start, for measuring
// and looking at boards of any shape in a real window
//
//   board_window [WxH [grade [number]]]      (default 30x30, grade 0 (easy), number 1)
//   board_window FILE                        (the file's first puzzle, as a file dropped on the window)
//
// With BOARD_LIST=N set it stands as the second of a list of N puzzles of a file whose clues
// allow several pictures, to show the column's list buttons and caption lines.
// The game starts as usual; once the splash screen is up, the board of the generated puzzle
// "WxH grade number" is entered. Everything else (the window, the clock, Escape and closing)
// is the game's own. bench/idle_cpu.sh uses it with BOARD=WxH.
#include "game/freeplay/g_freeplay.h"
#include "main.h"
#include "platform/pf_events.h"
#include "puzzle/pz_generate.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct request {
    std::string file;
    int width = 30, height = 30, grade = 0;
    unsigned number = 1;
    bool entered = false;
};

void enter_board(void *context) {
    request *r = (request *)context;
    if (r->entered || current_app_mode_get() != appmode_splash)
        return;
    r->entered = true;
    if (!r->file.empty()) {
        freeplay_open_files({r->file});
        return;
    }
    freeplay_puzzle p;
    std::string why;
    if (!pz_generate(r->width, r->height, (pz_grade)r->grade, r->number, &p.puzzle, &why)) {
        std::fprintf(stderr, "board_window: %s\n", why.c_str());
        return;
    }
    p.grade = r->grade;
    p.number = r->number;
    p.caption = std::to_string(r->width) + "x" + std::to_string(r->height) + " " + pz_grade_name((pz_grade)r->grade) +
                " " + std::to_string(r->number);
    if (const char *list = std::getenv("BOARD_LIST"); list && *list) {
        p.list_count = std::max(2, std::atoi(list));
        p.list_index = 1;
        p.several_solutions = true;
        p.origin = freeplay_origin_file;
        p.caption = "shapes.non: " + p.caption + " (2 of " + std::to_string(p.list_count) + ")";
    }
    freeplay_set_current(p);
    set_app_mode(appmode_necrogram);
}

} // namespace

int main(int argc, char **argv) {
    request r;
    if (argc > 1 && std::sscanf(argv[1], "%dx%d", &r.width, &r.height) != 2)
        r.file = argv[1];
    if (argc > 2)
        r.grade = std::atoi(argv[2]);
    if (argc > 3)
        r.number = (unsigned)std::strtoul(argv[3], nullptr, 10);
    platform_set_loop_hook(enter_board, &r);
    return tombweaver_main();
}
