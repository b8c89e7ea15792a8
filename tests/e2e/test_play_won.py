#!/usr/bin/env python3
"""A level won without clicks: its ball starts at rest inside the target, the
victory clock runs, the tick mark appears, a click on it returns to the menu with
the level done, and hovering it shows the result: no explosions (the click on the
tick mark also explodes, after the result was taken)."""
import game_driver as gd

LEVEL = """Background backdrop2.tga
Length 120
Victory goal enter 400 60 200 100 whole --drawRect
Ball 400 21 16 orangeball.tga --victory goal
"""
DIGITS = [(str(d), "%d.tga" % d, 0.5, 0.5) for d in range(10)] + [("none", None, 0.5, 0.5)]
MARK = [("tick", "tick.tga", 40 / 64.0, 40 / 64.0), ("clock1", "clock1.tga", 0.625, 0.625),
        ("clock2", "clock2.tga", 0.625, 0.625), ("clock3", "clock3.tga", 0.625, 0.625),
        ("clock4", "clock4.tga", 0.625, 0.625), ("none", None, 1, 1)]


def test(args):
    with gd.Game(args, levels={"won": LEVEL}, level_list="won\n", name="test_play_won") as game:
        play(game)


def play(game):
    menu_bg = game.stretched("backdrop3.tga")
    play_bg = game.stretched("backdrop2.tga")
    icon = game.menu_icon

    def mark(shot):
        return game.classify(shot, play_bg, 750, 560, MARK, (40, 40))

    game.wait_for("the menu", lambda s: icon(s, 0) == "new" and icon(s, 20) == "none", timeout=20)
    gd.choose(game, 0)
    game.wait_for("the victory clock", lambda s: mark(s).startswith("clock"), timeout=10)
    game.wait_for("the tick mark", lambda s: mark(s) == "tick", timeout=15)
    game.shot("won")

    game.click(750, 560)
    game.wait_for("the menu with the level done", lambda s: icon(s, 0) == "done", timeout=10)
    game.move(*gd.icon_position(0))
    shot = game.wait_for("the level's result on hover",
                         lambda s: game.classify(s, menu_bg, 280, 300, DIGITS, (12, 16)) == "0")
    seconds = game.classify(shot, menu_bg, 220, 300, DIGITS, (12, 16))
    gd.check(seconds in ("2", "3", "4", "5"), "the recorded time shows %s, not the 2 s or so the win took" % seconds)


if __name__ == "__main__":
    gd.main(test)
