#!/bin/bash
# The real game in its own X server, played through xdotool on the runtime LD_LIBRARY_PATH picks:
# play.sh dashboard|sigterm|display-lost|display-frozen|scaled|no-display, with GLIMM_BINARY and
# GLIMM_MEDIA_DIR set. "scaled" starts it as `make run` and the launcher do, on a 1920x1080 screen;
# "no-display" starts it with no X server at all, as over SSH.
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
    click_until 320 215 bmp_whole || fail "no screenshot1.bmp after Save BMP screenshot"
    [ "$(bmp_row 437 250 140 | sort -u)" = "$tint" ] || fail "screenshot1.bmp is not the game frame"

    click_until 320 115 game_drawn || fail "Resume game did not close the dashboard"
    cp "$scratch/now.xwd" "$scratch/before.xwd"
    poll 5 moved || fail "the tunnel stands still after Resume game"

    hold_until key Escape dashboard_open || fail "Escape did not open the dashboard again"
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
    # A display that stops answering holds the game inside a frame: SIGTERM must still end it.
    poll 5 game_drawn || fail "the game never drew its first frame"
    kill -STOP "$x_pid"
    kill -TERM "$game_pid"
    wait_game 10
    kill -CONT "$x_pid"
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
*) fail "usage: $0 dashboard|sigterm|display-lost|display-frozen|scaled|no-display" ;;
esac
