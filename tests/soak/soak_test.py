"""Plays the game built with AddressSanitizer and UBSan at random for a time. It must take every
input without a sanitizer report or a leak, end with 1 on F12 and log its start and its end.

    soak_test.py GAME DATA_DIR [SECONDS] [--seed N]

The seed is printed first; --seed N (or SOAK_SEED=N) plays the same input again. What the game
makes of it still depends on timing.
"""

import argparse
import glob
import os
import random
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import (CURSOR_CENTRE, SHUTDOWN_LINES, Failure, Game, check,  # noqa: E402
                     read_file, run, session)

CATCH_UP_SECONDS = 120  # a sanitized game on a busy machine may fall far behind its input
SYNC_EVERY_SECONDS = 5.0
START_LINES = "**************************\n* This is Vorn II console *\n"
# Walking, jumping, aiming, firing and weapons of both players; no Escape, F12 or console key.
PLAY_KEYS = ["a", "d", "w", "t", "f", "space", "1", "2", "3", "q", "Left", "Right", "Up",
             "Insert", "Delete", "End", "KP_0"]
WEAPONS = [("1", "Insert"), ("2", "Delete"), ("3", "End")]  # player 1's and player 2's keys
WORDS = ["hello", "Frag", "gg", "100%", "%s%d%n", "quote'\"", "back\\slash", "<tag>", "1.5e3"]
PRINTABLE = "abcXYZ019 !@#$%^&*()-_=+[]{};:'\",.<>?/|\\"  # no ` or ~: they toggle the console
TAB_PREFIXES = ["gra", "con_s", "s_v", "he", "cmd", "zz"]


def console_line(rng):
    """A line to type; never con_clear, exit or quit: the log keeps the session, F12 ends it."""
    words = " ".join(rng.choice(WORDS) for _ in range(rng.randint(1, 6)))
    junk = "".join(rng.choice(PRINTABLE) for _ in range(rng.randint(1, 96)))  # input line: 80
    return rng.choice([
        "gravity %.2f" % rng.uniform(0.1, 1.0), "framedelay %d" % rng.randint(5, 60),
        "con_speed %d" % rng.randint(0, 4), "s_volume %d" % rng.randint(0, 65535), "Gravity",
        "say " + words, "con_print " + words, "say", "help", "cmd_list con_", "writecfg soak",
        "exec soak", "exec nothing_here", "con_savelog", "GRAVITY 0.3 0.4", "say " + junk])


class Soak:
    """Keys and clicks reach the game in order, so the menu and console states follow from them;
    each change is still waited for on screen, which keeps the input from running far ahead.
    Clicks come only in play: on the menu the back button would end the game."""

    def __init__(self, display, game, rng):
        self.display, self.game, self.rng = display, game, rng
        self.in_play = False
        self.last_sync = time.monotonic()

    def hold(self, keys, longest=1.0):
        self.display.xdotool("keydown", *keys)
        time.sleep(self.rng.uniform(0.05, longest))  # how long a player holds, not a wait
        self.display.xdotool("keyup", *keys)
        self.game.alive()

    def keys(self):
        self.hold(self.rng.sample(PLAY_KEYS, self.rng.randint(1, 4)), 1.5)

    def fire(self, weapons=None):
        self.display.key(*(weapons or self.rng.choice(WEAPONS)))
        self.hold(["space"])
        self.display.xdotool("click", "1")

    def mouse(self):
        """Moves the pointer, which play pulls back to the centre, and clicks either button."""
        point = CURSOR_CENTRE
        while point == CURSOR_CENTRE:
            point = self.rng.randrange(10, 790), self.rng.randrange(10, 590)
        self.display.move(*point, sync=False)
        self.game.wait_pointer_centred()
        self.display.xdotool("click", self.rng.choice(["1", "3"]))

    def music(self):
        self.display.key(self.rng.choice(["F8", "F9"]))

    def escape(self):
        """Escape closes the console and shows or hides the menu in the same press."""
        self.display.key("Escape")
        self.game.console_open = False
        self.in_play = not self.in_play
        (self.game.wait_world if self.in_play else self.game.wait_menu)()
        self.last_sync = time.monotonic()

    def click_play(self):
        self.game.enter_play()
        self.in_play = True

    def console(self):
        self.game.open_console()
        for _ in range(self.rng.randint(1, 3)):
            roll = self.rng.random()
            if roll < 0.15:
                self.display.key("Up", "Up", "Return")  # an earlier line again
            elif roll < 0.3:
                self.display.type(self.rng.choice(TAB_PREFIXES))
                self.display.key("Tab", "Return")
            else:
                self.display.type(console_line(self.rng), delay_ms=20)
                self.display.key("Return")
        if self.rng.random() < 0.25:
            self.escape()
        else:
            self.game.close_console()
            self.last_sync = time.monotonic()

    def cover_everything(self):
        """Each kind of input once, in an order the seed picks, so a short run misses none."""
        steps = [self.keys, self.mouse, self.music, self.console,
                 lambda: (self.escape(), self.escape()), lambda: (self.escape(), self.click_play())]
        steps += [lambda weapons=weapons: self.fire(weapons) for weapons in WEAPONS]
        self.rng.shuffle(steps)
        for step in steps:
            if not self.in_play:
                self.click_play()
            step()

    def random_step(self):
        if self.in_play:
            steps = [self.keys] * 4 + [self.fire] * 3 + [self.mouse] * 2 + [
                self.music, self.console, self.escape]
        else:
            steps = [lambda: self.display.key(*self.rng.sample(PLAY_KEYS, 2)), self.console,
                     self.escape, self.click_play]
        self.rng.choice(steps)()
        self.game.alive()
        if time.monotonic() - self.last_sync > SYNC_EVERY_SECONDS:
            # Once the console has opened and closed, the game has taken all input so far.
            self.game.open_console()
            self.game.close_console()
            self.last_sync = time.monotonic()

    def finish(self):
        if self.game.console_open:
            self.game.close_console()
        if not self.in_play:
            self.click_play()
        self.display.key("F12")


