"""Runs the real programs under a private Xvfb and drives them as a player would.

Every step waits for something the programs show or write (a window, a picture on the screen, a
file, a log line, the pointer pulled back), each with a deadline; nothing waits for a fixed time.
The deadlines are generous: software OpenGL may share two cores with other work.
"""

import contextlib
import ctypes
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SCREEN_WIDTH = 800
SCREEN_HEIGHT = 600
GAME_TITLE = "Vorn II"
START_DEADLINE_S = 60  # a first frame of software OpenGL on a loaded machine
STEP_DEADLINE_S = 30


def world_to_pixel(x, y):
    """The screen pixel of a world point: 100 pixels a unit, (0, 0) at the centre."""
    return round((x + 4.0) * 100), round((3.0 - y) * 100)


def rect_to_pixels(rect):
    """A world rectangle (left, bottom, right, top) as (left, top, width, height) in pixels."""
    left, top = world_to_pixel(rect[0], rect[3])
    right, bottom = world_to_pixel(rect[2], rect[1])
    return left, top, right - left, bottom - top


def centre(region):
    left, top, width, height = region
    return left + width // 2, top + height // 2


# The menu's layout in world units (left, bottom, right, top), as menu/menu.cpp draws it; the
# regions below are (left, top, width, height) in pixels of the 800x600 picture.
PLAY_RECT = (0.35, 0.7, 1.95, 1.3)
BACK_RECT = (-1.95, 0.7, -0.35, 1.3)
MENU_CURSOR_SIZE = 40  # the menu's cursor picture is 0.4 units square, centred on the pointer
PLAY_REGION = rect_to_pixels(PLAY_RECT)
BACK_REGION = rect_to_pixels(BACK_RECT)
PLAY_BUTTON = centre(PLAY_REGION)  # where a click presses play: (515, 200)
BACK_BUTTON = centre(BACK_REGION)
# The play button's left part, clear of the menu's cursor while the pointer is on PLAY_BUTTON.
PLAY_PATCH = (PLAY_REGION[0] + 10, PLAY_REGION[1] + 8,
              PLAY_BUTTON[0] - MENU_CURSOR_SIZE // 2 - 5 - (PLAY_REGION[0] + 10),
              PLAY_REGION[3] - 16)
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


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(condition, deadline_s, what, seen=None):
    """Polls `condition` until it returns a true value or the deadline passes.

    `seen`, when given, describes the last state for the failure message."""
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
    libc = ctypes.CDLL(None, use_errno=True)
    pr_set_pdeathsig = 1
    libc.prctl(pr_set_pdeathsig, signal.SIGKILL)


