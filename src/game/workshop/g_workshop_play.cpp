// g_workshop_play.cpp -- test play of a Workshop picture on the board
#include "game/workshop/g_workshop_play.h"

#include "game/board/g_board_client.h"
#include "game/g_strings.h"
#include "game/workshop/g_workshop_files.h"
#include "puzzle/pz_fair.h"
#include "ui/app_modes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

pz_puzzle puzzle;
std::string key, caption;
bool several = false;
int leave_to = appmode_workshop;

std::string time_text(int seconds) {
    char text[24];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

const pz_puzzle *client_puzzle() { return &puzzle; }
bool client_restore(necrogram_board *, double *) { return false; } // each test play starts afresh
void client_keep(const necrogram_board *, double) {}
void client_captured(const necrogram_board *, double seconds) {
    const int whole = std::isfinite(seconds) ? (int)std::clamp(seconds, 0.0, 1e8) : 0;
    workshop_record_solve(key, whole);
}
void client_leave() { set_app_mode(leave_to); }
std::string client_caption() { return caption; }
std::string client_note() {
    if (several)
        return "Several pictures fit these clues: any one counts.";
    const int best = workshop_best_seconds(key);
    return best < 0 ? "" : "Best " + time_text(best);
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
    .exit_label = str_map_back,
    .escape_label = str_ng_act_back,
    .timed = true,
};

} // namespace

void workshop_play(const workshop_document &doc, int return_mode) {
    const workshop_picture &p = doc.picture;
    puzzle = pz_from_picture(p.width, p.height, p.cells.data());
    puzzle.title = doc.title;
    puzzle.author = doc.author;
    key = workshop_key(p);
    // The board's font shows printable ASCII only.
    caption.clear();
    for (char c : doc.title.empty() ? std::string("Untitled") : doc.title)
        caption += c >= 0x20 && c < 0x7F ? c : '?';
    several = pz_judge_picture(p.width, p.height, p.cells.data(), {.seconds = 2.0}).kind == pz_fairness::several;
    leave_to = return_mode;
    necrogram_client_set(&client);
    set_app_mode(appmode_necrogram);
}

bool workshop_playing() { return necrogram_client() == &client; }
