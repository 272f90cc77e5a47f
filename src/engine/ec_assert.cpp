// ec_assert.cpp -- the assertion box, the device result box and fatal start-up errors
#include "engine/ec_assert.h"

#include "engine/ec_strings.h"
#include "platform/pf_system.h"

#include <cstdio>
#include <cstring>

namespace {
#ifdef NDEBUG
bool player_build_on = true;
#else
bool player_build_on = false;
#endif
} // namespace

void player_build_set(bool on) { player_build_on = on; }

bool player_build() { return player_build_on; }

bool assertion_failed(const char *expression, const char *file, const char *function, int line, const char *info) {
    if (!expression || !file || !function)
        return true;

    // 64 covers the fixed characters of the longer format and the line number,
    // so a text that passes this test always fits the buffer.
    size_t needed = std::strlen(expression) + std::strlen(file) + std::strlen(function) + 64;
    if (info)
        needed += std::strlen(info);

    char text[1024];
    if (needed < sizeof text) {
        if (info)
            std::snprintf(text, sizeof text, "assert( %s )\n\n%s\n\nFunction : %s\nFile : %s\nLine : %i\n\nContinue?",
                          expression, info, function, file, line);
        else
            std::snprintf(text, sizeof text, "assert( %s )\n\n\nFunction : %s\nFile : %s\nLine : %i\n\nContinue?",
                          expression, function, file, line);
    } else {
        std::snprintf(text, sizeof text, "assert!\nInfo too long for dialog box!");
    }
    return platform_message_box("ASSERTION FAILED", text, platform_mb_yes_no, platform_mb_icon_warning) !=
           platform_mb_answer_yes;
}

void assertion_raise(const char *expression, const char *file, const char *function, int line, const char *info) {
    if (!assertion_failed(expression, file, function, line, info))
        return;
    char where[1024];
    std::snprintf(where, sizeof where, "assert( %s )\nFunction : %s\nFile : %s\nLine : %i",
                  expression ? expression : "?", function ? function : "?", file ? file : "?", line);
    platform_breakpoint(where);
}

void environment_assertion_raise(const char *expression, const char *file, const char *function, int line,
                                 const char *info) {
    if (!player_build_on)
        assertion_raise(expression, file, function, line, info);
}

bool d3d_check_result(s32 result) {
    if (result == 0)
        return false;

    const char *text = nullptr;
    switch ((u32)result) {
    case 0x88760866u: text = "The requested item was not found."; break;
    case 0x88760867u: text = "More data than buffer"; break;
    case 0x88760868u: text = "Device Lost"; break;
    case 0x88760869u: text = "Device lost, but can be reset"; break;
    case 0x8876086Au: text = "This device does not support the technique"; break;
    case 0x8876086Bu: text = "Invalid device"; break;
    case 0x8876086Cu: text = "Invalid call"; break;
    case 0x8876017Cu: text = "Out of video memory"; break;
    case 0x8876021Cu: text = "Was still drawing"; break;
    case 0x0876086Fu: text = "Success, but no mipmaps"; break;
    default: break;
    }
    safestring *s = scratch_string();
    if (text) {
        safestring_create(s, text);
    } else {
        safestring_create(s, "Unknown code : ");
        safestring_concat_str(s, number_text_format(result));
    }
    safestring_concat_str(s, "\nContinue?");
    return platform_message_box("D3D Fatal Error", s->text, platform_mb_yes_no, platform_mb_icon_none) !=
           platform_mb_answer_yes;
}

void d3d_check(s32 result) {
    if (result != 0 && d3d_check_result(result))
        platform_breakpoint(scratch_string()->text);
}

void fatal_start_up_error(dword string_id) {
    safestring *s = scratch_string();
    safestring_create_from_id(s, string_id);
    platform_message_box("Fatal Error", s->text, platform_mb_ok, platform_mb_icon_none);
}
