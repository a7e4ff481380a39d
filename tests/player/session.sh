#!/bin/bash
# Shared by the player and install tests: a scratch folder, a private X server, the game in it,
# real input through xdotool (XTEST) and the window's pixels read back with xwd.
set -euo pipefail

# A space in the scratch path, which everything must survive. A failed run keeps the folder.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/glimm test.XXXXXX")
cleanup() {
    local status=$?
    kill -KILL "${game_pid:-}" 2>/dev/null || true
    kill -CONT "${x_pid:-}" 2>/dev/null && kill -TERM "$x_pid" || true
    wait 2>/dev/null
    if [ "$status" -eq 0 ]; then rm -rf "$scratch"; else echo "kept $scratch" >&2; fi
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Runs "$@" every 50 ms until it succeeds, for at most $1 seconds.
poll() {
    local deadline=$((${EPOCHREALTIME/[.,]/} + $1 * 1000000)) && shift
    until "$@"; do [ "${EPOCHREALTIME/[.,]/}" -lt "$deadline" ] && sleep 0.05 || return 1; done
}

# A private X server with a screen of $screen (1024x768 when unset).
start_x() {
    Xvfb -displayfd 9 -screen 0 "${screen:-1024x768}x24" -noreset -nolisten tcp \
        9>"$scratch/display" 2>/dev/null &
    x_pid=$!
    poll 20 test -s "$scratch/display" || fail "Xvfb did not start"
    DISPLAY=:$(cat "$scratch/display") && export DISPLAY
}

# Starts "$@" in the folder $1 with silent audio and waits for its window captioned Glimm.
start_game() {
    (cd "$1" && shift && exec env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$@") \
        >>"$scratch/game.log" 2>&1 &
    game_pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Glimm$' | head -n 1) || true
    [ -n "$window" ] || fail "no window captioned Glimm: $(cat "$scratch/game.log")"
}

# Waits up to $1 seconds for the game to end and sets status to its exit status.
game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }
wait_game() {
    poll "$1" game_ended || fail "the game still runs $1 s later"
    status=0 && wait "$game_pid" || status=$?
    game_pid=
}

# A key ("key Escape") or a mouse button ("mouse 1") held, as a player holds it, until the
# command after it succeeds. Without a window manager, keys go to the window under the pointer.
hold_until() {
    local seen=0
    xdotool "${1}down" "$2" && poll 10 "${@:3}" || seen=$?
    xdotool "${1}up" "$2" && return "$seen"
}
# Points at a button and waits for its hover fill: the game then took the last release too.
hovered() { grab && pixels "1x1+175+$1" | awk '{ exit !($1 > $3) }'; }
point() { xdotool mousemove --window "$window" "$1" "$2" && poll 10 hovered "$2"; }
click_until() { point "$1" "$2" && hold_until mouse 1 "${@:3}"; }

# The window grabbed; a WxH+X+Y rectangle of it, "r g b" a line.
grab() { xwd -silent -id "$window" >"$scratch/now.xwd"; }
pixels() {
    stream -map rgb -storage-type char -extract "$1" "$scratch/now.xwd" - | od -An -tu1 -v -w3 |
        awk '{ print $1, $2, $3 }'
}

# Fully open, the labels stand on their last rows: "R"esume at (264, 107), "S"ave at (221, 207).
dashboard_open() {
    grab && { pixels 1x2+264+106 && pixels 1x2+221+206; } |
        awk '{ s = s ($1 + $2 + $3 < 150 ? "#" : "+") } END { exit s != "+#+#" }'
}
