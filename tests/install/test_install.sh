#!/bin/bash
# Install checks: the installed tree and the launcher that runs the game in the player's own folder,
# an install to ~/.local beside a player's existing files, the game started from it under its own
# X server, the desktop metadata and the .deb. Usage: test_install.sh tree|player|play|metadata|deb;
# ctest sets GLIMM_SOURCE_DIR, GLIMM_BUILD_DIR and the rest.
# shellcheck source=tests/player/session.sh
source "${GLIMM_SOURCE_DIR:?}/tests/player/session.sh"
bin=${GLIMM_LAUNCHER_DIR:-bin} libexec=${GLIMM_LIBEXEC_DIR:-libexec} share=${GLIMM_DATAROOT_DIR:-share}
# A prefix with a space and a quote, staged under DESTDIR: the launcher must survive both.
prefix="/opt/glimm's game" root=$scratch/root tree=$scratch/root$prefix home=$scratch/home

# Every file an install must hold, relative to the prefix, sorted.
expected_files() {
    {
        printf '%s\n' "$bin/glimm" "$libexec/glimm/glimm" "$libexec/glimm/run-scaled" "$share/applications/glimm.desktop" \
            "$share/metainfo/io.github.glimm.Glimm.metainfo.xml" "${GLIMM_MAN_DIR:-share/man}/man6/glimm.6.gz" \
            "${GLIMM_DOC_DIR:-share/doc/glimm}/changelog.gz" "${GLIMM_DOC_DIR:-share/doc/glimm}/copyright" \
            "$share/lintian/overrides/glimm" "$share/icons/hicolor/scalable/apps/glimm.svg"
        for size in 16 32 48 64 128 256; do echo "$share/icons/hicolor/${size}x$size/apps/glimm.png"; done
        cd "$GLIMM_SOURCE_DIR/Media" && find Game Lumadeck -type f ! -name '.*' -printf "$share/games/glimm/Media/%p\n"
    } | LC_ALL=C sort
}

install_tree() {
    DESTDIR=$root cmake --install "${GLIMM_BUILD_DIR:?}" --prefix "$prefix" >"$scratch/install.log" 2>&1 ||
        fail "cmake --install: $(cat "$scratch/install.log")"
}

# Runs the installed launcher (of the tree under $installed) from an empty folder with no display,
# NAME=values in its environment: the game starts and stops at once with its message.
installed=$tree
launch() {
    mkdir -p "$scratch/work" "$home"
    (cd "$scratch/work" && env -u XDG_DATA_HOME HOME="$home" DISPLAY= SDL_VIDEODRIVER=x11 "$@" "$installed/$bin/glimm") \
        2>"$scratch/err" || true
    grep -q '^glimm: cannot open the 640x480 window' "$scratch/err" || fail "no game started: $(cat "$scratch/err")"
    [ -z "$(ls -A "$scratch/work")" ] || fail "the launcher wrote into the working folder"
}
# The Media in the per-user folder $1/glimm is a link to the installed media.
linked() {
    [ "$(readlink "$1/glimm/Media")" = "$(cd "$installed/$share/games/glimm/Media" && pwd -P)" ] ||
        fail "$2: $1/glimm/Media is no link to the installed media"
}

check_tree() {
    install_tree
    diff <(expected_files) <(cd "$tree" && find . ! -type d -printf '%P\n' | LC_ALL=C sort) >&2 ||
        fail "the installed files differ from the expected set"
    [ ! -e "$prefix" ] || fail "the install ignored DESTDIR: $prefix exists"
    # Outside DESTDIR the launcher falls back on the quoted install paths.
    grep -qF "'/opt/glimm'\\''s game/$libexec/glimm/glimm'" "$tree/$bin/glimm" ||
        fail "the launcher does not name the game under $prefix"

    launch XDG_DATA_HOME="$scratch/data home"
    linked "$scratch/data home" "an absolute XDG_DATA_HOME"
    [ -z "$(ls -A "$home")" ] || fail "with XDG_DATA_HOME set, the launcher wrote into HOME"
    launch XDG_DATA_HOME=relative # does not count: ~/.local/share
    linked "$home/.local/share" "a relative XDG_DATA_HOME"
    ln -sfn /nowhere "$home/.local/share/glimm/Media"
    launch
    linked "$home/.local/share" "a stale link"
    rm "$home/.local/share/glimm/Media" && mkdir "$home/.local/share/glimm/Media"
    echo mine >"$home/.local/share/glimm/Media/keep"
    launch
    [ "$(cat "$home/.local/share/glimm/Media/keep")" = mine ] || fail "the player's own Media folder was replaced"
}

# Name, mode, size, time and checksum of every file below $1, links as their targets.
listing() { (cd "$1" && find . -mindepth 1 -printf '%p %m %s %T@ %l\n' -type f -exec md5sum {} + | LC_ALL=C sort); }

