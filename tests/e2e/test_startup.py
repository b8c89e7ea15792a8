"""From start to the idle menu and out, in one run: the splash fades in and out,
centred at half size; the menu's backdrop follows exactly as painted; a part of
the idle menu that another window uncovered is repainted at once; Escape in the
menu ends the game with status 0, without the main loop's average line."""
import time

import boxquake_e2e as e2e
from boxquake_e2e import check

RIGHT = (430, 20, 360, 570)  # screen box that no menu icon reaches
COVER = (480, 120, 280, 300)


def brightness(shot):
    """Mean of r, g, b over the middle of the splash card (screen x 200 to 600, every other row of 220 to 380)."""
    rows = [shot.rgba[4 * (800 * y + 200):4 * (800 * y + 600)] for y in range(220, 380, 2)]
    return sum(sum(row) - 255 * 400 for row in rows) / (3 * 400 * len(rows))  # less the alpha bytes


def splash(game, backdrop):
    levels, brightest = [], []

    def until_menu():
        shot = game.shot()
        if e2e.shows(shot, backdrop, RIGHT):
            return True
        levels.append(brightness(shot))
        if levels[-1] == max(levels):
            brightest[:] = [shot]
    e2e.poll(until_menu, 20, "the menu backdrop after the splash", 0)
    top, peak = max(levels), levels.index(max(levels))
    seen = "; splash brightness per shot: %s" % " ".join("%.0f" % v for v in levels)
    check(top > 30, "the splash never became bright" + seen)
    check(levels[0] < 0.5 * top or any(0.1 * top < v < 0.9 * top for v in levels[:peak]), "no fade-in" + seen)
    check(any(0.1 * top < v < 0.9 * top for v in levels[peak + 1:]), "no fade-out" + seen)
    lit = [(x, y) for y in range(0, 600, 2) for x in range(0, 800, 2) if max(brightest[0].pixel(x, y)[:3]) > 12]
    box = min(x for x, _ in lit), min(y for _, y in lit), max(x for x, _ in lit) + 1, max(y for _, y in lit) + 1
    check(abs(box[0] + box[2] - 800) <= 4 and abs(box[1] + box[3] - 600) <= 4, "splash not centred: %s" % (box,))
    check(abs(box[2] - box[0] - 512) <= 8 and abs(box[3] - box[1] - 256) <= 8, "splash not 512 x 256: %s" % (box,))


def expose(game, backdrop):
    # The game draws no frame equal to the screen, so an idle menu stops drawing;
    # a part uncovered must still be repainted at once (it hears the exposure),
    # not at the periodic refresh about five seconds later.
    d = e2e.xlib()
    still = [None, 0.0]

    def resting():
        pixels = game.shot().rgba
        if pixels != still[0]:
            still[:] = [pixels, time.monotonic()]
        return time.monotonic() - still[1] > 1.0
    e2e.poll(resting, 20, "the menu's icons at rest for a second", 0.1)
    for _ in range(3):  # so that a periodic refresh cannot pass for the repaint
        cover = d.screen().root.create_window(*COVER, 0, d.screen().root_depth, e2e.X.InputOutput,
                                              e2e.X.CopyFromParent, background_pixel=0xff00ff, override_redirect=True)
        cover.map()
        d.sync()
        game.wait_for(lambda s: s.pixel(COVER[0] + 9, COVER[1] + 9)[:3] == (255, 0, 255), "the cover shown")
        cover.destroy()
        d.sync()
        game.wait_for(lambda s: e2e.shows(s, backdrop, COVER), "the uncovered menu repainted within 1 s", 1.0)


def test(args):
    with e2e.Game(args) as game:
        backdrop = game.picture("backdrop3.tga")
        splash(game, backdrop)
        expose(game, backdrop)
        e2e.hover_result(game)
        game.key("Escape")
        status = game.wait_exit()
        check(status == 0, "exit status %s after Escape in the menu" % status)
        check("Average fps" not in game.output(), "Escape in the menu went through the main loop's end")


if __name__ == "__main__":
    e2e.main(test)
