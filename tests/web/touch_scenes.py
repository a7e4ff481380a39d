"""The page on a phone or tablet and in every size of window, in Chromium's device emulation with
touch events only: taps, drags and a second finger on the game, the pause control, the fit of the
picture, a page that holds still under swipes and pinches, and a page hidden and shown again."""
import os
import sys
import time

import browser
from play import (desktop_frames, downloads, held, open_and_play, scene, start_stepped, step,
                  to_page, wait_frames, click_game)

R = sys.modules["__main__"]  # run-browser-tests: the seeded script, the replay and the media
PHONE = (390, 844, 3)


def rect(b, element_id):
    return b.js(f"(r => [r.left, r.top, r.width, r.height])(document.getElementById("
                f"'{element_id}').getBoundingClientRect())")


def middle(b, element_id):
    left, top, width, height = rect(b, element_id)
    return left + width / 2, top + height / 2


def settle(b):
    """Until the page has handled the input sent so far: Chromium hands a finger's moves to the
    page with its next animation frame."""
    b.js("new Promise(done => requestAnimationFrame(() => requestAnimationFrame(done)))")


def pointer(b, slot=0):
    """A pointer slot's game pixel and whether it is active."""
    return b.js(f"[0, 1, 2].map(a => glimm._glimmPointer({slot}, a))")


def tap(b, x, y, hold=None):
    """One finger down at page point (x, y) and up again, kept down until hold() if given."""
    b.touch("touchStart", [(1, x, y)])
    if hold is not None:
        browser.wait_until(hold, what="the tap to be seen")
    b.touch("touchEnd")


def dashboard_open(b):
    return b.js("glimm._glimmDashboardOpen()") == 1


def page_place(b):
    return b.js("[location.href, history.length, scrollX, scrollY, visualViewport.scale,"
                " visualViewport.offsetLeft, visualViewport.offsetTop]")


def fingers_move(b, starts, ends, steps=12):
    """Fingers from their starts to their ends in steps moves, then lifted."""
    b.touch("touchStart", [(i + 1, x, y) for i, (x, y) in enumerate(starts)])
    for k in range(1, steps + 1):
        b.touch("touchMove", [(i + 1, sx + (ex - sx) * k / steps, sy + (ey - sy) * k / steps)
                              for i, ((sx, sy), (ex, ey)) in enumerate(zip(starts, ends))])
        settle(b)
    b.touch("touchEnd")


@scene
def on_a_phone_a_tap_plays_swipes_leave_the_page_and_pause_pauses_saves_and_exits(b, url):
    def start_screen():
        said = b.js("[document.getElementById('play').textContent, "
                    "document.getElementById('controls').textContent]")
        assert said[0] == "Tap to play" and "Tap to aim and shoot" in said[1], said
        assert b.js("document.getElementById('pause').hidden"), "the pause control at the start"
    b.emulate(*PHONE)
    b.open("about:blank#before")  # somewhere to swipe back to
    open_and_play(b, url, start_screen, lambda: tap(b, *middle(b, "play")))
    buttons = [n.get("name", {}).get("value") for n in
               b.page("Accessibility.getFullAXTree")["nodes"]
               if n.get("role", {}).get("value") == "button"]
    assert "Pause" in buttons, buttons
    # Swipes both ways and a pinch over the game leave the page where it was.
    before = page_place(b)
    left, top, width, height = rect(b, "screen")
    y, x = top + height / 2, left + width / 2
    fingers_move(b, [(left + 10, y)], [(left + width - 10, y)])
    fingers_move(b, [(left + width - 10, y)], [(left + 10, y)])
    fingers_move(b, [(x - 20, y), (x + 20, y)], [(left + 20, top + 20),
                                                 (left + width - 20, top + height - 20)])
    settle(b)
    assert page_place(b) == before, (page_place(b), before)

    for opened in (True, False, True):
        tap(b, *middle(b, "pause"), held(b))
        browser.wait_until(lambda: dashboard_open(b) == opened, what=f"the dashboard {opened}")
    b.wait_for_js("glimm.music.paused", what="the music to pause")
    wait_frames(b, 40)  # the buttons have slid in
    tap(b, *to_page(b, 320, 214), held(b))  # "Save BMP screenshot"
    browser.wait_until(lambda: downloads(b) == ["screenshot1.bmp"], what="the screenshot")
    tap(b, *to_page(b, 320, 164), held(b))  # "Exit": a tap clicks as the finger lifts
    b.wait_for_js("!document.getElementById('ended').hidden", what="the game to end")
    assert b.js("document.getElementById('pause').hidden"), "the pause control after Exit"


