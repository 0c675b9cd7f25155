"""Runs the real programs under a private Xvfb and drives them as a player would. Every step
waits for something they show or write, with a deadline generous enough for software OpenGL on
two shared cores."""

import contextlib
import ctypes
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

SCREEN_WIDTH = 800
SCREEN_HEIGHT = 600
GAME_TITLE = "Vorn II"
EDITOR_TITLE = "Vorn2 Forge"
START_DEADLINE_S = 60  # a first frame of software OpenGL on a loaded machine
STEP_DEADLINE_S = 30
SHUTDOWN_LINES = "]con_savelog\nLog basev2/console.log created!\n"


# Boxes are (left, top, width, height) in pixels of the 800x600 picture. The menu's buttons are
# where menu/menu.cpp draws them: play over world (0.35, 0.7)-(1.95, 1.3), back mirrored.
PLAY_REGION = (435, 170, 160, 60)
PLAY_BUTTON = (515, 200)  # where a click presses play
PLAY_PATCH = (445, 178, 45, 44)  # the button's left part, clear of the cursor on PLAY_BUTTON
CURSOR_CENTRE = (400, 300)  # where play pulls the pointer back to
MENU_BACKGROUND = os.path.join("textures", "menu", "bg_0.bmp")  # the whole screen, 1:1
PLAY_PICTURES = (os.path.join("textures", "menu", "play_0.bmp"),
                 os.path.join("textures", "menu", "play_1.bmp"))
# Lower-half patches of the menu's background: the open console never reaches them, nor the
# credit lines, nor the menu's cursor while the pointer is at PLAY_BUTTON or CURSOR_CENTRE.
MENU_PROBES = [(30, 420, 120, 40), (340, 470, 120, 40), (620, 420, 120, 40), (200, 515, 120, 30)]
CONSOLE_REGION = (0, 0, SCREEN_WIDTH, 290)  # inside the open console, above its input line
CONSOLE_OPEN_ROWS = (299, 300)  # the open console's red lower edge
WORLD_TOP_ROW = 300  # the world check looks below the open console
HELP_LINE = (200, 574, 600, 20)  # the editor's red "Please, read the file 'Help.txt'"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(condition, deadline_s, what, seen=None):
    """Polls `condition` until it returns a true value; `seen()` describes a timeout's state."""
    end = time.monotonic() + deadline_s
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            message = "timed out after %g s waiting for %s" % (deadline_s, what)
            if seen is not None:
                message += "; saw " + seen()
            raise Failure(message)
        time.sleep(0.05)


def _die_with_parent():
    """Runs in a child before exec: the kernel kills it when this script ends, however it ends."""
    ctypes.CDLL(None).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


