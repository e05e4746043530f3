#!/usr/bin/env python3
"""Every screen whose generated art carries rules or has to fit the places
the game draws it, shot on both renderers as a player meets it: the title,
the new-player dialog, a journey map with every kind of square open (its
tip arrow on both sides, the tooltips of levels, bonuses, jigsaw and goal),
each level type's tutorial page and board (a Skip power held, so the
board shows its Skip button; the duel left by the right half of its Menu
button), a drain level lost with its prompt, the options over the main
menu, the second tip after a bonus is collected, and the high-score name
entry at the journey's end.

    ArtShots.py PROGRAM_DIR SHOTS_DIR

The journey is a saved game written here: a map of open squares, one of
each level type along the top row."""

import os
import shutil
import struct
import sys

from gamedriver import Game, temporary_data_home, unlike
from PlayThrough import (BOARD_MENU, MAIN_OPTIONS, MAIN_RESUME, OPTIONS_DONE, PICK_JOURNEY, POPUP_JOURNEY_MAP,
                         QUESTION_YES, TITLE_PLAY, TUTORIAL_OK, BANNER_GONE, check, failures, map_square,
                         play_button, start_banner, tutorial_shown)

DUEL_MENU = (430, 585)  # right of the button's middle, over the computer's board
LEVEL_NAMES = ("meter", "skulls", "drain", "matches", "collect", "gogold", "surprise", "duel")
GOAL = (8, 8)
START = (4, 8)


def square_record(kind, item=0, piece=0, locked=False, won=False, goal=False, start=False):
    return struct.pack("<4B2fif4f2i", goal, start, locked, won, 1.0, 1.0, kind, 0.5,
                       0.45, 0.3, 0.85, 1.0, item, piece)


