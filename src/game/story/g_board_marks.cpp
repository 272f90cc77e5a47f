// g_board_marks.cpp -- each location's unfinished marks, in "nonogram.marks" beside the save
#include "game/story/g_board_marks.h"

#include "engine/ec_fileio.h"
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

bool damaged_told = false;
bool write_failure_told = false;
// A damaged file that could not be moved aside is not written over this session.
bool file_refused = false;

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

void tell(const char *caption, const char *format, const char *path, const char *why) {
    char text[max_path + 512];
    std::snprintf(text, sizeof text, format, path, why);
    std::fprintf(stderr, "tombweaver: %s\n", text);
    platform_message_box(caption, text, platform_mb_ok, platform_mb_icon_warning);
}

// The damaged file moved aside, the player told once a session.
void set_aside(const char *path) {
    const std::string aside = std::string(path) + ".damaged";
    const bool moved = platform_file_move(path, aside.c_str());
    file_refused = !moved;
    if (damaged_told)
        return;
    damaged_told = true;
    if (moved)
        tell("Unfinished Boards Not Read",
             "The marks of the boards you left half done, in\n%s\ncould not be read; the file was kept as "
             "%s.damaged and those boards start empty. Your saved game is not affected.",
             path, board_marks_file_name);
    else
        tell("Unfinished Boards Not Read",
             "The marks of the boards you left half done, in\n%s\ncould not be read, nor moved aside (%s); "
             "they are left as they are, and boards left this session are not kept. Your saved game is "
             "not affected.",
             path, platform_file_error_text());
}

// The file's boards: none for a missing file; a damaged one (a line the game does not
// write, cut short, too big, unreadable) is set aside and keeps none.
kept_boards read_file() {
    kept_boards kept;
    const char *path = save_folder_file_path(board_marks_file_name);
    if (!path[0] || !platform_path_exists(path))
        return kept;
    platform_file *file = platform_file_open_read(path);
    std::string text;
    bool whole = false;
    if (file) {
        const std::uint64_t size = platform_file_size(file);
        if (size <= board_marks_max_file_size) {
            text.resize((std::size_t)size);
            whole = platform_file_read(file, text.data(), text.size()) == text.size();
        }
        platform_file_close(file);
    }
    std::string_view rest = text;
    while (whole && !rest.empty()) {
        const std::size_t end = rest.find('\n');
        whole = end != std::string_view::npos && parse_line(rest.substr(0, end), &kept);
        rest.remove_prefix(whole ? end + 1 : rest.size());
    }
    if (!whole) {
        set_aside(path);
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

void write_file(const kept_boards &kept) {
    const char *path = save_folder_file_path(board_marks_file_name);
    if (!path[0] || file_refused)
        return; // no folder (told with the save), or a damaged file kept as it is (told)
    const std::string text = file_text(kept);
    const bool written = text.empty() ? platform_file_remove(path)
                                      : platform_file_replace(path, text.data(), text.size()) == (long)text.size();
    if (written)
        return;
    if (write_failure_told) {
        std::fprintf(stderr, "tombweaver: the unfinished boards could not be kept in %s (%s)\n", path,
                     platform_file_error_text());
        return;
    }
    write_failure_told = true;
    tell("Unfinished Boards Not Kept",
         "The marks of the boards you left half done could not be written to\n%s\n(%s).\n\nThey may not be "
         "kept this session; your saved game is not affected.",
         path, platform_file_error_text());
}

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

void board_marks_forget_told() { damaged_told = write_failure_told = file_refused = false; }
