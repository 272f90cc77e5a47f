#!/bin/sh
# tombweaver-solve's command line: its outputs and exit statuses for good, ambiguous,
# contradictory, unreadable and stopped puzzles, bad command lines, conversion and generation.
# Usage: check_solve.sh <path of tombweaver-solve>
set -eu
tool=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# expect STATUS COMMAND...: runs the tool, output in $tmp/out and $tmp/err
expect() {
  want=$1; shift
  set +e; "$tool" "$@" >"$tmp/out" 2>"$tmp/err"; got=$?; set -e
  [ "$got" = "$want" ] || { cat "$tmp/out" "$tmp/err"; fail "tombweaver-solve $* exited $got, not $want"; }
}
has() { grep -qF -- "$1" "$tmp/$2" || { cat "$tmp/$2"; fail "no \"$1\" in the $2 of: $3"; }; }

cd "$tmp"
printf 'title "Arrow"\nwidth 5\nheight 4\nrows\n1\n4\n\n1,1,1\ncolumns\n1,1\n1\n2,1\n1\n1\n' >arrow.non
printf '# one of each\n2x2:1/1/1/1\n2x2:2//2/\n' >ids.txt
printf 'width 2\nheight 2\nrows\n3\n' >bad.non
printf '60x60:%s1\n' "$(for i in $(seq 119); do printf '1/'; done)" >slow.txt

expect 0 --version
[ "$(cat out)" = "tombweaver-solve $(sed -n 's/^project(tombweaver VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")" ] ||
  fail "--version printed $(cat out)"
expect 0 --help; has "--generate WxH" out --help
for bad in "" "--bogus arrow.non" "--limit" "--limit 0 arrow.non" "--limit x arrow.non" "--format xml arrow.non" \
           "--count --format id arrow.non" "--generate 4x4 --grade easy --number 1" \
           "--generate 5x5 --grade search --number 1" "--generate 5x5 --grade easy --number 4294967296" \
           "--generate 5x5 --grade easy" "--generate 5x5 --grade easy --number 1 arrow.non" \
           "--generate 5x5 --grade easy --number +1" "--generate 5x5 --grade easy --number 1e3" \
           "--generate 5x5 --grade easy --number 0x1" "--generate 5x+5 --grade easy --number 1" \
           "--limit 1e3 arrow.non" "--limit +1 arrow.non" "--limit . arrow.non" "--limit 0x10 arrow.non" \
           "--limit 1.2.3 arrow.non" "--limit 0.0 arrow.non" "--limit 1000001 arrow.non"; do
  # shellcheck disable=SC2086
  expect 2 $bad; has "Try 'tombweaver-solve --help'." err "$bad"
done

