#!/usr/bin/python3
"""The browser version played in headless Chromium, as a player would: served from 127.0.0.1,
clicked, walked, fired and ended; reloaded, and counted how many pictures each input takes to
show; then once more with a data package that lacks an image.

    tests/web/page_test.py BUILD-WEB-FOLDER [--measure]

Reads only what the player sees (screenshots of the page, the pictures the game presents) and
what the console says. Runs every check and exits 1 if any failed. --measure also prints the page's
timings and frame rates, and when the browser presented the pictures that showed an input.
"""
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PAGE_FILES = ["index.html", "favicon.png", "zombie-shooter.js", "zombie-shooter.wasm",
              "manifest.webmanifest", "icon-192.png", "icon-512.png"]
failures = []


def check(ok, what):
    print(("ok      " if ok else "FAILED  ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


class Picture:
    """A screenshot, decoded: enough of PNG for what Chromium writes (8-bit RGB or RGBA)."""

    def __init__(self, png):
        pos, idat = 8, b""
        while pos < len(png):
            size, kind = struct.unpack(">I4s", png[pos:pos + 8])
            body = png[pos + 8:pos + 8 + size]
            if kind == b"IHDR":
                self.w, self.h, depth, colour = struct.unpack(">IIBB", body[:10])
                assert depth == 8 and colour in (2, 6), "an 8-bit RGB(A) screenshot"
                self.bpp = 3 if colour == 2 else 4
            elif kind == b"IDAT":
                idat += body
            pos += 12 + size
        raw, stride = zlib.decompress(idat), self.w * self.bpp
        rows, prev = [], bytearray(stride)
        for y in range(self.h):
            kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
            for i in range(stride):
                a = line[i - self.bpp] if i >= self.bpp else 0
                b, c = prev[i], prev[i - self.bpp] if i >= self.bpp else 0
                if kind == 1:
                    line[i] = (line[i] + a) & 255
                elif kind == 2:
                    line[i] = (line[i] + b) & 255
                elif kind == 3:
                    line[i] = (line[i] + (a + b) // 2) & 255
                elif kind == 4:
                    p = a + b - c
                    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                    line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
            rows.append(line)
            prev = line
        self.rows = rows
        # The game's 800x600 picture, letterboxed in the page.
        self.scale = min(self.w / 800, self.h / 600)
        self.left, self.top = (self.w - 800 * self.scale) / 2, (self.h - 600 * self.scale) / 2

    def pixel(self, x, y):
        """The colour at (x, y) of the game's picture."""
        px = min(self.w - 1, int(self.left + x * self.scale))
        py = min(self.h - 1, int(self.top + y * self.scale))
        i = px * self.bpp
        return tuple(self.rows[py][i:i + 3])

    def count(self, box, test):
        x1, y1, x2, y2 = box
        return sum(1 for y in range(y1, y2) for x in range(x1, x2) if test(self.pixel(x, y)))

    def differs(self, other, box):
        x1, y1, x2, y2 = box
        total = sum(abs(a - b) for y in range(y1, y2) for x in range(x1, x2)
                    for a, b in zip(self.pixel(x, y), other.pixel(x, y)))
        return total / ((x2 - x1) * (y2 - y1) * 3)


def hazard_yellow(c):
    return c[0] > 120 and c[1] > 90 and c[2] < 60


def glyph_white(c):
    return min(c) > 200


BAR_STRIPES = (690, 578, 790, 598)  # the yellow and black stripes at the bar's right end
HUD_TEXT = (5, 5, 160, 45)  # the kills and score lines
CLIP_NUMBER = (610, 572, 680, 598)
SOLDIER_START = (380, 280, 420, 320)
SOLDIER_ABOVE = (380, 125, 420, 175)
SOLDIER_LEFT_OF_ABOVE = (270, 125, 340, 175)


class Server:
    def __init__(self, folder):
        self.process = subprocess.Popen([os.path.join(ROOT, "scripts", "serve-web"), folder],
                                        stdout=subprocess.PIPE, text=True)
        self.url = self.process.stdout.readline().strip()

    def stop(self):
        os.kill(self.process.pid, signal.SIGTERM)
        self.process.wait(timeout=10)


def browser():
    options = Options()
    for arg in ["--headless=new", "--no-sandbox", "--window-size=1024,768", "--mute-audio",
                "--use-angle=swiftshader", "--enable-unsafe-swiftshader"]:
        options.add_argument(arg)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    service = Service(executable_path="/usr/bin/chromedriver")
    return webdriver.Chrome(options=options, service=service)


def shot(driver):
    return Picture(driver.get_screenshot_as_png())


def wait_for(driver, script, seconds=20.0):
    end = time.time() + seconds
    while time.time() < end:
        value = driver.execute_script(script)
        if value:
            return value
        time.sleep(0.05)
    return None


def start_game(driver, url):
    driver.get(url)
    ready = wait_for(driver, "return document.getElementById('status').textContent == 'Click to play'"
                     " && performance.now()")
    if not check(ready is not None, "the page loads and says 'Click to play'"):
        return None
    driver.execute_script("window.firstFrame = 0; window.clicked = performance.now();"
                          "requestAnimationFrame(() => requestAnimationFrame(() =>"
                          " { window.firstFrame = performance.now(); }));")
    driver.find_element("id", "message").click()
    first = wait_for(driver, "return window.Module.gameFrames > 0 && window.firstFrame")
    time.sleep(0.5)
    return ready, first


# What the page sees of each picture as it is presented: the game's boxes read from the WebGL
# drawing buffer right after the step that drew it (in the same task, before the browser
# composites it), by picture number as the engine counts them, with the frames run so far and the
# time the step ended; for each input, the pictures and frames there were when it reached the page;
# and when the browser says it presented the picture after each key or button event.
WATCH_PICTURES = """
const boxes = arguments[0], canvas = document.getElementById('canvas');
const gl = canvas.getContext('webgl2') || canvas.getContext('webgl');
window.seen = {};
window.arrived = {};
window.painted = {};
new PerformanceObserver((list) => {
  for (const e of list.getEntries()) painted[e.name] = painted[e.name] || e.startTime + e.duration;
}).observe({type: 'event', durationThreshold: 16});
for (const type of ['mousemove', 'keydown', 'mousedown']) {
  addEventListener(type, () => {
    arrived[type] = arrived[type] || [Module.gamePictures, Module.gameFrames];
  }, true);
}
let last = Module.gamePictures;
Module.postMainLoop = () => {
  if (Module.gamePictures === last) return;  // a step that drew nothing
  last = Module.gamePictures;
  const ended = performance.now(), w = gl.drawingBufferWidth, h = gl.drawingBufferHeight;
  const s = Math.min(w / 800, h / 600), left = (w - 800 * s) / 2, top = (h - 600 * s) / 2;
  const bound = gl.getParameter(gl.FRAMEBUFFER_BINDING);
  gl.bindFramebuffer(gl.FRAMEBUFFER, null);
  seen[last] = [Module.gameFrames, ended, boxes.map(([x1, y1, x2, y2]) => {
    const x = Math.round(left + x1 * s), y = Math.round(top + y1 * s);
    const bw = Math.round((x2 - x1) * s), bh = Math.round((y2 - y1) * s);
    const px = new Uint8Array(bw * bh * 4);
    gl.readPixels(x, h - y - bh, bw, bh, gl.RGBA, gl.UNSIGNED_BYTE, px);
    let digest = 0, white = 0;
    for (let i = 0; i < px.length; i += 4) {
      digest = (Math.imul(digest, 31) + (px[i] << 16 | px[i + 1] << 8 | px[i + 2])) | 0;
      white += Math.min(px[i], px[i + 1], px[i + 2]) > 200;
    }
    return [digest, white];
  })];
  gl.bindFramebuffer(gl.FRAMEBUFFER, bound);
};
"""
OLD_AIM, NEW_AIM = (400, 120), (400, 480)
AIM_BOXES = [(x - 12, y - 12, x + 12, y + 12) for x, y in (OLD_AIM, NEW_AIM)]
# Each input, the box where it shows and the frames it takes to show: the first shot leaves on
# the second frame the button is held (a rule of the game).
SHOWS = [("mousemove", 0, 1, "the crosshair gone from its old place"),
         ("mousemove", 1, 1, "the crosshair at its new place"),
         ("keydown", 2, 1, "the soldier moved by W"),
         ("mousedown", 3, 2, "the clip count lower after a shot")]


def input_to_picture(driver, measure):
    """The mouse moved, W and the left button pressed, each at a moment of the test's choosing:
    every one shows in the first picture presented after it reached the page (the crosshair at
    its new place and gone from the old one, the soldier moved, the clip count lower). Done in
    a game's first seconds, before a zombie comes near a box. Gives the pictures counted for each."""
    size = driver.execute_script("const c = document.getElementById('canvas');"
                                 " return [c.clientWidth, c.clientHeight]")
    scale = min(size[0] / 800, size[1] / 600)

    def mouse(kind, at, **more):
        x = (size[0] - 800 * scale) / 2 + at[0] * scale
        y = (size[1] - 600 * scale) / 2 + at[1] * scale
        driver.execute_cdp_cmd("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y, **more})

    def key(kind):
        driver.execute_cdp_cmd("Input.dispatchKeyEvent", {
            "type": kind, "code": "KeyW", "key": "w", "windowsVirtualKeyCode": 87})

    def pictures_after(event, count):
        wait_for(driver, f"const a = arrived.{event} || [Infinity];"
                 f" return Object.keys(seen).some(n => n >= a[0] + {count})", 5)

    mouse("mouseMoved", OLD_AIM)
    time.sleep(0.2)  # the soldier turns to the crosshair, then stands still
    driver.execute_script(WATCH_PICTURES, AIM_BOXES + [SOLDIER_START, CLIP_NUMBER])
    wait_for(driver, "return Object.keys(seen).length >= 4", 5)
    mouse("mouseMoved", NEW_AIM)
    pictures_after("mousemove", 4)
    key("keyDown")
    pictures_after("keydown", 4)
    key("keyUp")
    mouse("mousePressed", NEW_AIM, button="left", clickCount=1)
    pictures_after("mousedown", 4)
    mouse("mouseReleased", NEW_AIM, button="left", clickCount=1)
    seen, arrived, painted = driver.execute_script(
        "Module.postMainLoop = null; return [seen, arrived, painted]")
    seen = {int(n): picture for n, picture in seen.items()}
    counts = {}
    for event, box, frames, what in SHOWS:
        n, frame = arrived.get(event, (0, 0))
        before = [seen[p][2][box][0] for p in (n - 2, n - 1, n) if p in seen]
        if not check(len(before) == 3 and len(set(before)) == 1,
                     f"{what}: its box stood still in the pictures before the input"):
            continue
        after = [p for p in sorted(seen) if p > n]
        shows = next((p for p in after if seen[p][2][box][0] != before[0]), None)
        # After a stall the loop starts its grid afresh with one frame: a shot needs two.
        due = next((p for p in after if seen[p][0] >= frame + frames), None)
        counts[what] = shows and shows - n
        check(shows is not None and shows == due,
              f"{what} in picture {counts[what]} after the input (the first presented after it"
              f" with the frames it takes: {due and due - n})")
        if measure and shows and event in painted:
            print(f"measure: {what}: presented {painted[event] - seen[shows][1]:.0f} ms after the"
                  " step that drew it ended (the browser's Event Timing, to 8 ms)")
    n = arrived.get("mousemove", (0,))[0]
    if n in seen and n + 1 in seen:
        check(seen[n][2][0][1] >= 4 and seen[n + 1][2][1][1] >= 4 and seen[n + 1][2][0][1] < 4,
              "that picture has the crosshair's white at its new place and none at the old")
    return counts


def play(url, measure):
    driver = browser()
    try:
        times = start_game(driver, url)
        if times is None:
            return
        start = shot(driver)
        if os.environ.get("ZS_WEB_SHOT"):
            driver.save_screenshot(os.environ["ZS_WEB_SHOT"])
        check(start.count(BAR_STRIPES, hazard_yellow) > 100, "after the click the weapon bar is drawn")
        check(start.count(HUD_TEXT, glyph_white) > 30, "and the HUD's glyphs")
        canvas = driver.find_element("id", "canvas")
        check(driver.execute_script("return getComputedStyle(arguments[0]).cursor", canvas) == "none",
              "the system cursor is hidden over the canvas")
        ActionChains(driver).key_down("w").pause(1.5).key_up("w").perform()
        walked = shot(driver)
        # At 100 pixels a second he leaves his place and arrives some 150 pixels above it.
        check(walked.differs(start, SOLDIER_START) > 5 and walked.differs(start, SOLDIER_ABOVE) > 5,
              "holding W walks the soldier up from the middle")
        # On AZERTY the key where a US keyboard has A says Q (key code 81): it walks left.
        for kind in ("keyDown", "keyUp"):
            driver.execute_cdp_cmd("Input.dispatchKeyEvent", {
                "type": kind, "code": "KeyA", "key": "q", "windowsVirtualKeyCode": 81,
                "nativeVirtualKeyCode": 81})
            if kind == "keyDown":
                time.sleep(1.2)
        left = shot(driver)
        check(left.differs(walked, SOLDIER_ABOVE) > 5 and left.differs(walked, SOLDIER_LEFT_OF_ABOVE) > 5,
              "on AZERTY the key at A's place (q) walks the soldier left")
        walked = left
        ActionChains(driver).move_to_element_with_offset(canvas, 0, -200).click_and_hold().pause(0.6).release().perform()
        fired = shot(driver)
        check(fired.differs(walked, CLIP_NUMBER) > 3, "holding the left button fires: the clip count changes")
        if measure:
            frames0, pictures0 = driver.execute_script("return [Module.gameFrames, Module.gamePictures]")
            time.sleep(10)
            frames1, pictures1 = driver.execute_script("return [Module.gameFrames, Module.gamePictures]")
            print(f"measure: page ready {times[0]:.0f} ms after navigation; first game frame "
                  f"{times[1] - times[0]:.0f} ms after that (the click); over 10 s "
                  f"{(frames1 - frames0) / 10:.0f} frames and {(pictures1 - pictures0) / 10:.1f} pictures a second")
        ActionChains(driver).send_keys(Keys.ESCAPE).perform()
        ended = wait_for(driver, "return document.getElementById('status').textContent.includes('ended')"
                         " && !document.getElementById('message').hidden", 5)
        check(bool(ended), "Escape ends the game and the page says so")
        frames = driver.execute_script("return Module.gameFrames")
        time.sleep(0.5)
        check(driver.execute_script("return Module.gameFrames") == frames, "and the loop has stopped")
        errors = [e["message"] for e in driver.get_log("browser") if e["level"] == "SEVERE"]
        check(not errors, "the console holds no error" + ("".join("\n  " + e for e in errors)))
        # A fresh game, with no zombie near the middle yet.
        if start_game(driver, url) is not None:
            input_to_picture(driver, measure)
    finally:
        driver.quit()


def without_crosshair(build, folder):
    """The page with a data package made without gfx/nisangah.png."""
    for name in PAGE_FILES:
        shutil.copy(os.path.join(build, name), folder)
    assets = os.path.join(folder, "assets")
    shutil.copytree(os.path.join(ROOT, "assets", "gfx"), os.path.join(assets, "gfx"))
    shutil.copytree(os.path.join(ROOT, "assets", "sfx"), os.path.join(assets, "sfx"))
    os.remove(os.path.join(assets, "gfx", "nisangah.png"))
    subprocess.run(["/usr/bin/python3", "/usr/share/emscripten/tools/file_packager.py",
                    os.path.join(folder, "zombie-shooter.data"), "--preload", "gfx", "sfx",
                    "--js-output=" + os.path.join(folder, "zombie-shooter-data.js")],
                   cwd=assets, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def missing_image(build):
    with tempfile.TemporaryDirectory() as folder:
        without_crosshair(build, folder)
        server = Server(folder)
        driver = browser()
        try:
            if start_game(driver, server.url) is None:
                return
            lines = [e["message"] for e in driver.get_log("browser") if "zombie-shooter:" in e["message"]]
            check(len(lines) == 1 and "gfx/nisangah.png" in lines[0],
                  "a package without gfx/nisangah.png logs one game line naming it: " + repr(lines))
            check(shot(driver).count(BAR_STRIPES, hazard_yellow) > 100, "and the game still draws its bar")
        finally:
            driver.quit()
            server.stop()


def main():
    build = os.path.abspath(sys.argv[1])
    measure = "--measure" in sys.argv
    server = Server(build)
    try:
        print("the page at " + server.url, flush=True)
        play(server.url, measure)
    finally:
        server.stop()
    missing_image(build)
    # The phone's checks report through this module's check().
    sys.modules.setdefault("page_test", sys.modules[__name__])
    import phone_test
    server = Server(build)
    try:
        phone_test.run(server.url, server.stop, measure)
    finally:
        if server.process.poll() is None:
            server.stop()
    if failures:
        print(f"{len(failures)} check(s) failed", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
