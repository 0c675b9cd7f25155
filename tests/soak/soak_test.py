"""Plays the sanitized game at random for minutes. It must take every input without a sanitizer
report, end with 1 on F12, and keep the whole session in its console log.

    soak_test.py GAME DATA_DIR [SECONDS] [--seed N] [--keep]

The input comes from a seeded generator. The seed is printed first; --seed N (or SOAK_SEED=N in
the environment) plays the same input again. What the game makes of it still depends on timing.
"""

import argparse
import collections
import contextlib
import glob
import os
import random
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import (BACK_REGION, CURSOR_CENTRE, PLAY_BUTTON, SHUTDOWN_LINES,  # noqa: E402
                     Display, Failure, Game, check, make_workdir, read_file)

# A sanitized game on a busy machine may fall far behind its input; a lost game never catches up.
CATCH_UP_SECONDS = 120
SYNC_EVERY_SECONDS = 5.0
ASAN_EXIT = 86
UBSAN_EXIT = 87
SANITIZER_SIGNS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
                   "UndefinedBehaviorSanitizer", "SUMMARY: AddressSanitizer")

WORDS = ["hello", "Frag", "rail", "ROCKET", "plasma", "arena", "gg", "again?", "100%", "%s%d%n",
         "a&b", "(x)", "-1", "[ok]", "{ }", "semi;colon", "quote'\"", "back\\slash", "a/b",
         "<tag>", "pipe|", "#1", "$5", "^_^", "*", "+=", "!", "@home", "1.5e3", ":"]
# No ` or ~: their key opens and closes the console and empties its input line.
PRINTABLE = ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
             " !@#$%^&*()-_=+[]{};:'\",.<>?/|\\")
# Prefixes for the Tab key; the name it completes to is checked by its start only.
TAB_PREFIXES = ["gra", "frame", "con_s", "con_", "s_v", "he", "cmd", "Pla", "zz"]

P1_WEAPONS = {"1": "rail", "2": "plasma", "3": "rocket"}
P2_WEAPONS = {"Insert": "rail", "Delete": "plasma", "End": "rocket"}
PLAY_KEYS = ["a", "d", "w", "t", "f", "space", "1", "2", "3", "q", "Left", "Right", "Up",
             "Insert", "Delete", "End", "KP_0"]

# However short the run, it does each of these at least once.
REQUIRED = ["walk", "jump", "aim", "fire p1 rail", "fire p1 plasma", "fire p1 rocket",
            "fire p2 rail", "fire p2 plasma", "fire p2 rocket", "cycle p1", "cycle p2",
            "mouse aim", "right click", "music pause", "music resume", "console line",
            "console closed by escape", "menu by escape", "play by escape", "play by click"]


def pick(rng, weighted):
    """One item of a list of (weight, item)."""
    left = rng.uniform(0, sum(weight for weight, _ in weighted))
    for weight, item in weighted:
        left -= weight
        if left <= 0:
            return item
    return weighted[-1][1]


