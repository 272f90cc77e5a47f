// test_font_overlay.cpp -- overlay strings: glyph quads, the string table, pixels, the F1 panel
#include "engine/ec_strings.h"
#include "graphics/d3d_font.h"
#include "graphics/d3d_window.h"
#include "main.h"
#include "platform/pf_events.h"
#include "test_gfx_util.h"
#include "ui/ec_cursor.h"

#include <string>

namespace {

using gfx_test::overlay_ink;

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
    EXPECT_EQ(d3dui_string_num_vertices(ab), 12);
    EXPECT_EQ(d3dui_string_num_primitives(ab), 4);
    EXPECT_FLOAT_EQ(vx(ab, 6), 8 + 3 * 8); // the B starts one advance on
    EXPECT_FLOAT_EQ(vx(ab, 8), 8 + 3 * 8 + 24);

    d3dui_string_update(ab, text("I!"));
    EXPECT_FLOAT_EQ(vx(ab, 6) - vx(ab, 0), 3 * 6);

    // Spaces and code 127 make no quads; spaces still advance.
    d3dui_string_update(ab, text("   "));
    EXPECT_EQ(d3dui_string_num_primitives(ab), 0);
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
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_EQ(d3dui_string_new(0, 0, text("y"), 0xFFFFFFFFu, 1), invalid_id);
    EXPECT_TRUE(rec.asserted("num_d3dui_strings < max_d3dui_strings"));
    d3dui_string_free(0);
    rec.clear();
    d3dui_string_free(0);
    d3dui_string_update(0, text("y"));
    d3dui_string_update(invalid_id, text("q"));
    d3dui_string_set_visible(40, true);
    EXPECT_EQ(rec.assertions(),
              (std::vector<std::string>{"d3dui_strings[string_id].vertexbuffer", "d3dui_strings[string_id].vertexbuffer",
                                        "string_id != invalid_id", "string_id >= 0 && string_id < max_d3dui_strings"}));
    EXPECT_EQ(d3dui_string_new(0, 0, text("z"), 0xFFFFFFFFu, 1), 0u);
    // The font's free releases every string still held.
    rec.clear();
    gfx.reset();
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_EQ(d3dui_string_num_vertices(5), -1);
}

TEST_F(overlay, diagnostics_panel_toggles_with_f1) {
    ASSERT_FALSE(diag_visible_get());
    diag_strings_create();
    EXPECT_EQ(d3dui_string_num_vertices(0), 0);
    frame();
    EXPECT_EQ(px(8, 8), 0xFF000000u); // hidden and empty

    // F1 reaches the panel, not the running mode.
    static int keys = 0;
    keys = 0;
    app_mode modes[num_app_modes] = {};
    for (app_mode &m : modes)
        m.keydown = [](unsigned) { ++keys; };
    app_modes_use_for_test(modes, appmode_main_menu);
    platform_message f1 = {msg_keydown, vk_f1, 0};
    main_window_proc(&f1);
    EXPECT_EQ(keys, 0);
    EXPECT_TRUE(diag_visible_get());
    // Four lines, filled in at once: frame rate, memory, resolution, cursor.
    d3d_window_res_string();
    std::string res = scratch_string()->text;
    EXPECT_EQ(res, "Current Resolution: 1280x720");
    int glyphs = 0;
    for (char c : res)
        glyphs += c != ' ';
    EXPECT_EQ(d3dui_string_num_vertices(2), 6 * glyphs);
    EXPECT_GT(d3dui_string_num_vertices(0), 6 * 10); // "framerate :" and a number
    EXPECT_GT(d3dui_string_num_vertices(1), 0);
    EXPECT_GT(d3dui_string_num_vertices(3), 0);
    float x = 0, y = 0;
    d3dui_string_vertex_position(3, 0, &x, &y);
    EXPECT_FLOAT_EQ(x, 8);
    EXPECT_FLOAT_EQ(y, 112);
    frame();
    EXPECT_EQ(px(8, 8), overlay_ink);   // 'f' of framerate, scale 3
    EXPECT_EQ(px(8, 112), overlay_ink); // 'c' of cursor

    main_window_proc(&f1);
    EXPECT_FALSE(diag_visible_get());
    frame();
    EXPECT_EQ(px(8, 8), 0xFF000000u);
    app_modes_use_for_test(nullptr, appmode_init);

    diag_strings_free();
    EXPECT_EQ(d3dui_string_num_vertices(0), -1);
    diag_strings_update(); // nothing to update: harmless
    EXPECT_EQ(rec.count(), 0u);
}

} // namespace
