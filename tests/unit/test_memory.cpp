// The tracked allocator: capacity, probing, double frees and the leak report.
#include "engine/ec_memory.h"
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

TEST_F(Memory, HoldsExactly1024BlocksAndRefusesThe1025th) {
    std::vector<void *> blocks;
    for (int i = 0; i < memory_hash_tbl_size; ++i) {
        void *p = zel_malloc(8, "test.cpp", i, nullptr);
        ASSERT_NE(p, nullptr) << i;
        blocks.push_back(p);
    }
    EXPECT_EQ(memory_num_allocations(), 1024);
    EXPECT_EQ(memory_bytes_used(), 8u * 1024u);
    EXPECT_EQ(rec.count(), 0u);

    EXPECT_EQ(zel_malloc(8, "test.cpp", 1, nullptr), nullptr);
    EXPECT_TRUE(rec.asserted("num_memory_allocations < memory_hash_tbl_size"));
    EXPECT_EQ(memory_num_allocations(), 1024);

    zel_free(blocks[500]);
    blocks[500] = zel_malloc(8, "test.cpp", 2, nullptr);
    EXPECT_NE(blocks[500], nullptr);

    for (void *p : blocks)
        zel_free(p);
    EXPECT_EQ(memory_num_allocations(), 0);
    EXPECT_EQ(memory_bytes_used(), 0u);
}

// The search for a free entry starts one further on per allocation, so a freed
// entry is not reused at once; the leak report lists entries in table order.
TEST_F(Memory, FreedEntryIsNotReusedUntilTheStartIndexWraps) {
    void *a = zel_malloc(1, "a.cpp", 1, nullptr); // entry 0
    void *b = zel_malloc(2, "b.cpp", 2, nullptr); // entry 1
    zel_free(a);
    void *c = zel_malloc(3, "c.cpp", 3, nullptr); // entry 2, not 0
    memory_system_close();
    ASSERT_EQ(rec.count(), 2u);
    EXPECT_NE(rec.dialogs()[0].text.find("File : b.cpp"), std::string::npos);
    EXPECT_NE(rec.dialogs()[1].text.find("File : c.cpp"), std::string::npos);
    zel_free(b);
    zel_free(c);
}

TEST_F(Memory, DoubleFreeAndForeignPointersAreRefused) {
    void *p = zel_malloc(16, "test.cpp", 1, nullptr);
    zel_free(p);
    EXPECT_EQ(rec.count(), 0u);
    zel_free(p);
    EXPECT_TRUE(rec.asserted("count < memory_hash_tbl_size"));
    rec.clear();
    zel_free(nullptr);
    int local = 0;
    zel_free(&local);
    EXPECT_EQ(rec.assertions().size(), 2u);
    EXPECT_EQ(memory_num_allocations(), 0);
}

TEST_F(Memory, LeakReportShowsOneBoxPerBlockWithOrWithoutInfo) {
    void *a = zel_malloc(100, "src/one.cpp", 12, "pictures");
    void *b = zel_malloc(7, "src/two.cpp", 34, nullptr);
    memory_system_close();
    ASSERT_EQ(rec.count(), 2u);
    EXPECT_EQ(rec.dialogs()[0].caption, "MEMORY NOT FREED");
    EXPECT_EQ(rec.dialogs()[0].buttons, platform_mb_ok);
    EXPECT_EQ(rec.dialogs()[0].icon, platform_mb_icon_warning);
    EXPECT_EQ(rec.dialogs()[0].text,
              "Unfreed Memory\n\nFile : src/one.cpp\nLine : 12\nSize : 100\nInfo : pictures");
    EXPECT_EQ(rec.dialogs()[1].text, "Unfreed Memory\n\nFile : src/two.cpp\nLine : 34\nSize : 7");
    // The report changes nothing: the blocks are still recorded.
    EXPECT_EQ(memory_num_allocations(), 2);
    zel_free(a);
    zel_free(b);
    rec.clear();
    memory_system_close();
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(Memory, LongFileAndInfoTextsAreCutAndTheReportFitsItsBuffer) {
    std::string file(300, 'f');
    std::string info(300, 'i');
    void *p = zel_malloc(1, file.c_str(), 1, info.c_str());
    memory_system_close();
    ASSERT_EQ(rec.count(), 1u);
    const std::string &text = rec.dialogs()[0].text;
    EXPECT_NE(text.find("File : " + std::string(255, 'f') + "\n"), std::string::npos);
    EXPECT_EQ(text.find(std::string(256, 'f')), std::string::npos);
    EXPECT_LE(text.size(), 511u);
    zel_free(p);
}

} // namespace
