#!/bin/bash
# Install checks: the installed tree, the launcher that runs the game in the player's own folder,
# the game started from it under a private X server, the desktop metadata, and the .deb.
# Usage: test_install.sh layout|launcher|play [classic|compat]|metadata|deb
# GLIMM_SOURCE_DIR and GLIMM_BUILD_DIR name the source tree and a built build folder; ctest also
# passes the install folders.
set -euo pipefail

source_dir=${GLIMM_SOURCE_DIR:?}
build_dir=${GLIMM_BUILD_DIR:?}
compat_dir=/usr/lib/x86_64-linux-gnu/sdl12-compat
# A prefix with a space and a quote: the launcher must survive both.
prefix="/opt/glimm's game"
icon_sizes="16 32 48 64 128 256"

# A scratch folder with a space in its name, removed with everything in it at exit.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/glimm install.XXXXXX")
game_pid=""
xvfb_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
}

# The install folders relative to the prefix, as the build configured them.
launcher_dir=${GLIMM_LAUNCHER_DIR:-bin}
libexec_dir=${GLIMM_LIBEXEC_DIR:-libexec}
data_dir=${GLIMM_DATAROOT_DIR:-share}
man_dir=${GLIMM_MAN_DIR:-share/man}
doc_dir=${GLIMM_DOC_DIR:-share/doc/glimm}

# Every file an install must hold, relative to the prefix, sorted.
expected_files() {
    {
        echo "$launcher_dir/glimm"
        echo "$libexec_dir/glimm/glimm"
        (cd "$source_dir/Media" && find Game Lumadeck -type f ! -name '.*') |
            sed "s|^|$data_dir/glimm/Media/|"
        echo "$data_dir/applications/glimm.desktop"
        echo "$data_dir/metainfo/io.github.glimm.Glimm.metainfo.xml"
        echo "$man_dir/man6/glimm.6.gz"
        echo "$doc_dir/changelog.gz"
        echo "$doc_dir/copyright"
        echo "$data_dir/lintian/overrides/glimm"
        echo "$data_dir/icons/hicolor/scalable/apps/glimm.svg"
        for size in $icon_sizes; do
            echo "$data_dir/icons/hicolor/${size}x$size/apps/glimm.png"
        done
    } | LC_ALL=C sort
}

# Installs into $scratch/root with the test prefix; sets root (DESTDIR) and tree (DESTDIR+prefix).
install_tree() {
    root=$scratch/root
    tree=$root$prefix
    DESTDIR=$root cmake --install "$build_dir" --prefix "$prefix" >"$scratch/install.log" 2>&1 ||
        {
            cat "$scratch/install.log" >&2
            fail "cmake --install failed"
            finish
        }
}

# A listing of a tree with sizes, modes and times, to see whether anything was written there.
tree_state() { (cd "$1" && find . -printf '%p %y %m %s %T@\n' | LC_ALL=C sort); }

# Runs the launcher with a scratch HOME in an empty working folder; the game cannot open a window
# there, so it ends at once. Sets run_status and run_stderr. Extra "NAME=value"s come first.
run_without_display() {
    local launcher=$1
    shift
    work=$scratch/work
    rm -rf "$work"
    mkdir -p "$work"
    run_status=0
    (cd "$work" && env -u XDG_DATA_HOME -u SDL_VIDEODRIVER HOME="$scratch/home" \
        SDL_VIDEODRIVER=x11 DISPLAY= SDL_AUDIODRIVER=dummy "$@" "$launcher") \
        >"$scratch/stdout" 2>"$scratch/stderr" || run_status=$?
    run_stderr=$(cat "$scratch/stderr")
    if [ -n "$(ls -A "$work")" ]; then
        fail "the launcher wrote into the working folder: $(ls -A "$work")"
    fi
}

# The game's own message shows that the launcher found and started it.
expect_game_ran() {
    if [ "$run_status" -ne 1 ] || [[ $run_stderr != *"glimm: cannot open the 640x480 window"* ]]; then
        fail "$1: the game did not start (status $run_status, stderr: $run_stderr)"
    fi
}

# The per-user Media must be a link to the installed media.
expect_media_link() {
    local link=$1/Media
    if [ ! -L "$link" ] || [ "$(readlink -- "$link")" != "$(cd "$2" && pwd -P)" ]; then
        fail "$3: $link is not a link to $2 ($(readlink -- "$link" 2>/dev/null || echo none))"
    fi
}

