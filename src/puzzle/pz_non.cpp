// pz_non.cpp -- the .non text format: reading with the line of every fault, and writing
#include "puzzle/pz_format.h"
#include "puzzle/pz_text.h"

#include <cctype>
#include <iterator>

namespace {

struct non_reader {
    pz_lines lines;
    std::string file;
    pz_error *err;
    pz_read_options options;
    int separator_line = 0; // of the last separator passed

    bool fail(int line, const std::string &reason) { return pz_fail(err, file, line, reason); }

    // The next line that is not a # comment, trimmed; false at the end or on a long line
    // (*failed says which).
    bool next(std::string_view *line, bool *failed) {
        std::string_view raw;
        while (lines.next(&raw)) {
            if (raw.size() > pz_max_line) {
                *failed = true;
                return fail(lines.number, pz_long_line_reason());
            }
            *line = pz_trim(raw);
            if (line->empty() || (*line)[0] != '#')
                return true;
        }
        *failed = false;
        return false;
    }
};

// A value after its key: plain, or in double quotes with \" and \\ inside.
bool read_value(std::string_view value, std::string *out, std::string *why) {
    out->clear();
    if (value.empty() || value[0] != '"') {
        out->assign(value);
        return true;
    }
    for (size_t i = 1; i < value.size(); ++i) {
        char c = value[i];
        if (c == '"')
            return true;
        if (c == '\\' && i + 1 < value.size() && (value[i + 1] == '"' || value[i + 1] == '\\'))
            c = value[++i];
        *out += c;
    }
    *why = "the value has no closing quote";
    return false;
}

// One clue line: runs separated by commas (blanks also separate); "0" or nothing for none.
bool read_clue(std::string_view line, int length, const std::string &name, pz_clue *clue, std::string *why) {
    if (line.empty() || line == "0")
        return true;
    const std::string what = "a run in " + name;
    while (true) {
        size_t comma = line.find(',');
        std::string_view piece = pz_trim(line.substr(0, comma));
        if (piece.empty()) {
            *why = name + ": a comma without a run before it";
            return false;
        }
        while (!piece.empty()) {
            size_t blank = piece.find_first_of(" \t");
            int run = 0;
            if (!pz_parse_number(piece.substr(0, blank), pz_max_size, what.c_str(), &run, why))
                return false;
            clue->push_back(run);
            piece = pz_trim(piece.substr(blank == std::string_view::npos ? piece.size() : blank));
        }
        if (comma == std::string_view::npos)
            break;
        line.remove_prefix(comma + 1);
    }
    return pz_clue_fits(*clue, length, name, why);
}

// The goal's cells: '0' and '1' in one string of width * height, blanks and quotes skipped.
bool read_goal(std::string_view value, size_t cells, std::vector<uint8_t> *goal, std::string *why) {
    for (char c : value) {
        if (c == '0' || c == '1') {
            if (goal->size() == cells) {
                *why = "the goal has more than " + std::to_string(cells) + " cells";
                return false;
            }
            goal->push_back(c == '1');
        } else if (c != ' ' && c != '\t' && c != '"') {
            *why = "the goal holds '" + std::string(1, c) + "', not only 0 and 1";
            return false;
        }
    }
    if (goal->size() != cells) {
        *why = "the goal has " + std::to_string(goal->size()) + " cells, not " + std::to_string(cells);
        return false;
    }
    return true;
}

std::string lower(std::string_view s) {
    std::string out(s.substr(0, 16));
    for (char &c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// One puzzle from in, up to a separator line (*more: another puzzle follows) or the end.
bool read_puzzle(non_reader &in, pz_puzzle *out, bool *more) {
    *more = false;
    bool anything = false;
    pz_puzzle p;
    std::string why, goal_text;
    int width_line = 0, height_line = 0, rows_line = 0, columns_line = 0, goal_line = 0;
    int title_line = 0, by_line = 0, copyright_line = 0, catalogue_line = 0;
    std::string_view line;
    bool failed = false;
    while (in.next(&line, &failed)) {
        if (line.empty())
            continue;
        if (line == pz_non_separator) {
            *more = true;
            break;
        }
        anything = true;
        size_t blank = line.find_first_of(" \t");
        const std::string key = lower(line.substr(0, blank));
        std::string_view value = pz_trim(line.substr(blank == std::string_view::npos ? line.size() : blank));
        const int at = in.lines.number;
        if (std::isdigit(static_cast<unsigned char>(line[0])) || line[0] == '-')
            return in.fail(at, "a clue outside a rows or columns block");

        struct keyed {
            const char *key;
            int *line;
            std::string *text;
        };
        const keyed strings[] = {{"title", &title_line, &p.title},
                                 {"by", &by_line, &p.author},
                                 {"copyright", &copyright_line, &p.copyright},
                                 {"catalogue", &catalogue_line, &p.catalogue},
                                 {"goal", &goal_line, &goal_text}};
        bool handled = false;
        for (const keyed &k : strings)
            if (key == k.key) {
                if (*k.line)
                    return in.fail(at, "a second " + key + " (the first is on line " + std::to_string(*k.line) + ")");
                *k.line = at;
                if (!read_value(value, k.text, &why))
                    return in.fail(at, why);
                handled = true;
            }
        if (handled)
            continue;

        if (key == "width" || key == "height") {
            int *line_of = key == "width" ? &width_line : &height_line;
            int *size = key == "width" ? &p.width : &p.height;
            if (*line_of)
                return in.fail(at, "a second " + key + " (the first is on line " + std::to_string(*line_of) + ")");
            *line_of = at;
            if (!pz_parse_number(value, pz_max_size, ("the " + key).c_str(), size, &why))
                return in.fail(at, why);
            if (*size < 1)
                return in.fail(at, "the " + key + " is 0");
        } else if (key == "rows" || key == "columns") {
            const bool rows = key == "rows";
            int *line_of = rows ? &rows_line : &columns_line;
            if (*line_of)
                return in.fail(at,
                               "a second " + key + " block (the first is on line " + std::to_string(*line_of) + ")");
            *line_of = at;
            const int count = rows ? p.height : p.width, length = rows ? p.width : p.height;
            if (!count)
                return in.fail(at, "the " + key + " block comes before the " + (rows ? "height" : "width"));
            if (!length)
                return in.fail(at, "the " + key + " block comes before the " + (rows ? "width" : "height"));
            std::vector<pz_clue> &clues = rows ? p.rows : p.columns;
            for (int i = 0; i < count; ++i) {
                const char *noun = rows ? "row" : "column";
                if (!in.next(&line, &failed))
                    return failed ? false
                                  : in.fail(in.lines.number, "the file ends after " + std::to_string(i) + " of the " +
                                                                 std::to_string(count) + " " + key);
                if ((!line.empty() && std::isalpha(static_cast<unsigned char>(line[0]))) || line == pz_non_separator)
                    return in.fail(in.lines.number, "the " + key + " block ends after " + std::to_string(i) +
                                                        " of its " + std::to_string(count) + " lines");
                pz_clue clue;
                if (!read_clue(line, length, noun + (" " + std::to_string(i + 1)), &clue, &why))
                    return in.fail(in.lines.number, why);
                clues.push_back(std::move(clue));
            }
        }
        // Any other key is left alone: the format has more than a reader needs.
    }
    if (failed)
        return false;
    const int end = in.lines.number;
    if (!anything && *more)
        return in.fail(end,
                       "no puzzle before the " + std::string(pz_non_separator) + " on line " + std::to_string(end));
    if (!anything && in.separator_line)
        return in.fail(end, "no puzzle after the " + std::string(pz_non_separator) + " on line " +
                                std::to_string(in.separator_line));
    if (*more)
        in.separator_line = end;
    if (!width_line)
        return in.fail(end, "no width");
    if (!height_line)
        return in.fail(end, "no height");
    if (!rows_line)
        return in.fail(end, "no rows block");
    if (!columns_line)
        return in.fail(end, "no columns block");
    const bool equal_totals = !in.options.unequal_totals;
    if (!pz_check(p, &why, equal_totals))
        return in.fail(columns_line > rows_line ? columns_line : rows_line, why);
    if (goal_line) {
        if (!read_goal(goal_text, static_cast<size_t>(p.width) * p.height, &p.goal, &why) ||
            !pz_check(p, &why, equal_totals))
            return in.fail(goal_line, why);
    }
    *out = std::move(p);
    return true;
}

} // namespace

bool pz_read_non(std::string_view text, const std::string &file, std::vector<pz_puzzle> *out, pz_error *err,
                 const pz_read_options &options) {
    non_reader in{pz_lines{pz_skip_bom(text)}, file, err, options};
    std::vector<pz_puzzle> found;
    bool more = true;
    while (more) {
        if (found.size() == pz_max_puzzles)
            return in.fail(in.lines.number, pz_too_many_reason());
        pz_puzzle p;
        if (!read_puzzle(in, &p, &more))
            return false;
        found.push_back(std::move(p));
    }
    out->insert(out->end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    return true;
}

static std::string quoted(const std::string &s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f ? ' ' : c;
    }
    return out + "\"";
}

std::string pz_write_non(const pz_puzzle &p) {
    std::string out;
    const std::pair<const char *, const std::string *> strings[] = {
        {"catalogue", &p.catalogue}, {"title", &p.title}, {"by", &p.author}, {"copyright", &p.copyright}};
    for (const auto &[key, value] : strings)
        if (!value->empty())
            out += std::string(key) + " " + quoted(*value) + "\n";
    out += "width " + std::to_string(p.width) + "\nheight " + std::to_string(p.height) + "\n";
    for (const auto &[key, lines] : {std::pair{"rows", &p.rows}, std::pair{"columns", &p.columns}}) {
        out += std::string("\n") + key + "\n";
        for (const pz_clue &clue : *lines) {
            for (size_t i = 0; i < clue.size(); ++i)
                out += (i ? "," : "") + std::to_string(clue[i]);
            out += clue.empty() ? "0\n" : "\n";
        }
    }
    if (!p.goal.empty()) {
        out += "\ngoal \"";
        for (uint8_t cell : p.goal)
            out += cell ? '1' : '0';
        out += "\"\n";
    }
    return out;
}
