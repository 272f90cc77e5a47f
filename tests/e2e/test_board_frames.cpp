// test_board_frames.cpp -- the story's 10 x 10 and 15 x 15 boards composed exactly as they always were:
// a hash of each whole frame in a few states, against the hashes taken when the layout was fixed
#include "game/board/g_necrogram.h"
#include "game/board/g_necrogram_help.h"
#include "game_script.h"
#include "ui/ec_particles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// FNV-1a over the pixels of the last frame presented (as composed in the window).
std::string frame_hash() {
    int w = 0, h = 0;
    std::uint32_t n = 0;
    const std::uint32_t *frame = platform_video_captured_frame(&w, &h, &n);
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (long i = 0; frame && i < (long)w * h; ++i)
        for (int shift = 0; shift < 32; shift += 8)
            hash = (hash ^ ((frame[i] >> shift) & 0xFF)) * 0x100000001b3ull;
    char text[40];
    std::snprintf(text, sizeof text, "%dx%d %016llx", w, h, (unsigned long long)hash);
    return text;
}

game_script &key(game_script &s, unsigned vk) { return s.post(msg_keydown, vk).post(msg_keyup, vk).passes(2); }

// The frame a few passes later, without sparks (their places are random), into *out.
game_script &take(game_script &s, std::vector<std::string> *out) {
    return s.then([] { particles_clear(); }).passes(3).then([out] { out->push_back(frame_hash()); });
}

// The cell centre of a board of size n in the story's layout.
int cx(int n, int c) { return necrogram_story_layout(n).grid_x + 32 * c + 16; }
int cy(int n, int r) { return necrogram_story_layout(n).grid_y + 32 * r + 16; }

class BoardFrames : public fresh_game_test {};

TEST_F(BoardFrames, TheStorysBoardsAreDrawnAsBefore) {
    std::vector<std::string> seen;
    // Puzzle 0: two fills, a cross, the cursor on a cell (its strips and frame).
    open_board(s, 0);
    s.left_click(cx(10, 3), cy(10, 1)).left_click(cx(10, 4), cy(10, 1)).right_click(cx(10, 0), cy(10, 0));
    s.move(cx(10, 5), cy(10, 6));
    take(s, &seen);
    // A line hint shown, then the board captured: the banner across the middle, then the strip.
    key(s, 'T');
    take(s, &seen);
    s.then([] { set_app_mode(appmode_map), puzzle_set_active(0), set_app_mode(appmode_necrogram); }).passes(2);
    for (int r = 0; r < 10; ++r)
        for (int c : puzzle_0[r])
            s.left_click(cx(10, c), cy(10, r));
    take(s, &seen);
    s.passes(necrogram_reveal_end + 5);
    take(s, &seen);
    // Puzzle 4 (15 x 15): its full bottom row dimmed, a wrong fill with its warning sign
    // (mistake checking on), a crossed row by the keyboard, the keyboard cursor.
    s.then([] { set_app_mode(appmode_map), puzzle_set_active(4), set_app_mode(appmode_necrogram); }).passes(2);
    s.until([] { return necrogram_help_analysis()->ready; }, "the analysis");
    key(s, 'C').passes(90); // the switch's note fades
    s.ready().move(cx(15, 0), cy(15, 14)).post(msg_lbuttondown, mk_lbutton);
    for (int c = 1; c < 15; ++c)
        s.move(cx(15, c), cy(15, 14), mk_lbutton);
    s.post(msg_lbuttonup).passes(2).left_click(cx(15, 0), cy(15, 0)).move(1200, 300);
    key(key(s, 'X'), vk_down).post(msg_keydown, 'X');
    for (int i = 0; i < 4; ++i)
        s.post(msg_keydown, vk_right);
    s.post(msg_keyup, 'X').passes(2);
    take(s, &seen);
    key(s, 'C').passes(90);
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");

    const std::vector<std::string> expected = {
        "1280x720 cfd84ee8c0532746", // 10 x 10: marks, the cursor on a cell
        "1280x720 86c1fe49f191cb21", // a line hint, its reason outlined
        "1280x720 9ad7570577b81097", // captured: the banner across the middle, the picture beside it
        "1280x720 fc4dd08fe4b53df8", // the banner in its strip under the board
        "1280x720 c1fdee2336a90991", // 15 x 15: finished clues struck, wrong marks signed, the keyboard cursor,
                                     // checking lit
    };
    EXPECT_EQ(seen, expected);
}

} // namespace
