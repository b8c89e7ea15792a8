"""Without a display the game says why and exits with status 1 at once, instead
of looping without a window."""
import os
import subprocess
import time

import boxquake_e2e as e2e


def test(args):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
    start = time.monotonic()
    try:
        r = subprocess.run([os.path.abspath(args.game)], cwd=args.run_dir, env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE, timeout=20)
    except subprocess.TimeoutExpired:
        raise e2e.E2EFailure("the game kept running without a display")
    took = time.monotonic() - start
    out = r.stdout.decode("utf-8", "replace")
    assert r.returncode == 1, "exit status %d, output:\n%s" % (r.returncode, out)
    first = out.splitlines()[0] if out else ""
    assert first.startswith("Unable to initialize SDL: ") or first.startswith("Unable to set video mode: "), out
    assert "Average fps" not in out
    assert took < 10, "took %.1f s to give up" % took


if __name__ == "__main__":
    e2e.main(test)
