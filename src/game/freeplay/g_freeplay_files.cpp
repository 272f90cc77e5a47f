// g_freeplay_files.cpp -- free play from files: the command line, dropped files, the list stepped through
#include "game/freeplay/g_freeplay.h"

#include "engine/ec_strings.h"
#include "game/g_busy.h"
#include "platform/pf_system.h"
#include "puzzle/pz_format.h"
#include "puzzle/pz_solve.h"
#include "ui/app_modes.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

// The solver's time for one puzzle: enough for any fair puzzle up to 30x30, short
// enough that opening a file feels quick.
constexpr double check_seconds = freeplay_check_seconds;
// The time one opening, or one step through the list, spends on checking at most: past
// it the puzzles not yet reached are left unchecked.
constexpr double opening_seconds = 20.0;
// Boxes one opening or step shows at most; the last of them counts the rest.
constexpr int max_boxes = 5;
// Characters of a puzzle's title and of its file's name shown in the board's caption.
constexpr size_t max_caption_title = 40;
constexpr size_t max_caption_name = 32;

using clock_type = std::chrono::steady_clock;

// One puzzle of the files being played.
struct list_entry {
    pz_puzzle puzzle;
    std::string path;
    int index_in_file = 0, file_count = 1; // its place in its file, and the file's puzzles
    bool checked = false;                  // solved: its goal is set
    bool several_solutions = false;
};

// The puzzles of the last files opened, in order, less those refused so far; position
// is the one on the board. A puzzle is checked with the solver when it is first reached.
std::vector<list_entry> list;
int position = -1;

// What one opening or step could not play: told at its end, each in a box (and on stderr).
class refusals {
public:
    void add(std::string text) {
        std::fprintf(stderr, "tombweaver: %s\n", text.c_str());
        texts.push_back(std::move(text));
    }
    void tell() {
        const int count = (int)texts.size();
        for (int i = 0; i < count && i < max_boxes; ++i) {
            std::string text = texts[i];
            if (i == max_boxes - 1 && count > max_boxes)
                text += "\n\nAnd " + std::to_string(count - max_boxes) + " more puzzles or files could not be played.";
            platform_message_box("Puzzle Not Opened", text.c_str(), platform_mb_ok, platform_mb_icon_warning);
        }
        texts.clear();
    }

private:
    std::vector<std::string> texts;
};

