// pz_format.cpp -- the shared reading helpers, game ids, format detection and whole files
#include "puzzle/pz_format.h"
#include "puzzle/pz_text.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool pz_lines::next(std::string_view *line) {
    if (pos >= text.size())
        return false;
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos)
        end = text.size();
    *line = text.substr(pos, end - pos);
    if (!line->empty() && line->back() == '\r')
        line->remove_suffix(1);
    pos = end + 1;
    ++number;
    return true;
}

std::string_view pz_skip_bom(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    return text;
}

std::string_view pz_trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The length of the well-formed UTF-8 character at the start of s (1 to 4 bytes), or 0.
static size_t utf8_length(std::string_view s) {
    const auto byte = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
    const unsigned c = byte(0);
    const auto follows = [&](size_t i, unsigned low = 0x80, unsigned high = 0xBF) {
        return byte(i) >= low && byte(i) <= high;
    };
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return follows(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) // no overlong forms, no surrogates
        return follows(1, c == 0xE0 ? 0xA0 : 0x80, c == 0xED ? 0x9F : 0xBF) && follows(2) ? 3 : 0;
    if (c >= 0xF0 && c <= 0xF4)
        return follows(1, c == 0xF0 ? 0x90 : 0x80, c == 0xF4 ? 0x8F : 0xBF) && follows(2) && follows(3) ? 4 : 0;
    return 0;
}

std::string pz_printable(std::string_view s) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = utf8_length(s.substr(i));
        const bool control =
            c < 0x20 || c == 0x7F || (c == 0xC2 && n == 2 && static_cast<unsigned char>(s[i + 1]) < 0xA0);
        if (n && !control) {
            out.append(s.substr(i, n));
        } else {
            for (size_t k = 0; k < (n ? n : 1); ++k) {
                const unsigned char b = static_cast<unsigned char>(s[i + k]);
                out += "\\x";
                out += hex[b >> 4];
                out += hex[b & 15];
            }
        }
        i += n ? n : 1;
    }
    return out;
}

std::string pz_excerpt(std::string_view s) {
    if (s.size() <= 24)
        return "\"" + pz_printable(s) + "\"";
    // Cut before a character, not inside one.
    size_t cut = 24;
    while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80)
        --cut;
    return "\"" + pz_printable(s.substr(0, cut)) + "...\"";
}

static bool all_digits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return !s.empty();
}

bool pz_parse_number(std::string_view s, int limit, const char *what, int *out, std::string *why) {
    s = pz_trim(s);
    if (s.empty()) {
        *why = std::string(what) + " is missing";
        return false;
    }
    if (s[0] == '-' && all_digits(s.substr(1))) {
        *why = std::string(what) + " " + pz_excerpt(s) + " is negative";
        return false;
    }
    if (!all_digits(s)) {
        *why = std::string(what) + " " + pz_excerpt(s) + " is not a number";
        return false;
    }
    long value = 0;
    for (char c : s) {
        value = value * 10 + (c - '0');
        if (value > limit) {
            *why = std::string(what) + " " + pz_excerpt(s) + " is over " + std::to_string(limit);
            return false;
        }
    }
    *out = static_cast<int>(value);
    return true;
}

std::string pz_long_line_reason() { return "the line is longer than " + std::to_string(pz_max_line) + " characters"; }

std::string pz_too_many_reason() { return "more than " + std::to_string(pz_max_puzzles) + " puzzles in one file"; }

std::string pz_error_text(const pz_error &e) {
    if (e.line > 0)
        return e.file + ":" + std::to_string(e.line) + ": " + e.reason;
    return e.file + ": " + e.reason;
}

bool pz_fail(pz_error *err, const std::string &file, int line, const std::string &reason) {
    if (err)
        *err = pz_error{file, line, pz_printable(reason)};
    return false;
}

// A size "WxH" at the start of s up to the colon: both from 1 to pz_max_size.
static bool read_size(std::string_view s, int *width, int *height, std::string *why) {
    size_t x = s.find_first_of("xX");
    if (x == std::string_view::npos) {
        *why = "the size " + pz_excerpt(s) + " is not WxH";
        return false;
    }
    if (!pz_parse_number(s.substr(0, x), pz_max_size, "the width", width, why) ||
        !pz_parse_number(s.substr(x + 1), pz_max_size, "the height", height, why))
        return false;
    if (*width < 1 || *height < 1) {
        *why = "the size " + pz_excerpt(s) + " has no cells";
        return false;
    }
    return true;
}

// One line's runs "3.1.2" of a game id ("" or "0" for an empty line), blanks around allowed.
static bool read_id_clue(std::string_view s, int length, const std::string &name, pz_clue *clue, std::string *why) {
    s = pz_trim(s);
    if (s == "0" || s.empty())
        return true;
    while (true) {
        size_t dot = s.find('.');
        int run = 0;
        if (!pz_parse_number(s.substr(0, dot), pz_max_size, ("a run in " + name).c_str(), &run, why))
            return false;
        clue->push_back(run);
        if (dot == std::string_view::npos)
            break;
        s.remove_prefix(dot + 1);
    }
    return pz_clue_fits(*clue, length, name, why);
}

