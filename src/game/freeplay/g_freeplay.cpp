// g_freeplay.cpp -- free play's current puzzle, the board's calls and generated puzzles
#include "game/freeplay/g_freeplay.h"

#include "game/board/g_board_client.h"
#include "game/freeplay/g_freeplay_records.h"
#include "game/freeplay/g_freeplay_screen.h"
#include "game/g_strings.h"
#include "platform/pf_system.h"
#include "puzzle/pz_format.h"
#include "puzzle/pz_generate.h"
#include "ui/app_modes.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>

namespace {

freeplay_puzzle current;
bool have_current = false;

constexpr char cell_chars[3] = {'.', '#', 'x'}; // by mark

// What the records show for the current puzzle: a generated one's key, a file's name and title.
std::string record_name(const freeplay_puzzle &p) {
    return p.origin == freeplay_origin_generated ? freeplay_puzzle_key(p)
                                                 : freeplay_file_caption(p.path, p.puzzle.title);
}

int whole_seconds(double seconds) { return std::isfinite(seconds) ? (int)std::clamp(seconds, 0.0, 1e8) : 0; }

void refuse(const std::string &text) {
    platform_message_box("Free Play", text.c_str(), platform_mb_ok, platform_mb_icon_warning);
}

// The kept board's puzzle cannot be made again (its file gone, changed, unsolvable): the
// player says whether to forget it, rather than meet the same refusal each time.
void offer_to_forget(const std::string &why) {
    const std::string text = why +
                             "\n\nForget this unfinished puzzle? Its marks and time are dropped; your "
                             "records stay. (No keeps it, for when its file is back.)";
    if (platform_message_box("Free Play", text.c_str(), platform_mb_yes_no, platform_mb_icon_warning) !=
        platform_mb_answer_yes)
        return;
    freeplay_progress progress = freeplay_progress_read();
    if (!progress.have_board)
        return;
    progress.have_board = false;
    freeplay_progress_write(progress);
}

// The kept file puzzle read again: its goal (the picture, or the first solution found)
// and whether it has others. False when it cannot be (the player told, and offered to
// forget it) or when the player stopped the check.
bool file_puzzle_again(const freeplay_kept_board &k, freeplay_puzzle *out) {
    std::vector<pz_puzzle> list;
    pz_error err;
    if (!pz_read_file(k.path, &list, &err)) {
        offer_to_forget("The unfinished puzzle could not be read again:\n" + pz_error_text(err));
        return false;
    }
    if (k.index_in_file >= (int)list.size()) {
        offer_to_forget("The unfinished puzzle is no longer in\n" + k.path);
        return false;
    }
    out->puzzle = list[(std::size_t)k.index_in_file];
    out->origin = freeplay_origin_file;
    out->path = k.path;
    out->index_in_file = k.index_in_file;
    if (freeplay_puzzle_key(*out) != k.key || out->puzzle.width != k.width || out->puzzle.height != k.height) {
        offer_to_forget("The unfinished puzzle has changed in\n" + k.path);
        return false;
    }
    busy_end end = busy_end::done;
    bool cut_short = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2 * (int)freeplay_check_seconds + 1);
    const std::string why = freeplay_check(&out->puzzle, &out->several_solutions, freeplay_file_caption(k.path, ""),
                                           deadline, &end, &cut_short);
    if (end != busy_end::done)
        return false; // stopped by the player, or the window is closing
    if (cut_short || !why.empty()) {
        offer_to_forget("The unfinished puzzle from\n" + k.path + "\ncannot be solved.");
        return false;
    }
    out->caption = record_name(*out);
    return true;
}

} // namespace

namespace {

// What the board asks of free play: the current puzzle, its kept board and records, its list.
const pz_puzzle *client_puzzle() { return have_current ? &current.puzzle : nullptr; }
bool last_new_best = false;
void client_captured(const necrogram_board *b, double seconds) {
    last_new_best = freeplay_board_captured(seconds, b->hints_used);
}
bool client_new_best() { return last_new_best; }
// The next puzzle: a generated one's next number at its size and grade, a list's next.
bool client_next() {
    if (current.origin == freeplay_origin_generated)
        return current.number < 0xFFFFFFFFu &&
               freeplay_start_generated(current.puzzle.width, current.puzzle.height, current.grade, current.number + 1);
    return freeplay_step(1);
}
void client_leave() { set_app_mode(appmode_freeplay); }
void client_list_place(int *index, int *count) {
    *index = current.list_index;
    *count = current.list_count;
}
std::string client_caption() { return current.caption; }
std::string client_note() {
    return current.several_solutions ? "Several pictures fit these clues: any one counts." : "";
}

const board_client client = {
    .puzzle = client_puzzle,
    .restore = freeplay_board_restore,
    .keep = freeplay_board_keep,
    .captured = client_captured,
    .leave = client_leave,
    .list_place = client_list_place,
    .step = freeplay_step,
    .caption = client_caption,
    .note = client_note,
    .exit_label = str_map_back,
    .escape_label = str_ng_act_back,
    .timed = true,
    .banner = nullptr,
    .story_layout = false,
    .picture_name = client_caption,
    .new_best = client_new_best,
    .next = client_next,
};

} // namespace

