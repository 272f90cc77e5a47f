// pf_system.h -- the platform's system services: dialogs, clock, files, folders, memory
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Message boxes. Under a display the real box is shown, its text wrapped to fit the
// screen; where no display can show one (none named, or a driver without boxes such
// as offscreen or dummy) none is opened: the text goes to stderr and the answer is
// Yes (or OK). Tests install a recorder.
enum platform_mb_buttons { platform_mb_ok, platform_mb_yes_no };
enum platform_mb_icon { platform_mb_icon_none, platform_mb_icon_warning };
enum platform_mb_answer { platform_mb_answer_ok, platform_mb_answer_yes, platform_mb_answer_no };

typedef platform_mb_answer (*platform_dialog_handler)(const char *caption, const char *text,
                                                      platform_mb_buttons buttons, platform_mb_icon icon);

// Shows a modal box with caption and text and returns the answer.
platform_mb_answer platform_message_box(const char *caption, const char *text, platform_mb_buttons buttons,
                                        platform_mb_icon icon);
// True when a real box would be shown (a display that can show one is there).
bool platform_message_box_can_show();
// The text as a box shows it: lines longer than columns broken at a space, else after
// a slash, else anywhere; past max_lines lines (0: no limit) the rest is cut to "...".
std::string platform_wrap_text(const char *text, int columns, int max_lines);
// Replaces the dialog service (null restores the real one); returns the one it replaced.
platform_dialog_handler platform_set_dialog_handler(platform_dialog_handler handler);

// Stops in the debugger when one is attached. Without one the program ends at once
// with a failure status, after writing reason (the failed check) to stderr.
void platform_breakpoint(const char *reason);
// Installs the signal handling the game relies on: a hang-up (the terminal closed)
// asks the game to close like SIGTERM does. While a message box is up, SIGINT,
// SIGTERM and SIGHUP end the program at once with a failure status.
void platform_signals_init();
// Debug output (stderr).
void platform_debug_output(const char *text);

// Milliseconds since start-up, 32 bits, wrapping like the system tick count.
std::uint32_t platform_get_tick_count();
void platform_sleep(std::uint32_t ms);
// Tests drive the clock by hand: while manual, the tick count changes only
// through platform_clock_set / platform_clock_advance and sleeping advances it.
void platform_clock_set_manual(bool manual);
void platform_clock_set(std::uint32_t ms);
void platform_clock_advance(std::uint32_t ms);
bool platform_clock_is_manual();

// Available physical memory in bytes.
std::uint64_t platform_available_memory();

// The base folder into out, the first of: $TOMBWEAVER_PATH; the executable's folder
// when it holds data/tombweaver.kzp; <that folder>/../share/tombweaver when it holds
// it; the current folder. False when none can be told (out is then empty).
bool platform_base_folder(char *out, std::size_t capacity);
// The folders the last platform_base_folder looked at, in order, for messages.
const char *platform_base_folder_searched();
// The user's data folder ($XDG_DATA_HOME, else $HOME/.local/share, else the home
// folder of the user's passwd entry + /.local/share). False (out empty) when there
// is no home at all or the path does not fit capacity.
bool platform_user_data_folder(char *out, std::size_t capacity);
// True when the environment or the passwd entry names the user's data folder, whether
// or not its path fits: platform_user_data_folder failed for want of room, not of a home.
bool platform_user_data_folder_named();
// The user's settings folder ($XDG_CONFIG_HOME, else $HOME/.config); empty when unknown.
bool platform_user_config_folder(char *out, std::size_t capacity);
// Creates a folder and any missing parents; true when it exists afterwards.
bool platform_create_folders(const char *path);

// The program's one lock: an exclusive lock on the file at path (made when missing),
// held until platform_lock_release or the end of the process, however it ends.
enum class platform_lock_result { taken, held_elsewhere, failed };
platform_lock_result platform_lock_take(const char *path);
void platform_lock_release();

// Whole-file access. Paths use '/'.
struct platform_file;
// Opens a regular file for reading; null for anything else (a folder, a named pipe,
// a device: none of them can hold the caller up) or when it cannot be opened.
platform_file *platform_file_open_read(const char *path);
std::uint64_t platform_file_size(platform_file *file);
// Reads up to size bytes; returns the number read.
std::size_t platform_file_read(platform_file *file, void *data, std::size_t size);
void platform_file_close(platform_file *file);
bool platform_file_readable(const char *path);
// True when something (of any kind, a broken link too) is at path.
bool platform_path_exists(const char *path);
// The size of the regular file at path, or -1 when there is none.
long long platform_file_size_at(const char *path);
// Removes the file (or link) at path; true when nothing is there afterwards.
bool platform_file_remove(const char *path);
// Renames from to to, replacing a file already at to; false when it cannot.
bool platform_file_move(const char *from, const char *to);
// The system's words for the last failure of platform_file_replace or _move.
const char *platform_file_error_text();
// Replaces path with size bytes: written to a new temporary file in the same folder
// (made with a fresh name, never an existing file or link),
// flushed to disk and renamed over the old one, so the file is always either the
// old or the new contents. Returns -1 when the file cannot be created, else the
// bytes that reached the disk: fewer than size means the old file was kept.
long platform_file_replace(const char *path, const void *data, std::size_t size);
// Tests: make the next replacing writes fail after this many bytes (-1: never).
void platform_file_fail_writes_after(long bytes);
