#!/usr/bin/python3
"""Plays one game of zombie-shooter in a private X server and records it with --record.

How tests/replay/played-game.zsr was made, and how to make it again when a rule changes on
purpose (the committed game then no longer plays the same). The game runs in a real window
and gets real input: every key and mouse move goes through xdotool to the X server, exactly as
from a person, and the script decides from what it sees on the screen, never from the game's
memory.

    tools/replay-bot/play.py GAME OUT.zsr [SECONDS]

GAME is the built executable, SECONDS (default 70) the least length of the game: after the
soldier's death the script waits on the death screen until then and presses Escape.
PLAY_DEBUG=1 prints what it saw at each look.

What it does, about eight times a second: grabs the screen (XGetImage); finds the zombies by
their green, the soldier by his skin and the pickups by their gold (ammunition) and white
(health); aims at the zombie nearest the soldier with the left button held, the pistol first
and the submachine gun (key 2) after a few seconds; walks away from the zombies that come near,
pulled back towards the middle, or to a pickup when none is near; presses Enter on the level-up
screen. Where the soldier's skin is hidden, his position is reckoned from the keys held (100 px
a second, the speed the game starts with).

A game's course depends on the machine's timing, so two runs differ: from seven runs here the
soldier lived 18 to 27 s.

Needs: xvfb openbox xdotool (Debian packages) and libX11.
"""
import ctypes
import ctypes.util
import os
import re
import subprocess
import sys
import time

GAME_W, GAME_H = 800.0, 600.0
SCREEN_W, SCREEN_H = 1024, 768  # the private X server's, which the game fills
WALK_SPEED = 100.0  # game pixels a second
PISTOL_SECONDS = 5.5
FLEE_RADIUS = 180.0  # game pixels: zombies nearer than this push the soldier away


class XImage(ctypes.Structure):
    _fields_ = [
        ("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
        ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_char)),
        ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
        ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
        ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
        ("bits_per_pixel", ctypes.c_int),
    ]


class Screen:
    """The root window of the private display, read as 32-bit BGRX pixels."""

    def __init__(self, display):
        self.x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x11.XGetImage.restype = ctypes.POINTER(XImage)
        self.x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                       ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                                       ctypes.c_ulong, ctypes.c_int]
        self.x11.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
        self.dpy = self.x11.XOpenDisplay(display.encode())
        if not self.dpy:
            sys.exit("play.py: cannot open display " + display)
        self.root = self.x11.XDefaultRootWindow(self.dpy)

    def grab(self, w, h):
        image = self.x11.XGetImage(self.dpy, self.root, 0, 0, w, h, 0xFFFFFFFF, 2)
        line = image.contents.bytes_per_line
        data = ctypes.string_at(image.contents.data, line * h)
        self.x11.XDestroyImage(image)
        return data, line


PENDING = []


def xdo(*args):
    """Queues an xdotool command; flush() sends the queue as one xdotool run, in order."""
    PENDING.extend(args)


def flush():
    if PENDING:
        subprocess.run(["xdotool", *PENDING], check=False)
        PENDING.clear()


# Colour classes over raw BGRX bytes: a lookahead finds every pixel, aligned or not; only
# those starting at a multiple of four are pixels. The zombies' flesh is a bright green the
# soldier's olive never reaches, the ammunition box's brass the only gold with little blue
# (the bullets' yellow has more), the health box's white the only white on the ground besides
# the crosshair, and the soldier's face and hands the only skin.
ZOMBIE = re.compile(rb"(?=[\x00-\x6e][\x80-\xff][\x00-\x8c])", re.DOTALL)
GOLD = re.compile(rb"(?=[\x00-\x50][\x6e-\xd2][\x96-\xff])", re.DOTALL)
SKIN = re.compile(rb"(?=[\x60-\x7f][\x80-\xbf][\xa0-\xdf])", re.DOTALL)
WHITE = re.compile(rb"(?=[\xeb-\xff][\xeb-\xff][\xeb-\xff])", re.DOTALL)
CELL = 32  # screen pixels: a zombie fills a few cells, a piece of gore hardly one


