// test_workshop_screen.cpp -- the Workshop on the real loop: a picture drawn, fixed with Suggest, saved and played
// from My Puzzles to its capture; saving, reopening, renaming, replacing and deleting pictures, and a
// failed save that loses nothing
#include "game/board/g_necrogram_layout.h"
#include "game/g_question.h"
#include "game/workshop/g_workshop.h"
#include "game/workshop/g_workshop_files.h"
#include "game/workshop/g_workshop_import.h"
#include "game/workshop/g_workshop_play.h"
#include "game/workshop/g_workshop_puzzles.h"
#include "game/workshop/g_workshop_share.h"
#include "game_script.h"
#include "platform/pf_clipboard.h"

#include <gtest/gtest.h>

#include <png.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

// A ring with two notches: other pictures fit its clues.
const std::vector<std::string> ring = {
    "..........", "..######..", ".#......#.", ".#.#..#.#.", ".#......#.",
    ".#.#..#.#.", ".#..##..#.", "..######..", "..........", "..........",
};

workshop_picture picture_of(const std::vector<std::string> &rows) {
    workshop_picture p = workshop_blank((int)rows[0].size(), (int)rows.size());
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x)
            p.cells[y * rows[y].size() + x] = rows[y][x] == '#';
    return p;
}

// Where the Workshop draws a 10 x 10 picture's cells: the same place whatever its clues.
necrogram_layout grid_10x10() {
    auto b = std::make_unique<necrogram_board>();
    const std::vector<u8> blank(100, 0);
    necrogram_load(b.get(), 10, 10, blank.data());
    b->steady_layout = true;
    return necrogram_layout_for(b.get());
}

game_script &key(game_script &s, unsigned k) { return s.post(msg_keydown, k).post(msg_keyup, k); }
game_script &type(game_script &s, const std::string &text) {
    for (char c : text)
        s.post(msg_char, (unsigned char)c);
    return s;
}

// Waits for the Workshop's verdict on the picture as it is now.
game_script &verdict_is(game_script &s, pz_fairness kind) {
    return s.until(
        [kind] {
            pz_fair_report r;
            return workshop_verdict(&r) && r.kind == kind;
        },
        "the verdict");
}

std::string puzzles_file(const std::string &name) { return workshop_folder() + "/" + name; }

class Workshop : public fresh_game_test {
protected:
    void SetUp() override {
        fresh_game_test::SetUp();
        save_file_init_path();
        std::filesystem::remove_all(workshop_folder());
        std::filesystem::remove(save_folder_file_path(workshop_records_name));
    }
};