bool pz_read_id(std::string_view id, pz_puzzle *out, std::string *why, const pz_read_options &options) {
    id = pz_trim(id);
    size_t colon = id.find(':');
    if (colon == std::string_view::npos) {
        *why = "no ':' after the size: a game id is WxH: then the clues";
        return false;
    }
    pz_puzzle p;
    if (!read_size(id.substr(0, colon), &p.width, &p.height, why))
        return false;
    std::string_view body = id.substr(colon + 1);
    const int lines = p.width + p.height;
    for (int i = 0; i < lines; ++i) {
        size_t slash = body.find('/');
        if (slash == std::string_view::npos && i + 1 < lines) {
            *why = "the id has " + std::to_string(i + 1) + " lines of clues for " + std::to_string(p.width) +
                   " columns and " + std::to_string(p.height) + " rows";
            return false;
        }
        if (slash != std::string_view::npos && i + 1 == lines) {
            *why = "the id has more than " + std::to_string(lines) + " lines of clues for " + std::to_string(p.width) +
                   " columns and " + std::to_string(p.height) + " rows";
            return false;
        }
        bool column = i < p.width;
        std::string name = column ? "column " + std::to_string(i + 1) : "row " + std::to_string(i - p.width + 1);
        pz_clue clue;
        if (!read_id_clue(body.substr(0, slash), column ? p.height : p.width, name, &clue, why))
            return false;
        (column ? p.columns : p.rows).push_back(std::move(clue));
        body.remove_prefix(slash == std::string_view::npos ? body.size() : slash + 1);
    }
    if (!pz_check(p, why, !options.unequal_totals))
        return false;
    *out = std::move(p);
    return true;
}

static bool skipped_line(std::string_view line) {
    line = pz_trim(line);
    return line.empty() || line[0] == '#';
}

bool pz_read_ids(std::string_view text, const std::string &file, std::vector<pz_puzzle> *out, pz_error *err,
                 const pz_read_options &options) {
    pz_lines lines{pz_skip_bom(text)};
    std::vector<pz_puzzle> found;
    std::string_view line;
    while (lines.next(&line)) {
        if (line.size() > pz_max_line)
            return pz_fail(err, file, lines.number, pz_long_line_reason());
        if (skipped_line(line))
            continue;
        pz_puzzle p;
        std::string why;
        if (found.size() == pz_max_puzzles)
            return pz_fail(err, file, lines.number, pz_too_many_reason());
        if (!pz_read_id(line, &p, &why, options))
            return pz_fail(err, file, lines.number, why);
        found.push_back(std::move(p));
    }
    if (found.empty())
        return pz_fail(err, file, 0, "the file holds no game id");
    out->insert(out->end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    return true;
}

static bool ends_with(std::string_view s, std::string_view end) {
    if (s.size() < end.size())
        return false;
    for (size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - end.size() + i])) != end[i])
            return false;
    return true;
}

pz_format pz_detect(std::string_view name, std::string_view text) {
    pz_lines lines{pz_skip_bom(text)};
    std::string_view line;
    while (lines.next(&line)) {
        if (skipped_line(line))
            continue;
        if (pz_trim(line).substr(0, 1) == "<")
            return pz_format_xml;
        // Game ids start with their size; .non keys with a letter.
        if (std::isdigit(static_cast<unsigned char>(pz_trim(line)[0])))
            return pz_format_id;
        if (std::isalpha(static_cast<unsigned char>(pz_trim(line)[0])))
            return pz_format_non;
        break;
    }
    if (ends_with(name, ".xml"))
        return pz_format_xml;
    if (ends_with(name, ".txt"))
        return pz_format_id;
    return pz_format_non;
}

bool pz_read_text(std::string_view text, const std::string &file, std::vector<pz_puzzle> *out, pz_error *err,
                  const pz_read_options &options) {
    if (text.size() > pz_max_file)
        return pz_fail(err, file, 0, "the file is larger than " + std::to_string(pz_max_file >> 20) + " MB");
    switch (pz_detect(file, text)) {
    case pz_format_xml: return pz_read_xml(text, file, out, err, options);
    case pz_format_id: return pz_read_ids(text, file, out, err, options);
    case pz_format_non: break;
    }
    return pz_read_non(text, file, out, err, options);
}

bool pz_read_stream(std::FILE *f, const std::string &name, std::vector<pz_puzzle> *out, pz_error *err,
                    const pz_read_options &options) {
    std::string text;
    char chunk[65536];
    size_t got;
    while (text.size() <= pz_max_file && (got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        text.append(chunk, got);
    if (std::ferror(f))
        return pz_fail(err, name, 0, std::strerror(errno));
    return pz_read_text(text, name, out, err, options);
}

bool pz_read_file(const std::string &path, std::vector<pz_puzzle> *out, pz_error *err, const pz_read_options &options) {
    // Opened without waiting, so that a named pipe or a device in the file's place cannot
    // hold the reader up: anything but a regular file is refused before a byte is read.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return pz_fail(err, path, 0, std::strerror(errno));
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return pz_fail(err, path, 0, "not a regular file");
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE *f = fdopen(fd, "rb");
    if (!f) {
        const int error = errno;
        close(fd);
        return pz_fail(err, path, 0, std::strerror(error));
    }
    bool ok = pz_read_stream(f, path, out, err, options);
    std::fclose(f);
    return ok;
}

std::string pz_write_id(const pz_puzzle &p) {
    std::string id = std::to_string(p.width) + "x" + std::to_string(p.height) + ":";
    bool first = true;
    for (const auto *lines : {&p.columns, &p.rows})
        for (const pz_clue &clue : *lines) {
            if (!first)
                id += '/';
            first = false;
            for (size_t i = 0; i < clue.size(); ++i)
                id += (i ? "." : "") + std::to_string(clue[i]);
        }
    return id;
}
