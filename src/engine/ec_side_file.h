// ec_side_file.h -- the small text files kept beside the save: read whole, a damaged one set aside, written atomically
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One file beside the save (free play's records, the library's progress, the kept marks)
// and what the player is told about it. The texts are printf formats of two strings: the
// file's path, then its name (set_aside) or the system's words for the failure.
struct side_file {
    const char *name;                                        // in the save's folder
    std::uint64_t max_size;                                  // a longer file is not one the game wrote
    const char *unread_caption, *set_aside_text, *left_text; // damaged: moved aside, or left where it is
    const char *unsaved_caption, *unsaved_text;              // a write failed
    const char *unsaved_log; // later write failures, on standard error only: path, then why

    // This session: whether the player was told of damage and of a failed write, and
    // whether writes are off (a damaged file that could not be moved aside is kept as it is).
    bool damaged_told = false, unsaved_told = false, refused = false;
};

enum class side_file_read_result { missing, read, unreadable };

// Reads the whole file into *text: missing (no file, or no folder for the save, which the
// save tells of), read, or unreadable (longer than max_size, a read error).
side_file_read_result side_file_read(const side_file *f, std::string *text);
// A damaged file moved aside as NAME.damaged, the player told once a session; when it
// cannot be moved it is left as it is and not written over this session.
void side_file_set_aside(side_file *f);
// Writes text in place of the file at once (an empty text with remove_empty: removes it).
// False when it cannot (the player told once a session, later failures logged) or when
// writes are off.
bool side_file_write(side_file *f, const std::string &text, bool remove_empty = false);
// Tests: a new session's flags.
void side_file_forget_told(side_file *f);

// A line of a side file split at tabs into at most count fields: the last takes the rest,
// tabs included.
std::vector<std::string_view> side_file_fields(std::string_view line, std::size_t count);
// A field that is a whole decimal number within low..high, into *out; false for anything else.
template <typename T> bool side_file_number(std::string_view text, T low, T high, T *out) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return false;
    *out = value;
    return true;
}
