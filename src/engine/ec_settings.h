// ec_settings.h -- the player's settings, kept in $XDG_CONFIG_HOME/tombweaver/settings.ini
#pragma once

// What the player has switched; the defaults are how the game plays out of the box.
struct game_settings {
    bool fullscreen = false; // desktop full screen instead of a window
    bool clue_marks = true;  // dim the clues of lines whose marks already match them
    bool music = true;
    bool sounds = true;
    bool mistake_check = false; // mark every mark that no solution of the clues allows
    bool high_contrast = false; // the board's high-contrast palette
    bool tutorial_done = false; // the tutorial was played to its end, skipped or declined
};

// Reads the settings file. A missing, unreadable or damaged file (or line) leaves
// the defaults in place: settings never keep the game from starting. A file that is
// there but cannot be read (no permission, not a regular file) is reported once on
// stderr and is not written for the rest of the session.
void settings_load();
// The settings in force.
const game_settings &settings_get();
// Keeps s and writes the settings that differ from those in force to the file
// (folder created, replaced atomically); run-only overrides that s leaves as they
// are stay out of it. A failure to write is reported once on stderr.
void settings_set(const game_settings &s);
// Keeps s for this run only, as a command-line override does.
void settings_set_for_run(const game_settings &s);
// The settings file's full path, empty when there is no settings folder.
const char *settings_file_path();