class Display:
    """A private X server of `size` at 24 bits; it ends the programs started on it as it closes."""

    def __init__(self, size="800x600"):
        self.width, self.height = (int(side) for side in size.split("x"))
        self.programs = []
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            # -noreset: an X server resets when its last client leaves, and refuses
            # connections while it does; the polling here leaves it often.
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", size + "x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=_die_with_parent)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.close()
            raise Failure("Xvfb did not start")
        self.name = ":" + number

    def env(self, extra=None):
        env = dict(os.environ)
        env["DISPLAY"] = self.name
        env.pop("WAYLAND_DISPLAY", None)
        env.setdefault("SDL_AUDIODRIVER", "dummy")
        if extra:
            env.update(extra)
        return env

    def xdotool(self, *args, check=True):
        """Runs xdotool on this display; a failed call raises unless `check` is false."""
        result = subprocess.run(["xdotool", *args], env=self.env(), capture_output=True,
                                text=True, check=False)
        # An unknown key name is only a warning to xdotool, which then presses nothing.
        if check and (result.returncode != 0 or "No such key name" in result.stderr):
            raise Failure("xdotool %s failed (exit status %d): %s" % (
                " ".join(args), result.returncode, result.stderr.strip() or "(no message)"))
        return result

    def key(self, *keys, delay_ms=30):
        self.xdotool("key", "--delay", str(delay_ms), *keys)

    def type(self, text, delay_ms=30):
        self.xdotool("type", "--delay", str(delay_ms), text)

    def move(self, x, y, sync=True):
        """Moves the pointer; with `sync`, returns once the X server has it there (never use it
        where a program pulls the pointer straight back)."""
        self.xdotool("mousemove", *(["--sync"] if sync else []), str(x), str(y))

    @contextlib.contextmanager
    def held(self, key):
        """Holds `key` down for the `with` block and lets it go however the block ends."""
        self.xdotool("keydown", key)
        try:
            yield
        finally:
            self.xdotool("keyup", key, check=False)

    def pointer(self):
        out = self.xdotool("getmouselocation", "--shell").stdout
        found = dict(re.findall(r"(\w+)=(\d+)", out))
        return int(found.get("X", -1)), int(found.get("Y", -1))

    def window_visible(self, title):
        # search ends with 1 when nothing matches: an answer, not a failure
        result = self.xdotool("search", "--onlyvisible", "--name", title, check=False)
        return result.returncode == 0 and result.stdout.strip() != ""

    def screenshot_rgb(self, *convert_args, size=None):
        """The screen (after `convert_args` to ImageMagick) as raw RGB bytes, top row first."""
        width, height = size or (self.width, self.height)
        xwd = subprocess.run(["xwd", "-root", "-silent"], env=self.env(), capture_output=True,
                             check=True).stdout
        rgb = subprocess.run(["convert", "xwd:-", *convert_args, "-depth", "8", "rgb:-"],
                             input=xwd, capture_output=True, check=True).stdout
        check(len(rgb) == width * height * 3,
              "a screenshot of %d bytes, expected %d" % (len(rgb), width * height * 3))
        return rgb

    def wait_screen(self, shown, what, deadline_s=STEP_DEADLINE_S):
        """Returns the first screenshot for which `shown(rgb)` holds."""
        return wait_for(lambda: (lambda rgb: shown(rgb) and rgb)(self.screenshot_rgb()),
                        deadline_s, what)

    def settled(self):
        """A screenshot once two in a row are the same: the picture has caught up and is still."""
        shots = [self.screenshot_rgb()]

        def same_twice():
            shots.append(self.screenshot_rgb())
            return shots[-1] == shots[-2] and max(shots[-1]) > 0 and shots[-1]
        return wait_for(same_twice, START_DEADLINE_S, "a settled picture")

    def close(self):
        for program in self.programs:
            program.kill()
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class Program:
    """One run of a program (`argv`: its path, or its path and arguments) inside `workdir`."""

    def __init__(self, display, argv, workdir, title, env=None):
        self.display = display
        self.title = title
        self.output_path = os.path.join(workdir, "output-%d.txt" % len(display.programs))
        self.output = open(self.output_path, "w")
        argv = [argv] if isinstance(argv, str) else list(argv)
        # The program runs in its working directory: a relative path is taken from here.
        self.process = subprocess.Popen([os.path.abspath(argv[0])] + argv[1:], cwd=workdir,
                                        env=display.env(env), stdout=self.output,
                                        stderr=subprocess.STDOUT, preexec_fn=_die_with_parent)
        display.programs.append(self)

    def wait_visible(self, deadline_s=START_DEADLINE_S):
        wait_for(lambda: self.process.poll() is not None or
                 self.display.window_visible(self.title), deadline_s,
                 "the window \"%s\"" % self.title, lambda: "none; output:\n" + self.log_output())
        self.alive()

    def alive(self):
        code = self.process.poll()
        check(code is None, "%s ended with %s; output:\n%s" % (
            self.title, code, self.log_output()[-2000:]))

    def wait_exit(self, deadline_s=STEP_DEADLINE_S):
        try:
            return self.process.wait(timeout=deadline_s)
        except subprocess.TimeoutExpired:
            self.kill()
            raise Failure("%s did not end within %g s; output:\n%s" % (
                self.title, deadline_s, self.log_output()[-2000:]))

    def expect_exit(self, code=1, deadline_s=STEP_DEADLINE_S):
        ended = self.wait_exit(deadline_s)
        check(ended == code, "%s ended with %s, expected %d; output:\n%s" % (
            self.title, ended, code, self.log_output()[-2000:]))

    def log_output(self):
        if not self.output.closed:
            self.output.flush()
        with open(self.output_path, errors="replace") as f:
            return f.read()

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.output.close()


@contextlib.contextmanager
def session(data_dir, name, size="800x600"):
    """A display and a scratch directory, with a copy of `data_dir` (if given) as basev2/, for
    one test: yields (display, workdir). Programs on the display end with it; a failure keeps
    the directory."""
    workdir = tempfile.mkdtemp(prefix="vorn-e2e-" + name + "-")
    if data_dir:
        shutil.copytree(data_dir, os.path.join(workdir, "basev2"))
    display = Display(size)
    try:
        yield display, workdir
    except BaseException:
        print("the run's files (program output, console log) are in", workdir)
        raise
    finally:
        display.close()
    shutil.rmtree(workdir)


