#!/usr/bin/env python3
"""The real program on desktops of other depths than the usual 24 bits, on
the X server it runs under. On a deep-colour desktop (30 bits), a first
start shows its title in the window it opens, as the X server's own picture
of the window says, and saves that mode. On an 8-bit desktop, which cannot
show the game, it ends saying what the desktop's depth must be.

    OtherDesktops.py PROGRAM_DIR SHOTS_DIR deep|palette"""

import os
import shutil
import subprocess
import sys

from gamedriver import Game, temporary_data_home
from PlayThrough import play_button

DEPTH_REASON = "Your desktop color depth must be set to 16 bit or 32 bit color"


def deep(program_dir, shots_dir):
    """What is wrong on a deep-colour desktop, if anything."""
    data_home = temporary_data_home()
    game = Game(program_dir, data_home, "", shots_dir, name="deep-colour")
    try:
        game.start()
        game.wait_for("title", play_button)
        shown = game.xshot("title-in-window")
        if shown.spread() <= 12.0:
            return f"the window shows nothing (spread {shown.spread():.1f}){game.output_tail()}"
        game.close_window()
        if game.wait_exit() != 0:
            return f"the game exited with status {game.process.returncode}{game.output_tail()}"
        with open(os.path.join(data_home, "KEXGames", "Quorb Swap", "config.cfg"), "rb") as f:
            saved = f.read().decode()
        for line in ("DX::SafeMode=true", "DX::Fullscreen=false", "DX::ScreenWidth=640"):
            if line not in saved:
                return f"the first start saved no {line}, but: {saved!r}"
        return None
    finally:
        game.kill()
        shutil.rmtree(data_home, ignore_errors=True)


def palette(program_dir):
    """What is wrong on an 8-bit desktop, if anything."""
    data_home = temporary_data_home()
    env = {name: value for name, value in os.environ.items() if name != "SDL_VIDEODRIVER"}
    env.update(HOME=data_home, XDG_DATA_HOME=data_home, SDL_AUDIODRIVER="dummy")
    try:
        run = subprocess.run([os.path.join(program_dir, "QuorbSwap")], cwd=program_dir, env=env,
                             capture_output=True, text=True, timeout=30)
    except subprocess.TimeoutExpired:
        return "the game kept running"
    finally:
        shutil.rmtree(data_home, ignore_errors=True)
    if run.returncode == 0 or DEPTH_REASON not in run.stderr:
        return f"the game exited with status {run.returncode} and said {run.stderr!r}"
    return None


def main():
    program_dir, shots_dir, desktop = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3]
    try:
        wrong = deep(program_dir, shots_dir) if desktop == "deep" else palette(program_dir)
    except Exception as error:
        wrong = str(error)
    if wrong:
        print(f"FAIL: on the {desktop} desktop, {wrong}")
        return 1
    print("a first start on a deep-colour desktop shows its title and saves that mode"
          if desktop == "deep" else "an 8-bit desktop is told the depth it must have")
    return 0


if __name__ == "__main__":
    sys.exit(main())
