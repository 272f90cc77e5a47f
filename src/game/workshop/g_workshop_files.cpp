// g_workshop_files.cpp -- My Puzzles on disk: .non files in the puzzles folder, best times beside the save
#include "game/workshop/g_workshop_files.h"

#include "engine/ec_fileio.h"
#include "engine/ec_side_file.h"
#include "platform/pf_system.h"
#include "puzzle/pz_format.h"
#include "puzzle/pz_solve.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace {

constexpr std::size_t max_file_name = 40;
// Time to find a picture for clues read without one.
constexpr double solve_seconds = 2.0;

std::string lower(std::string s) {
    for (char &c : s)
        c = (char)std::tolower((unsigned char)c);
    return s;
}

} // namespace

std::string workshop_folder() {
    const char *path = save_folder_file_path("puzzles");
    return path[0] ? std::string(path) : std::string();
}

std::string workshop_file_name(const std::string &title) {
    std::string name;
    for (char c : title) {
        const bool keep = std::isalnum((unsigned char)c) || c == '-' || c == '_' || c == ' ';
        if (keep && !(c == ' ' && (name.empty() || name.back() == ' ')))
            name += c;
    }
    if (name.size() > max_file_name)
        name.resize(max_file_name);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return (name.empty() ? std::string("Untitled") : name) + ".non";
}

std::string workshop_target_path(const workshop_document &doc) {
    const std::string folder = workshop_folder();
    return folder.empty() ? folder : folder + "/" + workshop_file_name(doc.title);
}

std::string workshop_non_text(const workshop_document &doc) {
    pz_puzzle p = pz_from_picture(doc.picture.width, doc.picture.height, doc.picture.cells.data());
    p.title = doc.title;
    p.author = doc.author;
    return pz_write_non(p);
}

bool workshop_read(const std::string &path, workshop_document *out, std::string *why) {
    std::vector<pz_puzzle> list;
    pz_error err;
    if (!pz_read_file(path, &list, &err)) {
        *why = err.reason + (err.line > 0 ? " (line " + std::to_string(err.line) + ")" : "");
        return false;
    }
    if (list.size() != 1) {
        *why = list.empty() ? "the file holds no puzzle" : "the file holds several puzzles";
        return false;
    }
    pz_puzzle &p = list[0];
    if (p.width < workshop_min_size || p.height < workshop_min_size || p.width > workshop_max_size ||
        p.height > workshop_max_size) {
        *why = "it is " + std::to_string(p.width) + "x" + std::to_string(p.height) + ": pictures are 5x5 to 30x30";
        return false;
    }
    if (p.goal.empty()) {
        const pz_solution s = pz_solve(p, nullptr, {.seconds = solve_seconds}, false);
        if (s.verdict != pz_verdict::found) {
            *why =
                s.verdict == pz_verdict::none ? "its clues have no picture" : "its clues could not be solved in time";
            return false;
        }
        p.goal = s.first;
    }
    out->picture.width = p.width;
    out->picture.height = p.height;
    out->picture.cells.assign(p.goal.begin(), p.goal.end());
    out->title = p.title.substr(0, workshop_max_text);
    out->author = p.author.substr(0, workshop_max_text);
    out->path = path;
    return true;
}

bool workshop_write(const workshop_document &doc, const std::string &path, std::string *why) {
    if (path.empty()) {
        *why = "there is no folder to keep pictures in";
        return false;
    }
    const std::string folder = std::filesystem::path(path).parent_path().string();
    if (!platform_create_folders(folder.c_str())) {
        *why = "the folder " + folder + " could not be made";
        return false;
    }
    const std::string text = workshop_non_text(doc);
    const long written = platform_file_replace(path.c_str(), text.data(), text.size());
    if (written == (long)text.size())
        return true;
    *why = std::string(written < 0 ? "it could not be created" : "it could not be written whole") + " (" +
           platform_file_error_text() + ")";
    return false;
}

bool workshop_remove(const std::string &path, std::string *why) {
    if (platform_file_remove(path.c_str()))
        return true;
    *why = std::strerror(errno);
    return false;
}

