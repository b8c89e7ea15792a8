"""A game whose display goes away ends, instead of running on without a window.

The test starts its own virtual display (so that it can end it), waits for a
picture, ends the display and expects the game to exit with a failure status soon.
"""
import os
import subprocess

import boxquake_e2e as e2e


def start_display():
    """A fresh Xvfb on a free display number (Xvfb picks it: -displayfd)."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end)] + e2e.XVFB_SCREEN.split() + ["-nolisten", "tcp"],
                            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as f:
        number = f.readline().strip()
    if not number:
        xvfb.kill()
        raise e2e.E2EFailure("Xvfb did not start")
    return xvfb, ":" + number


def test(args):
    xvfb, display = start_display()
    try:
        os.environ["DISPLAY"] = display  # the harness's X connection opens on first use
        os.environ.pop("XAUTHORITY", None)
        with e2e.Game(args, env={"DISPLAY": display}) as game:
            game.wait_window()
            game.wait_for(lambda s: s.brightness((600, 300, 100, 100)) > 5, "a picture on the screen")
            xvfb.terminate()
            xvfb.wait(10)
            status = game.wait_exit(timeout=15)
            assert status != 0, "exit status %s after losing the display" % status
            assert "Average fps" not in game.output()
    finally:
        if xvfb.poll() is None:
            xvfb.kill()
            xvfb.wait(10)


if __name__ == "__main__":
    e2e.main(test)
