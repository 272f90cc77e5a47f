// tombweaver_solve.cpp -- tombweaver-solve: solves, grades, converts and generates puzzles
//
// Reads .non, puzzle-site XML and game-id files with the puzzle layer's readers and
// answers for each puzzle whether it has one solution, several or none. The exit
// status sums up every puzzle read (see usage() and the manual page).

#include "puzzle/pz_format.h"
#include "puzzle/pz_generate.h"
#include "puzzle/pz_grade.h"
#include "puzzle/pz_solve.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

enum exit_status { exit_unique = 0, exit_file = 1, exit_usage = 2, exit_not_unique = 3, exit_stopped = 4 };

const char usage_text[] =
    "usage: tombweaver-solve [--count] [--limit SECONDS] [--format non|id] FILE...\n"
    "       tombweaver-solve --generate WxH --grade easy|medium|hard --number N\n"
    "       tombweaver-solve --help | --version\n"
    "\n"
    "Solves every puzzle in the files (.non, puzzle-site XML, or game ids one a line;\n"
    "- reads standard input) and prints its picture, its verdict (unique, multiple,\n"
    "none or stopped), its grade and the time taken.\n"
    "\n"
    "  --count           print only one line a puzzle: its number of solutions (0, 1, 2+)\n"
    "  --limit SECONDS   stop solving a puzzle after this long (verdict stopped),\n"
    "                    above 0 and up to 1000000\n"
    "  --format non|id   write each puzzle back as .non (with the first solution as its\n"
    "                    goal and a # verdict: line; a line --- between puzzles) or as\n"
    "                    a game id, instead\n"
    "  --generate WxH    write a new puzzle with one solution as .non (5x5 to 30x30),\n"
    "                    of --grade easy, medium or hard and --number N (0 to 4294967295)\n"
    "\n"
    "Numbers are decimal digits, leading zeros allowed (07x05 is 7x5), without sign,\n"
    "blanks or exponent; SECONDS may have a fraction after a point (0.5).\n"
    "\n"
    "Exit status: 0 every puzzle has one solution, 1 a file cannot be read or the\n"
    "output cannot be written, 2 a bad command line, 3 a puzzle has none or several,\n"
    "4 the limit stopped one.\n";

struct options {
    bool count = false;
    double limit = 0;
    std::string format; // "", "non" or "id"
    std::string generate, grade, number;
    std::vector<std::string> files;
};

// Standard output: every write is checked, and the first that fails is told on standard
// error (once), so that a full disk never passes for a finished output.
bool output_failed = false;

bool output_fault(int error) {
    if (!output_failed)
        std::fprintf(stderr, "tombweaver-solve: standard output: %s\n", std::strerror(error ? error : EIO));
    output_failed = true;
    return false;
}

bool write_out(const std::string &text) {
    if (output_failed)
        return false;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
        return output_fault(errno);
    return true;
}

bool flush_out() {
    errno = 0;
    return output_failed || std::fflush(stdout) == 0 || output_fault(errno);
}

// The exit status once everything written has reached its file: exit_file when some did not.
int finish_output(int status) {
    flush_out();
    errno = 0;
    if (std::fclose(stdout) != 0)
        output_fault(errno);
    return output_failed ? exit_file : status;
}

int bad_usage(const std::string &why) {
    std::fprintf(stderr, "tombweaver-solve: %s\nTry 'tombweaver-solve --help'.\n", why.c_str());
    return exit_usage;
}

// The numbers of options follow one rule: decimal digits only, leading zeros allowed,
// and for --limit a fraction after one point. No sign, blank, exponent or hex.
bool digits_only(const std::string &s) { return s.find_first_not_of("0123456789") == std::string::npos; }

// A whole number from 0 to max (at most 0xFFFFFFFF).
bool parse_whole(const std::string &s, unsigned long max, unsigned long *out) {
    if (s.empty() || !digits_only(s))
        return false;
    unsigned long value = 0;
    for (char c : s) {
        value = value * 10 + static_cast<unsigned long>(c - '0');
        if (value > max)
            return false;
    }
    *out = value;
    return true;
}

// A number with an optional fraction: "2", "0.5", ".5" or "2.".
bool parse_decimal(const std::string &s, double *out) {
    const size_t point = s.find('.');
    const std::string whole = s.substr(0, point), fraction = point == std::string::npos ? "" : s.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || !digits_only(whole) || !digits_only(fraction))
        return false;
    *out = std::strtod(s.c_str(), nullptr);
    return true;
}

