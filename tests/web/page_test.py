#!/usr/bin/python3
"""The browser version played in headless Chromium, as a player would: served from 127.0.0.1,
clicked, walked, fired and ended; then once more with a data package that lacks an image.

    tests/web/page_test.py BUILD-WEB-FOLDER [--measure]

Reads only what the player sees (screenshots of the page) and what the console says. Exits 1
at the first check that fails. --measure also prints the page's timings and frame rates.
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
