// pf_system.cpp -- dialogs, clock, folders, memory status and whole-file access over SDL and POSIX
#include "platform/pf_system.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <pwd.h>
#include <string>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <unistd.h>

namespace {

platform_dialog_handler dialog_handler = nullptr;

bool clock_manual = false;
std::uint32_t clock_manual_now = 0;

long fail_writes_after = -1;
int last_file_error = 0;
std::string base_folder_searched;

// A signal while a box waits for its answer: the box's own loop would hold it back
// until the box is answered, so the program ends here (only async-signal-safe calls).
extern "C" void signal_while_box_up(int) {
    static const char text[] = "tombweaver: ended by a signal while a message box was open\n";
    ssize_t ignored = write(STDERR_FILENO, text, sizeof text - 1);
    (void)ignored;
    _exit(EXIT_FAILURE);
}

// A closed terminal asks the game to close, the way SIGTERM does.
extern "C" void hang_up_as_terminate(int) { kill(getpid(), SIGTERM); }

const int box_signals[] = {SIGINT, SIGTERM, SIGHUP};

// While a box is up, a process the box forks (SDL shows X11 boxes from a child, and
// Wayland ones through a helper program) is tied to the game: it is killed when the
// game ends, so that no box outlives it.
volatile pid_t box_owner = 0;

void tie_box_helper_to_game() {
    if (box_owner == 0)
        return;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != box_owner) // the game ended before the tie was made
        _exit(EXIT_FAILURE);
}

// Holds the box signals' handlers while a box is up and puts them back afterwards.
struct box_signal_guard {
    struct sigaction saved[3];
    box_signal_guard() {
        static bool fork_handler_added = false;
        if (!fork_handler_added)
            fork_handler_added = pthread_atfork(nullptr, nullptr, tie_box_helper_to_game) == 0;
        box_owner = getpid();
        struct sigaction end = {};
        end.sa_handler = signal_while_box_up;
        sigemptyset(&end.sa_mask);
        for (int i = 0; i < 3; ++i)
            sigaction(box_signals[i], &end, &saved[i]);
    }
    ~box_signal_guard() {
        for (int i = 0; i < 3; ++i)
            sigaction(box_signals[i], &saved[i], nullptr);
        box_owner = 0;
    }
    box_signal_guard(const box_signal_guard &) = delete;
    box_signal_guard &operator=(const box_signal_guard &) = delete;
};

bool contains(const char *text, const char *part) { return text && std::strstr(text, part); }

// True when a display can show a box: the X11 or Wayland driver once video has started;
// before, a display named by DISPLAY (a local one with its socket present) or
// WAYLAND_DISPLAY, unless SDL_VIDEODRIVER asks for a driver without boxes (offscreen,
// dummy). Anything else would crash or hang inside SDL's box.
bool box_display_usable() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        const char *driver = SDL_GetCurrentVideoDriver();
        return contains(driver, "x11") || contains(driver, "wayland");
    }
    const char *asked = std::getenv("SDL_VIDEODRIVER");
    if (asked && asked[0] && !contains(asked, "x11") && !contains(asked, "wayland"))
        return false;
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland && wayland[0])
        return true;
    const char *display = std::getenv("DISPLAY");
    if (!display || !display[0])
        return false;
    const char *local = display[0] == ':'                        ? display + 1
                        : std::strncmp(display, "unix:", 5) == 0 ? display + 5
                                                                 : nullptr;
    if (!local)
        return true; // a display over the network: only connecting would tell
    const std::string socket = "/tmp/.X11-unix/X" + std::string(local, std::strcspn(local, "."));
    return access(socket.c_str(), F_OK) == 0;
}

// The columns and lines of text a box may hold to fit the screen (800 x 600 when unknown):
// about 8 pixels a character and 16 a line, leaving room for the frame and buttons.
void box_text_limits(int *columns, int *lines) {
    SDL_DisplayMode mode = {};
    if (!SDL_WasInit(SDL_INIT_VIDEO) || SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.w <= 0 || mode.h <= 0) {
        mode.w = 800;
        mode.h = 600;
    }
    *columns = std::max(30, std::min(90, (mode.w - 160) / 8));
    *lines = std::max(8, std::min(60, (mode.h - 160) / 16));
}