def journey_save(level, tip, tip_square):
    """A saved journey showing its map: the level types along the top row,
    the seven bonuses below, an open and a locked jigsaw square, a locked
    bonus, the start and an open goal; the tip marker at the given square
    as the game places it."""
    squares = {}
    for kind in range(8):
        squares[(kind, 0)] = square_record(kind)
    for item in range(7):
        squares[(item, 2)] = square_record(10, item)
    squares[(1, 4)] = square_record(9, 0, 0)
    squares[(3, 4)] = square_record(9, 0, 1, locked=True)
    squares[(5, 4)] = square_record(10, 3, locked=True)
    squares[START] = square_record(0, start=True, won=True)
    squares[GOAL] = square_record(0, goal=True)
    record = b"".join(squares.get((i // 9, i % 9), square_record(0, locked=True)) for i in range(81))
    record += struct.pack("<4i?i", -1, -1, -1, -1, False, 0)
    x, y = map_square(*tip_square)
    y -= 3
    facing = 1.0
    if x >= 400:
        x -= 120
    else:
        x, facing = x + 120, -1.0
    record += struct.pack("<i5ffi?", tip, x, y, 0.0, facing, 25.0 if tip == 1 else 10.0, 0.0, 0, False)
    head = struct.pack("<9i", 2, 1, START[0], START[1], level, 612345, 999999, 0, 50)
    # One SkipLevel power held: every board shows its Skip button.
    # The drain level at full difficulty runs dry in about 20 seconds of play.
    head += struct.pack("<10i", 4, *([-1] * 9)) + struct.pack("<10f", 0.0, 0.0, 1.0, *([0.0] * 7))
    return head + b"\x01" + record + b"\x00\x00" + b"\x01\x00\x00"


def profile_folder(data_home):
    for root, folders, _ in os.walk(data_home):
        if os.path.basename(root) == "Profiles" and "Tester" in folders:
            return os.path.join(root, "Tester")
    return None


def next_screen(game, label, keep=False):
    """The screen the last input leads to, once it has settled."""
    return game.settled(label, keep=keep, until=unlike(game.last))


def open_journey(game, data_home, save, label):
    """Starts the game on a saved journey and resumes it: its map, once
    settled."""
    with open(os.path.join(profile_folder(data_home), "journey.sav"), "wb") as f:
        f.write(save)
    game.start()
    game.wait_for(label + "-title", play_button)
    game.click(*TITLE_PLAY)
    next_screen(game, label + "-main-menu")
    game.click(*MAIN_RESUME)
    next_screen(game, label + "-resume-picker")
    game.click(*PICK_JOURNEY)
    game.move(20, 20)
    check(on_map(game.wait_for(label + "-map", on_map)), f"{label}: the saved journey's map shows")
    return game.settled(label + "-map")


def tooltip(game, square, label, plain):
    """The map with the tooltip of a square: opened towards the middle of
    the screen from the pointer, and shot once it has faded in."""
    x, y = map_square(*square)
    game.move(x + 3, y + 3)
    game.move(x, y)
    left = x + 25 if x <= 375 else x - 85
    top = y + 25 if y <= 275 else y - 65
    near = (left, top, left + 60, top + 40)
    game.settled(label, region=near, until=lambda p: p.difference(plain, *p.box(near)) > TOOLTIP_SHOWN)


# How far the corner of a tooltip by the pointer is from the plain map.
TOOLTIP_SHOWN = 10
# How far the map with a tip shown is from the map before it.
TIP_SHOWN = 1.0


def on_map(picture):
    """The journey map: the Menu button's gold disc at the right."""
    r, g, b = picture.mean_at(725, 385, 765, 410)
    return r > 150 and g > 100 and b < 120


def lost(picture):
    """The lose overlay: "You Lose" in red lettering over the board."""
    r, g, b = picture.mean_at(300, 245, 500, 285)
    return r > g + 40 and r > b + 20


# The band of a lost level's "click to continue" prompt.
PROMPT = (300, 318, 500, 345)


def play_level(game, kind, label):
    """Opens the level of one type from the map: its tutorial page, its
    board once the start banners have gone, then back to the map. The
    drain level is left to run dry: its lose overlay with the prompt."""
    name = LEVEL_NAMES[kind]
    x, y = map_square(kind, 0)
    game.move(x + 3, y + 3)
    game.click(x, y)
    check(tutorial_shown(game.wait_for(f"{label}-opening-{name}", tutorial_shown)),
          f"{label}: the {name} level opens on its tutorial page")
    tutorial = game.settled(f"{label}-tutorial-{name}")
    game.click(*TUTORIAL_OK)
    board = game.settled(f"{label}-board-{name}", until=lambda p: unlike(tutorial)(p) and
                         start_banner(p) <= BANNER_GONE)
    check(start_banner(board) <= BANNER_GONE, f"{label}: the start banners leave the {name} board")
    if name == "drain":
        # The meter starts draining with the first swap tried.
        game.click(172, 72, pause=0.2)
        game.click(237, 72, pause=0.5)
        first = game.wait_for(f"{label}-lost-{name}", lost)
        check(lost(first), f"{label}: the drain level runs dry")
        game.settled(f"{label}-lost-{name}", until=lambda p: p.difference(first, *p.box(PROMPT)) > 3)
        game.click(400, 300)
    else:
        game.click(*(DUEL_MENU if kind == 7 else BOARD_MENU))
        next_screen(game, f"{label}-popup-{name}")
        game.click(*POPUP_JOURNEY_MAP)
        next_screen(game, f"{label}-leave-{name}")
        game.click(*QUESTION_YES)
    check(on_map(game.wait_for(f"{label}-back-from-{name}", on_map)), f"{label}: back on the map from {name}")
    return game.settled(f"{label}-map-after-{name}", keep=False)


def run(program_dir, shots_dir, renderer):
    label = renderer.strip("-")
    data_home = temporary_data_home()
    game = Game(program_dir, data_home, renderer, shots_dir, name=label)
    try:
        game.start()
        game.wait_for(label + "-first-title", play_button)
        game.click(*TITLE_PLAY)
        next_screen(game, label + "-new-player-dialog")
        # The keys come before the screenshot's in the window's queue.
        game.type("Tester")
        game.screenshot(label + "-new-player")
        game.key("Return")
        next_screen(game, label + "-main-menu")
        # The options over the main menu: nothing of the menu among its labels.
        game.click(*MAIN_OPTIONS)
        next_screen(game, label + "-options", keep=True)
        game.click(*OPTIONS_DONE)
        next_screen(game, label + "-main-menu-again")
        game.close_window()
        game.wait_exit()
        # Tip 2 on a square left of the middle: the arrow mirrored.
        open_journey(game, data_home, journey_save(2, 2, (1, 4)), label + "-tip2")
        game.close_window()
        game.wait_exit()
        plain = open_journey(game, data_home, journey_save(1, 1, (7, 0)), label + "-tip1")
        for kind in range(8):
            tooltip(game, (kind, 0), f"{label}-tooltip-{LEVEL_NAMES[kind]}", plain)
        for item in range(7):
            tooltip(game, (item, 2), f"{label}-tooltip-bonus{item}", plain)
        for square, name in (((1, 4), "jigsaw"), ((3, 4), "jigsaw-locked"), ((5, 4), "bonus-locked"),
                             (GOAL, "goal")):
            tooltip(game, square, f"{label}-tooltip-{name}", plain)
        for kind in (0, 1, 2, 3, 4, 5, 7):
            plain = play_level(game, kind, label)
        # A bonus collected wins the first square: tip 2 points at the open
        # square nearest the map's right, in column 6, from the side where
        # it stays inside the map's frame.
        x, y = map_square(0, 2)
        game.click(x, y)
        game.move(20, 20)
        game.settled(label + "-tip2-column6", until=unlike(plain, TIP_SHOWN))
        # The goal ends the journey; after the final screen, the score asks
        # for a name.
        x, y = map_square(*GOAL)
        game.click(x, y)
        final = next_screen(game, label + "-journey-end", keep=True)
        game.click(400, 300)
        game.settled(label + "-high-score-entry", keep=False, until=unlike(final))
        game.type("Tester")
        game.screenshot(label + "-high-score-name")
    finally:
        game.kill()
        shutil.rmtree(data_home, ignore_errors=True)


def main():
    program_dir, shots_dir = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(shots_dir, exist_ok=True)
    for renderer in ("-hardware", "-software"):
        run(program_dir, shots_dir, renderer)
    print(f"screenshots in {shots_dir}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