def enemy_places(b):
    return b.js("Array.from({length: glimm._glimmEnemyCount()}, (_, i) =>"
                " [glimm._glimmEnemyView(i, 0), glimm._glimmEnemyView(i, 1)])")


def an_enemy_away_from(b, place, distance):
    """Steps until an enemy is well inside the picture and every enemy is more than distance
    away from place (across plus down); that enemy's game pixel."""
    for _ in range(600):
        step(b, 1)
        places = enemy_places(b)
        if all(abs(x - place[0]) + abs(y - place[1]) > distance for x, y in places):
            enemy = next(((round(x), round(y)) for x, y in places
                          if 100 < x < 560 and 100 < y < 380), None)
            if enemy:
                return enemy
    raise AssertionError(f"no enemy came out away from {place}")


@scene
def taps_score_as_the_seeded_clicks_a_first_short_tap_a_drag_and_a_second_finger(b, url):
    b.emulate(*PHONE)
    clicks = int(desktop_frames(R.SCRIPT, R.REPLAY, R.MEDIA)["scores"]["kill"])
    assert clicks > 0, "the script's clicks score nothing"
    start_stepped(b, url, 42)
    aim = to_page(b, 330, 150)
    # The finger that rests 40 frames before it lifts is the first click; the nine after are
    # each shorter than a frame. Each press reaches the same frame as the script's mouse press.
    b.touch("touchStart", [(1, *aim)])
    step(b, 40)
    assert pointer(b) == [330, 150, 1], pointer(b)
    for _ in range(10):
        b.touch("touchEnd")
        step(b, 2)
        b.touch("touchStart", [(1, *aim)])
    assert b.js("glimm._glimmScore()") == clicks, (b.js("glimm._glimmScore()"), clicks)
    b.touch("touchEnd")
    start_stepped(b, url, 42)
    # The game's first touch, down and up between two frames, shoots the enemy under it.
    enemy = an_enemy_away_from(b, (-1000, -1000), 0)
    b.touch("touchStart", [(1, *to_page(b, *enemy))])
    b.touch("touchEnd")
    step(b, 2)
    assert b.js("glimm._glimmScore()") > 0, f"the first tap at {enemy} was lost"

    b.touch("touchStart", [(1, *to_page(b, 100, 100))])
    step(b, 2)
    for x, y in ((200, 160), (300, 220), (400, 300), (500, 380)):
        b.touch("touchMove", [(1, *to_page(b, x, y))])
        settle(b)
        step(b, 1)
        assert pointer(b) == [x, y, 1], (x, y, pointer(b))
    step(b, 40)
    aim = b.js("[glimm._glimmAim(0), glimm._glimmAim(1)]")
    assert abs(aim[0] - 180 / 750) < 0.01 and abs(aim[1] - 140 / 750) < 0.01, aim
    b.touch("touchEnd")
    step(b, 1)
    assert b.js("glimm._glimmLeftButton()") == 0, "a drag's end clicked"
    assert pointer(b) == [500, 380, 1], "the crosshair left the drag's end"

    # The aiming finger rests in a corner; another finger taps an enemy well away from it.
    corner = (60, 60)
    b.touch("touchStart", [(1, *to_page(b, *corner))])
    enemy = an_enemy_away_from(b, corner, 150)
    before = b.js("glimm._glimmScore()")
    b.touch("touchStart", [(1, *to_page(b, *corner)), (2, *to_page(b, *enemy))])
    b.touch("touchEnd", [(2, *to_page(b, *enemy))])
    step(b, 1)
    assert b.js("glimm._glimmScore()") > before, f"the tap at {enemy} missed"
    assert pointer(b) == [*corner, 1], "the pointer left the aiming finger"
    assert pointer(b, 1)[:2] == list(enemy), pointer(b, 1)


# Windows the picture must fit: CSS width and height, device pixels per CSS pixel, a phone
# (mobile, touch) or not; the canvas's CSS size; whether the pause control has room beside it.
FITS = [
    ("phone, portrait", 390, 844, 3, True, (390, 877 / 3), True),
    ("phone, landscape", 844, 390, 3, True, (520, 390), True),
    ("tablet at 4:3, no room beside", 1024, 768, 2, True, (1024, 768), False),
    ("desktop, whole steps", 1400, 1062, 1, False, (1280, 960), True),
    ("HiDPI laptop, no room beside", 1400, 1062, 2, False, (1400, 1050), False),
    ("desktop at 1.5, whole steps", 1400, 1062, 1.5, False, (1280, 960), True),
    ("window smaller than the picture", 300, 200, 1, False, (266, 200), False),
]


