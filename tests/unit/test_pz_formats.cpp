// The puzzle formats: .non, the puzzle-site XML and game ids read as written by hand and
// written back unchanged; damaged and hostile texts refused with the line and the reason;
// several puzzles a file; whole files and the format guessed from the content.
#include "puzzle/pz_format.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// clang-format off
// A 5x4 picture: an arrow, with a blank third row.
const uint8_t arrow[] = {0, 0, 1, 0, 0,
                         1, 1, 1, 1, 0,
                         0, 0, 0, 0, 0,
                         1, 0, 1, 0, 1};
// clang-format on

pz_puzzle arrow_puzzle() {
    pz_puzzle p = pz_from_picture(5, 4, arrow);
    p.title = "Arrow \"quoted\" C:\\up";
    p.author = "Oakhollow";
    p.copyright = "(c) 2026";
    p.catalogue = "#7";
    return p;
}

pz_puzzle random_puzzle(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> cells(static_cast<size_t>(width) * height);
    for (uint8_t &c : cells)
        c = random() % 100 < 45;
    return pz_from_picture(width, height, cells.data());
}

pz_puzzle read_non(const std::string &text) {
    std::vector<pz_puzzle> p;
    pz_error e;
    EXPECT_TRUE(pz_read_non(text, "t.non", &p, &e)) << pz_error_text(e);
    EXPECT_EQ(1u, p.size());
    return p.empty() ? pz_puzzle{} : p[0];
}

std::vector<pz_puzzle> read_text(const std::string &text, const std::string &name) {
    std::vector<pz_puzzle> out;
    pz_error e;
    EXPECT_TRUE(pz_read_text(text, name, &out, &e)) << pz_error_text(e);
    return out;
}

} // namespace

// Every field a format holds comes back as it went out, at the sizes' limits too.
TEST(pz_formats, writing_and_reading_back_gives_the_same_puzzle) {
    std::vector<pz_puzzle> puzzles = {arrow_puzzle(), random_puzzle(1, 1, 1), random_puzzle(7, 13, 2),
                                      random_puzzle(200, 200, 3), random_puzzle(200, 1, 4)};
    pz_puzzle blank = pz_from_picture(3, 2, std::vector<uint8_t>(6).data());
    blank.goal.clear();
    puzzles.push_back(blank);
    puzzles.back().title = "line\nbreak";
    for (const pz_puzzle &p : puzzles) {
        SCOPED_TRACE(pz_write_id(p).substr(0, 40));
        pz_puzzle back = read_non(pz_write_non(p));
        if (p.title == "line\nbreak")
            EXPECT_EQ("line break", back.title); // a .non line cannot hold a line break
        else
            EXPECT_EQ(p, back);

        pz_puzzle from_id;
        std::string why;
        ASSERT_TRUE(pz_read_id(pz_write_id(p), &from_id, &why)) << why;
        EXPECT_EQ(p.rows, from_id.rows);
        EXPECT_EQ(p.columns, from_id.columns);
    }
    EXPECT_EQ("5x4:1.1/1/2.1/1/1/1/4//1.1.1", pz_write_id(arrow_puzzle()));
    EXPECT_EQ("3x2:////", pz_write_id(blank));
}

