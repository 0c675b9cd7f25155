"""The game starts under X, ends on F12 with exit code 1 and leaves its log behind."""

import os
import signal
import subprocess
import sys

from harness import Failure, Game, check, run, session

START_LINES = ("**************************\n"
               "* This is Vorn II console *\n"
               "**************************\n\n")


def test(executable, data_dir):
    with session(data_dir, "shutdown") as (display, workdir):
        game = Game(display, executable, workdir)
        game.start()
        game.enter_play()  # keys reach their bindings only in play
        display.key("F12")
        code = game.program.wait_exit()
        check(code == 1, "exit code %s, expected 1\n%s" % (code, game.program.log_output()))
        with open(os.path.join(workdir, "basev2", "console.log")) as f:
            log = f.read()
        check(log.startswith(START_LINES + "System :\n   OpenGL initialized!\n"),
              "log does not begin with the start-up lines:\n" + log)
        check(log.endswith("]con_savelog\nLog basev2/console.log created!\n"),
              "log does not end with the shut-down lines:\n" + log)


def test_without_display(game):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    try:
        result = subprocess.run([game], env=env, capture_output=True, text=True, timeout=30)
    except subprocess.TimeoutExpired:
        raise Failure("without a display the game still ran after 30 s, expected it to end")
    check(result.returncode == 2, "exit code %d without a display, expected 2" %
          result.returncode)
    check("Cannot register window class" in result.stderr,
          "no \"Cannot register window class\" without a display: " + result.stderr)


def test_stop_signal(executable, data_dir, number):
    """SIGTERM or Ctrl+C ends the game as quit does: shut-down lines, log written, status 1."""
    with session(data_dir, "signal") as (display, workdir):
        game = Game(display, executable, workdir)
        game.start()
        game.program.process.send_signal(number)
        code = game.program.wait_exit()
        check(code == 1, "exit code %s after signal %d, expected 1\n%s"
              % (code, number, game.program.log_output()))
        with open(os.path.join(workdir, "basev2", "console.log")) as f:
            log = f.read()
        check(log.startswith(START_LINES) and
              log.endswith("]con_savelog\nLog basev2/console.log created!\n"),
              "the log after signal %d does not end with the shut-down lines:\n%s" % (number, log))


def both(game, data_dir):
    test_without_display(game)
    test(game, data_dir)
    test_stop_signal(game, data_dir, signal.SIGTERM)
    test_stop_signal(game, data_dir, signal.SIGINT)


if __name__ == "__main__":
    run(both, sys.argv[1], sys.argv[2])