class Soak:
    """Drives one game and keeps track of what it must be showing and must have logged.

    Keys and clicks reach the game in the order they are sent, so the menu and console states
    follow from them; each change is still confirmed on screen, which also keeps the input from
    running far ahead of a slow game. The pointer is not queued: the menu hit-tests where the
    cursor was at the last frame, so on the menu the pointer keeps away from the back button,
    which would end the game.
    """

    def __init__(self, display, game, rng):
        self.display = display
        self.game = game
        self.rng = rng
        self.in_play = False
        self.expected = []  # echoes the log must hold, in order: (exact?, text)
        self.history = []  # the game's history of run lines, oldest first, as far as known
        self.config_written = False
        self.counts = collections.Counter()
        self.began = time.monotonic()
        self.last_sync = self.began
        self.trail = collections.deque(maxlen=500)  # the last inputs, for a failure's report

    def note(self, what):
        self.trail.append("%.1f s %s%s: %s" % (
            time.monotonic() - self.began, "play" if self.in_play else "menu",
            "+console" if self.game.console_open else "", what))

    def pause(self, low, high):
        time.sleep(self.rng.uniform(low, high))
        self.game.alive()

    def hold(self, keys, seconds):
        self.note("hold %s for %.2f s" % (" ".join(keys), seconds))
        self.display.xdotool("keydown", *keys)
        time.sleep(seconds)
        self.display.xdotool("keyup", *keys)
        self.game.alive()

    def tap(self, *keys):
        self.note("key " + " ".join(keys))
        self.display.key(*keys)
        self.game.alive()

    def mouse(self, *args):
        self.note(" ".join(map(str, args)))
        self.display.xdotool(*map(str, args))
        self.game.alive()

    def type_text(self, text):
        self.note("type %r" % text)
        self.display.type(text, delay_ms=20)
        self.game.alive()

    def synced(self):
        self.last_sync = time.monotonic()

    def sync(self):
        """Opens and closes the console: once it is shut, the game has taken all input so far."""
        self.open_console()
        self.close_console()
        self.counts["catch-up"] += 1

    def random_point(self, avoid_back):
        left, top, width, height = BACK_REGION
        while True:
            x, y = self.rng.randrange(10, 790), self.rng.randrange(10, 590)
            near_back = left - 60 <= x <= left + width + 60 and top - 60 <= y <= top + height + 60
            if (x, y) != CURSOR_CENTRE and not (avoid_back and near_back):
                return x, y

    def finish(self):
        """Closes the console, makes sure of play and presses F12."""
        self.ensure_play()
        self.mouse_aim(moves=1)  # only play pulls the cursor back
        self.tap("F12")

    def ensure_play(self):
        if self.game.console_open:
            self.close_console()
        if not self.in_play:
            if self.rng.random() < 0.5:
                self.click_play()
            else:
                self.escape()

    def walk(self):
        keys = [self.rng.choice(["a", "d"] if self.rng.random() < 0.6 else ["Left", "Right"])]
        if self.rng.random() < 0.3:
            keys.append("w" if keys[0] in ("a", "d") else "Up")
            self.counts["jump"] += 1
        self.hold(keys, self.rng.uniform(0.1, 1.2))
        self.counts["walk"] += 1

    def jump(self):
        self.hold([self.rng.choice(["w", "Up"])], self.rng.uniform(0.05, 0.5))
        self.counts["jump"] += 1

    def aim(self):
        self.hold([self.rng.choice(["t", "f"])], self.rng.uniform(0.05, 0.8))
        self.counts["aim"] += 1

    def fire_p1(self, key=None):
        key = key or self.rng.choice(list(P1_WEAPONS))
        self.tap(key)
        self.pause(0.05, 0.2)
        self.hold(["space"], self.rng.uniform(0.05, 0.8))
        self.counts["fire p1 " + P1_WEAPONS[key]] += 1

    def fire_p2(self, key=None):
        key = key or self.rng.choice(list(P2_WEAPONS))
        self.tap(key)
        self.pause(0.05, 0.2)
        if self.rng.random() < 0.5:
            self.mouse("click", 1)
        else:
            self.mouse("mousedown", 1)
            time.sleep(self.rng.uniform(0.1, 0.8))
            self.mouse("mouseup", 1)
        self.counts["fire p2 " + P2_WEAPONS[key]] += 1

    def cycle(self, player=None):
        player = player or self.rng.choice([1, 2])
        self.tap("q" if player == 1 else "KP_0")
        self.counts["cycle p%d" % player] += 1
        if self.rng.random() < 0.5:
            if player == 1:
                self.hold(["space"], self.rng.uniform(0.05, 0.4))
            else:
                self.mouse("click", 1)

    def mouse_aim(self, moves=None):
        """Moves the pointer; in play the game pulls it back to the centre each time."""
        for _ in range(moves or self.rng.randint(1, 4)):
            self.mouse("mousemove", *self.random_point(avoid_back=False))
            self.game.wait_pointer_centred()
        self.counts["mouse aim"] += 1

    def right_click(self):
        self.mouse("click", 3)
        self.counts["right click"] += 1

    def music(self, key=None):
        key = key or self.rng.choice(["F8", "F9"])
        self.tap(key)
        self.counts["music pause" if key == "F8" else "music resume"] += 1

    def scramble(self):
        """Several keys at once, once and repeat bindings mixed, held into auto-repeat."""
        self.hold(self.rng.sample(PLAY_KEYS, self.rng.randint(2, 4)), self.rng.uniform(0.1, 1.5))
        self.counts["key scramble"] += 1


    def escape(self):
        """Escape closes the console and shows or hides the menu in the same press."""
        if self.game.console_open:
            self.counts["console closed by escape"] += 1
        self.tap("Escape")
        self.game.console_open = False
        self.in_play = not self.in_play
        if self.in_play:
            self.game.wait_world()
        else:
            self.game.wait_menu()
        self.synced()
        self.counts["play by escape" if self.in_play else "menu by escape"] += 1

    def click_play(self):
        self.note("click play")
        self.game.enter_play()
        self.in_play = True
        self.synced()
        self.counts["play by click"] += 1

    def menu_wander(self):
        for _ in range(self.rng.randint(1, 4)):
            # Over play the button pulses and sounds; a press is what would leave the menu.
            point = PLAY_BUTTON if self.rng.random() < 0.3 else self.random_point(avoid_back=True)
            self.mouse("mousemove", *point)
            self.pause(0.1, 0.6)
        self.counts["menu wander"] += 1

    def menu_click_nothing(self):
        while True:
            x, y = self.random_point(avoid_back=True)
            if not (PLAY_BUTTON[0] - 200 <= x <= PLAY_BUTTON[0] + 200 and 110 <= y <= 290):
                break
        self.mouse("mousemove", x, y)
        self.sync()  # the menu hit-tests where the cursor was at the last frame
        self.mouse("click", 1)
        self.sync()  # the pointer must not move on before the game has taken the press
        self.counts["menu click on nothing"] += 1

    def menu_keys(self):
        """Keys on the menu reach no binding."""
        self.tap(*self.rng.sample(PLAY_KEYS, self.rng.randint(1, 3)))
        self.counts["keys on the menu"] += 1


    def open_console(self):
        self.note("open the console")
        self.game.open_console()

    def close_console(self):
        self.note("close the console")
        self.game.close_console()
        self.synced()

    def console_session(self, close_with_escape=None):
        self.open_console()
        for _ in range(self.rng.randint(1, 3)):
            roll = self.rng.random()
            if roll < 0.15 and self.history:
                self.recall_line()
            elif roll < 0.27:
                self.complete_line()
            else:
                self.type_line(self.console_line())
            self.pause(0.1, 0.5)
        if close_with_escape is None:
            close_with_escape = self.rng.random() < 0.25
        if close_with_escape:
            self.escape()
        else:
            self.close_console()

    def type_line(self, line):
        self.type_text(line)
        self.tap("Return")
        kept = line[:80]  # the input line holds 80 characters
        self.expected.append((True, kept))
        if kept.lower().startswith("exec ") and kept.lower() != "exec nothing_here":
            self.history = []  # the file's own lines follow it into the history
        else:
            self.history.append(kept)
        self.counts["console line"] += 1

    def recall_line(self):
        depth = self.rng.randint(1, min(4, len(self.history)))
        self.tap(*(["Up"] * depth))
        if depth > 1 and self.rng.random() < 0.5:
            self.tap("Down")
            depth -= 1
        self.tap("Return")
        line = self.history[-depth]
        self.expected.append((True, line))
        self.history.append(line)
        self.counts["console recall"] += 1

    def complete_line(self):
        prefix = self.rng.choice(TAB_PREFIXES)
        self.type_text(prefix)
        self.tap("Tab")
        self.tap("Return")
        self.expected.append((False, prefix.lower()))
        self.history = []  # what Tab made of the line is known only by its start
        self.counts["console completion"] += 1

    def console_line(self):
        rng = self.rng

        def words():
            return " ".join(rng.choice(WORDS) for _ in range(rng.randint(1, 6)))

        def junk(low, high):
            return "".join(rng.choice(PRINTABLE) for _ in range(rng.randint(low, high)))

        def write_config():
            self.config_written = True
            return "writecfg soak"

        # Never con_clear: the log must keep the whole session. Never exit or quit: F12 ends it.
        return pick(rng, [
            (6, lambda: "players"),
            (3, lambda: rng.choice(["gravity", "framedelay", "con_speed", "s_volume", "Gravity"])),
            (3, lambda: "gravity %.2f" % rng.uniform(0.1, 1.0)),
            (2, lambda: "framedelay %d" % rng.randint(5, 60)),
            (2, lambda: "con_speed %d" % rng.randint(0, 4)),
            (2, lambda: "s_volume %d" % rng.randint(0, 65535)),
            (5, lambda: rng.choice(["say", "con_print", "SAY", "Say"]) + " " + words()),
            (1, lambda: rng.choice(["say", "exec", "writecfg", "con_print"])),
            (2, lambda: rng.choice(["help", "cmd_list", "cmd_list con_", "cmd_list s",
                                    "cmd_list zz"])),
            (2, write_config),
            (1, lambda: "exec soak" if self.config_written else "exec nothing_here"),
            (1, lambda: "con_savelog"),
            (2, lambda: rng.choice(["frobnicate", " players", "GRAVITY 0.3 0.4", "&(-)",
                                    "say " + junk(10, 30)])),
            (1, lambda: "say " + junk(77, 96)),  # longer than the input line
        ])()


    def cover_everything(self):
        """Each required kind of input once, from play, in an order the seed picks."""
        steps = [
            self.walk, self.jump, self.aim,
            lambda: self.fire_p1("1"), lambda: self.fire_p1("2"), lambda: self.fire_p1("3"),
            lambda: self.fire_p2("Insert"), lambda: self.fire_p2("Delete"),
            lambda: self.fire_p2("End"), lambda: self.cycle(1), lambda: self.cycle(2),
            self.mouse_aim, self.right_click, lambda: self.music("F8"),
            lambda: self.music("F9"), lambda: self.console_session(close_with_escape=False),
            lambda: self.console_session(close_with_escape=True),
            lambda: (self.escape(), self.pause(0.1, 0.6), self.escape()),
            lambda: (self.escape(), self.pause(0.1, 0.6), self.click_play()),
        ]
        self.rng.shuffle(steps)
        for step in steps:
            self.ensure_play()
            step()
            self.settle()

    def random_step(self):
        if self.in_play:
            step = pick(self.rng, [
                (10, self.walk), (4, self.jump), (4, self.aim), (6, self.fire_p1),
                (6, self.fire_p2), (3, self.cycle), (5, self.mouse_aim), (1, self.right_click),
                (2, self.music), (4, self.scramble), (4, self.console_session), (2, self.escape)])
        else:
            step = pick(self.rng, [
                (3, self.menu_wander), (1, self.menu_click_nothing), (1, self.menu_keys),
                (2, self.console_session), (3, self.escape), (3, self.click_play)])
        step()
        self.settle()

    def settle(self):
        """A short breath, and now and then a wait until the game has caught up."""
        self.pause(0.02, 0.3)
        if time.monotonic() - self.last_sync > SYNC_EVERY_SECONDS:
            self.sync()


