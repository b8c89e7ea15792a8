"""A player's round by real clicks, through the game's flip of the mouse y: 'h'
in a level shows its solution winning, and leaving then marks the level
unfinished, not won; a level chosen in the menu and solved by the click of its
shipped solution shows
the tick mark; a click on the tick returns to the menu with the level done, and
hovering it shows the one click it took. Closing the window then ends the game
with status 0 and its average line, and the next start shows the level done
with its result."""
import os
import re
import shutil
import tempfile

import boxquake_e2e as e2e
from boxquake_e2e import check

LEVEL = "firstblast"  # the ball rests on a ledge until the click, so its moment does not matter
SOLUTION = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "levels", LEVEL + ".sol")
FIELD = (450, 220, 250, 130)  # screen box where the level shows only its background
MARKS = dict({"clock%d" % i: "clock%d.tga" % i for i in range(1, 5)}, tick="tick.tga", none=None)


def test(args):
    with open(SOLUTION) as f:
        clicks = [[int(w) for w in line.split()[2:]] for line in f if line.startswith("click ")]
    check(len(clicks) == 1, "%s: expected a one-click solution, not %s" % (SOLUTION, clicks))
    player = tempfile.mkdtemp(prefix="boxquake-player-")
    mark = lambda game, s: e2e.classify(game, s, MARKS, 750, 560, 0.625, "bg_meadow.tga", (40, 40))  # noqa: E731
    with e2e.Game(args, LEVEL + "\n", player=player) as game:
        e2e.hover_result(game)
        game.click(*e2e.icon_position(0))
        game.wait_for(lambda s: e2e.shows(s, game.picture("bg_meadow.tga"), FIELD), "the level in play", 10)
        game.key("h")
        game.wait_for(lambda s: mark(game, s) == "tick", "the shown solution winning", 60)
        game.wait_for(lambda s: mark(game, s) == "none", "the level afresh after the shown win", 20)
        game.key("Escape")
        e2e.wait_menu(game, ["locked"], "the menu with the level unfinished: a shown win is not recorded", 10)
        e2e.hover_result(game)
        game.click(*e2e.icon_position(0))
        game.wait_for(lambda s: e2e.shows(s, game.picture("bg_meadow.tga"), FIELD), "the level in play again", 10)
        game.click(*clicks[0])
        game.wait_for(lambda s: mark(game, s) == "tick", "the tick mark of a won level", 60)
        game.click(750, 560)
        e2e.wait_menu(game, ["done"], "the menu with the level done", 10)
        result = e2e.hover_result(game)
        check(result == "1", "the level's result shows %s clicks, not 1" % result)

        game.close()
        status = game.wait_exit()
        out = game.output()
        check(status == 0, "exit status %s after closing the window:\n%s" % (status, out))
        averages = re.findall(r"^Average fps: (\d+\.\d\d)$", out, re.M)
        # At most one update per 17 ms (58.82 a second); how many fewer depends on the load.
        check(len(averages) == 1 and 0 < float(averages[0]) <= 58.83, "no single sane average line:\n" + out)
        check("Failed to load" not in out, "missing pictures:\n" + out)

    with e2e.Game(args, LEVEL + "\n", player=player) as game:
        e2e.wait_menu(game, ["done"], "the level done at the next start", 20)
        result = e2e.hover_result(game)
        check(result == "1", "the next start shows %s clicks, not 1" % result)
    shutil.rmtree(player)


if __name__ == "__main__":
    e2e.main(test)
