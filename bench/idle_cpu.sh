#!/usr/bin/env bash
# idle_cpu.sh -- CPU share, frame rate, peak memory and start-up time of the game under Xvfb
#
#   bench/idle_cpu.sh [path/to/tombweaver] [runs]
#   BOARD=30x30 bench/idle_cpu.sh build-bench/bench/board_window [runs]
#   BOARD=puzzle.non bench/idle_cpu.sh build-bench/bench/board_window [runs]
#
# Starts the game on a private Xvfb screen (1920 x 1080 unless SCREEN=WxH) as a new
# player would, and measures each screen for SECONDS seconds (default 5): the title
# screen, the map and a board left alone, then the board while a button is dragged
# over its cells. With BOARD=WxH the program is board_window, which opens a generated
# free-play board of that size (or the file's first puzzle) at once: only the board is
# measured (title and map show -). CPU is the game's user + system time over the wall time (percent
# of one core); frames a second are what the diagnostics panel shows (taken from
# TOMBWEAVER_FRAME_LOG), with the mean and the longest frame's update of the board left alone
# (frame_ms: the median of the seconds' means, max_ms: the longest). Start-up is the time from launch to the first presented
# frame; peak memory is the resident high-water mark after the play-through.
# Each figure is the median of the runs (default 3).
set -euo pipefail

game=${1:-build/tombweaver}
board_size=${BOARD:-}
runs=${2:-3}
seconds=${SECONDS_PER_SCREEN:-5}
screen=${SCREEN:-1920x1080}
sw=${screen%x*}
sh=${screen#*x}

for tool in Xvfb xdotool; do
    command -v $tool >/dev/null || { echo "idle_cpu.sh: needs $tool (apt-get install xvfb xdotool)" >&2; exit 2; }
done
[ -x "$game" ] || { echo "idle_cpu.sh: no game at $game (make build first)" >&2; exit 2; }
game=$(readlink -f "$game")

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A free display number.
d=90
while [ -e /tmp/.X11-unix/X$d ] || [ -e /tmp/.X$d-lock ]; do d=$((d + 1)); done
Xvfb :$d -screen 0 ${screen}x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=:$d
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' /proc/$game_pid/stat; }

# Percent of one core used by the game over the next $seconds, the median frame rate logged
# meanwhile and (with longest) the median of the seconds' mean frame updates and the longest then, in ms.
measure() {
    local log=$1 from a b t0 t1 longest=${2:-}
    from=$(wc -l < "$log")
    a=$(cpu_ticks); t0=$(date +%s%N)
    sleep "$seconds"
    b=$(cpu_ticks); t1=$(date +%s%N)
    local cpu fps
    cpu=$(awk -v d=$((b - a)) -v hz=$hz -v ns=$((t1 - t0)) 'BEGIN { printf "%.1f", 100 * d / hz / (ns / 1e9) }')
    fps=$(tail -n +$((from + 2)) "$log" | awk '/^frame rate/ {print $3}' | sort -n | awk '{v[NR]=$1} END {print NR ? v[int((NR + 1) / 2)] : "-"}')
    if [ -n "$longest" ]; then
        local mean
        mean=$(tail -n +$((from + 2)) "$log" | awk '/^mean frame/ {print $3}' | sort -n | awk '{v[NR]=$1} END {print NR ? v[int((NR + 1) / 2)] : "-"}')
        longest=$(tail -n +$((from + 2)) "$log" | awk '/^longest frame/ {if ($3 > m) m = $3} END {print m + 0}')
        echo "$cpu $fps $mean $longest"
    else
        echo "$cpu $fps"
    fi
}

# Drags the left button back and forth over the board's cells until killed.
drag() {
    local y=$((sh * 400 / 1080)) x0=$((sw * 620 / 1920)) x1=$((sw * 1060 / 1920))
    xdotool mousemove $x0 $y mousedown 1
    while :; do
        for x in $(seq $x0 24 $x1) $(seq $x1 -24 $x0); do xdotool mousemove $x $y; sleep 0.01; done
    done
}

one_run() {
    local log=$work/log.$1 home=$work/home.$1
    mkdir -p "$home"
    local start
    start=$(date +%s.%N)
    HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} \
        TOMBWEAVER_FRAME_LOG=1 "$game" $board_size 2>"$log" &
    game_pid=$!
    for _ in $(seq 100); do grep -qs "^first frame" "$log" && break; sleep 0.05; done
    local first
    first=$(awk '/^first frame at/ {print $4; exit}' "$log")
    local startup
    startup=$(awk -v a="$start" -v b="$first" 'BEGIN { printf "%.0f", (b - a) * 1000 }')
    local title="- -" map="- -" board dragging
    if [ -n "$board_size" ]; then
        sleep 3 # the board opens as soon as the splash is up
    else
        # The splash ends on a click; the title screen follows its fade.
        sleep 1.5
        xdotool mousemove $((sw / 2)) $((sh / 2)) click 1
        sleep 2
        title=$(measure "$log")
        xdotool mousemove $((sw / 2)) $((sh * 464 / 1080)) click 1 # Play
        sleep 2
        map=$(measure "$log")
        xdotool mousemove $((sw * 210 / 1920)) $((sh * 164 / 1080)) click 1 # the first location
        sleep 2
    fi
    board=$(measure "$log" longest)
    drag &
    local drag_pid=$!
    dragging=$(measure "$log")
    kill $drag_pid 2>/dev/null; wait $drag_pid 2>/dev/null || true
    xdotool mouseup 1
    local rss
    rss=$(awk '/^VmHWM/ {printf "%.0f", $2 / 1024}' /proc/$game_pid/status)
    kill -9 $game_pid; wait $game_pid 2>/dev/null || true
    game_pid=""
    echo "$startup $title $map $board $dragging $rss"
}

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR + 1) / 2)]}'; }

fmt="%-6s %9s %7s %5s %7s %5s %7s %5s %8s %6s %9s %5s %8s\n"
echo "game: $game${board_size:+ $board_size}"
echo "screen: ${screen}, ${seconds} s per screen, $runs runs, $(nproc) cores; cpu in % of one core"
printf "$fmt" run start_ms title fps map fps board fps frame_ms max_ms dragging fps peak_MB
results=()
for r in $(seq "$runs"); do
    line=$(one_run "$r")
    results+=("$line")
    printf "$fmt" "$r" $line
done
medians=()
for col in $(seq 13); do
    medians+=("$(printf "%s\n" "${results[@]}" | awk -v c=$col '{print $c}' | median)")
done
printf "$fmt" median "${medians[@]}"
