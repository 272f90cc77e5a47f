// test_kzpack_refusals.cpp -- the pack tool refuses what the game would refuse, and says why
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct scratch {
    fs::path root;
    scratch() {
        std::string pattern = (fs::temp_directory_path() / "tw-kzref-XXXXXX").string();
        root = mkdtemp(pattern.data());
    }
    ~scratch() { fs::remove_all(root); }
};

// Runs the built kzpack; its exit code and everything it printed.
std::pair<int, std::string> kzpack(const std::string &arguments, const fs::path &dir) {
    fs::path log = dir / "log";
    std::string command = std::string(TW_BUILD_DIR) + "/tools/kzpack " + arguments + " > '" + log.string() + "' 2>&1";
    int status = std::system(command.c_str());
    std::ifstream in(log);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(std::istreambuf_iterator<char>(in), {})};
}

void put(std::vector<std::uint8_t> &b, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b.push_back((std::uint8_t)(v >> (8 * i)));
}

// A mono 8-bit PCM WAV of four samples at rate.
std::vector<std::uint8_t> wav_at(std::uint32_t rate) {
    std::vector<std::uint8_t> b = {'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    put(b, 16, 4);
    put(b, 1, 2);
    put(b, 1, 2);
    put(b, rate, 4);
    put(b, rate, 4);
    put(b, 1, 2);
    put(b, 8, 2);
    b.insert(b.end(), {'d', 'a', 't', 'a', 4, 0, 0, 0, 128, 129, 130, 131});
    return b;
}

TEST(KzpackRefusals, SoundRatesTheGameRefusesAreNotBuilt) {
    for (std::uint32_t rate : {99u, 100u, 200000u, 200001u}) {
        SCOPED_TRACE(rate);
        scratch dir;
        std::vector<std::uint8_t> wav = wav_at(rate);
        std::ofstream(dir.root / "s.wav", std::ios::binary).write((const char *)wav.data(), (std::streamsize)wav.size());
        std::ofstream(dir.root / "manifest.txt") << "audio\\s.kzs kzs s.wav\n";
        auto [code, out] = kzpack("build '" + (dir.root / "manifest.txt").string() + "' '" +
                                      (dir.root / "out.kzp").string() + "'",
                                  dir.root);
        const bool in_range = rate >= 100 && rate <= 200000;
        EXPECT_EQ(code, in_range ? 0 : 1) << out;
        EXPECT_EQ(fs::exists(dir.root / "out.kzp"), in_range);
        if (!in_range) {
            EXPECT_NE(out.find("sample rate outside 100..200000"), std::string::npos) << out;
        }
    }
}

TEST(KzpackRefusals, AFileTooShortToBeAPackIsSaidSo) {
    for (const char *command : {"list", "verify"}) {
        SCOPED_TRACE(command);
        scratch dir;
        std::ofstream(dir.root / "empty.kzp").close();
        auto [code, out] = kzpack(std::string(command) + " '" + (dir.root / "empty.kzp").string() + "'", dir.root);
        EXPECT_EQ(code, 1);
        EXPECT_NE(out.find("too short to be a pack"), std::string::npos) << out;
    }
}

} // namespace