std::string base_name(const std::string &path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name or title as the game shows it: each control character a '?', cut to max
// characters with "..." (a file name in its middle, so that its extension stays). The
// rest of UTF-8 is kept: the font draws it (text_for_font) wherever it is drawn.
std::string shown_text(const std::string &text, size_t max, bool keep_end) {
    std::string out = text;
    for (char &c : out)
        if ((unsigned char)c < 0x20 || c == 0x7F)
            c = '?';
    return utf8_shortened(out, max, keep_end);
}

std::string shown_title(const std::string &title) { return shown_text(title, max_caption_title, false); }

// How a refusal names a puzzle after its file: "the puzzle" or "puzzle 3", with its title.
std::string puzzle_name(const list_entry &e) {
    std::string name = e.file_count == 1 ? "the puzzle" : "puzzle " + std::to_string(e.index_in_file + 1);
    if (!e.puzzle.title.empty())
        name += " \"" + shown_title(e.puzzle.title) + "\"";
    return name;
}

// One opening or step: its deadline, what it could not play, and how it ended. Its
// checks run off the frame; the box shows what is being checked.
struct opening {
    clock_type::time_point deadline = clock_type::now() + std::chrono::duration_cast<clock_type::duration>(
                                                              std::chrono::duration<double>(opening_seconds));
    refusals told;
    busy_end end = busy_end::done;
    bool out_of_time = false;
    std::mutex shown_mutex;
    std::string shown = "Checking the puzzles...";
};

// Checks e's puzzle once for the board. The reason it cannot be played, or ""; "" too
// when cancel or the opening's deadline stopped it (o->out_of_time says which).
std::string check(list_entry *e, opening *o, const std::atomic<bool> &cancel) {
    if (e->checked)
        return "";
    const double seconds = std::chrono::duration<double>(o->deadline - clock_type::now()).count();
    bool cut_short = seconds <= 0;
    std::string why;
    if (!cut_short)
        why = freeplay_solve_for_board(&e->puzzle, &e->several_solutions, {.seconds = seconds, .cancel = &cancel},
                                       &cut_short);
    if (cut_short) {
        o->out_of_time = !cancel;
        return "";
    }
    e->checked = why.empty();
    return why;
}

// The first playable puzzle of entries from index i on, going by step (+1 or -1); -1
// when there is none, or when the opening stopped (cancel, o->out_of_time). Those refused
// on the way are told and leave the list (*kept, a place in it, follows them).
int find_playable(std::vector<list_entry> *entries, int i, int step, int *kept, opening *o,
                  const std::atomic<bool> &cancel) {
    while (i >= 0 && i < (int)entries->size()) {
        list_entry &e = (*entries)[i];
        if (!e.checked) {
            const int left = step > 0 ? (int)entries->size() - i - 1 : i;
            std::lock_guard<std::mutex> hold(o->shown_mutex);
            o->shown = "Checking " + freeplay_file_caption(e.path, "") +
                       (e.file_count > 1 ? ", puzzle " + std::to_string(e.index_in_file + 1) : "") + "..." +
                       (left > 0 ? " (" + std::to_string(left) + " more to go)" : "");
        }
        const std::string why = check(&e, o, cancel);
        if (cancel || o->out_of_time)
            return -1;
        if (why.empty())
            return i;
        o->told.add(e.path + ": " + puzzle_name(e) + " " + why);
        entries->erase(entries->begin() + i);
        if (*kept > i)
            --*kept;
        if (step < 0)
            --i;
    }
    return -1;
}

// The same off the frame, the window drawn and Escape or closing honoured meanwhile.
int find_playable_off_frame(std::vector<list_entry> *entries, int i, int step, int *kept, opening *o) {
    int found = -1;
    const auto work = [&](const std::atomic<bool> &stop) { found = find_playable(entries, i, step, kept, o, stop); };
    const auto text = [o] {
        std::lock_guard<std::mutex> hold(o->shown_mutex);
        return o->shown;
    };
    o->end = busy_run(work, text);
    return o->end == busy_end::done ? found : -1;
}

// Tells what the opening could not play, unless the window is closing; a stop for time
// says so too.
void tell_end(opening *o) {
    if (o->end == busy_end::closing)
        return;
    if (o->out_of_time)
        o->told.add("Checking the puzzles took more than " + std::to_string((int)opening_seconds) +
                    " seconds; the rest were not tried.");
    o->told.tell();
}

// Puts list entry at on the board.
void play(int at) {
    position = at;
    const list_entry &e = list[at];
    freeplay_puzzle p;
    p.puzzle = e.puzzle;
    p.origin = freeplay_origin_file;
    p.path = e.path;
    p.index_in_file = e.index_in_file;
    p.list_index = at;
    p.list_count = (int)list.size();
    p.several_solutions = e.several_solutions;
    p.caption = freeplay_file_caption(e.path, e.puzzle.title);
    if (list.size() > 1)
        p.caption += " (" + std::to_string(at + 1) + " of " + std::to_string(list.size()) + ")";
    freeplay_set_current(std::move(p));
    set_app_mode(appmode_necrogram);
}

} // namespace

