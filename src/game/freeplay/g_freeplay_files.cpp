// g_freeplay_files.cpp -- free play from files: the command line, dropped files, the list stepped through
#include "game/freeplay/g_freeplay.h"

#include "platform/pf_system.h"
#include "puzzle/pz_format.h"
#include "puzzle/pz_solve.h"
#include "ui/app_modes.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

// The solver's time for one puzzle: enough for any fair puzzle up to 30x30, short
// enough that opening a file feels quick.
constexpr double check_seconds = 2.0;
// Boxes one opening or step shows at most; the last of them counts the rest.
constexpr int max_boxes = 5;
// Characters of a puzzle's title shown in the board's caption.
constexpr size_t max_caption_title = 40;

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

// A title as the board's font can show it: printable ASCII, each other character (a
// control byte, a UTF-8 sequence) one '?', cut to max_caption_title characters.
std::string shown_title(const std::string &title) {
    std::string out;
    for (size_t i = 0; i < title.size(); ++i) {
        const unsigned char c = (unsigned char)title[i];
        if ((c & 0xC0) == 0x80)
            continue; // the rest of a UTF-8 sequence
        out += c >= 0x20 && c < 0x7F ? (char)c : '?';
    }
    if (out.size() > max_caption_title)
        out = out.substr(0, max_caption_title - 3) + "...";
    return out;
}

// How a refusal names a puzzle after its file: "the puzzle" or "puzzle 3", with its title.
std::string puzzle_name(const list_entry &e) {
    std::string name = e.file_count == 1 ? "the puzzle" : "puzzle " + std::to_string(e.index_in_file + 1);
    if (!e.puzzle.title.empty())
        name += " \"" + shown_title(e.puzzle.title) + "\"";
    return name;
}

// Solves e's puzzle once for the board. The reason it cannot be played, or "".
std::string check(list_entry *e) {
    if (e->checked)
        return "";
    std::string why = freeplay_solve_for_board(&e->puzzle, &e->several_solutions);
    e->checked = why.empty();
    return why;
}

// The first playable puzzle of entries from index i on, going by step (+1 or -1); -1
// when there is none. Those refused on the way are told and leave the list (*kept, a
// place in it, follows them).
int find_playable(std::vector<list_entry> *entries, int i, int step, int *kept, refusals *told) {
    while (i >= 0 && i < (int)entries->size()) {
        list_entry &e = (*entries)[i];
        const std::string why = check(&e);
        if (why.empty())
            return i;
        told->add(e.path + ": " + puzzle_name(e) + " " + why);
        entries->erase(entries->begin() + i);
        if (*kept > i)
            --*kept;
        if (step < 0)
            --i;
    }
    return -1;
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

std::string freeplay_solve_for_board(pz_puzzle *p, bool *several_solutions) {
    const pz_limits limits = {.seconds = check_seconds};
    pz_solution s = pz_solve(*p, nullptr, limits, true);
    if (s.verdict == pz_verdict::stopped && p->goal.empty())
        s = pz_solve(*p, nullptr, limits, false); // proving it unique took too long: any solution will do
    *several_solutions = false;
    switch (s.verdict) {
    case pz_verdict::none:
        return "has no solution";
    case pz_verdict::multiple:
        *several_solutions = true;
        break;
    case pz_verdict::unique:
    case pz_verdict::found:
        break;
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

std::string freeplay_file_caption(const std::string &path, const std::string &title) {
    std::string caption = base_name(path);
    if (!title.empty())
        caption += ": " + shown_title(title);
    return caption;
}

bool freeplay_open_files(const std::vector<std::string> &paths) {
    std::vector<list_entry> entries;
    refusals told;
    for (const std::string &path : paths) {
        std::vector<pz_puzzle> puzzles;
        pz_error err;
        if (!pz_read_file(path, &puzzles, &err)) {
            told.add(pz_error_text(err));
            continue;
        }
        if (puzzles.empty())
            told.add(path + ": the file holds no puzzle");
        for (size_t i = 0; i < puzzles.size(); ++i) {
            list_entry e = {.puzzle = std::move(puzzles[i]),
                            .path = path,
                            .index_in_file = (int)i,
                            .file_count = (int)puzzles.size()};
            if (e.puzzle.width > freeplay_max_size || e.puzzle.height > freeplay_max_size) {
                told.add(path + ": " + puzzle_name(e) + " is " + std::to_string(e.puzzle.width) + "x" +
                         std::to_string(e.puzzle.height) + ": boards go up to " + std::to_string(freeplay_max_size) +
                         "x" + std::to_string(freeplay_max_size));
                continue;
            }
            entries.push_back(std::move(e));
        }
    }
    int unused = 0;
    const int first = find_playable(&entries, 0, 1, &unused, &told);
    told.tell();
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
    refusals told;
    const int step = delta > 0 ? 1 : -1;
    const int next = find_playable(&list, position + step, step, &position, &told);
    told.tell();
    if (next < 0)
        return false;
    play(next);
    return true;
}
