"""Without its display the game ends instead of running on without a window:
with none at all it says why and exits with status 1 at once; when its display
goes away under it (the test ends its Xvfb) it exits with a failure status."""
import os
import subprocess

import boxquake_e2e as e2e
from boxquake_e2e import check


def test(args):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
    r = subprocess.run([os.path.abspath(args.game)], cwd=args.run_dir, env=env, capture_output=True, timeout=10)
    out = r.stdout.decode("utf-8", "replace")
    check(r.returncode == 1, "exit status %d without a display:\n%s" % (r.returncode, out))
    check(out.startswith(("Unable to initialize SDL: ", "Unable to set video mode: ")), "no reason given:\n" + out)

    with e2e.Game(args) as game:
        game.wait_for(lambda s: any(max(s.pixel(x, y)[:3]) > 12 for y in range(0, 600, 8) for x in range(0, 800, 8)),
                      "a picture on the screen")
        args.xvfb.terminate()
        status = game.wait_exit(15)
        check(status != 0, "exit status %s after losing the display" % status)
        check("Average fps" not in game.output(), "the main loop ended as if asked to quit")


if __name__ == "__main__":
    e2e.main(test)
