// ec_pack.cpp -- the pack file: one image in memory, a directory, entries decoded on demand
#include "engine/ec_pack.h"

#include "engine/ec_assert.h"
#include "engine/ec_fileio.h"
#include "engine/ec_lzw.h"
#include "engine/ec_memory.h"

#include <cstring>
#include <strings.h>

namespace {

struct pack_entry {
    u32 uncompressed_size;
    u32 compressed_size;
    const u8 *packed_data;
    u8 *loaded;
    char name[max_file_string];
};

u8 *pack_file = nullptr;
pack_entry *file_list = nullptr;
u32 num_pack_files = 0;

u32 read_u32(const u8 *p) { return (u32)p[0] | (u32)p[1] << 8 | (u32)p[2] << 16 | (u32)p[3] << 24; }

// Walks the directory of an image of image_size bytes without writing anything:
// true when every record, name and entry lies inside the image, and every size
// can be held. All sizes are counted in 64 bits, so no count or size can wrap.
bool pack_directory_fits(const u8 *image, u32 image_size) {
    if (!ec_assert_env_info(image_size >= 4, "tombweaver.kzp"))
        return false;
    u32 count = read_u32(image);
    // Every record takes at least its header: a count the image cannot hold is refused
    // before a single record is read.
    unsigned long long records_least = 4ull + (unsigned long long)count * pack_record_header_size;
    if (!ec_assert_env_info(records_least <= image_size, "tombweaver.kzp"))
        return false;
    unsigned long long list_size = (unsigned long long)count * sizeof(pack_entry);
    if (!ec_assert_env_info(list_size <= max_block_size, "tombweaver.kzp"))
        return false;
    unsigned long long position = 4;
    for (u32 i = 0; i < count; ++i) {
        if (!ec_assert_env_info(position + pack_record_header_size <= image_size, "tombweaver.kzp"))
            return false;
        u32 name_length = image[position + 12];
        position += pack_record_header_size + name_length;
        if (!ec_assert_env_info(position <= image_size, "tombweaver.kzp"))
            return false;
    }
    unsigned long long data_size = 0;
    position = 4;
    for (u32 i = 0; i < count; ++i) {
        u32 stored = read_u32(image + position);
        u32 size = read_u32(image + position + 4);
        // A compressed entry cannot decode to more than its codes can name.
        bool size_reachable =
            stored == size || (unsigned long long)size <= (unsigned long long)(stored / 2) * lzw_max_table_size;
        if (!ec_assert_env_info(size_reachable, "tombweaver.kzp"))
            return false;
        data_size += stored;
        position += pack_record_header_size + image[position + 12];
    }
    return ec_assert_env_info(position + data_size <= image_size, "tombweaver.kzp");
}

} // namespace

bool packfile_load() {
    if (!ec_assert(pack_file == NULL))
        return false;
    u32 size = 0;
    pack_file = file_load("tombweaver.kzp", &size);
    if (!ec_assert_env(pack_file))
        return false;
    // The image becomes the open pack only once its directory has been checked.
    u8 *image = pack_file;
    pack_file = nullptr;
    return packfile_load_image(image, size);
}

bool packfile_load_image(u8 *image, u32 size) {
    if (!ec_assert(pack_file == NULL)) {
        if (image)
            zel_free(image);
        return false;
    }
    if (!ec_assert(image))
        return false;
    if (!pack_directory_fits(image, size)) {
        zel_free(image);
        return false;
    }
    u32 count = read_u32(image);
    pack_entry *list = nullptr;
    if (count > 0) {
        list = (pack_entry *)ZEL_MALLOC(sizeof(pack_entry) * (size_t)count, "tombweaver.kzp");
        if (!ec_assert(list)) {
            zel_free(image);
            return false;
        }
    }
    const u8 *p = image + 4;
    for (u32 i = 0; i < count; ++i) {
        pack_entry &e = list[i];
        e.compressed_size = read_u32(p);
        e.uncompressed_size = read_u32(p + 4);
        u32 name_length = p[12];
        for (u32 c = 0; c < name_length; ++c)
            e.name[c] = (char)(u8)(p[pack_record_header_size + c] - pack_name_key);
        e.name[name_length] = 0;
        e.loaded = nullptr;
        p += pack_record_header_size + name_length;
    }
    for (u32 i = 0; i < count; ++i) {
        list[i].packed_data = p;
        p += list[i].compressed_size;
    }
    pack_file = image;
    file_list = list;
    num_pack_files = count;
    return true;
}

bool packfile_is_open() { return pack_file != nullptr; }

dword pack_file_get_index(const char *name) {
    if (!ec_assert(pack_file))
        return invalid_id;
    if (!ec_assert(name))
        return invalid_id;
    for (u32 i = 0; i < num_pack_files; ++i)
        if (strcasecmp(file_list[i].name, name) == 0)
            return i;
    return invalid_id;
}

u8 *pack_file_load(const char *name, u32 *size_out) {
    if (!ec_assert(pack_file))
        return nullptr;
    if (!ec_assert(name))
        return nullptr;
    dword index = pack_file_get_index(name);
    if (!ec_assert_info(index != invalid_id, name))
        return nullptr;
    pack_entry &entry = file_list[index];
    if (size_out)
        *size_out = entry.uncompressed_size;
    if (entry.loaded)
        return entry.loaded;
    // A zero-byte asset still gets a block of its own so that it can be told apart.
    entry.loaded = (u8 *)ZEL_MALLOC(entry.uncompressed_size ? entry.uncompressed_size : 1, entry.name);
    if (!ec_assert(entry.loaded))
        return nullptr;
    if (entry.compressed_size == entry.uncompressed_size) {
        std::memcpy(entry.loaded, entry.packed_data, entry.uncompressed_size);
        return entry.loaded;
    }
    u32 out_size = 0;
    bool decoded =
        lzw_decompress(entry.packed_data, entry.compressed_size / 2, entry.loaded, entry.uncompressed_size, &out_size);
    if (!decoded || !ec_assert_info(out_size == file_list[index].uncompressed_size, name)) {
        // Nobody holds the buffer: drop it now rather than keeping a broken copy.
        zel_free(entry.loaded);
        entry.loaded = nullptr;
        return nullptr;
    }
    return entry.loaded;
}

void pack_file_close(const void *buffer) {
    if (!ec_assert(pack_file))
        return;
    if (!buffer)
        return;
    for (u32 i = 0; i < num_pack_files; ++i) {
        if (file_list[i].loaded == buffer) {
            zel_free(file_list[i].loaded);
            file_list[i].loaded = nullptr;
        }
    }
}

void packfile_close() {
    for (u32 i = 0; i < num_pack_files; ++i) {
        if (file_list[i].loaded) {
            zel_free(file_list[i].loaded);
            file_list[i].loaded = nullptr;
        }
    }
    if (!ec_assert(pack_file))
        return;
    zel_free(pack_file);
    pack_file = nullptr;
    // An empty pack has no directory block.
    if (file_list) {
        zel_free(file_list);
        file_list = nullptr;
    }
    num_pack_files = 0;
}

u32 pack_file_count() { return pack_file ? num_pack_files : 0; }

bool pack_file_info(u32 index, const char **name, u32 *compressed_size, u32 *uncompressed_size) {
    if (!pack_file || index >= num_pack_files)
        return false;
    if (name)
        *name = file_list[index].name;
    if (compressed_size)
        *compressed_size = file_list[index].compressed_size;
    if (uncompressed_size)
        *uncompressed_size = file_list[index].uncompressed_size;
    return true;
}
