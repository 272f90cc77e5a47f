// ec_assert.h -- assertions, fatal start-up errors and device result checks
#pragma once

#include "engine/ec_types.h"

// Shows the "ASSERTION FAILED" box for a failed check. Returns true when the
// caller should break into the debugger (any answer but Yes, or a missing text).
bool assertion_failed(const char *expression, const char *file, const char *function, int line, const char *info);

// Raised by the assertion macros: asks, and breaks when the answer says so.
void assertion_raise(const char *expression, const char *file, const char *function, int line, const char *info);

// ec_assert(cond) is true when cond holds; otherwise it raises the assertion with
// cond's source text and is false, and the site takes its own failure path:
//   if (!ec_assert(p != NULL)) return invalid_id;
#define ec_assert_info(cond, info)                                                                                     \
    ((cond) ? true : (assertion_raise(#cond, __FILE__, __PRETTY_FUNCTION__, __LINE__, (info)), false))
// (Spelled out, not through ec_assert_info, so macros in cond stay unexpanded in the text.)
#define ec_assert(cond)                                                                                                \
    ((cond) ? true : (assertion_raise(#cond, __FILE__, __PRETTY_FUNCTION__, __LINE__, nullptr), false))

// ec_assert_text(cond, text) states the text the box shows beside the condition,
// for checks whose source would not read as the game's own text:
//   if (!ec_assert_text(d3d_device_exists(), "d3d_device")) return;
#define ec_assert_text(cond, text)                                                                                     \
    ((cond) ? true : (assertion_raise((text), __FILE__, __PRETTY_FUNCTION__, __LINE__, nullptr), false))
#define ec_assert_text_info(cond, text, info)                                                                          \
    ((cond) ? true : (assertion_raise((text), __FILE__, __PRETTY_FUNCTION__, __LINE__, (info)), false))

// The player's build. There a fault of the environment (a file, folder or device the
// game needs: a failed write, a missing or cut-short pack) raises no assertion: the
// site tells the player in one plain message what failed, where, and what to do.
// Assertion boxes stay for faults in the program. On when built without debugging
// checks (NDEBUG). Test programs start with it off in every build type (their
// environment sets it), and tests switch it on to run the player's behaviour.
void player_build_set(bool on);
bool player_build();

// Raised by the checks on the environment: as assertion_raise, but not in the player's build.
void environment_assertion_raise(const char *expression, const char *file, const char *function, int line,
                                 const char *info);

// ec_assert_env and its forms check the environment: outside the player's build a
// failure raises the assertion as ec_assert would; the site then tells the player itself.
//   if (!ec_assert_env_text(file, "file != INVALID_HANDLE_VALUE")) { tell(...); return nullptr; }
#define ec_assert_env(cond)                                                                                            \
    ((cond) ? true : (environment_assertion_raise(#cond, __FILE__, __PRETTY_FUNCTION__, __LINE__, nullptr), false))
#define ec_assert_env_info(cond, info)                                                                                 \
    ((cond) ? true : (environment_assertion_raise(#cond, __FILE__, __PRETTY_FUNCTION__, __LINE__, (info)), false))
#define ec_assert_env_text(cond, text)                                                                                 \
    ((cond) ? true : (environment_assertion_raise((text), __FILE__, __PRETTY_FUNCTION__, __LINE__, nullptr), false))

// Shows a failing device call's result in the "D3D Fatal Error" box. A result of
// 0 shows nothing. Returns true when the caller should break.
bool d3d_check_result(s32 result);

// Device result codes that the renderer stand-in reports.
constexpr s32 d3derr_notfound = (s32)0x88760866u;
constexpr s32 d3derr_moredata = (s32)0x88760867u;
constexpr s32 d3derr_devicelost = (s32)0x88760868u;
constexpr s32 d3derr_devicenotreset = (s32)0x88760869u;
constexpr s32 d3derr_notavailable = (s32)0x8876086Au;
constexpr s32 d3derr_invaliddevice = (s32)0x8876086Bu;
constexpr s32 d3derr_invalidcall = (s32)0x8876086Cu;
constexpr s32 d3derr_outofvideomemory = (s32)0x8876017Cu;
constexpr s32 d3derr_wasstilldrawing = (s32)0x8876021Cu;
constexpr s32 d3dok_noautogen = (s32)0x0876086Fu;

// Calls d3d_check_result for a non-zero result and breaks when asked to.
void d3d_check(s32 result);

// Shows string-table entry string_id in the "Fatal Error" box (one OK button).
// The start-up step that calls it then returns false.
void fatal_start_up_error(dword string_id);
