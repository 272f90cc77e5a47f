// test_library_play.cpp -- the picture library from the title: a picture played, kept, stepped past and
// captured, its record and the chapter it opens still there after a restart; a damaged progress
// file set aside and told
#include "game/board/g_necrogram.h"
#include "game/g_strings.h"
#include "game/library/g_library.h"
#include "game/library/g_library_progress.h"
#include "game/library/g_library_screen.h"
#include "game/title/g_main_menu.h"
#include "game_script.h"
#include "puzzle/pz_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr int library_button_x = 640 - 104,
              library_button_y = 477; // under the Tutorial, left of the Workshop, with no save

// The centre of chapter i's button in the list down the left.
int chapter_x() { return 272; }
int chapter_y(int i) { return 124 + 66 * i; }

game_script &key(game_script &s, unsigned vk) { return s.post(msg_keydown, vk).post(msg_keyup, vk).passes(2); }

std::pair<int, int> tile_centre(int index) {
    const library_tile_place t = library_tile_at(index, 20);
    return {t.x + t.size / 2, t.y + t.size / 2};
}

std::filesystem::path progress_file() { return save_folder_file_path(library_file_name); }

// The first chapter's picture names, from its file.
std::vector<std::string> first_chapter_names() {
    std::ifstream in(std::string(TW_SOURCE_DIR) + "/assets/library/01-creatures.txt");
    std::stringstream text;
    text << in.rdbuf();
    pz_library_chapter c;
    pz_error err;
    EXPECT_TRUE(pz_read_library_chapter(text.str(), "01-creatures.txt", &c, &err)) << pz_error_text(err);
    std::vector<std::string> names;
    for (const pz_puzzle &p : c.pictures)
        names.push_back(p.title);
    return names;
}

class LibraryPlay : public fresh_game_test {
protected:
    void SetUp() override {
        fresh_game_test::SetUp();
        save_file_init_path();
        std::filesystem::remove(progress_file());
        std::filesystem::remove(progress_file().string() + ".damaged");
        library_progress_forget_told();
    }
};

// Pictures 2 to 15 of the first chapter solved: one short of opening the second. The first
// picture, from its tile: a cell filled, then Next keeps that board and shows the second, Prev
// brings it back; hints capture it, named on the banner and recorded; Back shows it large, a
// key puts the page back, and the second chapter is open. After a restart both are still there.
TEST_F(LibraryPlay, APictureSolvedOpensTheNextChapterAndIsKeptAcrossARestart) {
    const std::vector<std::string> names = first_chapter_names();
    ASSERT_EQ(names.size(), 20u);
    {
        std::ofstream out(progress_file());
        out << "tombweaver library 1\n";
        for (int i = 1; i <= 14; ++i)
            out << "solved\t60\t0\t" << names[(std::size_t)i] << "\n";
    }
    s.skip_splash().left_click(library_button_x, library_button_y).wait_mode(appmode_library).passes(2);
    s.left_click(chapter_x(), chapter_y(0)).passes(2).then([] {
        EXPECT_EQ(library_screen_page(), 0);
        EXPECT_EQ(library_screen_tiles(), 20);
    });
    key(s, vk_next).then([] {
        EXPECT_EQ(library_screen_page(), 1);
        EXPECT_EQ(library_screen_tiles(), 0);
        EXPECT_EQ(library_screen_missing(), 1);
    });
    key(s, vk_prior);
    auto [tx, ty] = tile_centre(0);
    s.left_click(tx, ty).wait_mode(appmode_necrogram).passes(2).then([] {
        ASSERT_TRUE(library_on());
        EXPECT_EQ(std::pair(library_current_chapter(), library_current_index()), std::pair(0, 0));
        EXPECT_EQ(necrogram_shown()->width, 5);
    });
    // A cell marked, then the next picture and back: the mark is kept for it.
    key(key(key(s, vk_right), vk_right), vk_space).then([] { EXPECT_EQ(necrogram_get_mark(0, 1), mark_full); });
    key(s, vk_next).wait_mode(appmode_necrogram).passes(1).then([&names] {
        EXPECT_EQ(library_current_index(), 1);
        EXPECT_NE(library_board_find(library_progress_read(), names[0]), nullptr);
    });
    key(s, vk_prior).wait_mode(appmode_necrogram).passes(1).then([] {
        EXPECT_EQ(necrogram_get_mark(0, 1), mark_full);
    });
    press_hints_until_captured(s);
    s.passes(3).then([&names] {
        const library_progress p = library_progress_read();
        const library_record *r = library_record_find(p, names[0]);
        ASSERT_NE(r, nullptr);
        EXPECT_GT(r->hints, 0);
        EXPECT_EQ(library_board_find(p, names[0]), nullptr);
    });
    key(s, vk_escape).wait_mode(appmode_library).passes(1).then([] {
        EXPECT_EQ(library_screen_page(), 0);
        EXPECT_EQ(library_screen_showcase(), 0);
        EXPECT_EQ(library_screen_tiles(), 0);
    });
    key(s, vk_return).then([] {
        EXPECT_EQ(library_screen_showcase(), -1);
        EXPECT_EQ(library_screen_tiles(), 20);
    });
    key(s, vk_next).then([] {
        EXPECT_EQ(library_screen_page(), 1);
        EXPECT_EQ(library_screen_missing(), 0);
        EXPECT_EQ(library_screen_tiles(), 20);
    });
    EXPECT_EQ(s.close().run(), 0);

    // A new run: the record and the open chapter are read back.
    game_script again;
    again.skip_splash().left_click(library_button_x, library_button_y).wait_mode(appmode_library).passes(2);
    again.left_click(chapter_x(), chapter_y(1)).passes(2).then([&names] {
        EXPECT_EQ(library_screen_page(), 1);
        EXPECT_EQ(library_screen_tiles(), 20);
        EXPECT_NE(library_record_find(library_progress_read(), names[0]), nullptr);
    });
    key(again, vk_escape).wait_mode(appmode_main_menu);
    EXPECT_EQ(again.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_TRUE(save_read().empty()); // the library never makes the story's save
}

// A progress file that is not ours is moved aside and told once; the library starts afresh,
// the second chapter locked.
TEST_F(LibraryPlay, ADamagedProgressFileIsMovedAsideAndTold) {
    std::ofstream(progress_file()) << "tombweaver library 1\nsolved\tmany\t0\tGhost\n";
    s.skip_splash().left_click(library_button_x, library_button_y).wait_mode(appmode_library).passes(2);
    s.then([this] {
        ASSERT_EQ(rec.count(), 1u);
        EXPECT_EQ(rec.dialogs()[0].caption, "Library Progress Not Read");
        EXPECT_TRUE(std::filesystem::exists(progress_file().string() + ".damaged"));
        EXPECT_FALSE(std::filesystem::exists(progress_file()));
        EXPECT_EQ(window_button_labels(library_window_get()),
                  (std::vector<dword>{str_ng_previous, str_ng_next, str_map_back}));
    });
    s.left_click(chapter_x(), chapter_y(1)).passes(2).then([] {
        EXPECT_EQ(library_screen_page(), 1);
        EXPECT_EQ(library_screen_missing(), 15);
        EXPECT_EQ(library_screen_tiles(), 0);
    });
    key(s, vk_escape).wait_mode(appmode_main_menu);
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 1u);
}

} // namespace
