// g_freeplay_files.cpp -- free play from files: the command line, dropped files, the list stepped through
#include "game/g_freeplay.h"

bool freeplay_step(int) { return false; }
bool freeplay_open_files(const std::vector<std::string> &) { return false; }