// Drawn with the mouse from the title: a ring with several solutions, fixed by Suggest (shown,
// then applied on the second press), saved under a typed title, and played from My Puzzles to
// its capture, which keeps its time; Back returns to My Puzzles.
TEST_F(Workshop, DrawFixSavePlayFromMyPuzzles) {
    // The Workshop's button: under the Tutorial, right of the Library.
    s.skip_splash().left_click(640 + 104, 477).wait_mode(appmode_workshop).ready();
    s.left_click(1152, 562).until([] { return workshop_window_open(); }, "the New Picture window");
    s.post(msg_keydown, vk_return).post(msg_keyup, vk_return).then([] {
        EXPECT_FALSE(workshop_window_open());
        EXPECT_EQ(workshop_current().picture, workshop_blank(10, 10));
    });
    const necrogram_layout l = grid_10x10(); // drawn cell by cell: a grid that moved would spoil the ring
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            if (ring[(size_t)y][(size_t)x] == '#')
                s.left_click(l.grid_x + l.cell * x + l.cell / 2, l.grid_y + l.cell * y + l.cell / 2);
    s.passes(2).then([] { EXPECT_EQ(workshop_current().picture, picture_of(ring)); });
    verdict_is(s, pz_fairness::several);
    key(s, 'S').until([] { return workshop_fix_shown(nullptr); }, "a fix").then([] {
        pz_fix fix;
        ASSERT_TRUE(workshop_fix_shown(&fix));
        EXPECT_TRUE(fix.found);
        EXPECT_LE(fix.cells.size(), 2u);
        EXPECT_EQ(workshop_current().picture, picture_of(ring)) << "shown, not applied yet";
    });
    key(s, 'S');
    verdict_is(s, pz_fairness::fair).then([] { EXPECT_NE(workshop_current().picture, picture_of(ring)); });
    s.then([] { platform_post_message(msg_keydown, vk_control, 0); });
    key(s, 'S').post(msg_keyup, vk_control);
    type(s, "Ring");
    key(s, vk_tab);
    type(s, "Tess");
    key(s, vk_return).passes(2).then([] {
        EXPECT_FALSE(workshop_dirty());
        workshop_document back;
        std::string why;
        ASSERT_TRUE(workshop_read(puzzles_file("Ring.non"), &back, &why)) << why;
        EXPECT_EQ(back.title, "Ring");
        EXPECT_EQ(back.author, "Tess");
        EXPECT_EQ(back.picture, workshop_current().picture);
    });
    s.left_click(1152, 346).wait_mode(appmode_my_puzzles).then([] {
        EXPECT_EQ(my_puzzles_count(), 1);
        EXPECT_EQ(my_puzzles_chosen_path(), puzzles_file("Ring.non"));
    });
    key(s, 'P').wait_mode(appmode_necrogram).then([] { EXPECT_TRUE(workshop_playing()); });
    s.until(
        [pass = 0]() mutable {
            // One goal cell clicked every third pass until the board is captured.
            if (necrogram_captured())
                return true;
            if (++pass % 3)
                return false;
            const necrogram_board *b = necrogram_shown();
            const necrogram_layout l = necrogram_layout_for(b);
            for (int i = 0; i < b->width * b->height; ++i)
                if (b->puzzle.goal[(size_t)i] && b->marks[i] != mark_full) {
                    const int x = l.grid_x + l.cell * (i % b->width) + 4, y = l.grid_y + l.cell * (i / b->width) + 4;
                    platform_post_message(msg_mousemove, 0, (std::int32_t)((std::uint32_t)y << 16 | (std::uint32_t)x));
                    platform_post_message(msg_lbuttondown, mk_lbutton, 0);
                    platform_post_message(msg_lbuttonup, 0, 0);
                    break;
                }
            return false;
        },
        "the capture");
    s.passes(2).then([] { EXPECT_GE(workshop_best_seconds(workshop_key(workshop_current().picture)), 0); });
    key(s, vk_escape).wait_mode(appmode_my_puzzles).then([] { EXPECT_FALSE(workshop_playing()); });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
}

// Saved, reopened from My Puzzles, renamed (its old file goes), a save over another picture's
// name only after Yes, duplicated and deleted after the question; a failed save is told, and
// neither the file nor the picture in the Workshop is lost.
TEST_F(Workshop, SaveReopenRenameReplaceDuplicateDeleteAndAFailedSave) {
    static const workshop_picture heart = picture_of({
        ".##.##.",
        "#######",
        "#######",
        ".#####.",
        "..###..",
        "...#...",
        ".......",
    });
    s.skip_splash().then([] {
        workshop_set_document({heart, "Heart", "", ""});
        set_app_mode(appmode_workshop);
    });
    s.passes(2).then([] {
        workshop_save_open();
        workshop_save_set_fields("Heart", "Ann");
        workshop_save_confirm();
        EXPECT_TRUE(std::filesystem::exists(puzzles_file("Heart.non")));
        EXPECT_EQ(workshop_current().path, puzzles_file("Heart.non"));
        // Another picture, saved under the same title: the question comes first, and No keeps the file.
        workshop_picture dot = workshop_blank(5, 5);
        dot.cells[12] = 1;
        workshop_set_document({dot, "", "", ""});
        workshop_save_open();
        workshop_save_set_fields("Heart", "");
        workshop_save_confirm();
        EXPECT_TRUE(question_is_open());
    });
    key(s, vk_escape).then([] {
        EXPECT_FALSE(question_is_open());
        workshop_document kept;
        std::string why;
        ASSERT_TRUE(workshop_read(puzzles_file("Heart.non"), &kept, &why));
        EXPECT_EQ(kept.picture, heart);
        EXPECT_TRUE(workshop_dirty());
        workshop_save_open();
        workshop_save_set_fields("Heart", "");
        workshop_save_confirm();
    });
    key(s, 'Y').then([] {
        workshop_document replaced;
        std::string why;
        ASSERT_TRUE(workshop_read(puzzles_file("Heart.non"), &replaced, &why));
        EXPECT_EQ(replaced.picture.width, 5);
        // The heart again, saved as it was, then reopened from My Puzzles.
        workshop_set_document({heart, "Heart", "Ann", ""});
        workshop_save_open();
        workshop_save_confirm();
    });
    key(s, 'Y').then([this] {
        workshop_set_document({workshop_blank(6, 6), "", "", ""});
        set_app_mode(appmode_my_puzzles);
        my_puzzles_choose(puzzles_file("Heart.non"));
        mp_do_button(mp_edit_id);
        EXPECT_EQ(current_app_mode_get(), appmode_workshop);
        EXPECT_EQ(workshop_current().picture, heart);
        EXPECT_EQ(workshop_current().author, "Ann");
        EXPECT_FALSE(workshop_dirty());
        // Renamed: saved under a new title, its old file goes.
        workshop_save_open();
        workshop_save_set_fields("Red Heart", "Ann");
        workshop_save_confirm();
        EXPECT_FALSE(std::filesystem::exists(puzzles_file("Heart.non")));
        EXPECT_TRUE(std::filesystem::exists(puzzles_file("Red Heart.non")));
        EXPECT_EQ(workshop_current().title, "Red Heart");
        // A failed save: told, the old file unchanged, the picture still in the Workshop.
        const std::string before = file_text(puzzles_file("Red Heart.non"));
        ws_do_button(ws_invert_id);
        const workshop_picture inverted = workshop_current().picture;
        platform_file_fail_writes_after(10);
        workshop_save_open();
        workshop_save_confirm();
        platform_file_fail_writes_after(-1);
        ASSERT_EQ(rec.count(), 1u);
        EXPECT_EQ(rec.dialogs()[0].caption, "Picture Not Saved");
        EXPECT_EQ(file_text(puzzles_file("Red Heart.non")), before);
        EXPECT_EQ(workshop_current().picture, inverted);
        EXPECT_TRUE(workshop_dirty());
        rec.clear();
        // Duplicated, then the original deleted after the question.
        set_app_mode(appmode_my_puzzles);
        my_puzzles_choose(puzzles_file("Red Heart.non"));
        mp_do_button(mp_duplicate_id);
        EXPECT_EQ(my_puzzles_chosen_path(), puzzles_file("Red Heart copy.non"));
        EXPECT_EQ(my_puzzles_count(), 2);
        my_puzzles_choose(puzzles_file("Red Heart.non"));
        mp_do_button(mp_delete_id);
        EXPECT_TRUE(question_is_open());
    });
    key(s, 'Y').then([] {
        EXPECT_FALSE(std::filesystem::exists(puzzles_file("Red Heart.non")));
        EXPECT_EQ(my_puzzles_count(), 1);
        EXPECT_EQ(workshop_current().path, "") << "the Workshop's picture is no longer saved anywhere";
        EXPECT_EQ(workshop_current().picture.width, 7) << "but it is still there";
    });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
}

