// Table reader: headings matched by name, cells by position, field types, bad files, limits.
#include "engine/ec_excel.h"
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"
#include "engine/ec_strings.h"
#include "test_pack.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

namespace {

struct row {
    char token[64];
    safestring text;
    s32 number;
    u8 byte;
    char letter;
    u32 flags;
};

const excel_column row_columns[] = {
    {.name = "string_token", .type = excel_string, .offset = offsetof(row, token), .param = sizeof(row::token)},
    {.name = "string", .type = excel_safestring, .offset = offsetof(row, text), .param = 0},
    {.name = "number", .type = excel_int, .offset = offsetof(row, number), .param = 0},
    {.name = "number", .type = excel_byte, .offset = offsetof(row, byte), .param = 0},
    {.name = "letter", .type = excel_char, .offset = offsetof(row, letter), .param = 0},
    {.name = "flag", .type = excel_flag, .offset = offsetof(row, flags), .param = 3},
    {.name = "flag", .type = excel_flag, .offset = offsetof(row, flags), .param = 32 + 5},
    {.name = "string", .type = excel_ignore, .offset = 100000, .param = 0},
};

// Reads text as the table "xls\t.txt" from a pack of its own; frees it on destruction.
struct read_table {
    row *rows = nullptr;
    s32 count = 0;
    excel_parse_table table;
    scoped_test_pack pack;
    explicit read_table(const std::string &text, const excel_column *columns = row_columns,
                        int num_columns = (int)std::size(row_columns))
        : table{"xls\\t.txt", 0, nullptr, columns, num_columns, (void **)&rows, sizeof(row), &count},
          pack({{"xls\\t.txt", std::vector<uint8_t>(text.begin(), text.end())}}) {
        read_data_excel_file(&table);
    }
    ~read_table() {
        if (table.category_list)
            free_data_excel_file(&table);
    }
};

// Each record as "text|number|byte|letter|flags".
std::string fields(const row &r) {
    return std::string(r.text.text, (size_t)r.text.length) + "|" + std::to_string(r.number) + "|" +
           std::to_string(r.byte) + "|" + r.letter + "|" + std::to_string(r.flags);
}

} // namespace

using namespace std::string_literals;

TEST(excel, columns_are_found_by_heading_in_any_order_and_case) {
    dialog_recorder rec;
    read_table a(test_table_text({"string_token\tstring", "tok_a\tAlpha", "tok_b\tBeta"}));
    read_table b(test_table_text({"string\textra\tSTRING_TOKEN", "Alpha\tx\ttok_a", "Beta\ty\ttok_b"}));
    for (const read_table *t : {&a, &b}) {
        ASSERT_EQ(2, t->count);
        EXPECT_STREQ("tok_b", t->rows[1].token);
        EXPECT_EQ("Beta|0|0|\0|0"s, fields(t->rows[1])); // missing columns stay zero
    }
    // (The end marker after the records: fuzz_excel checks it on every input.)
    EXPECT_EQ(0u, rec.count());
}

TEST(excel, field_types_quotes_spaces_and_empty_lines) {
    dialog_recorder rec;
    read_table t(test_table_text({"string\tnumber\tletter\tflag", "\"Hello\"\t42\txyz\t1", "", "Q\t-7 apples\t \t0", "",
                                  "\"\"\t99999999999\tA\t1x", "\"\"say \"hi\"\"\"\t300\t\"\t2", "   \t+5\tz\t1"}) +
                 "\r\n");
    std::vector<std::string> got;
    for (int i = 0; i < t.count; ++i)
        got.push_back(fields(t.rows[i]));
    // Numbers saturate rather than overflow; only quotes is empty; inner quotes and spaces stay.
    EXPECT_EQ(got, (std::vector<std::string>{"Hello|42|42|x|40", "Q|-7|249| |0", "|2147483647|255|A|40",
                                             "say \"hi|300|44|\"|0", "   |5|5|z|40"}));
    EXPECT_EQ(0u, rec.count());
}

