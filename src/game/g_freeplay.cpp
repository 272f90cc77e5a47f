// g_freeplay.cpp -- free play's current puzzle and the board's calls
#include "game/g_freeplay.h"

namespace {

bool playing = false;
freeplay_puzzle current;
bool have_current = false;

} // namespace

bool freeplay_on() { return playing; }
void freeplay_off() { playing = false; }
const freeplay_puzzle *freeplay_current() { return have_current ? &current : nullptr; }

void freeplay_set_current(freeplay_puzzle p) {
    current = std::move(p);
    have_current = true;
    playing = true;
}

void freeplay_board_captured(double, int) {}
void freeplay_board_keep(const necrogram_board *, double) {}
bool freeplay_board_restore(necrogram_board *, double *) { return false; }
bool freeplay_start_generated(int, int, int, u32) { return false; }