def save_backtrace(pid, path):
    """Where a game that stopped answering is stuck, when gdb is at hand."""
    if shutil.which("gdb"):
        with open(path, "w") as f:
            subprocess.run(["gdb", "-p", str(pid), "-batch", "-ex", "thread apply all bt"],
                           stdout=f, stderr=subprocess.STDOUT, timeout=120, check=False)


def find_echoes(log, expected):
    """Finds each typed line's echo after the previous one; returns the first one missing."""
    at = 0
    for exact, text in expected:
        if exact:
            found = log.find("]" + text + "\n", at)
            end = found + len(text) + 2
        else:
            match = re.compile(r"^\]" + re.escape(text) + r"[^\n]*\n", re.M).search(log, at)
            found, end = (match.start(), match.end()) if match else (-1, 0)
        if found < 0:
            return text
        at = end
    return None


def asan_runtime(game):
    """The ASan runtime the game links, which must come first in a preload list."""
    out = subprocess.run(["ldd", game], capture_output=True, text=True, check=False).stdout
    found = re.search(r"libasan\.so\.\d+ => (\S+)", out)
    return found.group(1) if found else None


def sanitizer_environment(workdir, game):
    suppressions = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lsan.supp")
    env = {
        # Any report ends the game at once with a code of its own, into a file of the run.
        "ASAN_OPTIONS": ":".join([
            "halt_on_error=1", "exitcode=%d" % ASAN_EXIT, "detect_leaks=1",
            "detect_stack_use_after_return=1", "check_initialization_order=1",
            "strict_init_order=1", "log_path=" + os.path.join(workdir, "asan")]),
        "LSAN_OPTIONS": "suppressions=%s:print_suppressions=0" % suppressions,
        "UBSAN_OPTIONS": ":".join([
            "halt_on_error=1", "print_stacktrace=1", "exitcode=%d" % UBSAN_EXIT,
            "log_path=" + os.path.join(workdir, "ubsan")]),
        # The disk driver mixes in real time, so music and sounds really play.
        "SDL_AUDIODRIVER": "disk",
        "SDL_DISKAUDIOFILE": os.devnull,
    }
    # Mesa unloads its driver when the display closes, before the leak check runs: the blocks
    # its globals held would look leaked, with no module name left to suppress them by.
    # Loaded up front, the driver stays mapped to the end and its globals are scanned.
    driver = sorted(glob.glob("/usr/lib/*/dri/swrast_dri.so"))
    runtime = asan_runtime(game)
    if driver and runtime:
        env["LD_PRELOAD"] = runtime + " " + driver[0]
    return env


