"""Runs the real programs under a private Xvfb and drives them as a player would."""

import os
import shutil
import subprocess
import sys
import tempfile
import time


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(condition, deadline_s, what):
    """Polls `condition` until it returns a true value or the deadline passes."""
    end = time.monotonic() + deadline_s
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.05)


class Display:
    """A private X server of `size` (800x600 unless given) at 24 bits, numbered by Xvfb itself."""

    def __init__(self, size="800x600"):
        self.width, self.height = (int(side) for side in size.split("x"))
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            # -noreset: an X server resets when its last client leaves, and refuses
            # connections while it does; the polling here leaves it often.
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", size + "x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        check(number, "Xvfb did not start")
        self.name = ":" + number

    def env(self, extra=None):
        env = dict(os.environ)
        env["DISPLAY"] = self.name
        env.pop("WAYLAND_DISPLAY", None)
        env.setdefault("SDL_AUDIODRIVER", "dummy")
        if extra:
            env.update(extra)
        return env

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env(), capture_output=True,
                              text=True, check=False)

    def key(self, *keys, delay_ms=30):
        self.xdotool("key", "--delay", str(delay_ms), *keys)

    def type(self, text, delay_ms=30):
        self.xdotool("type", "--delay", str(delay_ms), text)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", str(x), str(y))
        time.sleep(0.1)
        self.xdotool("click", str(button))

    def window_visible(self, title):
        result = self.xdotool("search", "--onlyvisible", "--name", title)
        return result.returncode == 0 and result.stdout.strip() != ""

    def screenshot_rgb(self):
        """The screen as raw RGB bytes, rows top to bottom."""
        xwd = subprocess.run(["xwd", "-root", "-silent"], env=self.env(), capture_output=True,
                             check=True).stdout
        rgb = subprocess.run(["convert", "xwd:-", "-depth", "8", "rgb:-"], input=xwd,
                             capture_output=True, check=True).stdout
        check(len(rgb) == self.width * self.height * 3, "unexpected screenshot size")
        return rgb

    def screenshot_png(self, path):
        xwd = subprocess.run(["xwd", "-root", "-silent"], env=self.env(), capture_output=True,
                             check=True).stdout
        subprocess.run(["convert", "xwd:-", path], input=xwd, check=True)

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=10)


class Program:
    """One run of a program inside its own working directory."""

    def __init__(self, display, executable, workdir, title, env=None):
        self.display = display
        self.workdir = workdir
        self.title = title
        self.output = open(os.path.join(workdir, "program-output.txt"), "w")
        self.process = subprocess.Popen([executable], cwd=workdir, env=display.env(env),
                                        stdout=self.output, stderr=subprocess.STDOUT)

    def wait_visible(self, deadline_s=20):
        wait_for(lambda: self.process.poll() is not None or
                 self.display.window_visible(self.title), deadline_s, "the window")
        check(self.process.poll() is None, "the program ended at start-up:\n" + self.log_output())

    def wait_exit(self, deadline_s=20):
        try:
            return self.process.wait(timeout=deadline_s)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            raise Failure("the program did not end")

    def log_output(self):
        self.output.flush()
        with open(os.path.join(self.workdir, "program-output.txt")) as f:
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


def run(test, *args):
    """Runs `test(*args)`, prints the verdict and exits with the test's status."""
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


def bmp_mean_colour(path):
    """Mean (r, g, b) of an uncompressed 24-bit BMP, ignoring pure black (the colour key)."""
    with open(path, "rb") as f:
        data = f.read()
    offset = int.from_bytes(data[10:14], "little")
    width = int.from_bytes(data[18:22], "little", signed=True)
    height = abs(int.from_bytes(data[22:26], "little", signed=True))
    stride = (width * 3 + 3) // 4 * 4
    total = [0, 0, 0]
    count = 0
    for row in range(height):
        base = offset + row * stride
        for col in range(width):
            b, g, r = data[base + col * 3:base + col * 3 + 3]
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
        row = y * 800 * 3
        for x in range(left, left + width):
            i = row + x * 3
            total[0] += rgb[i]
            total[1] += rgb[i + 1]
            total[2] += rgb[i + 2]
    n = width * height
    return tuple(t / n for t in total)


def distance(a, b):
    return sum((x - y) ** 2 for x, y in zip(a, b)) ** 0.5


def console_lines_after(workdir, marker):
    """The console log's text after the last `marker`, once the game has written its log."""
    with open(os.path.join(workdir, "basev2", "console.log"), errors="replace") as f:
        text = f.read()
    at = text.rfind(marker)
    return text[at:] if at >= 0 else ""
