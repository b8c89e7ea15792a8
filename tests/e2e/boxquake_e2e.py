"""End-to-end harness: plays the real boxquake binary under a virtual display.

A test script looks like this:

    import boxquake_e2e as e2e

    def test(args):
        with e2e.Game(args) as game:           # starts the game in its run directory
            game.wait_window()                  # the window exists
            shot = game.wait_for(lambda s: s.mean((400, 300, 40, 40))[2] > 50, "blue centre")
            game.click(120, 300)                # game coordinates: y counts up from the bottom
            game.key("Escape")                  # held for 100 ms: the game polls input state
            assert game.wait_exit() == 0
            assert "Average fps" in game.output()

    e2e.main(test)

Screenshots are read from the X server in-process (fast enough to follow a
fade); screenshot_import() saves one with ImageMagick's import instead.

Run a script with --game PATH/boxquake --run-dir PATH/run. main() restarts the
script under `xvfb-run -a -s "-screen 0 800x600x24"` (retrying when two virtual
displays race for the same number) unless --no-xvfb is given; failures save the
last screenshot and the game's output under --artifacts (default: a temporary
directory, printed).

Everything waits by polling with a deadline; nothing sleeps a fixed time except
the hold of a button or key.
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

XVFB_SCREEN = "-screen 0 800x600x24"
WIDTH, HEIGHT = 800, 600  # the game's window and the virtual screen
INNER = "BOXQUAKE_E2E_INNER"
LSAN_SUPPRESSIONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lsan_system_libraries.supp")


class E2EFailure(AssertionError):
    pass


# ---------------------------------------------------------------- screenshots


class Shot:
    """One screenshot of the whole virtual screen (the game's window fills it).

    Pixel queries take screen coordinates (x right, y DOWN from the top) unless a
    method says it takes game coordinates (y UP from the bottom: y_game = 600 - y_screen).
    """

    def __init__(self, width, height, rgb, taken):
        self.width, self.height, self.rgb, self.taken = width, height, rgb, taken

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]

    def game_pixel(self, x, y):
        return self.pixel(x, HEIGHT - y)

    def mean(self, box, step=1):
        """Mean (r, g, b) over box = (x, y, w, h), screen coordinates, sampling
        every `step`-th pixel and row."""
        x0, y0, w, h = box
        s = [0, 0, 0]
        n = 0
        for y in range(y0, y0 + h, step):
            row = self.rgb[3 * (y * self.width + x0):3 * (y * self.width + x0 + w)]
            s[0] += sum(row[0::3 * step])
            s[1] += sum(row[1::3 * step])
            s[2] += sum(row[2::3 * step])
            n += len(row[0::3 * step])
        return s[0] / float(n), s[1] / float(n), s[2] / float(n)

    def brightness(self, box, step=2):
        r, g, b = self.mean(box, step)
        return (r + g + b) / 3.0

    def bbox(self, predicate, step=1):
        """Smallest (x0, y0, x1, y1) (inclusive) holding every pixel whose (r, g, b)
        satisfies predicate, or None."""
        x0 = y0 = 1 << 30
        x1 = y1 = -1
        for y in range(0, self.height, step):
            row = 3 * y * self.width
            for x in range(0, self.width, step):
                i = row + 3 * x
                if predicate((self.rgb[i], self.rgb[i + 1], self.rgb[i + 2])):
                    x0, y0, x1, y1 = min(x0, x), min(y0, y), max(x1, x), max(y1, y)
        return None if x1 < 0 else (x0, y0, x1, y1)

    def count_colours(self, box):
        x0, y0, w, h = box
        return len({self.pixel(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w)})

    def save(self, path):
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (self.width, self.height))
            f.write(bytes(self.rgb))


def screenshot():
    """The whole virtual screen, read straight from the X server (the request
    ImageMagick's `import -window root` makes, without starting a process: fast
    enough to watch a one-second fade)."""
    from Xlib import X
    d = _xlib()
    try:
        root = d.screen().root
        geo = root.get_geometry()
        img = root.get_image(0, 0, geo.width, geo.height, X.ZPixmap, 0xffffffff)
        data = img.data if isinstance(img.data, bytes) else img.data.encode("latin-1")
    finally:
        d.flush()
    if len(data) != geo.width * geo.height * 4:
        raise E2EFailure("unexpected screenshot layout: %d bytes for %dx%d" % (len(data), geo.width, geo.height))
    rgb = bytearray(geo.width * geo.height * 3)
    rgb[0::3] = data[2::4]  # 24-bit visuals deliver B, G, R, pad
    rgb[1::3] = data[1::4]
    rgb[2::3] = data[0::4]
    return Shot(geo.width, geo.height, rgb, time.monotonic())


def screenshot_import(path):
    """Saves the screen with ImageMagick's import (any format it knows, by extension)."""
    subprocess.run(["import", "-window", "root", path], check=True, timeout=30)


def read_tga(path, alpha=False):
    """(width, height, pixels top row first) of an uncompressed 24/32-bit Targa
    file, as the asset generator writes them: to compare the screen with a
    picture. The pixels are r, g, b bytes, or r, g, b, a with `alpha` (255 where
    the file has none)."""
    with open(path, "rb") as f:
        data = f.read()
    id_len, cmap, kind = data[0], data[1], data[2]
    w, h = data[12] | data[13] << 8, data[14] | data[15] << 8
    bpp, desc = data[16], data[17]
    if cmap or kind != 2 or bpp not in (24, 32):
        raise E2EFailure("%s: only uncompressed true-colour Targa files are read here" % path)
    n = bpp // 8
    channels = 4 if alpha else 3
    px = data[18 + id_len:]
    rows = []
    for y in range(h):
        row = px[y * w * n:(y + 1) * w * n]
        out = bytearray(w * channels)
        out[0::channels] = row[2::n]  # stored as b, g, r(, a)
        out[1::channels] = row[1::n]
        out[2::channels] = row[0::n]
        if alpha:
            out[3::channels] = row[3::n] if n == 4 else b"\xff" * w
        rows.append(bytes(out))
    if not desc & 0x20:
        rows.reverse()
    return w, h, b"".join(rows)


def menu_backdrop_shown(run_dir):
    """A test of a screenshot: true once the level menu's backdrop shows, judged by
    a column of the right half, which no icon reaches, matching media/backdrop3.tga."""
    _, _, backdrop = read_tga(os.path.join(run_dir, "media", "backdrop3.tga"))

    def shown(shot):
        return all(abs(shot.pixel(700, y)[c] - backdrop[3 * (y * WIDTH + 700) + c]) <= 2
                   for y in range(10, 590, 29) for c in range(3))
    return shown


# ---------------------------------------------------------------- X windows


_display = None


def _xlib():
    """The harness's one connection to the X server, kept open: an X server
    without other clients resets itself whenever the last one disconnects, which
    would pull the display from under a game that is just connecting."""
    global _display
    if _display is None:
        from Xlib import display  # python3-xlib; imported late so --help works without it
        _display = display.Display()
    return _display


def find_window(name):
    """Id of the first window whose WM_NAME is `name`, or None."""
    d = _xlib()
    try:
        todo = [d.screen().root]
        while todo:
            w = todo.pop()
            try:
                if w.get_wm_name() == name:
                    return w.id
                todo.extend(w.query_tree().children)
            except Exception:  # windows may vanish while we look
                pass
        return None
    finally:
        d.flush()


def send_wm_delete(window_id):
    """Asks the window to close as a window manager would (WM_DELETE_WINDOW); SDL
    turns it into its quit event."""
    from Xlib import X
    from Xlib.protocol import event
    d = _xlib()
    try:
        w = d.create_resource_object("window", window_id)
        protocols = d.intern_atom("WM_PROTOCOLS")
        delete = d.intern_atom("WM_DELETE_WINDOW")
        ev = event.ClientMessage(window=w, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        w.send_event(ev, event_mask=X.NoEventMask)
    finally:
        d.sync()


def xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True, timeout=30)


# ---------------------------------------------------------------- the game


def poll(predicate, timeout, interval=0.02, what="condition"):
    """Calls predicate() until it returns a true value (returned) or `timeout`
    seconds pass (E2EFailure naming `what`)."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise E2EFailure("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


class Game:
    """The boxquake binary running in a run directory. Use as a context manager:
    the process never outlives the test."""

    def __init__(self, args, game_args=(), run_dir=None, env=None, name="boxquake"):
        self.args = args
        self.binary = os.path.abspath(args.game)
        self.run_dir = run_dir or args.run_dir
        self.game_args = list(game_args)
        self.env = dict(os.environ, **(env or {}))
        # Sanitizer builds: no leak report for a process with a window. The OpenGL
        # driver is unloaded at exit before the leak check runs, so the blocks it
        # keeps cannot even be attributed to it; address and undefined-behaviour
        # checks stay on. The game's own code is leak-checked by the headless tests.
        self.env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
        self.env.setdefault("LSAN_OPTIONS", "suppressions=" + LSAN_SUPPRESSIONS)
        self.name = name
        self.proc = None
        self.window = None
        self.last_shot = None
        self._out = tempfile.TemporaryFile()
        self._err = tempfile.TemporaryFile()

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, kind, value, tb):
        if kind is not None:
            self.save_artifacts()
        self.kill()
        return False

    def start(self):
        self.started = time.monotonic()
        self.proc = subprocess.Popen([self.binary] + self.game_args, cwd=self.run_dir, env=self.env,
                                     stdout=self._out, stderr=self._err, stdin=subprocess.DEVNULL)
        return self

    def output(self):
        """Standard output so far (the game line-buffers it)."""
        self._out.seek(0)
        return self._out.read().decode("utf-8", "replace")

    def errors(self):
        self._err.seek(0)
        return self._err.read().decode("utf-8", "replace")

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_window(self, timeout=20):
        def found():
            if not self.running():
                raise E2EFailure("the game exited (%s) before its window appeared:\n%s" %
                                 (self.proc.returncode, self.output()))
            return find_window(self.name)
        self.window = poll(found, timeout, 0.05, "the window %r" % self.name)
        return self.window

    def screenshot(self):
        self.last_shot = screenshot()
        return self.last_shot

    def wait_for(self, predicate, what, timeout=20, shots=None):
        """Takes screenshots until predicate(shot) is true; returns that shot. Every
        shot taken is appended to `shots` when a list is given."""
        def check():
            if not self.running():
                raise E2EFailure("the game exited (%s) while waiting for %s" % (self.proc.returncode, what))
            shot = self.screenshot()
            if shots is not None:
                shots.append(shot)
            return shot if predicate(shot) else None
        return poll(check, timeout, 0.0, what)

    # Input. Coordinates are the game's: x from the left, y up from the bottom edge.
    def _xdo(self, *args):
        try:
            xdotool(*args)
        except subprocess.CalledProcessError:
            # A game that ends on this very input (Escape in the menu) may lose its
            # window before the release is sent: only a running game is a failure.
            try:
                self.proc.wait(2.0)
            except subprocess.TimeoutExpired:
                raise E2EFailure("xdotool %s failed while the game runs" % " ".join(str(a) for a in args))

    def move(self, x, y):
        self._xdo("mousemove", "--window", self.window, int(x), HEIGHT - int(y))

    def click(self, x, y, button=1, hold=0.1):
        self.move(x, y)
        self._xdo("mousedown", button)
        time.sleep(hold)  # held across several updates: the game polls the button state
        self._xdo("mouseup", button)

    def key(self, name, hold=0.1):
        """Presses an X key name ("Escape", "Return", "e", "Shift_L", "Delete") for `hold` s."""
        self._xdo("keydown", "--window", self.window, name)
        time.sleep(hold)
        self._xdo("keyup", "--window", self.window, name)

    def close(self):
        """Closes the window as a person would."""
        send_wm_delete(self.window or self.wait_window())

    def wait_exit(self, timeout=10):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise E2EFailure("the game did not exit within %.0f s" % timeout)

    def kill(self):
        if self.running():
            # SDL turns SIGTERM into a quit event; a game stuck elsewhere gets SIGKILL.
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait(10)

    def save_artifacts(self):
        d = self.args.artifacts
        os.makedirs(d, exist_ok=True)
        with open(os.path.join(d, "stdout.txt"), "w") as f:
            f.write(self.output())
        with open(os.path.join(d, "stderr.txt"), "w") as f:
            f.write(self.errors())
        shot = self.last_shot
        if self.running():
            try:
                shot = screenshot()
            except Exception:
                pass
        if shot:
            shot.save(os.path.join(d, "last.ppm"))
        print("e2e: artifacts in %s" % d, file=sys.stderr)


# ---------------------------------------------------------------- entry


def parser():
    p = argparse.ArgumentParser()
    p.add_argument("--game", required=True, help="the boxquake binary")
    p.add_argument("--run-dir", required=True, help="its working directory (levels.txt, levels/, media/)")
    p.add_argument("--artifacts", default=None, help="where a failing test leaves screenshots and output")
    p.add_argument("--no-xvfb", action="store_true", help="use the current DISPLAY (or none) as it is")
    return p


def _under_xvfb(argv):
    """Re-runs this script under xvfb-run; retries when Xvfb could not start
    because a concurrent test took the same display number."""
    env = dict(os.environ)
    env[INNER] = "1"
    for attempt in range(6):
        r = subprocess.run(["xvfb-run", "-a", "-s", XVFB_SCREEN, sys.executable] + argv, env=env,
                           stderr=subprocess.PIPE)
        err = r.stderr.decode("utf-8", "replace")
        if r.returncode != 0 and "Xvfb failed to start" in err:
            time.sleep(0.5 + attempt)
            continue
        sys.stderr.write(err)
        return r.returncode
    sys.stderr.write(err)
    return r.returncode


def main(test, extra=None):
    """Parses the arguments and runs test(args); exit status 0 on success."""
    p = parser()
    if extra:
        extra(p)
    args = p.parse_args()
    if not args.no_xvfb and not os.environ.get(INNER):
        sys.exit(_under_xvfb(sys.argv))
    if args.artifacts is None:
        args.artifacts = tempfile.mkdtemp(prefix="boxquake-e2e-")
    try:
        test(args)
    except AssertionError as e:
        print("FAIL: %s" % e, file=sys.stderr)
        sys.exit(1)
    if os.path.isdir(args.artifacts) and not os.listdir(args.artifacts):
        shutil.rmtree(args.artifacts, ignore_errors=True)
    print("ok")