bool freeplay_on() { return have_current && necrogram_client() == &client; }
const freeplay_puzzle *freeplay_current() { return have_current ? &current : nullptr; }

void freeplay_set_current(freeplay_puzzle p) {
    current = std::move(p);
    have_current = true;
    necrogram_client_set(&client);
}

bool freeplay_board_captured(double seconds, int hints_used) {
    if (!have_current)
        return false;
    const std::string key = freeplay_puzzle_key(current);
    freeplay_progress progress = freeplay_progress_read();
    const freeplay_record *earlier = freeplay_record_find(progress, key);
    const bool best = earlier && whole_seconds(seconds) < earlier->seconds;
    freeplay_record_solved(&progress, key, record_name(current), whole_seconds(seconds), hints_used);
    if (progress.have_board && progress.board.key == key)
        progress.have_board = false;
    freeplay_progress_write(progress);
    return best;
}

void freeplay_board_keep(const necrogram_board *b, double seconds) {
    if (!have_current || !b)
        return;
    const int width = current.puzzle.width, height = current.puzzle.height;
    if (width < 1 || height < 1 || width > freeplay_max_size || height > freeplay_max_size)
        return;
    freeplay_kept_board k;
    k.key = freeplay_puzzle_key(current);
    k.origin = current.origin;
    k.width = width;
    k.height = height;
    k.grade = current.grade;
    k.number = current.number;
    // Read again from wherever the game is started next time; a path whose absolute form
    // is longer than the system opens stays as it was given (the file keeps no longer one).
    std::error_code error;
    const std::filesystem::path absolute =
        current.path.empty() ? std::filesystem::path() : std::filesystem::absolute(current.path, error);
    k.path = error || absolute.string().size() > freeplay_max_path ? current.path : absolute.string();
    k.index_in_file = current.index_in_file;
    k.seconds = whole_seconds(seconds);
    k.hints = std::clamp((int)b->hints_used, 0, freeplay_max_hints);
    bool any = false;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const u8 mark = necrogram_mark_at(b, r, c);
            any = any || mark != mark_empty;
            k.cells += cell_chars[mark <= mark_cross ? mark : (u8)mark_empty];
        }
    }
    freeplay_progress progress = freeplay_progress_read();
    const bool same = progress.have_board && progress.board.key == k.key;
    if (b->solved || (!any && k.hints == 0)) {
        // Nothing to come back to: an older board of another puzzle stays.
        if (!same)
            return;
        progress.have_board = false;
    } else {
        if (same && progress.board.cells == k.cells && progress.board.hints == k.hints &&
            progress.board.seconds == k.seconds)
            return;
        progress.have_board = true;
        progress.board = k;
    }
    freeplay_progress_write(progress);
}

bool freeplay_board_restore(necrogram_board *b, double *seconds) {
    if (!have_current || !b)
        return false;
    const freeplay_progress progress = freeplay_progress_read();
    const freeplay_kept_board &k = progress.board;
    if (!progress.have_board || k.key != freeplay_puzzle_key(current) || k.width != current.puzzle.width ||
        k.height != current.puzzle.height)
        return false;
    for (int r = 0; r < k.height; ++r) {
        for (int c = 0; c < k.width; ++c) {
            const char ch = k.cells[(std::size_t)(r * k.width + c)];
            b->marks[necrogram_cell(b, r, c)] = ch == '#' ? mark_full : ch == 'x' ? mark_cross : mark_empty;
        }
    }
    b->hints_used = k.hints;
    b->solved = necrogram_is_solved(b);
    if (seconds)
        *seconds = k.seconds;
    return true;
}

bool freeplay_start_generated(int width, int height, int grade, u32 number) {
    freeplay_puzzle p;
    std::string why;
    if (grade < 0 || grade > (int)pz_grade::hard || width > freeplay_max_size || height > freeplay_max_size) {
        refuse("The puzzle could not be made: no such grade");
        return false;
    }
    // A large hard puzzle takes the generator a second or more: off the frame. It cannot be
    // stopped half-way; Escape drops it once made.
    bool made = false;
    const std::string making = "Making the puzzle " + std::to_string(width) + "x" + std::to_string(height) + " " +
                               pz_grade_name((pz_grade)grade) + " " + std::to_string(number) + "...";
    const busy_end end = busy_run(
        [&](const std::atomic<bool> &) { made = pz_generate(width, height, (pz_grade)grade, number, &p.puzzle, &why); },
        [&] { return making; });
    if (end != busy_end::done)
        return false;
    if (!made) {
        refuse("The puzzle could not be made: " + why);
        return false;
    }
    p.origin = freeplay_origin_generated;
    p.grade = grade;
    p.number = number;
    p.caption = freeplay_puzzle_key(p);
    freeplay_set_current(std::move(p));
    set_app_mode(appmode_necrogram);
    return true;
}

bool freeplay_continue() {
    const freeplay_progress progress = freeplay_progress_read();
    if (!progress.have_board)
        return false;
    const freeplay_kept_board &k = progress.board;
    if (k.origin == freeplay_origin_generated)
        return freeplay_start_generated(k.width, k.height, k.grade, k.number);
    freeplay_puzzle p;
    if (!file_puzzle_again(k, &p))
        return false;
    freeplay_set_current(std::move(p));
    set_app_mode(appmode_necrogram);
    return true;
}
