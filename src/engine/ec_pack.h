// ec_pack.h -- the pack file "tombweaver.kzp": every asset of the game, by name
#pragma once

#include "engine/ec_types.h"

constexpr int max_file_string = 256;
// Added to every name byte in the pack's directory (mod 256); shared with the pack builder.
constexpr u8 pack_name_key = 0x5Du;
// Bytes of a directory record before its name.
constexpr u32 pack_record_header_size = 16;

// Reads <base>/data/tombweaver.kzp whole and parses its directory. False after an
// assertion when no pack is readable, one is already open, or the directory,
// names or entry sizes run past the end of the file (the pack is refused whole).
bool packfile_load();
// Opens a pack from an image in memory. Takes ownership of image (a ZEL_MALLOC
// block) in every case: it is freed at once when the pack is refused.
bool packfile_load_image(u8 *image, u32 size);
// Frees every handed-out asset, the directory and the image.
void packfile_close();
// True while a pack is open.
bool packfile_is_open();

// Index of the first entry whose name equals name (ASCII case ignored), or invalid_id.
dword pack_file_get_index(const char *name);
// The asset's bytes, decompressed, and their count in *size_out (may be null); null
// after an assertion when there is no such entry or it does not decode to its size.
// The bytes are owned by the pack module: give them back with pack_file_close.
// Loading a name again before closing it returns the same buffer.
u8 *pack_file_load(const char *name, u32 *size_out);
// Gives back a buffer from pack_file_load; a buffer of no entry is ignored.
void pack_file_close(const void *buffer);

// Directory access for tools and tests: the number of entries, and the name and
// sizes of entry index (false when index is out of range).
u32 pack_file_count();
bool pack_file_info(u32 index, const char **name, u32 *compressed_size, u32 *uncompressed_size);
