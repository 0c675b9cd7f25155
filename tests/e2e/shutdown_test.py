"""Both programs end with status 2 and say why when no window opens; SIGTERM and Ctrl+C end the
game as quit does."""

import signal
import sys
import tempfile

from harness import Game, check, run, run_without_display, session


def test(game, editor, data_dir):
    with tempfile.TemporaryDirectory() as scratch:
        for program in (game, editor):
            result = run_without_display([program], scratch)
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
