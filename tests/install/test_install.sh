#!/bin/bash
# Install checks: test_install.sh tree|player|deb, with the build's folders set by ctest.
# shellcheck source=tests/player/session.sh
source "${GLIMM_SOURCE_DIR:?}/tests/player/session.sh"
bin=${GLIMM_LAUNCHER_DIR:-bin} libexec=${GLIMM_LIBEXEC_DIR:-libexec}/glimm home=$scratch/home
share=${GLIMM_DATAROOT_DIR:-share} doc=${GLIMM_DOC_DIR:-share/doc/glimm}
# A prefix with a space and a quote, staged under DESTDIR: the launcher must survive both.
prefix="/opt/glimm's game" root=$scratch/root tree=$scratch/root$prefix installed=$tree

# Every file an install must hold, relative to the prefix, sorted.
expected_files() (
    printf '%s\n' "$bin/glimm" "$libexec/"{glimm,run-scaled} "$doc/"{changelog.gz,copyright} \
        "${GLIMM_MAN_DIR:-share/man}/man6/glimm.6.gz" "$share/lintian/overrides/glimm" \
        "$share/"{applications/glimm.desktop,metainfo/io.github.glimm.Glimm.metainfo.xml} \
        "$share/icons/hicolor/"{16x16,32x32,48x48,64x64,128x128,256x256}/apps/glimm.png \
        "$share/icons/hicolor/scalable/apps/glimm.svg"
    cd "$GLIMM_SOURCE_DIR/Media" &&
        find Game Lumadeck -type f ! -name '.*' -printf "$share/games/glimm/Media/%p\n"
)
# Installs to the prefix $1, under DESTDIR $2 when given.
install_to() {
    DESTDIR=${2:-} cmake --install "${GLIMM_BUILD_DIR:?}" --prefix "$1" >"$scratch/log" 2>&1 ||
        fail "cmake --install --prefix $1: $(cat "$scratch/log")"
}

# Runs the installed launcher from an empty folder, no display, NAME=values $2...: its stderr
# holds $said (by default the game's stop), and $1/glimm (unless -) a Media link to the install.
launch() {
    mkdir -p "$scratch/work" "$home"
    (cd "$scratch/work" && exec env -u XDG_DATA_HOME HOME="$home" DISPLAY= SDL_VIDEODRIVER=x11 \
        "${@:2}" "$installed/$bin/glimm") 2>"$scratch/err" || true
    grep -q "${said:-^glimm: cannot open the 640x480 window}" "$scratch/err" ||
        fail "$*: the launcher said $(cat "$scratch/err")"
    [ -z "$(ls -A "$scratch/work")" ] || fail "the launcher wrote into the working folder"
    [ "$1" = - ] || [ "$(readlink "$1/glimm/Media")" -ef "$installed/$share/games/glimm/Media" ] ||
        fail "$*: $1/glimm/Media is no link to the installed media"
}
# Name, mode, size, time and checksum of every file below $1, links as their targets.
listing() {
    (cd "$1" && find . -mindepth 1 -printf '%p %m %s %T@ %l\n' -type f -exec md5sum {} + | sort)
}

check_tree() {
    install_to "$prefix" "$root"
    diff <(expected_files | LC_ALL=C sort) <(cd "$tree" && find . ! -type d -printf '%P\n' |
        LC_ALL=C sort) >&2 || fail "the installed files differ from the expected set"
    # Outside DESTDIR the launcher falls back on the quoted install paths.
    grep -qF "'/opt/glimm'\\''s game/$libexec/glimm'" "$tree/$bin/glimm" ||
        fail "the launcher does not name the game under $prefix"
    launch "$scratch/data home" XDG_DATA_HOME="$scratch/data home"
    [ -z "$(ls -A "$home")" ] || fail "with XDG_DATA_HOME set, the launcher wrote into HOME"
    local media=$home/.local/share/glimm/Media
    launch "$home/.local/share" XDG_DATA_HOME=relative # does not count
    ln -sfn /nowhere "$media" && launch "$home/.local/share" # a stale link is renewed
    rm "$media" && mkdir "$media" && echo mine >"$media/keep" && launch -
    [ "$(cat "$media/keep")" = mine ] || fail "the player's own Media folder was replaced"

    local desktop=$tree/$share/applications/glimm.desktop out
    out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file: $out"
    [ -x "$tree/$bin/$(sed -n 's/^TryExec=//p' "$desktop")" ] || fail "TryExec is not the command"
    out=$(appstreamcli validate-tree --no-net "$tree" 2>&1) && [[ $out != *[WE]": "* ]] ||
        fail "appstreamcli validate-tree: $out"
}

