// g_strings.h -- the rows of the string table "xls\strings.txt" that the screens name
#pragma once

#include "engine/ec_types.h"

// Button labels.
constexpr dword str_mm_play = 4;
constexpr dword str_mm_continue = 5;
constexpr dword str_mm_new_game = 6;
constexpr dword str_mm_exit = 8;
constexpr dword str_map_back = 17;
constexpr dword str_ng_exit = 18;
constexpr dword str_ng_undo = 19;
constexpr dword str_ng_redo = 20;
constexpr dword str_ng_hint = 43;

// The board's key legend: line i is a key (str_ng_legend_first + 2i) and what it does (the next row).
constexpr dword str_ng_legend_first = 21;
constexpr int num_ng_legend_lines = 11;