bool debugger_attached() {
    FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return false;
    char line[256];
    long tracer = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "TracerPid: %ld", &tracer) == 1)
            break;
    std::fclose(f);
    return tracer != 0;
}

bool copy_out(char *out, std::size_t capacity, const std::string &text) {
    if (!out || capacity == 0 || text.size() + 1 > capacity)
        return false;
    std::memcpy(out, text.c_str(), text.size() + 1);
    return true;
}

std::string folder_of(const std::string &path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::string platform_wrap_text(const char *text, int columns, int max_lines) {
    std::string out;
    if (!text || columns < 1)
        return out;
    int lines = 1;
    while (*text) {
        std::size_t length = std::strcspn(text, "\n");
        while (length > (std::size_t)columns) {
            // Break at the last space that fits, else after the last slash, else anywhere.
            std::size_t cut = (std::size_t)columns;
            while (cut > 0 && text[cut] != ' ')
                --cut;
            std::size_t skip = cut > 0 ? 1 : 0;
            if (cut == 0) {
                cut = (std::size_t)columns;
                while (cut > 1 && text[cut - 1] != '/')
                    --cut;
                if (cut <= 1)
                    cut = (std::size_t)columns;
            }
            if (max_lines > 0 && lines == max_lines)
                return out + "...";
            out.append(text, cut).append("\n");
            ++lines;
            text += cut + skip;
            length -= cut + skip;
        }
        out.append(text, length);
        text += length;
        if (*text == '\n') {
            if (max_lines > 0 && lines == max_lines)
                return out + "\n...";
            out += '\n';
            ++lines;
            ++text;
        }
    }
    return out;
}

platform_mb_answer platform_message_box(const char *caption, const char *text, platform_mb_buttons buttons,
                                        platform_mb_icon icon) {
    box_signal_guard guard;
    if (dialog_handler)
        return dialog_handler(caption, text, buttons, icon);

    SDL_MessageBoxButtonData yes_no[2] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, platform_mb_answer_yes, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, platform_mb_answer_no, "No"},
    };
    SDL_MessageBoxButtonData ok[1] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, platform_mb_answer_ok,
         "OK"},
    };
    if (box_display_usable()) {
        int columns = 0, lines = 0;
        box_text_limits(&columns, &lines);
        const std::string shown = platform_wrap_text(text, columns, lines);
        SDL_MessageBoxData box = {};
        box.flags = icon == platform_mb_icon_warning ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
        box.title = caption;
        box.message = shown.c_str();
        box.numbuttons = buttons == platform_mb_yes_no ? 2 : 1;
        box.buttons = buttons == platform_mb_yes_no ? yes_no : ok;
        int pressed = -1;
        if (SDL_ShowMessageBox(&box, &pressed) == 0 && pressed >= 0)
            return (platform_mb_answer)pressed;
    }

    // No box can be shown (no display): say it on stderr and carry on.
    std::fprintf(stderr, "[%s]\n%s\n", caption ? caption : "", text ? text : "");
    return buttons == platform_mb_yes_no ? platform_mb_answer_yes : platform_mb_answer_ok;
}

bool platform_message_box_can_show() { return box_display_usable(); }

platform_dialog_handler platform_set_dialog_handler(platform_dialog_handler handler) {
    platform_dialog_handler previous = dialog_handler;
    dialog_handler = handler;
    return previous;
}

