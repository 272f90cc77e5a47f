// Assertion and device-result boxes: texts, captions, answers.
// (The "Fatal Error" box is checked by the start-up failures in test_window and test_sound_songs.)
#include "engine/ec_assert.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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
                                          "File : tests/unit/test_assert.cpp\nLine : ",
                                          0),
              0u);
    EXPECT_EQ(rec.dialogs()[1].text, "assert( file_data )\n\nxls\\strings.txt\n\nFunction : void g()\n"
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
}

TEST(Assertion, NoBreaksAndMissingTextsBreakWithoutABox) {
    dialog_recorder rec;
    rec.answer_no(true);
    EXPECT_TRUE(assertion_failed("x", "f", "g", 1, nullptr));
    EXPECT_TRUE(assertion_failed(nullptr, "f", "g", 1, nullptr));
    EXPECT_EQ(rec.count(), 1u);
}

TEST(DeviceResult, TextsForKnownUnknownAndSuccessCodes) {
    dialog_recorder rec;
    EXPECT_FALSE(d3d_check_result(0));
    EXPECT_EQ(rec.count(), 0u);
    for (s32 code : {d3derr_invalidcall, (s32)0x80004005u})
        EXPECT_FALSE(d3d_check_result(code));
    ASSERT_EQ(rec.count(), 2u);
    EXPECT_EQ(rec.dialogs()[0].caption, "D3D Fatal Error");
    EXPECT_EQ(rec.dialogs()[0].text, "Invalid call\nContinue?");
    EXPECT_EQ(rec.dialogs()[1].text, "Unknown code : -2147467259\nContinue?");
    rec.answer_no(true);
    EXPECT_TRUE(d3d_check_result(d3derr_devicelost));
}

} // namespace
