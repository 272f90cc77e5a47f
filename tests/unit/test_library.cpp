// test_library.cpp -- the picture library: its chapter files read, and every picture fair
#include "puzzle/pz_grade.h"
#include "puzzle/pz_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

TEST(LibraryChapter, ReadsNamesAndRowsAndRefusesWhatIsNotAPicture) {
    pz_library_chapter c;
    pz_error err;
    ASSERT_TRUE(
        pz_read_library_chapter("# small ones\nchapter: Tests\n\npicture: Plus\n.#.\n###\n.#.\n\n"
                                "picture: Bar\n#####\n",
                                "t.txt", &c, &err))
        << pz_error_text(err);
    EXPECT_EQ(c.name, "Tests");
    ASSERT_EQ(c.pictures.size(), 2u);
    EXPECT_EQ(c.pictures[0].title, "Plus");
    EXPECT_EQ(c.pictures[0].rows, (std::vector<pz_clue>{{1}, {3}, {1}}));
    EXPECT_EQ(c.pictures[1].columns, (std::vector<pz_clue>(5, pz_clue{1})));
    EXPECT_TRUE(pz_check(c.pictures[0], nullptr));

    const struct {
        const char *text;
        int line;
        const char *reason;
    } bad[] = {
        {"chapter: A\n##\n", 2, "a row outside a picture"},
        {"chapter: A\npicture: B\n##\n#\n", 4, "a row of 1 cells in a picture 2 wide"},
        {"picture: B\n##\n", 1, "a picture before the chapter line"},
        {"chapter: A\npicture: B\n\n", 2, "picture \"B\" has no rows"},
        {"chapter: A\nchapter: B\n", 2, "a second chapter line"},
        {"chapter: A\nwho knows\n", 2, "not a row, a name or a comment"},
        {"# nothing\n", 2, "no chapter line"},
    };
    for (const auto &b : bad) {
        EXPECT_FALSE(pz_read_library_chapter(b.text, "t.txt", &c, &err)) << b.text;
        EXPECT_EQ(err.line, b.line) << b.text;
        EXPECT_EQ(err.reason, b.reason) << b.text;
    }
}

std::vector<pz_library_chapter> shipped() {
    std::vector<fs::path> files;
    for (const auto &e : fs::directory_iterator(fs::path(TW_SOURCE_DIR) / "assets" / "library"))
        if (e.path().extension() == ".txt")
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::vector<pz_library_chapter> chapters;
    for (const fs::path &f : files) {
        std::ifstream in(f);
        std::stringstream text;
        text << in.rdbuf();
        pz_library_chapter c;
        pz_error err;
        EXPECT_TRUE(pz_read_library_chapter(text.str(), f.filename().string(), &c, &err)) << pz_error_text(err);
        chapters.push_back(std::move(c));
    }
    return chapters;
}

// Every picture: one solution that logic reaches without a guess, a unique name, a size of 5
// to 30 a side; within a chapter sizes and grades never fall.
TEST(Library, EveryPictureIsFairAndTheChaptersRiseGently) {
    const std::vector<pz_library_chapter> chapters = shipped();
    EXPECT_GE(chapters.size(), 6u);
    std::set<std::string> names;
    int pictures = 0, not_square = 0;
    const pz_limits limits{.max_steps = 0, .seconds = 20, .cancel = nullptr};
    int first_cells = 0, most_cells = 0; // the chapter before's smallest and largest
    for (const pz_library_chapter &c : chapters) {
        ASSERT_FALSE(c.pictures.empty()) << c.name;
        // Across the library too, sizes rise: each chapter starts and ends no smaller.
        const auto cells = [](const pz_puzzle &p) { return p.width * p.height; };
        EXPECT_GE(cells(c.pictures.front()), first_cells) << c.name;
        EXPECT_GE(cells(c.pictures.back()), most_cells) << c.name;
        first_cells = cells(c.pictures.front());
        most_cells = cells(c.pictures.back());
        int last_cells = 0;
        pz_grade last_grade = pz_grade::easy;
        for (const pz_puzzle &p : c.pictures) {
            const std::string where = c.name + ": " + p.title;
            ++pictures;
            not_square += p.width != p.height;
            EXPECT_TRUE(names.insert(p.title).second) << where << " named twice";
            EXPECT_TRUE(p.width >= 5 && p.width <= 30 && p.height >= 5 && p.height <= 30) << where;
            const pz_grading g = pz_grade_puzzle(p, limits);
            EXPECT_NE(g.grade, pz_grade::search) << where << " needs a guess or has several solutions";
            EXPECT_GE(p.width * p.height, last_cells) << where << " is smaller than the picture before it";
            EXPECT_GE((int)g.grade, (int)last_grade) << where << " is easier than the picture before it";
            last_cells = p.width * p.height;
            last_grade = std::max(last_grade, g.grade);
        }
    }
    EXPECT_GE(pictures, 120);
    EXPECT_GE(not_square, 10);
}

} // namespace
