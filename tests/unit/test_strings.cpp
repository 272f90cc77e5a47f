// safestring cutting rules and string-table lookups by id.
#include "engine/ec_strings.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string text_of(const safestring &s) { return std::string(s.text, (size_t)s.length); }

TEST(Safestring, CreateAndConcatCutAt255) {
    safestring s;
    safestring_create(&s, std::string(300, 'a').c_str());
    EXPECT_EQ(s.length, 255);
    EXPECT_EQ(s.text[255], 0);
    safestring_create(&s, std::string(250, 'b').c_str());
    safestring_concat_str(&s, "0123456789");
    safestring_concat_char(&s, 'z');
    EXPECT_EQ(text_of(s), std::string(250, 'b') + "01234");
    EXPECT_EQ(s.text[255], 0);
    EXPECT_STREQ(number_text_format(-2147483647 - 1), "-2147483648");
}

TEST(Safestring, CharactersPastTheEndAreRefused) {
    dialog_recorder rec;
    safestring s;
    safestring_create(&s, "abc");
    EXPECT_EQ(safestring_get_char(&s, 2), 'c');
    EXPECT_EQ(safestring_get_char(&s, 256), 0);
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"index < max_string_size"}));
}

TEST(StringTable, LookupsById) {
    dialog_recorder rec;
    string_definition defs[3] = {};
    safestring_create(&defs[2].string, "Exit");
    string_table_use_for_test(defs, 3);
    safestring s;
    safestring_create_from_id(&s, 2);
    EXPECT_EQ(text_of(s), "Exit");
    // No id means no text, quietly; an id past the table is an error that keeps the text.
    safestring_create_from_id(&s, invalid_id);
    EXPECT_EQ(s.length, 0);
    EXPECT_EQ(rec.count(), 0u);
    safestring_create(&s, "kept");
    safestring_create_from_id(&s, 3);
    EXPECT_EQ(text_of(s), "kept");
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"string_token_id < (dword)num_string_definitions"}));
    string_table_use_for_test(nullptr, 0);
}

} // namespace
