// ec_strings.cpp -- safestring operations, the scratch texts and the string table
#include "engine/ec_strings.h"

#include "engine/ec_assert.h"
#include "engine/ec_data_set.h"
#include "engine/ec_excel.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

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
    "", 0, nullptr, string_columns, 2, (void **)&string_records, sizeof(string_definition), &string_rows,
};

// The length of the UTF-8 character at text[i] and its number; 0 when the bytes there
// are not one (a stray continuation byte, a cut, overlong or surrogate sequence).
std::size_t utf8_char(std::string_view text, std::size_t i, unsigned *code) {
    const unsigned char lead = (unsigned char)text[i];
    std::size_t length = 0;
    unsigned value = 0, least = 0;
    if (lead < 0x80)
        length = 1, value = lead;
    else if ((lead & 0xE0) == 0xC0)
        length = 2, value = lead & 0x1Fu, least = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, value = lead & 0x0Fu, least = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, value = lead & 0x07u, least = 0x10000;
    else
        return 0;
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = (unsigned char)text[i + k];
        if ((next & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (next & 0x3Fu);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *code = value;
    return length;
}

// The byte count of the first max_chars characters of text.
std::size_t utf8_prefix(std::string_view text, std::size_t max_chars) {
    std::size_t i = 0;
    unsigned code = 0;
    for (std::size_t n = 0; n < max_chars && i < text.size(); ++n) {
        const std::size_t length = utf8_char(text, i, &code);
        i += length ? length : 1;
    }
    return i;
}

} // namespace

std::string text_for_font(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned code = 0;
        const std::size_t length = utf8_char(utf8, i, &code);
        i += length ? length : 1;
        const bool shown = length && ((code >= 0x20 && code < 0x7F) || (code >= 0xA0 && code <= 0xFF));
        out += shown ? (char)(unsigned char)code : '?';
    }
    return out;
}

void safestring_create_utf8(safestring *dest, const char *utf8) {
    safestring_create(dest, utf8 ? text_for_font(utf8).c_str() : nullptr);
}

std::size_t utf8_length(std::string_view utf8) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < utf8.size(); ++n)
        i += utf8_prefix(utf8.substr(i), 1);
    return n;
}

std::string utf8_shortened(std::string_view utf8, std::size_t max_chars, bool keep_end) {
    const std::size_t length = utf8_length(utf8);
    if (length <= max_chars || max_chars < 5)
        return std::string(utf8);
    const std::size_t kept = max_chars - 3;
    const std::size_t head = keep_end ? (kept + 1) / 2 : kept, tail = kept - head;
    std::string out(utf8.substr(0, utf8_prefix(utf8, head)));
    out += "...";
    out += utf8.substr(utf8_prefix(utf8, length - tail));
    return out;
}

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
