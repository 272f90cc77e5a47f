// g_library_progress.cpp -- the picture library's progress file, "library.txt" beside the save
#include "game/library/g_library_progress.h"

#include "engine/ec_fileio.h"
#include "engine/ec_side_file.h"
#include "platform/pf_system.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <unordered_set>

namespace {

constexpr std::string_view version_line = "tombweaver library 1";
constexpr int max_seconds = 100000000; // over three years: anything longer is damage
constexpr int max_hints = 1000000;
constexpr std::size_t max_key = 200;

side_file file = {
    .name = library_file_name,
    .max_size = library_max_file_size,
    .unread_caption = "Library Progress Not Read",
    .set_aside_text =
        "The picture library's progress in\n%s\ncould not be read; the file was kept as %s.damaged and "
        "the library starts afresh. Your story's save is not affected.",
    .left_text =
        "The picture library's progress in\n%s\ncould not be read, nor moved aside (%s); it is left as it "
        "is, and the library's progress this session is not kept. Your story's save is not affected.",
    .unsaved_caption = "Library Progress Not Saved",
    .unsaved_text =
        "The picture library's progress could not be written to\n%s\n(%s).\n\nThe library's progress of "
        "this session may not be kept; your story's save is not affected.",
    .unsaved_log = "tombweaver: library progress not written to %s (%s)",
};

// A key as the game writes it: not empty, no control characters, not too long.
bool plain_key(std::string_view text) {
    return !text.empty() && text.size() <= max_key &&
           std::none_of(text.begin(), text.end(), [](char c) { return (unsigned char)c < 0x20 || c == 0x7F; });
}

bool parse_record(std::string_view line, library_record *r) {
    const std::vector<std::string_view> f = side_file_fields(line, 4);
    if (f.size() != 4 || !side_file_number(f[1], 0, max_seconds, &r->seconds) ||
        !side_file_number(f[2], 0, max_hints, &r->hints) || !plain_key(f[3]))
        return false;
    r->key = f[3];
    return true;
}

bool parse_board(std::string_view line, library_kept_board *b) {
    const std::vector<std::string_view> f = side_file_fields(line, 7);
    if (f.size() != 7 || !side_file_number(f[1], 1, library_max_side, &b->width) ||
        !side_file_number(f[2], 1, library_max_side, &b->height) ||
        !side_file_number(f[3], 0, max_seconds, &b->seconds) || !side_file_number(f[4], 0, max_hints, &b->hints) ||
        !plain_key(f[6]))
        return false;
    if (f[5].size() != (std::size_t)(b->width * b->height) || f[5].find_first_not_of(".#x") != std::string_view::npos)
        return false;
    b->cells = f[5];
    b->key = f[6];
    return true;
}

// The item of list (const or not) whose key is key, or null.
template <typename List> auto find_key(List &list, const std::string &key) -> decltype(&list.front()) {
    for (auto &item : list)
        if (item.key == key)
            return &item;
    return nullptr;
}

} // namespace

bool library_progress_parse(std::string_view text, library_progress *progress) {
    *progress = {};
    std::unordered_set<std::string> solved_keys, board_keys;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            return false; // cut short: every line the game writes ends
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (first) {
            if (line != version_line)
                return false;
            first = false;
        } else if (line.starts_with("solved\t")) {
            library_record r;
            if ((int)solved_keys.size() >= library_max_entries || !parse_record(line, &r) ||
                !solved_keys.insert(r.key).second)
                return false;
            progress->solved.push_back(std::move(r));
        } else if (line.starts_with("board\t")) {
            library_kept_board b;
            if ((int)board_keys.size() >= library_max_entries || !parse_board(line, &b) ||
                !board_keys.insert(b.key).second)
                return false;
            progress->boards.push_back(std::move(b));
        } else {
            return false;
        }
    }
    return !first;
}

std::string library_progress_text(const library_progress &progress) {
    std::string text(version_line);
    text += '\n';
    for (const library_record &r : progress.solved)
        if (plain_key(r.key))
            text += "solved\t" + std::to_string(r.seconds) + "\t" + std::to_string(r.hints) + "\t" + r.key + "\n";
    for (const library_kept_board &b : progress.boards)
        if (plain_key(b.key))
            text += "board\t" + std::to_string(b.width) + "\t" + std::to_string(b.height) + "\t" +
                    std::to_string(b.seconds) + "\t" + std::to_string(b.hints) + "\t" + b.cells + "\t" + b.key + "\n";
    return text;
}

library_progress library_progress_read() {
    library_progress progress;
    std::string text;
    const side_file_read_result read = side_file_read(&file, &text);
    if (read == side_file_read_result::missing)
        return progress;
    if (read == side_file_read_result::unreadable || !library_progress_parse(text, &progress)) {
        side_file_set_aside(&file);
        return {};
    }
    return progress;
}

bool library_progress_write(const library_progress &progress) {
    return side_file_write(&file, library_progress_text(progress));
}

const library_record *library_record_find(const library_progress &progress, const std::string &key) {
    return find_key(progress.solved, key);
}

const library_kept_board *library_board_find(const library_progress &progress, const std::string &key) {
    return find_key(progress.boards, key);
}

bool library_record_solved(library_progress *progress, const std::string &key, int seconds, int hints) {
    library_board_forget(progress, key);
    seconds = std::clamp(seconds, 0, max_seconds);
    hints = std::clamp(hints, 0, max_hints);
    if (library_record *r = find_key(progress->solved, key)) {
        if (seconds > r->seconds || (seconds == r->seconds && hints >= r->hints))
            return false;
        r->seconds = seconds;
        r->hints = hints;
        return true;
    }
    progress->solved.push_back({key, seconds, hints});
    return true;
}

void library_board_keep(library_progress *progress, const library_kept_board &board) {
    if (library_kept_board *b = find_key(progress->boards, board.key))
        *b = board;
    else
        progress->boards.push_back(board);
}

void library_board_forget(library_progress *progress, const std::string &key) {
    std::erase_if(progress->boards, [&](const library_kept_board &b) { return b.key == key; });
}

void library_progress_forget_told() { side_file_forget_told(&file); }
