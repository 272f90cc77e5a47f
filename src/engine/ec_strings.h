// ec_strings.h -- safestring, the shared scratch texts and the string table
#pragma once

#include "engine/ec_types.h"

#include <cstddef>
#include <string>
#include <string_view>

constexpr int max_string_size = 256;

// A fixed-capacity text: at most 255 characters, always zero-terminated at length.
// No operation allocates; every result is cut to fit.
struct safestring {
    s32 length;
    char text[max_string_size];
};

// dest = src cut to 255 characters; a null src gives the empty string.
void safestring_create(safestring *dest, const char *src);
// Appends src, cutting the result to 255 characters.
void safestring_concat_str(safestring *dest, const char *src);
// Appends c when the result stays within 255 characters; otherwise does nothing.
void safestring_concat_char(safestring *dest, char c);
// The character at index, or 0 after an assertion when index is out of range.
char safestring_get_char(const safestring *s, int index);
int safestring_length(const safestring *s);

// The bitmap fonts' characters are single bytes: printable ASCII (32..126) and the
// Latin-1 letters and signs (160..255, as ISO 8859-1 numbers them). Text from outside
// (file names, puzzle titles) is UTF-8; text_for_font turns it into those bytes: each
// character U+0020..U+007E and U+00A0..U+00FF becomes the byte of its number, every other
// one (a control character, a letter past Latin-1) and each byte that is not UTF-8 one '?'.
std::string text_for_font(std::string_view utf8);
// dest = text_for_font(utf8), cut to 255 characters.
void safestring_create_utf8(safestring *dest, const char *utf8);
// The characters (not bytes) of UTF-8 text: a byte that is not UTF-8 counts as one.
std::size_t utf8_length(std::string_view utf8);
// UTF-8 text of more than max_chars characters (at least 5) cut to max_chars with "..."
// for what is left out: at its end, or in its middle when keep_end (a file name keeps
// its extension). Never cuts inside a character.
std::string utf8_shortened(std::string_view utf8, std::size_t max_chars, bool keep_end = false);

// The shared text that fatal-error, device-error, diagnostics and path texts are
// composed in. Valid until the next composer uses it.
safestring *scratch_string();
// Formats value with "%i" into the shared number buffer and returns it.
const char *number_text_format(int value);

// One row of the string table "xls\strings.txt".
struct string_definition {
    char string_token[64];
    safestring string;
};
static_assert(sizeof(string_definition) == 324);

// dest = the string with that id; invalid_id gives the empty string. An id past
// the table raises an assertion and leaves dest unchanged.
void safestring_create_from_id(safestring *dest, dword string_token_id);
// The table's own string of that id (read-only), or null after an assertion.
const safestring *safestring_get_from_id(dword string_token_id);
int string_table_size();

// Reads "xls\strings.txt" from the pack. A failed read leaves the table empty.
void string_table_read();
// Frees what string_table_read built.
void string_table_free();

// Tests: use defs (not copied, not freed) as the string table; null empties it.
void string_table_use_for_test(const string_definition *defs, int count);
