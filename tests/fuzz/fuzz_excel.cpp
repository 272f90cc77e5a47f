// fuzz_excel.cpp -- libFuzzer target: the table reader on any text, every field type
#include "engine/ec_excel.h"
#include "engine/ec_pack.h"
#include "engine/ec_strings.h"
#include "fuzz_common.h"
#include "kz_formats.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

struct row {
    char token[64];
    safestring text;
    s32 number;
    u8 byte;
    char letter;
    u32 flags;
};

const excel_column columns[] = {
    {.name = "string_token", .type = excel_string, .offset = offsetof(row, token), .param = sizeof(row::token)},
    {.name = "string", .type = excel_safestring, .offset = offsetof(row, text), .param = 0},
    {.name = "a", .type = excel_int, .offset = offsetof(row, number), .param = 0},
    {.name = "a", .type = excel_byte, .offset = offsetof(row, byte), .param = 0},
    {.name = "b", .type = excel_char, .offset = offsetof(row, letter), .param = 0},
    {.name = "c", .type = excel_flag, .offset = offsetof(row, flags), .param = 77},
    {.name = "b", .type = excel_ignore, .offset = 0, .param = 0},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size > 65536)
        return 0;
    kz::bytes image = kz::pack_image({{"xls\\t.txt", kz::bytes(data, data + size), false}});
    u8 *block = (u8 *)ZEL_MALLOC(image.size(), "fuzz");
    std::memcpy(block, image.data(), image.size());
    if (!packfile_load_image(block, (u32)image.size()))
        __builtin_trap();
    row *rows = nullptr;
    s32 count = 0;
    excel_parse_table table = {"xls\\t.txt",   0,           nullptr, columns, (s32)std::size(columns),
                               (void **)&rows, sizeof(row), &count};
    read_data_excel_file(&table);
    if (rows) {
        u32 marker;
        std::memcpy(&marker, (const u8 *)rows + (size_t)table.num_rows * sizeof(row), 4);
        if (count && marker != 0xFFFFFFFFu)
            __builtin_trap();
        for (s32 r = 0; r < count; ++r)
            if (rows[r].text.length < 0 || rows[r].text.length > 255 || rows[r].text.text[rows[r].text.length] ||
                std::memchr(rows[r].token, 0, sizeof rows[r].token) == nullptr)
                __builtin_trap();
    }
    if (table.category_list)
        free_data_excel_file(&table);
    else if (rows)
        __builtin_trap(); // records without lists cannot happen
    packfile_close();
    if (memory_num_allocations() != 0)
        __builtin_trap();
    return 0;
}