// Hand-written texts in each format: comments, blank and "0" lines, quotes, unknown keys,
// CRLF and a byte-order mark; several puzzles a file; the format found from the content.
TEST(pz_formats, hand_written_files_of_each_format_are_read) {
    pz_puzzle want = arrow_puzzle();
    const std::string non =
        "\xEF\xBB\xBF# made by hand\r\n"
        "catalogue \"#7\"\r\ntitle \"Arrow \\\"quoted\\\" C:\\\\up\"\nby Oakhollow\n"
        "copyright (c) 2026\nlicense CC0\nWIDTH 5\nheight 4\n\nrows\n1\n4\n\n1, 1, 1\n\ncolumns\n"
        "1,1\n1\n# the middle column\n2,1\n1\n1\ngoal 00100 11110 00000 10101\n";
    EXPECT_EQ(want, read_non(non));

    const std::string xml = R"(<?xml version="1.0"?>
<!DOCTYPE pbn SYSTEM "pbn-0.3.dtd" [ <!ENTITY x "y"> ]>
<puzzleset><source>made here</source>
<puzzle type="grid" defaultcolor="black">
<color name="white" char=".">fff</color><color name="black" char="X">000</color>
<title>Arrow &quot;quoted&quot; C:\up</title><author>Oakhollow</author><copyright>&#40;c&#x29; 2026</copyright>
<id>#7</id><!-- clues follow -->
<clues type="columns"><line><count>1</count><count>1</count></line><line><count>1</count></line>
<line><count>2</count><count>1</count></line><line><count>1</count></line><line><count color="black">1</count></line></clues>
<clues type="rows"><line><count>1</count></line><line><count>4</count></line><line/>
<line><count>1</count><count>1</count><count>1</count></line></clues>
<solution type="goal"><image>
|..X..|
|XXXX.|
|.....|
|X.X.X|
</image></solution>
</puzzle>
<puzzle><clues type="rows"><line><count><![CDATA[1]]></count></line></clues><clues type="columns"><line><count>1</count></line></clues></puzzle>
</puzzleset>
)";
    std::vector<pz_puzzle> set = read_text(xml, "set.xml");
    ASSERT_EQ(2u, set.size());
    EXPECT_EQ(want, set[0]);
    EXPECT_EQ((std::vector<pz_clue>{{1}}), set[1].rows);

    std::vector<pz_puzzle> ids =
        read_text("# two ids\n\n5x4:1.1/1/2.1/1/1/1/4//1.1.1\r\n 1x1:0/0 \n2x1: 0 / 0 /\t0\t\n", "ids");
    ASSERT_EQ(3u, ids.size());
    EXPECT_EQ((std::vector<pz_clue>{{}}), ids[2].rows);
    EXPECT_EQ(want.rows, ids[0].rows);
    EXPECT_EQ(want.columns, ids[0].columns);
    EXPECT_EQ(1, ids[1].width);

    EXPECT_EQ(pz_format_xml, pz_detect("a.non", "  <puzzle>"));
    EXPECT_EQ(pz_format_id, pz_detect("a.non", "#\n10x5:"));
    EXPECT_EQ(pz_format_non, pz_detect("a.txt", "width 5"));
    EXPECT_EQ(pz_format_xml, pz_detect("A.XML", ""));
    EXPECT_EQ(pz_format_id, pz_detect("a.txt", "\n"));
    EXPECT_EQ(pz_format_non, pz_detect("a", ""));

    temp_folder folder("pz_formats");
    std::ofstream(folder.root / "a.non") << pz_write_non(want);
    std::vector<pz_puzzle> from_file;
    pz_error e;
    ASSERT_TRUE(pz_read_file((folder.root / "a.non").string(), &from_file, &e)) << pz_error_text(e);
    EXPECT_EQ(std::vector<pz_puzzle>{want}, from_file);
    EXPECT_FALSE(pz_read_file((folder.root / "none.non").string(), &from_file, &e));
    EXPECT_EQ((folder.root / "none.non").string() + ": No such file or directory", pz_error_text(e));
    EXPECT_EQ(1u, from_file.size());
}

// Only regular files are read: a named pipe, a device or a folder in a puzzle file's place
// is refused at once instead of waiting for a writer or reading forever.
TEST(pz_formats, only_regular_files_are_read) {
    temp_folder folder("pz_formats");
    const std::string fifo = (folder.root / "pipe.non").string();
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    // A writer that opens the pipe as soon as a reader waits on it and sends nothing, so
    // that a reader that waits is let go again (and reads an empty text) instead of hanging.
    std::atomic<bool> done{false};
    std::thread writer([&] {
        while (!done) {
            const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                close(fd);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    std::vector<pz_puzzle> out;
    pz_error e;
    EXPECT_FALSE(pz_read_file(fifo, &out, &e));
    done = true;
    writer.join();
    EXPECT_EQ(fifo + ": not a regular file", pz_error_text(e));
    for (const std::string &path : {std::string("/dev/null"), folder.root.string()}) {
        EXPECT_FALSE(pz_read_file(path, &out, &e));
        EXPECT_EQ(path + ": not a regular file", pz_error_text(e));
    }
    EXPECT_TRUE(out.empty());
}

// Text from a file made safe to print: controls and broken UTF-8 as \xHH, the rest kept.
TEST(pz_formats, printable_text_escapes_controls_and_broken_utf8_only) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"plain \\ text", "plain \\ text"},
        {std::string("a\0b\tc\x1b[0m\x7f", 10), "a\\x00b\\x09c\\x1b[0m\\x7f"},
        {"\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"}, // 2, 3 and 4 bytes
        {"\xc2\x9b"
         "1m \xc2\xa0",
         "\\xc2\\x9b"
         "1m \xc2\xa0"},                                    // C1 CSI; no-break space
        {"\xc0\xaf \xed\xa0\x80 \xf4\x90\x80\x80 \xe2\x82", // overlong, surrogate, too high, cut
         "\\xc0\\xaf \\xed\\xa0\\x80 \\xf4\\x90\\x80\\x80 \\xe2\\x82"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.out, pz_printable(c.in));
        EXPECT_EQ(c.out, pz_printable(c.out)); // a second pass changes nothing
    }
}