def run(test, *args):
    """Runs `test(*args)`, prints the verdict and exits with the test's status."""
    # A terminated script still runs its clean-ups: no display or program outlives it.
    signal.signal(signal.SIGTERM, lambda number, frame: sys.exit(128 + number))
    try:
        test(*args)
    except Failure as failure:
        print("FAILED:", failure)
        sys.exit(1)
    print("passed")
    sys.exit(0)


def read_file(path, mode="r"):
    """A file's text (bytes with mode "rb"), or None while there is none."""
    try:
        with open(path, mode, **({} if "b" in mode else {"errors": "replace"})) as f:
            return f.read()
    except FileNotFoundError:
        return None


def read_map(path):
    """The 600 cell codes of a map file, in cell index order (column-major)."""
    data = read_file(path, "rb")[:1200]
    return [int.from_bytes(data[i:i + 2], "little", signed=True) for i in range(0, len(data), 2)]


def write_map(path, cells):
    with open(path, "wb") as f:
        f.write(b"".join(code.to_bytes(2, "little", signed=True) for code in cells))


def cell_box(column, row):
    """The inside of a map cell on the 800x600 picture, clear of its edges."""
    return column * 40 + 6, row * 20 + 4, 28, 12


def read_bmp(path):
    """(width, height, RGB bytes top row first) of a picture."""
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], capture_output=True,
                         check=True).stdout
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
    return int(header[1]), int(header[2]), ppm[header.end():]


def bmp_mean_colour(path):
    """Mean (r, g, b) of a picture, ignoring pure black (the colour key)."""
    _, _, rgb = read_bmp(path)
    texels = [rgb[i:i + 3] for i in range(0, len(rgb), 3) if any(rgb[i:i + 3])]
    return tuple(sum(t[c] for t in texels) / max(len(texels), 1) for c in range(3))


def region_row(rgb, left, y, width, image_width=SCREEN_WIDTH):
    start = (y * image_width + left) * 3
    return rgb[start:start + width * 3]


def region_bytes(rgb, left, top, width, height, image_width=SCREEN_WIDTH):
    return b"".join(region_row(rgb, left, y, width, image_width) for y in range(top, top + height))


def region_mean(rgb, left, top, width, height):
    """Mean (r, g, b) of a rectangle of a top-to-bottom 800x600 RGB screenshot."""
    pixels = region_bytes(rgb, left, top, width, height)
    return tuple(sum(pixels[c::3]) / (width * height) for c in range(3))


def red_pixels(rgb, box):
    """How many pixels of `box` show the red of the programs' warning lines."""
    pixels = region_bytes(rgb, *box)
    return sum(r > 150 and g < 80 and b < 80
               for r, g, b in zip(pixels[0::3], pixels[1::3], pixels[2::3]))


def changed_pixels(before, after, left, top, width, height, threshold=60):
    """How many pixels of a rectangle differ between two screenshots by more than `threshold`
    (the sum of the three channels' differences)."""
    a, b = (region_bytes(rgb, left, top, width, height) for rgb in (before, after))
    return sum(abs(a[i] - b[i]) + abs(a[i + 1] - b[i + 1]) + abs(a[i + 2] - b[i + 2]) > threshold
               for i in range(0, len(a), 3))


def distance(a, b):
    return sum((x - y) ** 2 for x, y in zip(a, b)) ** 0.5


