// ec_fileio.cpp -- the base folder, whole loose files and the save file
#include "engine/ec_fileio.h"

#include "engine/ec_assert.h"
#include "engine/ec_memory.h"
#include "platform/pf_system.h"

#include <cstdio>
#include <cstring>
#include <string>

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
constexpr const char *folder_too_long =
    "The folder to keep your progress in (from XDG_DATA_HOME or HOME) is too long a path for this "
    "system. Set HOME or XDG_DATA_HOME to a shorter path to keep your progress.";
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

// Reads a whole regular file. A file larger than max_size is not read: it comes back
// as an empty block with its size given as 0xFFFFFFFF, which no caller takes for a
// file of its kind (sizes are compared at full width, never cut to 32 bits).
u8 *read_whole_file(const char *path, const char *info, u32 *size_out, std::uint64_t max_size = 0xFFFFFFFFu) {
    platform_file *file = platform_file_open_read(path);
    if (!ec_assert_env_text(file, file_opened))
        return nullptr;
    const std::uint64_t size = platform_file_size(file);
    const u32 filesize = size > max_size ? 0 : (u32)size;
    if (size_out)
        *size_out = size > max_size ? 0xFFFFFFFFu : filesize;
    u8 *data = (u8 *)ZEL_MALLOC(filesize, info);
    if (!data) {
        platform_file_close(file);
        return nullptr;
    }
    u32 bytesread = filesize ? (u32)platform_file_read(file, data, filesize) : 0;
    if (!ec_assert_env(bytesread == filesize)) {
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
        if (platform_user_data_folder_named())
            save_failure_tell(folder_too_long);
        else
            save_failure_tell(
                "No folder was found to keep your progress in: HOME and XDG_DATA_HOME are "
                "not set and your user has no home folder.");
        return;
    }
    // Room for the longest name made beside the save (".damaged").
    if (!path_set(&save_filename, folder, "/Oakhollow Works/nonogram.sav", ".damaged")) {
        save_failure_tell(folder_too_long);
        return;
    }
    no_save_folder = false;
    path_set(&save_filename, folder, "/Oakhollow Works/");
    // An existing folder is fine; a failure shows when the file is written.
    platform_create_folders(save_filename.text);
    path_set(&save_filename, folder, "/Oakhollow Works/nonogram.sav");
}

const char *save_file_path() { return save_filename.text; }

bool save_folder_lock() {
    static char folder[max_path];
    path_text lock;
    if (!platform_user_data_folder(folder, sizeof folder) || !path_set(&lock, folder, "/Oakhollow Works/"))
        return true; // no save to share: told when the save is first looked for
    platform_create_folders(lock.text);
    if (!path_set(&lock, folder, "/Oakhollow Works/tombweaver.lock"))
        return true;
    const platform_lock_result result = platform_lock_take(lock.text);
    if (result == platform_lock_result::failed)
        std::fprintf(stderr, "tombweaver: %s could not be locked (%s); a second game would not be noticed\n", lock.text,
                     platform_file_error_text());
    return result != platform_lock_result::held_elsewhere;
}

void save_folder_unlock() { platform_lock_release(); }

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
    // A save is a few bytes: anything past this is not one, whatever its size.
    return read_whole_file(save_filename.text, "nonogram.sav", size_out, 1u << 20);
}

bool save_file_save(const void *data, u32 out_size) {
    if (no_save_folder)
        return false; // the player has been told
    if (!ec_assert(save_filename.length > 0))
        return false;
    static char message[max_path + 256];
    long long old_size = platform_file_size_at(save_filename.text);
    // A save of another size, or one this user cannot read, is kept aside, never replaced.
    if (old_size >= 0 && (old_size != (long long)out_size || !platform_file_readable(save_filename.text))) {
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
    bool saved = ec_assert_env_text(result >= 0, file_opened) &&
                 ec_assert_env_text((u32)result == out_size, "byteswritten == out_size");
    if (!saved) {
        std::snprintf(message, sizeof message, "Your progress could not be written to\n%s\n(%s).", save_filename.text,
                      platform_file_error_text());
        save_failure_tell(message);
    }
    return saved;
}

const char *save_folder_file_path(const char *name) {
    static path_text beside;
    const char *save = save_filename.text;
    const char *slash = std::strrchr(save, '/');
    if (no_save_folder || !slash || !name)
        return "";
    const std::string folder(save, (std::size_t)(slash - save + 1));
    if (!path_set(&beside, folder.c_str(), name))
        return "";
    return beside.text;
}

bool save_file_set_aside() {
    if (no_save_folder || !ec_assert(save_filename.length > 0))
        return false;
    static path_text aside;
    path_set(&aside, save_filename.text, ".damaged");
    if (!platform_file_move(save_filename.text, aside.text))
        return false;
    std::fprintf(stderr, "tombweaver: the unreadable save file was moved to %s\n", aside.text);
    return true;
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
