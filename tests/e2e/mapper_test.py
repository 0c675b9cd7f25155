"""A mapper's day: a new map made with the mouse in Vorn2Forge, undone and redone, played in the
game with `map`, with `g_map` from autoexec.cfg and with the editor's F9; and names that are no
map names refused."""

import os
import subprocess
import sys

from harness import (GAME_TITLE, HELP_LINE, SCREEN_WIDTH, Game, bmp_mean_colour, cell_box, check,
                     distance, read_file, read_map, red_pixels, region_bytes, region_mean, run,
                     session, start_editor, wait_for)

# Three cells in the lower half, which the game's open console leaves in sight, away from where
# the players stand and empty in v2dm1.
KEPT = (3, 20)      # column, row: clicked left, kept
CLEARED = (5, 22)   # clicked left, then right
PLACED = (8, 21)    # clicked left after the first save, undone, redone


def index(cell):
    return cell[0] * 30 + cell[1]


def centre(cell):
    return str(cell[0] * 40 + 20), str(cell[1] * 20 + 10)


def bricks_in(path):
    """The bricks of a whole map file, by cell index, or None while there is none."""
    data = read_file(path, "rb")
    if data is None or len(data) != 1200:
        return None
    return {i: code for i, code in enumerate(read_map(path)) if code != 0}


def test(editor, game, data_dir):
    with session(data_dir, "mapper") as (display, workdir):
        basev2 = os.path.join(workdir, "basev2")
        arena = os.path.join(basev2, "maps", "arena.vsm")
        brick = bmp_mean_colour(os.path.join(basev2, "textures", "briks", "br1.bmp"))

        def shown(cell):
            return lambda rgb: distance(region_mean(rgb, *cell_box(*cell)), brick) < 60

        def saved(bricks, what):
            wait_for(lambda: bricks_in(arena) == {index(c): 1 for c in bricks}, 15, what,
                     lambda: "%s" % bricks_in(arena))

        # A path, .. or a stray character: one clear line, a non-zero status, nothing written.
        for name in ("../x", "bad name"):
            result = subprocess.run([editor, name], cwd=basev2, capture_output=True, text=True,
                                    timeout=30)
            lines = result.stderr.strip().splitlines()
            check(result.returncode != 0 and len(lines) == 1 and name in lines[0] and
                  "map name" in lines[0], "Vorn2Forge %r: status %d, %r" % (
                      name, result.returncode, result.stderr))
        check(not os.path.exists(os.path.join(workdir, "x.vsm")), "a file was written outside maps/")

        # Vorn2Forge arena on no such map: clicks, F5, undo, redo; the file follows each step.
        check(not os.path.exists(arena), "arena.vsm exists before the test")
        program, first = start_editor(display, editor, basev2, "arena")
        # Only the cursor on cell 0 may show above the lines of text.
        check(max(region_bytes(first, 42, 0, SCREEN_WIDTH - 42, 520)) <= 24 and
              max(region_bytes(first, 0, 22, 42, 498)) <= 24, "the grid of a new map is not empty")
        display.xdotool("mousemove", *centre(KEPT), "click", "1", "mousemove", *centre(CLEARED),
                        "click", "1", "click", "3", "key", "F5")
        saved([KEPT], "maps/arena.vsm to hold the one kept brick")
        display.wait_screen(shown(KEPT), "the kept brick in its cell")
        display.xdotool("mousemove", *centre(PLACED), "click", "1", "key", "F5")
        saved([KEPT, PLACED], "the placed brick to be saved")
        # Away from the cells, so that the cursor's preview covers none of them.
        display.xdotool("mousemove", "700", "60", "key", "ctrl+z", "key", "F5")
        saved([KEPT], "the undone brick to be saved away")
        display.wait_screen(lambda rgb: max(region_mean(rgb, *cell_box(*PLACED))) < 24,
                            "the undone brick to leave the screen")
        display.xdotool("key", "ctrl+y", "key", "F5")
        saved([KEPT, PLACED], "the redone brick to be saved")
        display.wait_screen(shown(PLACED), "the redone brick to show")
        display.key("Escape")
        program.expect_exit(1)

        # `map arena` draws the brick; `map nosuch` and a cut map keep it, each with its line.
        with open(os.path.join(basev2, "maps", "short.vsm"), "wb") as f:
            f.write(b"\x01\x00" * 599)
        check(read_map(os.path.join(basev2, "maps", "v2dm1.vsm"))[index(KEPT)] == 0,
              "the test's cell is not empty in v2dm1")
        running = Game(display, game, workdir)
        running.start()
        running.enter_play()
        running.open_console()
        running.command("map arena")
        running.wait_screen(shown(KEPT), "the game to draw arena's brick")
        log = running.console("map nosuch", "map short", "maps")
        for line in ("]map arena\nMap basev2/maps/arena.vsm loaded\n",
                     "]map nosuch\nError: couldn't load map basev2/maps/nosuch.vsm\n",
                     "]map short\nMap basev2/maps/short.vsm is 1198 bytes, not 1200: not loaded\n",
                     "   arena\n", "   v2dm4\n"):
            check(line in log, "the log lacks %r:\n%s" % (line, log[-800:]))
        check(shown(KEPT)(display.screenshot_rgb()), "a failed map command changed the map")
        running.quit("quit")
        os.remove(os.path.join(basev2, "maps", "short.vsm"))

        # autoexec.cfg sets g_map: the game starts on that map.
        autoexec = os.path.join(basev2, "autoexec.cfg")
        with open(autoexec, "w") as f:
            f.write("g_map arena\n")
        running = Game(display, game, workdir)
        running.start()
        running.enter_play(shown(KEPT))
        running.quit()
        os.remove(autoexec)

        # F9 saves, the game opens on the map, and the editor comes back when it ends.
        program, _ = start_editor(display, editor, basev2, "arena")
        display.wait_screen(shown(KEPT), "arena loaded at start")
        display.xdotool("mousemove", *centre(CLEARED), "click", "1", "key", "F9")
        wait_for(lambda: display.window_visible(GAME_TITLE), 20, "the game started by F9")
        check(bricks_in(arena) == {index(c): 1 for c in (KEPT, PLACED, CLEARED)},
              "F9 did not save the map first")
        check(not display.window_visible(program.title), "the editor stays in sight")
        running = Game(display, None, workdir)  # the editor started this game
        running.wait_menu()
        running.enter_play(lambda rgb: shown(CLEARED)(rgb) and shown(KEPT)(rgb))
        display.key("F12")
        wait_for(lambda: display.window_visible(program.title), 20, "the editor to come back")
        program.alive()
        display.wait_screen(lambda rgb: red_pixels(rgb, HELP_LINE) > 100, "the editor again")
        display.key("Escape")
        program.expect_exit(1)


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2], sys.argv[3])
