// ec_strings.cpp -- safestring operations, the scratch texts and the string table
#include "engine/ec_strings.h"

#include "engine/ec_assert.h"
#include "engine/ec_data_set.h"
#include "engine/ec_excel.h"

#include <cstdio>
#include <cstring>
#include <cstddef>

namespace {

safestring scratch;
char number_text[256];

const string_definition *string_definitions = nullptr;
int num_string_definitions = 0;

// The table reader's descriptor for "xls\strings.txt" (named when it is read); the
// reader owns the records.
string_definition *string_records = nullptr;
s32 string_rows = 0;
const excel_column string_columns[] = {
    {"string_token", excel_string, offsetof(string_definition, string_token), sizeof(string_definition::string_token)},
    {"string", excel_safestring, offsetof(string_definition, string), 0},
};
excel_parse_table string_table = {
    "", 0, nullptr, string_columns, 2,
    (void **)&string_records, sizeof(string_definition), &string_rows,
};

} // namespace

void safestring_create(safestring *dest, const char *src) {
    if (!ec_assert(dest))
        return;
    if (!src) {
        dest->length = 0;
        dest->text[0] = 0;
        return;
    }
    size_t n = strnlen(src, max_string_size - 1);
    std::memcpy(dest->text, src, n);
    dest->length = (s32)n;
    dest->text[n] = 0;
}

void safestring_concat_str(safestring *dest, const char *src) {
    if (!ec_assert(dest) || !ec_assert(src))
        return;
    size_t room = (size_t)(max_string_size - 1 - dest->length);
    size_t n = strnlen(src, room);
    std::memcpy(dest->text + dest->length, src, n);
    dest->length += (s32)n;
    dest->text[dest->length] = 0;
}

void safestring_concat_char(safestring *dest, char c) {
    if (!dest)
        return;
    if (dest->length + 1 < max_string_size) {
        dest->text[dest->length] = c;
        dest->length += 1;
        dest->text[dest->length] = 0;
    }
}

char safestring_get_char(const safestring *s, int index) {
    if (!ec_assert(index < max_string_size))
        return 0;
    if (!ec_assert(index < s->length) || index < 0)
        return 0;
    return s->text[index];
}

int safestring_length(const safestring *s) { return s ? s->length : 0; }

safestring *scratch_string() { return &scratch; }

const char *number_text_format(int value) {
    std::snprintf(number_text, sizeof number_text, "%i", value);
    return number_text;
}

void safestring_create_from_id(safestring *dest, dword string_token_id) {
    if (!ec_assert(dest))
        return;
    if (string_token_id == invalid_id) {
        safestring_create(dest, nullptr);
        return;
    }
    if (!ec_assert(string_token_id < (dword)num_string_definitions))
        return;
    const safestring &src = string_definitions[string_token_id].string;
    dest->length = src.length;
    std::memcpy(dest->text, src.text, (size_t)src.length);
    dest->text[src.length] = 0;
}

const safestring *safestring_get_from_id(dword string_token_id) {
    if (!ec_assert(string_token_id < (dword)num_string_definitions))
        return nullptr;
    return &string_definitions[string_token_id].string;
}

int string_table_size() { return num_string_definitions; }

void string_table_read() {
    std::snprintf(string_table.filename, sizeof string_table.filename, "%s", asset_strings);
    string_rows = 0;
    read_data_excel_file(&string_table);
    string_definitions = string_records;
    num_string_definitions = string_records ? string_rows : 0;
}

void string_table_free() {
    free_data_excel_file(&string_table);
    string_records = nullptr;
    string_rows = 0;
    string_definitions = nullptr;
    num_string_definitions = 0;
}

void string_table_use_for_test(const string_definition *defs, int count) {
    string_definitions = defs;
    num_string_definitions = defs ? count : 0;
}