// Parses the command line into *o; returns -1 to go on, else the status to exit with.
int parse(int argc, char **argv, options *o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string *to) {
            if (i + 1 >= argc)
                return false;
            *to = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            write_out(usage_text);
            return exit_unique;
        } else if (arg == "--version") {
            write_out(std::string("tombweaver-solve ") + TW_VERSION + "\n");
            return exit_unique;
        } else if (arg == "--count") {
            o->count = true;
        } else if (arg == "--limit") {
            if (!value(&text))
                return bad_usage("--limit needs a number of seconds");
            if (!parse_decimal(text, &o->limit) || o->limit <= 0 || o->limit > 1e6)
                return bad_usage("--limit \"" + text + "\" is not a number of seconds above 0, up to 1000000");
        } else if (arg == "--format") {
            if (!value(&o->format) || (o->format != "non" && o->format != "id"))
                return bad_usage("--format needs non or id");
        } else if (arg == "--generate" || arg == "--grade" || arg == "--number") {
            std::string *to = arg == "--generate" ? &o->generate : arg == "--grade" ? &o->grade : &o->number;
            if (!value(to))
                return bad_usage(arg + " needs a value");
        } else if (arg == "--") {
            o->files.insert(o->files.end(), argv + i + 1, argv + argc);
            break;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return bad_usage("unknown option " + arg);
        } else {
            o->files.push_back(arg);
        }
    }
    if (!o->generate.empty() || !o->grade.empty() || !o->number.empty()) {
        if (o->generate.empty() || o->grade.empty() || o->number.empty())
            return bad_usage("--generate, --grade and --number go together");
        if (!o->files.empty() || o->count || !o->format.empty() || o->limit > 0)
            return bad_usage("--generate takes no files and no other option");
    } else if (o->files.empty()) {
        return bad_usage("no puzzle file given");
    }
    if (o->count && !o->format.empty())
        return bad_usage("--count and --format do not go together");
    return -1;
}

int generate(const options &o) {
    unsigned long width = 0, height = 0, number = 0;
    const size_t x = o.generate.find('x');
    if (x == std::string::npos || !parse_whole(o.generate.substr(0, x), pz_generate_max, &width) ||
        !parse_whole(o.generate.substr(x + 1), pz_generate_max, &height) || width < pz_generate_min ||
        height < pz_generate_min)
        return bad_usage("--generate \"" + o.generate + "\" is not a size from 5x5 to 30x30");
    pz_grade grade;
    if (!pz_grade_from_name(o.grade.c_str(), &grade) ||
        (grade != pz_grade::easy && grade != pz_grade::medium && grade != pz_grade::hard))
        return bad_usage("--grade \"" + o.grade + "\" is not easy, medium or hard");
    if (!parse_whole(o.number, 0xFFFFFFFFul, &number))
        return bad_usage("--number \"" + o.number + "\" is not a number from 0 to 4294967295");
    pz_puzzle p;
    std::string why;
    if (!pz_generate(static_cast<int>(width), static_cast<int>(height), grade, static_cast<uint32_t>(number), &p, &why))
        return bad_usage(why);
    write_out(pz_write_non(p));
    return exit_unique;
}

// Every puzzle of one file ("-": standard input); false with the error printed. Rows and
// columns that fill different numbers of cells make a puzzle without a solution, not a
// damaged file.
bool read_puzzles(const std::string &name, std::vector<pz_puzzle> *out) {
    pz_error err;
    pz_read_options options;
    options.unequal_totals = true;
    const bool ok = name == "-" ? pz_read_stream(stdin, "(standard input)", out, &err, options)
                                : pz_read_file(name, out, &err, options);
    if (!ok)
        std::fprintf(stderr, "tombweaver-solve: %s\n", pz_printable(pz_error_text(err)).c_str());
    return ok;
}

// The picture, a line of # and . a row, each indented by two blanks.
std::string picture(const std::vector<uint8_t> &cells, int width) {
    std::string out;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i % width == 0)
            out += "  ";
        out += cells[i] ? '#' : '.';
        if ((i + 1) % width == 0)
            out += '\n';
    }
    return out;
}

