"""make install into a scratch DESTDIR: the installed game starts from there, reads the installed
data tree and writes only under $XDG_DATA_HOME (or ~/.local/share), where its files shadow the
installed ones."""

import os
import signal
import subprocess
import sys

from harness import GAME_TITLE, SHUTDOWN_LINES, Program, check, read_file, run, session


def tree_listing(root):
    return sorted(os.path.relpath(os.path.join(d, f), root)
                  for d, _, files in os.walk(root) for f in files)


def install(build_dir, destdir):
    env = dict(os.environ, DESTDIR=destdir)
    result = subprocess.run(["cmake", "--install", build_dir, "--prefix", "/usr"], env=env,
                            capture_output=True, text=True)
    check(result.returncode == 0, "cmake --install failed:\n" + result.stdout + result.stderr)
    usr = os.path.join(destdir, "usr")
    for path in ["bin/Vorn2Forge", "share/applications/vorn2forge.desktop",
                 "share/icons/hicolor/128x128/apps/vorn2.png"]:
        check(os.path.isfile(os.path.join(usr, path)), "not installed: " + path)
    with open(os.path.join(usr, "share/applications/vorn2.desktop")) as f:
        check("Exec=/usr/bin/Vorn2\n" in f.read(), "the desktop entry does not start /usr/bin/Vorn2")
    return usr


def run_installed(display, game, home, env, user_tree):
    """Starts the installed game in an empty folder, ends it as kill does, returns its log."""
    program = Program(display, game, home, GAME_TITLE, env=env)
    program.wait_visible()
    program.process.send_signal(signal.SIGTERM)
    program.expect_exit(1)
    log = read_file(os.path.join(user_tree, "console.log"))
    check(log is not None and log.endswith(SHUTDOWN_LINES),
          "the log under the user's data folder does not end with the shut-down lines:\n%s" % log)
    return log


def test(build_dir):
    with session(None, "install") as (display, scratch):
        usr = install(build_dir, os.path.join(scratch, "dest"))
        game = os.path.join(usr, "bin", "Vorn2")
        installed_tree = os.path.join(usr, "share", "vorn2", "basev2")
        installed_files = tree_listing(installed_tree)

        home = os.path.join(scratch, "home")
        os.makedirs(home)
        log = run_installed(display, game, home, {"HOME": home, "XDG_DATA_HOME": ""},
                            os.path.join(home, ".local/share/vorn2/basev2"))
        check("Error" not in log and "Cannot" not in log and "Warning" not in log,
              "the installed game misses its data:\n" + log)

        # A file of the user's own shadows the installed one; the installed tree is never written.
        user_tree = os.path.join(scratch, "xdg", "vorn2", "basev2")
        os.makedirs(user_tree)
        with open(os.path.join(user_tree, "autoexec.cfg"), "w") as f:
            f.write("gravity 0.25\n")
        log = run_installed(display, game, home,
                            {"HOME": home, "XDG_DATA_HOME": os.path.join(scratch, "xdg")},
                            user_tree)
        check("]gravity 0.25\nExecuted autoexec.cfg\n" in log,
              "the user's autoexec.cfg was not run:\n" + log)
        check(tree_listing(installed_tree) == installed_files, "the installed tree was written to")


if __name__ == "__main__":
    run(test, sys.argv[1])
