#!/usr/bin/env python3
"""The whole game as a player meets it: started under an X server, driven by
real clicks and keys, checked through its own screenshots.

    PlayThrough.py PROGRAM_DIR SHOTS_DIR

Runs the flow once in software and once in hardware mode: first start, a
Casual game played by swaps, the window closed mid-level, the game resumed,
the in-game menu and options, back to the main menu with the game saved."""

import os
import sys

import glob
import struct

from gamedriver import BoardView, Game, temporary_data_home

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print(f"FAIL: {what}", flush=True)
    return condition


def looks_like_a_screen(game, label, min_spread=12.0):
    picture = game.screenshot(label)
    check(picture.width * 3 == picture.height * 4,
          f"{game.name}/{label}: screenshot is 4:3 (got {picture.width} x {picture.height})")
    check(picture.spread() > min_spread, f"{game.name}/{label}: screen is not blank (spread {picture.spread():.1f})")
    return picture


def changed(game, label, threshold=4.0):
    before = game.last
    picture = looks_like_a_screen(game, label)
    if before is not None:
        check(picture.difference(before) > threshold,
              f"{game.name}/{label}: screen differs from the one before ({picture.difference(before):.1f})")
    return picture


def play_button(picture):
    """The play button replaces the loading bar when loading is done."""
    r, g, b = picture.mean_at(290, 330, 510, 380)
    return g > r + 15 and g > b + 15


def leave_title(game, label, pause):
    game.start()
    title = game.wait_for("title", play_button)
    check(play_button(title), f"{game.name}/title: the play button shows once loading is done")
    game.click(400, 350, pause=pause)
    return changed(game, label)


def first_start(game):
    leave_title(game, "new-profile", pause=1.0)
    game.type("Tester")
    game.key("Return", pause=2.5)            # the dialog's create; then the transition to the menu
    changed(game, "main-menu")


# Where the menus put their buttons, in the game's 800 x 600 space.
MAIN_NEW_GAME = (294, 512)
MAIN_RESUME = (512, 510)
PICK_CASUAL = (310, 381)
TUTORIAL_OK = (734, 552)
BOARD_MENU = (400, 565)
POPUP_BACK_TO_GAME = (394, 154)
POPUP_OPTIONS = (300, 385)
POPUP_MAIN_MENU = (512, 369)
MESSAGE_OK = (398, 452)
OPTIONS_VOLUME = (400, 271)
OPTIONS_DONE = (397, 504)


def play_swaps(game, count):
    """Swaps pieces that line up three, found on the screenshots."""
    made = 0
    for _ in range(count):
        board = BoardView(game.screenshot("swap"))
        moves = board.moves()
        if not moves:
            break
        (x0, y0), (x1, y1) = moves[len(moves) // 2]
        game.click(*board.centre(x0, y0), pause=0.15)
        game.click(*board.centre(x1, y1), pause=1.6)
        made += 1
    return made


def board_on_screen(game, label):
    picture = changed(game, label)
    board = BoardView(picture)
    check(board.distinct_cells() >= 48, f"{game.name}/{label}: the 8 x 8 board shows its pieces "
          f"({board.distinct_cells()} cells)")
    return picture


def casual_game(game):
    game.click(*MAIN_NEW_GAME, pause=1.0)
    changed(game, "game-picker")
    game.click(*PICK_CASUAL, pause=3.0)
    changed(game, "tutorial")
    game.click(*TUTORIAL_OK, pause=4.0)
    start = board_on_screen(game, "casual")
    made = play_swaps(game, 24)
    check(made >= 12, f"{game.name}: a dozen swaps found on the board (made {made})")
    played = game.screenshot("after-swaps")
    check(played.difference(start) > 4, f"{game.name}: the board changed with the swaps")


def popup_and_options(game):
    """The in-game menu, the options (volume), back to the game, then to the
    main menu, which saves the game."""
    game.click(*BOARD_MENU, pause=1.5)
    changed(game, "popup-menu")
    game.click(*POPUP_OPTIONS, pause=1.5)
    changed(game, "options")
    game.click(*OPTIONS_VOLUME, pause=0.5)
    game.click(*OPTIONS_DONE, pause=1.0)
    changed(game, "options-done")
    game.click(*POPUP_BACK_TO_GAME, pause=1.0)
    board_on_screen(game, "back-to-game")
    game.click(*BOARD_MENU, pause=1.5)
    game.click(*POPUP_MAIN_MENU, pause=1.5)
    changed(game, "saved-message")
    game.click(*MESSAGE_OK, pause=3.0)
    changed(game, "main-menu-from-game")
    check(profile_file(game.data_home, "casual.sav") is not None, f"{game.name}: the Casual game was saved")


def profile_file(data_home, name):
    found = glob.glob(os.path.join(data_home, "**", "Profiles", "Tester", name), recursive=True)
    return found[0] if found else None


def closed_mid_level(game):
    game.close_window()
    status = game.wait_exit()
    check(status == 0, f"{game.name}: closed in a level, the game exits with status 0 (got {status})")
    check(profile_file(game.data_home, "casual.sav") is not None, f"{game.name}: the Casual game was saved")


def resume_casual(game):
    leave_title(game, "main-menu-again", pause=2.5)
    game.click(*MAIN_RESUME, pause=1.0)
    changed(game, "resume-picker")
    game.click(*PICK_CASUAL, pause=4.0)
    board_on_screen(game, "resumed")


def progress_counts(data_home):
    """Pieces popped and Casual games played, from the progress block."""
    path = profile_file(data_home, "config.cfg")
    if path is None:
        return None
    with open(path, "rb") as f:
        block = f.read()
    if len(block) != 1284:
        return None
    return struct.unpack_from("<I", block, 4)[0], struct.unpack_from("<I", block, 40)[0]


def main():
    program_dir, shots_dir = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    for renderer in ("-software", "-hardware"):
        data_home = temporary_data_home()
        game = Game(program_dir, data_home, renderer, shots_dir, name=renderer.strip("-"))
        try:
            first_start(game)
            casual_game(game)
            closed_mid_level(game)
            resume_casual(game)
            popup_and_options(game)
            game.close_window()
            status = game.wait_exit()
            check(status == 0, f"{game.name}: the game exits with status 0 (got {status})")
            counts = progress_counts(data_home)
            check(counts is not None and counts[0] > 0 and counts[1] >= 1,
                  f"{game.name}: the progress block counts pieces popped and Casual games played ({counts})")
        except Exception as error:  # a step that could not run is a failure, not a crash
            check(False, f"{game.name}: {error}")
        finally:
            game.kill()
    print(f"screenshots in {shots_dir}")
    if failures:
        print(f"{len(failures)} check(s) failed")
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
