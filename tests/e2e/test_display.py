"""Without its display the game ends instead of running on without a window:
with none at all it says why and exits with status 1 at once; when its display
goes away under it it exits with a failure status."""
import os
import subprocess
import time

import boxquake_e2e as e2e
from boxquake_e2e import check


def no_display(args):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
    start = time.monotonic()
    try:
        r = subprocess.run([os.path.abspath(args.game)], cwd=args.run_dir, env=env, capture_output=True, timeout=20)
    except subprocess.TimeoutExpired:
        check(False, "the game kept running without a display")
    out = r.stdout.decode("utf-8", "replace")
    check(r.returncode == 1, "exit status %d without a display:\n%s" % (r.returncode, out))
    check(out.startswith(("Unable to initialize SDL: ", "Unable to set video mode: ")), "no reason given:\n" + out)
    check(time.monotonic() - start < 10, "took %.1f s to give up" % (time.monotonic() - start))


def display_lost(args):
    xvfb = e2e.start_xvfb()
    try:
        with e2e.Game(args) as game:
            game.wait_for(lambda s: any(max(s.pixel(x, y)[:3]) > 12 for y in range(0, 600, 8) for x in range(0, 800, 8)),
                          "a picture on the screen")
            xvfb.terminate()
            xvfb.wait(10)
            status = game.wait_exit(15)
            check(status != 0, "exit status %s after losing the display" % status)
            check("Average fps" not in game.output(), "the main loop ended as if asked to quit")
    finally:
        xvfb.kill()
        xvfb.wait(10)


def test(args):
    no_display(args)
    display_lost(args)


if __name__ == "__main__":
    e2e.main(test)
