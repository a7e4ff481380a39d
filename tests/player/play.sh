#!/bin/bash
# The real game in its own X server, played through xdotool on the runtime LD_LIBRARY_PATH picks:
# play.sh dashboard|sigterm|display-lost|display-frozen|stopped|scaled|no-display, with
# GLIMM_BINARY and GLIMM_MEDIA_DIR set. "scaled" starts it as `make run` and the launcher do, on a
# 1920x1080 screen; "no-display" starts it with no X server at all, as over SSH.
# shellcheck source=tests/player/session.sh
source "$(dirname "$0")/session.sh"

ln -s "${GLIMM_MEDIA_DIR:?}" "$scratch/Media"
if [ "${1:-}" = no-display ]; then
    # Left to itself SDL would draw in the terminal (classic) or off screen (sdl12-compat) for ever.
    # Rows: DISPLAY (- unset), then what the case is.
    while IFS='|' read -r display case; do
        unset=(-u DISPLAY) && [ "$display" = - ] || unset=(DISPLAY="$display")
        (cd "$scratch" && exec env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "${unset[@]}" SDL_AUDIODRIVER=dummy \
            "${GLIMM_BINARY:?}" >"$scratch/out" 2>"$scratch/err" </dev/null) &
        game_pid=$!
        wait_game 2
        [ "$status" -eq 1 ] || fail "$case: the game ended with status $status"
        [ ! -s "$scratch/out" ] || fail "$case: the game wrote $(wc -c <"$scratch/out") bytes to stdout"
        grep -qx 'glimm: cannot open the 640x480 window: .*' "$scratch/err" && [ "$(wc -l <"$scratch/err")" -eq 1 ] ||
            fail "$case: the game said: $(cat "$scratch/err")"
    done <<'ROWS'
-|no display
|an empty DISPLAY
:65000|a display whose server is gone
ROWS
    exit 0
fi
scaler=$(dirname "$0")/../../packaging/run-scaled compat=/usr/lib/x86_64-linux-gnu/sdl12-compat
if [ "${1:-}" = scaled ]; then
    screen=1920x1080 start_x
    start_game "$scratch" sh "$scaler" "${GLIMM_BINARY:?}"
else
    start_x
    start_game "$scratch" "${GLIMM_BINARY:?}"
fi
tint="150 100 200" shot=$scratch/screenshot1.bmp

