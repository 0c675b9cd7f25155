"""A demo recorded in play replays to the same picture; timedemo says how fast it drew."""

import re
import sys

from harness import STEP_DEADLINE_S, Game, check, run, session, wait_for


def test(executable, data_dir):
    with session(data_dir, "demo") as (display, workdir):
        game = Game(display, executable, workdir)
        game.start()
        game.enter_play()
        game.console("record t")

        def hold(key):
            with display.held(key):
                game.wait_frames(4)  # told by player 2's crosshair, which the mouse moves
        # Both players: walking both ways, rockets and plasma, a jump, the mouse's aim and plasma.
        hold("d")
        hold("space")
        display.key("2")
        hold("space")
        display.key("w", "Left", "Left")
        display.xdotool("click", "1")
        hold("a")
        recorded = display.settled()  # shots have flown off and the players stand
        display.key("Escape")  # showing the menu ends the recording
        game.wait_menu()

        game.open_console()
        log = game.save_log()
        check(re.search(r"^Recorded \d+ frames into basev2/demos/t\.dem$", log, re.M),
              "no line for the recording; the log ends:\n" + log[-400:])
        game.command("demo t")
        game.close_console()

        def differing():
            return "%d bytes differ" % sum(a != b for a, b in zip(recorded,
                                                                  display.screenshot_rgb()))
        wait_for(lambda: display.screenshot_rgb() == recorded, 120,
                 "the replay to end on the recording's last picture", differing)
        game.open_console()
        log = wait_for(lambda: (lambda text: "Demo ended: paused on its last frame" in text
                                and text)(game.save_log()), 120, "the line for the replay's end")
        check("differs" not in log, "the replay was not exact:\n" + log[-400:])
        # Paused, the replay's last picture stays under the console and comes back whole.
        game.close_console()
        wait_for(lambda: display.screenshot_rgb() == recorded, STEP_DEADLINE_S,
                 "the held picture once the console has gone", differing)
        game.open_console()
        display.key("Escape")  # back to the menu, the world as it was before the replay
        game.console_open = False
        game.wait_menu()

        game.open_console()
        game.command("timedemo t")
        line = re.compile(r"^\d+ frames, \d+\.\d seconds: \d+\.\d fps$", re.M)
        lines = wait_for(lambda: line.findall(game.save_log()), 120, "timedemo's line")
        check(len(lines) == 1, "timedemo printed %r" % (lines,))


if __name__ == "__main__":
    run(test, *sys.argv[1:])
