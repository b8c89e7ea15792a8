"""Full screen on a --screen of any size: the whole 800 x 600 field shows,
scaled to fit with its shape, centred between black bars; the pointer lands on
the field point drawn under it (hovering just inside and just outside a level's
icon, a click opening it, a quick click exploding once). The menu and the
level, as the screen showed them, are saved where the output says."""
import os

import boxquake_e2e as e2e
from boxquake_e2e import check

FIELD = (450, 220, 250, 130)  # screen box where firstblast shows only its background
ICON = e2e.icon_position(0)


def dark(pixel):
    return max(pixel[:3]) <= 2


def check_frame(shot, frame):
    """Black outside the frame, the field's picture on its outermost rows and columns."""
    x0, y0, w, h = frame
    bars = [(x, y) for y in range(0, shot.height, 7) for x in range(0, shot.width, 7)
            if not (x0 <= x < x0 + w and y0 <= y < y0 + h)]
    lit = [(x, y) for x, y in bars if not dark(shot.pixel(x, y))]
    check(not lit, "bars not black at %s" % lit[:5])
    edges = [(x, y) for y in range(y0, y0 + h, 5) for x in (x0, x0 + w - 1)]
    edges += [(x, y) for x in range(x0, x0 + w, 5) for y in (y0, y0 + h - 1)]
    unlit = [(x, y) for x, y in edges if dark(shot.pixel(x, y))]
    check(not unlit, "the field's edge is black at %s (frame %s)" % (unlit[:5], frame))


def check_corners(field, backdrop):
    """The backdrop's four corners, 40 px boxes, where the field's corners are: the field is whole."""
    for cx in (20, 780):
        for cy in (20, 580):
            error = e2e.sprite_error(field, None, cx, cy, 1, backdrop, (40, 40))
            check(error < 4, "the field's corner at (%d, %d) differs from the backdrop by %.1f" % (cx, cy, error))


def hovering(game, dx, dy, expect, what):
    """Puts the pointer dx, dy from the first icon's centre; waits for its result to show or not."""
    game.move(ICON[0] + dx, ICON[1] + dy)
    result = lambda s: e2e.classify(game, s, e2e.DIGITS, 280, 300, 0.5, "backdrop3.tga", (12, 16))  # noqa: E731
    game.wait_for(lambda s: (result(s) != "none") == expect, what, 5)


def save(game, name):
    path = os.path.join(game.args.artifacts, "fullscreen-%dx%d-%s.png" % (game.args.screen + (name,)))
    game.last.save_png(path)
    print("screenshot: " + path)


def test(args):
    os.makedirs(args.artifacts, exist_ok=True)
    frame = e2e.letterbox(*args.screen)
    with e2e.Game(args, "firstblast\n", fullscreen=True) as game:
        e2e.hover_result(game)
        check_frame(game.last, frame)
        check_corners(game.shot(), game.picture("backdrop3.tga"))
        save(game, "menu")
        # The icon is 16 px across: 5 px from its centre is on it, 12 px off it.
        for dx, dy in ((-12, 0), (0, 12), (12, 0), (0, -12)):
            hovering(game, dx, dy, False, "no result %+d, %+d px from the icon" % (dx, dy))
            hovering(game, dx * 5 // 12, dy * 5 // 12, True, "the result %+d, %+d px from the icon" % (dx, dy))

        game.click(*ICON)
        game.wait_for(lambda s: e2e.sprite_error(s, None, FIELD[0] + FIELD[2] / 2, 600 - FIELD[1] - FIELD[3] / 2, 1,
                                                 game.picture("bg_meadow.tga"), FIELD[2:]) < 3, "the level in play", 10)
        game.tap(700, 300)
        counter = lambda s: e2e.classify(game, s, e2e.DIGITS, 250, 540, 1, "bg_meadow.tga", (14, 28))  # noqa: E731
        game.wait_for(lambda s: counter(s) == "1", "one explosion after a quick click", 10)
        check_frame(game.last, frame)
        save(game, "level")


if __name__ == "__main__":
    e2e.main(test)