bool workshop_duplicate(const std::string &path, std::string *out_path, std::string *why) {
    workshop_document doc;
    if (!workshop_read(path, &doc, why))
        return false;
    const std::string base = doc.title.empty() ? "Untitled" : doc.title;
    for (int n = 1; n < 1000; ++n) {
        doc.title = (base + " copy" + (n > 1 ? " " + std::to_string(n) : "")).substr(0, workshop_max_text);
        const std::string target = workshop_target_path(doc);
        if (platform_path_exists(target.c_str()))
            continue;
        if (!workshop_write(doc, target, why))
            return false;
        *out_path = target;
        return true;
    }
    *why = "every copy's name is taken";
    return false;
}

std::vector<workshop_entry> workshop_list() {
    std::vector<workshop_entry> entries;
    const std::string folder = workshop_folder();
    std::error_code error;
    if (folder.empty() || !std::filesystem::is_directory(folder, error))
        return entries;
    for (const auto &item : std::filesystem::directory_iterator(folder, error)) {
        const std::filesystem::path &p = item.path();
        if (lower(p.extension().string()) != ".non")
            continue;
        workshop_entry e;
        e.path = p.string();
        e.readable = workshop_read(e.path, &e.doc, &e.error);
        if (!e.readable)
            e.doc.path = e.path;
        entries.push_back(std::move(e));
    }
    std::sort(entries.begin(), entries.end(), [](const workshop_entry &a, const workshop_entry &b) {
        const std::string ta = lower(a.doc.title), tb = lower(b.doc.title);
        return ta != tb ? ta < tb : a.path < b.path;
    });
    return entries;
}

std::string workshop_key(const workshop_picture &p) {
    return pz_write_id(pz_from_picture(p.width, p.height, p.cells.data()));
}

namespace {

side_file records_file = {
    .name = workshop_records_name,
    .max_size = 4u << 20,
    .unread_caption = "Workshop Times Not Read",
    .set_aside_text =
        "The best times of your puzzles in\n%s\ncould not be read; the file was kept as %s.damaged "
        "and those times start afresh. Your puzzles and your story's save are not affected.",
    .left_text =
        "The best times of your puzzles in\n%s\ncould not be read, nor moved aside (%s); it is left as it "
        "is, and this session's times are not kept. Your puzzles and your story's save are not affected.",
    .unsaved_caption = "Workshop Times Not Saved",
    .unsaved_text =
        "The best times of your puzzles could not be written to\n%s\n(%s).\n\nThis session's times may "
        "not be kept; your puzzles and your story's save are not affected.",
    .unsaved_log = "tombweaver: Workshop times not written to %s (%s)",
};

// The records file's best times: key and seconds. A line the game does not write makes
// the file damaged: it is set aside and its times are forgotten.
std::vector<std::pair<std::string, int>> read_records() {
    std::vector<std::pair<std::string, int>> records;
    std::string text;
    const side_file_read_result read = side_file_read(&records_file, &text);
    if (read == side_file_read_result::missing)
        return records;
    bool whole = read == side_file_read_result::read;
    std::istringstream lines(text);
    std::string line;
    while (whole && std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string word, key, rest;
        int seconds = -1;
        whole = fields >> word >> seconds >> key && word == "best" && seconds >= 0 && !(fields >> rest);
        if (whole)
            records.emplace_back(key, seconds);
    }
    if (!whole) {
        side_file_set_aside(&records_file);
        records.clear();
    }
    return records;
}

} // namespace

int workshop_best_seconds(const std::string &key) {
    for (const auto &[k, seconds] : read_records())
        if (k == key)
            return seconds;
    return -1;
}

bool workshop_record_solve(const std::string &key, int seconds) {
    std::vector<std::pair<std::string, int>> records = read_records();
    bool found = false;
    for (auto &[k, best] : records)
        if (k == key) {
            found = true;
            if (seconds >= best)
                return false;
            best = seconds;
        }
    if (!found)
        records.emplace_back(key, seconds);
    std::string text;
    for (const auto &[k, best] : records)
        text += "best " + std::to_string(best) + " " + k + "\n";
    side_file_write(&records_file, text);
    return true;
}

void workshop_records_forget_told() { side_file_forget_told(&records_file); }