class Display:
    """A private X server of `size` (800x600 unless given) at 24 bits, numbered by Xvfb itself.

    It ends the programs started on it when it closes."""

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

    def click(self, x, y, button=1):
        """Clicks at (x, y) on a picture that draws a cursor at the pointer (the game's menu).

        The menu hit-tests where its cursor was at the last frame: the button goes down once a
        frame shows the cursor moved there."""
        if self.pointer() != (x, y):
            half = MENU_CURSOR_SIZE // 2
            left, top = max(0, x - half), max(0, y - half)
            around = (left, top, min(SCREEN_WIDTH, x + half) - left,
                      min(SCREEN_HEIGHT, y + half) - top)
            # A window is black until its first frame, which may still show the cursor elsewhere.
            def drawn():
                seen = region_bytes(self.screenshot_rgb(), *around)
                return seen if any(seen) else None
            before = wait_for(drawn, STEP_DEADLINE_S, "a drawn frame around (%d, %d)" % (x, y))
            self.move(x, y)
            wait_for(lambda: region_bytes(self.screenshot_rgb(), *around) != before,
                     STEP_DEADLINE_S, "a frame with the cursor at (%d, %d)" % (x, y))
        self.xdotool("click", str(button))

    @contextlib.contextmanager
    def held(self, key):
        """Holds `key` down for the `with` block and lets it go however the block ends."""
        self.xdotool("keydown", key)
        try:
            yield
        except BaseException:
            self.xdotool("keyup", key, check=False)
            raise
        self.xdotool("keyup", key)

    def hold(self, key, until, deadline_s, what, seen=None):
        """Holds `key` down until `until()` holds; returns its value."""
        with self.held(key):
            return wait_for(until, deadline_s, what, seen)

    def pointer(self):
        out = self.xdotool("getmouselocation", "--shell").stdout
        found = dict(re.findall(r"(\w+)=(\d+)", out))
        return int(found.get("X", -1)), int(found.get("Y", -1))

    def window_visible(self, title):
        # search ends with 1 when nothing matches: an answer, not a failure
        result = self.xdotool("search", "--onlyvisible", "--name", title, check=False)
        return result.returncode == 0 and result.stdout.strip() != ""

    def _xwd(self):
        result = subprocess.run(["xwd", "-root", "-silent"], env=self.env(),
                                capture_output=True, check=False)
        check(result.returncode == 0, "xwd failed with %d: %s" % (
            result.returncode, result.stderr.decode(errors="replace").strip()))
        return result.stdout

    def screenshot_rgb(self):
        """The screen as raw RGB bytes, rows top to bottom."""
        result = subprocess.run(["convert", "xwd:-", "-depth", "8", "rgb:-"], input=self._xwd(),
                                capture_output=True, check=False)
        check(result.returncode == 0, "convert failed: " +
              result.stderr.decode(errors="replace").strip())
        rgb = result.stdout
        check(len(rgb) == self.width * self.height * 3,
              "a screenshot of %d bytes, expected %d" % (len(rgb), self.width * self.height * 3))
        return rgb

    def screenshot_png(self, path):
        subprocess.run(["convert", "xwd:-", path], input=self._xwd(), check=True)

    def wait_changes(self, count, region, deadline_s=STEP_DEADLINE_S, nudge=None):
        """Waits until the picture in `region` has changed `count` times, each change a newer
        frame than the last screenshot. Only a picture that moves every frame counts frames (the
        open console does); `nudge()`, called before each wait, may make one move."""
        for done in range(count):
            before = region_bytes(self.screenshot_rgb(), *region)
            if nudge:
                nudge()
            wait_for(lambda: region_bytes(self.screenshot_rgb(), *region) != before,
                     deadline_s, "change %d of %d of the picture at %s" % (done + 1, count,
                                                                          region),
                     lambda: "the same picture all along")

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
    """One run of a program inside its own working directory."""

    def __init__(self, display, executable, workdir, title, env=None):
        self.display = display
        self.workdir = workdir
        self.title = title
        self.output = open(os.path.join(workdir, "program-output.txt"), "w")
        # The program runs in its working directory: a relative path is taken from here.
        self.process = subprocess.Popen([os.path.abspath(executable)], cwd=workdir,
                                        env=display.env(env), stdout=self.output,
                                        stderr=subprocess.STDOUT, preexec_fn=_die_with_parent)
        display.programs.append(self)

    def wait_visible(self, deadline_s=START_DEADLINE_S):
        wait_for(lambda: self.process.poll() is not None or
                 self.display.window_visible(self.title), deadline_s,
                 "the window \"%s\"" % self.title, lambda: "none; output:\n" + self.log_output())
        check(self.process.poll() is None, "the program ended at start-up with %s:\n%s" % (
            self.process.returncode, self.log_output()))

    def wait_exit(self, deadline_s=STEP_DEADLINE_S):
        try:
            return self.process.wait(timeout=deadline_s)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            raise Failure("the program did not end within %g s; output:\n%s" % (
                deadline_s, self.log_output()[-2000:]))

    def log_output(self):
        if not self.output.closed:
            self.output.flush()
        with open(os.path.join(self.workdir, "program-output.txt"), errors="replace") as f:
            return f.read()

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.output.close()


def make_workdir(data_dir, name):
    """A scratch working directory holding a copy of the data tree as basev2/."""
    root = tempfile.mkdtemp(prefix="vorn-e2e-" + name + "-")
    if data_dir and os.path.isdir(data_dir):
        shutil.copytree(data_dir, os.path.join(root, "basev2"))
    else:
        os.makedirs(os.path.join(root, "basev2"))
    return root


