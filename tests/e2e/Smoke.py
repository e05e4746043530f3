#!/usr/bin/env python3
"""Smoke test of the real program: it starts under an X server, shows the
title screen (checked through the game's own screenshot key), closes when
its window is closed, and exits with status 0.

    Smoke.py PROGRAM_DIR"""

import os
import shutil
import sys

from gamedriver import Game, temporary_data_home


def main():
    program_dir = os.path.abspath(sys.argv[1])
    data_home = temporary_data_home()
    game = Game(program_dir, data_home, "-software", name="smoke")
    try:
        game.start()
        title = game.wait_for("title", lambda p: p.spread() > 12.0)
        if title.spread() <= 12.0:
            print(f"FAIL: the title screen is blank (spread {title.spread():.1f})")
            return 1
        game.close_window()
        status = game.wait_exit()
        if status != 0:
            print(f"FAIL: the game exited with status {status}")
            return 1
    except Exception as error:
        print(f"FAIL: {error}")
        return 1
    finally:
        game.kill()
        shutil.rmtree(data_home, ignore_errors=True)
    print("the title screen showed and the game closed cleanly")
    return 0


if __name__ == "__main__":
    sys.exit(main())
