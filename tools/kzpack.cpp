// kzpack.cpp -- the pack builder: build, list, extract and verify tombweaver.kzp
#include "kz_formats.h"

#include "data/data_check.h"
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"
#include "platform/pf_system.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using kz::bytes;

namespace {

const char *usage =
    "usage: kzpack build <manifest.txt> <out.kzp>\n"
    "       kzpack list <pack.kzp>\n"
    "       kzpack extract <pack.kzp> <entry name> <out file>\n"
    "       kzpack verify <pack.kzp>\n"
    "manifest lines: <pack name> <raw|kzs|kzb|kzg> <source under the manifest's folder> [layout]\n"
    "kzg layouts: whole | grid W H N | rects x,y,w,h ...\n";

// The game's checks (its readers refusing a damaged entry, say) report through
// message boxes; here they go to stderr and are answered "continue".
platform_mb_answer print_dialog(const char *caption, const char *text, platform_mb_buttons, platform_mb_icon) {
    std::fprintf(stderr, "kzpack: %s: %s\n", caption, text);
    return platform_mb_answer_yes;
}

std::string lower_extension(const std::string &name) {
    size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    for (char &c : ext)
        c = (char)std::tolower((unsigned char)c);
    return ext;
}

bool parse_int(const std::string &s, int *out) {
    if (s.empty())
        return false;
    char *end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (*end || v < 0 || v > 1000000)
        return false;
    *out = (int)v;
    return true;
}

// Sprite rectangles from a layout's words.
bool parse_layout(const std::vector<std::string> &words, const kz::rgba_image &image, std::vector<kz::rect> *rects,
                  std::string *error) {
    rects->clear();
    if (words.empty() || words[0] == "whole") {
        if (words.size() > 1) {
            *error = "'whole' takes no numbers";
            return false;
        }
        rects->push_back({0, 0, image.width, image.height});
        return true;
    }
    if (words[0] == "grid") {
        int w, h, n;
        if (words.size() != 4 || !parse_int(words[1], &w) || !parse_int(words[2], &h) || !parse_int(words[3], &n) ||
            w < 1 || h < 1 || n < 1) {
            *error = "grid needs W H N";
            return false;
        }
        int columns = image.width / w;
        if (columns < 1 || (n + columns - 1) / columns * h > image.height) {
            *error = "the picture holds fewer than " + std::to_string(n) + " cells of " + std::to_string(w) + " x " +
                     std::to_string(h);
            return false;
        }
        for (int i = 0; i < n; ++i)
            rects->push_back({(i % columns) * w, (i / columns) * h, w, h});
        return true;
    }
    if (words[0] == "rects") {
        for (size_t i = 1; i < words.size(); ++i) {
            kz::rect r;
            char tail;
            if (std::sscanf(words[i].c_str(), "%d,%d,%d,%d%c", &r.x, &r.y, &r.w, &r.h, &tail) != 4) {
                *error = "bad rectangle '" + words[i] + "' (want x,y,w,h)";
                return false;
            }
            rects->push_back(r);
        }
        if (rects->empty()) {
            *error = "rects needs at least one x,y,w,h";
            return false;
        }
        return true;
    }
    *error = "unknown layout '" + words[0] + "'";
    return false;
}

// Converts one manifest entry's source into the bytes stored under its name.
bool convert(const std::string &kind, const fs::path &source, const std::vector<std::string> &layout, bytes *out,
             std::string *error) {
    if (kind == "raw") {
        if (!layout.empty()) {
            *error = "raw takes no layout";
            return false;
        }
        return kz::file_read(source.string(), out, error);
    }
    if (kind == "kzs") {
        bytes wav;
        if (!kz::file_read(source.string(), &wav, error))
            return false;
        if (!layout.empty()) {
            *error = "kzs takes no layout";
            return false;
        }
        // The game's own check: a sound the game would refuse is not built.
        return kz::kzs_from_wav(wav, out, error) && kz::kzs_check(*out, error);
    }
    if (kind == "kzb" || kind == "kzg") {
        kz::rgba_image image;
        if (!kz::png_read(source.string(), &image, error))
            return false;
        if (kind == "kzb") {
            if (!layout.empty()) {
                *error = "kzb takes no layout";
                return false;
            }
            kz::rgba_image check;
            return kz::kzb_encode(image, out, error) && kz::kzb_decode(*out, &check, error);
        }
        std::vector<kz::rect> rects;
        if (!parse_layout(layout, image, &rects, error))
            return false;
        std::vector<kz::rgba_image> check;
        return kz::kzg_encode(image, rects, out, error) && kz::kzg_decode(*out, &check, error);
    }
    *error = "unknown kind '" + kind + "' (raw, kzs, kzb or kzg)";
    return false;
}

int build(const std::string &manifest_path, const std::string &out_path) {
    bytes manifest_bytes;
    std::string failure;
    if (!kz::file_read(manifest_path, &manifest_bytes, &failure)) {
        std::fprintf(stderr, "kzpack: %s\n", failure.c_str());
        return 1;
    }
    std::istringstream manifest(std::string(manifest_bytes.begin(), manifest_bytes.end()));
    fs::path folder = fs::path(manifest_path).parent_path();
    std::vector<kz::pack_entry> entries;
    std::string line;
    int line_number = 0;
    int errors = 0;
    while (std::getline(manifest, line)) {
        ++line_number;
        size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.resize(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.empty())
            continue;
        auto report = [&](const std::string &message) {
            std::fprintf(stderr, "%s:%d: %s\n", manifest_path.c_str(), line_number, message.c_str());
            ++errors;
        };
        if (w.size() < 3) {
            report("want <pack name> <kind> <source> [layout]");
            continue;
        }
        if (w[0].size() > 255) {
            report("pack names hold at most 255 characters");
            continue;
        }
        std::string error;
        kz::pack_entry entry;
        entry.name = w[0];
        if (!convert(w[1], folder / w[2], std::vector<std::string>(w.begin() + 3, w.end()), &entry.data, &error)) {
            report(w[2] + ": " + error);
            continue;
        }
        if (entry.data.size() > 0xFFFFFFFFu) {
            report("entry larger than 4 GiB");
            continue;
        }
        entries.push_back(std::move(entry));
    }
    if (errors) {
        std::fprintf(stderr, "kzpack: %d error(s); %s not written\n", errors, out_path.c_str());
        return 1;
    }
    bytes image = kz::pack_image(entries);
    // Written beside the target and renamed over it, so a failed build never leaves half a pack.
    if (!kz::file_replace(out_path, image, &failure)) {
        std::fprintf(stderr, "kzpack: %s\n", failure.c_str());
        return 1;
    }
    std::printf("kzpack: %zu entries, %zu bytes -> %s\n", entries.size(), image.size(), out_path.c_str());
    return 0;
}

// Opens a pack file with the game's own reader.
bool open_pack(const std::string &path) {
    bytes data;
    std::string error;
    if (!kz::file_read(path, &data, &error)) {
        std::fprintf(stderr, "kzpack: %s\n", error.c_str());
        return false;
    }
    if (data.size() > 0xFFFFFFFFu) {
        std::fprintf(stderr, "kzpack: %s is larger than 4 GiB\n", path.c_str());
        return false;
    }
    if (data.size() < 4) {
        std::fprintf(stderr, "kzpack: %s is %zu bytes long: too short to be a pack\n", path.c_str(), data.size());
        return false;
    }
    u8 *image = (u8 *)ZEL_MALLOC(data.size(), "kzpack");
    if (!image) {
        std::fprintf(stderr, "kzpack: no memory for %s\n", path.c_str());
        return false;
    }
    std::memcpy(image, data.data(), data.size());
    if (!packfile_load_image(image, (u32)data.size())) {
        std::fprintf(stderr, "kzpack: %s is not a valid pack\n", path.c_str());
        return false;
    }
    return true;
}

// An asset's bytes through the game's reader, or false.
bool load_entry(const char *name, bytes *out) {
    u32 size = 0;
    u8 *data = pack_file_load(name, &size);
    if (!data)
        return false;
    out->assign(data, data + size);
    pack_file_close(data);
    return true;
}

int list(const std::string &path) {
    if (!open_pack(path))
        return 1;
    std::printf("%-36s %10s %10s  %s\n", "name", "size", "stored", "compressed");
    for (u32 i = 0; i < pack_file_count(); ++i) {
        const char *name;
        u32 stored, size;
        pack_file_info(i, &name, &stored, &size);
        std::printf("%-36s %10u %10u  %s\n", name, size, stored, stored != size ? "yes" : "no");
    }
    packfile_close();
    return 0;
}

int extract(const std::string &path, const std::string &name, const std::string &out_path) {
    if (!open_pack(path))
        return 1;
    bytes data;
    bool ok = load_entry(name.c_str(), &data);
    packfile_close();
    if (!ok) {
        std::fprintf(stderr, "kzpack: no entry '%s' that decodes\n", name.c_str());
        return 1;
    }
    std::string ext = lower_extension(name), error;
    if (ext == "kzg") {
        // Sprites side by side in one row, top-aligned.
        std::vector<kz::rgba_image> sprites;
        if (!kz::kzg_decode(data, &sprites, &error)) {
            std::fprintf(stderr, "kzpack: %s: %s\n", name.c_str(), error.c_str());
            return 1;
        }
        kz::rgba_image sheet;
        for (const auto &s : sprites) {
            sheet.width += s.width;
            sheet.height = std::max(sheet.height, s.height);
        }
        sheet.pixels.assign((size_t)sheet.width * sheet.height * 4, 0);
        int x0 = 0;
        for (const auto &s : sprites) {
            for (int y = 0; y < s.height; ++y)
                std::memcpy(sheet.at(x0, y), s.at(0, y), (size_t)s.width * 4);
            x0 += s.width;
        }
        ok = kz::png_write(out_path, sheet, &error);
    } else if (ext == "kzb") {
        kz::rgba_image image;
        ok = kz::kzb_decode(data, &image, &error) && kz::png_write(out_path, image, &error);
    } else if (ext == "kzs") {
        bytes wav;
        ok = kz::kzs_to_wav(data, &wav, &error) && kz::file_write(out_path, wav);
    } else {
        ok = kz::file_write(out_path, data);
    }
    if (!ok) {
        std::fprintf(stderr, "kzpack: %s: %s\n", name.c_str(), error.empty() ? "cannot write" : error.c_str());
        return 1;
    }
    return 0;
}

int verify(const std::string &path) {
    if (!open_pack(path))
        return 1;
    // The very checks the game makes at start-up: every entry it loads is there, and each
    // entry decodes and is taken by its reader.
    char missing[2048];
    if (u32 count = data_check_missing(missing, sizeof missing)) {
        std::fprintf(stderr, "kzpack: %s lacks %u entr%s the game loads: %s\n", path.c_str(), count,
                     count == 1 ? "y" : "ies", missing);
        packfile_close();
        return 1;
    }
    int bad = 0;
    for (u32 i = 0; i < pack_file_count(); ++i) {
        char why[320];
        if (!data_check_entry(i, why, sizeof why)) {
            const char *name = "";
            pack_file_info(i, &name, nullptr, nullptr);
            std::fprintf(stderr, "kzpack: %s: %s\n", name, why);
            ++bad;
        }
    }
    u32 count = pack_file_count();
    packfile_close();
    if (bad) {
        std::fprintf(stderr, "kzpack: %d of %u entries are damaged\n", bad, count);
        return 1;
    }
    std::printf("kzpack: %s: %u entries verified\n", path.c_str(), count);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(usage, stderr);
        return 2;
    }
    platform_set_dialog_handler(print_dialog);
    memory_system_init();
    int result = 2;
    const std::string &command = args[0];
    if (command == "build" && args.size() == 3)
        result = build(args[1], args[2]);
    else if (command == "list" && args.size() == 2)
        result = list(args[1]);
    else if (command == "extract" && args.size() == 4)
        result = extract(args[1], args[2], args[3]);
    else if (command == "verify" && args.size() == 2)
        result = verify(args[1]);
    else
        std::fputs(usage, stderr);
    memory_system_close();
    return result;
}