# A player's folder with a record, screenshots and a Media link to a read-only earlier install:
# an install to ~/.local writes neither in it nor through the link; the launcher keeps its files,
# and starts the game from the menu in that folder.
check_player() {
    local folder=$home/.local/share/glimm other=$scratch/other before others
    installed=$home/.local
    mkdir -p "$folder" "$other/Media/Game" "$other/Media/Lumadeck"
    echo 1234 >"$folder/highscore.dat"
    for n in 1 3; do head -c 921654 /dev/urandom >"$folder/screenshot$n.bmp"; done
    ln -s "$other/Media" "$folder/Media" && chmod -R a-w "$other"
    before=$(listing "$folder" | grep -v '^\./Media ') others=$(listing "$other")
    install_to "$installed" && launch "$home/.local/share" && start_x
    start_game "$scratch/work" HOME="$home" XDG_DATA_HOME= PATH="$installed/$bin:$PATH" \
        "$(sed -n 's/^Exec=//p' "$installed/$share/applications/glimm.desktop")"
    [ "$(readlink "/proc/$game_pid/cwd")" = "$folder" ] || fail "the game does not run in $folder"
    # Through run-scaled, which finds the 1024x768 screen too small to enlarge the window.
    grep -qzx SDL12COMPAT_WINDOW_SCALING=1 "/proc/$game_pid/environ" || fail "no run-scaled"
    kill -TERM "$game_pid" && wait_game 5
    [ "$(listing "$other")" = "$others" ] || fail "the install wrote through the Media link"
    [ "$(listing "$folder" | grep -v '^\./Media ')$(ls -A "$scratch/work")" = "$before" ] ||
        fail "the install, the launcher or the game changed the player's record or screenshots"
    # A player's folder that is the install's own data folder is refused, and nothing is written.
    before=$(listing "$installed/$share/games/glimm")
    said="is where the game is installed" launch - XDG_DATA_HOME="$installed/$share/games"
    [ "$(listing "$installed/$share/games/glimm")" = "$before" ] || fail "the launcher wrote there"
    chmod -R u+w "$other"
}

check_deb() {
    (cd "$scratch" && cpack -G DEB --config "$GLIMM_BUILD_DIR/CPackConfig.cmake" -B deb) \
        >"$scratch/log" 2>&1 || fail "cpack -G DEB: $(cat "$scratch/log")"
    deb=$(echo "$scratch"/deb/glimm_*.deb) && [ -f "$deb" ] || fail "no single glimm_*.deb: $deb"
    # The libraries the game links, found by dpkg-shlibdeps; sdl12-compat and xprop to scale.
    fields=$(dpkg-deb -f "$deb" Package Section Depends Recommends | sed 's/ ([^)]*)//g' |
        paste -sd '|')
    [ "$fields" = "Package: glimm|Section: games|Depends: libc6, libgcc-s1, libsdl-image1.2, \
libsdl-mixer1.2, libsdl1.2debian, libstdc++6|Recommends: libsdl1.2-compat, x11-utils" ] ||
        fail "the package's fields: $fields"
    # The installed files, owned by root; the launcher, the game and run-scaled alone executable.
    diff <(expected_files | awk -v run="^($bin/glimm|$libexec/(glimm|run-scaled))\$" \
        '{ print ($0 ~ run ? "-rwxr-xr-x" : "-rw-r--r--"), "root/root", $0 }' | sort -k 3) \
        <(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $1, $2, substr($6, 7) }' |
            sort -k 3) >&2 || fail "the package's files, owners or modes differ"
}

case ${1:-} in
tree | player | deb) "check_$1" ;;
*) fail "usage: $0 tree|player|deb" ;;
esac
