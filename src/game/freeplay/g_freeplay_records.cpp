// g_freeplay_records.cpp -- free play's progress file, "freeplay.txt" beside the save
#include "game/freeplay/g_freeplay_records.h"

#include "engine/ec_fileio.h"
#include "engine/ec_side_file.h"
#include "platform/pf_system.h"
#include "puzzle/pz_format.h"
#include "puzzle/pz_grade.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string_view>
#include <unordered_set>

namespace {

// The largest order a record line holds (a 32-bit signed number).
constexpr long max_order = 0x7FFFFFFFL;

constexpr std::string_view version_line = "tombweaver free play 1";
constexpr int max_seconds = freeplay_max_seconds;
constexpr int max_hints = freeplay_max_hints;
constexpr std::size_t max_name = freeplay_max_name;

// The longest lines the writer makes, and so the largest file.
constexpr std::size_t digits(unsigned long long n) { return n < 10 ? 1 : 1 + digits(n / 10); }
constexpr std::size_t max_record_line =
    6 + 1 + digits(max_order) + 1 + digits(max_seconds) + 1 + digits(max_hints) + 1 + max_name + 1 + max_name + 1;
constexpr std::size_t max_board_line = 5 + 1 + 1 + 1 + 2 + 1 + 2 + 1 + 1 + 1 + digits(0xFFFFFFFFu) + 1 +
                                       digits(pz_max_puzzles) + 1 + digits(max_seconds) + 1 + digits(max_hints) + 1 +
                                       freeplay_max_size * freeplay_max_size + 1 + max_name + 1 + freeplay_max_path + 1;
static_assert(version_line.size() + 1 + freeplay_max_records * max_record_line + max_board_line <=
              freeplay_max_file_size);

side_file file = {
    .name = freeplay_file_name,
    .max_size = freeplay_max_file_size,
    .unread_caption = "Free Play Progress Not Read",
    .set_aside_text =
        "The free-play records in\n%s\ncould not be read; the file was kept as %s.damaged and free "
        "play starts afresh. Your story's save is not affected.",
    .left_text =
        "The free-play records in\n%s\ncould not be read, nor moved aside (%s); they are left as they "
        "are, and free play this session is not kept. Your story's save is not affected.",
    .unsaved_caption = "Free Play Progress Not Saved",
    .unsaved_text =
        "Free-play records could not be written to\n%s\n(%s).\n\nFree-play progress of this session may "
        "not be kept; your story's save is not affected.",
    .unsaved_log = "tombweaver: free-play progress not written to %s (%s)",
};

// A name as one field: tabs, line ends and other control characters become spaces; cut
// to limit bytes, never inside a UTF-8 character.
std::string field_text(std::string_view text, std::size_t limit) {
    if (text.size() > limit) {
        while (limit > 0 && ((unsigned char)text[limit] & 0xC0) == 0x80)
            --limit; // a continuation byte would be cut from its lead
        text = text.substr(0, limit);
    }
    std::string out(text);
    for (char &c : out)
        if ((unsigned char)c < 0x20 || c == 0x7F)
            c = ' ';
    return out;
}

// A key or name as the game writes them: no control characters, not too long.
bool plain(std::string_view text) {
    return text.size() <= max_name &&
           std::none_of(text.begin(), text.end(), [](char c) { return (unsigned char)c < 0x20 || c == 0x7F; });
}

bool parse_record(std::string_view line, freeplay_record *r) {
    const std::vector<std::string_view> f = side_file_fields(line, 6);
    if (f.size() != 6 || !side_file_number(f[1], 0L, max_order, &r->order) ||
        !side_file_number(f[2], 0, max_seconds, &r->seconds) || !side_file_number(f[3], 0, max_hints, &r->hints) ||
        f[4].empty() || !plain(f[4]) || !plain(f[5]))
        return false;
    r->key = f[4];
    r->name = f[5];
    return true;
}

bool parse_board(std::string_view line, freeplay_kept_board *b) {
    const std::vector<std::string_view> f = side_file_fields(line, 12);
    if (f.size() != 12 || !side_file_number(f[1], 0, 1, &b->origin) ||
        !side_file_number(f[2], 1, freeplay_max_size, &b->width) ||
        !side_file_number(f[3], 1, freeplay_max_size, &b->height) || !side_file_number(f[4], 0, 2, &b->grade) ||
        !side_file_number(f[5], 0u, 0xFFFFFFFFu, &b->number) ||
        !side_file_number(f[6], 0, (int)pz_max_puzzles, &b->index_in_file) ||
        !side_file_number(f[7], 0, max_seconds, &b->seconds) || !side_file_number(f[8], 0, max_hints, &b->hints))
        return false;
    if (f[9].size() != (std::size_t)(b->width * b->height) || f[9].find_first_not_of(".#x") != std::string_view::npos)
        return false;
    if (f[10].empty() || !plain(f[10]) || f[11].size() > freeplay_max_path)
        return false;
    b->cells = f[9];
    b->key = f[10];
    b->path = f[11];
    return b->origin == freeplay_origin_generated || !b->path.empty();
}

} // namespace

std::string freeplay_puzzle_key(const freeplay_puzzle &p) {
    if (p.origin == freeplay_origin_generated)
        return std::to_string(p.puzzle.width) + "x" + std::to_string(p.puzzle.height) + " " +
               pz_grade_name((pz_grade)p.grade) + " " + std::to_string(p.number);
    // FNV-1a over the game id, which is the clues and nothing else.
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (const char c : pz_write_id(p.puzzle))
        hash = (hash ^ (unsigned char)c) * 0x100000001B3ull;
    char text[32];
    std::snprintf(text, sizeof text, "clues %016llx", (unsigned long long)hash);
    return text;
}