# The health bar is drawn, with the game's cursor on it.
cursor_on_bar() { grab && row=$(pixels 140x1+250+437 | sort -u) && [[ $row == *"$tint"* && $row != "$tint" ]]; }
game_drawn() { grab && [ "$(pixels 1x1+200+437)" = "$tint" ]; }
# Two signals sent before the game runs again would merge into one: wait until it took the first.
term_taken() {
    local pending
    pending=$(sed -n 's/^ShdPnd:\t*//p' "/proc/$game_pid/status" 2>/dev/null) || return 0
    (((16#$pending & 1 << 14) == 0))
}
moved() { grab && ! cmp -s "$scratch/before.xwd" "$scratch/now.xwd"; }
# SDL fills in a BMP's length last. Its rows are 640 pixels of 3 bytes, bottom row first.
bmp_whole() { [ -s "$shot" ] && [ "$(stat -c %s "$shot")" -eq "$(($(od -An -tu4 -j2 -N4 "$shot")))" ]; }
bmp_row() { od -An -tu1 -v -w3 -j $((54 + (479 - $1) * 1920 + $2 * 3)) -N $(($3 * 3)) "$shot" | awk '{ print $3, $2, $1 }'; }

case ${1:-} in
dashboard)
    size=$(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')
    [ "$size" = 640x480 ] || fail "the window is $size"
    [ "$(xdotool getwindowname "$window")" = Glimm ] || fail "the window's caption is not Glimm"
    # Escape with the cursor on the health bar: the screenshot is the game frame under the
    # dashboard, so the bar is whole there, with no cursor and no pale backdrop.
    xdotool mousemove --window "$window" 320 437
    poll 10 cursor_on_bar || fail "the cursor never lay on the health bar"
    hold_until key Escape dashboard_open || fail "Escape did not open the dashboard"
    # A short click, down and up within a frame as a laptop's tap-to-click, counts.
    { tap_at 320 215 && poll 10 bmp_whole; } || fail "no screenshot1.bmp after a short click on Save BMP screenshot"
    [ "$(bmp_row 437 250 140 | sort -u)" = "$tint" ] || fail "screenshot1.bmp is not the game frame"

    click_until 320 115 game_drawn || fail "Resume game did not close the dashboard"
    cp "$scratch/now.xwd" "$scratch/before.xwd"
    poll 5 moved || fail "the tunnel stands still after Resume game"

    # A quick tap, down and up within a frame, counts as well.
    { xdotool key Escape && poll 10 dashboard_open; } || fail "a quick Escape tap did not open the dashboard"
    click_until 320 165 game_ended || fail "Exit did not end the game"
    wait_game 1
    [ "$status" -eq 0 ] || fail "Exit ended the game with status $status"
    ;;
sigterm)
    kill -TERM "$game_pid"
    wait_game 5
    [ "$status" -eq 0 ] || fail "SIGTERM ended the game with status $status"
    ;;
display-lost)
    # With its X server killed (and reaped) the game must end, and say so in its status.
    kill -KILL "$x_pid"
    wait "$x_pid" 2>/dev/null || x_pid=''
    wait_game 5
    [ "$status" -ne 0 ] || fail "the game ended with status 0 after losing its display"
    ;;
display-frozen)
    # A display that stops answering holds the game inside a frame: SIGTERM must still end it,
    # after the frame's five seconds of grace. A second SIGTERM (Ctrl+C again) ends it at once.
    for signals in 1 2; do
        [ "$signals" = 1 ] || start_game "$scratch" "$GLIMM_BINARY"
        poll 5 game_drawn || fail "the game never drew its first frame"
        kill -STOP "$x_pid"
        for _ in $(seq "$signals"); do kill -TERM "$game_pid" && poll 5 term_taken; done
        wait_game $((signals == 1 ? 10 : 3))
        kill -CONT "$x_pid"
    done
    ;;