// Several puzzles in one .non text, each after a line "---": read back in order, a fault
// named by its line in the whole text, a part without a puzzle refused.
TEST(pz_formats, several_puzzles_in_one_non_text_are_read_in_order) {
    const pz_puzzle a = arrow_puzzle(), b = random_puzzle(7, 3, 5);
    pz_puzzle c = random_puzzle(2, 2, 6);
    c.goal.clear();
    const std::string joined =
        pz_write_non(a) + pz_non_separator + "\n" + pz_write_non(b) + "\n  ---  \r\n# c\n\n" + pz_write_non(c);
    EXPECT_EQ((std::vector<pz_puzzle>{a, b, c}), read_text(joined, "three.non"));
    EXPECT_EQ((std::vector<pz_puzzle>{a, b, c}), read_text(joined, "three.txt")); // by content, not name

    const std::string head = "width 1\nheight 1\nrows\n1\ncolumns\n1\n";
    const struct {
        std::string text;
        int line;
        std::string reason;
    } refused[] = {
        {head + "---\n" + head + "width 2\n", 14, "a second width (the first is on line 8)"},
        {head + "---\n# nothing\n---\n" + head, 9, "no puzzle before the --- on line 9"},
        {"---\n" + head, 1, "no puzzle before the --- on line 1"},
        {head + "---\n\n", 8, "no puzzle after the --- on line 7"},
        {"width 1\nheight 1\nrows\n---\n", 4, "the rows block ends after 0 of its 1 lines"},
    };
    for (const auto &r : refused) {
        SCOPED_TRACE(r.text);
        std::vector<pz_puzzle> out;
        pz_error e;
        EXPECT_FALSE(pz_read_text(r.text, "a.non", &out, &e));
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(r.line, e.line);
        EXPECT_EQ(r.reason, e.reason);
    }
}

