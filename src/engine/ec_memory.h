// ec_memory.h -- the tracked allocator: every heap block of the game, with a leak report
#pragma once

#include "engine/ec_types.h"

constexpr int memory_hash_tbl_size = 1024;

// Clears the table and counters and reads the machine's available memory. First call at start-up.
void memory_system_init();

// Allocates size bytes and records the caller's file, line and info text (may be null).
// Returns null (after an assertion) when 1024 blocks are live or malloc fails.
void *zel_malloc(u32 size, const char *file, int line, const char *info);

// Gives a block back. A pointer that is not recorded raises an assertion and frees nothing.
void zel_free(void *p);

// Reports every block still held, one "MEMORY NOT FREED" box each, in table order.
void memory_system_close();

// Counters for the diagnostics panel and for tests.
int memory_num_allocations();
u32 memory_bytes_used();
u32 memory_avail_mb();

// Sizes are taken whole: one that does not fit 32 bits raises
// "size <= max_block_size" and gives null instead of a block cut to its low bits.
constexpr unsigned long long max_block_size = 0xFFFFFFFFull;
void *zel_malloc_checked(unsigned long long size, const char *file, int line, const char *info);
#define ZEL_MALLOC(size, info) zel_malloc_checked((unsigned long long)(size), __FILE__, __LINE__, (info))
