"""The game opens its window, the splash fades in and out centred on the window,
and the menu's backdrop follows."""
import os

import boxquake_e2e as e2e

SPLASH_W, SPLASH_H = 512, 256  # qor.tga (1024 x 512) drawn at half size


def lit(p):
    return max(p) > 12


def splash_box(shot):
    return shot.bbox(lit, step=1)


def test(args):
    backdrop = e2e.read_tga(os.path.join(args.run_dir, "media", "backdrop3.tga"))
    bw, bh, brgb = backdrop
    assert (bw, bh) == (800, 600), "backdrop3.tga is %dx%d, expected drawn 1:1" % (bw, bh)

    # Points of the right half, which the menu's icons never reach: the
    # backdrop must show there exactly as painted.
    samples = [(x, y) for x in range(430, 790, 37) for y in range(20, 590, 41)]

    def backdrop_error(shot):
        err = 0
        for x, y in samples:
            i = 3 * (y * 800 + x)
            r, g, b = shot.pixel(x, y)
            err += abs(r - brgb[i]) + abs(g - brgb[i + 1]) + abs(b - brgb[i + 2])
        return err / (3.0 * len(samples))

    centre = (400 - 200, 300 - 80, 400, 160)  # screen box inside the splash card

    with e2e.Game(args) as game:
        game.wait_window()
        shots = []
        # 1. Fade-in: the splash gets brighter to a peak...
        game.wait_for(lambda s: s.brightness(centre) > 5, "the splash to start showing", shots=shots)
        first = shots[-1]
        peak = game.wait_for(lambda s: len(shots) >= 2 and s.brightness(centre) < shots[-2].brightness(centre) - 1,
                             "the splash to start fading out", shots=shots)
        brightest = max(shots, key=lambda s: s.brightness(centre))
        top = brightest.brightness(centre)
        assert top > 30, "the splash never became bright (%.1f)" % top

        # 2. ...then fades out to black before the menu.
        game.wait_for(lambda s: s.brightness(centre) < 0.5 * top or backdrop_error(s) < 3,
                      "the splash to fade", shots=shots)
        menu = game.wait_for(lambda s: backdrop_error(s) < 3, "the menu backdrop", shots=shots)

        levels = [s.brightness(centre) for s in shots]
        print("splash brightness per shot: %s" % " ".join("%.0f" % v for v in levels))
        peak_index = shots.index(brightest)
        rising = [v for v in levels[:peak_index] if 0.1 * top < v < 0.9 * top]
        falling = [s.brightness(centre) for s in shots[peak_index + 1:] if backdrop_error(s) > 10]
        falling_mid = [v for v in falling if 0.1 * top < v < 0.9 * top]
        assert first.brightness(centre) < 0.9 * top, "the splash appeared at full strength, no fade-in"
        assert rising or first.brightness(centre) < 0.5 * top, "no partly faded splash seen while fading in: %s" % levels
        assert falling_mid, "no partly faded splash seen while fading out: %s" % levels

        # 3. Centred, half size: the lit area of the brightest shot.
        box = splash_box(brightest)
        assert box, "nothing lit in the brightest splash shot"
        x0, y0, x1, y1 = box
        cx, cy, w, h = (x0 + x1) / 2.0, (y0 + y1) / 2.0, x1 - x0 + 1, y1 - y0 + 1
        assert abs(cx - 399.5) <= 2 and abs(cy - 299.5) <= 2, "splash centred at (%.1f, %.1f), box %s" % (cx, cy, box)
        assert abs(w - SPLASH_W) <= 8 and abs(h - SPLASH_H) <= 8, "splash %dx%d, expected about %dx%d" % (
            w, h, SPLASH_W, SPLASH_H)
        # Nothing outside the card: black all round.
        assert brightest.bbox(lit) == box

        # 4. The menu keeps its backdrop and the game keeps running.
        assert backdrop_error(menu) < 3
        assert game.running()
        game.close()
        assert game.wait_exit() == 0


if __name__ == "__main__":
    e2e.main(test)
