"""Two players in a real game: walking, firing with the keyboard and the mouse, with sound."""

import os
import re
import shutil
import struct
import sys
import time

from harness import Display, Program, check, make_workdir, run, wait_for

PLAY_BUTTON = (515, 200)
BYTES_PER_SECOND = 44100 * 2 * 2


def query_players(display, workdir):
    """Asks the game for both players through its console and reads the answer from the log."""
    log = os.path.join(workdir, "basev2", "console.log")
    if os.path.exists(log):
        os.remove(log)
    display.key("grave")
    time.sleep(0.2)
    display.type("players")
    display.key("Return")
    display.type("con_savelog")
    display.key("Return")
    display.key("grave")
    wait_for(lambda: os.path.exists(log) and "]con_savelog" in open(log, errors="replace").read(),
             10, "the console log")
    with open(log, errors="replace") as f:
        text = f.read()
    text = text[text.rfind("]players\n"):]
    found = re.findall(r"player (\d): x (-?[\d.]+) y (-?[\d.]+) health (-?\d+) weapon (\d+)", text)
    check(len(found) >= 2, "no player lines in the log:\n" + text[-400:])
    return {int(p): (float(x), float(y), int(h)) for p, x, y, h, _ in found[:2]}


def rms_since(path, offset):
    with open(path, "rb") as f:
        f.seek(offset)
        data = f.read()
    samples = struct.unpack("<%dh" % (len(data) // 2), data[:len(data) // 2 * 2])
    if not samples:
        return 0.0
    return (sum(s * s for s in samples) / len(samples)) ** 0.5


def hold(display, key, seconds):
    display.xdotool("keydown", key)
    time.sleep(seconds)
    display.xdotool("keyup", key)


def test(game, data_dir):
    workdir = make_workdir(data_dir, "play")
    audio = os.path.join(workdir, "audio.raw")
    display = Display()
    program = Program(display, game, workdir, "Vorn II",
                      env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": audio})
    try:
        program.wait_visible()
        time.sleep(0.5)
        display.click(*PLAY_BUTTON)
        time.sleep(0.3)
        # In play the mouse aims for player 2: the pointer left on PLAY, 100 pixels above the
        # centre, turned its aim up by 20 degrees; 100 pixels down levels it again.
        display.xdotool("mousemove", "400", "400")
        time.sleep(0.3)
        start = query_players(display, workdir)
        check(start[1][:2] == start[2][:2], "the players do not start on the same spot")

        hold(display, "d", 0.6)           # player 1 walks right...
        time.sleep(0.5)
        display.key("a")                  # ...and turns back to face player 2
        time.sleep(0.5)
        display.key("F8")                 # pause the music so the shots are heard alone
        time.sleep(1.0)
        before_shot = os.path.getsize(audio)
        quiet = rms_since(audio, before_shot - BYTES_PER_SECOND // 4)

        display.key("space")              # player 1 fires its rocket at player 2
        display.key("Right")              # player 2 turns to face player 1...
        time.sleep(0.1)
        display.xdotool("click", "1")     # ...and fires with the mouse
        time.sleep(1.5)
        loud = rms_since(audio, before_shot)

        after = query_players(display, workdir)
        check(after[1][0] > start[1][0] + 0.5,
              "player 1 did not walk right: %s -> %s" % (start[1], after[1]))
        check(after[2][2] < 125, "player 2 was not hurt: %s" % (after[2],))
        check(after[1][2] < 125, "player 1 was not hurt: %s" % (after[1],))
        check(quiet < 50, "the game was not quiet before the shots (rms %.1f)" % quiet)
        check(loud > 200, "the shots were not heard (rms %.1f)" % loud)

        display.key("F12")
        check(program.wait_exit() == 1, "F12 did not end the game with 1")
    finally:
        program.kill()
        display.close()
    shutil.rmtree(workdir)


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2])
