"""Closing the window as a person would ends the game cleanly: the average line,
exit status 0, nothing on standard error from the game itself."""
import re

import boxquake_e2e as e2e


def test(args):
    with e2e.Game(args) as game:
        game.wait_window()
        # Let it run a while (splash visible), then close.
        game.wait_for(lambda s: s.brightness((200, 220, 400, 160)) > 20, "the splash")
        game.close()
        status = game.wait_exit(timeout=10)
        out = game.output()
        assert status == 0, "exit status %s, output:\n%s" % (status, out)
        lines = [l for l in out.splitlines() if l.startswith("Average fps")]
        assert len(lines) == 1, "expected one average line in:\n%s" % out
        m = re.fullmatch(r"Average fps: (\d+\.\d\d)", lines[0])
        assert m, "malformed line %r" % lines[0]
        fps = float(m.group(1))
        # At most one update per 17 ms (58.82 per second); how many fewer depends
        # on the machine's load, which a test cannot know.
        assert 0.0 < fps <= 58.83, "average %.2f updates per second" % fps
        assert "Failed to load" not in out, "missing pictures:\n%s" % out


if __name__ == "__main__":
    e2e.main(test)
