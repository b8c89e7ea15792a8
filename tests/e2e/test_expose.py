"""An idle menu repaints what another window uncovers.

The game does not render a frame that equals the picture on the screen, so
once the menu's icons rest it stops drawing. A window laid over it and taken
away again must still be painted over at once (the game hears the exposure),
not only at the next periodic refresh (several seconds later).
"""
import os
import time

import boxquake_e2e as e2e

COVER = (480, 120, 280, 300)  # screen x, y, width, height: right half, backdrop only
REPAINT_DEADLINE = 1.0  # seconds; the periodic refresh comes after about five
MAGENTA = 0xff00ff


def test(args):
    _, _, brgb = e2e.read_tga(os.path.join(args.run_dir, "media", "backdrop3.tga"))
    x0, y0, w, h = COVER
    points = [(x, y) for y in range(y0 + 5, y0 + h, 23) for x in range(x0 + 5, x0 + w, 31)]

    def backdrop_shown(shot):
        return all(abs(shot.pixel(x, y)[c] - brgb[3 * (y * 800 + x) + c]) <= 2 for x, y in points for c in range(3))

    def covered(shot):
        return all(shot.pixel(x, y) == (255, 0, 255) for x, y in points)

    def icons(shot):
        return bytes(shot.rgb[3 * (y * 800 + x) + c] for y in range(250, 500, 3) for x in range(60, 420, 3)
                     for c in range(3))

    from Xlib import X
    d = e2e._xlib()
    screen = d.screen()

    with e2e.Game(args) as game:
        game.wait_window()
        game.wait_for(backdrop_shown, "the menu backdrop")
        # Wait for the icons to come to rest: the same picture for a second.
        last = [icons(e2e.screenshot()), time.monotonic()]

        def resting():
            now = icons(e2e.screenshot())
            if now != last[0]:
                last[:] = [now, time.monotonic()]
            return time.monotonic() - last[1] > 1.0

        e2e.poll(resting, 20, interval=0.1, what="the menu icons at rest")

        # Three times, so that a periodic refresh cannot pass for the repaint.
        for attempt in range(3):
            cover = screen.root.create_window(x0, y0, w, h, 0, screen.root_depth, X.InputOutput, X.CopyFromParent,
                                              background_pixel=MAGENTA, override_redirect=True)
            cover.map()
            d.sync()
            game.wait_for(covered, "the cover window shown (attempt %d)" % attempt, timeout=10)
            cover.unmap()
            cover.destroy()
            d.sync()
            uncovered = time.monotonic()
            game.wait_for(backdrop_shown, "the uncovered backdrop repainted (attempt %d)" % attempt,
                          timeout=REPAINT_DEADLINE)
            print("attempt %d: repainted after %.2f s" % (attempt, time.monotonic() - uncovered))

        game.close()
        assert game.wait_exit() == 0


if __name__ == "__main__":
    e2e.main(test)