// Damaged and hostile texts: each refused at its line with its reason, nothing returned.
TEST(pz_formats, damaged_and_hostile_texts_are_refused_with_the_line_and_reason) {
    const std::string head = "width 2\nheight 2\n";
    const std::string good_rows = "rows\n1\n1\n";
    const std::string good_columns = "columns\n1\n1\n";
    const std::string megabyte(1 << 20, '1');
    const std::string deep = [] {
        std::string s = "<puzzleset>";
        for (int i = 0; i < 40; ++i)
            s += "<a>";
        return s;
    }();
    std::string many_ids, many_nons, many_attributes;
    for (int i = 0; i <= 10000; ++i) {
        many_ids += "1x1:1/1\n";
        many_nons += (i ? "---\n" : "") + std::string("width 1\nheight 1\nrows\n1\ncolumns\n1\n");
    }
    for (int i = 0; i <= 32; ++i)
        many_attributes += " a" + std::to_string(i) + "='1'";
    struct refusal {
        std::string name, text;
        int line;
        std::string reason;
    } cases[] = {
        // .non
        {"a.non", "", 0, "no width"},
        {"a.non", "width 201\n", 1, "the width \"201\" is over 200"},
        {"a.non", "width 0\n", 1, "the width is 0"},
        {"a.non", "width -3\n", 1, "the width \"-3\" is negative"},
        {"a.non", "width 99999999999999999999999999\n", 1, "the width \"999999999999999999999999...\" is over 200"},
        {"a.non", "width five\n", 1, "the width \"five\" is not a number"},
        {"a.non", head + "width 3\n", 3, "a second width (the first is on line 1)"},
        {"a.non", "rows\n1\n", 1, "the rows block comes before the height"},
        {"a.non", head + good_rows + "rows\n1\n1\n", 6, "a second rows block (the first is on line 3)"},
        {"a.non", head + good_rows, 5, "no columns block"},
        {"a.non", head + "rows\n1\ncolumns\n", 5, "the rows block ends after 1 of its 2 lines"},
        {"a.non", head + "rows\n1\n", 4, "the file ends after 1 of the 2 rows"},
        {"a.non", head + "rows\n1\n1\n1\n", 6, "a clue outside a rows or columns block"},
        {"a.non", head + "rows\n1,1\n", 4, "row 1: the clue needs 3 cells but the line has 2"},
        {"a.non", head + "rows\n3\n", 4, "row 1: a run of 3 cells does not fit in 2"},
        {"a.non", head + "rows\n1,0\n", 4, "row 1: a run of 0 cells"},
        {"a.non", head + "rows\n1,,1\n", 4, "row 1: a comma without a run before it"},
        {"a.non", head + "rows\n-1\n", 4, "a run in row 1 \"-1\" is negative"},
        {"a.non", head + "rows\n2147483648\n", 4, "a run in row 1 \"2147483648\" is over 200"},
        {"a.non", head + "rows\n1\n1\ncolumns\n2\n1\n", 6, "the rows fill 2 cells but the columns fill 3"},
        {"a.non", head + good_rows + good_columns + "goal 1100\n", 9, "the goal picture does not match"},
        {"a.non", head + good_rows + good_columns + "goal 101\n", 9, "the goal has 3 cells, not 4"},
        {"a.non", head + good_rows + good_columns + "goal 1002\n", 9, "the goal holds '2', not only 0 and 1"},
        {"a.non", "title \"open\n", 1, "the value has no closing quote"},
        // what the text holds is shown escaped in a reason: no byte cuts it short, no
        // terminal control sequence reaches the screen
        {"a.non",
         std::string("width \0"
                     "5\n",
                     9),
         1, "the width \"\\x005\" is not a number"},
        {"a.non", "width \x1b[2J\x7f\n", 1, "the width \"\\x1b[2J\\x7f\" is not a number"},
        {"a.non",
         head + good_rows + good_columns +
             "goal 10\x9b"
             "1\n",
         9, "the goal holds '\\x9b', not only 0 and 1"},
        {"list.txt", "2x2:1/1/1/\xc2\x9b\n", 1, "a run in row 2 \"\\xc2\\x9b\" is not a number"},
        {"list.txt", "2x2:1/1/1/\xc3\xa9\n", 1, "a run in row 2 \"\xc3\xa9\" is not a number"},
        {"a.non", "title x\ntitle y\n", 2, "a second title (the first is on line 1)"},
        {"a.non", head + "rows\n" + megabyte + "\n", 4, "the line is longer than 262144 characters"},
        {"a.non", many_nons, 70000, "more than 10000 puzzles in one file"},
        // game ids
        {"list.txt", "5x5\n", 1, "no ':' after the size"},
        {"list.txt", "0x5:", 1, "the size \"0x5\" has no cells"},
        {"list.txt", "201x1:", 1, "the width \"201\" is over 200"},
        {"list.txt", "2x2:1/1/1\n", 1, "the id has 3 lines of clues for 2 columns and 2 rows"},
        {"list.txt", "2x2:1/1/1/1/1", 1, "the id has more than 4 lines of clues"},
        {"list.txt", "2x2:1/1/1.1/1", 1, "row 1: the clue needs 3 cells"},
        {"list.txt", "2x2:1/1/1/x", 1, "a run in row 2 \"x\" is not a number"},
        {"list.txt", "2x2:1/2/1/1", 1, "the rows fill 2 cells but the columns fill 3"},
        {"list.txt", "# only comments\n\n", 0, "the file holds no game id"},
        {"list.txt", "1x1:1/1\n1x1:" + megabyte, 2, "the line is longer than 262144 characters"},
        {"list.txt", many_ids, 10001, "more than 10000 puzzles in one file"},
        // XML
        {"a.xml", "<puzzleset>\n<puzzle>\n<clues type=\"rows\">", 3, "the file ends inside <clues>"},
        {"a.xml", deep, 1, "the elements are nested more than 32 deep"},
        {"a.xml", "<html/>", 1, "the file holds <html>, not <puzzleset> or <puzzle>"},
        {"a.xml", "<puzzleset/>", 1, "the <puzzleset> holds no <puzzle>"},
        {"a.xml", "<puzzle>\n</puzzles>", 2, "</puzzles> closes <puzzle>"},
        {"a.xml", "<puzzle a=b/>", 1, "the attribute a of <puzzle> has no quoted value"},
        {"a.xml", "<puzzle" + many_attributes + "/>", 1, "more than 32 attributes in <puzzle>"},
        {"a.xml", "<puzzleset/><more/>", 1, "more after the end of <puzzleset>"},
        {"a.xml", "<puzzle><!-- open", 1, "the file ends inside a comment"},
        {"a.xml", "<puzzle>&#0;</puzzle>", 1, "a bad character reference &#0;"},
        {"a.xml", "<puzzle>\n<clues type=\"rows\"/>\n</puzzle>", 1, "the puzzle has no <clues type=\"columns\">"},
        {"a.xml", "<puzzle><clues type=\"rows\"/><clues type=\"columns\"/></puzzle>", 1, "the size 0x0 is outside"},
        {"a.xml", "<puzzle><clues type=\"rows\"/>\n<clues type=\"rows\"/></puzzle>", 2,
         "a second <clues type=\"rows\"> (the first is on line 1)"},
        {"a.xml", "<puzzle>\n<color name=\"red\" char=\"r\"/></puzzle>", 2,
         "the puzzle uses the colour \"red\": only black-and-white"},
        {"a.xml", "<puzzle>\n<color name=\"&#27;]0;x&#7;\" char=\"r\"/></puzzle>", 2,
         "the puzzle uses the colour \"\\x1b]0;x\\x07\""},
        {"a.xml", "<puzzle><clues type=\"rows\">\n<line><count color=\"blue\">1</count></line></clues></puzzle>", 2,
         "the puzzle uses the colour \"blue\""},
        {"a.xml", "<puzzle><clues type=\"rows\"><line>\n<count>-1</count></line></clues></puzzle>", 2,
         "a count in row 1 \"-1\" is negative"},
        {"a.xml",
         "<puzzle><clues type=\"rows\"><line><count>1</count></line></clues><clues type=\"columns\"><line><count>1"
         "</count></line></clues><solution><image>\n|.|\n</image></solution></puzzle>",
         1, "the goal picture does not match the clue of row 1"},
        {"a.xml",
         "<puzzle><clues type=\"rows\"><line/></clues><clues type=\"columns\"><line/></clues><solution><image>\n|?|"
         "</image></solution></puzzle>",
         2, "the goal image holds '?'"},
    };
    for (const refusal &c : cases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        std::vector<pz_puzzle> out;
        pz_error e;
        EXPECT_FALSE(pz_read_text(c.text, c.name, &out, &e));
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(c.name, e.file);
        EXPECT_EQ(c.line, e.line) << e.reason;
        EXPECT_EQ(0u, e.reason.find(c.reason)) << e.reason;
    }

    // Rows and columns that fill different numbers of cells are refused by default, and
    // read (with every other check) when the caller asks, as puzzles without a solution.
    pz_read_options uneven;
    uneven.unequal_totals = true;
    for (const auto &[name, text] : std::vector<std::pair<std::string, std::string>>{
             {"a.txt", "2x2:1/1/2/1\n"},
             {"a.non", "width 2\nheight 2\nrows\n1\n1\ncolumns\n2\n1\n"},
             {"a.xml",
              "<puzzle><clues type=\"rows\"><line><count>1</count></line></clues><clues type=\"columns\">"
              "<line/></clues></puzzle>"}}) {
        SCOPED_TRACE(name);
        std::vector<pz_puzzle> out;
        pz_error e;
        EXPECT_FALSE(pz_read_text(text, name, &out, &e));
        EXPECT_EQ(0u, e.reason.find("the rows fill")) << e.reason;
        ASSERT_TRUE(pz_read_text(text, name, &out, &e, uneven)) << pz_error_text(e);
        ASSERT_EQ(1u, out.size());
        std::string why;
        EXPECT_FALSE(pz_check(out[0], &why));
        EXPECT_TRUE(pz_check(out[0], &why, false)) << why;
        // Every other fault is still refused, a goal that cannot match the clues too.
        EXPECT_FALSE(pz_read_text(text + (name == "a.xml"   ? "<x/>"
                                          : name == "a.txt" ? "2x2:3/1/1/1\n"
                                                            : "goal 1001\n"),
                                  name, &out, &e, uneven));
    }

    // At the limits: 200 wide is read, 17 MB is not.
    EXPECT_EQ(200, read_text("200x1:" + std::string(200, '/'), "ids").at(0).width);
    std::vector<pz_puzzle> out;
    pz_error e;
    EXPECT_FALSE(pz_read_text(std::string(pz_max_file + 1, ' '), "big.non", &out, &e));
    EXPECT_EQ("big.non: the file is larger than 16 MB", pz_error_text(e));
}