def pixels(pattern, data, line, start=0, end=None):
    """Screen coordinates of the pixels matching `pattern` between two byte offsets."""
    for match in pattern.finditer(data, start, len(data) if end is None else end):
        p = match.start()
        if not p & 3:
            yield (p % line) >> 2, p // line


def count_cells(points, cell_size):
    cells = {}
    for x, y in points:
        cell = (x // cell_size, y // cell_size)
        cells[cell] = cells.get(cell, 0) + 1
    return cells


def clusters(pattern, data, line, scale, least, keep=lambda x, y: True, cell_size=CELL):
    """Centres, in game coordinates, of the cells holding at least `least` matching pixels,
    between the HUD's top lines and its bar at the bottom."""
    top, bottom = int(60 * scale) * line, int(568 * scale) * line
    points = ((x, y) for x, y in pixels(pattern, data, line, top, bottom)
              if keep(x / scale, y / scale))
    cells = count_cells(points, cell_size)
    return [((cx + 0.5) * cell_size / scale, (cy + 0.5) * cell_size / scale)
            for (cx, cy), n in cells.items() if n >= least]


def white_screen(data, line, w, h):
    """The level-up and death screens: nearly all white."""
    white = 0
    for sy in range(8, h, h // 12):
        row = data[sy * line:(sy + 1) * line]
        for b, g, r in zip(row[0::64], row[1::64], row[2::64]):
            white += r > 235 and g > 235 and b > 235
    return white > 0.8 * 12 * (w // 16)


def half(data, line, h):
    """Every other pixel of every other row: a quarter of the work, enough for a zombie."""
    rows = (memoryview(data)[y * line:(y + 1) * line].cast("I")[::2] for y in range(0, h, 2))
    return b"".join(row.tobytes() for row in rows), line // 2


def find_soldier(data, line, scale):
    """The middle of the skin pixels around the cell that holds most of them, or None."""
    points = list(pixels(SKIN, data, line))
    cells = count_cells(points, CELL)
    if not cells or max(cells.values()) < 8:
        return None
    cx, cy = max(cells, key=cells.get)
    mx, my = (cx + 0.5) * CELL, (cy + 0.5) * CELL
    near = [(x, y) for x, y in points if abs(x - mx) < 48 and abs(y - my) < 48]
    return (sum(x for x, _ in near) / len(near) / scale, sum(y for _, y in near) / len(near) / scale)


def find_zombies(data, line, h, scale):
    small, small_line = half(data, line, h)
    return clusters(ZOMBIE, small, small_line, scale / 2, 12, cell_size=CELL // 2)


def find_pickups(data, line, scale, mouse):
    """Ammunition and health boxes, off the crosshair."""
    def off_crosshair(x, y):
        return abs(x - mouse[0]) > 10 or abs(y - mouse[1]) > 10
    return (clusters(GOLD, data, line, scale, 3) +
            clusters(WHITE, data, line, scale, 12, off_crosshair))


def nearest(points, x, y):
    return min(points, key=lambda p: (p[0] - x) ** 2 + (p[1] - y) ** 2, default=None)


class Walker:
    """Holds W/A/S/D towards a target and reckons where that took the soldier."""

    def __init__(self):
        self.x, self.y = GAME_W / 2, GAME_H / 2
        self.held = {}  # key -> (dx, dy)
        self.last = time.monotonic()

    def advance(self):
        now = time.monotonic()
        dt = now - self.last
        self.last = now
        for dx, dy in self.held.values():
            self.x = min(max(self.x + dx * WALK_SPEED * dt, 0.0), GAME_W)
            self.y = min(max(self.y + dy * WALK_SPEED * dt, 0.0), GAME_H)

    def towards(self, tx, ty):
        """Holds the one or two keys nearest the direction of the target."""
        dx, dy = tx - self.x, ty - self.y
        size = max((dx * dx + dy * dy) ** 0.5, 1e-9)
        want = {}
        if size > 6:
            if dx > 0.38 * size:
                want["d"] = (1, 0)
            elif dx < -0.38 * size:
                want["a"] = (-1, 0)
            if dy > 0.38 * size:
                want["s"] = (0, 1)
            elif dy < -0.38 * size:
                want["w"] = (0, -1)
        for key in set(self.held) - set(want):
            xdo("keyup", key)
        for key in set(want) - set(self.held):
            xdo("keydown", key)
        self.held = want

    def stop(self):
        self.towards(self.x, self.y)


def where_to(zombies, pickups, x, y):
    """Away from the zombies that come near, pulled back towards the middle so as not to be
    cornered; to the nearest pickup when no zombie is near."""
    fx = fy = 0.0
    for zx, zy in zombies:
        dx, dy = x - zx, y - zy
        d = max((dx * dx + dy * dy) ** 0.5, 1.0)
        if d < FLEE_RADIUS:
            fx += dx / d * (FLEE_RADIUS - d) / FLEE_RADIUS
            fy += dy / d * (FLEE_RADIUS - d) / FLEE_RADIUS
    pickup = nearest(pickups, x, y)
    if abs(fx) + abs(fy) < 0.2 and pickup and abs(pickup[0] - x) + abs(pickup[1] - y) < 300:
        return pickup
    fx += (GAME_W / 2 - x) / 350
    fy += (GAME_H / 2 - y) / 350
    return x + 100 * fx, y + 100 * fy


def play(game, out, least_seconds):
    display = next(f":{d}" for d in range(80, 200) if not os.path.exists(f"/tmp/.X{d}-lock"))
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24",
                             "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.environ["DISPLAY"] = display
    time.sleep(1.0)
    wm = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(0.5)
    proc = subprocess.Popen([game, "--record", out])
    try:
        run(proc, least_seconds)
    finally:
        for p in (proc, wm, xvfb):
            if p.poll() is None:
                p.terminate()
        proc.wait()
    return proc.returncode


def run(proc, least_seconds):
    time.sleep(2.0)
    screen = Screen(os.environ["DISPLAY"])
    w, h = SCREEN_W, SCREEN_H
    scale = w / GAME_W
    walker = Walker()
    start = time.monotonic()
    mouse = (GAME_W / 2 + 60, GAME_H / 2)
    xdo("mousemove", str(int(mouse[0] * scale)), str(int(mouse[1] * scale)))
    flush()
    firing = False
    smg = False
    white_since = None
    enter_pressed = False
    dead_at = None
    loops = 0
    pickups = []
    while proc.poll() is None:
        t = time.monotonic() - start
        walker.advance()
        data, line = screen.grab(w, h)
        if white_screen(data, line, w, h):
            walker.stop()
            if firing:
                xdo("mouseup", "1")
                firing = False
            white_since = white_since or t
            if dead_at is None and not enter_pressed and t - white_since > 0.4:
                xdo("key", "Return")  # after a look at the screen, as a person would
                enter_pressed = True
            if dead_at is None and t - white_since > 2.0:
                dead_at = t  # Enter did not leave it: the death screen
                print(f"play.py: the soldier died at {t:.1f} s", flush=True)
            if dead_at is not None and t >= least_seconds:
                xdo("key", "Escape")
                flush()
                break
            flush()
            time.sleep(0.1)
            continue
        white_since = None
        enter_pressed = False
        zombies = find_zombies(data, line, h, scale)
        if loops % 4 == 0:  # a pickup lies ten seconds: no need to look for one every time
            pickups = find_pickups(data, line, scale, mouse)
        loops += 1
        seen = find_soldier(data, line, scale)
        if seen:
            walker.x, walker.y = seen
        if os.environ.get("PLAY_DEBUG"):
            print(f"{t:5.1f} s: {len(zombies)} zombie cells, {len(pickups)} pickups")
        if not smg and t >= PISTOL_SECONDS:
            xdo("key", "2")
            smg = True
        target = nearest(zombies, walker.x, walker.y)
        if target:
            mouse = target
            xdo("mousemove", str(int(target[0] * scale)), str(int(target[1] * scale)))
            if not firing:
                xdo("mousedown", "1")
                firing = True
        elif firing:
            xdo("mouseup", "1")
            firing = False
        walker.towards(*where_to(zombies, pickups, walker.x, walker.y))
        flush()
    proc.wait(timeout=10)


if __name__ == "__main__":
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    status = play(sys.argv[1], sys.argv[2], float(sys.argv[3]) if len(sys.argv) == 4 else 70.0)
    sys.exit(status)
