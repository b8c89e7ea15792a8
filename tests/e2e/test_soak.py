"""Soak in the real game: menu -> level -> menu, --cycles times (default 100), by
real clicks and keys. Each cycle chooses the next of four levels, taps a few
seeded random places, then leaves with Escape or, on every other visit to
"fuse" (won by waiting: its bomb does the work), restarts with 'r', waits for
the tick mark and picks it. The menu must show every level's record as it
should be after each cycle. Prints the game's resident memory (from
/proc/<pid>/statm) every 10 cycles; fails when it grows by --max-growth-kb
(default 1024) or more after cycle --settle (default 50). The first cycles grow
it by a few MB while the heap and the OpenGL driver settle.

Not in the default e2e set (about 10 minutes):
  /usr/bin/python3 tests/e2e/test_soak.py --game build/run/boxquake --run-dir build/run"""
import os
import random
import sys
import time

import boxquake_e2e as e2e
from boxquake_e2e import check

LEVELS = ["fuse", "firstblast", "throughwalls", "restless"]  # all on bg_meadow.tga
# Screen boxes of which each of these levels leaves at least one showing only its background.
FIELDS = [(450, 220, 250, 130), (450, 150, 250, 70), (300, 400, 150, 80)]
MARKS = dict({"clock%d" % i: "clock%d.tga" % i for i in range(1, 5)}, tick="tick.tga", none=None)
PAGE = os.sysconf("SC_PAGE_SIZE")
OPTIONS = {"--cycles": 100, "--settle": 50, "--max-growth-kb": 1024}


def resident_kb(pid):
    with open("/proc/%d/statm" % pid) as f:
        return int(f.read().split()[1]) * PAGE // 1024


def test(args):
    cycles, settle = OPTIONS["--cycles"], OPTIONS["--settle"]
    rng = random.Random(1)
    states = ["new"] * len(LEVELS)  # what the menu must show for each level
    visits = [0] * len(LEVELS)
    meadow = None
    mark = lambda game, s: e2e.classify(game, s, MARKS, 750, 560, 0.625, "bg_meadow.tga", (40, 40))  # noqa: E731
    in_level = lambda game, s: any(e2e.shows(s, meadow, box) for box in FIELDS)  # noqa: E731
    rss = {}
    start = time.monotonic()
    with e2e.Game(args, "".join(name + "\n" for name in LEVELS)) as game:
        meadow = game.picture("bg_meadow.tga")
        for cycle in range(1, cycles + 1):
            i = (cycle - 1) % len(LEVELS)
            e2e.wait_menu(game, states, "the menu before cycle %d" % cycle, 20)
            e2e.hover_result(game)
            game.click(*e2e.icon_position(i))
            game.wait_for(lambda s: in_level(game, s), "level %s in play (cycle %d)" % (LEVELS[i], cycle), 20)
            for _ in range(rng.randint(1, 3)):
                time.sleep(rng.uniform(0.2, 0.6))
                x, y = rng.randint(0, 799), rng.randint(0, 599)
                if abs(x - 750) < 40 and abs(y - 560) < 40:
                    continue  # the tick mark's place
                game.tap(x, y)
            visits[i] += 1
            if LEVELS[i] == "fuse" and visits[i] % 2 == 1:
                game.key("r")
                game.wait_for(lambda s: mark(game, s) == "tick", "fuse won by waiting (cycle %d)" % cycle, 40)
                game.click(750, 560)
                states[i] = "done"
            else:
                game.key("Escape")
                if states[i] == "new":
                    states[i] = "locked"
            if cycle in (1, settle) or cycle % 10 == 0 or cycle == cycles:
                rss[cycle] = resident_kb(game.proc.pid)
                print("cycle %3d: resident %7d kB after %.0f s" % (cycle, rss[cycle], time.monotonic() - start),
                      flush=True)
        e2e.wait_menu(game, states, "the menu after the last cycle", 20)
        rss[cycles] = resident_kb(game.proc.pid)
        output = game.output()
        check("Failed to load" not in output, "missing pictures:\n" + output)
    after = {c: kb for c, kb in rss.items() if c >= settle}
    growth = max(after.values()) - rss[settle]
    print("resident growth after cycle %d: %d kB (from cycle 1: %d kB); %d cycles in %.0f s"
          % (settle, growth, max(rss.values()) - rss[1], cycles, time.monotonic() - start))
    check(growth < OPTIONS["--max-growth-kb"], "the game's resident memory grew by %d kB" % growth)


if __name__ == "__main__":
    # The soak's own options are taken out here; the harness parses the rest.
    for name in OPTIONS:
        if name in sys.argv:
            k = sys.argv.index(name)
            OPTIONS[name] = int(sys.argv[k + 1])
            del sys.argv[k:k + 2]
    e2e.main(test)