def console_edge_row(rgb):
    """The row of the console's red lower edge in the upper half, or None when it is hidden."""
    for y in range(SCREEN_HEIGHT // 2 + 2):
        row = region_row(rgb, 0, y, SCREEN_WIDTH)
        samples = [row[x * 3:x * 3 + 3] for x in range(0, SCREEN_WIDTH, 20)]
        if sum(r > 180 and g < 60 and b < 60 for r, g, b in samples) >= 0.8 * len(samples):
            return y
    return None


def rms(path, start, end):
    """The loudness of the disk audio driver's S16 samples from byte `start` to `end`."""
    with open(path, "rb") as f:
        f.seek(start)
        data = f.read(max(0, end - start) // 2 * 2)
    samples = struct.unpack("<%dh" % (len(data) // 2), data)
    return (sum(s * s for s in samples) / len(samples)) ** 0.5 if samples else 0.0


AUDIO_BYTES_PER_SECOND = 44100 * 2 * 2  # the disk driver's S16 stereo


def loudest(path, start, end=None):
    """The highest rms of any tenth of a second from byte `start` on: a short shot stands out
    however long the silence around it."""
    end = os.path.getsize(path) if end is None else end
    window = AUDIO_BYTES_PER_SECOND // 10
    return max((rms(path, at, min(at + window, end)) for at in range(start, end, window)),
               default=0.0)


def start_editor(display, editor, basev2, *args):
    """The editor on maps of `basev2`, once it has drawn its first frame."""
    program = Program(display, [editor, *args], basev2,
                      EDITOR_TITLE + "".join(" - " + a for a in args))
    program.wait_visible()
    first = display.wait_screen(lambda rgb: red_pixels(rgb, HELP_LINE) > 100,
                                "the editor's help line")
    return program, first


PLAYER_LINE = re.compile(r"player (\d): x (-?[\d.]+) y (-?[\d.]+) health (-?\d+) weapon (\d+)")


class Game:
    """The game (or its probe build) on a display: its menu, its world and its console, as
    the screen and the console log show them."""

    def __init__(self, display, argv, workdir, env=None, step_s=STEP_DEADLINE_S):
        self.display = display
        self.step_s = step_s  # each step's deadline
        self.basev2 = os.path.join(workdir, "basev2")
        self.log_path = os.path.join(self.basev2, "console.log")
        # With no `argv` it only watches a game another program started.
        self.program = argv and Program(display, argv, workdir, GAME_TITLE, env)
        self.alive = self.program.alive if argv else lambda: None
        self.console_open = False
        self._menu_look = None
        self._play_looks = None
        self._bricks = None

    def shows_menu(self, rgb):
        if self._menu_look is None:
            width, height, background = read_bmp(os.path.join(self.basev2, MENU_BACKGROUND))
            check((width, height) == (SCREEN_WIDTH, SCREEN_HEIGHT),
                  "the menu background is %dx%d, expected the screen's size" % (width, height))
            self._menu_look = [region_mean(background, *probe) for probe in MENU_PROBES]
        return all(distance(region_mean(rgb, *probe), look) < 12
                   for probe, look in zip(MENU_PROBES, self._menu_look))

    def play_lit(self, rgb):
        """Whether a frame drawn with the cursor on play shows its hover picture."""
        if self._play_looks is None:
            _, _, background = read_bmp(os.path.join(self.basev2, MENU_BACKGROUND))
            self._play_looks = [self._button_patch(background, p) for p in PLAY_PICTURES]
        seen = region_mean(rgb, *PLAY_PATCH)
        normal, hover = self._play_looks
        return distance(seen, hover) < distance(seen, normal)

    def _button_patch(self, background, picture):
        """The mean colour of PLAY_PATCH with `picture` drawn over the button's region."""
        width, height, rgb = read_bmp(os.path.join(self.basev2, picture))
        button_left, button_top, button_width, button_height = PLAY_REGION
        left, top, patch_width, patch_height = PLAY_PATCH
        total = [0, 0, 0]
        for y in range(top, top + patch_height):
            v = (y - button_top) * height // button_height
            for x in range(left, left + patch_width):
                u = (x - button_left) * width // button_width
                texel = rgb[(v * width + u) * 3:(v * width + u) * 3 + 3]
                if not any(texel):  # black is the colour key: the background shows through
                    texel = background[(y * SCREEN_WIDTH + x) * 3:(y * SCREEN_WIDTH + x) * 3 + 3]
                for c in range(3):
                    total[c] += texel[c]
        return tuple(t / (patch_width * patch_height) for t in total)

    def bricks_shown(self, rgb):
        """(matched, total): how many brick cells of v2dm1 below the open console show their
        brick."""
        if self._bricks is None:
            cells = read_map(os.path.join(self.basev2, "maps", "v2dm1.vsm"))
            textures = os.path.join(self.basev2, "textures", "briks")
            means = {code: bmp_mean_colour(os.path.join(textures, "br%d.bmp" % code))
                     for code in range(1, 8)}
            cells = [(index // 30, index % 30, code) for index, code in enumerate(cells)
                     if 1 <= code <= 7 and index % 30 * 20 >= WORLD_TOP_ROW]
            self._bricks = cells, means
        cells, means = self._bricks
        matched = 0
        for column, row, code in cells:
            seen = region_mean(rgb, *cell_box(column, row))
            nearest = min(means, key=lambda c: distance(means[c], seen))
            matched += nearest == code and distance(means[code], seen) < 60
        return matched, len(cells)

    def shows_world(self, rgb):
        # Players and shots may cover a few cells.
        matched, total = self.bricks_shown(rgb)
        return total > 0 and matched >= 0.85 * total

    def wait_screen(self, shown, what, deadline_s=None):
        def condition(rgb):
            self.alive()
            return shown(rgb)
        return self.display.wait_screen(condition, what, deadline_s or self.step_s)

    def start(self):
        """Waits for the window and its first frame: the menu."""
        self.program.wait_visible()
        self.wait_menu(max(START_DEADLINE_S, self.step_s))

    def wait_menu(self, deadline_s=None):
        return self.wait_screen(self.shows_menu, "the menu", deadline_s)

    def wait_world(self):
        return self.wait_screen(self.shows_world, "the world")

    def enter_play(self, world=None):
        """Presses play on the menu and waits for the world (v2dm1 unless `world(rgb)` says)."""
        self.display.move(*PLAY_BUTTON)
        # The menu hit-tests where the cursor was at the last frame: click once a frame has
        # shown the button lit under it.
        self.wait_screen(self.play_lit, "the play button to light up under the pointer")
        self.display.xdotool("click", "1")
        return self.wait_screen(world or self.shows_world, "the world")

    def wait_pointer_centred(self):
        """In play the game pulls the pointer back to the centre in its next tick."""
        def centred():
            self.alive()
            return self.display.pointer() == CURSOR_CENTRE
        wait_for(centred, self.step_s,
                 "the game to pull the pointer back to %s" % (CURSOR_CENTRE,),
                 lambda: "it at %s" % (self.display.pointer(),))

    def nudge_aim(self, pixels):
        """Moves the pointer `pixels` down in play and waits until a tick has taken it: player 2
        turns its aim by pixels / 5 degrees."""
        self.display.move(CURSOR_CENTRE[0], CURSOR_CENTRE[1] + pixels, sync=False)
        self.wait_pointer_centred()

    def wait_frames(self, count):
        """Waits for `count` new frames, each a change of the picture: the open console's
        background moves by itself; in play player 2's crosshair is moved a little, one way
        then back."""
        region = CONSOLE_REGION if self.console_open else (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)
        step = [25]
        for done in range(count):
            before = region_bytes(self.display.screenshot_rgb(), *region)
            if not self.console_open:
                step[0] = -step[0]
                self.nudge_aim(step[0])
            self.wait_screen(lambda rgb: region_bytes(rgb, *region) != before,
                             "change %d of %d of the picture at %s" % (done + 1, count, region))

    def open_console(self):
        self.display.key("grave")
        self.console_open = True
        self.wait_screen(lambda rgb: console_edge_row(rgb) in CONSOLE_OPEN_ROWS,
                         "the console to open")

    def close_console(self):
        self.display.key("grave")
        self.console_open = False
        self.wait_screen(lambda rgb: console_edge_row(rgb) is None, "the console to close")

    def command(self, *lines):
        """Types lines into the open console."""
        for line in lines:
            self.display.type(line)
            self.display.key("Return")

    def save_log(self):
        """con_savelog through the open console; returns the log once the game has written it."""
        if os.path.exists(self.log_path):
            os.remove(self.log_path)
        self.command("con_savelog")
        text = [None]

        def written():
            self.alive()
            text[0] = read_file(self.log_path)
            return text[0] is not None and text[0].endswith("]con_savelog\n")
        wait_for(written, self.step_s, "basev2/console.log to end with ]con_savelog",
                 lambda: repr(text[0][-300:]) if text[0] else "no file")
        return text[0]

    def console(self, *lines):
        """Types `lines` into the console, opened for them if need be, and returns the log."""
        was_open = self.console_open
        if not was_open:
            self.open_console()
        self.command(*lines)
        log = self.save_log()
        if not was_open:
            self.close_console()
        return log

    def players(self):
        """Both players' (x, y, health, weapon) from the probe build's `players` command; opening
        the console lets go of held keys."""
        log = self.console("players")
        found = PLAYER_LINE.findall(log.split("]players\n")[-1])
        check(len(found) >= 2, "no player lines in the log:\n" + log[-400:])
        return {int(p): (float(x), float(y), int(h), int(w)) for p, x, y, h, w in found[:2]}

    def quit(self, how="F12"):
        """Ends the game by a key, a typed command or a signal: each is the player's way out,
        with status 1 and the log saved with its shut-down lines. Returns the log."""
        if isinstance(how, int):
            self.program.process.send_signal(how)
        elif self.console_open:
            self.command(how)
        else:
            self.display.key(how)
        self.program.expect_exit(1)
        log = read_file(self.log_path)
        check(log is not None and log.endswith(SHUTDOWN_LINES),
              "the log after %s does not end with the shut-down lines:\n%s" % (how, log))
        return log