def sanitizer_reports(workdir, output):
    reports = []
    for path in sorted(glob.glob(os.path.join(workdir, "asan.*")) +
                       glob.glob(os.path.join(workdir, "ubsan.*"))):
        with open(path, errors="replace") as f:
            reports.append("--- %s\n%s" % (os.path.basename(path), f.read()))
    for sign in SANITIZER_SIGNS:
        if sign in output:
            reports.append("--- the game's output holds %r:\n%s" % (sign, output[-6000:]))
            break
    return reports


def soak(game, data_dir, seconds, seed, keep):
    how = ("build it with `make asan-game` and configure the tree with "
           "-DVORN_ASAN_GAME=<abs path>/build-asan/Vorn2 (make test does both)")
    check(game and os.access(game, os.X_OK), "no sanitized game at %r: %s" % (game, how))
    print("soak: seed %d, %d s of play (replay with --seed %d or SOAK_SEED=%d)"
          % (seed, seconds, seed, seed), flush=True)
    workdir = make_workdir(data_dir, "soak")
    for stale in ("console.log", "soak.cfg"):
        with contextlib.suppress(FileNotFoundError):
            os.remove(os.path.join(workdir, "basev2", stale))
    display = Display()
    run = None
    passed = False
    try:
        running = Game(display, game, workdir, sanitizer_environment(workdir, game),
                       CATCH_UP_SECONDS)
        program = running.program
        run = Soak(display, running, random.Random(seed))
        try:
            running.start()
            run.click_play()
            play_started = time.monotonic()
            run.cover_everything()
            while time.monotonic() - play_started < seconds:
                run.random_step()
            run.finish()
            code = program.wait_exit(90)
        except Failure as failure:
            if program.process.poll() is None:
                display.screenshot_png(os.path.join(workdir, "failure.png"))
                save_backtrace(program.process.pid, os.path.join(workdir, "backtrace.txt"))
            reports = sanitizer_reports(workdir, program.log_output())
            raise Failure("%s\nlast inputs (all in steps.txt):\n  %s\n%s" % (
                failure, "\n  ".join(list(run.trail)[-12:]), "\n".join(reports))) from None

        output = program.log_output()
        reports = sanitizer_reports(workdir, output)
        check(not reports, "sanitizer reports:\n" + "\n".join(reports))
        check(code == 1, "F12 ended the game with %d, expected 1\n%s" % (code, output[-3000:]))
        log = read_file(running.log_path) or ""
        check(log.startswith("**************************\n* This is Vorn II console *\n") and
              log.endswith(SHUTDOWN_LINES), "the log lacks its start-up or shut-down lines:\n%s"
              % (log[:400] + "\n...\n" + log[-400:]))
        missing = find_echoes(log, run.expected)
        check(missing is None, "typed line %r is not echoed in order in the log" % (missing,))
        missed = [kind for kind in REQUIRED if run.counts[kind] == 0]
        check(not missed, "the soak never did: " + ", ".join(missed))
        print("soak: %d lines typed, %d lines of log; %s" % (
            len(run.expected), log.count("\n"),
            ", ".join("%s %d" % item for item in sorted(run.counts.items()))))
        passed = True
    finally:
        display.close()
        if run and not passed:
            with open(os.path.join(workdir, "steps.txt"), "w") as f:
                f.write("\n".join(run.trail) + "\n")
        if passed and not keep:
            shutil.rmtree(workdir)
        else:
            print("soak: seed %d; the run's files are in %s" % (seed, workdir))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("game")
    parser.add_argument("data_dir")
    parser.add_argument("seconds", nargs="?", type=int, default=300)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--keep", action="store_true", help="keep the run's files after a pass")
    args = parser.parse_args()
    seed = args.seed
    if seed is None and os.environ.get("SOAK_SEED"):
        seed = int(os.environ["SOAK_SEED"])
    if seed is None:
        seed = random.SystemRandom().randrange(1 << 31)
    try:
        soak(args.game, args.data_dir, args.seconds, seed, args.keep)
    except Failure as failure:
        print("FAILED:", failure)
        sys.exit(1)
    print("passed")


if __name__ == "__main__":
    main()