stopped)
    # A short click (no hold) on an enemy scores 5; then the game is stopped for 5 s and
    # continued, and the round goes on as it was left. Read where the score's last digit lies on
    # the health bar, which only four passing enemies shorten so far: a round that ended shows
    # 0 there, and "HighScore 5" above it. Only after seconds can enemies pass on their own, so
    # a round not scored within 4 s is started again.
    digits() { pixels 40x29+125+423; }
    scored() { grab && digits >"$scratch/digits" && ! cmp -s "$scratch/digits" "$scratch/digits.start"; }
    # Clicks the enemy pixel nearest the middle, where the view moves least with the pointer,
    # away from the cursor left at the last click.
    shoot() {
        local at
        grab && at=$(pixels 640x370+0+0 | awk -v tint="$tint" -v px="$px" -v py="$py" '$0 == tint {
            x = (NR - 1) % 640; y = int((NR - 1) / 640); d = (x - 320) ^ 2 + (y - 240) ^ 2
            if ((x - px) ^ 2 + (y - py) ^ 2 > 900 && (at == "" || d < best)) { best = d; at = x " " y }
        } END { if (at != "") print at }')
        [ -n "$at" ] || return 1
        px=${at% *} py=${at#* }
        xdotool mousemove --window "$window" "$px" "$py" click 1 && poll 1 scored
    }
    for round in 1 2 3; do
        [ "$round" = 1 ] || { kill -KILL "$game_pid" && wait_game 5 && start_game "$scratch" "$GLIMM_BINARY"; }
        started=${EPOCHREALTIME/[.,]/} px=320 py=240
        xdotool mousemove --window "$window" 320 240
        poll 5 game_drawn || fail "the game never drew its first frame"
        digits >"$scratch/digits.start"
        until shoot || ((${EPOCHREALTIME/[.,]/} - started > 4000000)); do
            ! game_ended || fail "the game ended by itself: $(cat "$scratch/game.log")"
        done
        ((${EPOCHREALTIME/[.,]/} - started <= 4000000)) && break
        [ "$round" != 3 ] || fail "no short click on an enemy scored in three rounds"
    done
    kill -STOP "$game_pid"
    sleep 5 # the stop itself
    kill -CONT "$game_pid"
    # 45 frames, each at least 16 ms of play: long enough for the rings a 5 s leap would have
    # made to reach the player.
    for _ in $(seq 45); do cp "$scratch/now.xwd" "$scratch/before.xwd" && poll 5 moved; done
    digits | cmp -s - "$scratch/digits" || fail "the round stopped for 5 s is not the one that was left"
    ;;
scaled)
    size=$(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')
    [ "$size" = 1280x960 ] || fail "the window is $size on a 1920x1080 screen"
    zoom=2
    xdotool mousemove --window "$window" 640 480
    hold_until key Escape dashboard_open || fail "Escape did not open the dashboard"
    click_until 320 165 game_ended || fail "a click on the scaled Exit did not end the game"
    wait_game 1
    [ "$status" -eq 0 ] || fail "Exit ended the game with status $status"

    # Rows: the work area a window manager sets (- none, "no X" no display), GLIMM_SCALE, the
    # factor. The window with 16 pixels across and 64 down for its frame must fit; a refused
    # GLIMM_SCALE is named and the fitting factor taken.
    while IFS='|' read -r area value factor; do
        display=$DISPLAY
        case $area in
        -) xprop -root -remove _NET_WORKAREA ;;
        "no X") display= ;;
        *) xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "$area" ;;
        esac
        out=$(env -u LD_LIBRARY_PATH DISPLAY="$display" GLIMM_SCALE="$value" sh "$scaler" env 2>&1 |
            grep -E '^(SDL12COMPAT_WINDOW_SCALING|LD_LIBRARY_PATH)=|^glimm:')
        [ "$(sed -n 's/^SDL12COMPAT_WINDOW_SCALING=//p' <<<"$out")" = "$factor" ] ||
            fail "$area, GLIMM_SCALE=$value: not $factor: $out"
        [[ $factor == 1 && $out != *sdl12-compat* || $factor != 1 && $out == *"LD_LIBRARY_PATH=$compat"* ]] ||
            fail "$area, GLIMM_SCALE=$value: the SDL runtime: $out"
        [[ $value =~ ^([1-9]|1[0-6])?$ || $out == *"glimm: GLIMM_SCALE=$value is not"* ]] ||
            fail "GLIMM_SCALE=$value is not named as refused: $out"
    done <<'ROWS'
-||2
-|3|3
-|1|1
-|0|2
-|-1|2
-|abc|2
-|99999999999999999999|2
-|17|2
0, 0, 1920, 1024||2
0, 0, 1920, 1023||1
0, 0, 1295, 2000||1
0, 0, 3840, 2160||4
no X||1
ROWS
    xprop -root -remove _NET_WORKAREA

    # GLIMM_SCALE=1 keeps the plain window even on sdl12-compat told to scale.
    start_game "$scratch" GLIMM_SCALE=1 LD_LIBRARY_PATH=$compat SDL12COMPAT_WINDOW_SCALING=2 sh "$scaler" "$GLIMM_BINARY"
    size=$(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')
    [ "$size" = 640x480 ] || fail "GLIMM_SCALE=1 gave a window of $size"
    ;;
*) fail "usage: $0 dashboard|sigterm|display-lost|display-frozen|stopped|scaled|no-display" ;;
esac