# A player who played an earlier install keeps a record, screenshots and a Media link to that
# install (here read-only, as /usr is to a user) in ~/.local/share/glimm. An install to ~/.local
# must neither write into that folder nor through its link, and the launcher keeps the files.
check_player() {
    local folder=$home/.local/share/glimm other=$scratch/other before others
    installed=$home/.local
    mkdir -p "$folder" "$other/Media/Game" "$other/Media/Lumadeck"
    echo 1234 >"$folder/highscore.dat"
    head -c 921654 /dev/urandom >"$folder/screenshot1.bmp"
    head -c 921654 /dev/urandom >"$folder/screenshot3.bmp"
    ln -s "$other/Media" "$folder/Media"
    chmod -R a-w "$other"
    before=$(listing "$folder") others=$(listing "$other")
    cmake --install "${GLIMM_BUILD_DIR:?}" --prefix "$installed" >"$scratch/install.log" 2>&1 ||
        fail "cmake --install --prefix ~/.local: $(cat "$scratch/install.log")"
    [ "$(listing "$other")" = "$others" ] || fail "the install wrote through the player's Media link"
    [ "$(listing "$folder")" = "$before" ] || fail "the install changed the player's folder"
    ! grep -F "$folder/" "$GLIMM_BUILD_DIR/install_manifest.txt" >&2 || fail "the install put files in the player's folder"
    launch
    linked "$home/.local/share" "after an install to ~/.local"
    [ "$(listing "$folder" | grep -v '^\./Media ')" = "$(grep -v '^\./Media ' <<<"$before")" ] ||
        fail "the launcher changed the player's record or screenshots"
    # A player's folder that is the install's own data folder is refused, and nothing is written.
    before=$(listing "$installed/$share/games/glimm")
    (cd "$scratch/work" && env HOME="$home" DISPLAY= SDL_VIDEODRIVER=x11 XDG_DATA_HOME="$installed/$share/games" \
        "$installed/$bin/glimm") \
        2>"$scratch/err" && fail "the launcher ran the game in the install's data folder"
    grep -q "is where the game is installed" "$scratch/err" || fail "no word on the refused folder: $(cat "$scratch/err")"
    [ "$(listing "$installed/$share/games/glimm")" = "$before" ] || fail "the launcher wrote into the install"
    chmod -R u+w "$other"
}

# Started as the menu starts it, the installed game writes nowhere but in the per-user folder.
check_play() {
    install_tree
    start_x
    local work="$scratch/somewhere else" folder=$scratch/data/glimm before stray
    mkdir -p "$work" "$home"
    before=$(cd "$root" && find . -printf '%p %m %s %T@\n' | LC_ALL=C sort)
    start_game "$work" HOME="$home" XDG_DATA_HOME="$scratch/data" PATH="$tree/$bin:$PATH" \
        "$(sed -n 's/^Exec=//p' "$tree/$share/applications/glimm.desktop")"
    [ "$(readlink "/proc/$game_pid/cwd")" = "$folder" ] || fail "the game does not run in $folder"
    # Through run-scaled, which finds the 1024x768 screen too small to enlarge the window.
    grep -qzx SDL12COMPAT_WINDOW_SCALING=1 "/proc/$game_pid/environ" || fail "the launcher skipped run-scaled"
    xdotool mousemove --window "$window" 320 240
    hold_until key Escape dashboard_open || fail "Escape did not open the dashboard"
    click_until 320 215 test -s "$folder/screenshot1.bmp" || fail "no screenshot1.bmp in $folder"
    kill -TERM "$game_pid"
    wait_game 5
    [ -z "$(ls -A "$work")$(ls -A "$home")" ] || fail "the game wrote into the working folder or HOME"
    [ "$(cd "$root" && find . -printf '%p %m %s %T@\n' | LC_ALL=C sort)" = "$before" ] ||
        fail "something was written under the install tree"
    stray=$(find "$folder" -mindepth 1 ! -name Media ! -name highscore.dat ! -name 'screenshot*.bmp')
    [ -z "$stray" ] || fail "unexpected files in $folder: $stray"
}

check_metadata() {
    install_tree
    local desktop=$tree/$share/applications/glimm.desktop out
    out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
    grep -qx 'Categories=Game;ArcadeGame;' "$desktop" || fail "the menu entry is not under Games > Arcade"
    [ -x "$tree/$bin/$(sed -n 's/^TryExec=//p' "$desktop")" ] || fail "TryExec is not the installed command"
    out=$(appstreamcli validate --no-net "$tree/$share/metainfo/io.github.glimm.Glimm.metainfo.xml" 2>&1) &&
        [[ $out != *"W: "* && $out != *"E: "* ]] || fail "appstreamcli validate: $out"
    out=$(appstreamcli validate-tree --no-net "$tree" 2>&1) || fail "appstreamcli validate-tree: $out"
}

check_deb() {
    (cd "$scratch" && cpack -G DEB --config "$GLIMM_BUILD_DIR/CPackConfig.cmake" -B "$scratch/deb") \
        >"$scratch/cpack.log" 2>&1 || fail "cpack -G DEB: $(cat "$scratch/cpack.log")"
    deb=$(echo "$scratch"/deb/glimm_*.deb)
    [ -f "$deb" ] || fail "cpack made no single glimm_*.deb: $deb"
    [ "$(dpkg-deb -f "$deb" Package Section | tr '\n' ' ')" = "Package: glimm Section: games " ] ||
        fail "the package's name or section"
    for library in libsdl1.2debian libsdl-image1.2 libsdl-mixer1.2 libstdc++6; do
        [[ ", $(dpkg-deb -f "$deb" Depends)" == *", $library "* ]] || fail "Depends lacks $library"
    done
    [ "$(dpkg-deb -f "$deb" Recommends)" = "libsdl1.2-compat, x11-utils" ] || fail "the package's Recommends"
    contents=$(dpkg-deb --contents "$deb")
    echo "$contents"
    # Exactly the installed files, owned by root, with the launcher, the game and run-scaled alone
    # executable.
    diff <(expected_files | awk -v programs="^($bin/glimm|$libexec/glimm/(glimm|run-scaled))\$" \
        '{ print ($0 ~ programs ? "-rwxr-xr-x" : "-rw-r--r--"), "root/root", $0 }') \
        <(echo "$contents" | awk '$1 !~ /^d/ { print $1, $2, substr($6, 7) }' | LC_ALL=C sort -k 3) >&2 ||
        fail "the package's files, owners or modes differ from the expected set"
}

case ${1:-} in
tree | player | play | metadata | deb) "check_$1" ;;
*) fail "usage: $0 tree|player|play|metadata|deb" ;;
esac