// Copy code puts the picture's game id on the clipboard; pasted back (Ctrl+V) it gives a picture
// of the same clues. Codes that cannot be read are told with their reason and change nothing; on
// the title, Ctrl+V opens a code in the Workshop.
TEST_F(Workshop, ACopiedCodePastedBackGivesTheSameClues) {
    static const workshop_picture cat = picture_of({
        "#...#",
        "##.##",
        "#####",
        "#.#.#",
        "#####",
        ".###.",
    });
    s.skip_splash().then([] {
        workshop_set_document({cat, "Cat", "", ""});
        set_app_mode(appmode_workshop);
    });
    s.passes(2).left_click(1152, 400).then([] {
        EXPECT_EQ(platform_clipboard_get(), "5x6:5/2.2/4/2.2/5/1.1/2.2/5/1.1.1/5/3");
        workshop_set_document({workshop_blank(8, 8), "", "", ""});
        platform_post_message(msg_keydown, vk_control, 0);
    });
    key(s, 'V').post(msg_keyup, vk_control).passes(2).then([this] {
        const workshop_picture p = workshop_current().picture;
        const pz_puzzle pasted = pz_from_picture(p.width, p.height, p.cells.data());
        const pz_puzzle original = pz_from_picture(cat.width, cat.height, cat.cells.data());
        EXPECT_EQ(pasted.rows, original.rows);
        EXPECT_EQ(pasted.columns, original.columns);
        EXPECT_EQ(workshop_current().path, "");
        EXPECT_EQ(rec.count(), 0u);
        // Codes that cannot be read: each told with its reason; the picture stays.
        const std::string bad[] = {"hello", "40x40:" + std::string(79, '/'), "5x5:6/////////", "5x5:1//1///2////"};
        const char *reasons[] = {"not a code Tombweaver can read", "40x40 picture", "not a code", "No picture fits"};
        for (int i = 0; i < 4; ++i) {
            platform_clipboard_set(bad[i]);
            EXPECT_FALSE(workshop_paste_code()) << bad[i];
            ASSERT_EQ(rec.count(), (size_t)i + 1);
            EXPECT_EQ(rec.dialogs()[(size_t)i].caption, "Code Not Read");
            EXPECT_NE(rec.dialogs()[(size_t)i].text.find(reasons[i]), std::string::npos)
                << rec.dialogs()[(size_t)i].text;
            EXPECT_EQ(workshop_current().picture, p);
        }
        rec.clear();
        platform_clipboard_set("5x5:1/1/1/1/1/1/1/1/1/1");
        workshop_set_document({workshop_blank(8, 8), "", "", ""}); // nothing unsaved to ask about
        set_app_mode(appmode_main_menu);
        platform_post_message(msg_keydown, vk_control, 0);
    });
    key(s, 'V').post(msg_keyup, vk_control).wait_mode(appmode_workshop).then([] {
        EXPECT_EQ(workshop_filled_count(workshop_current().picture), 5);
    });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
}

