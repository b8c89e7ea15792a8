#!/usr/bin/env python3
"""The editor from the menu: each of the five templates created with the right
button, one object dragged, one resized, one deleted; test mode with an
explosion; Escape puts everything back; 's' saves levels/mylevel1.lvl and lists
it; Escape to the menu, where the saved level is listed and plays."""
import time

import game_driver as gd

FIRST = "Background backdrop2.tga\nBall 400 21 16 orangeball.tga\n"
SAVED = """# boxquake user level
Background backdrop2.tga
Length 300
StaticBox 200 300 40 15 wall.tga
Box 450 150 20 20 crate1.tga
BlackHole 550 300 1500
Text 586 436 29 0xffff00 "Some text"
"""


def red(r, g, b):
    return r > 200 and g < 80 and b < 80


def yellow(r, g, b):
    return r > 200 and g > 200 and b < 80


def white(r, g, b):
    return r > 220 and g > 220 and b > 220


def test(args):
    with gd.Game(args, levels={"first": FIRST}, level_list="first\n", name="test_editor_save") as game:
        play(game)


def play(game):
    icon = game.menu_icon

    def templates_shown(shot):  # the list of templates, top left, in edit mode only
        return shot.count(10, 500, 120, 590, red) > 20 and shot.count(10, 500, 120, 590, yellow) > 50

    game.wait_for("the menu", lambda s: icon(s, 0) == "new" and icon(s, 20) == "none", timeout=20)
    deadline = time.time() + 10
    while not templates_shown(game.shot()):
        gd.check(time.time() < deadline, "'e' did not open the editor")
        game.key("e")
        time.sleep(0.5)

    # 1: a wall created at (200, 300) and sized to 25 x 5 while the button is held
    # (a size is the distance from the centre to the pointer on each axis).
    game.key("1")
    before = game.shot()
    game.drag(200, 300, 225, 305, button=3)
    game.wait_for("the new wall", lambda s: s.differing(before, 170, 290, 230, 310) > 50)
    # 2: a ball of radius 20.
    game.key("2")
    before = game.shot()
    game.drag(300, 400, 312, 416, button=3)
    game.wait_for("the new ball", lambda s: s.differing(before, 280, 380, 320, 420) > 100)
    # 3: a crate 20 x 20.
    game.key("3")
    before = game.shot()
    game.drag(400, 250, 420, 270, button=3)
    game.wait_for("the new crate", lambda s: s.differing(before, 390, 240, 410, 260) > 50)
    # 4: a black hole; 5: a label (their size does not change).
    game.key("4")
    before = game.shot()
    game.click(550, 300, button=3)
    game.wait_for("the new black hole", lambda s: s.differing(before, 520, 270, 580, 330) > 200)
    game.key("5")
    before = game.shot()
    game.click(600, 450, button=3)
    game.wait_for("the new label", lambda s: s.count(600, 450, 720, 480, yellow) > 100)

    # Drag the crate to (450, 150), resize the wall to 40 x 15, delete the ball.
    game.drag(400, 250, 450, 150, button=1)
    game.drag(200, 300, 240, 315, button=3)
    game.click(300, 400, button=1)
    before = game.shot()
    game.key("Delete")
    game.wait_for("the ball gone", lambda s: s.differing(before, 280, 380, 320, 420) > 100)
    edited = game.wait_for("the crate at its new place",
                           lambda s: s.differing(before, 430, 130, 470, 170) == 0 and
                           s.count(440, 140, 460, 160, lambda r, g, b: r > g + 20) > 50)

    # Test mode: the crate falls, a click explodes.
    game.key("Return")
    game.wait_for("test mode", lambda s: not templates_shown(s), timeout=5)
    game.click(470, 60)
    running = game.shot("test-mode")
    gd.check(running.differing(edited, 0, 0, 800, 480) > 100, "nothing moved in test mode")

    # Escape: back to edit mode with every object where it was placed.
    game.key("Escape")
    game.wait_for("the placed layout again",
                  lambda s: templates_shown(s) and s.differing(edited, 0, 40, 800, 480) < 10, timeout=5)

    game.key("s")
    game.wait_for("the save message", lambda s: s.count(250, 10, 500, 35, white) > 30, timeout=5)
    saved = open(game.path("levels", "mylevel1.lvl")).read()
    gd.check(saved == SAVED, "saved file:\n%s\nexpected:\n%s" % (saved, SAVED))
    listed = open(game.path("levels.txt")).read()
    gd.check(listed == "first\nmylevel1\n", "levels.txt holds %r" % listed)
    gd.check("Saved levels/mylevel1.lvl" in game.output(), "no save line on standard output")

    # Escape to the menu: the saved level is listed, and it plays.
    game.key("Escape")
    game.wait_for("the menu listing the saved level",
                  lambda s: icon(s, 0) == "new" and icon(s, 1) == "new" and icon(s, 2) == "none", timeout=10)
    gd.choose(game, 1)
    game.wait_for("the saved level in play: its label and its wall",
                  lambda s: s.count(600, 450, 720, 480, yellow) > 100 and
                  s.differing(edited, 180, 293, 220, 307) < 20, timeout=10)
    game.shot("saved-level")


if __name__ == "__main__":
    gd.main(test)
