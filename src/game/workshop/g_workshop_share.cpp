// g_workshop_share.cpp -- Copy code and Paste code
#include "game/workshop/g_workshop_share.h"

#include "engine/ec_strings.h"
#include "game/g_question.h"
#include "game/g_strings.h"
#include "game/workshop/g_workshop_files.h"
#include "platform/pf_clipboard.h"
#include "platform/pf_system.h"
#include "puzzle/pz_format.h"
#include "puzzle/pz_solve.h"
#include "ui/app_modes.h"
#include "ui/ec_ui.h"

namespace {

// Time to find a picture for a code's clues.
constexpr double solve_seconds = 2.0;
// Characters of a code shown in a message.
constexpr size_t shown_code = 60;

workshop_document pasted;

void open_pasted() {
    workshop_set_document(pasted);
    if (current_app_mode_get() != appmode_workshop)
        set_app_mode(appmode_workshop);
    else
        ui_note_show("Pasted");
}

void paste_answered(bool yes) {
    if (yes)
        open_pasted();
}

} // namespace

bool workshop_document_from_code(const std::string &code, workshop_document *out, std::string *why) {
    const size_t first = code.find_first_not_of(" \t\r\n"), last = code.find_last_not_of(" \t\r\n");
    if (first == std::string::npos) {
        *why = "The clipboard holds no code.";
        return false;
    }
    const std::string id = code.substr(first, last - first + 1);
    pz_puzzle p;
    std::string reason;
    if (id.find('\n') != std::string::npos || !pz_read_id(id, &p, &reason)) {
        if (reason.empty())
            reason = "a code is one line";
        *why = "This is not a code Tombweaver can read:\n" + reason + ".";
        return false;
    }
    if (p.width < workshop_min_size || p.height < workshop_min_size || p.width > workshop_max_size ||
        p.height > workshop_max_size) {
        *why = "This code is for a " + std::to_string(p.width) + "x" + std::to_string(p.height) +
               " picture: the Workshop's pictures are 5x5 to 30x30.";
        return false;
    }
    const pz_solution s = pz_solve(p, nullptr, {.seconds = solve_seconds}, false);
    if (s.verdict != pz_verdict::found) {
        *why = s.verdict == pz_verdict::none ? "No picture fits this code's clues."
                                             : "No picture was found for this code's clues in time.";
        return false;
    }
    out->picture = workshop_blank(p.width, p.height);
    out->picture.cells.assign(s.first.begin(), s.first.end());
    out->title.clear();
    out->author.clear();
    out->path.clear();
    return true;
}

void workshop_copy_code() {
    const std::string code = workshop_key(workshop_current().picture);
    if (platform_clipboard_set(code))
        ui_note_show("Code copied");
    else
        platform_message_box("Code Not Copied", "The code could not be put on the clipboard.", platform_mb_ok,
                             platform_mb_icon_warning);
}

bool workshop_paste_code() {
    const std::string text = platform_clipboard_get();
    std::string why;
    if (!workshop_document_from_code(text, &pasted, &why)) {
        std::string shown = text.substr(0, shown_code);
        for (char &c : shown)
            c = c < 0x20 || c >= 0x7F ? ' ' : c;
        if (text.size() > shown_code)
            shown += "...";
        platform_message_box("Code Not Read",
                             (why + (shown.empty() ? "" : "\n\nThe clipboard holds: " + shown)).c_str(), platform_mb_ok,
                             platform_mb_icon_warning);
        return false;
    }
    if (!workshop_dirty()) {
        open_pasted();
        return true;
    }
    safestring line1, line2;
    safestring_create(&line1, "Open the pasted picture in the Workshop?");
    safestring_create(&line2, "The changes to the one there are not saved.");
    question_open(str_ws_discard_caption, &line1, &line2, paste_answered);
    return true;
}
