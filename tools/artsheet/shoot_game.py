"""Screenshots of the real game for docs/screenshots/: the splash at its brightest
and the level menu once its icons rest. Run with the e2e harness's arguments plus
--out DIR (PPM files; shoot.sh converts them)."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
import boxquake_e2e as e2e  # noqa: E402

CENTRE = (200, 220, 400, 160)


def shoot(args):
    with e2e.Game(args) as game:
        game.wait_window()
        shots = []
        game.wait_for(lambda s: s.brightness(CENTRE) > 5, "the splash", shots=shots)
        game.wait_for(lambda s: s.brightness(CENTRE) < shots[-2].brightness(CENTRE) - 1 if len(shots) > 1 else False,
                      "the splash to fade out", shots=shots)
        max(shots, key=lambda s: s.brightness(CENTRE)).save(os.path.join(args.out, "game-splash.ppm"))
        shown = game.wait_for(e2e.menu_backdrop_shown(args.run_dir), "the menu").taken
        reference = []

        def still(shot):
            # The icons fly in during the menu's one-second fade-in, then rest:
            # wait for a picture that has not changed for a whole second.
            if not reference or reference[0].rgb != shot.rgb:
                reference[:] = [shot]
                return False
            return shot.taken - reference[0].taken > 1.0 and shot.taken - shown > 1.5
        game.wait_for(still, "the menu at rest", timeout=30).save(os.path.join(args.out, "game-menu.ppm"))
        game.close()
        game.wait_exit()


if __name__ == "__main__":
    e2e.main(shoot, extra=lambda p: p.add_argument("--out", required=True))