TEST(excel, long_cells_headings_and_strings_are_cut_to_fit) {
    dialog_recorder rec;
    std::string long_heading(600, 'h');
    std::string long_cell(900, 'c');
    std::string long_token(100, 't');
    read_table t(test_table_text({"string_token\tstring\t" + long_heading, long_token + "\t" + long_cell + "\tx"}));
    ASSERT_EQ(1, t.count);
    EXPECT_EQ(std::string(63, 't'), t.rows[0].token);
    EXPECT_EQ(255, t.rows[0].text.length);
    EXPECT_EQ(std::string(255, 'c'), t.rows[0].text.text);
    ASSERT_NE(nullptr, t.table.category_list);
    EXPECT_EQ(255u, std::strlen(t.table.category_list->next->next->heading));
    EXPECT_EQ(0u, rec.count());

    char dest[1024];
    std::string huge(3000, 'w');
    EXPECT_EQ(3000, get_next_word_in_line(huge.data(), huge.data() + huge.size(), dest));
    EXPECT_EQ(1023u, std::strlen(dest));
}

TEST(excel, malformed_tables_are_abandoned_with_their_assertion) {
    struct bad {
        const char *what;
        std::string text;
        std::vector<std::string> assertions;
    };
    const bad cases[] = {
        {"headings only", "string_token\tstring\r\n", {"dest_size > sizeof( int )"}},
        {"LF line ends", "string_token\tstring\na\tb\nc\td\n", {"word_size > 0"}},
        {"empty cell", test_table_text({"string_token\tstring\tnumber", "a\t\t3"}), {"word_size > 0"}},
        {"short row", test_table_text({"string_token\tstring", "a"}), {"source_end > source", "word_size > 0"}},
    };
    for (const bad &c : cases) {
        SCOPED_TRACE(c.what);
        dialog_recorder rec;
        read_table t(c.text);
        EXPECT_EQ(0, t.count);
        EXPECT_EQ(c.assertions, rec.assertions());
    }
}

TEST(excel, missing_or_empty_files_and_fields_past_the_record_are_refused) {
    dialog_recorder rec;
    {
        s32 count = 0;
        void *records = nullptr;
        excel_parse_table table = {"xls\\absent.txt", 0, nullptr, row_columns, 1, &records, sizeof(row), &count};
        scoped_test_pack pack(std::vector<test_pack_entry>{{"xls\\empty.txt", {}}});
        read_data_excel_file(&table);
        EXPECT_TRUE(rec.asserted("file_data"));
        std::strcpy(table.filename, "xls\\empty.txt");
        read_data_excel_file(&table);
        EXPECT_TRUE(rec.asserted("file_size > 0"));
        free_data_excel_file(&table);
        EXPECT_TRUE(rec.asserted("category_list"));
        EXPECT_EQ(nullptr, records);
    }
    // A field that would run past its record is refused before anything is written.
    rec.clear();
    const excel_column too_far[] = {
        {.name = "string", .type = excel_safestring, .offset = sizeof(row) - 8, .param = 0}};
    read_table t(test_table_text({"string", "a", "b"}), too_far, 1);
    EXPECT_EQ(0, t.count);
    EXPECT_EQ(1u, rec.count());
}

TEST(excel, the_1025th_block_abandons_a_510_row_table_at_start_up) {
    ASSERT_EQ(0, memory_num_allocations());
    auto table_of = [](int rows) {
        std::vector<std::string> lines = {"string_token\tstring"};
        for (int i = 0; i < rows; ++i)
            lines.push_back("t" + std::to_string(i) + "\ts");
        return test_table_text(lines);
    };
    // Pack image and directory (2 blocks), the file's copy, 2 headings, 2 x rows cells, records.
    for (int rows : {509, 510}) {
        dialog_recorder rec;
        read_table t(table_of(rows));
        EXPECT_EQ(rows == 509 ? 509 : 0, t.count);
        EXPECT_EQ(rows == 509 ? std::vector<std::string>{}
                              : std::vector<std::string>({"num_memory_allocations < memory_hash_tbl_size", "new_cell"}),
                  rec.assertions());
    }
    EXPECT_EQ(0, memory_num_allocations());
}
