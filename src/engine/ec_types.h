// ec_types.h -- scalar types and the handle value shared by every module
#pragma once

#include <cstdint>

typedef std::uint8_t u8;
typedef std::uint16_t u16;
typedef std::uint32_t u32;
typedef std::int32_t s32;
typedef std::uint32_t dword;

// The "no handle" value of every table index (sounds, pack entries, strings,
// overlay strings, background layers, UI windows).
constexpr dword invalid_id = 0xFFFFFFFFu;
