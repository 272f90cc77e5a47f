// ec_fileio.h -- the base folder, loose files and the save file
#pragma once

#include "engine/ec_types.h"

// Sets the base folder: $TOMBWEAVER_PATH, else the executable's folder when it
// holds data/tombweaver.kzp, else the current directory. False when none is usable.
bool base_path_init();
const char *base_path_get();

// Reads <base>/data/<name> whole into a block from zel_malloc (the caller frees
// it with zel_free) and stores its size. Null after an assertion on failure.
u8 *file_load(const char *name, u32 *size_out);

// Builds the save file's path under the user's data folder and creates its folder.
void save_file_init_path();
// The full path of the save file, empty before save_file_init_path.
const char *save_file_path();
// True when the save file can be opened for reading.
bool save_file_exists();
// Reads the save file whole into a block from zel_malloc, or null.
u8 *save_file_load(u32 *size_out);
// Replaces the save file's contents with out_size bytes. The old file stays
// whole until the new one is completely on disk. False after an assertion.
bool save_file_save(const void *data, u32 out_size);
