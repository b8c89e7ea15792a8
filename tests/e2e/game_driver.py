"""Picture and input helpers for the menu, play and editor end-to-end tests, on
top of the shared harness (boxquake_e2e: the game process, the virtual display,
the entry point). Each test plays in a working directory of its own: a copy of
the run directory's media/ with the levels and levels.txt the test writes.

Coordinates given to this module are the game's: window pixels from the left and
up from the bottom edge (y_game = 600 - y_screen), as the game draws and reads them.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import boxquake_e2e as e2e

WIDTH, HEIGHT = 800, 600
HOLD = 0.12  # seconds a button or key stays down: the game polls input once per update


TestFailure = e2e.E2EFailure


def check(condition, message):
    if not condition:
        raise TestFailure(message)


class Image:
    """An RGB picture; pixel (x, y) in screen rows from the top."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def px(self, x, y):
        i = (y * self.width + x) * 3
        return self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]

    def game_px(self, x, y):
        """Pixel at game coordinates (y up), clamped to the picture."""
        sx = min(max(int(x), 0), self.width - 1)
        sy = min(max(HEIGHT - 1 - int(y), 0), self.height - 1)
        return self.px(sx, sy)

    def count(self, x0, y0, x1, y1, test):
        """Pixels in the game-coordinate box [x0, x1) x [y0, y1) for which test(r, g, b) holds."""
        n = 0
        for y in range(int(y0), int(y1)):
            for x in range(int(x0), int(x1)):
                if test(*self.game_px(x, y)):
                    n += 1
        return n

    def differing(self, other, x0, y0, x1, y1, tolerance=24):
        """Pixels of the box [x0, x1) x [y0, y1) that differ from `other` by more than `tolerance`."""
        n = 0
        for y in range(int(y0), int(y1)):
            for x in range(int(x0), int(x1)):
                a, b = self.game_px(x, y), other.game_px(x, y)
                if max(abs(p - q) for p, q in zip(a, b)) > tolerance:
                    n += 1
        return n

    def save(self, path):
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (self.width, self.height))
            f.write(bytes(self.rgb))


class Tga:
    """An uncompressed true-colour Targa picture (what the asset generator writes)."""

    def __init__(self, path):
        self.width, self.height, data = e2e.read_tga(path, alpha=True)
        self.rgba = [tuple(data[i:i + 4]) for i in range(0, len(data), 4)]

    def texel(self, u, v):
        x = min(max(int(u * self.width), 0), self.width - 1)
        y = min(max(int(v * self.height), 0), self.height - 1)
        return self.rgba[y * self.width + x]


def sprite_error(shot, background, sprite, cx, cy, sx, sy, box=None):
    """Mean colour error between `shot` and `sprite` drawn centred on (cx, cy)
    (game coordinates) with scales (sx, sy) over `background` (a function of game
    x, y giving the colour beneath); None for `sprite` means 'nothing drawn'.
    The error is measured over `box` ((width, height) around the centre), by
    default the sprite's own extent."""
    w = sprite.width * sx if sprite else 0
    h = sprite.height * sy if sprite else 0
    bw, bh = box if box else (w, h)
    total, n = 0, 0
    for y in range(int(cy - bh / 2) + 1, int(cy + bh / 2) - 1):
        for x in range(int(cx - bw / 2) + 1, int(cx + bw / 2) - 1):
            got = shot.game_px(x, y)
            base = background(x, y)
            u = (x + 0.5 - (cx - w / 2)) / w if w else -1
            v = 1.0 - (y + 0.5 - (cy - h / 2)) / h if h else -1
            if sprite is None or not (0 <= u < 1 and 0 <= v < 1):
                want = base
            else:
                r, g, b, a = sprite.texel(u, v)
                want = tuple((c * a + d * (255 - a)) / 255 for c, d in zip((r, g, b), base))
            total += sum(abs(p - q) for p, q in zip(got, want))
            n += 3
    return total / max(n, 1)


