"""Escape in the level menu ends the program at once with status 0 (no average
line: the menu leaves without the main loop's shutdown). Also exercises the
harness's keyboard path."""
import boxquake_e2e as e2e


def test(args):
    menu_shown = e2e.menu_backdrop_shown(args.run_dir)

    with e2e.Game(args) as game:
        game.wait_window()
        game.wait_for(menu_shown, "the menu backdrop")
        # The menu takes input once its 1 s fade-in is over; keep pressing until then.
        for _ in range(40):
            game.key("Escape")
            if not game.running():
                break
        status = game.wait_exit(timeout=10)
        assert status == 0, "exit status %s" % status
        assert "Average fps" not in game.output(), game.output()


if __name__ == "__main__":
    e2e.main(test)
