// ec_side_file.cpp -- the small text files kept beside the save
#include "engine/ec_side_file.h"

#include "engine/ec_fileio.h"
#include "platform/pf_system.h"

#include <cstdio>

namespace {

void tell(const char *caption, const char *format, const char *path, const char *what) {
    char text[max_path + 512];
    std::snprintf(text, sizeof text, format, path, what);
    std::fprintf(stderr, "tombweaver: %s\n", text);
    platform_message_box(caption, text, platform_mb_ok, platform_mb_icon_warning);
}

} // namespace

side_file_read_result side_file_read(const side_file *f, std::string *text) {
    text->clear();
    const char *path = save_folder_file_path(f->name);
    if (!path[0] || !platform_path_exists(path))
        return side_file_read_result::missing;
    platform_file *file = platform_file_open_read(path);
    if (!file)
        return side_file_read_result::unreadable;
    bool whole = false;
    const std::uint64_t size = platform_file_size(file);
    if (size <= f->max_size) {
        text->resize((std::size_t)size);
        whole = platform_file_read(file, text->data(), text->size()) == text->size();
    }
    platform_file_close(file);
    if (!whole)
        text->clear();
    return whole ? side_file_read_result::read : side_file_read_result::unreadable;
}

void side_file_set_aside(side_file *f) {
    const char *path = save_folder_file_path(f->name);
    if (!path[0])
        return;
    const std::string aside = std::string(path) + ".damaged";
    const bool moved = platform_file_move(path, aside.c_str());
    f->refused = !moved;
    if (f->damaged_told)
        return;
    f->damaged_told = true;
    if (moved)
        tell(f->unread_caption, f->set_aside_text, path, f->name);
    else
        tell(f->unread_caption, f->left_text, path, platform_file_error_text());
}

bool side_file_write(side_file *f, const std::string &text, bool remove_empty) {
    const char *path = save_folder_file_path(f->name);
    if (!path[0] || f->refused)
        return false; // no folder (told with the save), or a damaged file kept as it is (told)
    const bool written = remove_empty && text.empty()
                             ? platform_file_remove(path)
                             : platform_file_replace(path, text.data(), text.size()) == (long)text.size();
    if (written)
        return true;
    if (f->unsaved_told) {
        std::fprintf(stderr, f->unsaved_log, path, platform_file_error_text());
        std::fputc('\n', stderr);
    } else {
        f->unsaved_told = true;
        tell(f->unsaved_caption, f->unsaved_text, path, platform_file_error_text());
    }
    return false;
}

void side_file_forget_told(side_file *f) { f->damaged_told = f->unsaved_told = f->refused = false; }

std::vector<std::string_view> side_file_fields(std::string_view line, std::size_t count) {
    std::vector<std::string_view> fields;
    while (fields.size() + 1 < count) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            break;
        fields.push_back(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    fields.push_back(line);
    return fields;
}