check_layout() {
    install_tree
    local actual
    actual=$(cd "$tree" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort)
    if [ "$actual" != "$(expected_files)" ]; then
        fail "installed files differ from the expected set:"
        diff <(expected_files) <(echo "$actual") >&2 || true
    fi
    if [ -e "$prefix" ]; then
        fail "the install ignored DESTDIR: $prefix exists"
    fi

    local launcher=$tree/$launcher_dir/glimm game=$tree/$libexec_dir/glimm/glimm
    [ -x "$launcher" ] || fail "the launcher is not executable"
    [ -x "$game" ] || fail "the game is not executable"
    [ "$(head -n 1 "$launcher")" = "#!/bin/sh" ] || fail "the launcher is not a sh script"
    sh -n "$launcher" || fail "the launcher has a syntax error"
    if grep -n '@[A-Z_]*@' "$launcher" >&2; then
        fail "the launcher has unreplaced placeholders"
    fi
    # The fallback paths name the real prefix, not the DESTDIR.
    grep -qF "'/opt/glimm'\\''s game/$libexec_dir/glimm/glimm'" "$launcher" ||
        fail "the launcher does not name the installed game under $prefix"
    file -b "$game" | grep -q '^ELF' || fail "the installed game is not an ELF program"
    find "$tree/$data_dir" -type f -perm /111 | grep . >&2 && fail "data files are executable"

    # Each icon is the picture its folder promises.
    file -b "$tree/$data_dir/icons/hicolor/scalable/apps/glimm.svg" | grep -q 'SVG' ||
        fail "the scalable icon is not an SVG picture"
    local size
    for size in $icon_sizes; do
        file -b "$tree/$data_dir/icons/hicolor/${size}x$size/apps/glimm.png" |
            grep -q "^PNG image data, $size x $size," || fail "the ${size}x$size icon is not $size x $size"
    done

    # The manual page renders without a single groff warning.
    local warnings
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$tree/$man_dir/man6/glimm.6.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
    finish
}

check_launcher() {
    install_tree
    local launcher=$tree/$launcher_dir/glimm media=$tree/$data_dir/glimm/Media
    local home=$scratch/home folder=$scratch/home/.local/share/glimm

    # First start: the default per-user folder is made and the media linked into it.
    run_without_display "$launcher"
    expect_game_ran "first start"
    expect_media_link "$folder" "$media" "first start"
    local made
    made=$(cd "$home" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort | tr '\n' ' ')
    [ "$made" = ".local .local/share .local/share/glimm .local/share/glimm/Media " ] ||
        fail "first start made more than the per-user folder: $made"

    # An absolute XDG_DATA_HOME (with a space) holds the folder; HOME is left alone.
    rm -rf "$home"
    mkdir -p "$home"
    run_without_display "$launcher" XDG_DATA_HOME="$scratch/data home"
    expect_game_ran "XDG_DATA_HOME"
    expect_media_link "$scratch/data home/glimm" "$media" "XDG_DATA_HOME"
    [ -z "$(ls -A "$home")" ] || fail "with XDG_DATA_HOME set, HOME got: $(ls -A "$home")"

    # A relative XDG_DATA_HOME does not count, so nothing lands in the working folder.
    run_without_display "$launcher" XDG_DATA_HOME=relative/data
    expect_game_ran "relative XDG_DATA_HOME"
    expect_media_link "$folder" "$media" "relative XDG_DATA_HOME"

    # A dangling link and a link to some other folder are both renewed.
    ln -sfn /nonexistent/Media "$folder/Media"
    run_without_display "$launcher"
    expect_game_ran "dangling link"
    expect_media_link "$folder" "$media" "dangling link"
    rm "$folder/Media"
    ln -s "$scratch" "$folder/Media"
    run_without_display "$launcher"
    expect_media_link "$folder" "$media" "link elsewhere"
    [ -d "$scratch/root" ] || fail "renewing the link harmed the folder it pointed at"

    # Started through a link to the launcher, it still finds the install beside the real script.
    mkdir -p "$scratch/links"
    ln -s "$launcher" "$scratch/links/glimm"
    rm "$folder/Media"
    run_without_display "$scratch/links/glimm"
    expect_game_ran "through a link"
    expect_media_link "$folder" "$media" "through a link"

    # A moved install tree renews the link to the media's new place.
    mv "$scratch/root" "$scratch/moved root"
    local moved_tree="$scratch/moved root$prefix"
    run_without_display "$moved_tree/$launcher_dir/glimm"
    expect_game_ran "moved tree"
    expect_media_link "$folder" "$moved_tree/$data_dir/glimm/Media" "moved tree"
    mv "$scratch/moved root" "$scratch/root"

    # The player's own Media folder is never replaced or emptied.
    rm "$folder/Media"
    mkdir "$folder/Media"
    echo mine >"$folder/Media/keep.txt"
    run_without_display "$launcher"
    expect_game_ran "own Media folder"
    if [ -L "$folder/Media" ] || [ "$(cat "$folder/Media/keep.txt" 2>/dev/null)" != mine ]; then
        fail "the player's own Media folder was replaced"
    fi

    # Installed into the player's own ~/.local, the installed Media is the per-user one already.
    rm -rf "$home"
    cmake --install "$build_dir" --prefix "$home/.local" >"$scratch/install.log" 2>&1 ||
        fail "cmake --install --prefix ~/.local failed"
    run_without_display "$home/.local/$launcher_dir/glimm"
    expect_game_ran "installed in ~/.local"
    if [ -L "$folder/Media" ] || [ ! -f "$folder/Media/Game/Mirovanta.ogg" ]; then
        fail "installed in ~/.local: the installed Media was replaced"
    fi

    # With neither XDG_DATA_HOME nor HOME there is no folder to run in: a message, no game.
    run_status=0
    (cd "$scratch" && env -u HOME -u XDG_DATA_HOME "$launcher") >/dev/null 2>"$scratch/stderr" ||
        run_status=$?
    if [ "$run_status" -eq 0 ] || ! grep -q '^glimm: ' "$scratch/stderr"; then
        fail "without HOME: status $run_status, stderr: $(cat "$scratch/stderr")"
    fi
    finish
}

