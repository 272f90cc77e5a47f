// fuzz_puzzle.h -- what every puzzle reader's fuzz target checks of a puzzle it accepted
#pragma once

#include "puzzle/pz_format.h"

// An accepted puzzle has a good shape, and its .non text and game id read back to the
// same puzzle (but for control characters in
// its strings, which a .non line cannot carry and the writer makes spaces).
inline void fuzz_check_puzzle(const pz_puzzle &p) {
    std::string why;
    if (!pz_check(p, &why))
        __builtin_trap();
    std::vector<pz_puzzle> back;
    pz_error err;
    if (!pz_read_text(pz_write_non(p), "again.non", &back, &err) || back.size() != 1)
        __builtin_trap();
    pz_puzzle plain = p;
    for (std::string *s : {&plain.title, &plain.author, &plain.copyright, &plain.catalogue})
        for (char &c : *s)
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f)
                c = ' ';
    if (!(back[0] == plain))
        __builtin_trap();
    pz_puzzle from_id;
    if (!pz_read_id(pz_write_id(p), &from_id, &why) || from_id.rows != p.rows || from_id.columns != p.columns)
        __builtin_trap();
}
