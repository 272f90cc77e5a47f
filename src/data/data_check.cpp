// data_check.cpp -- every pack entry checked by the reader that will take it
#include "data/data_check.h"

#include "engine/ec_data_set.h"
#include "engine/ec_pack.h"
#include "graphics/d3d_kzb.h"
#include "graphics/d3d_kzg.h"
#include "platform/pf_system.h"
#include "sound/direct_sound.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {

char first_refusal[256];

// Keeps the first box's first line (the failed check) and answers "continue".
platform_mb_answer hold_back(const char *, const char *text, platform_mb_buttons, platform_mb_icon) {
    if (!first_refusal[0] && text) {
        std::size_t n = std::strcspn(text, "\n");
        if (n >= sizeof first_refusal)
            n = sizeof first_refusal - 1;
        std::memcpy(first_refusal, text, n);
        first_refusal[n] = 0;
    }
    return platform_mb_answer_yes;
}

bool has_extension(const char *name, const char *extension) {
    std::size_t n = std::strlen(name), e = std::strlen(extension);
    return n >= e && strcasecmp(name + n - e, extension) == 0;
}

// The reader's verdict on an entry's bytes; kzs_text is set for a refused sound.
bool reader_takes(const char *name, u8 *data, u32 size, const char **kzs_text) {
    if (has_extension(name, ".kzg")) {
        kzg_sprite_data sheet;
        return d3d_kzg_parse(data, size, &sheet);
    }
    if (has_extension(name, ".kzb")) {
        kzb_image_data image = {};
        if (!d3d_kzb_decode(data, size, &image))
            return false;
        d3d_kzb_free_data(&image);
        return true;
    }
    if (has_extension(name, ".kzs")) {
        s32 result = kzs_parse(data, size, nullptr);
        *kzs_text = kzs_result_text(result);
        return result == DS_OK;
    }
    return true;
}

} // namespace

bool data_check_entry(u32 index, char *why, std::size_t capacity) {
    const char *name = nullptr;
    if (!pack_file_info(index, &name, nullptr, nullptr)) {
        std::snprintf(why, capacity, "is not in the pack");
        return false;
    }
    first_refusal[0] = 0;
    platform_dialog_handler previous = platform_set_dialog_handler(hold_back);
    u32 size = 0;
    u8 *data = pack_file_load(name, &size);
    const char *kzs_text = nullptr;
    bool decoded = data != nullptr;
    bool taken = decoded && reader_takes(name, data, size, &kzs_text);
    if (data)
        pack_file_close(data);
    platform_set_dialog_handler(previous);
    if (taken)
        return true;
    if (!decoded)
        std::snprintf(why, capacity, "does not decode to its size (%s)", first_refusal);
    else if (kzs_text)
        std::snprintf(why, capacity, "is refused by the sound reader (%s)", kzs_text);
    else
        std::snprintf(why, capacity, "is refused by its reader (%s)", first_refusal);
    return false;
}

bool data_check_pack(u32 *bad, char *why, std::size_t capacity) {
    for (u32 i = 0; i < pack_file_count(); ++i) {
        if (!data_check_entry(i, why, capacity)) {
            *bad = i;
            return false;
        }
    }
    return true;
}

u32 data_check_missing(char *missing, std::size_t capacity) {
    u32 count = 0;
    std::size_t used = 0;
    if (capacity)
        missing[0] = 0;
    for (const char *name : data_set_entries) {
        if (packfile_is_open() && pack_file_get_index(name) != invalid_id)
            continue;
        ++count;
        if (used == capacity)
            continue; // the text is full: only counted
        const int n = std::snprintf(missing + used, capacity - used, "%s\"%s\"", used ? ", " : "", name);
        if (n >= 0 && used + (std::size_t)n < capacity) {
            used += (std::size_t)n;
            continue;
        }
        if (capacity >= 4)
            std::memcpy(missing + capacity - 4, "...", 4);
        used = capacity;
    }
    return count;
}
