// test_data_lookup.cpp -- where the program finds its data, and what it says when the data is missing or damaged
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"
#include "main.h"
#include "platform/pf_events.h"
#include "test_pack.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A pack that passes the directory check and holds a picture too short for its header.
std::vector<u8> damaged_pack() { return test_pack_image({{"game\\map.kzb", {1, 2, 3}}}); }

void write_pack(const fs::path &folder, const std::vector<u8> &image) {
    fs::create_directories(folder / "data");
    std::ofstream(folder / "data" / "tombweaver.kzp", std::ios::binary)
        .write((const char *)image.data(), (std::streamsize)image.size());
}

// An installed layout in a temporary folder: <root>/prefix/bin/tombweaver (a copy of the
// built program), an empty <root>/cwd to start it from, and <root>/env for TOMBWEAVER_PATH.
struct installed_layout {
    fs::path root, prefix, bin, share, cwd, env;
    installed_layout() {
        std::string pattern = (fs::temp_directory_path() / "tw-install-XXXXXX").string();
        root = mkdtemp(pattern.data());
        prefix = root / "prefix";
        bin = prefix / "bin";
        share = prefix / "share" / "tombweaver";
        cwd = root / "cwd";
        env = root / "env";
        fs::create_directories(bin);
        fs::create_directories(cwd);
        fs::copy_file(fs::path(TW_BUILD_DIR) / "tombweaver", bin / "tombweaver");
    }
    ~installed_layout() { fs::remove_all(root); }

    // Starts the program from cwd; with_env sets TOMBWEAVER_PATH to env. Returns its pid;
    // its stderr goes to <root>/err.
    pid_t start(bool with_env) const {
        pid_t pid = fork();
        if (pid == 0) {
            if (chdir(cwd.c_str()) != 0)
                _exit(90);
            if (with_env)
                setenv("TOMBWEAVER_PATH", env.c_str(), 1);
            else
                unsetenv("TOMBWEAVER_PATH");
            FILE *err = std::freopen((root / "err").c_str(), "w", stderr);
            (void)err;
            std::string exe = (bin / "tombweaver").string();
            execl(exe.c_str(), exe.c_str(), (char *)nullptr);
            _exit(91);
        }
        return pid;
    }
    // Runs the program to its end: its exit code and stderr. One still running after
    // 20 seconds (it did not stop at the data) is killed and reads as -2.
    std::pair<int, std::string> run(bool with_env) const {
        pid_t pid = start(with_env);
        int status = 0;
        for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; ++waited) {
            if (waited == 200) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                return {-2, err()};
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, err()};
    }
    std::string err() const {
        std::ifstream in(root / "err");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST(DataLookup, InOrderTheVariableTheProgramsFolderTheInstalledShareThenTheCurrentFolder) {
    // Damaged packs make the program stop at once and name the file it took.
    struct row {
        const char *what;
        bool env, bin, share, cwd;
        fs::path installed_layout::*taken;
    };
    const std::vector<row> rows = {
        {"TOMBWEAVER_PATH first", true, true, true, true, &installed_layout::env},
        {"then the program's folder", false, true, true, true, &installed_layout::bin},
        {"then <prefix>/share/tombweaver", false, false, true, true, &installed_layout::share},
        {"then the current folder", false, false, false, true, &installed_layout::cwd},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(r.what);
        installed_layout layout;
        if (r.env)
            write_pack(layout.env, damaged_pack());
        if (r.bin)
            write_pack(layout.bin, damaged_pack());
        if (r.share)
            write_pack(layout.share, damaged_pack());
        if (r.cwd)
            write_pack(layout.cwd, damaged_pack());
        auto [code, err] = layout.run(r.env);
        EXPECT_EQ(code, 1);
        std::string taken = (layout.*r.taken / "data" / "tombweaver.kzp").string();
        EXPECT_NE(err.find("damaged data file " + taken + ": entry \"game\\map.kzb\""),
                  std::string::npos)
            << err;
    }
}

TEST(DataLookup, NoDataSaysWhereItLooked) {
    installed_layout layout;
    auto [code, err] = layout.run(false);
    EXPECT_EQ(code, 1);
    const std::string looked[] = {(layout.bin / "data/tombweaver.kzp").string(),
                                  (layout.share / "data/tombweaver.kzp").string(),
                                  (layout.cwd / "data/tombweaver.kzp").string()};
    size_t at = err.find("cannot open data/tombweaver.kzp");
    ASSERT_NE(at, std::string::npos) << err;
    for (const std::string &place : looked) {
        size_t next = err.find(place, at);
        EXPECT_NE(next, std::string::npos) << place << " in order in\n" << err;
        at = next == std::string::npos ? at : next;
    }
}

TEST(DataLookup, ARelocatedInstallStartsFromAnyFolder) {
    installed_layout layout;
    std::ifstream built(TW_TEST_PACK, std::ios::binary);
    write_pack(layout.share, std::vector<u8>(std::istreambuf_iterator<char>(built), {}));
    pid_t pid = layout.start(false);
    // Running after two seconds: past the data check and into the game.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, WNOHANG), 0) << layout.err();
    kill(pid, SIGTERM);
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << "\n" << layout.err();
    EXPECT_EQ(layout.err().find("tombweaver:"), std::string::npos) << layout.err();
}

TEST(DataLookup, ADamagedEntryIsOneFatalBoxNamingIt) {
    memory_system_init();
    dialog_recorder rec;
    scoped_test_pack pack(test_pack_bytes{damaged_pack()});
    packfile_close();
    rec.clear();
    // Should the game start after all, it is closed after a few frames.
    platform_set_loop_hook(
        [](void *) {
            static int passes = 0;
            if (++passes == 100)
                platform_post_message(msg_close, 0, 0);
        },
        nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(tombweaver_main(), 1);
    platform_set_loop_hook(nullptr, nullptr);
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(rec.count(), 1u) << rec.dialogs().back().text;
    EXPECT_EQ(rec.dialogs()[0].caption, "Fatal Error");
    EXPECT_NE(rec.dialogs()[0].text.find("\"game\\map.kzb\""), std::string::npos) << rec.dialogs()[0].text;
    EXPECT_NE(err.find("damaged data file"), std::string::npos) << err;
    EXPECT_EQ(err.find("cannot open"), std::string::npos) << err;
    EXPECT_FALSE(packfile_is_open());
    EXPECT_EQ(memory_num_allocations(), 0);
}

} // namespace