bool freeplay_progress_parse(std::string_view text, freeplay_progress *progress) {
    *progress = {};
    std::unordered_set<std::string> keys;
    bool first = true;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            return false; // cut short: every line the game writes ends
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (first) {
            if (line != version_line)
                return false;
            first = false;
        } else if (line.starts_with("record\t")) {
            freeplay_record r;
            if ((int)keys.size() >= freeplay_max_records || !parse_record(line, &r) || !keys.insert(r.key).second)
                return false;
            progress->records.push_back(std::move(r));
        } else if (line.starts_with("choice\t") && !progress->have_choice) {
            const std::vector<std::string_view> f = side_file_fields(line, 4);
            if (f.size() != 4 || !side_file_number(f[1], 5, freeplay_max_size, &progress->choice_width) ||
                !side_file_number(f[2], 5, freeplay_max_size, &progress->choice_height) ||
                !side_file_number(f[3], 0, 2, &progress->choice_grade))
                return false;
            progress->have_choice = true;
        } else if (line.starts_with("board\t") && !progress->have_board) {
            if (!parse_board(line, &progress->board))
                return false;
            progress->have_board = true;
        } else {
            return false;
        }
    }
    return !first;
}

freeplay_progress freeplay_progress_read() {
    freeplay_progress progress;
    std::string text;
    const side_file_read_result read = side_file_read(&file, &text);
    if (read == side_file_read_result::missing)
        return progress;
    if (read == side_file_read_result::unreadable || !freeplay_progress_parse(text, &progress)) {
        side_file_set_aside(&file);
        return {};
    }
    return progress;
}

std::string freeplay_progress_text(const freeplay_progress &progress) {
    std::vector<freeplay_record> records = progress.records;
    if ((int)records.size() > freeplay_max_records) {
        std::sort(records.begin(), records.end(), [](const auto &a, const auto &b) { return a.order > b.order; });
        records.resize(freeplay_max_records);
    }
    std::string text(version_line);
    text += '\n';
    if (progress.have_choice)
        text += "choice\t" + std::to_string(progress.choice_width) + "\t" + std::to_string(progress.choice_height) +
                "\t" + std::to_string(progress.choice_grade) + "\n";
    for (const freeplay_record &r : records)
        text += "record\t" + std::to_string(std::clamp(r.order, 0L, max_order)) + "\t" +
                std::to_string(std::clamp(r.seconds, 0, max_seconds)) + "\t" +
                std::to_string(std::clamp(r.hints, 0, max_hints)) + "\t" + field_text(r.key, max_name) + "\t" +
                field_text(r.name, max_name) + "\n";
    const freeplay_kept_board &b = progress.board;
    // A path with a line end, or longer than the system opens, cannot be read back: that
    // board is not kept (the records are).
    if (progress.have_board && b.path.find('\n') == std::string::npos && b.path.size() <= freeplay_max_path)
        text += "board\t" + std::to_string(b.origin) + "\t" + std::to_string(b.width) + "\t" +
                std::to_string(b.height) + "\t" + std::to_string(b.grade) + "\t" + std::to_string(b.number) + "\t" +
                std::to_string(b.index_in_file) + "\t" + std::to_string(std::clamp(b.seconds, 0, max_seconds)) + "\t" +
                std::to_string(std::clamp(b.hints, 0, max_hints)) + "\t" + b.cells + "\t" +
                field_text(b.key, max_name) + "\t" + b.path + "\n";
    return text;
}

bool freeplay_progress_write(const freeplay_progress &progress) {
    return side_file_write(&file, freeplay_progress_text(progress));
}

const freeplay_record *freeplay_record_find(const freeplay_progress &progress, const std::string &key) {
    for (const freeplay_record &r : progress.records)
        if (r.key == key)
            return &r;
    return nullptr;
}

bool freeplay_record_solved(freeplay_progress *progress, const std::string &key, const std::string &name, int seconds,
                            int hints) {
    long order = 0;
    for (const freeplay_record &r : progress->records)
        order = std::max(order, r.order);
    if (order >= max_order) {
        // Numbered 1 up in the same order again, so that the next number still fits the file.
        std::vector<freeplay_record *> by_order;
        for (freeplay_record &r : progress->records)
            by_order.push_back(&r);
        std::stable_sort(by_order.begin(), by_order.end(), [](auto *a, auto *b) { return a->order < b->order; });
        order = 0;
        for (freeplay_record *r : by_order)
            r->order = ++order;
    }
    seconds = std::clamp(seconds, 0, max_seconds);
    hints = std::clamp(hints, 0, max_hints);
    for (freeplay_record &r : progress->records) {
        if (r.key != key)
            continue;
        r.order = order + 1;
        r.name = field_text(name, max_name);
        if (seconds < r.seconds || (seconds == r.seconds && hints < r.hints)) {
            r.seconds = seconds;
            r.hints = hints;
            return true;
        }
        return false;
    }
    progress->records.push_back({key, field_text(name, max_name), seconds, hints, order + 1});
    return true;
}

std::vector<freeplay_record> freeplay_records_recent(const freeplay_progress &progress, int count) {
    std::vector<freeplay_record> recent = progress.records;
    std::sort(recent.begin(), recent.end(), [](const auto &a, const auto &b) { return a.order > b.order; });
    if ((int)recent.size() > count)
        recent.resize((std::size_t)std::max(count, 0));
    return recent;
}

std::string freeplay_time_text(int seconds) {
    char text[32];
    seconds = std::max(seconds, 0);
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

void freeplay_progress_forget_told() { side_file_forget_told(&file); }
