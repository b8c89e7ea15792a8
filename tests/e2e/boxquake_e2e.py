"""End-to-end harness: the real boxquake binary in a real window on its own Xvfb,
driven with xdotool and read back from the X server."""
# Input and sprite checks take the game's coordinates, y UP from the bottom
# (y_game = 600 - y_screen); Picture.pixel takes screen rows. In full screen
# (Game(fullscreen=True)) Game.shot is the field seen through the letterbox and
# input goes through it too, so the same checks apply. Everything waits by
# polling with a deadline; the only fixed pauses are the holds of a button or
# key (tap and tap_key press and release at once). A failing test leaves the
# last screenshot it took in --artifacts (last.png) and prints the game's output.
import argparse
import functools
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

from Xlib import X, display  # python3-xlib
from Xlib.protocol import event

WIDTH, HEIGHT = 800, 600
HOLD = 0.1  # seconds a button or key stays down: about six updates
LSAN_SUPPRESSIONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lsan_system_libraries.supp")


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def poll(predicate, timeout, what, interval=0.02):
    """Calls predicate() until it returns a true value (returned), or fails naming `what`."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        check(time.monotonic() < deadline, "timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


class Picture:
    """RGBA bytes, rows from the top: a screenshot (alpha 255) or a Targa file."""

    def __init__(self, width, height, rgba):
        self.width, self.height, self.rgba = width, height, rgba

    def pixel(self, x, y):
        i = 4 * (y * self.width + x)
        return tuple(self.rgba[i:i + 4])

    def game_pixel(self, x, y):
        return self.pixel(int(x), HEIGHT - 1 - int(y))

    def save_png(self, path):
        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
        rows = b"".join(b"\0" + self.rgba[4 * self.width * y:4 * self.width * (y + 1)] for y in range(self.height))
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)  # 8-bit RGBA
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows))
                    + chunk(b"IEND", b""))


@functools.lru_cache(maxsize=None)
def read_tga(path):
    """An uncompressed true-colour Targa file, as the asset generator writes them."""
    with open(path, "rb") as f:
        data = f.read()
    w, h, n = data[12] | data[13] << 8, data[14] | data[15] << 8, data[16] // 8
    check(data[1] == 0 and data[2] == 2 and n in (3, 4), "%s: not an uncompressed true-colour Targa" % path)
    px, rgba = data[18 + data[0]:], bytearray(b"\xff" * (4 * w * h))
    rgba[0::4], rgba[1::4], rgba[2::4] = px[2::n], px[1::n], px[0::n]  # stored b, g, r(, a)
    if n == 4:
        rgba[3::4] = px[3::n]
    if not data[17] & 0x20:  # rows stored bottom first
        rgba = b"".join(rgba[4 * w * y:4 * w * (y + 1)] for y in reversed(range(h)))
    return Picture(w, h, bytes(rgba))


def sprite_error(shot, sprite, cx, cy, scale, background, box):
    """Mean colour error, over the (width, height) `box` around game point (cx, cy),
    between `shot` and `sprite` (None: nothing) drawn there at `scale` over `background`."""
    w, h = (sprite.width * scale, sprite.height * scale) if sprite else (0, 0)
    xs = range(int(cx - box[0] / 2) + 1, int(cx + box[0] / 2) - 1)
    ys = range(int(cy - box[1] / 2) + 1, int(cy + box[1] / 2) - 1)
    total = 0
    for y in ys:
        for x in xs:
            want = background.game_pixel(x, y)[:3]
            u, v = (x + 0.5 - cx) / w + 0.5 if w else -1, (cy - y - 0.5) / h + 0.5 if h else -1
            if 0 <= u < 1 and 0 <= v < 1:
                *rgb, a = sprite.pixel(int(u * sprite.width), int(v * sprite.height))
                want = [(c * a + d * (255 - a)) / 255 for c, d in zip(rgb, want)]
            total += sum(abs(p - q) for p, q in zip(shot.game_pixel(x, y), want))
    return total / (3 * len(xs) * len(ys))


class FieldView(Picture):
    """The field's 800 x 600 pixels as a full screen shows them in frame (x, y, w, h):
    each the screen pixel under its centre."""

    def __init__(self, shot, frame):
        super().__init__(WIDTH, HEIGHT, None)
        self.shot, self.frame = shot, frame

    def pixel(self, x, y):
        fx, fy, fw, fh = self.frame
        return self.shot.pixel(fx + int((x + 0.5) * fw / WIDTH), fy + int((y + 0.5) * fh / HEIGHT))


def letterbox(width, height):
    """Where the field shows on a width x height screen: (x, y, w, h), the largest
    centred rectangle of its shape."""
    scale = min(width / WIDTH, height / HEIGHT)
    w, h = round(WIDTH * scale), round(HEIGHT * scale)
    return (width - w) // 2, (height - h) // 2, w, h


def start_xvfb(screen="800x600"):
    # Xvfb picks a free display number itself (-displayfd), so tests started
    # together never race for one as `xvfb-run -a` can.
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-noreset", "-screen", "0",
                             screen + "x24"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as f:
        os.environ["DISPLAY"] = ":" + f.readline().strip()
    os.environ.pop("XAUTHORITY", None)
    check(os.environ["DISPLAY"] != ":", "Xvfb did not start")
    return xvfb


@functools.lru_cache(maxsize=None)
def xlib():
    return display.Display()  # once start_xvfb has set $DISPLAY


def screenshot():
    """The whole screen, as `import -window root` reads it, without a process."""
    root = xlib().screen().root
    geo = root.get_geometry()
    data = root.get_image(0, 0, geo.width, geo.height, X.ZPixmap, 0xffffffff).data
    rgba = bytearray(b"\xff" * len(data))
    rgba[0::4], rgba[1::4], rgba[2::4] = data[2::4], data[1::4], data[0::4]  # 24-bit visuals: b, g, r, pad
    return Picture(geo.width, geo.height, bytes(rgba))


class Game:
    """The game with a copy of the run directory listing only `levels` as its
    data, and a player's directory of its own (`player`: a directory to reuse,
    from an earlier run); a context manager: the process never outlives the test.
    With `game` (another binary) and `cwd`, the game finds its data itself."""

    def __init__(self, args, levels="firstblast\n", player=None, game=None, cwd=None, fullscreen=False):
        self.args, self.fullscreen = args, fullscreen
        self.media = os.path.abspath(os.path.join(args.run_dir, "media"))
        self.game = os.path.abspath(game or args.game)
        self.dir = tempfile.mkdtemp(prefix="boxquake-e2e-")
        shutil.copytree(os.path.join(args.run_dir, "levels"), self.path("levels"))
        os.symlink(self.media, self.path("media"))  # read only
        with open(self.path("levels.txt"), "w") as f:
            f.write(levels)
        # Never the tester's own progress and levels: the player's files (progress,
        # saved levels) stay in this copy too, away from the home directory.
        self.player = player or self.path("player")
        # Sanitizer builds: no leak check for a process with a window (the OpenGL
        # driver is unloaded before it runs); the headless tests leak-check our code.
        self.env = dict(os.environ, BOXQUAKE_DATA_DIR=self.dir, BOXQUAKE_USER_DIR=self.player)
        self.cwd = cwd or self.dir
        if game:
            del self.env["BOXQUAKE_DATA_DIR"]
        self.env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
        self.env.setdefault("LSAN_OPTIONS", "suppressions=" + LSAN_SUPPRESSIONS)
        self.out, self.last = tempfile.TemporaryFile(), None

    def __enter__(self):
        command = [self.game] + (["fullscreen"] if self.fullscreen else [])  # any argument
        self.proc = subprocess.Popen(command, cwd=self.cwd, env=self.env, stdout=self.out,
                                     stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)

        def window():
            check(self.running(), "the game exited before its window appeared:\n" + self.output())
            return subprocess.run(["xdotool", "search", "--name", "^boxquake$"], capture_output=True).stdout.split()
        self.window = poll(window, 20, "the game's window")[0].decode()
        self.frame = letterbox(*self.args.screen) if self.fullscreen else None
        return self

    def __exit__(self, kind, value, tb):
        if self.running():
            self.proc.kill()
            self.proc.wait(10)
        if kind is None:
            shutil.rmtree(self.dir, ignore_errors=True)
            return
        os.makedirs(self.args.artifacts, exist_ok=True)
        if self.last:
            self.last.save_png(os.path.join(self.args.artifacts, "last.png"))
        print("e2e: last screenshot in %s, working directory %s, game output:\n%s" % (self.args.artifacts, self.dir,
              self.output()), file=sys.stderr)

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def output(self):
        self.out.seek(0)
        return self.out.read().decode("utf-8", "replace")

    def running(self):
        return self.proc.poll() is None

    def picture(self, name):
        return read_tga(os.path.join(self.media, name))

    def shot(self):
        check(self.running(), "the game exited (%s):\n%s" % (self.proc.returncode, self.output()))
        self.last = screenshot()
        return FieldView(self.last, self.frame) if self.frame else self.last

    def wait_for(self, predicate, what, timeout=20):
        """Screenshots until predicate(shot) holds; returns that shot."""
        def attempt():
            shot = self.shot()
            return shot if predicate(shot) else None
        return poll(attempt, timeout, what, 0)

    def wait_exit(self, timeout=10):
        poll(lambda: not self.running(), timeout, "the game to exit")
        return self.proc.returncode

    def xdo(self, *args):
        r = subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True, text=True, timeout=30)
        # Input that ends the game (Escape in the menu) may find the window gone.
        check(r.returncode == 0 or self.proc.wait(2) is not None, "xdotool %s: %s" % (args, r.stderr))

    def move(self, x, y):
        if not self.frame:
            self.xdo("mousemove", "--window", self.window, int(x), HEIGHT - int(y))
            return
        fx, fy, fw, fh = self.frame  # the screen pixel under the centre of the pixel the window would give
        self.xdo("mousemove", fx + int((int(x) + 0.5) * fw / WIDTH), fy + int((HEIGHT - int(y) + 0.5) * fh / HEIGHT))

    def click(self, x, y, button=1, to=None):
        """Presses at (x, y), drags to `to` = (x, y) if given, releases."""
        self.move(x, y)
        self.xdo("mousedown", button)
        time.sleep(HOLD)
        if to:
            self.move(*to)
            time.sleep(HOLD)
        self.xdo("mouseup", button)

    def tap(self, x, y, button=1):
        """A click with no hold: xdotool presses and releases within a few ms."""
        self.move(x, y)
        self.xdo("click", button)

    def tap_key(self, name):
        self.xdo("key", "--delay", 0, "--window", self.window, name)  # released at once

    def key(self, name):  # an X key name: "Escape", "Return", "e", "Delete"
        self.xdo("keydown", "--window", self.window, name)
        time.sleep(HOLD)
        self.xdo("keyup", "--window", self.window, name)

    def close(self):
        # As a window manager would (WM_DELETE_WINDOW): SDL reports its quit event.
        # `xdotool windowclose` destroys the window instead, an X error to the game.
        d = xlib()
        w = d.create_resource_object("window", int(self.window))
        data = (32, [d.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])
        w.send_event(event.ClientMessage(window=w, client_type=d.intern_atom("WM_PROTOCOLS"), data=data))
        d.sync()


# The level menu.
ICONS = {"new": "lvlnew.tga", "done": "lvldone.tga", "locked": "lvllocked.tga", "none": "lvlnone.tga", "empty": None}
DIGITS = dict({str(d): "%d.tga" % d for d in range(10)}, none=None)


def shows(shot, picture, box):
    """Whether the 800 x 600 `picture` shows as painted over a grid of the screen box (x, y, w, h)."""
    x0, y0, w, h = box
    return all(abs(a - b) <= 2 for y in range(y0 + 5, y0 + h, 23) for x in range(x0 + 5, x0 + w, 31)
               for a, b in zip(shot.pixel(x, y)[:3], picture.pixel(x, y)[:3]))


def classify(game, shot, candidates, cx, cy, scale, background, box):
    """Which of `candidates` (label: picture name or None) is drawn at game point (cx, cy)."""
    errors = {label: sprite_error(shot, name and game.picture(name), cx, cy, scale, game.picture(background), box)
              for label, name in candidates.items()}
    return min(errors, key=errors.get)


def icon_position(i):
    return 100 + 25 * (i % 4) + (i // 4) ** 2, 300 - 25 * (i // 4)


def wait_menu(game, states, what, timeout=20):
    """Waits for the menu with slot i showing icon states[i]."""
    return game.wait_for(lambda shot: all(classify(game, shot, ICONS, *icon_position(i), 1, "backdrop3.tga", (16, 16))
                                          == state for i, state in enumerate(states)), what, timeout)


def hover_result(game):
    """Hovers the first level until the menu shows its result, the clicks it took
    (so the menu's fade-in is over and it reads input); returns them."""
    game.move(*icon_position(0))
    result = lambda shot: classify(game, shot, DIGITS, 280, 300, 0.5, "backdrop3.tga", (12, 16))  # noqa: E731
    return result(game.wait_for(lambda s: result(s) != "none", "the menu taking input: a result on hover"))


def main(test):
    """Runs test(args) on a fresh Xvfb (args.xvfb); exit status 0 on success."""
    p = argparse.ArgumentParser()
    p.add_argument("--game", required=True, help="the boxquake binary")
    p.add_argument("--run-dir", required=True, help="its ready working directory (levels/, media/)")
    p.add_argument("--screen", default="800x600", help="the virtual screen's size, WxH")
    p.add_argument("--build-dir", help="the build directory (for tests that rebuild or install)")
    p.add_argument("--artifacts", default=tempfile.gettempdir() + "/boxquake-e2e", help="left by a failing test")
    args = p.parse_args()
    args.xvfb = start_xvfb(args.screen)
    args.screen = tuple(int(n) for n in args.screen.split("x"))
    try:
        test(args)
    except AssertionError as e:
        print("FAIL: %s" % e, file=sys.stderr)
        sys.exit(1)
    finally:
        args.xvfb.kill()
        args.xvfb.wait(10)
    print("ok")