std::string freeplay_solve_for_board(pz_puzzle *p, bool *several_solutions, const pz_limits &limits_given,
                                     bool *cut_short) {
    pz_limits limits = limits_given;
    if (limits.seconds <= 0 || limits.seconds > check_seconds)
        limits.seconds = check_seconds;
    const bool full_time = limits.seconds >= check_seconds;
    if (cut_short)
        *cut_short = false;
    const auto started = clock_type::now();
    pz_solution s = pz_solve(*p, nullptr, limits, true);
    if (s.verdict == pz_verdict::stopped && p->goal.empty() && !s.cancelled) {
        // Proving it unique took too long: any solution will do, in the same time.
        const double spent = std::chrono::duration<double>(clock_type::now() - started).count();
        pz_limits rest = limits;
        rest.seconds = full_time ? check_seconds : std::max(limits.seconds - spent, 0.001);
        s = pz_solve(*p, nullptr, rest, false);
    }
    *several_solutions = false;
    if (s.cancelled || (s.verdict == pz_verdict::stopped && p->goal.empty() && !full_time)) {
        if (cut_short)
            *cut_short = true; // not the puzzle's fault: the caller's time or cancel
        return "was not checked";
    }
    switch (s.verdict) {
    case pz_verdict::none: return "has no solution";
    case pz_verdict::multiple: *several_solutions = true; break;
    case pz_verdict::unique:
    case pz_verdict::found: break;
    case pz_verdict::stopped:
        // Its own picture solves it; whether others do was not found out in time.
        if (p->goal.empty())
            return "could not be solved in " + std::to_string((int)check_seconds) + " seconds";
        break;
    }
    if (p->goal.empty())
        p->goal = std::move(s.first);
    return "";
}

std::string freeplay_check(pz_puzzle *p, bool *several_solutions, const std::string &what,
                           std::chrono::steady_clock::time_point deadline, busy_end *end, bool *cut_short) {
    std::string why;
    bool several = false, cut = false;
    pz_puzzle worked = *p;
    *end = busy_run(
        [&](const std::atomic<bool> &cancel) {
            const double seconds = std::chrono::duration<double>(deadline - clock_type::now()).count();
            cut = seconds <= 0;
            if (!cut)
                why = freeplay_solve_for_board(&worked, &several, {.seconds = seconds, .cancel = &cancel}, &cut);
        },
        [&] { return "Checking " + what + "..."; });
    *cut_short = cut || *end != busy_end::done;
    if (*cut_short)
        return "was not checked";
    *p = std::move(worked);
    *several_solutions = several;
    return why;
}

std::string freeplay_file_caption(const std::string &path, const std::string &title) {
    std::string caption = shown_text(base_name(path), max_caption_name, true);
    if (!title.empty())
        caption += ": " + shown_title(title);
    return caption;
}

bool freeplay_open_files(const std::vector<std::string> &paths) {
    std::vector<list_entry> entries;
    opening o;
    for (const std::string &path : paths) {
        std::vector<pz_puzzle> puzzles;
        pz_error err;
        if (!pz_read_file(path, &puzzles, &err)) {
            o.told.add(pz_error_text(err));
            continue;
        }
        if (puzzles.empty())
            o.told.add(path + ": the file holds no puzzle");
        for (size_t i = 0; i < puzzles.size(); ++i) {
            list_entry e = {.puzzle = std::move(puzzles[i]),
                            .path = path,
                            .index_in_file = (int)i,
                            .file_count = (int)puzzles.size()};
            if (e.puzzle.width > freeplay_max_size || e.puzzle.height > freeplay_max_size) {
                o.told.add(path + ": " + puzzle_name(e) + " is " + std::to_string(e.puzzle.width) + "x" +
                           std::to_string(e.puzzle.height) + ": boards go up to " + std::to_string(freeplay_max_size) +
                           "x" + std::to_string(freeplay_max_size));
                continue;
            }
            entries.push_back(std::move(e));
        }
    }
    int unused = 0;
    const int first = find_playable_off_frame(&entries, 0, 1, &unused, &o);
    tell_end(&o);
    if (first < 0)
        return false; // the list being played, if any, stays
    list = std::move(entries);
    play(first);
    return true;
}

bool freeplay_step(int delta) {
    const freeplay_puzzle *current = freeplay_current();
    if (delta == 0 || !freeplay_on() || !current || current->origin != freeplay_origin_file || position < 0 ||
        position >= (int)list.size() || list[position].path != current->path ||
        list[position].index_in_file != current->index_in_file)
        return false; // the board does not play the list's puzzle
    opening o;
    const int step = delta > 0 ? 1 : -1;
    const int next = find_playable_off_frame(&list, position + step, step, &position, &o);
    tell_end(&o);
    if (next < 0)
        return false;
    play(next);
    return true;
}