@scene
def the_picture_fits_each_window_and_the_pointer_lands_on_its_game_pixel(b, url):
    for name, width, height, ratio, phone, size, beside in FITS:
        b.emulate(width, height, ratio, phone)
        start_stepped(b, url, 42)
        b.js("document.getElementById('pause').hidden = false")
        left, top, shown_width, shown_height = canvas = rect(b, "screen")
        right, bottom = left + shown_width, top + shown_height
        assert abs(shown_width - size[0]) < 0.01 and abs(shown_height - size[1]) < 0.01 and \
            left >= 0 and top >= 0 and right <= width + 0.01 and bottom <= height + 0.01, \
            (name, "the picture is not fitted whole", canvas)
        x, y, w, h = pause = rect(b, "pause")
        if beside:  # clear of the picture
            assert x >= right or x + w <= left or y >= bottom or y + h <= top, (name, pause)
        else:  # in the picture's top right corner, clear of the score lines and health bar
            assert left + shown_width / 2 < x and x + w <= right and top <= y and \
                y + h < top + shown_height * 400 / 480, (name, pause, canvas)
        for x, y in ((0, 0), (639, 479), (321, 241), (17, 463)):
            at = to_page(b, x, y)
            if phone:
                b.touch("touchStart", [(1, *at)])
            else:  # a mouse stands on whole CSS pixels: the game pixel under that point
                at = int(at[0]), int(at[1])
                x, y = (min(int((at[0] - left) * 640 / shown_width), 639),
                        min(int((at[1] - top) * 480 / shown_height), 479))
                b.mouse("mouseMoved", *at)
            step(b, 1)
            assert pointer(b)[:2] == [x, y], (name, at, (x, y), pointer(b))
            if phone:
                b.touch("touchEnd")


@scene
def hidden_for_20_s_the_page_comes_back_paused_on_the_round_it_left(b, url):
    # The canvas's health bar rows as the page goes hidden, before the game hears of it.
    b.before_each_load("document.addEventListener('visibilitychange', () => { if (document.hidden)"
                       " window.lastSeen = Array.from(document.getElementById('screen')"
                       ".getContext('2d').getImageData(0, 423, 640, 29).data); });")
    open_and_play(b, url)
    for _ in range(100):  # shoot until the round has a score of its own
        places = enemy_places(b)
        inside = [(round(x), round(y)) for x, y in places if 20 < x < 620 and 20 < y < 400]
        if inside:
            click_game(b, *inside[0])
        if b.js("glimm._glimmScore()") > 0:
            break
        wait_frames(b, 3)
    score = b.js("glimm._glimmScore()")
    assert score > 0, "no enemy could be shot"

    b.hide_page()
    hidden_at = time.monotonic()
    browser.wait_until(lambda: time.monotonic() - hidden_at >= 20, timeout=30, what="20 s hidden")
    b.show_page()
    wait_frames(b, 40)
    assert dashboard_open(b) and b.js("glimm.music.paused"), "shown again, the game is not paused"
    assert b.js("glimm._glimmScore()") == score, "the round changed while hidden"
    click_game(b, 320, 214)  # "Save BMP screenshot"
    browser.wait_until(lambda: downloads(b) == ["screenshot1.bmp"], what="the screenshot")
    with open(os.path.join(b.downloads, "screenshot1.bmp"), "rb") as saved:
        bmp = saved.read()
    seen = b.js("lastSeen")
    assert seen, "nothing was seen as the page went hidden"
    # The health bar's band, rows 423 to 451 from x 18 to 621, with the score lines over it; the
    # tunnel around it moves on by the one frame that pauses, which may ease the bar's end by a
    # pixel or two. The bitmap is bottom-up, in blue, green, red.
    def differs(x, row):
        at = 54 + (479 - row) * 1920 + x * 3
        return bmp[at:at + 3] != bytes(seen[((row - 423) * 640 + x) * 4 + i] for i in (2, 1, 0))
    ends = {x for row in range(423, 452) for x in range(18, 622) if differs(x, row)}
    assert not ends or (max(ends) - min(ends) <= 3 and min(ends) > 250), sorted(ends)[:10]
