// tw_test.h -- shared test helpers: the dialog recorder, the hand-driven clock, scratch folders
#pragma once

#include "platform/pf_system.h"

#include <filesystem>
#include <string>
#include <vector>

struct recorded_dialog {
    std::string caption;
    std::string text;
    platform_mb_buttons buttons;
    platform_mb_icon icon;
};

// Records every message box while it lives and answers Yes / OK (or No when told).
// No test ever reaches a real box.
class dialog_recorder {
public:
    dialog_recorder();
    ~dialog_recorder();
    dialog_recorder(const dialog_recorder &) = delete;
    dialog_recorder &operator=(const dialog_recorder &) = delete;

    const std::vector<recorded_dialog> &dialogs() const { return records; }
    size_t count() const { return records.size(); }
    void clear() { records.clear(); }
    // The assertion expressions recorded so far, in order (the text inside "assert( ... )").
    std::vector<std::string> assertions() const;
    // True when an "ASSERTION FAILED" box named this expression.
    bool asserted(const std::string &expression) const;
    // The answer to give yes/no boxes from now on.
    void answer_no(bool no) { say_no = no; }

    static platform_mb_answer handle(const char *caption, const char *text, platform_mb_buttons buttons,
                                     platform_mb_icon icon);

private:
    std::vector<recorded_dialog> records;
    bool say_no = false;
    dialog_recorder *previous;
};

// Drives the platform clock by hand while it lives, starting at start_ms.
class manual_clock {
public:
    explicit manual_clock(unsigned start_ms = 0) {
        platform_clock_set_manual(true);
        platform_clock_set(start_ms);
    }
    ~manual_clock() { platform_clock_set_manual(false); }
    void set(unsigned ms) { platform_clock_set(ms); }
    void advance(unsigned ms) { platform_clock_advance(ms); }
};

// A fresh folder in the temporary directory, removed with its contents on destruction.
struct temp_folder {
    explicit temp_folder(const char *prefix);
    ~temp_folder();
    temp_folder(const temp_folder &) = delete;
    temp_folder &operator=(const temp_folder &) = delete;
    std::filesystem::path root;
};

// A whole file as a string of its bytes; empty when it cannot be read.
std::string file_text(const std::filesystem::path &path);
