// ec_fileio.h -- the base folder, loose files and the save file
#pragma once

#include "engine/ec_types.h"

// The longest file path the game handles, terminator included (the system's PATH_MAX).
constexpr int max_path = 4096;

// Sets the base folder: $TOMBWEAVER_PATH, else the executable's folder when it
// holds data/tombweaver.kzp, else <executable's folder>/../share/tombweaver when
// that holds it, else the current directory. False when none is usable.
bool base_path_init();
const char *base_path_get();
// Where base_path_init looked, one folder a line, for a message when the data is missing.
const char *base_path_searched();
// The full path of <base>/data/<name> (pack names' backslashes become slashes).
const char *data_file_path(const char *name);

// Reads <base>/data/<name> whole into a block from zel_malloc (the caller frees
// it with zel_free) and stores its size. Null after an assertion on failure.
u8 *file_load(const char *name, u32 *size_out);

// Builds the save file's path under the user's data folder and creates its folder.
// With no usable folder (no home at all, or a path past max_path) the game still
// runs: the player is told once that progress cannot be saved.
void save_file_init_path();
// The full path of the save file, empty before save_file_init_path or without a folder.
const char *save_file_path();
// True when the save file can be opened for reading.
bool save_file_exists();
// Reads the save file whole into a block from zel_malloc, or null.
u8 *save_file_load(u32 *size_out);
// Replaces the save file's contents with out_size bytes. The old file stays
// whole until the new one is completely on disk. A file already there of another
// size is not a save this can replace: it is first moved aside to
// "<save>.damaged" (replacing an older one), so nothing the player had is lost.
// False after an assertion when the write fails; the first failure of a session
// also tells the player, in a box and on stderr, that progress is not saved.
bool save_file_save(const void *data, u32 out_size);

// One game at a time plays from this user's save: takes the lock on "tombweaver.lock" in
// the save's folder (made when missing), held until save_folder_unlock or the end of the
// process. False only when another running game holds it; a folder that cannot be made
// or a lock that cannot be taken lets the game run (its save, if any, is told about then).
bool save_folder_lock();
void save_folder_unlock();

// The full path of the game's own file name in the save's folder (the unfinished
// boards beside the save), empty without a save folder or when it does not fit.
const char *save_folder_file_path(const char *name);
// Moves an unreadable save file aside to "<save>.damaged" (replacing an older one), so
// that the player's next save starts afresh and nothing is lost. False when it cannot
// (the reason: platform_file_error_text).
bool save_file_set_aside();
// Copies the save file as it stands to "<save>.previous", replacing an older copy,
// before a new game first saves over it. False when there is no save to keep or the
// copy failed (then said on stderr); the save itself is never touched.
bool save_file_keep_previous();
