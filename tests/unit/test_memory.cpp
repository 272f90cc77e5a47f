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

} // namespace
