// Engine basics: the tracked allocator (capacity, probing, double frees, the leak report);
// safestring cutting rules and string-table lookups by id; assertion and device-result boxes.
// (The "Fatal Error" box is checked by the start-up failures in test_window and test_sound.)
#include "engine/ec_assert.h"
#include "engine/ec_memory.h"
#include "engine/ec_strings.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Memory : public ::testing::Test {
protected:
    void SetUp() override { memory_system_init(); }
    dialog_recorder rec;
};

// (The 1,024-block limit and its assertion are met by the 510-row table in test_excel.)
TEST_F(Memory, DoubleFreeAndForeignPointersAreRefused) {
    void *p = zel_malloc(16, "test.cpp", 1, nullptr);
    zel_free(p);
    zel_free(p);
    EXPECT_TRUE(rec.asserted("count < memory_hash_tbl_size"));
    int local = 0;
    zel_free(&local);
    EXPECT_EQ(rec.assertions().size(), 2u);
    EXPECT_EQ(memory_num_allocations(), 0);
}

// A freed entry is not reused at once (the search starts one further on per
// allocation); the report lists blocks in table order, one box each, texts cut to fit.
TEST_F(Memory, LeakReportShowsOneBoxPerBlockInTableOrder) {
    void *gone = zel_malloc(1, "a.cpp", 1, nullptr); // entry 0
    void *a = zel_malloc(100, "src/one.cpp", 12, "pictures");
    zel_free(gone);
    void *b = zel_malloc(7, std::string(300, 'f').c_str(), 34, nullptr); // entry 2, not 0
    memory_system_close();
    ASSERT_EQ(rec.count(), 2u);
    EXPECT_EQ(rec.dialogs()[0].caption, "MEMORY NOT FREED");
    EXPECT_EQ(rec.dialogs()[0].buttons, platform_mb_ok);
    EXPECT_EQ(rec.dialogs()[0].text, "Unfreed Memory\n\nFile : src/one.cpp\nLine : 12\nSize : 100\nInfo : pictures");
    EXPECT_EQ(rec.dialogs()[1].text, "Unfreed Memory\n\nFile : " + std::string(255, 'f') + "\nLine : 34\nSize : 7");
    // The report changes nothing: the blocks are still recorded.
    EXPECT_EQ(memory_num_allocations(), 2);
    zel_free(a);
    zel_free(b);
    rec.clear();
    memory_system_close();
    EXPECT_EQ(rec.count(), 0u);
}

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

// Text from outside reaches the fonts as their bytes: ASCII and Latin-1 as themselves,
// everything else one '?' a character (or a byte that is not UTF-8); a shortened name keeps
// whole characters, and its extension when asked.
TEST(Safestring, Utf8BecomesTheFontsLatin1) {
    EXPECT_EQ(text_for_font("caf\xC3\xA9 Cr\xC3\xA2ne \xC3\x9F\xC3\xBF"), "caf\xE9 Cr\xE2ne \xDF\xFF");
    EXPECT_EQ(text_for_font("\xE6\x97\xA5 \xF0\x9F\x91\xBB x"), "? ? x");             // past Latin-1
    EXPECT_EQ(text_for_font("a\tb\x7F\xC2\x85"), "a?b??");                            // C0, DEL, C1
    EXPECT_EQ(text_for_font("\xE9t\xE9 \xC3 \xC0\xAF \xED\xA0\x80"), "?t? ? ?? ???"); // not UTF-8
    safestring s;
    safestring_create_utf8(&s, "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(std::string(s.text, (size_t)s.length), "\xE9t\xE9");

    const std::string name = "\xC3\xA9" + std::string(40, 'n') + ".non";
    EXPECT_EQ(utf8_length(name), 45u);
    EXPECT_EQ(utf8_shortened(name, 45), name);
    EXPECT_EQ(utf8_shortened(name, 12, true), "\xC3\xA9nnnn....non");
    EXPECT_EQ(utf8_shortened("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 5), "\xC3\xA9\xC3\xA9...");
}

TEST(StringTable, LookupsById) {
    dialog_recorder rec;
    string_definition defs[3] = {};
    safestring_create(&defs[2].string, "Exit");
    string_table_use_for_test(defs, 3);
    safestring s;
    safestring_create_from_id(&s, 2);
    EXPECT_EQ(text_of(s), "Exit");
    // An id past the table is an error that keeps the text. (No id means no text, quietly:
    // every window without a caption, in every run that ends without a box.)
    safestring_create(&s, "kept");
    safestring_create_from_id(&s, 3);
    EXPECT_EQ(text_of(s), "kept");
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"string_token_id < (dword)num_string_definitions"}));
    string_table_use_for_test(nullptr, 0);
}

int guarded(int *p) {
    if (!ec_assert(p != nullptr))
        return -1;
    return *p;
}

TEST(Assertion, TheBoxNamesConditionInfoFunctionFileAndLine) {
    dialog_recorder rec;
    int v = 5;
    EXPECT_EQ(guarded(&v), 5);
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_EQ(guarded(nullptr), -1);
    EXPECT_FALSE(assertion_failed("file_data", "src/b.cpp", "void g()", 7, "xls\\strings.txt"));
    ASSERT_EQ(rec.count(), 2u);
    EXPECT_EQ(rec.dialogs()[0].caption, "ASSERTION FAILED");
    EXPECT_EQ(std::pair(rec.dialogs()[0].buttons, rec.dialogs()[0].icon),
              std::pair(platform_mb_yes_no, platform_mb_icon_warning));
    EXPECT_EQ(rec.dialogs()[0].text.rfind("assert( p != nullptr )\n\n\nFunction : int {anonymous}::guarded(int*)\n"
                                          "File : tests/unit/test_engine.cpp\nLine : ",
                                          0),
              0u);
    EXPECT_EQ(rec.dialogs()[1].text,
              "assert( file_data )\n\nxls\\strings.txt\n\nFunction : void g()\n"
              "File : src/b.cpp\nLine : 7\n\nContinue?");
}

TEST(Assertion, TextsAddingUpTo1024AreTooLongForTheBox) {
    dialog_recorder rec;
    // L = expression + file + function + 64 (+ info).
    std::string function(1023 - 64 - 1 - 1, 'x');
    EXPECT_FALSE(assertion_failed("e", "f", function.c_str(), -2147483647 - 1, nullptr));
    function.push_back('x');
    EXPECT_FALSE(assertion_failed("e", "f", function.c_str(), 1, nullptr));
    ASSERT_EQ(rec.count(), 2u);
    EXPECT_NE(rec.dialogs()[0].text.find("Line : -2147483648\n\nContinue?"), std::string::npos);
    EXPECT_EQ(rec.dialogs()[1].text, "assert!\nInfo too long for dialog box!");
    // No text at all breaks without a box. (Answering "No": test_boxes_and_signals.)
    EXPECT_TRUE(assertion_failed(nullptr, "f", "g", 1, nullptr));
    EXPECT_EQ(rec.count(), 2u);
}

TEST(DeviceResult, SuccessIsQuietAndAnUnknownCodeShowsItsNumber) {
    dialog_recorder rec;
    EXPECT_FALSE(d3d_check_result(0));
    EXPECT_FALSE(d3d_check_result((s32)0x80004005u));
    ASSERT_EQ(rec.count(), 1u);
    EXPECT_EQ(rec.dialogs()[0].caption, "D3D Fatal Error");
    EXPECT_EQ(rec.dialogs()[0].text, "Unknown code : -2147467259\nContinue?");
    rec.answer_no(true);
    EXPECT_TRUE(d3d_check_result(d3derr_devicelost));
}

} // namespace
