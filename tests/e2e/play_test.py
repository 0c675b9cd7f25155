"""Two players in a real game: walking, firing with the keyboard and the mouse, with sound."""

import os
import struct
import sys

from harness import (STEP_DEADLINE_S, Game, check, run, session, strip_right_of, wait_figure,
                     wait_for)

BYTES_PER_SECOND = 44100 * 2 * 2  # the disk driver's S16 stereo
QUARTER_SECOND = BYTES_PER_SECOND // 4
WINDOW = BYTES_PER_SECOND // 10
QUIET_RMS = 50
LOUD_RMS = 2000  # the shots measured over 20000, the paused game below 50
START_HEALTH = 125


def rms(path, start, end):
    with open(path, "rb") as f:
        f.seek(start)
        data = f.read(max(0, end - start) // 2 * 2)
    samples = struct.unpack("<%dh" % (len(data) // 2), data)
    if not samples:
        return 0.0
    return (sum(s * s for s in samples) / len(samples)) ** 0.5


def loudest(path, start):
    """The loudest tenth of a second written since byte `start`."""
    end = os.path.getsize(path)
    return max((rms(path, at, at + WINDOW) for at in range(start, end, WINDOW)), default=0.0)


def test(executable, data_dir):
    with session(data_dir, "play") as (display, workdir):
        audio = os.path.join(workdir, "audio.raw")
        game = Game(display, executable, workdir,
                    env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": audio})
        game.start()
        game.enter_play()  # the click also starts the music
        # The first tick in play found the pointer on PLAY, 100 pixels above the centre, and
        # turned player 2's aim up by 20 degrees; 100 pixels down levels it again.
        game.wait_pointer_centred()
        game.nudge_aim(100)
        start = game.players()
        check(start[1][:2] == start[2][:2],
              "the players do not start on the same spot: %s and %s" % (start[1], start[2]))
        x, y = start[1][:2]

        empty = display.screenshot_rgb()
        # Well clear of player 2: turning back slides player 1 about 0.3 back towards it.
        strip = strip_right_of(x + 1.2, y)
        with display.held("d"):
            wait_figure(display, empty, strip, "player 1 to walk right onto %s" % (strip,))
        display.key("a")   # player 1 turns back to face player 2
        display.key("F8")  # pause the music so the shots are heard alone
        walked = game.players()  # once it answers, the game has taken the keys before
        check(walked[1][0] > x + 0.5,
              "player 1 did not walk right: x %.2f at start, %.2f now" % (x, walked[1][0]))

        paused = os.path.getsize(audio)

        def quiet():
            end = os.path.getsize(audio)
            return end - paused >= QUARTER_SECOND and rms(audio, end - QUARTER_SECOND,
                                                          end) < QUIET_RMS

        def newest():
            end = os.path.getsize(audio)
            return "rms %.1f" % rms(audio, end - QUARTER_SECOND, end)
        wait_for(quiet, STEP_DEADLINE_S, "a quarter second below rms %d after F8" % QUIET_RMS,
                 newest)

        before_shot = os.path.getsize(audio)
        display.key("Right")  # player 2 turns to face player 1
        last = []

        def volley():
            # Between two slow frames a rocket may fly past a player: fire again until both hit.
            display.key("space")           # player 1 fires its rocket at player 2...
            display.xdotool("click", "1")  # ...and player 2 fires with the mouse
            last.append(game.players())    # a gun still reloading fires in a later volley
            return all(last[-1][p][2] < START_HEALTH for p in (1, 2))
        wait_for(volley, 2 * STEP_DEADLINE_S, "both players to be hurt (health below %d)"
                 % START_HEALTH, lambda: "after %d volleys player 1 %s, player 2 %s" % (
                     len(last), last[-1][1], last[-1][2]))
        loud = loudest(audio, before_shot)
        check(loud > LOUD_RMS, "the shots were not heard: the loudest tenth of a second since "
              "has rms %.1f, expected above %d" % (loud, LOUD_RMS))

        display.key("F12")
        code = game.program.wait_exit()
        check(code == 1, "F12 ended the game with %s, expected 1" % code)


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2])