void platform_breakpoint(const char *reason) {
    if (debugger_attached()) {
        SDL_TriggerBreakpoint();
        return;
    }
    std::fprintf(stderr, "tombweaver: stopped at a failed check:\n%s\n", reason ? reason : "");
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

void platform_signals_init() {
    struct sigaction hang_up = {};
    hang_up.sa_handler = hang_up_as_terminate;
    sigemptyset(&hang_up.sa_mask);
    sigaction(SIGHUP, &hang_up, nullptr);
}

void platform_debug_output(const char *text) {
    if (text)
        std::fputs(text, stderr);
}

std::uint32_t platform_get_tick_count() {
    if (clock_manual)
        return clock_manual_now;
    return (std::uint32_t)SDL_GetTicks64();
}

void platform_sleep(std::uint32_t ms) {
    if (clock_manual)
        clock_manual_now += ms;
    else
        SDL_Delay(ms);
}

void platform_clock_set_manual(bool manual) { clock_manual = manual; }
void platform_clock_set(std::uint32_t ms) { clock_manual_now = ms; }
void platform_clock_advance(std::uint32_t ms) { clock_manual_now += ms; }
bool platform_clock_is_manual() { return clock_manual; }

std::uint64_t platform_available_memory() {
    // MemAvailable counts reclaimable caches, as the system's own figure does.
    if (FILE *f = std::fopen("/proc/meminfo", "r")) {
        char line[256];
        unsigned long long kib = 0;
        bool found = false;
        while (std::fgets(line, sizeof line, f)) {
            if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
                found = true;
                break;
            }
        }
        std::fclose(f);
        if (found)
            return (std::uint64_t)kib * 1024u;
    }
    struct sysinfo info;
    if (sysinfo(&info) == 0)
        return (std::uint64_t)info.freeram * info.mem_unit;
    return 0;
}

bool platform_base_folder(char *out, std::size_t capacity) {
    copy_out(out, capacity, "");
    base_folder_searched.clear();
    auto searched = [](const std::string &folder, const char *why) {
        base_folder_searched += "  " + (folder == "/" ? "" : folder) + "/data/tombweaver.kzp (" + why + ")\n";
    };
    // Like the installer's registry value: when set, it names the folder.
    if (const char *env = std::getenv("TOMBWEAVER_PATH")) {
        if (env[0]) {
            searched(env, "TOMBWEAVER_PATH");
            return copy_out(out, capacity, env);
        }
    }
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0) {
        exe[n] = 0;
        std::string folder = folder_of(exe);
        searched(folder, "the program's folder");
        if (platform_file_readable((folder + "/data/tombweaver.kzp").c_str()))
            return copy_out(out, capacity, folder);
        // An installed layout: <prefix>/bin/tombweaver and <prefix>/share/tombweaver/data.
        std::string shared = folder_of(folder) + "/share/tombweaver";
        if (folder == "/")
            shared = "/share/tombweaver";
        searched(shared, "installed beside the program");
        if (platform_file_readable((shared + "/data/tombweaver.kzp").c_str()))
            return copy_out(out, capacity, shared);
    }
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) && cwd[0]) {
        searched(cwd, "the current folder");
        return copy_out(out, capacity, cwd);
    }
    base_folder_searched += "  the current folder, which cannot be read\n";
    return false;
}

const char *platform_base_folder_searched() { return base_folder_searched.c_str(); }

namespace {

// The user's data folder, or empty when nothing names one.
std::string user_data_folder() {
    const char *xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char *home = std::getenv("HOME");
    if (!home || !home[0]) {
        // No HOME (a service, a cleaned environment): the passwd entry still names one.
        const struct passwd *pw = getpwuid(getuid());
        home = pw && pw->pw_dir && pw->pw_dir[0] == '/' ? pw->pw_dir : nullptr;
    }
    return home ? std::string(home) + "/.local/share" : std::string();
}

} // namespace

bool platform_user_data_folder(char *out, std::size_t capacity) {
    copy_out(out, capacity, "");
    const std::string folder = user_data_folder();
    return !folder.empty() && copy_out(out, capacity, folder);
}

bool platform_user_data_folder_named() { return !user_data_folder().empty(); }

bool platform_user_config_folder(char *out, std::size_t capacity) {
    const char *xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')
        return copy_out(out, capacity, xdg);
    const char *home = std::getenv("HOME");
    if (home && home[0])
        return copy_out(out, capacity, std::string(home) + "/.config");
    copy_out(out, capacity, "");
    return false;
}

