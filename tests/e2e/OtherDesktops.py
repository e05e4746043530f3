#!/usr/bin/env python3
"""The real program on desktops of other depths than the usual 24 bits, on
the X server it runs under. On a deep-colour desktop (30 bits), a first
start shows its title in the window it opens, as the X server's own picture
of the window says, through the window's own surface (not a renderer run on
the processor), and saves that mode. On an 8-bit desktop, which cannot
show the game, it ends saying what the desktop's depth must be.

    OtherDesktops.py PROGRAM_DIR SHOTS_DIR deep|palette"""

import os
import shutil
import sys

from gamedriver import Game, run_to_end, temporary_data_home, what_is_wrong
from PlayThrough import play_button

DEPTH_REASON = "Your desktop color depth must be set to 16 bit or 32 bit color"
NO_SURFACE = "WARNING: the game's window has no surface"


def deep(program_dir, shots_dir):
    """What is wrong on a deep-colour desktop, if anything."""
    data_home = temporary_data_home()
    game = Game(program_dir, data_home, "", shots_dir, name="deep-colour")
    try:
        game.start()
        game.wait_for("title", play_button)
        shown = game.xshot("title-in-window", until=lambda picture: picture.spread() > 12.0)
        if shown.spread() <= 12.0:
            return f"the window shows nothing (spread {shown.spread():.1f}){game.output_tail()}"
        game.close_window()
        if game.wait_exit() != 0:
            return f"the game exited with status {game.process.returncode}{game.output_tail()}"
        with open(game.output_path(), errors="replace") as f:
            printed = f.read()
        if NO_SURFACE in printed:
            return f"the window had no surface of its own{game.output_tail()}"
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
    run = run_to_end(program_dir)
    if run is None:
        return "the game kept running"
    if run.returncode == 0 or DEPTH_REASON not in run.stderr:
        return f"the game exited with status {run.returncode} and said {run.stderr!r}"
    return None


def main():
    program_dir, shots_dir, desktop = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3]
    wrong = what_is_wrong(deep, program_dir, shots_dir) if desktop == "deep" else what_is_wrong(palette, program_dir)
    if wrong:
        print(f"FAIL: on the {desktop} desktop, {wrong}")
        return 1
    print("a first start on a deep-colour desktop shows its title and saves that mode"
          if desktop == "deep" else "an 8-bit desktop is told the depth it must have")
    return 0


if __name__ == "__main__":
    sys.exit(main())
