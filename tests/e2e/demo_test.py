"""A demo recorded in play replays to the same picture; timedemo says how fast it drew."""

import re
import sys
import time

from harness import STEP_DEADLINE_S, Game, Failure, check, run, session, wait_for

TIMEDEMO_LINE = re.compile(r"^\d+ frames, \d+\.\d seconds: \d+\.\d fps$", re.M)
REST_SECONDS = 0.4  # a world at rest shows the same picture for this long


def differing(first, second):
    return sum(1 for a, b in zip(first, second) if a != b)


def wait_rest(display):
    """Waits until shots have flown off and the players stand: the picture stays as it is."""
    def still():
        first = display.screenshot_rgb()
        time.sleep(REST_SECONDS)
        return first if display.screenshot_rgb() == first else None
    return wait_for(still, STEP_DEADLINE_S, "the world to come to rest")


def wait_log(game, pattern, what):
    found = []

    def printed():
        found[:] = pattern.findall(game.save_log())
        return found
    wait_for(printed, 120, what)
    return found


def test(executable, data_dir):
    with session(data_dir, "demo") as (display, workdir):
        game = Game(display, executable, workdir)
        game.start()
        game.enter_play()
        game.open_console()
        game.command("record t")
        game.close_console()
        # Both players: walking both ways, rockets and plasma, a jump, the mouse's plasma.
        with display.held("d"):
            time.sleep(0.6)
        with display.held("space"):
            time.sleep(0.4)
        display.key("2")
        with display.held("space"):
            time.sleep(0.4)
        display.key("w", "Left", "Left")
        display.xdotool("click", "1")
        with display.held("a"):
            time.sleep(0.4)
        recorded = wait_rest(display)
        display.key("Escape")  # showing the menu ends the recording
        game.wait_menu()

        game.open_console()
        log = game.save_log()
        check(re.search(r"^Recorded \d+ frames into basev2/demos/t\.dem$", log, re.M),
              "no line for the recording; the log ends:\n" + log[-400:])
        game.command("demo t")
        game.close_console()
        try:
            wait_for(lambda: display.screenshot_rgb() == recorded, 120,
                     "the replay to end on the recording's last picture")
        except Failure as failure:
            seen = display.screenshot_rgb()
            raise Failure("%s: %d bytes differ" % (failure, differing(recorded, seen)))
        game.open_console()
        wait_log(game, re.compile(r"^Demo ended: paused on its last frame.*$", re.M),
                 "the line for the replay's end")
        log = game.save_log()
        check("differs" not in log, "the replay was not exact:\n" + log[-400:])
        # Paused, the replay's last picture stays under the console and comes back whole.
        game.close_console()
        wait_for(lambda: display.screenshot_rgb() == recorded, STEP_DEADLINE_S,
                 "the held picture once the console has gone",
                 lambda: "%d bytes differ" % differing(recorded, display.screenshot_rgb()))
        game.open_console()

        display.key("Escape")  # back to the menu, the world as it was before the replay
        game.console_open = False
        game.wait_menu()

        game.open_console()
        game.command("timedemo t")
        lines = wait_log(game, TIMEDEMO_LINE, "timedemo's line")
        check(len(lines) == 1, "timedemo printed %r" % (lines,))


if __name__ == "__main__":
    run(test, *sys.argv[1:])