class Game:
    """One run of the game in a working directory of its own; a context manager
    (the harness's Game underneath ends the process and keeps artifacts on failure)."""

    def __init__(self, args, levels=None, level_list=None, name="game"):
        self.args = args
        self.media = os.path.join(args.run_dir, "media")
        self.dir = tempfile.mkdtemp(prefix="boxquake-e2e-%s-" % name)
        shutil.copytree(self.media, os.path.join(self.dir, "media"))
        os.makedirs(os.path.join(self.dir, "levels"))
        for level_name, text in (levels or {}).items():
            with open(os.path.join(self.dir, "levels", level_name + ".lvl"), "w") as f:
                f.write(text)
        if level_list is not None:
            with open(os.path.join(self.dir, "levels.txt"), "w") as f:
                f.write(level_list)
        self.game = e2e.Game(args, run_dir=self.dir)
        self.name = name
        self.shots = 0
        self._tga = {}

    def __enter__(self):
        self.game.__enter__()
        self.game.wait_window()
        self.window = self.game.window
        self.process = self.game.proc
        return self

    def __exit__(self, kind, value, tb):
        self.game.__exit__(kind, value, tb)
        if kind is None:
            shutil.rmtree(self.dir, ignore_errors=True)
        else:
            print("e2e: working directory kept in %s" % self.dir, file=sys.stderr)
        return False

    def output(self):
        return self.game.output()

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def wait_exit(self, timeout):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure("the game was still running after %.0f s" % timeout)

    # --- input ---
    def _xdo(self, *args):
        result = subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True, text=True)
        if result.returncode == 0:
            return
        # A game that is ending (Escape in the menu) loses its window before the
        # process is gone: give it a moment before calling the failure ours.
        try:
            self.process.wait(2.0)
        except subprocess.TimeoutExpired:
            raise TestFailure("xdotool %s failed: %s" % (" ".join(str(a) for a in args), result.stderr.strip()))

    def move(self, x, y):
        self._xdo("mousemove", "--window", self.window, int(x), HEIGHT - int(y))
        time.sleep(0.05)

    def down(self, button=1):
        self._xdo("mousedown", {1: 1, 3: 3}[button])

    def up(self, button=1):
        self._xdo("mouseup", {1: 1, 3: 3}[button])

    def click(self, x, y, button=1):
        self.move(x, y)
        time.sleep(HOLD)
        self.down(button)
        time.sleep(HOLD)
        self.up(button)
        time.sleep(HOLD)

    def drag(self, x0, y0, x1, y1, button=1):
        """Press at (x0, y0), move in steps to (x1, y1), hold there, release."""
        self.move(x0, y0)
        time.sleep(HOLD)
        self.down(button)
        time.sleep(HOLD)
        for i in range(1, 5):
            self.move(x0 + (x1 - x0) * i / 4, y0 + (y1 - y0) * i / 4)
            time.sleep(0.05)
        time.sleep(HOLD)
        self.up(button)
        time.sleep(HOLD)

    def key(self, name):
        self._xdo("keydown", "--window", self.window, name)
        time.sleep(HOLD)
        self._xdo("keyup", "--window", self.window, name)
        time.sleep(HOLD)

    # --- picture ---
    def shot(self, label=None):
        # Eight bits per channel: ImageMagick may otherwise write 16-bit samples.
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], capture_output=True,
                              check=True).stdout
        # P6 header: magic, width, height, maximum, each followed by one white space.
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            start = pos
            while not data[pos:pos + 1].isspace():
                pos += 1
            fields.append(data[start:pos])
        pos += 1
        image = Image(int(fields[1]), int(fields[2]), data[pos:])
        self.game.last_shot = image  # kept by the harness when the test fails
        if label:
            self.shots += 1
            image.save(self.path("%02d-%s.ppm" % (self.shots, label)))
        return image

    def wait_for(self, what, predicate, timeout=15.0):
        """Polls screenshots until predicate(shot) is true; returns that shot."""
        deadline = time.time() + timeout
        last = None
        while time.time() < deadline:
            check(self.process.poll() is None, "the game ended while waiting for %s" % what)
            last = self.shot()
            if predicate(last):
                return last
            time.sleep(0.1)
        raise TestFailure("timed out after %.0f s waiting for %s" % (timeout, what))

    def picture(self, name):
        if name not in self._tga:
            self._tga[name] = Tga(os.path.join(self.media, name))
        return self._tga[name]

    def stretched(self, name):
        """The colour beneath everything where picture `name` is stretched over the window."""
        tga = self.picture(name)
        return lambda x, y: tga.texel((x + 0.5) / WIDTH, 1.0 - (y + 0.5) / HEIGHT)[:3]

    def menu_icon(self, shot, i):
        """Which of ICONS menu icon i shows in `shot` (over the menu's backdrop)."""
        x, y = icon_position(i)
        return self.classify(shot, self.stretched("backdrop3.tga"), x, y, ICONS, (16, 16))

    def classify(self, shot, background, cx, cy, candidates, box):
        """Which of `candidates` ((label, picture name or None, sx, sy)) is drawn at
        (cx, cy) over `background`, judged over the (width, height) `box`."""
        best = None
        for label, name, sx, sy in candidates:
            sprite = self.picture(name) if name else None
            error = sprite_error(shot, background, sprite, cx, cy, sx, sy, box)
            if best is None or error < best[1]:
                best = (label, error)
        return best[0]


def choose(game, i, other=23):
    """Clicks menu icon i until the menu takes it: the other icons are blown away.
    (The menu ignores the mouse during its fade-in, which may still run while
    every icon already rests.) `other` is an icon slot that must leave its place."""
    background = game.stretched("backdrop3.tga")
    # Two slots that must both empty: `other`, and the neighbour of the chosen icon,
    # which the blast throws hardest.
    slots = [icon_position(other), icon_position((i + 1) % 24 if (i + 1) % 24 != other else (i + 2) % 24)]
    for _ in range(6):
        game.click(*icon_position(i))
        deadline = time.time() + 1.0
        # Blown-away icons fall for the whole 2 s fade-out, so the slot stays empty:
        # ask for two empty screenshots in a row, so that one odd frame read while
        # the window was being redrawn cannot pass for a taken click.
        empty_in_a_row = 0
        while time.time() < deadline:
            shot = game.shot()
            if all(game.classify(shot, background, x, y, ICONS + [("empty", None, 1, 1)], (16, 16)) == "empty"
                   for x, y in slots):
                empty_in_a_row += 1
                if empty_in_a_row >= 2:
                    return
            else:
                empty_in_a_row = 0
            time.sleep(0.1)
    raise TestFailure("the menu did not take a click on icon %d" % i)


ICONS = [("new", "lvlnew.tga", 1, 1), ("done", "lvldone.tga", 1, 1), ("locked", "lvllocked.tga", 1, 1),
         ("none", "lvlnone.tga", 1, 1)]


def icon_position(i):
    """Where menu icon i rests."""
    c, r = i % 4, i // 4
    return 100 + 25 * c + r * r, 300 - 25 * r


def main(test):
    """Runs test(args) through the harness: under a virtual display, exit status 0 on success."""
    e2e.main(test)
