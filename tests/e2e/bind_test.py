"""Players choose their keys: bind and unbind in the console, play with them, keep them."""

import os
import sys

from harness import (AUDIO_BYTES_PER_SECOND as SECOND, Game, check, loudest, read_file, rms, run,
                     session, wait_for)

def listed_bindings(log):
    """The lines the last bindlist printed, up to the next echoed line."""
    return log.split("]bindlist\n")[-1].split("]")[0].splitlines()


def test(executable, data_dir):
    with session(data_dir, "bind") as (display, workdir):
        audio = os.path.join(workdir, "audio.raw")
        env = {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": audio}

        def size():
            return os.path.getsize(audio) if os.path.exists(audio) else 0

        game = Game(display, executable, workdir, env)
        game.start()
        listed = listed_bindings(game.console("bindlist", "writecfg plain", "bind g p1_fire",
                                              "unbind space", "writecfg mine"))
        check(len(listed) == 20 and all(line.startswith("bind ") for line in listed),
              "bindlist did not list the 20 start-up bindings:\n" + "\n".join(listed))
        check("bind space p1_fire" in listed and "bind f12 quit" in listed,
              "bindlist lacks space or f12:\n" + "\n".join(listed))
        # defaults_test holds plain.cfg to the golden copy
        plain = read_file(os.path.join(game.basev2, "plain.cfg"))
        mine = read_file(os.path.join(game.basev2, "mine.cfg"))
        check(mine == plain + "unbind space\nbind g p1_fire\n", "mine.cfg is wrong:\n" + mine)

        # Leaving the menu starts the music, loud in each quarter of a second of sound, longer
        # than any menu sound. F8 pauses it, so that shots are heard alone.
        def music_heard(end):
            return end >= SECOND and all(rms(audio, end - (i + 1) * SECOND // 4,
                                             end - i * SECOND // 4) > 200 for i in range(4))
        display.key("Escape")
        wait_for(lambda: music_heard(size()), 60, "the music")
        display.key("F8")
        wait_for(lambda: rms(audio, size() - SECOND // 2, size() + SECOND) < 50, 30,
                 "silence after F8")

        # Space no longer fires: silent until the console has seen a later line, and half a
        # second of sound more.
        start = size()
        display.key("space")
        game.console("say after space")
        end = size() + SECOND // 2
        wait_for(lambda: size() >= end, 30, "the sound after space")
        quiet = loudest(audio, start, end)
        check(quiet < 50, "space still fires (rms %.1f)" % quiet)
        start = size()
        display.key("g")
        wait_for(lambda: loudest(audio, start) > 200, 30, "the shot of g")
        game.quit()

        # autoexec.cfg runs at start: the saved bindings come back with it.
        with open(os.path.join(game.basev2, "autoexec.cfg"), "w") as f:
            f.write("exec mine\n")
        game = Game(display, executable, workdir, env)
        game.start()
        log = game.console("bindlist")
        listed = listed_bindings(log)
        check("bind g p1_fire" in listed and not any(l.startswith("bind space ") for l in listed)
              and len(listed) == 20, "the bindings did not come back:\n" + "\n".join(listed))
        check("]unbind space\n]bind g p1_fire\nExecuted mine.cfg\nExecuted autoexec.cfg\n" in log,
              "autoexec.cfg did not run mine.cfg:\n" + log[-600:])
        game.open_console()
        game.quit("quit")


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2])
