// tw_test.cpp -- the dialog recorder, scratch folders and whole-file reads
#include "tw_test.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {
dialog_recorder *active_recorder = nullptr;
}

dialog_recorder::dialog_recorder() : previous(active_recorder) {
    active_recorder = this;
    platform_set_dialog_handler(&dialog_recorder::handle);
}

dialog_recorder::~dialog_recorder() {
    active_recorder = previous;
    platform_set_dialog_handler(previous ? &dialog_recorder::handle : nullptr);
}

platform_mb_answer dialog_recorder::handle(const char *caption, const char *text, platform_mb_buttons buttons,
                                           platform_mb_icon icon) {
    dialog_recorder *r = active_recorder;
    r->records.push_back({caption ? caption : "", text ? text : "", buttons, icon});
    if (buttons == platform_mb_ok)
        return platform_mb_answer_ok;
    return r->say_no ? platform_mb_answer_no : platform_mb_answer_yes;
}

std::vector<std::string> dialog_recorder::assertions() const {
    std::vector<std::string> out;
    for (const recorded_dialog &d : records) {
        if (d.caption != "ASSERTION FAILED")
            continue;
        const std::string open = "assert( ";
        size_t start = d.text.find(open);
        size_t end = d.text.find(" )\n");
        if (start == 0 && end != std::string::npos)
            out.push_back(d.text.substr(open.size(), end - open.size()));
        else
            out.push_back(d.text);
    }
    return out;
}

bool dialog_recorder::asserted(const std::string &expression) const {
    for (const std::string &a : assertions())
        if (a == expression)
            return true;
    return false;
}

temp_folder::temp_folder(const char *prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()))
        root = pattern;
}

temp_folder::~temp_folder() {
    std::error_code ignored;
    if (!root.empty())
        std::filesystem::remove_all(root, ignored);
}

std::string file_text(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
