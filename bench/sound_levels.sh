#!/bin/sh
# Peak levels of each screen's music and effects as the game mixes them.
# Usage: bench/sound_levels.sh [build-test]   (needs sox; the build's sound_levels program)
# For every screen: the peak of its music alone, of its effects alone, how far apart they are,
# and the worst case of both at once (their peaks added).
set -eu
build=${1:-build-test}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
TW_LEVELS_DIR=$dir "$build/tests/sound_levels" --gtest_brief=1 >"$dir/log" 2>&1 || { cat "$dir/log"; exit 1; }

peak() { # dBFS of a raw file, or "none" when it holds only silence
    [ -s "$1" ] || { echo none; return; }
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$1" -n stats 2>&1 |
        awk '/^Pk lev dB/ { print ($4 == "-inf" ? "none" : $4) }'
}

printf '%-8s %10s %10s %8s %10s\n' screen music effects apart "both max"
for screen in splash menu map board ending; do
    m=$(peak "$dir/$screen-music.raw")
    e=$(peak "$dir/$screen-effects.raw")
    awk -v s="$screen" -v m="$m" -v e="$e" 'BEGIN {
        apart = (m == "none" || e == "none") ? "-" : sprintf("%.1f", (m > e ? m - e : e - m));
        lm = (m == "none") ? 0 : 10 ^ (m / 20); le = (e == "none") ? 0 : 10 ^ (e / 20);
        both = (lm + le > 0) ? sprintf("%.1f", 20 * log(lm + le) / log(10)) : "none";
        printf "%-8s %10s %10s %8s %10s\n", s, m, e, apart, both }'
done
