// g_library.cpp -- the library's chapters from the pack, their opening, and the library's board client
#include "game/library/g_library.h"

#include "engine/ec_pack.h"
#include "game/board/g_board_client.h"
#include "game/board/g_necrogram.h"
#include "game/g_strings.h"
#include "platform/pf_system.h"
#include "puzzle/pz_library.h"
#include "ui/app_modes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <strings.h>

namespace {

std::vector<library_chapter> chapters;
std::vector<std::string> chapter_texts; // each chapter's text as last read, beside it
bool chapters_read = false;
std::set<std::string> damage_told; // "entry: reason", once a session

// The grades need logic alone; the bound only keeps a damaged picture from taking long.
constexpr pz_limits grade_limits{.max_steps = 200000, .seconds = 0, .cancel = nullptr};

void tell_damage(const std::vector<const library_chapter *> &damaged) {
    std::string text = "These chapters of the picture library could not be read:\n";
    for (const library_chapter *c : damaged)
        text += "\n" + c->entry + ": " + c->damage;
    text +=
        "\n\nTheir pictures are not shown; the other chapters can be played. Reinstalling the game "
        "puts its data right.";
    std::fprintf(stderr, "tombweaver: %s\n", text.c_str());
    platform_message_box("Library Damaged", text.c_str(), platform_mb_ok, platform_mb_icon_warning);
}

// The chapter's pack entries, in name order.
std::vector<std::string> chapter_entries() {
    std::vector<std::string> entries;
    if (!packfile_is_open())
        return entries;
    const std::size_t prefix = std::strlen(library_pack_folder);
    for (u32 i = 0; i < pack_file_count(); ++i) {
        const char *name = nullptr;
        u32 packed = 0, size = 0;
        if (pack_file_info(i, &name, &packed, &size) && name && std::strlen(name) > prefix &&
            strncasecmp(name, library_pack_folder, prefix) == 0)
            entries.push_back(name);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The library's picture on the board.
int current_chapter = -1, current_index = -1;
bool capture_pending = false;
library_capture last_capture;

const library_picture *current_picture() {
    if (current_chapter < 0 || current_chapter >= (int)chapters.size())
        return nullptr;
    const std::vector<library_picture> &pictures = chapters[(std::size_t)current_chapter].pictures;
    if (current_index < 0 || current_index >= (int)pictures.size())
        return nullptr;
    return &pictures[(std::size_t)current_index];
}

int whole_seconds(double seconds) { return std::isfinite(seconds) ? (int)std::clamp(seconds, 0.0, 1e8) : 0; }

constexpr char cell_chars[3] = {'.', '#', 'x'}; // by mark

const pz_puzzle *client_puzzle() {
    const library_picture *p = current_picture();
    return p ? &p->puzzle : nullptr;
}

bool client_restore(necrogram_board *b, double *seconds) {
    const library_picture *p = current_picture();
    if (!p)
        return false;
    const library_progress progress = library_progress_read();
    const library_kept_board *k = library_board_find(progress, p->puzzle.title);
    if (!k || k->width != b->width || k->height != b->height)
        return false;
    for (int r = 0; r < k->height; ++r) {
        for (int c = 0; c < k->width; ++c) {
            const char ch = k->cells[(std::size_t)(r * k->width + c)];
            b->marks[necrogram_cell(b, r, c)] = ch == '#' ? mark_full : ch == 'x' ? mark_cross : mark_empty;
        }
    }
    b->hints_used = k->hints;
    b->solved = necrogram_is_solved(b);
    if (seconds)
        *seconds = k->seconds;
    return true;
}

void client_keep(const necrogram_board *b, double seconds) {
    const library_picture *p = current_picture();
    if (!p || !b || b->width != p->puzzle.width || b->height != p->puzzle.height)
        return;
    library_kept_board k{.key = p->puzzle.title,
                         .width = b->width,
                         .height = b->height,
                         .seconds = whole_seconds(seconds),
                         .hints = std::max(0, (int)b->hints_used),
                         .cells = {}};
    bool any = false;
    for (int r = 0; r < k.height; ++r) {
        for (int c = 0; c < k.width; ++c) {
            const u8 mark = necrogram_mark_at(b, r, c);
            any = any || mark != mark_empty;
            k.cells += cell_chars[mark <= mark_cross ? mark : (u8)mark_empty];
        }
    }
    library_progress progress = library_progress_read();
    const library_kept_board *kept = library_board_find(progress, k.key);
    if (b->solved || (!any && k.hints == 0)) {
        if (!kept)
            return; // nothing to come back to, and nothing kept
        library_board_forget(&progress, k.key);
    } else {
        if (kept && *kept == k)
            return;
        library_board_keep(&progress, k);
    }
    library_progress_write(progress);
}

void client_captured(const necrogram_board *b, double seconds) {
    const library_picture *p = current_picture();
    if (!p)
        return;
    library_progress progress = library_progress_read();
    last_capture = {.chapter = current_chapter,
                    .index = current_index,
                    .seconds = whole_seconds(seconds),
                    .hints = std::max(0, (int)b->hints_used),
                    .first = !library_record_find(progress, p->puzzle.title),
                    .best = false};
    last_capture.best = library_record_solved(&progress, p->puzzle.title, last_capture.seconds, last_capture.hints);
    capture_pending = true;
    library_progress_write(progress);
}

void client_leave() { set_app_mode(appmode_library); }

void client_list_place(int *index, int *count) {
    *index = current_index;
    *count = current_chapter >= 0 && current_chapter < (int)chapters.size()
                 ? (int)chapters[(std::size_t)current_chapter].pictures.size()
                 : 1;
}

bool client_step(int delta) {
    int index = 0, count = 1;
    client_list_place(&index, &count);
    if (index + delta < 0 || index + delta >= count)
        return false;
    current_index = index + delta;
    capture_pending = false;
    return true;
}

// The chapter, and "Picture 4 of 20": the picture's name stays a surprise until it is captured.
std::string client_caption() { return current_picture() ? chapters[(std::size_t)current_chapter].name : ""; }
std::string client_note() {
    if (!current_picture())
        return "";
    return "Picture " + std::to_string(current_index + 1) + " of " +
           std::to_string(chapters[(std::size_t)current_chapter].pictures.size());
}

// The capture's banner names the picture.
std::string client_banner() {
    const library_picture *p = current_picture();
    return p ? p->puzzle.title + "!" : "";
}

const board_client client = {
    .puzzle = client_puzzle,
    .restore = client_restore,
    .keep = client_keep,
    .captured = client_captured,
    .leave = client_leave,
    .list_place = client_list_place,
    .step = client_step,
    .caption = client_caption,
    .note = client_note,
    .exit_label = str_map_back,
    .escape_label = str_ng_act_back,
    .timed = true,
    .banner = client_banner,
    .story_layout = false,
};

} // namespace

library_chapter library_chapter_read(std::string_view text, const std::string &entry) {
    library_chapter chapter;
    chapter.entry = entry;
    const std::size_t slash = entry.find_last_of("\\/");
    chapter.name = slash == std::string::npos ? entry : entry.substr(slash + 1);
    pz_library_chapter read;
    pz_error err;
    if (!pz_read_library_chapter(text, chapter.name, &read, &err)) {
        chapter.damage = err.line > 0 ? "line " + std::to_string(err.line) + ": " + err.reason : err.reason;
        return chapter;
    }
    for (pz_puzzle &p : read.pictures) {
        if (p.width > library_max_side || p.height > library_max_side) {
            chapter.damage = "\"" + p.title + "\" is " + std::to_string(p.width) + "x" + std::to_string(p.height) +
                             "; the board takes " + std::to_string(library_max_side) + " a side at most";
            chapter.pictures.clear();
            return chapter;
        }
        const pz_grade grade = pz_grade_puzzle(p, grade_limits).grade;
        chapter.pictures.push_back({std::move(p), grade});
    }
    if (chapter.pictures.empty()) {
        chapter.damage = "it holds no pictures";
        return chapter;
    }
    chapter.name = read.name;
    return chapter;
}

const std::vector<library_chapter> &library_chapters_read() {
    std::vector<library_chapter> fresh;
    std::vector<std::string> texts;
    for (const std::string &entry : chapter_entries()) {
        u32 size = 0;
        const u8 *data = pack_file_load(entry.c_str(), &size);
        std::string text = data ? std::string((const char *)data, size) : std::string();
        pack_file_close(data);
        // A chapter read before from the same text keeps its pictures and grades.
        std::size_t same = 0;
        while (same < chapters.size() && !(chapters[same].entry == entry && chapter_texts[same] == text))
            ++same;
        if (!data) {
            library_chapter c;
            c.entry = c.name = entry;
            c.damage = "it could not be taken from the game's data";
            fresh.push_back(std::move(c));
        } else {
            fresh.push_back(same < chapters.size() ? chapters[same] : library_chapter_read(text, entry));
        }
        texts.push_back(std::move(text));
    }
    chapters = std::move(fresh);
    chapter_texts = std::move(texts);
    chapters_read = true;

    std::vector<const library_chapter *> untold;
    for (const library_chapter &c : chapters)
        if (!c.damage.empty() && damage_told.insert(c.entry + ": " + c.damage).second)
            untold.push_back(&c);
    if (!untold.empty())
        tell_damage(untold);
    return chapters;
}

const std::vector<library_chapter> &library_chapters() { return chapters_read ? chapters : library_chapters_read(); }

void library_chapters_forget() {
    chapters.clear();
    chapter_texts.clear();
    chapters_read = false;
    damage_told.clear();
}

int library_open_need(const library_chapter &chapter) {
    const int count = (int)chapter.pictures.size();
    return (count * library_open_numerator + library_open_denominator - 1) / library_open_denominator;
}

int library_solved_in(const library_chapter &chapter, const library_progress &progress) {
    return (int)std::count_if(chapter.pictures.begin(), chapter.pictures.end(), [&](const library_picture &p) {
        return library_record_find(progress, p.puzzle.title) != nullptr;
    });
}

std::vector<int> library_solves_to_open(const std::vector<library_chapter> &list, const library_progress &progress) {
    std::vector<int> missing;
    int owed = 0;
    for (const library_chapter &c : list) {
        missing.push_back(owed);
        owed += std::max(0, library_open_need(c) - library_solved_in(c, progress));
    }
    return missing;
}

bool library_play(int chapter, int index) {
    const std::vector<library_chapter> &list = library_chapters();
    if (chapter < 0 || chapter >= (int)list.size() || index < 0 ||
        index >= (int)list[(std::size_t)chapter].pictures.size())
        return false;
    current_chapter = chapter;
    current_index = index;
    capture_pending = false;
    necrogram_client_set(&client);
    set_app_mode(appmode_necrogram);
    return true;
}

int library_current_chapter() { return current_chapter; }
int library_current_index() { return current_index; }
bool library_take_capture(library_capture *out) {
    if (!capture_pending)
        return false;
    capture_pending = false;
    *out = last_capture;
    return true;
}

bool library_on() { return necrogram_client() == &client && current_picture(); }
