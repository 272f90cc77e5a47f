// g_board_marks.cpp -- each location's unfinished marks, in "nonogram.marks" beside the save
#include "game/story/g_board_marks.h"

#include "engine/ec_fileio.h"
#include "game/story/g_puzzles.h"
#include "platform/pf_system.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// Longer than any file the game writes (25 boards of 32 x 32): anything bigger is not ours.
constexpr std::uint64_t max_file_size = 64 * 1024;
constexpr char cell_chars[3] = {'.', '#', 'x'}; // by mark

bool write_failure_told = false;

// The kept boards, by puzzle: size x size cell characters, empty when none.
struct kept_boards {
    std::string cells[num_puzzles];
    int hints[num_puzzles] = {};
};

// The file's boards; a missing, unreadable or damaged file (or line) keeps nothing.
kept_boards read_file() {
    kept_boards kept;
    platform_file *file = platform_file_open_read(save_folder_file_path(board_marks_file_name));
    if (!file)
        return kept;
    std::string text;
    if (platform_file_size(file) <= max_file_size) {
        text.resize((std::size_t)platform_file_size(file));
        text.resize(platform_file_read(file, text.data(), text.size()));
    }
    platform_file_close(file);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        unsigned puzzle = 0, size = 0;
        int used = 0;
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (std::sscanf(line.c_str(), "%u %u %n", &puzzle, &size, &used) != 2 || puzzle >= num_puzzles ||
            size == 0 || size > (unsigned)max_necrogram_size)
            continue;
        const std::string cells = line.substr((std::size_t)used, (std::size_t)size * size);
        unsigned hints = 0; // none written: none used
        const std::string rest = line.substr(std::min(line.size(), (std::size_t)used + cells.size()));
        if (cells.size() == (std::size_t)size * size &&
            cells.find_first_not_of(cell_chars, 0, sizeof cell_chars) == std::string::npos &&
            (rest.empty() || (std::sscanf(rest.c_str(), " %u", &hints) == 1 && hints < 100000))) {
            kept.cells[puzzle] = cells;
            kept.hints[puzzle] = (int)hints;
        }
    }
    return kept;
}

void write_file(const kept_boards &kept) {
    const char *path = save_folder_file_path(board_marks_file_name);
    if (!path[0])
        return;
    std::string text;
    for (unsigned i = 0; i < num_puzzles; ++i) {
        const std::string &cells = kept.cells[i];
        unsigned size = 0;
        while ((std::size_t)size * size < cells.size())
            ++size;
        if (!cells.empty())
            text += std::to_string(i) + " " + std::to_string(size) + " " + cells +
                    (kept.hints[i] > 0 ? " " + std::to_string(kept.hints[i]) : "") + "\n";
    }
    const bool written = text.empty() ? platform_file_remove(path)
                                      : platform_file_replace(path, text.data(), text.size()) == (long)text.size();
    if (!written && !write_failure_told) {
        write_failure_told = true;
        std::fprintf(stderr, "tombweaver: the unfinished boards could not be kept in %s (%s)\n", path,
                     platform_file_error_text());
    }
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
    const int hints = cells.empty() ? 0 : b->hints_used;
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
