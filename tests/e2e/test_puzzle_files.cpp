// test_puzzle_files.cpp -- puzzles from files: named on the command line or dropped on the
// window, the list stepped through, and the files and puzzles refused with a box
#include "game/board/g_necrogram.h"
#include "game/freeplay/g_freeplay.h"
#include "game/g_busy.h"
#include "game/g_question.h"
#include "game/g_strings.h"
#include "game/story/g_story_board.h"
#include "game_script.h"
#include "puzzle/pz_format.h"

#include <fstream>
#include <random>

namespace {

// A puzzle drawn with '#' for its filled cells, one string a row; the drawing is its goal.
pz_puzzle drawn(const std::vector<std::string> &rows, const std::string &title = "") {
    std::vector<uint8_t> cells;
    for (const std::string &row : rows)
        for (char c : row)
            cells.push_back(c == '#');
    pz_puzzle p = pz_from_picture((int)rows[0].size(), (int)rows.size(), cells.data());
    p.title = title;
    return p;
}

const std::vector<std::string> tombstone = {
    "...#...", "..###..", "...#...", ".#####.", "#.....#", "#.#.#.#", "#.###.#",
    "#..#..#", "#..#..#", "#.....#", "#######", ".#####.", "#######",
};
const std::vector<std::string> ghost = {".###.", "#####", "#.#.#", "#####", "#.#.#"};
const std::vector<std::string> bat = {"#...#", "##.##", "#####", ".###.", "..#.."};

class puzzle_files_test : public fresh_game_test {
protected:
    // The texts of the refusals' boxes so far, which are then forgotten.
    std::vector<std::string> told() {
        std::vector<std::string> texts;
        for (const recorded_dialog &d : rec.dialogs())
            if (d.caption == "Puzzle Not Opened")
                texts.push_back(d.text);
        rec.clear();
        return texts;
    }
    // Writes a file into the test's folder; its path.
    std::string write(const char *name, const std::string &text) {
        const std::string path = (dir.root / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    temp_folder dir{"tw-puzzle-files"};
};

// Presses and releases a key.
void key(unsigned virtual_key) {
    platform_post_message(msg_keydown, virtual_key, 0);
    platform_post_message(msg_keyup, virtual_key, 0);
}

// Fills a picture's cells with the keys, wherever the board lays its cells out: the
// first arrow shows the cursor, which goes to the top row, then each row from its left end.
void fill_by_keys(game_script &s, const std::vector<std::string> &picture) {
    s.then([rows = picture.size()] {
        for (size_t i = 0; i <= rows; ++i)
            key(vk_up);
    });
    for (const std::string &row : picture)
        s.then([row] {
            for (size_t i = 0; i < row.size(); ++i)
                key(vk_left);
            for (char c : row) {
                if (c == '#')
                    key(vk_space);
                key(vk_right);
            }
            key(vk_down);
        });
}

TEST_F(puzzle_files_test, a_non_file_named_on_the_command_line_is_played_to_capture_in_place_of_the_title) {
    const std::string path = write("tomb.non", pz_write_non(drawn(tombstone, "Tombstone")));
    s.command_line({"--window", path});
    s.wait_mode(appmode_splash).ready().post(msg_lbuttondown, mk_lbutton).post(msg_lbuttonup);
    s.until([] { return current_app_mode_get() != appmode_splash; }, "the splash gone").then([] {
        ASSERT_EQ(appmode_necrogram, current_app_mode_get()) << "the title came instead of the board";
        const freeplay_puzzle *p = freeplay_current();
        EXPECT_EQ("tomb.non: Tombstone", p->caption);
        EXPECT_EQ(std::pair(7, 13), std::pair(p->puzzle.width, p->puzzle.height));
        EXPECT_EQ(drawn(tombstone).goal, p->puzzle.goal);
        EXPECT_FALSE(p->several_solutions);
        EXPECT_EQ(1, p->list_count);
    });
    fill_by_keys(s, tombstone);
    s.until([] { return necrogram_captured(); }, "the capture").close();
    EXPECT_EQ(0, s.run());
    EXPECT_EQ(0u, rec.count());
    EXPECT_FALSE(save_exists()) << "free play wrote the story's save";
}

TEST_F(puzzle_files_test, a_dropped_file_of_game_ids_is_a_list_stepped_through_with_its_refusals_told_on_the_way) {
    const std::string ids = write("pairs.txt", "# made for the test\n" + pz_write_id(drawn(ghost)) + "\n" +
                                                   pz_write_id(drawn(bat)) + "\n2x2:1/1/1/1\n3x1:1/1//1.1\n");
    // The splash takes no drop.
    s.wait_mode(appmode_splash).drop({ids}).passes(3).then([] { EXPECT_EQ(appmode_splash, current_app_mode_get()); });
    // Nor does a question waiting for its answer.
    s.skip_splash().then([] { question_open(str_mm_new_game_caption, nullptr, nullptr, nullptr); });
    s.drop({ids}).passes(3).then([] {
        EXPECT_EQ(appmode_main_menu, current_app_mode_get());
        question_keydown(vk_escape);
    });
    s.drop({ids}).wait_mode(appmode_necrogram).then([this, ids] {
        const freeplay_puzzle *p = freeplay_current();
        EXPECT_EQ("pairs.txt (1 of 4)", p->caption);
        EXPECT_EQ(drawn(ghost).goal, p->puzzle.goal);
        EXPECT_FALSE(freeplay_step(-1)) << "before the first";

        ASSERT_TRUE(freeplay_step(1));
        p = freeplay_current();
        EXPECT_EQ("pairs.txt (2 of 4)", p->caption);
        EXPECT_EQ(std::tuple(ids, 1, 1), std::tuple(p->path, p->index_in_file, p->list_index));
        EXPECT_EQ(drawn(bat).goal, p->puzzle.goal);
        EXPECT_EQ(appmode_necrogram, current_app_mode_get());

        // Two pictures fit the third's clues: either captures it, and the first found is its goal.
        ASSERT_TRUE(freeplay_step(1));
        p = freeplay_current();
        EXPECT_TRUE(p->several_solutions);
        EXPECT_TRUE(p->puzzle.goal == std::vector<uint8_t>({1, 0, 0, 1}) ||
                    p->puzzle.goal == std::vector<uint8_t>({0, 1, 1, 0}));
        EXPECT_EQ(0u, told().size());

        // The last has no solution: told when reached, and the board stays on the third.
        EXPECT_FALSE(freeplay_step(1));
        EXPECT_EQ(std::vector<std::string>{ids + ": puzzle 4 has no solution"}, told());
        EXPECT_EQ(2, freeplay_current()->list_index);
        ASSERT_TRUE(freeplay_step(-1));
        EXPECT_EQ("pairs.txt (2 of 3)", freeplay_current()->caption);
    });
    s.close();
    EXPECT_EQ(0, s.run());
}

TEST_F(puzzle_files_test,
       a_damaged_file_a_puzzle_over_30x30_and_one_without_solution_are_refused_and_the_game_goes_on) {
    const std::string damaged = write("damaged.non", "width 5\nheight five\n");
    const std::vector<std::string> big(31, std::string(31, '#'));
    const std::string too_big = write("big.non", pz_write_non(drawn(big)));
    const std::string unsolvable = write("none.non", "width 3\nheight 1\nrows\n1,1\ncolumns\n1\n1\n0\n");
    const std::vector<std::string> refused = {
        damaged + ":2: the height \"five\" is not a number",
        too_big + ": the puzzle is 31x31: boards go up to 30x30",
        unsolvable + ": the puzzle has no solution",
    };
    // Named on the command line: the boxes, then the title as usual.
    s.command_line({"--window", damaged, "--", too_big, unsolvable});
    s.skip_splash().then([&] {
        EXPECT_EQ(refused, told());
        set_app_mode(appmode_map);
    });
    // Dropped on the map, and on a story board: the boxes, and the screen stays.
    s.drop({damaged, too_big, unsolvable}).passes(2).then([&] {
        EXPECT_EQ(appmode_map, current_app_mode_get());
        EXPECT_EQ(refused, told());
    });
    // Many at once: five boxes, the last counting the rest.
    const std::string missing = (dir.root / "missing.non").string();
    s.drop(std::vector<std::string>(7, missing)).passes(2).then([&] {
        const std::vector<std::string> texts = told();
        ASSERT_EQ(5u, texts.size());
        EXPECT_EQ(missing + ": No such file or directory", texts[0]);
        EXPECT_EQ(missing + ": No such file or directory\n\nAnd 2 more puzzles or files could not be played.",
                  texts[4]);
    });
    s.then([] { story_board_play(0); }).drop({unsolvable}).passes(2).then([&] {
        EXPECT_EQ(appmode_necrogram, current_app_mode_get());
        EXPECT_FALSE(freeplay_on());
        EXPECT_EQ(std::vector<std::string>{refused[2]}, told());
    });
    s.close();
    EXPECT_EQ(0, s.run());
}

// An accented file name and title (any byte past ASCII) are drawn through the font's Latin-1,
// on the board and on the free-play screen, with no assertion; a long name is cut in the
// caption with its extension kept.
TEST_F(puzzle_files_test, an_accented_or_long_file_name_is_shown_safely_on_the_board_and_the_free_play_screen) {
    const std::string path = write("caf\xC3\xA9.non", pz_write_non(drawn(ghost, "Cr\xC3\xA2ne \xE6\x97\xA5")));
    const std::string long_name = std::string(60, 'w') + ".non";
    EXPECT_EQ(freeplay_file_caption("/x/" + long_name, ""),
              std::string(15, 'w') + "..." + std::string(10, 'w') + ".non");
    s.command_line({"--window", path});
    s.wait_mode(appmode_splash).ready().post(msg_lbuttondown, mk_lbutton).post(msg_lbuttonup);
    s.until([] { return current_app_mode_get() != appmode_splash; }, "the splash gone").then([] {
        ASSERT_EQ(appmode_necrogram, current_app_mode_get());
        EXPECT_EQ("caf\xC3\xA9.non: Cr\xC3\xA2ne \xE6\x97\xA5", freeplay_current()->caption);
    });
    s.then([] { platform_post_message(msg_keydown, 'X', 0), platform_post_message(msg_keyup, 'X', 0); });
    s.then([] { platform_post_message(msg_keydown, 'X', 0), platform_post_message(msg_keyup, 'X', 0); });
    s.passes(4).post(msg_keydown, vk_escape).post(msg_keyup, vk_escape).wait_mode(appmode_freeplay).passes(4);
    s.close();
    EXPECT_EQ(0, s.run());
    EXPECT_TRUE(rec.assertions().empty()) << rec.assertions().front();
}

// A 30 x 30 puzzle without a solution whose proof takes the solver a while, drawn at random
// (a fixed seed) with two of its columns' clues swapped.
std::string slow_unsolvable() {
    std::mt19937 rng(1);
    std::vector<uint8_t> cells(900);
    for (uint8_t &c : cells)
        c = rng() % 100 < 45;
    pz_puzzle p = pz_from_picture(30, 30, cells.data());
    std::swap(p.columns[0], p.columns[1]);
    p.goal.clear();
    return pz_write_non(p);
}

// Checking a file of slow puzzles keeps the window drawn with the box; Escape stops it and the
// game stays where it was; closing the window during the checks ends the program.
TEST_F(puzzle_files_test, escape_stops_the_checks_of_a_hard_file_and_closing_ends_them) {
    std::string text = slow_unsolvable();
    for (int i = 0; i < 30; ++i)
        text += "---\n" + slow_unsolvable();
    const std::string hard = write("hard.non", text);
    s.skip_splash().drop({hard}).until([] { return busy_active(); }, "the checks under way");
    // The box's frame at its top-left corner, over the title.
    s.until([] { return frame_pixel(260, 312) == 0xFFE8B848u; }, "the box drawn meanwhile");
    s.post(msg_keydown, vk_escape).post(msg_keyup, vk_escape).until([] { return !busy_active(); }, "the stop");
    s.passes(2).then([this] {
        EXPECT_EQ(appmode_main_menu, current_app_mode_get());
        for (const std::string &t : told())
            EXPECT_NE(t.find("puzzle"), std::string::npos) << t; // refused before the stop, nothing else
    });
    s.drop({hard}).until([] { return busy_active(); }, "the checks again").close();
    EXPECT_EQ(0, s.run());
    EXPECT_EQ(appmode_exit, current_app_mode_get());
}

} // namespace
