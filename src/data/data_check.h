// data_check.h -- the start-up check of the pack: every entry the game loads is there,
// decodes, and its reader takes it
#pragma once

#include "engine/ec_types.h"

#include <cstddef>

// Checks entry index of the open pack the way the game will read it: it decodes to
// its size, and a .kzg, .kzb or .kzs entry passes its reader's checks. The readers'
// assertion boxes are held back meanwhile; on failure the first refusal is described
// in why (capacity bytes) and the answer is false.
bool data_check_entry(u32 index, char *why, std::size_t capacity);
// Checks every entry in directory order; false at the first damaged one, whose index
// goes to *bad and whose refusal goes to why.
bool data_check_pack(u32 *bad, char *why, std::size_t capacity);
// The entries of the data set (ec_data_set.h) the open pack lacks, named in quotes and
// joined by ", " into missing (capacity bytes, cut short with "..." when they do not fit).
// Their number is the answer: 0 when the pack holds every one.
u32 data_check_missing(char *missing, std::size_t capacity);
