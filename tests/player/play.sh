#!/bin/bash
# The real game in its own X server, played through xdotool on the SDL LD_LIBRARY_PATH picks:
# play.sh dashboard|signals|scaled|no-display, with GLIMM_BINARY and GLIMM_MEDIA_DIR set.
# shellcheck source=tests/player/session.sh
source "$(dirname "$0")/session.sh"
game=${GLIMM_BINARY:?} scaler=$(dirname "$0")/../../packaging/run-scaled
compat=/usr/lib/x86_64-linux-gnu/sdl12-compat tint="150 100 200" shot=$scratch/screenshot1.bmp
ln -s "${GLIMM_MEDIA_DIR:?}" "$scratch/Media"

size() { xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p'; }
game_drawn() { grab && [ "$(pixels 1x1+200+437)" = "$tint" ]; }
changed() { grab && ! cmp -s "$scratch/before.xwd" "$scratch/now.xwd"; }

case ${1:-} in
no-display)
    # As over SSH, where SDL would draw in the terminal for ever: one line, status 1, at once.
    for display in "-u DISPLAY" DISPLAY= DISPLAY=:65000; do # the last, a server that is gone
        (cd "$scratch" && exec env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER $display \
            SDL_AUDIODRIVER=dummy "$game" &>"$scratch/out" </dev/null) &
        game_pid=$! && wait_game 2
        [ "$status" = 1 ] && [ "$(wc -l <"$scratch/out")" = 1 ] &&
            grep -qx 'glimm: cannot open the 640x480 window: .*' "$scratch/out" ||
            fail "$display: status $status, said $(cat "$scratch/out")"
    done
    ;;
dashboard)
    start_x && start_game "$scratch" "$game"
    [ "$(size)" = 640x480 ] || fail "the window is $(size)"
    # xdotool's search ignores case; a player would not.
    [ "$(xdotool getwindowname "$window")" = Glimm ] || fail "the window's caption is not Glimm"
    # The screenshot is the game frame under the dashboard: its bar has no backdrop.
    xdotool mousemove --window "$window" 320 437
    hold_until key Escape dashboard_open || fail "Escape did not open the dashboard"
    # A short click (tap-to-click) counts. SDL writes a BMP's length last; rows go bottom up.
    bmp_whole() { [ -s "$shot" ] && (($(stat -c %s "$shot") == $(od -An -tu4 -j2 -N4 "$shot"))); }
    { point 320 215 && xdotool click 1 && poll 10 bmp_whole; } ||
        fail "no screenshot1.bmp after a short click on Save BMP screenshot"
    [ "$(od -An -tu1 -v -w3 -j $((54 + (479 - 437) * 1920 + 250 * 3)) -N 420 "$shot" |
        awk '{ print $3, $2, $1 }' | sort -u)" = "$tint" ] || fail "the screenshot is no game frame"
    click_until 320 115 game_drawn || fail "Resume game did not close the dashboard"
    cp "$scratch/now.xwd" "$scratch/before.xwd" && poll 5 changed ||
        fail "the tunnel stands still after Resume game"
    { xdotool key Escape && poll 10 dashboard_open; } || fail "a quick Escape tap did nothing"
    click_until 320 165 game_ended || fail "Exit did not end the game"
    wait_game 1 && [ "$status" = 0 ] || fail "Exit ended the game with status $status"
    ;;
signals)
    # Rows: signal to X, SIGTERMs to the game, seconds to end in, status. On a frozen display one
    # SIGTERM ends it in 5 s, a second at once; each waits to be taken (bit 14 of ShdPnd) unmerged.
    term_taken() { ! grep -q '^ShdPnd:.*[4-7c-f]...$' "/proc/$game_pid/status" 2>/dev/null; }
    start_x
    while read -r x terms seconds want; do
        [ -n "${game_pid:-}" ] || start_game "$scratch" "$game"
        poll 5 game_drawn || fail "the game never drew its first frame"
        kill "-$x" "$x_pid"
        for _ in $(seq "$terms"); do kill -TERM "$game_pid" && poll 5 term_taken; done
        wait_game "$seconds" && [ "$x" != STOP ] || kill -CONT "$x_pid"
        [[ $status =~ ^$want$ ]] || fail "X $x, $terms SIGTERM: the game ended with status $status"
    done <<'ROWS'
CONT 1 5 0
STOP 1 10 [0-9]+
STOP 2 3 [0-9]+
KILL 0 5 [1-9][0-9]*
ROWS
    ;;
scaled) # as `make run` and the launcher start it, on a 1920x1080 screen
    screen=1920x1080 start_x && start_game "$scratch" sh "$scaler" "$game"
    [ "$(size)" = 1280x960 ] || fail "the window is $(size) on a 1920x1080 screen"
    # Rows: work area (- none, "no X"), GLIMM_SCALE, factor, player's SDL12COMPAT_WINDOW_SCALING.
    # The window with a 16 x 64 frame must fit; a refused GLIMM_SCALE is named, the fitting taken.
    while IFS='|' read -r area value factor own; do
        xprop -root -remove _NET_WORKAREA 2>/dev/null
        [[ $area != [0-9]* ]] || xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "$area"
        display=$DISPLAY && [ "$area" != "no X" ] || display=
        out=$(env -u LD_LIBRARY_PATH ${own:+SDL12COMPAT_WINDOW_SCALING=$own} DISPLAY="$display" \
            GLIMM_SCALE="$value" sh "$scaler" env 2>&1 |
            grep -E '^(SDL12COMPAT_WINDOW_SCALING|LD_LIBRARY_PATH)=|^glimm:' | sort)
        want=SDL12COMPAT_WINDOW_SCALING=$factor
        [ "$factor" = 1 ] || want+=$'\n'LD_LIBRARY_PATH=$compat
        [[ $value =~ ^([1-9]|1[0-6])?$ ]] ||
            want+=$'\n'"glimm: GLIMM_SCALE=$value is not a whole number from 1 to 16; ignored"
        [ "$out" = "$(sort <<<"$want")" ] || fail "$area, GLIMM_SCALE=$value: $out"
    done <<'ROWS'
-||2
-|3|3
-|1|1|2
-||3|3
0, 0, 1920, 1024|0|2
0, 0, 1920, 1023|-1|1
0, 0, 1295, 2000|abc|1
0, 0, 3840, 2160|17|4
no X|99999999999999999999|1
ROWS
    ;;
*) fail "usage: $0 dashboard|signals|scaled|no-display" ;;
esac
