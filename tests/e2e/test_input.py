"""Clicks and taps as quick as xdotool makes them (press and release a few ms
apart, often both between two of the game's 17 ms updates): ten clicks in a
level make ten explosions, one each; a tapped 'r' restarts the level, and the
next click counts again from one, three times over."""
import boxquake_e2e as e2e

FIELD = (450, 220, 250, 130)  # screen box where firstblast shows only its background
DIGITS = dict(e2e.DIGITS, none=None)
SKY = (700, 300)  # far from the level's ball and text


def explosions(game, shot):
    """The play state's explosion counter: digits from (250, 540), 24 px apart."""
    digits = [e2e.classify(game, shot, DIGITS, 250 + 24 * i, 540, 1, "bg_meadow.tga", (14, 28)) for i in range(2)]
    return int("".join(d for d in digits if d != "none") or -1)


def shows_count(game, n, what):
    game.wait_for(lambda s: explosions(game, s) == n, "%s: the counter at %d" % (what, n), 10)


def test(args):
    with e2e.Game(args, "firstblast\n") as game:
        e2e.hover_result(game)
        game.click(*e2e.icon_position(0))
        game.wait_for(lambda s: e2e.shows(s, game.picture("bg_meadow.tga"), FIELD), "the level in play", 10)
        shows_count(game, 0, "the level started")
        for n in range(1, 11):
            game.tap(*SKY)
            shows_count(game, n, "click %d" % n)
        for n in range(1, 4):
            game.tap_key("r")
            shows_count(game, 0, "tapped 'r' %d" % n)
            game.tap(*SKY)
            shows_count(game, 1, "a click after restart %d" % n)


if __name__ == "__main__":
    e2e.main(test)
