// ec_excel.cpp -- the tab-delimited table reader: headings, cells, typed records
#include "engine/ec_excel.h"

#include "engine/ec_assert.h"
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"
#include "engine/ec_strings.h"

#include <climits>
#include <cstring>
#include <strings.h>

namespace {

constexpr int max_line_size = 1024;

// atoi's reading of a decimal number, saturating instead of overflowing.
s32 text_to_int(const char *text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > (long long)INT_MAX + 1)
            value = (long long)INT_MAX + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    return (s32)value;
}

// The bytes a column's field takes in a record.
u32 field_size(const excel_column &column, dword record_size) {
    switch (column.type) {
    case excel_safestring: return sizeof(safestring);
    case excel_string:
        return column.param ? column.param : (column.offset < record_size ? record_size - column.offset : 0);
    case excel_char:
    case excel_byte: return 1;
    case excel_int:
    case excel_flag: return 4;
    default: return 0;
    }
}

// A safestring of text without any leading and trailing double quotes.
void unquote_to_safestring(const char *text, safestring *out) {
    int length = (int)strlen(text);
    int s = 0;
    while (text[s] == '"')
        ++s;
    int e = length - 1;
    while (e > 0 && text[e] == '"')
        --e;
    out->length = 0;
    out->text[0] = 0;
    if (text[s] != 0 && s <= e) {
        int n = e - s + 1;
        if (n > max_string_size - 1)
            n = max_string_size - 1;
        std::memcpy(out->text, text + s, (size_t)n);
        out->length = n;
        out->text[n] = 0;
    }
}

void write_field(const excel_column &column, const char *text, u8 *dest, u32 size) {
    switch (column.type) {
    case excel_safestring: {
        safestring s;
        unquote_to_safestring(text, &s);
        std::memcpy(dest, &s, sizeof s);
        break;
    }
    case excel_string: {
        if (size == 0)
            break;
        size_t n = strnlen(text, size - 1);
        std::memcpy(dest, text, n);
        dest[n] = 0;
        break;
    }
    case excel_char: dest[0] = (u8)text[0]; break;
    case excel_int: {
        s32 value = text_to_int(text);
        std::memcpy(dest, &value, 4);
        break;
    }
    case excel_byte: dest[0] = (u8)(text_to_int(text) & 0xFF); break;
    case excel_flag:
        if (text[0] == '1') {
            u32 word;
            std::memcpy(&word, dest, 4);
            word |= 1u << (column.param % 32);
            std::memcpy(dest, &word, 4);
        }
        break;
    default: break;
    }
}

// Copies at most 255 characters of text into a 256-byte field.
void copy_cut(char *field, const char *text) {
    size_t n = strnlen(text, 255);
    std::memcpy(field, text, n);
    field[n] = 0;
}

} // namespace

int get_next_word_in_line(const char *source, const char *source_end, char *dest) {
    if (!ec_assert(source) || !ec_assert(source_end) || !ec_assert(dest))
        return -1;
    if (!ec_assert(source_end > source))
        return -1;
    int count = 0;
    const char *p = source;
    while (p < source_end && (u8)*p >= 32) {
        // Cells longer than the buffer are cut; the caller still steps over all of them.
        if (count < max_line_size - 1)
            dest[count] = *p;
        ++count;
        ++p;
    }
    dest[count < max_line_size - 1 ? count : max_line_size - 1] = 0;
    return count;
}