bool platform_create_folders(const char *path) {
    if (!path || !path[0])
        return false;
    std::string p(path);
    for (std::size_t i = 1; i <= p.size(); ++i) {
        if (i == p.size() || p[i] == '/') {
            std::string part = p.substr(0, i);
            if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
                return false;
        }
    }
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

struct platform_file {
    FILE *f;
};

namespace {
int lock_fd = -1;
} // namespace

platform_lock_result platform_lock_take(const char *path) {
    platform_lock_release();
    if (!path || !path[0])
        return platform_lock_result::failed;
    const int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0) {
        last_file_error = errno;
        return platform_lock_result::failed;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        last_file_error = errno;
        close(fd);
        return last_file_error == EWOULDBLOCK ? platform_lock_result::held_elsewhere : platform_lock_result::failed;
    }
    lock_fd = fd;
    return platform_lock_result::taken;
}

void platform_lock_release() {
    if (lock_fd >= 0)
        close(lock_fd); // closing the descriptor ends the lock
    lock_fd = -1;
}

platform_file *platform_file_open_read(const char *path) {
    if (!path)
        return nullptr;
    // Non-blocking, so that a named pipe or a device in the file's place cannot hold
    // the game up: anything but a regular file is refused before a byte is read.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        last_file_error = errno;
        return nullptr;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        last_file_error = EINVAL;
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE *f = fdopen(fd, "rb");
    if (!f) {
        last_file_error = errno;
        close(fd);
        return nullptr;
    }
    return new platform_file{f};
}

std::uint64_t platform_file_size(platform_file *file) {
    struct stat st;
    if (!file || fstat(fileno(file->f), &st) != 0)
        return 0;
    return (std::uint64_t)st.st_size;
}

std::size_t platform_file_read(platform_file *file, void *data, std::size_t size) {
    if (!file || !data || size == 0)
        return 0;
    return std::fread(data, 1, size, file->f);
}

void platform_file_close(platform_file *file) {
    if (!file)
        return;
    std::fclose(file->f);
    delete file;
}

bool platform_path_exists(const char *path) {
    struct stat st;
    return path && lstat(path, &st) == 0;
}

bool platform_file_readable(const char *path) {
    platform_file *f = platform_file_open_read(path);
    platform_file_close(f);
    return f != nullptr;
}

long long platform_file_size_at(const char *path) {
    struct stat st;
    if (!path || stat(path, &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return (long long)st.st_size;
}

bool platform_file_remove(const char *path) {
    if (!path || (unlink(path) != 0 && errno != ENOENT)) {
        last_file_error = errno;
        return false;
    }
    return true;
}

bool platform_file_move(const char *from, const char *to) {
    if (!from || !to)
        return false;
    if (rename(from, to) != 0) {
        last_file_error = errno;
        return false;
    }
    return true;
}

const char *platform_file_error_text() { return last_file_error ? std::strerror(last_file_error) : "unknown error"; }

void platform_file_fail_writes_after(long bytes) { fail_writes_after = bytes; }

long platform_file_replace(const char *path, const void *data, std::size_t size) {
    if (!path || !path[0] || (!data && size))
        return -1;
    // A new file of a name no one can have prepared (not a link, not an existing file),
    // in the same folder so that the rename cannot cross file systems.
    std::string temp = std::string(path) + ".XXXXXX";
    int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        last_file_error = errno;
        return -1;
    }
    fchmod(fd, 0644);

    const char *bytes = (const char *)data;
    std::size_t allowed = size;
    if (fail_writes_after >= 0 && (std::size_t)fail_writes_after < size)
        allowed = (std::size_t)fail_writes_after;
    std::size_t done = 0;
    while (done < allowed) {
        ssize_t n = write(fd, bytes + done, allowed - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            last_file_error = n < 0 ? errno : ENOSPC;
            break;
        }
        done += (std::size_t)n;
    }
    if (done < size && done == allowed)
        last_file_error = ENOSPC; // the injected failure reads as a full disk
    bool ok = done == size && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temp.c_str(), path) != 0) {
        last_file_error = errno;
        ok = false;
    } else if (!ok && done == size) {
        last_file_error = errno;
    }
    if (!ok) {
        unlink(temp.c_str());
        return done < size ? (long)done : 0;
    }
    // Make the rename itself durable.
    int dir = open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return (long)size;
}
