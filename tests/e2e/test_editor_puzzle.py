"""One whole puzzle made in the editor by real keys and buttons, then played as
a player would. A platform, a low wall before the bottom-right corner and a
target area in that corner; a ball resting on the platform, linked to the area;
a bomb above the platform with its fuse turned down to 2 s. The blast throws
the ball off the platform over the low wall into the corner, where it settles:
the level wins without a click. Test mode shows the tick mark; the proof finds
it winnable with no explosion; the save writes exactly the placed objects and
the proof's solution; the menu lists the level after the shipped one, and
playing it there wins it and marks it done."""
import os
import re

import boxquake_e2e as e2e
from boxquake_e2e import check
from test_editor import changed

# The file the save must write: each position is where build() points, each size
# a drag's distance, the ball's radius the template's, the fuse 3 s less one.
# Headless (boxquake-level solve) the level wins with no click, and still does
# with the ball or the bomb 10 units off, so it does not hang on a pixel.
LEVEL = """# boxquake user level
Background backdrop2.tga
Length 300
StaticBox 250 200 300 20 wall.tga
StaticBox 620 40 20 70 wall.tga
Victory goal enter 712 45 160 80 centre --drawRect
Ball 360 242 32 orangeball.tga --victory goal
Bomb 160 490 2
"""
MARKS = dict({"clock%d" % i: "clock%d.tga" % i for i in range(1, 5)}, tick="tick.tga", none=None)
FIELD = (450, 100, 250, 100)  # screen box the ball never crosses: only the background shows there
WIN_SECONDS = 60  # the win comes about 12 s in (update ~700) at full speed


def editing(shot):
    """The list of templates, the chosen one in red, shows in edit mode only."""
    colours = (shot.game_pixel(x, y) for y in range(440, 590) for x in range(10, 120))
    return sum(r > 200 and g < 80 and b < 80 for r, g, b, _ in colours) > 20


def tick_shown(game, shot):
    return e2e.classify(game, shot, MARKS, 750, 560, 0.625, "backdrop2.tga", (40, 40)) == "tick"


def build(game):
    """Places the puzzle's objects, waiting after each action until it shows."""
    def act(do, probe, what):
        before = game.shot()
        do()
        x, y = probe
        game.wait_for(lambda s: changed(s, before, x - 10, y - 10, x + 10, y + 10) > 20, what)

    def place(template, at, to=None, probe=None):
        # A right drag sizes from the centre: the full extent is the distance per axis.
        game.key(template)
        act(lambda: game.click(*at, button=3, to=to), probe or at, "template %s placed at %s" % (template, at))

    place("1", (250, 200), (550, 220))                  # the platform, 300 x 20
    place("1", (620, 40), (640, 110))                   # the low wall, 20 x 70
    place("6", (712, 45), (552, 125), probe=(632, 45))  # the target area, 160 x 80: its outline shows
    place("2", (360, 242))                              # the ball at its default radius, on the platform
    act(lambda: game.key("l"), (536, 143), "the ball's dotted link to the area")
    place("7", (160, 490))                              # the bomb, still selected
    act(lambda: game.key("minus"), (212, 524), "the message of the fuse turned down")


def test(args):
    with e2e.Game(args) as game:
        e2e.hover_result(game)
        game.move(600, 100)  # off the icons: 'e' on an icon would open that level
        game.key("e")
        game.wait_for(editing, "the editor with a new level", 10)
        build(game)

        game.key("Return")
        game.wait_for(lambda s: not editing(s) and tick_shown(game, s), "test mode winning", WIN_SECONDS)
        game.key("Escape")
        game.wait_for(editing, "the editor again after test mode", 10)

        game.key("p")
        proof = e2e.poll(lambda: re.search(r"^Proof of the new level: (.*)$", game.output(), re.M), 40,
                         "the proof's line on standard output").group(1)
        check(proof == "winnable in 0 explosions, playable 1.00", "the proof says %r" % proof)

        game.key("s")
        lvl = os.path.join(game.player, "levels", "mylevel1.lvl")
        e2e.poll(lambda: "Saved mylevel1, with its solution (par 0) (%s)\n" % lvl in game.output(), 10,
                 "the save line on standard output")
        saved = open(lvl).read()
        check(saved == LEVEL, "saved file:\n%s\nexpected:\n%s" % (saved, LEVEL))
        solution = open(os.path.join(game.player, "levels", "mylevel1.sol")).read()
        check(re.search(r"^par 0$", solution, re.M) and "click" not in solution,
              "the saved solution is not the proof's, no click:\n" + solution)

        game.key("Escape")
        e2e.wait_menu(game, ["new", "new", "none"], "the menu listing the saved level after the shipped one", 10)
        e2e.hover_result(game)
        game.click(*e2e.icon_position(1))
        game.wait_for(lambda s: e2e.shows(s, game.picture("backdrop2.tga"), FIELD), "the saved level in play", 10)
        game.wait_for(lambda s: tick_shown(game, s), "the saved level winning in play", WIN_SECONDS)
        game.click(750, 560)
        e2e.wait_menu(game, ["new", "done", "none"], "the menu with the saved level done", 10)


if __name__ == "__main__":
    e2e.main(test)
