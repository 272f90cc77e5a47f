// g_busy.h -- long work off the frame: the window kept drawn, Escape and closing honoured meanwhile
#pragma once

#include <atomic>
#include <functional>
#include <string>

enum class busy_end {
    done,    // the work ended by itself
    stopped, // Escape was pressed: the work was cancelled
    closing, // the window is closing: the work was cancelled and the close posted again
};

// Runs work on a thread of its own and returns once it is over. Work that ends within a
// frame's slice shows nothing. Longer work keeps the window alive: every frame the screen's
// last picture is shown again with a box over it, the text() of the moment (asked on the
// game's thread) above "Escape stops"; Escape, closing the window or a quit request sets
// cancel, which the work must heed soon. Other input meanwhile is dropped, so that nothing
// changes under the work. After closing the close request is posted again, for the main
// loop to end the program as usual.
busy_end busy_run(const std::function<void(const std::atomic<bool> &cancel)> &work,
                  const std::function<std::string()> &text);
// True while busy_run keeps the window alive for its work (tests).
bool busy_active();
