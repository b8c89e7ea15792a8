"""The editor by real keys and buttons: 'e' in the menu opens it; '1' and '3'
then right-button drags create a wall and a crate sized by the drag; a
left-button drag moves the crate; a new ball goes with Delete; Return runs test
mode (the crate falls) and Escape puts the layout back; 's' saves exactly that
level and lists it in the player's directory; Escape returns to the menu, which
shows the saved level; closing the window with a new level unsaved keeps it."""
import os

import boxquake_e2e as e2e
from boxquake_e2e import check

SAVED = """# boxquake user level
Background backdrop2.tga
Length 300
StaticBox 200 300 40 15 wall.tga
Box 450 150 20 20 crate1.tga
"""


def changed(a, b, x0, y0, x1, y1):
    """Pixels of the game-coordinate box [x0, x1) x [y0, y1) that differ between shots a and b."""
    return sum(max(abs(p - q) for p, q in zip(a.game_pixel(x, y)[:3], b.game_pixel(x, y)[:3])) > 24
               for y in range(y0, y1) for x in range(x0, x1))


def editing(shot):
    """The list of templates (top left, the chosen one in red) shows in edit mode only."""
    colours = (shot.game_pixel(x, y) for y in range(500, 590) for x in range(10, 120))
    return sum(r > 200 and g < 80 and b < 80 for r, g, b, _ in colours) > 20


def test(args):
    with e2e.Game(args) as game:
        e2e.hover_result(game)
        game.move(600, 100)  # off the icons: 'e' on an icon opens that level instead of a new one
        game.key("e")
        game.wait_for(editing, "the editor after 'e' in the menu", 10)

        def make(key, x0, y0, x1, y1, what):
            game.key(key)
            before = game.shot()
            game.click(x0, y0, 3, to=(x1, y1))
            game.wait_for(lambda s: changed(s, before, x0 - 10, y0 - 10, x0 + 10, y0 + 10) > 50, what)
            return before
        make("1", 200, 300, 240, 315, "the new wall")  # a size is the distance from the centre to the pointer
        make("3", 400, 250, 420, 270, "the new crate")
        before = make("2", 300, 400, 316, 416, "the new ball")
        game.key("Delete")
        game.wait_for(lambda s: changed(s, before, 270, 370, 330, 430) == 0, "the ball deleted")
        before = game.shot()
        game.click(400, 250, to=(450, 150))
        moved = game.wait_for(lambda s: changed(s, before, 440, 140, 460, 160) > 50, "the crate moved")
        # Test mode drops the selection; without it here too, its outline is no difference.
        game.click(600, 450)
        edited = game.wait_for(lambda s: changed(s, moved, 425, 125, 475, 175) > 10, "the crate's outline gone")

        game.key("Return")
        game.wait_for(lambda s: not editing(s) and changed(s, edited, 440, 100, 460, 160) > 50,
                      "test mode with the crate falling")
        game.key("Escape")
        game.wait_for(lambda s: editing(s) and changed(s, edited, 0, 40, 800, 480) < 10, "the placed layout again")

        game.key("s")
        saved_path = os.path.join(game.player, "levels", "mylevel1.lvl")
        e2e.poll(lambda: "Saved mylevel1 (%s)\n" % saved_path in game.output(), 10, "the save line on standard output")
        saved = open(saved_path).read()
        check(saved == SAVED, "saved file:\n%s\nexpected:\n%s" % (saved, SAVED))
        listed = open(os.path.join(game.player, "levels.txt")).read()
        check(listed == "mylevel1\n", "the player's levels.txt holds %r" % listed)
        shipped = open(game.path("levels.txt")).read()
        check(shipped == "firstblast\n", "the shipped levels.txt was written: %r" % shipped)
        game.key("Escape")
        e2e.wait_menu(game, ["new", "new", "none"], "the menu listing the saved level", 10)

        # Closing the window with unsaved changes keeps them as a new level.
        e2e.hover_result(game)  # the menu takes input
        game.move(600, 100)
        game.key("e")
        game.wait_for(editing, "a new level in the editor", 10)
        make("2", 300, 400, 300, 400, "a ball at its own size")
        game.close()
        game.wait_exit()
        check("The editor's unsaved changes are kept as mylevel2\n" in game.output(), game.output())
        kept = open(os.path.join(game.player, "levels", "mylevel2.lvl")).read()
        check(kept.endswith("Ball 300 400 32 orangeball.tga\n"), "kept file:\n" + kept)


if __name__ == "__main__":
    e2e.main(test)
