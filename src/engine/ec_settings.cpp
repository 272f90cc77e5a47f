// ec_settings.cpp -- the settings file: "key = on|off" lines, unknown keys and bad lines skipped
#include "engine/ec_settings.h"

#include "platform/pf_system.h"

#include <climits>
#include <cstring>
#include <string>

namespace {

game_settings current; // in force, command-line overrides included
game_settings saved;   // as the file has them
std::string path;
bool write_failure_reported = false;
bool unreadable = false; // the file is there but could not be read: it is not written

struct setting_key {
    const char *name;
    bool game_settings::*field;
};

constexpr setting_key keys[] = {
    {"fullscreen", &game_settings::fullscreen},
    {"clue_marks", &game_settings::clue_marks},
    {"music", &game_settings::music},
    {"sounds", &game_settings::sounds},
    {"mistake_check", &game_settings::mistake_check},
    {"high_contrast", &game_settings::high_contrast},
    {"tutorial_done", &game_settings::tutorial_done},
};

// A settings file is a few lines; anything longer is not ours.
constexpr std::uint64_t max_file_size = 4096;

std::string trimmed(const std::string &s) {
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return "";
    std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

void apply_line(const std::string &line) {
    std::size_t eq = line.find('=');
    if (eq == std::string::npos)
        return;
    std::string key = trimmed(line.substr(0, eq));
    std::string value = trimmed(line.substr(eq + 1));
    bool on;
    if (value == "on" || value == "1" || value == "true")
        on = true;
    else if (value == "off" || value == "0" || value == "false")
        on = false;
    else
        return;
    for (const setting_key &k : keys)
        if (key == k.name)
            current.*k.field = on;
}

std::string settings_folder() {
    char folder[PATH_MAX];
    if (!platform_user_config_folder(folder, sizeof folder) || !folder[0])
        return "";
    return std::string(folder) + "/tombweaver";
}

} // namespace

void settings_load() {
    current = game_settings{};
    saved = current;
    unreadable = false;
    std::string folder = settings_folder();
    path = folder.empty() ? "" : folder + "/settings.ini";
    if (path.empty())
        return;
    platform_file *file = platform_file_open_read(path.c_str());
    if (!file) {
        // There but unreadable (no permission, not a regular file): the player's
        // choices may be in it, so this session keeps the defaults without writing it.
        unreadable = platform_path_exists(path.c_str());
        if (unreadable)
            platform_debug_output(("Tombweaver: cannot read the settings file " + path +
                                   "; it is left as it is and not written in this session\n")
                                      .c_str());
        return;
    }
    std::uint64_t size = platform_file_size(file);
    std::string text;
    if (size <= max_file_size) {
        text.resize((std::size_t)size);
        text.resize(platform_file_read(file, text.data(), text.size()));
    }
    platform_file_close(file);
    if (text.find('\0') != std::string::npos)
        return; // binary junk: keep the defaults rather than guess
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        apply_line(text.substr(start, end - start));
        start = end + 1;
    }
    saved = current;
}

const game_settings &settings_get() { return current; }

void settings_set_for_run(const game_settings &s) { current = s; }

void settings_set(const game_settings &s) {
    // Only what the player switches now is written: an override for this run
    // (a --window on the command line, say) stays out of the file.
    for (const setting_key &k : keys)
        if (s.*k.field != current.*k.field)
            saved.*k.field = s.*k.field;
    current = s;
    if (path.empty() || unreadable)
        return;
    std::string text = "# Tombweaver settings\n";
    for (const setting_key &k : keys)
        text += std::string(k.name) + " = " + (saved.*k.field ? "on" : "off") + "\n";
    platform_create_folders(settings_folder().c_str());
    if (platform_file_replace(path.c_str(), text.data(), text.size()) == (long)text.size())
        return;
    if (!write_failure_reported) {
        write_failure_reported = true;
        platform_debug_output(("Tombweaver: could not write the settings file " + path + "\n").c_str());
    }
}

const char *settings_file_path() { return path.c_str(); }