# Starts Xvfb on a free display and points DISPLAY at it.
start_xvfb() {
    local display_file=$scratch/display
    Xvfb -displayfd 9 -screen 0 1024x768x24 -noreset -nolisten tcp 9>"$display_file" \
        >"$scratch/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local tries=0
    while ! grep -q '^[0-9]' "$display_file" 2>/dev/null; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
            cat "$scratch/xvfb.log" >&2
            fail "Xvfb did not start"
            finish
        fi
        sleep 0.1
    done
    DISPLAY=:$(head -n 1 "$display_file")
    export DISPLAY
}

# Waits up to $2 tenths of a second for the file $1 to appear.
wait_for_file() {
    local tries=0
    while [ ! -e "$1" ] && [ "$tries" -lt "$2" ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    [ -e "$1" ]
}

check_play() {
    local runtime=${1:-classic} library_path=${LD_LIBRARY_PATH:-}
    [ "$runtime" = compat ] && library_path=$compat_dir
    install_tree
    start_xvfb
    local home="$scratch/home" data="$scratch/data" work="$scratch/somewhere else"
    local folder="$data/glimm"
    mkdir -p "$home" "$work"
    local before
    before=$(tree_state "$root")

    # Started as the menu would: the desktop entry's command, found on the PATH, in a folder that
    # has nothing to do with the game. Arguments never reach the game.
    local command
    command=$(sed -n 's/^Exec=//p' "$tree/$data_dir/applications/glimm.desktop")
    [ "$command" = glimm ] || fail "the desktop entry runs '$command', not glimm"
    (cd "$work" && exec env -u SDL_VIDEODRIVER HOME="$home" XDG_DATA_HOME="$data" \
        PATH="$tree/$launcher_dir:$PATH" LD_LIBRARY_PATH="$library_path" \
        SDL_AUDIODRIVER=dummy SDL_VIDEO_WINDOW_POS=0,0 \
        "$command" --an-option-the-game-never-sees) >"$scratch/game.out" 2>&1 &
    game_pid=$!

    local window
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Glimm$' 2>/dev/null | head -n 1) ||
        true
    if [ -z "$window" ]; then
        cat "$scratch/game.out" >&2
        fail "no window captioned Glimm appeared"
        finish
    fi

    # The launcher has become the game itself, running in the player's folder without options.
    local game
    game=$(cd "$tree/$libexec_dir/glimm" && pwd -P)/glimm
    [ "$(readlink "/proc/$game_pid/exe")" = "$game" ] ||
        fail "process $game_pid is $(readlink "/proc/$game_pid/exe"), not the installed game"
    [ "$(readlink "/proc/$game_pid/cwd")" = "$folder" ] ||
        fail "the game runs in $(readlink "/proc/$game_pid/cwd"), not in $folder"
    [ "$(tr '\0' '\n' <"/proc/$game_pid/cmdline" | wc -l)" -eq 1 ] ||
        fail "the game got arguments: $(tr '\0' ' ' <"/proc/$game_pid/cmdline")"
    expect_media_link "$folder" "$tree/$data_dir/glimm/Media" "play"

    # Escape opens the dashboard; "Save BMP screenshot" is the third button, centred at 320,215.
    # Without a window manager the keys go where the pointer is: keep it over the window. A press
    # and release inside one frame cancel out, so each is held for several frames. On a busy
    # machine the dashboard may still be sliding in: click again until the file shows up.
    xdotool mousemove --sync --window "$window" 320 240
    sleep 0.5
    xdotool keydown --window "$window" Escape
    sleep 0.25
    xdotool keyup --window "$window" Escape
    sleep 1.5
    xdotool mousemove --sync --window "$window" 320 215
    sleep 0.3
    local clicks=0
    while [ ! -e "$folder/screenshot1.bmp" ] && [ "$clicks" -lt 5 ]; do
        xdotool mousedown 1
        sleep 0.25
        xdotool mouseup 1
        wait_for_file "$folder/screenshot1.bmp" 10 || true
        clicks=$((clicks + 1))
    done
    if [ -e "$folder/screenshot1.bmp" ]; then
        sleep 0.5
        local header width height
        header=$(od -A n -t u4 -j 18 -N 8 "$folder/screenshot1.bmp" | tr -s ' ')
        width=$(echo "$header" | cut -d ' ' -f 2)
        height=$(echo "$header" | cut -d ' ' -f 3)
        [ "$(head -c 2 "$folder/screenshot1.bmp")" = BM ] || fail "screenshot1.bmp is not a BMP file"
        if [ "$width" != 640 ] || [ "$height" != 480 ]; then
            fail "screenshot1.bmp is $width x $height, not 640 x 480"
        fi
    else
        fail "no screenshot1.bmp in $folder after $clicks clicks on Save BMP screenshot"
    fi

    # Quit; the game ends on SIGTERM as on a closed window.
    kill -TERM "$game_pid"
    local tries=0 status=0
    while kill -0 "$game_pid" 2>/dev/null && [ "$tries" -lt 50 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    if kill -0 "$game_pid" 2>/dev/null; then
        fail "the game did not end on SIGTERM"
    else
        wait "$game_pid" || status=$?
        [ "$status" -eq 0 ] || fail "the game ended with status $status"
    fi
    game_pid=""

    # Nothing written anywhere but the per-user folder.
    [ -z "$(ls -A "$work")" ] || fail "the game wrote into the working folder: $(ls -A "$work")"
    [ -z "$(ls -A "$home")" ] || fail "the game wrote into HOME: $(ls -A "$home")"
    [ "$(tree_state "$root")" = "$before" ] || fail "something was written under the install tree"
    local stray
    stray=$(find "$folder" -mindepth 1 -maxdepth 1 -printf '%P\n' |
        grep -v -x -e Media -e highscore.dat -e 'screenshot[0-9]*\.bmp' || true)
    [ -z "$stray" ] || fail "unexpected files in the per-user folder: $stray"
    finish
}

check_metadata() {
    install_tree
    local desktop=$tree/$data_dir/applications/glimm.desktop
    local metainfo=$tree/$data_dir/metainfo/io.github.glimm.Glimm.metainfo.xml
    local out status

    status=0
    out=$(desktop-file-validate "$desktop" 2>&1) || status=$?
    echo "desktop-file-validate: status $status${out:+, }$out"
    if [ "$status" -ne 0 ] || [ -n "$out" ]; then
        fail "desktop-file-validate is not clean"
    fi
    grep -qx 'Categories=Game;ArcadeGame;' "$desktop" || fail "the desktop entry's categories"

    status=0
    out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || status=$?
    echo "appstreamcli validate: status $status"
    echo "$out"
    [ "$status" -eq 0 ] || fail "appstreamcli validate failed"
    [[ $out != *"W: "* && $out != *"E: "* ]] || fail "appstreamcli validate reports warnings or errors"

    # The pieces name each other: the menu entry runs the installed command and shows the
    # installed icon; the metainfo names the installed menu entry and command.
    local icon
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -f "$tree/$data_dir/icons/hicolor/scalable/apps/$icon.svg" ] ||
        fail "the desktop entry's icon '$icon' is not installed"
    [ -x "$tree/$launcher_dir/$(sed -n 's/^TryExec=//p' "$desktop")" ] ||
        fail "the desktop entry's TryExec is not the installed command"
    grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" ||
        fail "the metainfo does not name the installed desktop entry"
    grep -q "<binary>glimm</binary>" "$metainfo" || fail "the metainfo does not name the command"

    # The whole installed tree: metainfo, its desktop entry and icon found together.
    status=0
    out=$(appstreamcli validate-tree --no-net "$tree" 2>&1) || status=$?
    echo "appstreamcli validate-tree: status $status"
    echo "$out"
    [ "$status" -eq 0 ] || fail "appstreamcli validate-tree failed"
    finish
}

check_deb() {
    local out=$scratch/deb
    mkdir -p "$out"
    (cd "$out" && cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$out") >"$scratch/cpack.log" 2>&1 ||
        {
            cat "$scratch/cpack.log" >&2
            fail "cpack -G DEB failed"
            finish
        }
    local debs=("$out"/glimm_*.deb)
    if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
        fail "cpack made no single glimm_*.deb: ${debs[*]}"
        finish
    fi
    local deb=${debs[0]}
    echo "built $(basename "$deb")"

    # The fields a player's apt looks at.
    [ "$(dpkg-deb -f "$deb" Package)" = glimm ] || fail "package name"
    [ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section"
    [ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no maintainer"
    [ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "no description"
    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    for library in libsdl1.2debian libsdl-image1.2 libsdl-mixer1.2 libstdc++6; do
        [[ ", $depends" == *", $library "* ]] || fail "Depends lacks $library"
    done

    # Exactly the expected files under /usr, owned by root, with the right modes.
    local contents listed expected
    contents=$(dpkg-deb --contents "$deb")
    echo "$contents"
    listed=$(echo "$contents" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | LC_ALL=C sort)
    expected=$(expected_files)
    if [ "$listed" != "$expected" ]; then
        fail "the package's files differ from the expected set:"
        diff <(echo "$expected") <(echo "$listed") >&2 || true
    fi
    echo "$contents" | awk '$2 != "root/root"' | grep . >&2 && fail "files not owned by root"
    echo "$contents" | grep -q "^-rwxr-xr-x .* \./usr/$launcher_dir/glimm$" || fail "launcher mode"
    echo "$contents" | grep -q "^-rwxr-xr-x .* \./usr/$libexec_dir/glimm/glimm$" || fail "game mode"
    echo "$contents" | grep "\./usr/$data_dir/" | grep -v '^d' | grep -v '^-rw-r--r--' >&2 &&
        fail "data files not 0644"

    # Unpacked, the package's own launcher finds its game and media, and names /usr for them.
    local unpacked=$scratch/unpacked
    dpkg-deb -x "$deb" "$unpacked"
    grep -qF "game='/usr/$libexec_dir/glimm/glimm'" "$unpacked/usr/$launcher_dir/glimm" ||
        fail "the packaged launcher does not name /usr/$libexec_dir/glimm/glimm"
    file -b "$unpacked/usr/$libexec_dir/glimm/glimm" | grep -q ', stripped' ||
        fail "the packaged game is not stripped"
    run_without_display "$unpacked/usr/$launcher_dir/glimm"
    expect_game_ran "unpacked package"
    expect_media_link "$scratch/home/.local/share/glimm" "$unpacked/usr/$data_dir/glimm/Media" \
        "unpacked package"
    finish
}

case ${1:-} in
layout) check_layout ;;
launcher) check_launcher ;;
play) check_play "${2:-classic}" ;;
metadata) check_metadata ;;
deb) check_deb ;;
*)
    echo "usage: $0 layout|launcher|play [classic|compat]|metadata|deb" >&2
    exit 2
    ;;
esac