@contextlib.contextmanager
def session(data_dir, name):
    """A working directory and a display for one test: yields (display, workdir).

    Every program started on the display ends with it. A failure keeps the directory, with
    failure.png, the screen as the failure found it, and says where."""
    workdir = make_workdir(data_dir, name)
    display = None
    try:
        display = Display()
        yield display, workdir
    except BaseException:
        if display is not None:
            with contextlib.suppress(Exception):
                display.screenshot_png(os.path.join(workdir, "failure.png"))
        print("the run's files (program output, console log, failure.png) are in", workdir)
        raise
    finally:
        if display is not None:
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


def read_map(path):
    """The 600 cell codes of a map file, in cell index order (column-major)."""
    with open(path, "rb") as f:
        data = f.read(1200)
    return [int.from_bytes(data[i:i + 2], "little", signed=True) for i in range(0, len(data), 2)]


def read_bmp(path):
    """(width, height, RGB bytes top row first) of an uncompressed 24-bit BMP."""
    with open(path, "rb") as f:
        data = f.read()
    offset = int.from_bytes(data[10:14], "little")
    width = int.from_bytes(data[18:22], "little", signed=True)
    stored_height = int.from_bytes(data[22:26], "little", signed=True)
    height = abs(stored_height)
    stride = (width * 3 + 3) // 4 * 4
    rgb = bytearray(width * height * 3)
    for row in range(height):
        y = height - 1 - row if stored_height > 0 else row  # rows are stored bottom up
        base = offset + row * stride
        line = data[base:base + width * 3]
        out = y * width * 3
        rgb[out:out + width * 3:3] = line[2::3]
        rgb[out + 1:out + width * 3:3] = line[1::3]
        rgb[out + 2:out + width * 3:3] = line[0::3]
    return width, height, bytes(rgb)


def bmp_mean_colour(path):
    """Mean (r, g, b) of an uncompressed 24-bit BMP, ignoring pure black (the colour key)."""
    width, height, rgb = read_bmp(path)
    total = [0, 0, 0]
    count = 0
    for i in range(0, width * height * 3, 3):
        r, g, b = rgb[i:i + 3]
        if r or g or b:
            total[0] += r
            total[1] += g
            total[2] += b
            count += 1
    return tuple(t / max(count, 1) for t in total)


def region_mean(rgb, left, top, width, height):
    """Mean (r, g, b) of a rectangle of a top-to-bottom 800x600 RGB screenshot."""
    total = [0, 0, 0]
    for y in range(top, top + height):
        row = region_row(rgb, left, y, width)
        total[0] += sum(row[0::3])
        total[1] += sum(row[1::3])
        total[2] += sum(row[2::3])
    n = width * height
    return tuple(t / n for t in total)


def region_row(rgb, left, y, width, image_width=SCREEN_WIDTH):
    start = (y * image_width + left) * 3
    return rgb[start:start + width * 3]


def region_bytes(rgb, left, top, width, height):
    return b"".join(region_row(rgb, left, y, width) for y in range(top, top + height))


def changed_pixels(before, after, left, top, width, height, threshold=60):
    """How many pixels of a rectangle differ between two screenshots by more than `threshold`
    (the sum of the three channels' differences)."""
    changed = 0
    for y in range(top, top + height):
        a = region_row(before, left, y, width)
        b = region_row(after, left, y, width)
        if a == b:
            continue
        for i in range(0, width * 3, 3):
            if abs(a[i] - b[i]) + abs(a[i + 1] - b[i + 1]) + abs(a[i + 2] - b[i + 2]) > threshold:
                changed += 1
    return changed


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


PLAYER_FIGURE_PIXELS = 200  # most of a player's figure changes ~450 pixels; a crosshair ~50


def strip_right_of(x, y):
    """The screen strip right of world x `x`, on the rows of a player standing at height `y`."""
    left, row = world_to_pixel(x, y)
    left = max(0, min(left, SCREEN_WIDTH))
    return left, row - 35, SCREEN_WIDTH - left, 70


def figure_in(empty, rgb, strip):
    """Whether a player's figure stands in `strip`, against a screenshot where it was empty."""
    return changed_pixels(empty, rgb, *strip) >= PLAYER_FIGURE_PIXELS


