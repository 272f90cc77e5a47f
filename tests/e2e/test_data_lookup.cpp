// test_data_lookup.cpp -- where the installed program finds its data, and what it says when it is missing or damaged
#include "test_pack.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// An installed layout in a temporary folder: <root>/prefix/bin/tombweaver (a copy of the
// built program), an empty <root>/cwd to start it from, and <root>/env for TOMBWEAVER_PATH.
struct installed_layout : temp_folder {
    fs::path bin = root / "prefix/bin", share = root / "prefix/share/tombweaver", cwd = root / "cwd",
             env = root / "env";
    installed_layout() : temp_folder("tw-install") {
        fs::create_directories(bin);
        fs::create_directories(cwd);
        fs::copy_file(fs::path(TW_BUILD_DIR) / "tombweaver", bin / "tombweaver");
    }

    // A pack that holds every entry, the first a picture too short for its header.
    static void put_damaged_pack(const fs::path &folder) {
        std::vector<uint8_t> image = test_pack_image(test_data_set_entries({"game\\map.kzb", {1, 2, 3}}));
        fs::create_directories(folder / "data");
        std::ofstream(folder / "data" / "tombweaver.kzp", std::ios::binary)
            .write((const char *)image.data(), (std::streamsize)image.size());
    }

    // Runs the program from cwd to its end: its exit code and stderr. One still running
    // after 20 seconds (it went past the data) is killed.
    std::pair<int, std::string> run(bool with_env) const {
        const std::string command = "cd '" + cwd.string() + "' && " +
                                    (with_env ? "TOMBWEAVER_PATH='" + env.string() + "' " : "env -u TOMBWEAVER_PATH ") +
                                    "timeout -s KILL 20 '" + (bin / "tombweaver").string() + "' 2>'" +
                                    (root / "err").string() + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, file_text(root / "err")};
    }
};

size_t count(const std::string &text, const std::string &part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST(DataLookup, TheVariableThenTheProgramsFolderThenTheInstalledShareThenTheCurrentFolder) {
    // Damaged packs in one folder and every folder tried after it: the program takes the
    // first, and stops at once with one fatal box naming that file. With no pack at all,
    // the box names every folder it looked in, in order.
    for (int first = 0; first <= 4; ++first) {
        SCOPED_TRACE(first);
        installed_layout l;
        const fs::path folders[] = {l.env, l.bin, l.share, l.cwd}; // in the order they are tried
        for (int i = first; i < 4; ++i)
            installed_layout::put_damaged_pack(folders[i]);
        auto [code, err] = l.run(first == 0);
        EXPECT_EQ(code, 1);
        if (first < 4) {
            const std::string taken = (folders[first] / "data" / "tombweaver.kzp").string();
            EXPECT_EQ(count(err, "damaged data file " + taken + ": entry \"game\\map.kzb\""), 1u) << err;
            // Without a display the boxes go to stderr: one fatal box, no assertion.
            EXPECT_EQ(count(err, "[Fatal Error]"), 1u) << err;
            EXPECT_EQ(count(err, "[ASSERTION FAILED]"), 0u) << err;
            continue;
        }
        size_t at = err.find("cannot open data/tombweaver.kzp");
        for (const fs::path &folder : {l.bin, l.share, l.cwd})
            at = at == std::string::npos ? at : err.find((folder / "data/tombweaver.kzp").string(), at);
        EXPECT_NE(at, std::string::npos) << err;
    }
}

} // namespace
