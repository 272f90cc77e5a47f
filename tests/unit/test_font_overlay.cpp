// test_font_overlay.cpp -- overlay strings: glyph quads along the kern table, the table of 32
// (their pixels are read back in test_gfx_present; the F1 panel in the window shell's run)
#include "graphics/d3d_font.h"
#include "test_gfx_util.h"

namespace {

class overlay : public gfx_test::stack {
protected:
    const safestring *text(const char *s) {
        safestring_create(&t, s);
        return &t;
    }
    float vx(dword id, int i) {
        float x = -1, y = -1;
        EXPECT_TRUE(d3dui_string_vertex_position(id, i, &x, &y));
        return x;
    }
    safestring t;
};

TEST_F(overlay, glyph_quads_follow_the_kern_table) {
    dword ab = d3dui_string_new(8, 8, text("AB"), 0xFFFFFFFFu, 3);
    ASSERT_NE(ab, invalid_id);
    EXPECT_EQ(d3dui_string_num_primitives(ab), 4);
    EXPECT_FLOAT_EQ(vx(ab, 6), 8 + 3 * 8); // the B starts one advance on
    d3dui_string_update(ab, text("I!"));
    EXPECT_FLOAT_EQ(vx(ab, 6) - vx(ab, 0), 3 * 6);
    // Spaces and code 127 make no quads; spaces still advance.
    d3dui_string_update(ab, text("  \x7f" "A"));
    EXPECT_EQ(d3dui_string_num_vertices(ab), 6);
    EXPECT_FLOAT_EQ(vx(ab, 0), 8 + 2 * 8 * 3);
    d3dui_string_update(ab, text("A\xC1" "B"));
    EXPECT_TRUE(rec.asserted("c >= 0"));
    EXPECT_EQ(d3dui_string_num_vertices(ab), 12);
    d3dui_string_free(ab);
}

TEST_F(overlay, the_table_of_32_strings_and_freed_slots) {
    for (int i = 0; i < max_d3dui_strings; ++i)
        ASSERT_EQ(d3dui_string_new(0, i * 8, text("x"), 0xFFFFFFFFu, 1), (dword)i);
    EXPECT_EQ(d3dui_string_new(0, 0, text("y"), 0xFFFFFFFFu, 1), invalid_id);
    EXPECT_TRUE(rec.asserted("num_d3dui_strings < max_d3dui_strings"));
    d3dui_string_free(0);
    rec.clear();
    d3dui_string_free(0);
    d3dui_string_update(40, text("q"));
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"d3dui_strings[string_id].vertexbuffer",
                                                          "string_id >= 0 && string_id < max_d3dui_strings"}));
    EXPECT_EQ(d3dui_string_new(0, 0, text("z"), 0xFFFFFFFFu, 1), 0u);
    // The font's free releases every string still held.
    rec.clear();
    gfx.reset();
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_EQ(d3dui_string_num_vertices(5), -1);
}

} // namespace