std::string counted(int n, const char *one, const char *many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "hard (score 7, look-ahead on 1 cell)": the grade and what it rests on.
std::string grade_text(const pz_grading &g) {
    std::string why = g.line_solvable                   ? "line logic in " + counted(g.sweeps, "sweep", "sweeps")
                      : g.lookahead && !g.search_needed ? "look-ahead on " + counted(g.lookahead_cells, "cell", "cells")
                                                        : "search";
    return std::string(pz_grade_name(g.grade)) + " (score " + std::to_string(g.score) + ", " + why + ")";
}

// Solves one puzzle and writes what was asked to *out; returns its exit status.
int solve_one(const options &o, const pz_puzzle &p, const std::string &label, std::string *out) {
    pz_limits limits;
    limits.seconds = o.limit;
    const auto start = std::chrono::steady_clock::now();
    // The solver takes only puzzles with equal totals; the others have no solution.
    pz_solution s;
    if (pz_check(p, nullptr))
        s = pz_solve(p, nullptr, limits, true);
    else
        s.verdict = pz_verdict::none;
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const int status = s.verdict == pz_verdict::unique    ? exit_unique
                       : s.verdict == pz_verdict::stopped ? exit_stopped
                                                          : exit_not_unique;
    const char *verdict = pz_verdict_name(s.verdict);

    if (o.format == "id") {
        *out += pz_write_id(p) + "\n";
        return status;
    }
    if (o.format == "non") {
        pz_puzzle solved = p;
        if (!s.first.empty())
            solved.goal = s.first;
        *out += std::string("# verdict: ") + verdict + "\n" + pz_write_non(solved);
        return status;
    }
    if (o.count) {
        const char *count = s.verdict == pz_verdict::none      ? "0"
                            : s.verdict == pz_verdict::unique  ? "1"
                            : s.verdict == pz_verdict::stopped ? "stopped"
                                                               : "2+";
        *out += label + ": " + count + "\n";
        return status;
    }

    *out += label + ": " + std::to_string(p.width) + "x" + std::to_string(p.height) + (p.title.empty() ? "" : ", ") +
            pz_printable(p.title) + "\n";
    if (!s.first.empty())
        *out += picture(s.first, p.width);
    if (s.verdict == pz_verdict::multiple)
        *out += "  and another solution:\n" + picture(s.second, p.width);
    std::string grade = s.verdict == pz_verdict::stopped ? "unknown"
                        : s.verdict == pz_verdict::none  ? pz_grade_name(pz_grade::none)
                                                         : pz_grade_name(pz_grade::search);
    if (s.verdict == pz_verdict::unique) {
        pz_grading g = pz_grade_puzzle(p, limits);
        grade = grade_text(g);
    }
    char time[64];
    std::snprintf(time, sizeof time, "%.2f", ms);
    *out += std::string("  verdict: ") + verdict + "\n  grade: " + grade + "\n  time: " + time + " ms\n";
    return status;
}

} // namespace

int main(int argc, char **argv) {
    options o;
    int status = parse(argc, argv, &o);
    if (status >= 0)
        return finish_output(status);
    if (!o.generate.empty())
        return finish_output(generate(o));

    // The worst status wins: an unreadable file, then a puzzle without one solution, then a stop.
    bool any_error = false, any_not_unique = false, any_stopped = false;
    int written = 0;
    for (const std::string &file : o.files) {
        std::vector<pz_puzzle> puzzles;
        if (!read_puzzles(file, &puzzles)) {
            any_error = true;
            continue;
        }
        for (size_t i = 0; i < puzzles.size(); ++i) {
            std::string label = file == "-" ? "(standard input)" : file;
            if (puzzles.size() > 1)
                label += " #" + std::to_string(i + 1);
            std::string out;
            if (o.format == "non" && written++ > 0)
                out += std::string("\n") + pz_non_separator + "\n";
            status = solve_one(o, puzzles[i], label, &out);
            any_not_unique |= status == exit_not_unique;
            any_stopped |= status == exit_stopped;
            // Nothing more is solved once the output is lost.
            if (!write_out(out))
                return finish_output(exit_file);
        }
        if (!flush_out())
            return finish_output(exit_file);
    }
    return finish_output(any_error        ? exit_file
                         : any_not_unique ? exit_not_unique
                         : any_stopped    ? exit_stopped
                                          : exit_unique);
}