def wait_figure(display, empty, strip, what, deadline_s=STEP_DEADLINE_S):
    """Waits until the screen shows a player's figure in `strip`; returns that screenshot."""
    last = []

    def arrived():
        last[:] = [display.screenshot_rgb()]
        return figure_in(empty, last[0], strip) and last[0]
    return wait_for(arrived, deadline_s, what, lambda: "%d pixels changed there, expected %d" % (
        changed_pixels(empty, last[0], *strip), PLAYER_FIGURE_PIXELS))


def console_lines_after(workdir, marker):
    """The console log's text after the last `marker`, once the game has written its log."""
    with open(os.path.join(workdir, "basev2", "console.log"), errors="replace") as f:
        text = f.read()
    at = text.rfind(marker)
    return text[at:] if at >= 0 else ""


PLAYER_LINE = re.compile(r"player (\d): x (-?[\d.]+) y (-?[\d.]+) health (-?\d+) weapon (\d+)")


def parse_players(text):
    """Each `players` answer in a console text, oldest first: {player: (x, y, health, weapon)}."""
    answers = []
    for block in text.split("]players\n")[1:]:
        found = PLAYER_LINE.findall(block)
        if len(found) >= 2:
            answers.append({int(p): (float(x), float(y), int(h), int(w))
                            for p, x, y, h, w in found[:2]})
    return answers


