// ec_memory.cpp -- the tracked allocator: a fixed table of live blocks and the leak report
#include "engine/ec_memory.h"

#include "engine/ec_assert.h"
#include "engine/ec_strings.h"
#include "platform/pf_system.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A zeroed entry is free, so the table is usable even before memory_system_init.
struct allocation_entry {
    u8 in_use;
    safestring file;
    safestring info;
    s32 line;
    u32 size;
    void *mem_ptr;
};

allocation_entry allocations_hash_tbl[memory_hash_tbl_size];
int num_memory_allocations = 0;
u32 bytes_used = 0;
u32 next_alloc_index = 0;
u32 avail_mb = 0;

} // namespace

void memory_system_init() {
    std::memset(allocations_hash_tbl, 0, sizeof allocations_hash_tbl);
    num_memory_allocations = 0;
    bytes_used = 0;
    next_alloc_index = 0;
    avail_mb = (u32)(platform_available_memory() >> 20);
}

void *zel_malloc(u32 size, const char *file, int line, const char *info) {
    if (!ec_assert(num_memory_allocations < memory_hash_tbl_size))
        return nullptr;

    // A linear probe from the moving start index; the check above guarantees a
    // free entry, and the probe never goes round more than once.
    u32 index = next_alloc_index;
    for (int probes = 1; allocations_hash_tbl[index].in_use && probes < memory_hash_tbl_size; ++probes)
        index = (index + 1) & (memory_hash_tbl_size - 1);
    allocation_entry &entry = allocations_hash_tbl[index];
    if (!ec_assert(allocations_hash_tbl[index].mem_ptr == NULL) || entry.in_use)
        return nullptr;

    // malloc(0) may give null; a zero-sized block is still a block.
    void *p = std::malloc(size ? size : 1);
    if (!ec_assert(p))
        return nullptr;

    entry.in_use = 1;
    safestring_create(&entry.file, file);
    safestring_create(&entry.info, info);
    bytes_used += size;
    num_memory_allocations += 1;
    entry.line = line;
    entry.mem_ptr = p;
    entry.size = size;
    next_alloc_index = (next_alloc_index + 1) & (memory_hash_tbl_size - 1);
    return p;
}

void *zel_malloc_checked(unsigned long long size, const char *file, int line, const char *info) {
    if (!ec_assert(size <= max_block_size))
        return nullptr;
    return zel_malloc((u32)size, file, line, info);
}

void zel_free(void *p) {
    int count = 0;
    u32 index = 0;
    for (; count < memory_hash_tbl_size; ++count, index = (index + 1) & (memory_hash_tbl_size - 1)) {
        const allocation_entry &e = allocations_hash_tbl[index];
        if (e.in_use && e.mem_ptr == p && p)
            break;
    }
    if (!ec_assert(count < memory_hash_tbl_size))
        return;

    allocation_entry &entry = allocations_hash_tbl[index];
    std::free(entry.mem_ptr);
    entry.in_use = 0;
    entry.mem_ptr = nullptr;
    safestring_create(&entry.file, nullptr);
    safestring_create(&entry.info, nullptr);
    bytes_used -= entry.size;
    num_memory_allocations -= 1;
}

void memory_system_close() {
    if (num_memory_allocations == 0)
        return;
    for (int i = 0; i < memory_hash_tbl_size; ++i) {
        const allocation_entry &e = allocations_hash_tbl[i];
        if (!e.in_use)
            continue;
        if (!ec_assert(allocations_hash_tbl[i].mem_ptr != NULL))
            return;
        // The report is cut to its buffer when the file and info texts are both long.
        char text[512];
        int written =
            e.info.length > 0
                ? std::snprintf(text, sizeof text, "Unfreed Memory\n\nFile : %s\nLine : %i\nSize : %i\nInfo : %s",
                                e.file.text, e.line, (int)e.size, e.info.text)
                : std::snprintf(text, sizeof text, "Unfreed Memory\n\nFile : %s\nLine : %i\nSize : %i", e.file.text,
                                e.line, (int)e.size);
        if (written < 0)
            continue;
        platform_message_box("MEMORY NOT FREED", text, platform_mb_ok, platform_mb_icon_warning);
    }
}

int memory_num_allocations() { return num_memory_allocations; }
u32 memory_bytes_used() { return bytes_used; }
u32 memory_avail_mb() { return avail_mb; }
