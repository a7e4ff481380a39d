"""Playing the page in the browser tests: the scene list, the runner that plays each scene in
each engine it names (the engines side by side, each browser of Firefox and WebKit started once
and given a fresh site origin per scene), and the ways a scene plays the game (real clicks and
keys, or a game stepped frame by frame from a seed)."""
import functools
import importlib
import os
import subprocess
import tempfile
import threading
import time
import traceback

import browser

WIDTH, HEIGHT = 640, 480
DRIVERS = {"chromium": "cdp", "firefox": "bidi", "webkit": "webkit"}
EVERY_ENGINE = tuple(DRIVERS)
SCENES = []  # (scene, the engines it plays in)


def scene(function, engines=("chromium",)):
    """A scene played in Chromium, whose driver offers the most."""
    SCENES.append((function, engines))
    return function


def every_engine(function):
    """A scene played in Chromium, Firefox ESR and WebKitGTK alike."""
    return scene(function, EVERY_ENGINE)


def server_of(url):
    """The server of the scene's site: its request log, its offline switch, its spoilt files."""
    return browser.SITES[url]


def frames_run(b):
    return b.js("window.glimm && glimm.calledRun ? glimm._glimmFramesRun() : -1")


def wait_frames(b, count=2):
    """Until the game has run count more frames: a press held this long is seen by a frame."""
    start = frames_run(b)
    browser.wait_until(lambda: frames_run(b) >= start + count, what=f"{count} frames")


def to_page(b, x, y, scale=None):
    """The page point at the middle of game pixel (x, y), whatever the canvas's scale."""
    left, top, width = b.js("(r => [r.left, r.top, r.width])(document.getElementById('screen')"
                            ".getBoundingClientRect())")
    assert scale is None or width == WIDTH * scale, f"the canvas is {width} pixels wide"
    return left + (x + 0.5) * width / WIDTH, top + (y + 0.5) * width / WIDTH


def held(b):
    return lambda: wait_frames(b) or True


def click_game(b, x, y, button="left"):
    b.click(*to_page(b, x, y), button, hold=held(b))
    wait_frames(b, 1)


START_SHOWN = "!document.getElementById('start').hidden"
GAME_RUNS = "window.glimm && glimm.calledRun && glimm._glimmFramesRun() > 2"


def open_and_play(b, url, on_start_screen=lambda: None, press=None):
    """Opens the page and starts the game by press(), or a click on the start screen, which
    lies over the canvas."""
    b.open(url)
    b.wait_for_js(START_SHOWN, what="the start screen")
    on_start_screen()
    (press or (lambda: b.click(*to_page(b, 320, 240))))()
    b.wait_for_js(GAME_RUNS, what="the game's first frames")


def canvas_bytes(b):  # a sample of the red, green and blue bytes
    return b.js("Array.from(document.getElementById('screen').getContext('2d').getImageData("
                "0, 0, 640, 480).data.filter((v, i) => i % 97 == 0 && i % 4 != 3)).join()")


def downloads(b):
    return sorted(os.listdir(b.downloads))


def start_stepped(b, url, seed, prepare="0"):
    """A game of our own on the page: from seed, frames only when step() asks, 16 ms each;
    prepare (a page expression, a promise awaited) runs first."""
    b.open(url)
    b.wait_for_js(START_SHOWN, what="the page")
    b.js(prepare)
    assert b.js("document.getElementById('start').hidden = true; createGlimm({canvas: "
                "document.getElementById('screen'), noInitialRun: true}).then(g => "
                f"(window.glimm = g, g._glimmStartStepped({seed})))") == 1


def step(b, count):
    return b.js(f"(() => {{ let going = 1; for (let i = 0; i < {count} && going; ++i) "
                "going = glimm._glimmStepFrame(); return going; })()")


def play_a_record(b):
    """Seed 42: the pointer on an enemy's path scores 5; then the round runs out unshot."""
    b.mouse("mouseMoved", *to_page(b, 330, 150))
    step(b, 40)
    for _ in range(10):
        b.mouse("mousePressed", *to_page(b, 330, 150), "left", 1)
        step(b, 1)
        b.mouse("mouseReleased", *to_page(b, 330, 150), "left", 1)
        step(b, 1)
    assert b.js("glimm._glimmScore()") == 5
    b.mouse("mouseMoved", 1, 1)  # off the canvas: no more aim or shots
    for _ in range(200):
        if step(b, 100) and b.js("glimm._glimmScore()") == 0:
            return
    raise AssertionError("the round did not end")