class Game:
    """The game (or its probe build) on a display: its menu, its world and its console, as
    the screen and the console log show them."""

    def __init__(self, display, executable, workdir, env=None):
        self.display = display
        self.workdir = workdir
        self.basev2 = os.path.join(workdir, "basev2")
        self.log_path = os.path.join(self.basev2, "console.log")
        self.program = Program(display, executable, workdir, GAME_TITLE, env)
        self.console_open = False
        self._menu_look = None
        self._play_looks = None
        self._bricks = None

    # What the screen shows, predicted from the game's own pictures and map.

    def menu_look(self):
        if self._menu_look is None:
            width, height, rgb = read_bmp(os.path.join(self.basev2, MENU_BACKGROUND))
            check((width, height) == (SCREEN_WIDTH, SCREEN_HEIGHT),
                  "the menu background is %dx%d, expected the screen's size" % (width, height))
            self._menu_look = [region_mean(rgb, *probe) for probe in MENU_PROBES]
        return self._menu_look

    def shows_menu(self, rgb):
        return all(distance(region_mean(rgb, *probe), look) < 12
                   for probe, look in zip(MENU_PROBES, self.menu_look()))

    def play_looks(self):
        """The mean colour of PLAY_PATCH with the play button's normal, then hover picture."""
        if self._play_looks is None:
            _, _, background = read_bmp(os.path.join(self.basev2, MENU_BACKGROUND))
            self._play_looks = [self._button_patch(background, picture)
                                for picture in PLAY_PICTURES]
        return self._play_looks

    def _button_patch(self, background, picture):
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

    def play_lit(self, rgb):
        """Whether a frame drawn with the cursor on play shows its hover picture."""
        seen = region_mean(rgb, *PLAY_PATCH)
        normal, hover = self.play_looks()
        return distance(seen, hover) < distance(seen, normal)

    def bricks(self):
        """(left, top, code) of each brick cell below the open console, and each code's mean
        colour."""
        if self._bricks is None:
            cells = read_map(os.path.join(self.basev2, "maps", "v2dm1.vsm"))
            textures = os.path.join(self.basev2, "textures", "briks")
            means = {code: bmp_mean_colour(os.path.join(textures, "br%d.bmp" % code))
                     for code in range(1, 8)}
            cells = [(index // 30 * 40, index % 30 * 20, code) for index, code in enumerate(cells)
                     if 1 <= code <= 7 and index % 30 * 20 >= WORLD_TOP_ROW]
            self._bricks = cells, means
        return self._bricks

    def bricks_shown(self, rgb):
        """(matched, total): how many brick cells below the open console show their brick."""
        cells, means = self.bricks()
        matched = 0
        for left, top, code in cells:
            seen = region_mean(rgb, left + 6, top + 4, 28, 12)
            nearest = min(means, key=lambda c: distance(means[c], seen))
            matched += nearest == code and distance(means[code], seen) < 60
        return matched, len(cells)

    def shows_world(self, rgb):
        # Players and shots may cover a few cells.
        matched, total = self.bricks_shown(rgb)
        return total > 0 and matched >= 0.85 * total

    def describe(self, rgb):
        matched, total = self.bricks_shown(rgb)
        edge = console_edge_row(rgb)
        return "a screen showing %s, %d of %d brick cells, the console %s" % (
            "the menu" if self.shows_menu(rgb) else "no menu", matched, total,
            "hidden" if edge is None else "edge at row %d" % edge)

    def wait_screen(self, shown, what, deadline_s=STEP_DEADLINE_S):
        last = []

        def condition():
            self.alive()
            last[:] = [self.display.screenshot_rgb()]
            return shown(last[0])
        wait_for(condition, deadline_s, what, lambda: self.describe(last[0]))
        return last[0]

    # Driving it.

    def alive(self):
        code = self.program.process.poll()
        check(code is None, "the game ended with %s; output:\n%s" % (
            code, self.program.log_output()[-2000:]))

    def start(self):
        """Waits for the window and its first frame: the menu."""
        self.program.wait_visible()
        self.wait_menu(START_DEADLINE_S)

    def wait_menu(self, deadline_s=STEP_DEADLINE_S):
        return self.wait_screen(self.shows_menu, "the menu", deadline_s)

    def wait_world(self, deadline_s=STEP_DEADLINE_S):
        return self.wait_screen(self.shows_world, "the world", deadline_s)

    def enter_play(self):
        """Presses play on the menu and waits for the world."""
        self.display.move(*PLAY_BUTTON)
        # The menu hit-tests where the cursor was at the last frame: click once a frame has
        # shown the button lit under it.
        self.wait_screen(self.play_lit, "the play button to light up under the pointer")
        self.display.xdotool("click", "1")
        return self.wait_world()

    def wait_pointer_centred(self):
        """In play the game pulls the pointer back to the centre in its next tick."""
        def centred():
            self.alive()
            return self.display.pointer() == CURSOR_CENTRE
        wait_for(centred, STEP_DEADLINE_S,
                 "the game to pull the pointer back to %s" % (CURSOR_CENTRE,),
                 lambda: "it at %s" % (self.display.pointer(),))

    def nudge_aim(self, pixels):
        """Moves the pointer `pixels` down in play and waits until a tick has taken it: player 2
        turns its aim by pixels / 5 degrees."""
        self.display.move(CURSOR_CENTRE[0], CURSOR_CENTRE[1] + pixels, sync=False)
        self.wait_pointer_centred()

    def wait_play_frames(self, count):
        """Waits for `count` new frames in play: each time player 2's aim moves a little, one
        way then back, and a frame must show its crosshair moved."""
        step = [25]

        def nudge():
            step[0] = -step[0]
            self.nudge_aim(step[0])
        self.display.wait_changes(count, (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT), nudge=nudge)

    def open_console(self):
        self.display.key("grave")
        self.console_open = True
        self.wait_screen(lambda rgb: console_edge_row(rgb) in CONSOLE_OPEN_ROWS,
                         "the console to open")

    def close_console(self):
        self.display.key("grave")
        self.console_open = False
        self.wait_screen(lambda rgb: console_edge_row(rgb) is None, "the console to close")

    def wait_console_frames(self, count):
        """Waits for `count` new frames, told by the open console's moving background."""
        check(self.console_open, "frames are counted on the open console")
        self.display.wait_changes(count, CONSOLE_REGION)

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
        text = []

        def written():
            self.alive()
            if os.path.exists(self.log_path):
                with open(self.log_path, errors="replace") as f:
                    text[:] = [f.read()]
                return text[0].endswith("]con_savelog\n")
            return False
        wait_for(written, STEP_DEADLINE_S, "basev2/console.log to end with ]con_savelog",
                 lambda: repr(text[0][-300:]) if text else "no file")
        return text[0]

    def players(self):
        """Both players' (x, y, health, weapon) from the probe build's `players` command. Leaves
        the console as it found it; opening it lets go of held keys."""
        was_open = self.console_open
        if not was_open:
            self.open_console()
        self.command("players")
        log = self.save_log()
        if not was_open:
            self.close_console()
        answers = parse_players(log)
        check(answers, "no player lines in the log:\n" + log[-400:])
        return answers[-1]
