#!/usr/bin/env python3
"""Smoke test of the real program: it starts under an X server, shows the
title screen (checked through the game's own screenshot key, which rings the
X server's bell), closes when
its window is closed, and exits with status 0. Started again in full screen
at 16 bits, on this X server without a window manager, its window covers the
screen, which shows the game's frame scaled to it.

    Smoke.py PROGRAM_DIR"""

import os
import shutil
import subprocess
import sys
import tempfile

from gamedriver import BellListener, Game, Picture, temporary_data_home
from PlayThrough import play_button


def blocks(picture, columns=8, rows=6):
    """The mean colour of each block of a grid laid over the picture."""
    w, h = picture.width, picture.height
    return [picture.mean(c * w // columns, r * h // rows, (c + 1) * w // columns, (r + 1) * h // rows)
            for r in range(rows) for c in range(columns)]


def screen_picture():
    path = os.path.join(tempfile.gettempdir(), f"qs-smoke-{os.getpid()}.bmp")
    subprocess.run(["import", "-window", "root", f"bmp3:{path}"], check=True, capture_output=True)
    picture = Picture(path)
    os.remove(path)
    return picture


def full_screen(program_dir):
    """The title in full screen at 16 bits: what the screen shows, block by
    block, beside the game's own screenshot. None when all is well, else
    what is wrong."""
    data_home = temporary_data_home()
    folder = os.path.join(data_home, "KEXGames", "Quorb Swap")
    os.makedirs(folder)
    with open(os.path.join(folder, "config.cfg"), "wb") as f:
        f.write(b"DX::Fullscreen=true\r\nDX::ColorDepth=16\r\n")
    game = Game(program_dir, data_home, "-software", name="smoke-full-screen")
    try:
        game.start()
        # Once loading is done: the frames after the first change a part of
        # the screen. The sparkles move between the two pictures: blocks,
        # not pixels.
        for _ in range(5):
            own = game.wait_for("title", play_button)
            screen = screen_picture()
            apart = max(abs(a - b) for x, y in zip(blocks(own), blocks(screen)) for a, b in zip(x, y))
            if apart <= 12:
                break
        size = game.window_size()
        if size != (screen.width, screen.height):
            return f"the full-screen window is {size[0]} x {size[1]}, the screen {screen.width} x {screen.height}"
        if apart > 12:
            return f"the screen does not show the game's frame (blocks apart by up to {apart:.0f})"
        return None
    finally:
        game.kill()
        shutil.rmtree(data_home, ignore_errors=True)


def main():
    program_dir = os.path.abspath(sys.argv[1])
    data_home = temporary_data_home()
    game = Game(program_dir, data_home, "-software", name="smoke")
    try:
        bells = BellListener()
        game.start()
        title = game.wait_for("title", lambda p: p.spread() > 12.0)
        if title.spread() <= 12.0:
            print(f"FAIL: the title screen is blank (spread {title.spread():.1f})")
            return 1
        if not bells.wait(1):
            print("FAIL: the screenshot key rang no bell on the X server")
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
    try:
        wrong = full_screen(program_dir)
    except Exception as error:
        wrong = str(error)
    if wrong:
        print(f"FAIL: in full screen, {wrong}")
        return 1
    print("the title screen showed, its screenshot rang the bell, the game closed cleanly, and full screen "
          "covers the screen")
    return 0


if __name__ == "__main__":
    sys.exit(main())