namespace {

// A table's text as read from the pack: p walks from the start towards end.
struct excel_reader {
    excel_parse_table *table;
    const char *info;
    const char *p;
    const char *end;
    char word[max_line_size];
};

// Steps over one line end: "\r\n" or a lone '\r'.
void skip_line_end(const char *&p, const char *end) {
    if (p < end && *p == '\r')
        p += (end - p >= 2) ? 2 : 1;
}

// The first line: one category per tab-separated heading.
bool read_headings(excel_reader &r) {
    excel_category *last_category = nullptr;
    for (;;) {
        int word_size = get_next_word_in_line(r.p, r.end, r.word);
        if (!ec_assert_info(word_size > 0, r.info))
            return false;
        r.p += word_size;
        excel_category *new_category = (excel_category *)ZEL_MALLOC(sizeof(excel_category), r.info);
        if (!ec_assert_info(new_category, r.info))
            return false;
        copy_cut(new_category->heading, r.word);
        new_category->cells = nullptr;
        new_category->next = nullptr;
        if (last_category)
            last_category->next = new_category;
        else
            r.table->category_list = new_category;
        last_category = new_category;
        if (r.p >= r.end)
            return true;
        if (*r.p != '\t') {
            skip_line_end(r.p, r.end);
            return true;
        }
        ++r.p;
    }
}

// One non-empty row: a cell for every category, in heading order.
bool read_row(excel_reader &r, const char *line, int line_length) {
    const char *q = line;
    const char *line_end = line + line_length;
    for (excel_category *category = r.table->category_list; category; category = category->next) {
        int word_size = get_next_word_in_line(q, line_end, r.word);
        if (!ec_assert_info(word_size > 0, r.info))
            return false;
        q += word_size;
        excel_cell *new_cell = (excel_cell *)ZEL_MALLOC(sizeof(excel_cell), r.info);
        if (!ec_assert_info(new_cell, r.info))
            return false;
        copy_cut(new_cell->text, r.word);
        new_cell->next = nullptr;
        // Tables are read once and are small: walking to the end is fine.
        excel_cell **tail = &category->cells;
        while (*tail)
            tail = &(*tail)->next;
        *tail = new_cell;
        if (q < line_end && *q == '\t')
            ++q;
    }
    return true;
}

bool read_rows(excel_reader &r) {
    char line[max_line_size];
    r.table->num_rows = 0;
    while (r.p < r.end) {
        int line_length = 0;
        while (r.p < r.end && *r.p != '\r' && line_length < max_line_size - 1)
            line[line_length++] = *r.p++;
        line[line_length] = 0;
        if (line_length > 0) {
            if (!read_row(r, line, line_length))
                return false;
            r.table->num_rows += 1;
        }
        skip_line_end(r.p, r.end);
    }
    return true;
}

// The zero-filled records and the end marker, then each wanted column's cells.
bool fill_records(excel_parse_table *table, const char *info) {
    unsigned long long dest_size = (unsigned long long)table->record_size * (u32)table->num_rows + 4;
    if (!ec_assert_text_info(dest_size > sizeof(int), "dest_size > sizeof( int )", info))
        return false;
    if (!ec_assert_info(dest_size <= 0x7FFFFFFFull, info))
        return false;
    void *destination_data = ZEL_MALLOC(dest_size, info);
    if (!ec_assert_info(destination_data, info))
        return false;
    std::memset(destination_data, 0, (size_t)dest_size);
    *table->destination_data = destination_data;
    u8 *end_of_data = (u8 *)destination_data + dest_size - 4;
    const u32 end_marker = 0xFFFFFFFFu;
    std::memcpy(end_of_data, &end_marker, 4);

    for (int i = 0; i < table->num_columns; ++i) {
        const excel_column &column = table->columns[i];
        if (column.type == excel_ignore)
            continue;
        // A field that does not fit its record would run into the next one.
        u32 size = field_size(column, table->record_size);
        if (!ec_assert_info((unsigned long long)column.offset + size <= table->record_size, column.name))
            return false;
        excel_category *category = table->category_list;
        while (category && strcasecmp(category->heading, column.name) != 0)
            category = category->next;
        if (!category)
            continue;
        excel_cell *cell = category->cells;
        for (s32 r = 0; r < table->num_rows && cell; ++r, cell = cell->next) {
            u8 *dest_location = (u8 *)destination_data + (size_t)r * table->record_size + column.offset;
            if (!ec_assert_info((void *)dest_location < (void *)end_of_data, info))
                return false;
            write_field(column, cell->text, dest_location, size);
        }
    }
    return true;
}

} // namespace

void read_data_excel_file(excel_parse_table *table) {
    if (!ec_assert(table))
        return;
    const char *info = table->filename;
    if (!ec_assert_info(table->category_list == NULL, info))
        return;
    u32 file_size = 0;
    u8 *file_data = pack_file_load(table->filename, &file_size);
    if (!ec_assert_info(file_data, info))
        return;
    if (!ec_assert_info(file_size > 0, info)) {
        pack_file_close(file_data);
        return;
    }
    excel_reader reader{table, info, (const char *)file_data, (const char *)file_data + file_size, {}};
    // A problem anywhere abandons the read: what was built so far stays for free_data_excel_file.
    if (read_headings(reader) && read_rows(reader) && fill_records(table, info) && table->num_rows_out)
        *table->num_rows_out = table->num_rows;
    pack_file_close(file_data);
}

void free_data_excel_file(excel_parse_table *table) {
    if (!ec_assert(table))
        return;
    excel_category *category_list = table->category_list;
    if (!ec_assert(category_list))
        return;
    excel_category *category = category_list;
    while (category) {
        excel_cell *cell = category->cells;
        while (cell) {
            excel_cell *next = cell->next;
            zel_free(cell);
            cell = next;
        }
        excel_category *next = category->next;
        zel_free(category);
        category = next;
    }
    table->category_list = nullptr;
    table->num_rows = 0;
    if (!ec_assert(*table->destination_data))
        return;
    zel_free(*table->destination_data);
    *table->destination_data = nullptr;
}
