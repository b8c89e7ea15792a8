#!/usr/bin/env python3
"""Menu to play and back: after the splash the icons fly in and rest; hovering a
level shows its (empty) result; a click starts it; a left click explodes and the
objects move; Escape returns to the menu with that icon locked; Escape in the
menu ends the game with status 0."""
import time

import game_driver as gd

LEVEL = """Background backdrop2.tga
Victory goal enter 700 60 120 100 whole --drawRect
Ball 200 21 16 orangeball.tga --victory goal
Box 300 21 32 32 crate1.tga
"""
DIGITS = [(str(d), "%d.tga" % d, 0.5, 0.5) for d in range(10)] + [("none", None, 0.5, 0.5)]


def test(args):
    with gd.Game(args, levels={"first": LEVEL, "second": LEVEL}, level_list="first\nsecond\n",
                 name="test_menu_flow") as game:
        play(game)


def play(game):
    menu_bg = game.stretched("backdrop3.tga")
    icon = game.menu_icon

    game.wait_for("the menu's icons at rest after the splash",
                  lambda s: icon(s, 0) == "new" and icon(s, 1) == "new" and icon(s, 2) == "none"
                  and icon(s, 23) == "none", timeout=20)

    game.move(*gd.icon_position(0))
    game.wait_for("the hovered level's result (0 explosions)",
                  lambda s: game.classify(s, menu_bg, 280, 300, DIGITS, (12, 16)) == "0")

    gd.choose(game, 0)
    play_bg = game.stretched("backdrop2.tga")
    # The level's own background replaces the menu's.
    game.wait_for("the level in play",
                  lambda s: gd.sprite_error(s, play_bg, None, 500, 300, 0, 0, (60, 60)) <
                  gd.sprite_error(s, menu_bg, None, 500, 300, 0, 0, (60, 60)), timeout=10)
    time.sleep(1.0)  # objects settle on the floor
    before = game.shot("before-click")
    game.wait_for("the resting scene", lambda s: s.differing(before, 0, 0, 800, 120) < 20, timeout=5)

    game.click(170, 21)  # left of the ball
    first = game.shot("after-click")
    moved = first.differing(before, 0, 0, 800, 120)
    gd.check(moved > 100, "nothing moved after the explosion (%d pixels changed)" % moved)
    time.sleep(0.3)
    second = game.shot("later")
    moving = second.differing(first, 0, 0, 800, 200)
    gd.check(moving > 50, "the objects did not move between two screenshots (%d pixels)" % moving)

    game.key("Escape")
    game.wait_for("the menu with the left level locked",
                  lambda s: icon(s, 0) == "locked" and icon(s, 1) == "new", timeout=10)

    # Escape counts once the menu's fade-in is over: press until the game ends.
    deadline = time.time() + 10
    while game.process.poll() is None and time.time() < deadline:
        game.key("Escape")
        time.sleep(0.3)
    gd.check(game.wait_exit(5) == 0, "the game did not exit with status 0")
    gd.check("Average fps" not in game.output(), "the menu's Escape went through the main loop's exit")


if __name__ == "__main__":
    gd.main(test)
