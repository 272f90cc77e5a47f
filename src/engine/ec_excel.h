// ec_excel.h -- the tab-delimited table reader ("xls\..." tables from the pack)
#pragma once

#include "engine/ec_types.h"

enum excel_field_type : dword {
    excel_safestring = 0, // a safestring with surrounding double quotes removed
    excel_string = 1,     // the text with its terminator, cut to param bytes
    excel_char = 2,       // one byte: the first character
    excel_int = 3,        // a signed 32-bit integer as atoi reads it
    excel_byte = 4,       // the low 8 bits of that number
    excel_flag = 5,       // sets bit param % 32 of the word at offset when the text starts with '1'
    excel_ignore = 6,     // the column is skipped
};

// One wanted column. For excel_string, param is the field's size in bytes
// (terminator included); texts that do not fit are cut.
struct excel_column {
    char name[64];
    dword type;
    dword offset;
    dword param;
};

struct excel_cell {
    char text[256];
    excel_cell *next;
};

struct excel_category {
    char heading[256];
    excel_cell *cells;
    excel_category *next;
};

// A table descriptor: the caller fills filename, columns, num_columns,
// destination_data, record_size and num_rows_out; the reader fills the rest.
struct excel_parse_table {
    char filename[64];
    s32 num_rows;
    excel_category *category_list;
    const excel_column *columns;
    s32 num_columns;
    void **destination_data;
    dword record_size;
    s32 *num_rows_out;
};

// Reads the table from the pack. On success *destination_data holds
// num_rows * record_size zero-filled bytes plus the end marker 0xFFFFFFFF, and
// *num_rows_out the row count. Problems raise assertions and abandon the read.
void read_data_excel_file(excel_parse_table *table);
// Frees the heading and cell lists and the record array.
void free_data_excel_file(excel_parse_table *table);
// Copies one cell (the characters from 32 up, before source_end) into dest (1024 bytes),
// cut to 1023 characters. Returns the cell's whole length, so that the caller steps over
// all of it, or -1 after an assertion (a null argument, source not before source_end).
int get_next_word_in_line(const char *source, const char *source_end, char *dest);
