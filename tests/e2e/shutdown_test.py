"""The game starts under X, ends on F12 with exit code 1 and leaves its log behind."""

import os
import shutil
import signal
import subprocess
import sys
import time

from harness import Display, Program, check, make_workdir, run

PLAY_BUTTON = (515, 200)
START_LINES = ("**************************\n"
               "* This is Vorn II console *\n"
               "**************************\n\n")


def test(game, data_dir):
    workdir = make_workdir(data_dir, "shutdown")
    display = Display()
    program = Program(display, game, workdir, "Vorn II")
    try:
        program.wait_visible()
        time.sleep(0.5)
        display.click(*PLAY_BUTTON)  # keys reach their bindings only in play
        time.sleep(0.3)
        display.key("F12")
        code = program.wait_exit()
        check(code == 1, "exit code %d, expected 1\n%s" % (code, program.log_output()))
        with open(os.path.join(workdir, "basev2", "console.log")) as f:
            log = f.read()
        check(log.startswith(START_LINES + "System :\n   OpenGL initialized!\n"),
              "log does not begin with the start-up lines:\n" + log)
        check(log.endswith("]con_savelog\nLog basev2/console.log created!\n"),
              "log does not end with the shut-down lines:\n" + log)
    finally:
        program.kill()
        display.close()
    shutil.rmtree(workdir)


def test_without_display(game):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    result = subprocess.run([game], env=env, capture_output=True, text=True, timeout=30)
    check(result.returncode == 2, "exit code %d without a display, expected 2" % result.returncode)
    check("Cannot register window class" in result.stderr,
          "no clear message without a display: " + result.stderr)


def test_stop_signal(game, data_dir, number):
    """SIGTERM or Ctrl+C ends the game as quit does: shut-down lines, log written, status 1."""
    workdir = make_workdir(data_dir, "signal")
    display = Display()
    program = Program(display, game, workdir, "Vorn II")
    try:
        program.wait_visible()
        program.process.send_signal(number)
        code = program.wait_exit()
        check(code == 1, "exit code %d after signal %d, expected 1\n%s"
              % (code, number, program.log_output()))
        with open(os.path.join(workdir, "basev2", "console.log")) as f:
            log = f.read()
        check(log.startswith(START_LINES) and
              log.endswith("]con_savelog\nLog basev2/console.log created!\n"),
              "the log after signal %d does not hold the shut-down lines:\n%s" % (number, log))
    finally:
        program.kill()
        display.close()
    shutil.rmtree(workdir)


def both(game, data_dir):
    test_without_display(game)
    test(game, data_dir)
    test_stop_signal(game, data_dir, signal.SIGTERM)
    test_stop_signal(game, data_dir, signal.SIGINT)


if __name__ == "__main__":
    run(both, sys.argv[1], sys.argv[2])
