"""Both programs end with status 2 and say why when no window opens; SIGTERM and Ctrl+C end the
game as quit does."""

import os
import signal
import subprocess
import sys
import tempfile

from harness import Game, check, run, session


def test(game, editor, data_dir):
    no_display = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    with tempfile.TemporaryDirectory() as scratch:
        for program in (game, editor):
            result = subprocess.run([program], cwd=scratch, env=no_display, capture_output=True,
                                    text=True, timeout=30)
            check(result.returncode == 2 and "Cannot register window class" in result.stderr,
                  "%s without a display: status %d, %r; expected 2 and \"Cannot register window "
                  "class\"" % (program, result.returncode, result.stderr))
    for number in (signal.SIGTERM, signal.SIGINT):
        with session(data_dir, "signal") as (display, workdir):
            running = Game(display, game, workdir)
            running.start()
            log = running.quit(number)
            check(log.startswith("**************************\n* This is Vorn II console *\n"),
                  "the log after signal %d lacks its start-up lines:\n%s" % (number, log))


if __name__ == "__main__":
    run(test, *sys.argv[1:])
