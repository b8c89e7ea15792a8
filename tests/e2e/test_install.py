"""The game plays wherever it is started from, and the player's files outlive
builds and installs: without its data it says where it looked; a level saved
in the editor stays listed after the build copies the shipped levels again;
the installed game (cmake --install), started from /tmp, shows the shipped
levels and then the player's saved one."""
import os
import shutil
import subprocess
import tempfile

import boxquake_e2e as e2e
from boxquake_e2e import check

SHIPPED = 24  # levels of data/levels.txt; the saved level follows them


def menu_with_saved_level(game):
    """The first shipped level and the saved one (icon SHIPPED, seventh row) show as new."""
    slots = [0, SHIPPED]
    e2e.hover_result(game)
    return game.wait_for(lambda s: all(e2e.classify(game, s, e2e.ICONS, *e2e.icon_position(i), 1, "backdrop3.tga",
                                                    (16, 16)) == "new" for i in slots),
                         "the shipped levels and the saved one in the menu", 20)


def test(args):
    work = tempfile.mkdtemp(prefix="boxquake-install-")
    player = os.path.join(work, "player")
    try:
        # Without data: the binary alone in a directory of its own.
        alone = os.path.join(work, "alone")
        os.makedirs(alone)
        shutil.copy(args.game, alone)
        env = {k: v for k, v in os.environ.items() if k not in ("BOXQUAKE_DATA_DIR", "BOXQUAKE_USER_DIR")}
        r = subprocess.run([os.path.join(alone, "boxquake")], cwd="/tmp", env=env, capture_output=True, timeout=20)
        err = r.stderr.decode("utf-8", "replace")
        check(r.returncode == 1, "exit status %d without data:\n%s" % (r.returncode, err))
        check("looked in" in err and alone in err and os.path.join(work, "share", "boxquake") in err,
              "no word of where it looked:\n" + err)

        # A level saved in the editor.
        with e2e.Game(args, player=player) as game:
            e2e.hover_result(game)
            game.key("e")
            # Pressed until the editor, once its fade-in is over, takes it.
            e2e.poll(lambda: game.key("s") or "Saved " in game.output(), 20, "the editor's save")
        check(open(os.path.join(player, "levels.txt")).read() == "mylevel1\n", "the saved level is not listed")

        # A rebuild copies the shipped levels into the run directory again; the
        # build's own game, started from elsewhere, still lists the saved level.
        r = subprocess.run(["cmake", "--build", args.build_dir, "--target", "boxquake_levels"], capture_output=True)
        check(r.returncode == 0, "rebuilding the levels failed:\n%s" % r.stdout.decode())
        with e2e.Game(args, player=player, game=args.game, cwd="/tmp") as game:
            menu_with_saved_level(game)

        # Installed, and started from /tmp.
        prefix = os.path.join(work, "prefix")
        r = subprocess.run(["cmake", "--install", args.build_dir, "--prefix", prefix], capture_output=True)
        check(r.returncode == 0, "install failed:\n%s" % r.stdout.decode())
        for part in ("share/applications/boxquake.desktop", "share/icons/hicolor/scalable/apps/boxquake.svg",
                     "share/boxquake/levels.txt", "share/boxquake/levels/firstblast.sol"):
            check(os.path.isfile(os.path.join(prefix, part)), "not installed: " + part)
        with e2e.Game(args, player=player, game=os.path.join(prefix, "bin", "boxquake"), cwd="/tmp") as game:
            menu_with_saved_level(game)
            check("Failed to load" not in game.output(), "missing pictures:\n" + game.output())
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    e2e.main(test)
