// test_pack.h -- packs made by tests: pack images, a scoped pack on disk, asset bytes
#pragma once

#include "engine/ec_pack.h"
#include "tw_test.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Test packs and assets are made by the pack tool's own writers (tools/kz_formats.h).
struct test_pack_entry {
    std::string name;
    std::vector<uint8_t> data;
    bool compress = false; // stored as LZW codes when those are shorter, as the pack tool does
};

// The bytes of a pack file holding entries in order (names scrambled with the game's key).
std::vector<uint8_t> test_pack_image(const std::vector<test_pack_entry> &entries);

// Every entry of the game's data set, each a placeholder byte, but one: named with data,
// it comes first with that data; named without, it is left out.
std::vector<test_pack_entry> test_data_set_entries(const test_pack_entry &except = {});

// A pack image given byte for byte.
struct test_pack_bytes {
    std::vector<uint8_t> bytes;
};

// Writes the pack to <fresh temp folder>/data/tombweaver.kzp, points TOMBWEAVER_PATH and the
// base folder there (base_path_init) and opens it with packfile_load(). A pack that was
// already open is closed first and opened again afterwards. On destruction the test pack is
// closed (packfile_close), the environment and base folder restored and the folder removed.
// ok() tells whether packfile_load succeeded.
class scoped_test_pack {
public:
    explicit scoped_test_pack(const std::vector<test_pack_entry> &entries);
    // The same with the bytes of a pack image given whole (damaged packs, for instance).
    explicit scoped_test_pack(const test_pack_bytes &image);
    ~scoped_test_pack();
    scoped_test_pack(const scoped_test_pack &) = delete;
    scoped_test_pack &operator=(const scoped_test_pack &) = delete;
    bool ok() const { return opened; }
    // Closes the pack, still pointed at, so that the program's own start-up opens it.
    void close_for_start_up() { opened = opened && (packfile_close(), false); }

private:
    void open(const std::vector<uint8_t> &image);
    std::optional<temp_folder> folder;
    bool opened = false;
    bool had_env = false;
    std::string old_env;
    bool reopen_previous = false;
};

// kzs bytes: the 16-byte header (channels, rate, block alignment = channels * bits / 8,
// bits), then samples as given.
std::vector<uint8_t> test_kzs_bytes(uint32_t channels, uint32_t rate, uint32_t bits,
                                    const std::vector<uint8_t> &samples);

// A sprite for test_kzg_bytes: width x height pixels, row-major, 0xAARRGGBB. Pixels with
// alpha below 0x80 are transparent (jump runs); the others opaque.
struct test_sprite {
    int width;
    int height;
    std::vector<uint32_t> pixels;
};
// A kzg sheet of the sprites in order: paletted (colours in order of first appearance)
// when at most 256 opaque colours are used, else 24-bit. Literal, fill and jump runs.
std::vector<uint8_t> test_kzg_bytes(const std::vector<test_sprite> &sprites);

// A table file as the string table reader expects it: lines joined with CR LF.
std::string test_table_text(const std::vector<std::string> &lines);