// `tombweaver --import` opens the Workshop with the picture in the Import Picture window;
// its cells at the size and threshold chosen become the picture. A damaged PNG dropped on
// the Workshop is told with its reason and changes nothing; a dropped puzzle file opens
// after the question (the imported picture is not saved).
TEST_F(Workshop, APngImportedFromTheCommandLineAndFilesDropped) {
    static temp_folder folder("tw_import_e2e");
    static const std::string png = (folder.root / "moon.png").string();
    std::vector<u32> pixels(40 * 20, 0xFFFFFFFFu);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            if ((x - 10) * (x - 10) + (y - 10) * (y - 10) < 64 || (x >= 25 && x < 35 && y >= 5 && y < 15))
                pixels[(size_t)(y * 40 + x)] = x < 20 ? 0xFF000000u : 0xFF707070u;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = 40;
    image.height = 20;
    image.format = PNG_FORMAT_BGRA;
    ASSERT_TRUE(png_image_write_to_file(&image, png.c_str(), 0, pixels.data(), 0, nullptr));
    static const std::string damaged = (folder.root / "damaged.png").string();
    std::ofstream(damaged, std::ios::binary) << file_text(png).substr(0, 60);
    static const std::string non = (folder.root / "dot.non").string();
    std::ofstream(non) << "title \"Dot\"\nwidth 5\nheight 5\nrows\n0\n0\n1\n0\n0\ncolumns\n0\n0\n1\n0\n0\n";

    s.command_line({"--import", png});
    s.wait_mode(appmode_workshop).then([] {
        ASSERT_TRUE(workshop_import_is_open());
        workshop_set_document({workshop_blank(10, 10), "", "", ""}); // nothing unsaved: Use asks nothing
        int w = 0, h = 0, t = 0;
        workshop_import_get(&w, &h, &t);
        EXPECT_EQ(std::pair(w, h), std::pair(20, 10));
        workshop_import_set(8, 4, 200); // only the black disk
        workshop_import_get(&w, &h, &t);
        EXPECT_EQ(std::pair(w, h), std::pair(8, 5)) << "no side below 5";
        const workshop_picture dark = workshop_import_cells();
        workshop_import_set(8, 5, 60); // the grey square too
        EXPECT_GT(workshop_filled_count(workshop_import_cells()), workshop_filled_count(dark));
        EXPECT_EQ(workshop_at(workshop_import_cells(), 6, 2), 1);
        EXPECT_EQ(workshop_at(dark, 6, 2), 0);
        EXPECT_EQ(workshop_at(dark, 2, 2), 1);
    });
    s.post(msg_keydown, vk_return).post(msg_keyup, vk_return).passes(2).then([] {
        EXPECT_FALSE(workshop_import_is_open());
        EXPECT_EQ(workshop_current().title, "moon");
        EXPECT_EQ(workshop_current().picture.width, 8);
        EXPECT_EQ(workshop_at(workshop_current().picture, 6, 2), 1);
    });
    s.drop({damaged}).passes(3).then([this] {
        ASSERT_EQ(rec.count(), 1u);
        EXPECT_EQ(rec.dialogs()[0].caption, "Picture Not Imported");
        EXPECT_NE(rec.dialogs()[0].text.find("the picture is damaged"), std::string::npos) << rec.dialogs()[0].text;
        EXPECT_FALSE(workshop_import_is_open());
        EXPECT_EQ(workshop_current().title, "moon");
        rec.clear();
    });
    s.drop({non}).passes(3).then([] { EXPECT_TRUE(question_is_open()); });
    key(s, 'Y').then([] {
        EXPECT_EQ(workshop_current().title, "Dot");
        EXPECT_EQ(workshop_filled_count(workshop_current().picture), 1);
    });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
}

} // namespace