expect 0 arrow.non
has "arrow.non: 5x4, Arrow" out arrow.non; has "  ####." out arrow.non; has "verdict: unique" out arrow.non
has "grade: easy" out arrow.non; has "time: " out arrow.non
expect 3 ids.txt arrow.non
has "ids.txt #1: 2x2" out ids.txt; has "verdict: multiple" out ids.txt; has "verdict: none" out ids.txt
has "and another solution" out ids.txt; has "grade: none" out ids.txt
# Rows and columns that fill different numbers of cells: a puzzle without a solution,
# not an unreadable file.
printf '2x2:1/1/2/1\n' >uneven.txt
printf 'width 2\nheight 2\nrows\n1\n1\ncolumns\n2\n1\n' >uneven.non
printf '<puzzle><clues type="rows"><line><count>1</count></line></clues><clues type="columns"><line/></clues></puzzle>' >uneven.xml
expect 3 --count uneven.txt uneven.non uneven.xml
[ "$(cat out)" = "uneven.txt: 0
uneven.non: 0
uneven.xml: 0" ] || fail "--count of puzzles with uneven totals printed $(cat out)"
expect 3 uneven.txt; has "verdict: none" out uneven.txt; has "grade: none" out uneven.txt
expect 3 --format non uneven.txt; cp out uneven-again.non; expect 3 --count uneven-again.non
expect 1 bad.non missing.non arrow.non
has "bad.non:4: row 1: a run of 3 cells does not fit in 2" err bad.non
has "missing.non: No such file or directory" err missing.non; has "verdict: unique" out "the good file after two bad"
# A named pipe, a device or a folder is refused at once, not waited on or read forever;
# the writer lets a reader that waits on the pipe go again.
mkfifo pipe.non
{ printf 'width 1\n' >pipe.non; } 2>/dev/null & writer=$!
expect 1 pipe.non /dev/null . arrow.non
kill "$writer" 2>/dev/null || true
has "pipe.non: not a regular file" err pipe.non; has "/dev/null: not a regular file" err /dev/null
has ".: not a regular file" err "a folder"; has "verdict: unique" out "a good file after a pipe"
# What a file holds is shown escaped: a NUL does not cut a reason short, and no escape
# sequence in a reason or a title reaches the terminal. Blanks around a game id's runs.
printf 'width \000\033[2J\n' >nul.non
printf 'title "\033]0;owned\007\303\251"\nwidth 1\nheight 1\nrows\n1\ncolumns\n1\n' >esc.non
printf '2x2: 1 / 1 /1/ 1\n1x1: 0 /0\n' >blanks.txt
expect 1 nul.non; has 'nul.non:1: the width "\x00\x1b[2J" is not a number' err nul.non
expect 0 esc.non; has 'esc.non: 1x1, \x1b]0;owned\x07é' out esc.non
! grep -q "$(printf '\033')" out || fail "an escape reached the output"
expect 3 --count blanks.txt; has "blanks.txt #2: 1" out blanks.txt

expect 4 --count --limit 0.001 slow.txt arrow.non
[ "$(cat out)" = "slow.txt: stopped
arrow.non: 1" ] || fail "--count printed $(cat out)"

# Written back as .non with the solution as goal, then read again; as game ids.
expect 0 --format non arrow.non; cp out again.non
has "# verdict: unique" again.non "--format non"; has 'goal "00100111100000010101"' again.non "--format non"
expect 0 again.non; has "####." out again.non
# Several puzzles written as one .non read back as they were, in order.
expect 3 --format non ids.txt arrow.non; cp out all.non
has "# verdict: none" all.non "--format non of three"
expect 3 --count all.non
[ "$(cat out)" = "all.non #1: 2+
all.non #2: 0
all.non #3: 1" ] || fail "--count of the .non written back printed $(cat out)"
expect 3 --format non all.non; cmp -s out all.non || fail "the .non of three written again differs"
expect 3 --format id ids.txt arrow.non
[ "$(cat out)" = "2x2:1/1/1/1
2x2:2//2/
5x4:1.1/1/2.1/1/1/1/4//1.1.1" ] || fail "--format id printed $(cat out)"
expect 0 - <arrow.non; has "(standard input): 5x4" out "standard input"

# Output that cannot be written (a full disk) is an error, not a success with a cut file:
# at the first write for a short output, as it happens for a long one.
expect_full() {
  want=$1; shift
  set +e; "$tool" "$@" >/dev/full 2>"$tmp/err"; got=$?; set -e
  [ "$got" = "$want" ] || { cat "$tmp/err"; fail "tombweaver-solve $* >/dev/full exited $got, not $want"; }
  has "tombweaver-solve: standard output: No space left on device" err "$* >/dev/full"
}
expect_full 1 --format non ids.txt
expect_full 1 arrow.non
expect_full 1 --generate 7x5 --grade medium --number 48213
expect_full 1 --version
printf '1x1:1/1\n%.0s' $(seq 3000) >many.txt
expect_full 1 --count many.txt
[ "$(grep -c 'No space' err)" = 1 ] || fail "the write error was told more than once: $(head -3 err)"

# Generated puzzles: the same number gives the same puzzle, and it has one solution.
expect 0 --generate 7x5 --grade medium --number 48213; cp out generated.non
expect 0 --generate 7x5 --grade medium --number 48213; cmp -s out generated.non || fail "generation differs"
# Numbers of options: digits only, leading zeros allowed; a fraction for --limit.
expect 0 --generate 07x0005 --grade medium --number 000000000000048213
cmp -s out generated.non || fail "leading zeros give another puzzle"
for limit in 05 0.5 .5 2. 1000000; do expect 0 --count --limit $limit arrow.non; done
expect 0 generated.non; has "generated.non: 7x5" out generated.non; has "grade: medium" out generated.non
echo "tombweaver-solve: ok"
