// test_font_overlay.cpp -- overlay strings: glyph quads along the kern table
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

} // namespace