def resume(b):
    """Escape, on a stepped game back from a hidden tab on its dashboard; until the world runs."""
    assert b.js("glimm._glimmDashboardOpen()") == 1, "the hidden tab did not pause"
    b.key("keyDown")
    step(b, 2)
    b.key("keyUp")
    browser.wait_until(lambda: step(b, 1) and b.js("glimm._glimmDashboardFraction()") == 0,
                       what="the dashboard to close")
    step(b, 1)


def store(key, value):
    """A page expression that stores value under key in the game's records, as another tab
    would."""
    return ("new Promise(done => { const o = indexedDB.open('glimm', 1); o.onupgradeneeded ="
            " () => o.result.createObjectStore('records'); o.onsuccess = () => { const t ="
            f" o.result.transaction('records', 'readwrite'); t.objectStore('records').put({value},"
            f" '{key}'); t.oncomplete = () => {{ o.result.close(); done(1); }}; }}; }})")


STORED = "glimm.readStoredRecords()"
STORED_BEST = "glimm.readStoredRecords().then(r => r.best)"


@functools.lru_cache(maxsize=None)
def desktop_frames(script, replay, media):
    """The desktop build's screens at each "mark name" of script (a tuple of desktop_replay's
    lines; "leave" takes the pointer off the canvas, "downloaded" is the page's alone), its
    scores there and its saved screenshots, as {"name.raw" or "screenshotN.bmp": bytes,
    "scores": {...}}; played once for every engine."""
    typed = "".join(line.replace("leave", "focus 0").replace("move", "focus 1\nmove") + "\n"
                    for line in script if line != "downloaded")
    with tempfile.TemporaryDirectory() as folder:
        os.symlink(media, os.path.join(folder, "Media"))
        ran = subprocess.run([replay, "42"], input=typed, capture_output=True, text=True,
                             cwd=folder, check=True, env={**os.environ, "SDL_VIDEODRIVER":
                                                          "dummy", "SDL_AUDIODRIVER": "dummy"})
        made = {"scores": dict(line.split() for line in ran.stdout.split("\n") if line)}
        for name in os.listdir(folder):
            if name.endswith((".raw", ".bmp")):
                with open(os.path.join(folder, name), "rb") as file:
                    made[name] = file.read()
    return made


def _play_engine(engine, scenes, site, results, said, failed):
    """Plays the scenes in a browser of engine: Chromium's new for each scene (its scenes change
    the browser the most, and it starts in a moment), the others' started once and kept, a
    scene's before-load scripts and downloads cleared after it, and started afresh after a
    failure. Stops early once failed is set, when the run asked to end at the first failure."""
    kept = None
    try:
        for run in scenes:
            if failed.is_set():
                break
            server = browser.SiteServer(site)
            b, report, started = None, None, time.monotonic()
            try:
                b = kept or importlib.import_module(DRIVERS[engine]).Browser(1400, 1100)
                kept = b if engine != "chromium" else None
                run(b, server.url)
                if kept:
                    b.forget_before_load()
                    b.open("about:blank")
                    for name in downloads(b):
                        os.remove(os.path.join(b.downloads, name))
            except Exception:
                report = traceback.format_exc()
            finally:
                server.stop()
                if b is not None and (report or not kept):
                    kept = None
                    b.close()
            with said:
                took = f"{engine}: {run.__name__} ({time.monotonic() - started:.1f} s)"
                print(f"FAILED: {took}\n{report}" if report else f"passed: {took}", flush=True)
                results.append(not report)
                if report and FIRST_FAILURE_ENDS:
                    failed.set()
    finally:
        if kept:
            kept.close()


# A fault run needs only to know that some scene fails: GLIMM_WEB_FIRST_FAILURE=1 ends every
# engine's run at the first failed scene instead of playing the rest.
FIRST_FAILURE_ENDS = os.environ.get("GLIMM_WEB_FIRST_FAILURE") == "1"


def main(site, picked=""):
    """Plays every scene whose "engine: name" has picked in it, each engine in a thread of its
    own; prints each scene, then "N passed, M failed". The exit status."""
    results, said, failed = [], threading.Lock(), threading.Event()
    workers = [threading.Thread(target=_play_engine, args=(engine, [
        run for run, engines in SCENES if engine in engines and picked in f"{engine}: "
        f"{run.__name__}"], site, results, said, failed)) for engine in EVERY_ENGINE]
    for worker in workers:
        worker.start()
    for worker in workers:
        worker.join()
    passed = sum(results)
    print(f"{passed} passed, {len(results) - passed} failed")
    return 1 if len(results) > passed or not results else 0
