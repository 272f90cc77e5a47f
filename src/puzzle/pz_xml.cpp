// pz_xml.cpp -- the puzzle-site XML export: a small bounded XML parser and its puzzles
#include "puzzle/pz_format.h"
#include "puzzle/pz_text.h"

#include <algorithm>

namespace {

// Elements held at once; a puzzleset's puzzles are converted and let go one by one,
// so this bounds one puzzle (a 200x200 one has about 40,000).
constexpr long max_elements = 100000;
constexpr size_t max_attributes = 32; // of one element

struct xml_node {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text; // the character data directly inside, references replaced
    std::vector<xml_node> children;
    int line = 0;

    const std::string *attribute(std::string_view key) const {
        for (const auto &a : attributes)
            if (a.first == key)
                return &a.second;
        return nullptr;
    }
};

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trim_space(std::string_view s) {
    while (!s.empty() && is_space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_space(s.back()))
        s.remove_suffix(1);
    return s;
}

bool is_name_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ':' ||
           c == '-' || c == '.' || static_cast<unsigned char>(c) >= 0x80;
}

void append_utf8(std::string *out, unsigned long code) {
    if (code < 0x80) {
        *out += static_cast<char>(code);
    } else if (code < 0x800) {
        *out += static_cast<char>(0xC0 | (code >> 6));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out += static_cast<char>(0xE0 | (code >> 12));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (code >> 18));
        *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

struct xml_reader {
    std::string_view s;
    size_t pos = 0;
    int line = 1;
    const std::string &file;
    pz_error *err;
    std::vector<pz_puzzle> *puzzles;
    pz_read_options options;
    long elements = 0;

    bool fail(int at, const std::string &reason) { return pz_fail(err, file, at, reason); }

    bool at_end() const { return pos >= s.size(); }
    bool looking_at(std::string_view what) const { return s.substr(pos, what.size()) == what; }

    void advance(size_t n) {
        n = std::min(n, s.size() - pos);
        for (size_t i = 0; i < n; ++i)
            line += s[pos + i] == '\n';
        pos += n;
    }

    void skip_space() {
        while (!at_end() && is_space(s[pos]))
            advance(1);
    }

    // Past the next end, or false at the end of the text.
    bool skip_past(std::string_view end, const char *what) {
        int start = line;
        size_t found = s.find(end, pos);
        if (found == std::string_view::npos)
            return fail(start, std::string("the file ends inside ") + what);
        advance(found + end.size() - pos);
        return true;
    }

    // Comments, processing instructions and the document type: skipped.
    bool skip_markup(bool *skipped) {
        *skipped = true;
        if (looking_at("<!--"))
            return skip_past("-->", "a comment");
        if (looking_at("<?"))
            return skip_past("?>", "a processing instruction");
        if (looking_at("<!DOCTYPE")) {
            size_t first = s.find_first_of("[>", pos);
            if (first != std::string_view::npos && s[first] == '[')
                return skip_past("]", "the document type") && skip_past(">", "the document type");
            return skip_past(">", "the document type");
        }
        *skipped = false;
        return true;
    }

    std::string_view name() {
        size_t start = pos;
        while (!at_end() && is_name_char(s[pos]))
            ++pos;
        return s.substr(start, pos - start);
    }

    // Character data up to stop (not included), with the five named references and
    // numeric ones replaced; other references are kept as written.
    bool text(char stop, std::string *out) {
        while (!at_end() && s[pos] != stop && s[pos] != '<') {
            if (s[pos] != '&') {
                line += s[pos] == '\n';
                *out += s[pos++];
                continue;
            }
            // References are short: looking further would make a text of '&'s quadratic.
            size_t semi = s.substr(0, pos + 13).find(';', pos);
            if (semi == std::string_view::npos) {
                *out += s[pos++];
                continue;
            }
            std::string_view ref = s.substr(pos + 1, semi - pos - 1);
            static const std::pair<std::string_view, char> named[] = {
                {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
            bool done = false;
            for (const auto &[n, c] : named)
                if (ref == n) {
                    *out += c;
                    done = true;
                }
            if (!done && !ref.empty() && ref[0] == '#') {
                bool hex = ref.size() > 1 && (ref[1] == 'x' || ref[1] == 'X');
                std::string_view digits = ref.substr(hex ? 2 : 1);
                unsigned long code = 0;
                for (char c : digits) {
                    int d = c >= '0' && c <= '9'          ? c - '0'
                            : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                            : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                          : -1;
                    if (d < 0 || code > 0x10FFFF)
                        return fail(line, "a bad character reference &" + std::string(ref) + ";");
                    code = code * (hex ? 16 : 10) + d;
                }
                if (digits.empty() || code == 0 || code > 0x10FFFF)
                    return fail(line, "a bad character reference &" + std::string(ref) + ";");
                append_utf8(out, code);
                done = true;
            }
            if (!done)
                out->append(s.substr(pos, semi + 1 - pos));
            advance(semi + 1 - pos);
        }
        return true;
    }

    bool element(xml_node *node, int depth);
    bool document();
};

// A puzzle element made into a puzzle; false with the fault at the element's line.
struct puzzle_maker {
    xml_reader &in;
    std::string background = "white", foreground = "black";
    char background_char = '.', foreground_char = 'X';

    bool colour_ok(const std::string &colour, int line) {
        if (colour == background || colour == foreground)
            return true;
        return in.fail(line, "the puzzle uses the colour \"" + colour.substr(0, 40) +
                                 "\": only black-and-white puzzles can be read");
    }

    bool clues(const xml_node &node, bool rows, std::vector<pz_clue> *out) {
        const char *noun = rows ? "row" : "column";
        for (const xml_node &line : node.children) {
            if (line.name != "line")
                continue;
            if (out->size() == pz_max_size)
                return in.fail(line.line, std::string("more than ") + std::to_string(pz_max_size) + " " + noun + "s");
            const std::string name = noun + (" " + std::to_string(out->size() + 1));
            pz_clue clue;
            for (const xml_node &count : line.children) {
                if (count.name != "count")
                    continue;
                const std::string *colour = count.attribute("color");
                if (colour && !colour_ok(*colour, count.line))
                    return false;
                if (colour && *colour == background)
                    return in.fail(count.line, name + ": a count in the background colour");
                int run = 0;
                std::string why;
                if (!pz_parse_number(trim_space(count.text), pz_max_size, ("a count in " + name).c_str(), &run, &why))
                    return in.fail(count.line, why);
                clue.push_back(run);
            }
            out->push_back(std::move(clue));
        }
        return true;
    }

    bool image(const xml_node &node, pz_puzzle *p) {
        pz_lines rows{node.text};
        std::string_view row;
        int r = 0;
        while (rows.next(&row)) {
            const int at = node.line + rows.number - 1;
            row = trim_space(row);
            if (row.empty())
                continue;
            if (r == p->height)
                return in.fail(at, "the goal image has more than " + std::to_string(p->height) + " rows");
            if (row.size() != static_cast<size_t>(p->width) + 2 || row.front() != '|' || row.back() != '|')
                return in.fail(at, "the goal image's row " + std::to_string(r + 1) + " is not |...| of " +
                                       std::to_string(p->width) + " cells");
            for (int c = 0; c < p->width; ++c) {
                char cell = row[c + 1];
                if (cell != foreground_char && cell != background_char)
                    return in.fail(at, "the goal image holds '" + std::string(1, cell) + "'");
                p->goal.push_back(cell == foreground_char);
            }
            ++r;
        }
        if (r != p->height)
            return in.fail(node.line,
                           "the goal image has " + std::to_string(r) + " rows, not " + std::to_string(p->height));
        return true;
    }

    bool make(const xml_node &node, pz_puzzle *p) {
        if (const std::string *b = node.attribute("backgroundcolor"))
            background = *b;
        if (const std::string *f = node.attribute("defaultcolor"))
            foreground = *f;
        int rows_line = 0, columns_line = 0;
        const xml_node *goal = nullptr;
        for (const xml_node &child : node.children) {
            if (child.name == "color") {
                const std::string *name = child.attribute("name"), *ch = child.attribute("char");
                if (!name)
                    continue;
                if (!colour_ok(*name, child.line))
                    return false;
                if (ch && ch->size() == 1)
                    (*name == background ? background_char : foreground_char) = (*ch)[0];
            } else if (child.name == "clues") {
                const std::string *type = child.attribute("type");
                const bool rows = type && *type == "rows";
                if (!type || (!rows && *type != "columns"))
                    return in.fail(child.line, "<clues> without type=\"rows\" or type=\"columns\"");
                int &seen = rows ? rows_line : columns_line;
                if (seen)
                    return in.fail(child.line, "a second <clues type=\"" + *type + "\"> (the first is on line " +
                                                   std::to_string(seen) + ")");
                seen = child.line;
                if (!clues(child, rows, rows ? &p->rows : &p->columns))
                    return false;
            } else if (child.name == "title" || child.name == "author" || child.name == "copyright" ||
                       child.name == "id") {
                std::string &field = child.name == "title"    ? p->title
                                     : child.name == "author" ? p->author
                                     : child.name == "id"     ? p->catalogue
                                                              : p->copyright;
                field = trim_space(child.text);
            } else if (child.name == "solution") {
                const std::string *type = child.attribute("type");
                if (!type || *type == "goal")
                    goal = &child;
            }
        }
        if (!rows_line || !columns_line)
            return in.fail(node.line,
                           std::string("the puzzle has no <clues type=\"") + (rows_line ? "columns" : "rows") + "\">");
        p->width = static_cast<int>(p->columns.size());
        p->height = static_cast<int>(p->rows.size());
        std::string why;
        const bool equal_totals = !in.options.unequal_totals;
        if (!pz_check(*p, &why, equal_totals))
            return in.fail(p->width && p->height ? (columns_line > rows_line ? columns_line : rows_line) : node.line,
                           why);
        if (!goal)
            return true;
        for (const xml_node &child : goal->children)
            if (child.name == "image") {
                if (!image(child, p))
                    return false;
                return pz_check(*p, &why, equal_totals) || in.fail(child.line, why);
            }
        return true;
    }
};

bool convert(xml_reader &in, const xml_node &node) {
    if (in.puzzles->size() == pz_max_puzzles)
        return in.fail(node.line, pz_too_many_reason());
    pz_puzzle p;
    if (!puzzle_maker{in}.make(node, &p))
        return false;
    in.puzzles->push_back(std::move(p));
    return true;
}

bool xml_reader::element(xml_node *node, int depth) {
    if (depth > pz_max_depth)
        return fail(line, "the elements are nested more than " + std::to_string(pz_max_depth) + " deep");
    if (++elements > max_elements)
        return fail(line, "more than " + std::to_string(max_elements) + " elements in one puzzle");
    node->line = line;
    ++pos; // '<'
    node->name = name();
    if (node->name.empty())
        return fail(line, "a '<' not followed by an element name");
    if (depth == 1 && node->name != "puzzleset" && node->name != "puzzle")
        return fail(line, "the file holds <" + node->name.substr(0, 40) + ">, not <puzzleset> or <puzzle>");
    while (true) {
        skip_space();
        if (at_end())
            return fail(node->line, "the file ends inside <" + node->name + ">");
        if (looking_at("/>"))
            return advance(2), true;
        if (s[pos] == '>') {
            advance(1);
            break;
        }
        if (node->attributes.size() == max_attributes)
            return fail(line, "more than " + std::to_string(max_attributes) + " attributes in <" + node->name + ">");
        std::string key(name());
        skip_space();
        if (key.empty() || at_end() || s[pos] != '=')
            return fail(line, "a bad attribute in <" + node->name + ">");
        advance(1);
        skip_space();
        if (at_end() || (s[pos] != '"' && s[pos] != '\''))
            return fail(line, "the attribute " + key + " of <" + node->name + "> has no quoted value");
        char quote = s[pos];
        advance(1);
        std::string value;
        if (!text(quote, &value))
            return false;
        if (at_end() || s[pos] != quote)
            return fail(line, "the attribute " + key + " of <" + node->name + "> has a '<' or no closing quote");
        advance(1);
        node->attributes.emplace_back(std::move(key), std::move(value));
    }
    while (true) {
        if (!text('<', &node->text))
            return false;
        if (at_end())
            return fail(node->line, "the file ends inside <" + node->name + ">");
        bool skipped;
        if (!skip_markup(&skipped))
            return false;
        if (skipped)
            continue;
        if (looking_at("<![CDATA[")) {
            size_t end = s.find("]]>", pos);
            if (end == std::string_view::npos)
                return fail(line, "the file ends inside a CDATA section");
            node->text.append(s.substr(pos + 9, end - pos - 9));
            advance(end + 3 - pos);
        } else if (looking_at("</")) {
            const int at = line;
            advance(2);
            std::string_view closing = name();
            skip_space();
            if (closing != node->name)
                return fail(at, "</" + std::string(closing.substr(0, 40)) + "> closes <" + node->name + ">");
            if (at_end() || s[pos] != '>')
                return fail(at, "</" + node->name + " without its '>'");
            advance(1);
            return true;
        } else if (looking_at("<!")) {
            return fail(line, "markup \"<!\" that is not a comment or CDATA");
        } else {
            node->children.emplace_back();
            if (!element(&node->children.back(), depth + 1))
                return false;
            // A puzzleset's children are let go as soon as they are read: puzzles once made.
            if (depth == 1 && node->name == "puzzleset") {
                if (node->children.back().name == "puzzle" && !convert(*this, node->children.back()))
                    return false;
                node->children.pop_back();
                elements = 1;
            }
        }
    }
}

bool xml_reader::document() {
    while (true) {
        skip_space();
        if (at_end())
            return fail(line, "no <puzzleset> or <puzzle> element");
        bool skipped;
        if (!skip_markup(&skipped))
            return false;
        if (!skipped)
            break;
    }
    if (s[pos] != '<')
        return fail(line, "the file does not start with an XML element");
    xml_node root;
    if (!element(&root, 1))
        return false;
    if (root.name == "puzzle" && !convert(*this, root))
        return false;
    while (true) {
        skip_space();
        if (at_end())
            break;
        bool skipped;
        if (!skip_markup(&skipped))
            return false;
        if (!skipped)
            return fail(line, "more after the end of <" + root.name + ">");
    }
    if (puzzles->empty())
        return fail(root.line, "the <puzzleset> holds no <puzzle>");
    return true;
}

} // namespace

bool pz_read_xml(std::string_view text, const std::string &file, std::vector<pz_puzzle> *out, pz_error *err,
                 const pz_read_options &options) {
    std::vector<pz_puzzle> found;
    xml_reader in{pz_skip_bom(text), 0, 1, file, err, &found, options};
    if (!in.document())
        return false;
    out->insert(out->end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    return true;
}
