// pz_library.cpp -- reading the picture library's chapter files
#include "puzzle/pz_library.h"

namespace {

bool is_row(std::string_view line) { return !line.empty() && line.find_first_not_of("#.") == std::string_view::npos; }

std::string_view trim(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// The value after "key:" when the line starts with it.
bool keyed(std::string_view line, std::string_view key, std::string_view *value) {
    if (line.substr(0, key.size()) != key)
        return false;
    *value = trim(line.substr(key.size()));
    return true;
}

} // namespace

bool pz_read_library_chapter(std::string_view text, const std::string &file, pz_library_chapter *out, pz_error *err) {
    *out = pz_library_chapter{};
    int line_number = 0;
    auto refuse = [&](const std::string &reason) {
        *err = pz_error{file, line_number, reason};
        return false;
    };
    // The picture being drawn: its name, where it started, its rows.
    std::string name;
    int name_line = 0;
    std::vector<std::string_view> rows;
    bool drawing = false;
    auto finish = [&] {
        if (!drawing)
            return true;
        drawing = false;
        const int h = (int)rows.size(), w = h ? (int)rows[0].size() : 0;
        if (h == 0) {
            line_number = name_line;
            return refuse("picture \"" + name + "\" has no rows");
        }
        if (w > pz_max_size || h > pz_max_size) {
            line_number = name_line;
            return refuse("picture \"" + name + "\" is larger than " + std::to_string(pz_max_size) + " cells a side");
        }
        std::vector<uint8_t> cells;
        cells.reserve((size_t)w * (size_t)h);
        for (std::string_view row : rows)
            for (char c : row)
                cells.push_back(c == '#');
        pz_puzzle p = pz_from_picture(w, h, cells.data());
        p.title = name;
        out->pictures.push_back(std::move(p));
        rows.clear();
        return true;
    };
    size_t at = 0;
    while (at <= text.size()) {
        const size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = trim(text.substr(at, end - at));
        at = end + 1;
        ++line_number;
        std::string_view value;
        if (is_row(line)) {
            if (!drawing)
                return refuse("a row outside a picture");
            if (!rows.empty() && line.size() != rows[0].size())
                return refuse("a row of " + std::to_string(line.size()) + " cells in a picture " +
                              std::to_string(rows[0].size()) + " wide");
            rows.push_back(line);
        } else if (line.empty()) {
            if (!finish())
                return false;
        } else if (line[0] == '#') {
            continue; // a comment
        } else if (keyed(line, "chapter:", &value)) {
            if (!out->name.empty())
                return refuse("a second chapter line");
            if (value.empty() || value.size() > pz_library_max_name)
                return refuse("a chapter's name must have 1 to " + std::to_string(pz_library_max_name) + " characters");
            out->name = value;
        } else if (keyed(line, "picture:", &value)) {
            if (!finish())
                return false;
            if (out->name.empty())
                return refuse("a picture before the chapter line");
            if (value.empty() || value.size() > pz_library_max_name)
                return refuse("a picture's name must have 1 to " + std::to_string(pz_library_max_name) + " characters");
            name = value;
            name_line = line_number;
            drawing = true;
        } else {
            return refuse("not a row, a name or a comment");
        }
    }
    if (!finish())
        return false;
    if (out->name.empty())
        return refuse("no chapter line");
    return true;
}
