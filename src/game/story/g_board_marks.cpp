// g_board_marks.cpp -- each location's unfinished marks, in "nonogram.marks" beside the save
#include "game/story/g_board_marks.h"

#include "engine/ec_fileio.h"
#include "engine/ec_side_file.h"
#include "game/story/g_puzzles.h"
#include "platform/pf_system.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr char cell_chars[3] = {'.', '#', 'x'}; // by mark
// The longest line the game writes, and so the largest file: every location kept at the
// board's largest size, with the most hints a line holds.
constexpr std::size_t max_line = 2 + 1 + 2 + 1 + (std::size_t)max_necrogram_cells + 1 + 5 + 1;
static_assert(num_puzzles * max_line <= board_marks_max_file_size);
static_assert(board_marks_max_hints < 100000); // five digits at most, as max_line counts

side_file file = {
    .name = board_marks_file_name,
    .max_size = board_marks_max_file_size,
    .unread_caption = "Unfinished Boards Not Read",
    .set_aside_text =
        "The marks of the boards you left half done, in\n%s\ncould not be read; the file was kept as "
        "%s.damaged and those boards start empty. Your saved game is not affected.",
    .left_text =
        "The marks of the boards you left half done, in\n%s\ncould not be read, nor moved aside (%s); "
        "they are left as they are, and boards left this session are not kept. Your saved game is "
        "not affected.",
    .unsaved_caption = "Unfinished Boards Not Kept",
    .unsaved_text =
        "The marks of the boards you left half done could not be written to\n%s\n(%s).\n\nThey may not be "
        "kept this session; your saved game is not affected.",
    .unsaved_log = "tombweaver: the unfinished boards could not be kept in %s (%s)",
};

// The kept boards, by puzzle: size x size cell characters, empty when none.
struct kept_boards {
    std::string cells[num_puzzles];
    int hints[num_puzzles] = {};
};

template <typename T> bool number(std::string_view text, T high, T *out) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > high)
        return false;
    *out = value;
    return true;
}

// One line as the game writes it: "<puzzle> <size> <cells>[ <hints>]".
bool parse_line(std::string_view line, kept_boards *kept) {
    std::string_view f[4];
    int count = 0;
    while (count < 4) {
        const std::size_t space = line.find(' ');
        f[count++] = line.substr(0, space);
        if (space == std::string_view::npos)
            break;
        line.remove_prefix(space + 1);
        if (count == 4)
            return false; // a fifth field
    }
    unsigned puzzle = 0, size = 0;
    int hints = 0;
    if (count < 3 || !number(f[0], num_puzzles - 1, &puzzle) || !number(f[1], (unsigned)max_necrogram_size, &size) ||
        size == 0 || f[2].size() != (std::size_t)size * size ||
        f[2].find_first_not_of(cell_chars, 0, sizeof cell_chars) != std::string_view::npos ||
        (count == 4 && !number(f[3], board_marks_max_hints, &hints)) || !kept->cells[puzzle].empty())
        return false;
    kept->cells[puzzle] = f[2];
    kept->hints[puzzle] = hints;
    return true;
}

// The file's boards: none for a missing file; a damaged one (a line the game does not
// write, cut short, too big, unreadable) is set aside and keeps none.
kept_boards read_file() {
    kept_boards kept;
    std::string text;
    const side_file_read_result read = side_file_read(&file, &text);
    if (read == side_file_read_result::missing)
        return kept;
    bool whole = read == side_file_read_result::read;
    std::string_view rest = text;
    while (whole && !rest.empty()) {
        const std::size_t end = rest.find('\n');
        whole = end != std::string_view::npos && parse_line(rest.substr(0, end), &kept);
        rest.remove_prefix(whole ? end + 1 : rest.size());
    }
    if (!whole) {
        side_file_set_aside(&file);
        return {};
    }
    return kept;
}

std::string file_text(const kept_boards &kept) {
    std::string text;
    for (unsigned i = 0; i < num_puzzles; ++i) {
        const std::string &cells = kept.cells[i];
        unsigned size = 0;
        while ((std::size_t)size * size < cells.size())
            ++size;
        const int hints = std::clamp(kept.hints[i], 0, board_marks_max_hints);
        if (cells.empty())
            continue;
        text += std::to_string(i) + ' ' + std::to_string(size) + ' ' + cells;
        if (hints > 0)
            text += ' ' + std::to_string(hints);
        text += '\n';
    }
    return text;
}

void write_file(const kept_boards &kept) { side_file_write(&file, file_text(kept), true); }

} // namespace

void board_marks_keep(unsigned long puzzle_id, const necrogram_board *b) {
    if (puzzle_id >= num_puzzles || !b)
        return;
    std::string cells;
    bool any = false;
    // The story's boards are square: the line gives one side.
    for (int r = 0; r < b->height && b->width == b->height; ++r) {
        for (int c = 0; c < b->width; ++c) {
            const u8 mark = necrogram_mark_at(b, r, c);
            any = any || mark != mark_empty;
            cells += cell_chars[mark <= mark_cross ? mark : (u8)mark_empty];
        }
    }
    if (b->solved || !any)
        cells.clear();
    const int hints = cells.empty() ? 0 : std::clamp(b->hints_used, 0, board_marks_max_hints);
    kept_boards kept = read_file();
    if (kept.cells[puzzle_id] == cells && kept.hints[puzzle_id] == hints)
        return;
    kept.cells[puzzle_id] = cells;
    kept.hints[puzzle_id] = hints;
    write_file(kept);
}

bool board_marks_restore(unsigned long puzzle_id, necrogram_board *b) {
    if (puzzle_id >= num_puzzles || !b || b->width <= 0 || b->width != b->height)
        return false;
    const kept_boards kept = read_file();
    const std::string &cells = kept.cells[puzzle_id];
    if (cells.size() != (std::size_t)b->width * (std::size_t)b->height)
        return false;
    b->hints_used = kept.hints[puzzle_id];
    for (int r = 0; r < b->height; ++r) {
        for (int c = 0; c < b->width; ++c) {
            const char ch = cells[(std::size_t)(r * b->width + c)];
            b->marks[necrogram_cell(b, r, c)] = ch == '#' ? mark_full : ch == 'x' ? mark_cross : mark_empty;
        }
    }
    b->solved = necrogram_is_solved(b);
    return true;
}

void board_marks_forget_all() {
    if (platform_path_exists(save_folder_file_path(board_marks_file_name)))
        write_file(kept_boards{});
}

void board_marks_forget_told() { side_file_forget_told(&file); }
