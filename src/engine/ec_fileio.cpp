// ec_fileio.cpp -- the base folder, whole loose files and the save file
#include "engine/ec_fileio.h"

#include "engine/ec_assert.h"
#include "engine/ec_memory.h"
#include "engine/ec_strings.h"
#include "platform/pf_system.h"

// The name the assertion texts give a failed open.
#define INVALID_HANDLE_VALUE nullptr

namespace {

char base_path[256];
safestring save_filename;

// Pack names use backslashes; the file system wants slashes.
void append_path(safestring *path, const char *name) {
    for (const char *c = name; *c; ++c)
        safestring_concat_char(path, *c == '\\' ? '/' : *c);
}

u8 *read_whole_file(const char *path, const char *info, u32 *size_out) {
    platform_file *file = platform_file_open_read(path);
    if (!ec_assert(file != INVALID_HANDLE_VALUE))
        return nullptr;
    u32 filesize = (u32)platform_file_size(file);
    if (size_out)
        *size_out = filesize;
    u8 *data = (u8 *)ZEL_MALLOC(filesize, info);
    if (!data) {
        platform_file_close(file);
        return nullptr;
    }
    u32 bytesread = (u32)platform_file_read(file, data, filesize);
    if (!ec_assert(bytesread == filesize)) {
        platform_file_close(file);
        zel_free(data);
        return nullptr;
    }
    platform_file_close(file);
    return data;
}

} // namespace

bool base_path_init() {
    base_path[0] = 0;
    return platform_base_folder(base_path, sizeof base_path) && base_path[0];
}

const char *base_path_get() { return base_path; }

u8 *file_load(const char *name, u32 *size_out) {
    if (!ec_assert(name))
        return nullptr;
    safestring path;
    safestring_create(&path, base_path);
    safestring_concat_str(&path, "/data/");
    append_path(&path, name);
    return read_whole_file(path.text, name, size_out);
}

void save_file_init_path() {
    char folder[256];
    platform_user_data_folder(folder, sizeof folder);
    safestring_create(&save_filename, folder);
    safestring_concat_str(&save_filename, "/Oakhollow Works/");
    // An existing folder is fine; a failure shows when the file is written.
    platform_create_folders(save_filename.text);
    safestring_concat_str(&save_filename, "nonogram.sav");
}

const char *save_file_path() { return save_filename.text; }

bool save_file_exists() {
    if (!ec_assert(save_filename.length > 0))
        return false;
    return platform_file_readable(save_filename.text);
}

u8 *save_file_load(u32 *size_out) {
    if (!ec_assert(save_filename.length > 0))
        return nullptr;
    return read_whole_file(save_filename.text, "nonogram.sav", size_out);
}

bool save_file_save(const void *data, u32 out_size) {
    if (!ec_assert(save_filename.length > 0))
        return false;
    long result = platform_file_replace(save_filename.text, data, out_size);
    const char *file = result < 0 ? INVALID_HANDLE_VALUE : save_filename.text;
    if (!ec_assert(file != INVALID_HANDLE_VALUE))
        return false;
    u32 byteswritten = (u32)result;
    return ec_assert(byteswritten == out_size);
}
