"""The page on an emulated phone and tablet, played by touch alone (CDP touch events, two fingers
at once, no mouse), then installed and played again with the network gone, up to a level-up.
Run by page_test.py, whose check() and Picture it uses.
"""
import base64
import math
import os
import time

from selenium.common.exceptions import WebDriverException

import page_test as page
from page_test import check

PHONE = (844, 390, 3)  # CSS pixels and device pixel ratio, held sideways
TABLET = (1180, 820, 2)
MOST_PIXELS = 4.2e6  # the page's cap on the drawing buffer
AIM_GAIN = 2.5  # crosshair pixels per picture pixel the right thumb moves (sdl_touch.h)
TAP_MS = 300  # a touch shorter than this is a tap (sdl_touch.h)


def cdp(driver, command, **params):
    return driver.execute_cdp_cmd(command, params)


def emulate(driver, width, height, ratio):
    cdp(driver, "Emulation.setDeviceMetricsOverride", width=width, height=height,
        deviceScaleFactor=ratio, mobile=True,
        screenOrientation={"type": "landscapePrimary" if width > height else "portraitPrimary",
                           "angle": 90 if width > height else 0})
    cdp(driver, "Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)


class Screen:
    """Where the 800x600 picture sits in the page, and touch in CSS pixels."""

    def __init__(self, driver, width, height):
        self.driver, self.w, self.h = driver, width, height
        self.scale = min(width / 800, height / 600)
        self.left, self.top = (width - 800 * self.scale) / 2, (height - 600 * self.scale) / 2
        self.fingers = {}

    def css(self, x, y):
        return self.left + x * self.scale, self.top + y * self.scale

    def _send(self, kind):
        points = [{"x": x, "y": y, "id": i, "radiusX": 8, "radiusY": 8, "force": 1}
                  for i, (x, y) in self.fingers.items()]
        cdp(self.driver, "Input.dispatchTouchEvent", type=kind, touchPoints=points)

    def down(self, finger, x, y):
        self.fingers[finger] = (x, y)
        self._send("touchStart")

    def move(self, finger, x, y):
        self.fingers[finger] = (x, y)
        self._send("touchMove")

    def up(self, finger):
        del self.fingers[finger]
        self._send("touchEnd" if not self.fingers else "touchStart")

    def tap(self, x, y):
        self.down(9, x, y)
        self.up(9)

    def shot(self, box, scale=1.0):
        """A screenshot of part of the picture (x1, y1, x2, y2 in picture pixels), at the device's
        own resolution times `scale`."""
        x1, y1, x2, y2 = box
        left, top = self.css(x1, y1)
        data = cdp(self.driver, "Page.captureScreenshot", format="png", clip={
            "x": left, "y": top, "width": (x2 - x1) * self.scale, "height": (y2 - y1) * self.scale,
            "scale": scale})["data"]
        return Clip(base64.b64decode(data), box)


class Clip(page.Picture):
    """A decoded screenshot of a box of the picture, read in picture pixels."""

    def __init__(self, png, box):
        super().__init__(png)
        self.box = box
        self.scale = self.w / (box[2] - box[0])

    def pixel(self, x, y):
        px = min(self.w - 1, int((x - self.box[0]) * self.scale))
        py = min(self.h - 1, int((y - self.box[1]) * self.scale))
        return tuple(self.rows[py][px * self.bpp:px * self.bpp + 3])

    def steepness(self):
        """How steep the glyphs' edges are at this resolution: the largest steps between
        neighbouring device pixels, as a share of the whole range of brightness."""
        steps, lo, hi = [], 255, 0
        for row in self.rows:
            grey = [sum(row[i:i + 3]) // 3 for i in range(0, self.w * self.bpp, self.bpp)]
            lo, hi = min(lo, *grey), max(hi, *grey)
            steps += [abs(a - b) for a, b in zip(grey, grey[1:])]
        steps.sort()
        top = steps[-max(1, len(steps) // 50):]
        return sum(top) / len(top) / max(1, hi - lo)


def alive(clip, box):
    """The end screens are light all over; the field and the bar are dark."""
    x1, y1, x2, y2 = box
    return clip.count(box, lambda c: min(c) > 170) < (x2 - x1) * (y2 - y1) // 4


def bright_share(clip):
    """The end screens (level-up, death) are light all over; the field is dark ground."""
    pixels = [clip.pixel(x, y) for y in range(0, 600, 40) for x in range(0, 800, 40)]
    return sum(1 for c in pixels if min(c) > 170) / len(pixels)


def frames(driver):
    return driver.execute_script("return window.Module && Module.gameFrames || 0")


def wait_ready(driver, word="Tap to play"):
    return page.wait_for(driver, "return document.getElementById('status').textContent == '"
                         + word + "' && performance.now()", 30)


def start_by_tap(driver, screen):
    """Taps the message; gives the time of the first game frame (performance.now())."""
    driver.execute_script("window.firstFrame = 0; (function look() { if (Module.gameFrames > 0)"
                          " window.firstFrame = performance.now(); else requestAnimationFrame(look);"
                          " })();")
    screen.tap(screen.w / 2, screen.h / 2)
    first = page.wait_for(driver, "return window.firstFrame")
    time.sleep(0.3)
    return first


class Aim:
    """The right thumb on the aiming pad: it knows where it has put the crosshair."""

    def __init__(self, screen, x=400.0, y=300.0):
        self.screen, self.x, self.y = screen, x, y
        self.thumb = None

    def press(self):
        self.thumb = (self.screen.w - 0.1 * self.screen.w, self.screen.h * 0.5)
        self.screen.down(2, *self.thumb)

    def to(self, x, y, steps=6, seconds=0.25):
        """Drags the crosshair to (x, y) of the picture in `seconds`."""
        x, y = min(max(x, 0), 799), min(max(y, 0), 599)
        dx = (x - self.x) / AIM_GAIN * self.screen.scale
        dy = (y - self.y) / AIM_GAIN * self.screen.scale
        tx, ty = self.thumb
        for i in range(1, steps + 1):
            self.screen.move(2, tx + dx * i / steps, ty + dy * i / steps)
            time.sleep(seconds / steps)
        self.thumb = (tx + dx, ty + dy)
        self.x, self.y = x, y
        # The thumb goes back to the middle of its side between strokes (lifted, not dragged).
        if not (0.55 * self.screen.w < self.thumb[0] < 0.98 * self.screen.w and
                0.15 * self.screen.h < self.thumb[1] < 0.85 * self.screen.h):
            self.release()
            self.press()

    def release(self):
        self.screen.up(2)


def crosshair_at(screen, x, y):
    """The crosshair (a small white cross) shows within 8 pixels of (x, y)."""
    box = (x - 8, y - 8, x + 8, y + 8)
    white = screen.shot(box).count(box, page.glyph_white)
    return 4 <= white <= 80  # not an end screen, white all over


def buffer_matches(driver, screen, ratio):
    """The canvas's drawing buffer is its CSS size times the ratio, or the cap's share of it."""
    w, h = driver.execute_script("const c = document.getElementById('canvas');"
                                 " return [c.width, c.height]")
    want = min(ratio, (MOST_PIXELS / (screen.w * screen.h)) ** 0.5)
    return abs(w - screen.w * want) <= 1 and abs(h - screen.h * want) <= 1, (w, h)


def walk_up(screen, seconds):
    """The left thumb lands low in the left bar and pushes up."""
    x, y = 0.08 * screen.w, 0.7 * screen.h
    screen.down(1, x, y)
    screen.move(1, x, y - 0.1 * screen.h)
    time.sleep(seconds)
    screen.up(1)


def walks(screen, scale):
    """The left thumb pushed up (the browser takes its time to hear it lift): the soldier leaves
    his place for one above it, somewhere up to the top, and is still alive."""
    box, start, above = (340, 0, 460, 340), (380, 270, 420, 330), (370, 60, 430, 250)
    before = screen.shot(box, scale)
    walk_up(screen, 0.8)
    after = screen.shot(box, scale)
    left, went = after.differs(before, start), after.differs(before, above)
    return left > 5 and went > 1 and alive(after, box), f"(changes {left:.0f} and {went:.0f})"


FIELD = (0, 60, 800, 568)  # between the HUD's lines and its bar
MIDDLE = (400, 300)  # where the soldier starts, and stays while the left thumb rests
# The left of the level-up screen's long third line ("... ENTER A BASIN!"): the death screen's two
# short lines leave it white.
ENTER_LINE = (255, 341, 345, 355)


def zombies_seen(clip, cell=25, least=3):
    """Cells of the field showing the zombies' flesh, a bright green that neither the soldier's
    olive nor the ground reaches (the replay bot's colour), as (x, y) in picture pixels."""
    cells = {}
    (x0, y0), s, bpp = clip.box[:2], clip.scale, clip.bpp
    for py, row in enumerate(clip.rows):
        y = int(y0 + py / s) // cell
        for px in range(0, clip.w * bpp, bpp):
            if row[px + 1] >= 128 and row[px] <= 140 and row[px + 2] <= 110:
                key = (int(x0 + px / bpp / s) // cell, y)
                cells[key] = cells.get(key, 0) + 1
    return [((cx + 0.5) * cell, (cy + 0.5) * cell) for (cx, cy), n in cells.items() if n >= least]


def level_up_shown(screen, look=None):
    """The light end screen (in `look`, or a look now) with the level-up's long line of text."""
    if bright_share(look or screen.shot((0, 0, 800, 600), scale=1 / 6)) <= 0.8:
        return False
    return screen.shot(ENTER_LINE).count(ENTER_LINE, lambda c: min(c) < 200) > 150


def play_by_touch(screen, aim, seconds):
    """Plays as a thumb would: the soldier stands in the middle, the right thumb stays down (the
    gun fires) and at each look drags the crosshair onto the zombie nearest him. The zombies
    close in on him in straight lines, so a bullet sent towards one meets it however long the
    look took. Gives the number of looks and the last, up to a light screen (level-up or death)."""
    end, looks = time.time() + seconds, 0
    while time.time() < end:
        look = screen.shot((0, 0, 800, 600), scale=1 / 6)
        looks += 1
        if bright_share(look) > 0.8:
            return looks, look
        seen = [z for z in zombies_seen(look) if FIELD[1] <= z[1] < FIELD[3]]
        if seen:
            aim.to(*min(seen, key=lambda z: math.dist(z, MIDDLE)), steps=2, seconds=0.05)
    return looks, None


def change(a, b):
    """How much two looks of the same size differ: the mean step of a colour byte."""
    total = sum(abs(x - y) for ra, rb in zip(a.rows, b.rows) for x, y in zip(ra, rb))
    return total / (a.w * a.h * a.bpp)


def tap_as_a_tap(driver, screen, x, y, tries=5):
    """Taps (x, y), again while the page got the finger's lift a tap's time or more after its
    landing (each touch event waits for the page, which a busy machine holds up): the game
    would rightly take that for a thumb resting. Gives how many taps it took."""
    driver.execute_script(
        "window.touchTimes = []; if (!window.touchWatch) { window.touchWatch = true;"
        " for (const kind of ['touchstart', 'touchend']) addEventListener(kind,"
        " () => touchTimes.push(performance.now()), true); }")
    for tried in range(1, tries + 1):
        driver.execute_script("window.touchTimes = []")
        screen.tap(x, y)
        landed, lifted = driver.execute_script("return touchTimes")
        if lifted - landed < TAP_MS * 0.9:
            break
    return tried


def level_up(driver, screen, shots):
    """Ten kills by touch bring the level-up screen; nothing but a tap leaves it, and after the
    tap the game goes on."""
    screen.tap(*screen.css(640, 585))  # the submachine gun
    # Wherever the crosshair is, a stroke as long as the picture takes it to the top-left corner.
    aim = Aim(screen, 799, 599)
    aim.press()
    aim.to(0, 0, steps=3, seconds=0.1)
    start = time.time()
    looks, light = play_by_touch(screen, aim, 90)
    took = time.time() - start
    shown = light is not None and level_up_shown(screen, light)
    if shots:
        driver.save_screenshot(shots + "-phone-level-up.png")
    seen = "the level-up screen" if shown else "the death screen" if light else "nothing light"
    if not check(shown, f"played by touch, the tenth kill brings the level-up screen ({seen} after"
                 f" {took:.0f} s, {looks} looks)"):
        aim.release()
        return
    # The thumb that played lifts, lands again, strokes and lifts: no tap. The stroke takes the
    # crosshair just beside the soldier, so that the first step of every bullet, however long the
    # browser's frames, lands among the zombies that stand on him.
    aim.release()
    held = frames(driver)
    time.sleep(0.8)
    aim.press()
    aim.to(MIDDLE[0] + 5, MIDDLE[1] + 4, steps=3, seconds=0.15)
    aim.release()
    time.sleep(0.3)
    check(level_up_shown(screen) and frames(driver) > held,
          "with no finger down, and after a thumb stroked and lifted, the level-up screen stays")
    taps = tap_as_a_tap(driver, screen, *screen.css(400, 300))
    aim.press()  # and fires again: at level 2 the zombies come twice as fast
    held = frames(driver)
    after = screen.shot((0, 0, 800, 600), scale=1 / 8)
    later = screen.shot((0, 0, 800, 600), scale=1 / 8)
    went_on = frames(driver) > held
    if shots:
        driver.save_screenshot(shots + "-phone-after-level-up.png")
    aim.release()
    shares, moved = (bright_share(after), bright_share(later)), change(later, after)
    stays = " the level-up screen stays" if level_up_shown(screen, after) else ""
    check(max(shares) < 0.2 and went_on and moved > 0.1,
          "a tap leaves it: the field is back and the game goes on, the soldier alive (light"
          f" {shares[0]:.2f} and {shares[1]:.2f}, change {moved:.1f}, taps sent {taps}){stays}")


def play_phone(driver, shots):
    """A whole game by touch on the phone, to the death screen and the end. The zombies overrun
    a soldier who does little within seconds, and each screenshot at this ratio takes the
    browser a while, so what needs him alive comes first."""
    width, height, ratio = PHONE
    screen = Screen(driver, width, height)
    ok, size = buffer_matches(driver, screen, ratio)
    check(ok, f"the canvas's buffer is its CSS size times {ratio}: {size}")
    hud = screen.shot(page.HUD_TEXT)
    sharp = hud.steepness()
    # Drawn at the CSS size and stretched threefold by the browser, these glyphs measure 0.26;
    # drawn at the device's own pixels, 0.40.
    check(sharp > 0.33, f"the HUD's glyphs are sharp at the device's resolution (steepness {sharp:.2f})")
    clip_number = page.CLIP_NUMBER
    loaded = screen.shot(clip_number)

    # The controls show from the first touch on, in the letterbox bar beside the picture (where
    # the left stick waits, 1.6 stick radii from the corner).
    r = 0.12 * min(width, height)
    waits = ((1.6 * r - screen.left) / screen.scale, (height - 1.6 * r) / screen.scale)
    stick = (int(waits[0]) - 10, int(waits[1]) - 10, int(waits[0]) + 10, int(waits[1]) + 10)
    lit = lambda: screen.shot(stick).count(stick, lambda c: max(c) > 20)  # noqa: E731
    check(lit() == 0, "before the first touch no control is drawn")

    # The right thumb lands in the bar and fires; its stroke takes the crosshair to a point
    # chosen here. Any point is at most 400 picture pixels from the middle: a stroke of at most
    # 104 CSS pixels here, a flick of the thumb. (The time is the test's: each touch event takes
    # the browser a while.)
    aim = Aim(screen)
    aim.press()
    start = time.time()
    aim.to(620, 140, steps=2, seconds=0.0)
    took = time.time() - start
    time.sleep(0.3)
    firing = screen.shot(clip_number)
    check(firing.differs(loaded, clip_number) > 3 and alive(firing, clip_number),
          "a thumb on the aiming pad fires: the clip count changes")
    if shots:
        driver.save_screenshot(shots + "-phone-touch.png")
    aim.release()
    check(crosshair_at(screen, 620, 140),
          f"the right thumb puts the crosshair on (620, 140) with a stroke of"
          f" {math.hypot(220, 160) / AIM_GAIN * screen.scale:.0f} CSS pixels, sent in {took:.2f} s")
    time.sleep(0.3)
    still = screen.shot(clip_number)
    time.sleep(0.4)
    quiet = screen.shot(clip_number)
    check(quiet.differs(still, clip_number) < 1 and alive(quiet, clip_number),
          "with the thumb lifted the gun is quiet (the clip count stands)")
    aim.press()
    time.sleep(0.2)
    check(crosshair_at(screen, 620, 140), "a thumb landing again: the crosshair stays (no jump)")
    aim.release()
    check(lit() > 50, "the walking stick is drawn in the bar where it waits")

    # Standing still, he is eaten; the death screen stays until the corner is held.
    dead = False
    end = time.time() + 60
    while time.time() < end and not dead:
        time.sleep(1.0)
        dead = bright_share(screen.shot((0, 0, 800, 600), scale=1 / 6)) > 0.8
    check(dead, "standing still, the soldier dies: the death screen")
    screen.tap(*screen.css(400, 300))
    time.sleep(0.5)
    check(bright_share(screen.shot((0, 0, 800, 600), scale=1 / 6)) > 0.8 and
          not level_up_shown(screen), "a tap does not leave the death screen")
    screen.down(3, screen.w - 10, 10)
    time.sleep(1.2)
    screen.up(3)
    ended = page.wait_for(driver, "return document.getElementById('status').textContent"
                          ".includes('ended')", 5)
    check(bool(ended), "a held press on the top-right corner ends the game")


def upright_waits(driver):
    """Turned upright the game stands still and says to turn the device; turned back it goes on."""
    width, height, ratio = PHONE
    emulate(driver, height, width, ratio)
    time.sleep(0.5)
    held = frames(driver)
    time.sleep(0.6)
    stood = frames(driver) == held
    said = driver.execute_script("const t = document.getElementById('turn');"
                                 " return getComputedStyle(t).display != 'none' && t.innerText")
    check(stood and bool(said) and "Turn" in said,
          f"upright, the game stands still and says: {said!r}")
    emulate(driver, width, height, ratio)
    time.sleep(0.6)
    check(frames(driver) > held, "turned back, it goes on")


def installable(driver):
    manifest = cdp(driver, "Page.getAppManifest")
    check(not manifest.get("errors") and '"fullscreen"' in manifest.get("data", ""),
          "the manifest parses with no errors: " + repr(manifest.get("errors")))
    state = driver.execute_async_script(
        "const done = arguments[0]; navigator.serviceWorker.ready.then("
        "r => done(r.active && r.active.state)); setTimeout(() => done('none'), 20000);")
    check(state == "activated", f"the service worker is active ({state})")
    stored = driver.execute_async_script(
        "const done = arguments[0]; caches.keys().then(k => Promise.all(k.map(n => caches.open(n)"
        ".then(c => c.keys())))).then(all => done(all.flat().length));")
    check(stored >= 10, f"it has stored the page's files ({stored})")


def session(url, size, measure, tell):
    """A fresh browser as the device of `size`, the page loaded, the game started by a tap.
    Gives the driver and (ready, first frame) times after navigation, in ms."""
    driver = page.browser()
    emulate(driver, *size)
    driver.get(url)
    ready = wait_ready(driver)
    if not check(ready is not None, f"{tell}: the page loads and says 'Tap to play'"):
        return driver, None
    first = start_by_tap(driver, Screen(driver, size[0], size[1]))
    if not check(bool(first), f"{tell}: a tap starts the game"):
        return driver, None
    return driver, (ready, first)


def rates(driver, seconds):
    f0, p0 = driver.execute_script("return [Module.gameFrames, Module.gamePictures]")
    time.sleep(seconds)
    f1, p1 = driver.execute_script("return [Module.gameFrames, Module.gamePictures]")
    return (f1 - f0) / seconds, (p1 - p0) / seconds


def tablet(url):
    driver, times = session(url, TABLET, False, "tablet")
    try:
        if times:
            screen = Screen(driver, TABLET[0], TABLET[1])
            ok, size = buffer_matches(driver, screen, TABLET[2])
            check(ok, f"tablet: the canvas's buffer is its CSS size times {TABLET[2]}: {size}")
            ok, seen = walks(screen, 0.5)
            check(ok, "tablet: the left thumb walks the soldier up " + seen)
            # The weapon slot switches to the submachine gun, once per tap: no input arrives
            # twice (a second would switch back).
            icon = (600, 575, 631, 590)
            before = screen.shot(icon)
            screen.tap(*screen.css(640, 585))
            time.sleep(0.3)
            after = screen.shot(icon)
            check(after.differs(before, icon) > 5 and alive(after, icon),
                  "tablet: a tap on the weapon slot switches weapons")
    finally:
        driver.quit()


def measure_ratio(url, ratio, shots):
    """Frames and pictures a second on the phone at `ratio`, both thumbs down."""
    driver, times = session(url, (PHONE[0], PHONE[1], ratio), True, f"phone at ratio {ratio}")
    try:
        if times:
            screen = Screen(driver, PHONE[0], PHONE[1])
            screen.down(1, 0.08 * screen.w, 0.7 * screen.h)
            screen.move(1, 0.08 * screen.w, 0.62 * screen.h)
            screen.down(2, 0.9 * screen.w, 0.5 * screen.h)
            time.sleep(0.3)
            if shots:
                driver.save_screenshot(f"{shots}/ratio{ratio}-controls.png")
            fps, pps = rates(driver, 8)
            print(f"measure: phone at ratio {ratio}: {fps:.0f} frames and {pps:.1f} pictures a second")
    finally:
        driver.quit()


def offline(driver, url):
    """The network cut (the server stopped, and the browser told it is offline): a reload."""
    cdp(driver, "Network.enable")
    # The browser's own HTTP cache would serve the files too: only the worker's store may.
    cdp(driver, "Network.setCacheDisabled", cacheDisabled=True)
    cdp(driver, "Network.emulateNetworkConditions", offline=True, latency=0,
        downloadThroughput=-1, uploadThroughput=-1)
    try:
        driver.get(url)
    except WebDriverException as e:  # nothing stored: the browser's own offline page
        check(False, "with the network cut, a reload reaches the page: " + e.msg.splitlines()[0])
        return None, None
    ready = wait_ready(driver)
    screen = Screen(driver, PHONE[0], PHONE[1])
    first = ready and start_by_tap(driver, screen)
    check(bool(first), f"with the network cut, a reload reaches the game and it plays"
          f" (ready {ready}, first frame {first})")
    if not first:
        print("  the console: " + repr([e["message"][:200] for e in driver.get_log("browser")]))
    else:
        stripes = screen.shot(page.BAR_STRIPES).count(page.BAR_STRIPES, page.hazard_yellow)
        check(stripes > 100, "offline, the game draws its bar")
    return ready, first


def run(url, server_stop, measure):
    """Everything on the tablet and the phone; `server_stop` cuts the network for the last part."""
    shots = os.environ.get("ZS_WEB_SHOT_DIR")
    tablet(url)
    if measure:
        for ratio in (1, 3):
            measure_ratio(url, ratio, shots)
    driver, times = session(url, PHONE, measure, "phone")
    try:
        if times:
            upright_waits(driver)
            play_phone(driver, shots and shots + "/ratio3")
            installable(driver)
            server_stop()
            ready, first = offline(driver, url)
            if first:  # a fresh game
                level_up(driver, Screen(driver, PHONE[0], PHONE[1]), shots and shots + "/ratio3")
            if measure and first:
                print(f"measure: phone online: 'Tap to play' {times[0]:.0f} ms after navigation,"
                      f" first frame {times[1]:.0f} ms; offline: {ready:.0f} ms and {first:.0f} ms")
    finally:
        driver.quit()
