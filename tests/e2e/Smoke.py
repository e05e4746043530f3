#!/usr/bin/env python3
"""Smoke test of the real program: it starts under an X server, shows the
title screen (checked through the game's own screenshot key, which rings the
X server's bell), closes when
its window is closed, and exits with status 0. Started again in full screen
at 16 bits, on this X server without a window manager, its window covers the
screen, which shows the game's frame scaled to it, on the title and on a
Casual board, whose backdrop is drawn; that run's pictures are kept. Where
no display answers, it says so and fails instead of running unseen.

    Smoke.py PROGRAM_DIR SHOTS_DIR"""

import os
import shutil
import subprocess
import sys
import tempfile

from gamedriver import (BellListener, BoardView, Game, Picture, run_to_end, temporary_data_home, unlike,
                        what_is_wrong)
from PlayThrough import MAIN_NEW_GAME, PICK_CASUAL, TITLE_PLAY, TUTORIAL_OK, green, play_button, tutorial_shown

# Right of the board's frame, below the skull meter: only the backdrop, where
# the tutorial page had its OK button.
BESIDE_BOARD = (750, 535, 790, 565)


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


def screen_matches(game, label, condition):
    """The game's own screenshot once the condition holds on it, beside what
    the screen shows, both kept, and how far apart their blocks are at most.
    Sparkles and bobbing arrows move between the two pictures: blocks, not
    pixels, and a few tries."""
    for _ in range(5):
        own = game.wait_for(label, condition)
        screen = screen_picture()
        apart = max(abs(a - b) for x, y in zip(blocks(own), blocks(screen)) for a, b in zip(x, y))
        if apart <= 12:
            break
    game.keep(screen, label + "-on-screen")
    return own, screen, apart


def full_screen(program_dir, shots_dir):
    """The title, then a Casual board a few frames in, in full screen at 16
    bits: what the screen shows, block by block, beside the game's own
    screenshot. None when all is well, else what is wrong."""
    data_home = temporary_data_home()
    folder = os.path.join(data_home, "KEXGames", "Quorb Swap")
    os.makedirs(folder)
    with open(os.path.join(folder, "config.cfg"), "wb") as f:
        f.write(b"DX::Fullscreen=true\r\nDX::ColorDepth=16\r\n")
    game = Game(program_dir, data_home, "-software", shots_dir, name="full-screen-16")
    try:
        game.start()
        # Once loading is done: the frames after the first change a part of
        # the screen.
        title, screen, apart = screen_matches(game, "title", play_button)
        size = game.window_size()
        if size != (screen.width, screen.height):
            return f"the full-screen window is {size[0]} x {size[1]}, the screen {screen.width} x {screen.height}"
        if apart > 12:
            return f"the title on screen is not the game's frame (blocks apart by up to {apart:.0f})"
        # Each input once the screen it is for is there.
        game.click(*TITLE_PLAY)
        dialog = game.settled("new-profile", until=unlike(title))
        game.type("Tester")
        game.key("Return")
        menu = game.settled("main-menu", until=unlike(dialog))
        game.click(*MAIN_NEW_GAME)
        game.settled("game-picker", until=unlike(menu))
        game.click(*PICK_CASUAL)
        game.wait_for("tutorial", tutorial_shown)
        game.click(*TUTORIAL_OK, pause=1.0)
        board, _, apart = screen_matches(game, "casual", lambda p: BoardView(p).distinct_cells() >= 48)
        if apart > 12:
            return f"the Casual board on screen is not the game's frame (blocks apart by up to {apart:.0f})"
        # The backdrop beside the board is drawn over the tutorial page.
        if green(board.mean_at(*BESIDE_BOARD)):
            return "the tutorial page's OK button still shows beside the board: its backdrop is not drawn"
        return None
    finally:
        game.kill()
        shutil.rmtree(data_home, ignore_errors=True)


def without_display(program_dir):
    """What is wrong when the game starts where no display answers, if
    anything."""
    run = run_to_end(program_dir, ["-software"],
                     unset=("SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"))
    if run is None:
        return "without a display the game kept running, unseen"
    if run.returncode == 0 or "the window could not be opened" not in run.stderr:
        return f"without a display the game exited with status {run.returncode} and said {run.stderr!r}"
    return None


def main():
    program_dir, shots_dir = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    wrong = without_display(program_dir)
    if wrong:
        print(f"FAIL: {wrong}")
        return 1
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
    wrong = what_is_wrong(full_screen, program_dir, os.path.join(shots_dir, "full-screen-16"))
    if wrong:
        print(f"FAIL: in full screen, {wrong}")
        return 1
    print("the game said it had no display, the title screen showed, its screenshot rang the bell, the game "
          "closed cleanly, and full screen shows the title and a board")
    return 0


if __name__ == "__main__":
    sys.exit(main())
