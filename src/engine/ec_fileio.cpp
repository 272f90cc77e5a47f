// ec_fileio.cpp -- the base folder, whole loose files and the save file
#include "engine/ec_fileio.h"

#include "engine/ec_assert.h"
#include "engine/ec_memory.h"
#include "platform/pf_system.h"

#include <cstdio>
#include <cstring>

// The text the assertion boxes give a file that could not be opened.
constexpr const char *file_opened = "file != INVALID_HANDLE_VALUE";

namespace {

// A path of up to max_path - 1 characters; empty when it did not fit.
struct path_text {
    s32 length;
    char text[max_path];
};

char base_path[max_path];
path_text data_path;
path_text save_filename;
bool no_save_folder = false; // the player has been told progress cannot be saved
bool save_failure_told = false;

// Sets path to a + b + c; false, and the path empty, when that is too long.
bool path_set(path_text *path, const char *a, const char *b, const char *c = "") {
    int n = std::snprintf(path->text, sizeof path->text, "%s%s%s", a, b, c);
    if (n < 0 || n >= (int)sizeof path->text) {
        path->text[0] = 0;
        path->length = 0;
        return false;
    }
    path->length = n;
    return true;
}

// Tells the player, once a session, that progress is not being saved and why.
void save_failure_tell(const char *what) {
    if (save_failure_told)
        return;
    save_failure_told = true;
    static char text[max_path + 512];
    std::snprintf(text, sizeof text,
                  "%s\n\nYou can go on playing, but the progress of this session is not saved. "
                  "An earlier save file, if there is one, is left as it was.",
                  what);
    std::fprintf(stderr, "tombweaver: progress not saved: %s\n", what);
    platform_message_box("Progress Not Saved", text, platform_mb_ok, platform_mb_icon_warning);
}

u8 *read_whole_file(const char *path, const char *info, u32 *size_out) {
    platform_file *file = platform_file_open_read(path);
    if (!ec_assert_text(file, file_opened))
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

const char *base_path_searched() { return platform_base_folder_searched(); }

const char *data_file_path(const char *name) {
    if (!path_set(&data_path, base_path, "/data/", name ? name : ""))
        return "";
    // Pack names use backslashes; the file system wants slashes.
    for (char *c = data_path.text + std::strlen(base_path); *c; ++c)
        if (*c == '\\')
            *c = '/';
    return data_path.text;
}

u8 *file_load(const char *name, u32 *size_out) {
    if (!ec_assert(name))
        return nullptr;
    return read_whole_file(data_file_path(name), name, size_out);
}

void save_file_init_path() {
    save_failure_told = false;
    no_save_folder = true;
    static char folder[max_path];
    if (!platform_user_data_folder(folder, sizeof folder)) {
        path_set(&save_filename, "", "");
        save_failure_tell("No folder was found to keep your progress in: HOME and XDG_DATA_HOME are "
                          "not set and your user has no home folder.");
        return;
    }
    // Room for the longest name made beside the save (".damaged").
    if (!path_set(&save_filename, folder, "/Oakhollow Works/nonogram.sav", ".damaged")) {
        save_failure_tell("The folder to keep your progress in is too long a path for this system.");
        return;
    }
    no_save_folder = false;
    path_set(&save_filename, folder, "/Oakhollow Works/");
    // An existing folder is fine; a failure shows when the file is written.
    platform_create_folders(save_filename.text);
    path_set(&save_filename, folder, "/Oakhollow Works/nonogram.sav");
}

const char *save_file_path() { return save_filename.text; }

bool save_file_exists() {
    if (no_save_folder)
        return false; // the player has been told
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
    if (no_save_folder)
        return false; // the player has been told
    if (!ec_assert(save_filename.length > 0))
        return false;
    static char message[max_path + 256];
    long long old_size = platform_file_size_at(save_filename.text);
    if (old_size >= 0 && old_size != (long long)out_size) {
        static path_text aside;
        path_set(&aside, save_filename.text, ".damaged");
        if (!platform_file_move(save_filename.text, aside.text)) {
            std::snprintf(message, sizeof message,
                          "The unreadable save file\n%s\ncould not be moved aside (%s), so it was not "
                          "replaced.",
                          save_filename.text, platform_file_error_text());
            save_failure_tell(message);
            return false;
        }
        std::fprintf(stderr, "tombweaver: the unreadable save file was moved to %s\n", aside.text);
    }
    long result = platform_file_replace(save_filename.text, data, out_size);
    bool saved = ec_assert_text(result >= 0, file_opened) &&
                 ec_assert_text((u32)result == out_size, "byteswritten == out_size");
    if (!saved) {
        std::snprintf(message, sizeof message, "Your progress could not be written to\n%s\n(%s).",
                      save_filename.text, platform_file_error_text());
        save_failure_tell(message);
    }
    return saved;
}

bool save_file_keep_previous() {
    if (no_save_folder || save_filename.length == 0)
        return false;
    static path_text previous;
    if (!path_set(&previous, save_filename.text, ".previous"))
        return false;
    platform_file *file = platform_file_open_read(save_filename.text);
    if (!file)
        return false; // no save yet: nothing to keep
    const std::uint64_t size = platform_file_size(file);
    static u8 bytes[4096]; // a save is 25 bytes; anything larger is no save worth keeping
    const bool whole = size <= sizeof bytes && platform_file_read(file, bytes, (std::size_t)size) == size;
    platform_file_close(file);
    if (!whole)
        return false;
    if (platform_file_replace(previous.text, bytes, (std::size_t)size) != (long)size) {
        std::fprintf(stderr, "tombweaver: the old save could not be kept as %s (%s)\n", previous.text,
                     platform_file_error_text());
        return false;
    }
    return true;
}