def sanitizer_environment(workdir, game):
    suppressions = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lsan.supp")
    env = {
        # A report ends the game at once with a status of its own, into a file of the run.
        "ASAN_OPTIONS": "halt_on_error=1:exitcode=86:detect_leaks=1:"
                        "detect_stack_use_after_return=1:log_path=" + os.path.join(workdir, "asan"),
        "LSAN_OPTIONS": "suppressions=%s:print_suppressions=0" % suppressions,
        "UBSAN_OPTIONS": "halt_on_error=1:exitcode=87:print_stacktrace=1:log_path=" +
                         os.path.join(workdir, "ubsan"),
        # The disk driver mixes in real time, so music and sounds really play.
        "SDL_AUDIODRIVER": "disk",
        "SDL_DISKAUDIOFILE": os.devnull,
    }
    # Mesa unloads its driver when the display closes, before the leak check runs: the blocks
    # its globals held would look leaked, with no module name left to suppress them by.
    # Loaded up front (after the ASan runtime, which must come first), it stays mapped.
    driver = sorted(glob.glob("/usr/lib/*/dri/swrast_dri.so"))
    ldd = subprocess.run(["ldd", game], capture_output=True, text=True, check=False).stdout
    runtime = re.search(r"libasan\.so\.\d+ => (\S+)", ldd)
    if driver and runtime:
        env["LD_PRELOAD"] = runtime.group(1) + " " + driver[0]
    return env


def sanitizer_reports(workdir, output):
    reports = ["--- %s\n%s" % (os.path.basename(path), read_file(path))
               for path in sorted(glob.glob(os.path.join(workdir, "*san.*")))]
    if "Sanitizer" in output or "runtime error:" in output:
        reports.append("--- the game's output:\n" + output[-6000:])
    return "\n".join(reports)


def soak(game, data_dir, seconds, seed):
    check(game and os.access(game, os.X_OK), "no sanitized game at %r: build it with `make "
          "asan-game` and configure with -DVORN_ASAN_GAME=<abs path>/build-asan/Vorn2" % game)
    print("soak: seed %d, %d s of play" % (seed, seconds), flush=True)
    with session(data_dir, "soak") as (display, workdir):
        running = Game(display, game, workdir, sanitizer_environment(workdir, game),
                       CATCH_UP_SECONDS)
        player = Soak(display, running, random.Random(seed))
        try:
            running.start()
            began = time.monotonic()
            player.cover_everything()
            while time.monotonic() - began < seconds:
                player.random_step()
            player.finish()
            code = running.program.wait_exit(90)
        except Failure as failure:
            raise Failure("%s\n%s" % (failure, sanitizer_reports(
                workdir, running.program.log_output()))) from None
        output = running.program.log_output()
        reports = sanitizer_reports(workdir, output)
        check(not reports, "sanitizer reports:\n" + reports)
        check(code == 1, "F12 ended the game with %d, expected 1\n%s" % (code, output[-3000:]))
        log = read_file(running.log_path) or ""
        check(log.startswith(START_LINES) and log.endswith(SHUTDOWN_LINES),
              "the log lacks its start-up or shut-down lines:\n%s\n...\n%s" % (log[:400],
                                                                              log[-400:]))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("game")
    parser.add_argument("data_dir")
    parser.add_argument("seconds", nargs="?", type=int, default=300)
    parser.add_argument("--seed", type=int,
                        default=int(os.environ.get("SOAK_SEED") or
                                    random.SystemRandom().randrange(1 << 31)))
    args = parser.parse_args()
    run(soak, args.game, args.data_dir, args.seconds, args.seed)


if __name__ == "__main__":
    main()
