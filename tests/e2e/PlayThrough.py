#!/usr/bin/env python3
"""The whole game as a player meets it: started under an X server, driven by
real clicks and keys, checked through its own screenshots.

    PlayThrough.py PROGRAM_DIR SHOTS_DIR

Two runs of the whole flow, one starting on each renderer and switched to
the other through the options (so every step is seen on both): first start,
a Casual game played by swaps (one by two quick clicks close together),
the window losing the focus mid-drag and mid-swap, pause and resume, the
options, the renderer restart, the saved game resumed, the window closed
mid-level and the save loaded next start, a journey (difficulty, map, a
level, back to the map), the records screen and its pages, quit. Then a run
with the data folder read-only."""

import glob
import os
import shutil
import struct
import subprocess
import sys
import time

from gamedriver import DEADLINE, BoardView, Game, temporary_data_home, unlike, wait_until

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print(f"FAIL: {what}", flush=True)
    return condition


# Where the screens put their buttons, in the game's 800 x 600 space.
TITLE_PLAY = (400, 350)
MAIN_NEW_GAME = (294, 512)
MAIN_RESUME = (512, 510)
MAIN_HIGH_SCORES = (81, 522)
MAIN_OPTIONS = (712, 525)
MAIN_EXIT = (769, 37)
PICK_JOURNEY = (400, 222)
PICK_CASUAL = (310, 381)
PICK_NORMAL = (465, 240)
TUTORIAL_OK = (734, 552)
BOARD_MENU = (400, 565)
POPUP_BACK_TO_GAME = (394, 154)
POPUP_OPTIONS = (300, 385)
POPUP_MAIN_MENU = (512, 369)
POPUP_JOURNEY_MAP = (210, 318)
QUESTION_YES = (307, 454)
MESSAGE_OK = (398, 452)
OPTIONS_VOLUME_Y = 271  # the volume track, x 320 to 612
OPTIONS_HARDWARE = (212, 402)
OPTIONS_SOFTWARE = (212, 431)
OPTIONS_DONE = (397, 504)
MAP_MENU = (745, 398)
TEXT_BOX = (225, 230, 575, 300)  # the message box's first lines, in pixels of a hardware screenshot
RECORDS_LEFT = (180, 552)
RECORDS_MAIN_MENU = (400, 552)
# Where a journey may start: a corner or the middle of an edge.
MAP_STARTS = ((8, 8), (0, 0), (8, 0), (0, 8), (4, 8), (8, 4), (0, 4), (4, 0))
OFF_BOARD = (60, 300)  # beside the board: a click there only resumes
BOARD = (140, 40, 660, 560)  # the 8 x 8 grid; the meters beside it move on their own
SCORE = (340, 2, 460, 32)  # the score's digits above the board


def map_square(x, y):
    return 217 + 55 * x, 96 + 53 * y


# -- what a screen must show -------------------------------------------------
def looks_like_a_screen(game, picture, label, min_spread=12.0):
    check(picture.width * 3 == picture.height * 4,
          f"{game.name}/{label}: screenshot is 4:3 (got {picture.width} x {picture.height})")
    check(picture.spread() > min_spread, f"{game.name}/{label}: screen is not blank (spread {picture.spread():.1f})")
    return picture


def differs(game, picture, before, label, threshold=4.0):
    if before is not None and before.width == picture.width:
        check(picture.difference(before) > threshold,
              f"{game.name}/{label}: screen differs from the one before ({picture.difference(before):.1f})")
    return picture


def changed(game, label, threshold=4.0):
    """The screen once it has left the one before and settled: not blank
    and not the one before."""
    before = game.last
    picture = game.settled(label, until=unlike(before, threshold))
    looks_like_a_screen(game, picture, label)
    return differs(game, picture, before, label, threshold)


def green(rgb, margin=30):
    r, g, b = rgb
    return g > r + margin and g > b + margin


def play_button(picture):
    """The play button replaces the loading bar when loading is done."""
    return green(picture.mean_at(290, 330, 510, 380), 15)


def tutorial_shown(picture):
    """The tutorial page's green OK beside its blue "don't show" button."""
    r, g, b = picture.mean_at(560, 545, 640, 560)
    return green(picture.mean_at(700, 545, 770, 560)) and b > r + 30 and b > g + 10


def paused(picture):
    """The pause overlay: bright blue bands across the middle of the screen,
    over the board's frame and the backdrop at both sides."""
    sides = (picture.mean_at(0, 250, 60, 350), picture.mean_at(740, 250, 800, 350))
    return all(b > r + 80 and b > g + 80 for r, g, b in sides)


def start_banner(picture):
    """How much of a level's start banner ("Ready?", then "Go!") shows
    across the middle of the screen: the pixels of its dark purple outline,
    which neither the board nor its pieces have (at most about 25 of them
    look alike), about 175 at its full size."""
    return sum(1 for y in (285, 295, 305, 315) for x in range(200, 600, 2)
               if max(picture.at(x, y)) < 80 and picture.at(x, y)[0] > picture.at(x, y)[1] + 6 and
               picture.at(x, y)[2] > picture.at(x, y)[0] + 10)


# No more of the banner than this: it has gone, or nearly (the board takes
# no swap until it has).
BANNER_GONE = 60


def shows_pieces(picture):
    """Whether the 8 x 8 board shows its pieces, with no start banner or
    transition over them."""
    return BoardView(picture).distinct_cells() >= 48 and start_banner(picture) <= BANNER_GONE


def board_on_screen(game, label):
    """The board once it shows its pieces, after the screen before: a
    level's start banners take a while to go."""
    before = game.last
    picture = game.settled(label, region=BOARD, timeout=4,  # the hint arrow bobs until a press
                           until=lambda p: unlike(before)(p) and shows_pieces(p))
    looks_like_a_screen(game, picture, label)
    differs(game, picture, before, label)
    check(shows_pieces(picture), f"{game.name}/{label}: the 8 x 8 board shows its pieces "
          f"({BoardView(picture).distinct_cells()} cells, {start_banner(picture)} pixels of a banner over them)")
    return picture


# Cells alike on two pictures of a board left alone (pieces glint now and then).
IDLE_ALIKE = 56


def still_board(game, label, timeout=4):
    """The board at rest: the last screenshot when nothing was done since it
    settled. Until a press the hint arrow bobs, and the board never stands
    still: only the cases that compare the board before and after wait
    longer, once pieces have been pressed, for the pieces to have fallen."""
    return game.still or game.settled(label, region=BOARD, timeout=timeout)


def same_board(a, b):
    """How many cells show the same piece on both pictures."""
    return same_board_on_some([a], [b])


def same_board_on_some(before, after):
    """How many cells show the same piece on some picture of each list:
    idle pieces shine in turn, paler for a moment, so on pictures a little
    apart every cell shows its piece plainly on one of them."""
    xs, ys = [BoardView(p) for p in before], [BoardView(p) for p in after]
    return sum(1 for i in range(8) for j in range(8)
               if any(BoardView.alike(x.cells[i][j], y.cells[i][j]) for x in xs for y in ys))


def a_little_apart(game, first, label, count=3):
    """The given picture and more screenshots of the same screen after it."""
    pictures = [first]
    for _ in range(count - 1):
        time.sleep(0.4)
        pictures.append(game.screenshot(label, keep=False))
    return pictures


# -- steps ------------------------------------------------------------------
def leave_title(game, label):
    title = game.wait_for("title", play_button)
    check(play_button(title), f"{game.name}/title: the play button shows once loading is done")
    game.click(*TITLE_PLAY, pause=0.3)
    return changed(game, label)


def message_shown(picture):
    """The message box's green OK button."""
    return green(picture.mean_at(350, 440, 370, 465))


def dismiss_messages(game, label, ready):
    """Waits for the screen "ready" tells, clicking OK on each message box
    shown meanwhile; how many there were."""
    shown = 0
    while True:
        picture = game.wait_for(f"{label}-{shown}", lambda p: message_shown(p) or ready(p))
        if not message_shown(picture) or shown > 8:
            return shown
        shown += 1
        # A box that opens under a still pointer takes its click once the
        # pointer has moved.
        game.move(MESSAGE_OK[0] + 3 * (shown % 2), MESSAGE_OK[1])
        game.click(*MESSAGE_OK, pause=0.3)


def first_start(game):
    game.start()
    leave_title(game, "new-profile")
    game.type("Tester")
    game.key("Return", pause=0.3)            # the dialog's create; then the transition to the menu
    changed(game, "main-menu")


def switch_renderer(game, software, label):
    """In the options (open): picks the renderer and leaves; the program
    restarts on it and comes back to its title screen."""
    game.click(*(OPTIONS_SOFTWARE if software else OPTIONS_HARDWARE), pause=0.3)
    game.click(*OPTIONS_DONE, pause=0.3)
    size = (640, 480) if software else (800, 600)
    game.reattach(size=size)
    picture = game.wait_for(label, play_button)
    check((picture.width, picture.height) == size,
          f"{game.name}/{label}: back on the {'software' if software else 'hardware'} renderer "
          f"({picture.width} x {picture.height})")
    check(play_button(picture), f"{game.name}/{label}: the restarted game comes back to its title")
    game.click(*TITLE_PLAY, pause=0.3)
    changed(game, "main-menu-after-restart")


def board_to_swap(game, label, timeout=4):
    """A board at rest that shows a swap: its picture and the view read from
    it. A super piece pulses white, too pale to tell its kind for most of
    each beat, and may hold the board's only swaps: with none seen, the
    cells are read on the pictures that follow too, and until the deadline
    on a board settled afresh."""
    looks = []

    def look():
        board = game.settled(label, region=BOARD, timeout=timeout) if looks else still_board(game, label, timeout)
        looks.append(board)
        view = BoardView(board)
        if not view.moves():
            view = BoardView.on_some([board] + [game.screenshot(label, keep=False) for _ in range(7)])
        return board, view

    return wait_until(f"{label}: a swap on the board", look,
                      ready=lambda seen: shows_pieces(seen[0]) and seen[1].moves(), every=0, or_last=True)


def swap_once(game, view):
    moves = view.moves()
    if not moves:
        return False
    (x0, y0), (x1, y1) = moves[len(moves) // 2]
    game.click(*view.centre(x0, y0), pause=0.1)
    game.click(*view.centre(x1, y1), pause=0.6)
    return True


def steady_swap(game, label):
    """A board at rest and its swaps, read alike on pictures a little apart
    with no line shown on any: something passing over a cell makes it read
    as another piece for a moment. When no swap shows on every picture, a
    super piece pulsing white may hold them: those read on the pictures
    together."""
    def look():
        board, view = board_to_swap(game, label)
        pictures = a_little_apart(game, board, label)
        views = [BoardView(p) for p in pictures]
        if any(v.shows_a_line() for v in views):
            game.still = None  # taken afresh next time
            return board, []
        moves = [m for m in views[0].moves() if all(m in v.moves() for v in views[1:])]
        return board, moves or BoardView.on_some(pictures).moves() or view.moves()

    return wait_until(f"{label}: a swap read alike on the board at rest", look,
                      ready=lambda seen: seen[1], every=0, or_last=True)


def quick_swap_across_edge(game):
    """Two quick clicks 20 px apart, 10 px either side of the edge two pieces
    share: a swap, not a double click."""
    board, moves = steady_swap(game, "before-quick-swap")
    if not check(moves, f"{game.name}: a swap on the board before the quick clicks"):
        return
    (x0, y0), (x1, y1) = moves[-1]  # the second cell lies right of or below the first
    view = BoardView(board)
    x, y = view.centre(x0, y0)
    if x1 > x0:
        edge = view.left + view.cell * x1
        first, second = (edge - 10, y), (edge + 10, y)
    else:
        edge = view.top + view.cell * y1
        first, second = (x, edge - 10), (x, edge + 10)
    game.xdo("mousemove", "--window", game.window, *game.to_window(*first), "click", "1",
             "sleep", "0.04", "mousemove", "--window", game.window, *game.to_window(*second), "click", "1")
    # Only a few cells change; the score shows that the swap was made.
    after = game.settled("quick-swap", region=BOARD, timeout=4,
                         until=lambda p: p.difference(board, *p.box(SCORE)) > 0.5)
    looks_like_a_screen(game, after, "quick-swap")
    change = after.difference(board, *after.box(SCORE))
    now = BoardView(after)
    kept = sum(BoardView.alike(view.cells[i][j], now.cells[i][j]) for i, j in ((x0, y0), (x1, y1)))
    check(change > 0.5, f"{game.name}/quick-swap: two quick clicks across a cell edge swap and score "
          f"(score changed by {change:.1f}; {kept} of the two cells ({x0}, {y0}) and ({x1}, {y1}) as before)")


def play_swaps(game, count, label="swaps"):
    """Swaps pieces that line up three, found on the screenshots; each swap
    waits for the board to settle."""
    start = game.last
    began = time.time()
    made = 0
    for _ in range(count):
        picture, view = board_to_swap(game, "before-" + label)
        if not swap_once(game, view):
            break
        made += 1
        picture = game.settled(label, keep=made == count, region=BOARD, timeout=3)
    check(same_board(start, picture) <= 61, f"{game.name}: the board changed with the {label}")
    print(f"{game.name}: {made} {label} in {time.time() - began:.1f} s", flush=True)
    return made


def resume(game):
    """Clicks beside the board until the pause overlay has gone. The game
    takes the focus back a moment after the X server gives it (SDL holds a
    focus-in back a little), and a click before that may not resume it; a
    click there once resumed does nothing."""
    def clicked():
        game.click(*OFF_BOARD, pause=0)
        return game.xshot("resuming", until=lambda p: not paused(p), timeout=5, keep=False)

    wait_until("the pause overlay going", clicked, ready=lambda p: not paused(p), every=0, or_last=True)


def paused_by_focus_loss(game, label):
    """The pause overlay once the focus, given to another window, has come
    back. The game sees the focus go only once it has stayed away a moment
    (SDL holds a change of focus back a little), and may draw the overlay
    only once it has the focus again: looked for while away first, for a
    while, then once back."""
    game.xshot(label, until=paused, timeout=10, keep=False)
    game.activate()
    return game.xshot(label, until=paused)


def pause_and_resume(game):
    """P pauses; the overlay is taken by X, as any key would resume."""
    board = a_little_apart(game, still_board(game, "before-pause", DEADLINE), "before-pause")
    game.key("p", pause=0)
    overlay = game.xshot("paused", until=paused)
    check(paused(overlay), f"{game.name}/paused: the pause overlay shows")
    resume(game)
    after = a_little_apart(game, board_on_screen(game, "resumed"), "resumed")
    check(same_board_on_some(board, after) >= IDLE_ALIKE, f"{game.name}/resumed: the board is the one paused")


def focus_lost_mid_drag(game):
    """A piece pressed, the focus lost, the button released elsewhere: the
    game pauses and no piece stays held."""
    board, view = board_to_swap(game, "before-drag", DEADLINE)
    moves = view.moves()
    if not check(moves, f"{game.name}: a swap on the board before the drag"):
        return
    (x0, y0), (x1, y1) = moves[0]             # a drag that lines up three
    a, b = view.centre(x0, y0), view.centre(x1, y1)
    game.move(*a)
    game.xdo("mousedown", "1")
    time.sleep(0.1)
    game.move(a[0] + 1, a[1] + 1)              # pressed, not yet a swap
    game.focus_away()
    game.move(*b)                              # a held piece would swap now
    game.xdo("mouseup", "1")
    overlay = paused_by_focus_loss(game, "focus-lost-mid-drag")
    check(paused(overlay), f"{game.name}/focus-lost-mid-drag: the game pauses")
    resume(game)
    game.move(*a)                              # and once resumed
    game.move(*b)
    after = board_on_screen(game, "after-focus-drag")
    unchanged = BoardView(after)
    # A swap would change both cells; a glint may change one.
    kept = any(BoardView.alike(view.cells[x][y], unchanged.cells[x][y]) for x, y in ((x0, y0), (x1, y1)))
    check(kept and same_board(board, after) >= IDLE_ALIKE,
          f"{game.name}/after-focus-drag: no piece moved without a press "
          f"({same_board(board, after)} of 64 cells unchanged)")
    game.click(*OFF_BOARD, pause=0.2)       # the pressed piece stays chosen: let it go


def focus_lost_mid_swap(game):
    """The focus lost while two pieces change places: paused, then resumed,
    the swap ends and play goes on."""
    board, view = board_to_swap(game, "before-swap", DEADLINE)
    moves = view.moves()
    if not check(moves, f"{game.name}: a swap on the board before the focus is lost"):
        return
    (x0, y0), (x1, y1) = moves[0]
    game.click(*view.centre(x0, y0), pause=0.1)
    game.click(*view.centre(x1, y1), pause=0.0)
    game.focus_away()
    overlay = paused_by_focus_loss(game, "focus-lost-mid-swap")
    check(paused(overlay), f"{game.name}/focus-lost-mid-swap: the game pauses")
    resume(game)
    after = board_on_screen(game, "after-focus-swap")
    swapped = BoardView(after)
    check(not all(BoardView.alike(view.cells[x][y], swapped.cells[x][y]) for x, y in ((x0, y0), (x1, y1))),
          f"{game.name}/after-focus-swap: the swap went through")


def casual_game(game, swaps, rough):
    game.click(*MAIN_NEW_GAME, pause=0.3)
    changed(game, "game-picker")
    game.click(*PICK_CASUAL, pause=0.3)
    tutorial = game.wait_for("tutorial", tutorial_shown)
    check(tutorial_shown(tutorial), f"{game.name}/tutorial: the tutorial page shows first")
    game.click(*TUTORIAL_OK, pause=0.3)
    board_on_screen(game, "casual")
    made = play_swaps(game, swaps // 2)
    quick_swap_across_edge(game)
    if rough:
        focus_lost_mid_drag(game)
        focus_lost_mid_swap(game)
        pause_and_resume(game)
    made += play_swaps(game, swaps - swaps // 2, "more-swaps")
    check(made >= swaps * 3 // 4, f"{game.name}: {swaps} swaps found on the board (made {made})")


def options_in_game(game, software):
    """The in-game menu, the options: the volume, then the other renderer;
    the game is saved as the program restarts."""
    game.click(*BOARD_MENU, pause=0.3)
    changed(game, "popup-menu")
    game.click(*POPUP_OPTIONS, pause=0.3)
    options = changed(game, "options")
    thumb = volume_thumb(options)
    if check(thumb is not None, f"{game.name}/options: the volume slider's thumb shows"):
        game.drag(thumb, OPTIONS_VOLUME_Y, thumb - 120, OPTIONS_VOLUME_Y)
        volume = game.screenshot("volume")
        moved = volume_thumb(volume)
        check(moved is not None and moved < thumb - 60,
              f"{game.name}/volume: the thumb follows the drag (from {thumb} to {moved})")
    switch_renderer(game, software, "restarted")
    check(profile_file(game.data_home, "casual.sav") is not None, f"{game.name}: the Casual game was saved")


def volume_thumb(picture):
    """The middle of the white thumb on the volume track, or None."""
    white = [x for x in range(320, 612) if min(picture.at(x, OPTIONS_VOLUME_Y)) > 200]
    return (white[0] + white[-1]) // 2 if white else None


def resume_casual(game, label):
    game.click(*MAIN_RESUME, pause=0.3)
    changed(game, "resume-picker")
    game.click(*PICK_CASUAL, pause=0.3)
    board_on_screen(game, label)


def closed_mid_level(game):
    game.close_window()
    status = game.wait_exit()
    check(status == 0, f"{game.name}: closed in a level, the game exits with status 0 (got {status})")
    check(profile_file(game.data_home, "casual.sav") is not None, f"{game.name}: the Casual game was saved")
    game.start()
    leave_title(game, "main-menu-again")
    resume_casual(game, "resumed-after-close")


def to_main_menu(game, label):
    """From a Casual game through the in-game menu; the game is saved."""
    game.click(*BOARD_MENU, pause=0.3)
    changed(game, label + "-popup")
    game.click(*POPUP_MAIN_MENU, pause=0.3)
    message = changed(game, label + "-saved-message")
    game.click(*MESSAGE_OK, pause=0.3)
    changed(game, label + "-main-menu")
    return message


def find_start(picture):
    """The journey's start square: the green one."""
    for x, y in MAP_STARTS:
        cx, cy = map_square(x, y)
        if green(picture.mean_at(cx - 15, cy - 15, cx + 15, cy + 15)):
            return cx, cy
    return None


def map_shown(game, label, start=None):
    """The map once its start square shows (the one given) and the
    transition's piece has left the middle. The start square glows and the
    tip beside it moves: the half of the map away from them is watched."""
    before = game.last
    game.wait_for(label, lambda picture: find_start(picture) is not None and start in (None, find_start(picture)))
    x, y = find_start(game.last) or map_square(4, 4)
    if x != map_square(4, 4)[0]:
        away = (190, 68, 400, 540) if x > 400 else (400, 68, 680, 540)
    else:
        away = (190, 300, 680, 540) if y < 300 else (190, 68, 680, 300)
    chart = game.settled(label, region=away)
    looks_like_a_screen(game, chart, label)
    differs(game, chart, before, label)
    return chart


def journey(game):
    """A new journey at Normal, its start square, a level played a little
    and left for the map through the in-game menu, then the main menu."""
    game.click(*MAIN_NEW_GAME, pause=0.3)
    changed(game, "journey-picker")
    game.click(*PICK_JOURNEY, pause=0.3)
    changed(game, "difficulty")
    game.click(*PICK_NORMAL, pause=0.3)
    chart = map_shown(game, "journey-map")
    start = find_start(chart)
    if not check(start is not None, f"{game.name}/journey-map: the start square shows"):
        return
    # The map takes the square under the pointer from the last move it saw,
    # and sees none while it is busy: a fresh move once it has settled, and
    # again when the map stays (the click was not taken).
    for _ in range(3):
        game.move(start[0] + 30, start[1] + 30)
        game.click(*start, pause=0.3)
        left = game.wait_for("journey-opening", lambda p: tutorial_shown(p) or unlike(chart)(p), timeout=6)
        if tutorial_shown(left) or unlike(chart)(left):
            break
    level = game.wait_for("journey-tutorial", tutorial_shown)
    check(tutorial_shown(level), f"{game.name}/journey-tutorial: the level's tutorial page shows")
    game.click(*TUTORIAL_OK, pause=0.3)
    board_on_screen(game, "journey-level")
    play_swaps(game, 2, "journey-swaps")
    game.click(*BOARD_MENU, pause=0.3)
    changed(game, "journey-popup")
    game.click(*POPUP_JOURNEY_MAP, pause=0.3)
    changed(game, "leave-level-question")
    game.click(*QUESTION_YES, pause=0.3)
    again = map_shown(game, "back-on-map", start)
    check(find_start(again) == start, f"{game.name}/back-on-map: the map is the journey's")
    game.click(*MAP_MENU, pause=0.3)
    changed(game, "map-popup")
    game.click(*POPUP_MAIN_MENU, pause=0.3)
    changed(game, "journey-saved-message")
    game.click(*MESSAGE_OK, pause=0.3)
    changed(game, "main-menu-after-journey")
    check(profile_file(game.data_home, "journey.sav") is not None, f"{game.name}: the journey was saved")


def records(game):
    """The records screen opens on the high scores; the arrow turns to the
    statistics, then the jigsaw page; the middle button goes back."""
    game.click(*MAIN_HIGH_SCORES, pause=0.3)
    pages = [changed(game, "high-scores")]
    for label in ("statistics", "jigsaw"):
        game.click(*RECORDS_LEFT, pause=0.3)
        pages.append(changed(game, label))
    check(pages[2].difference(pages[0]) > 4, f"{game.name}/jigsaw: the third page is not the first again")
    game.click(*RECORDS_MAIN_MENU, pause=0.3)
    changed(game, "main-menu-after-records")


def quit_game(game):
    game.click(*MAIN_EXIT, pause=0.2)
    status = game.wait_exit()
    check(status == 0, f"{game.name}: Exit ends the game with status 0 (got {status})")


def profile_file(data_home, name):
    found = glob.glob(os.path.join(data_home, "**", "Profiles", "Tester", name), recursive=True)
    return found[0] if found else None


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


def whole_flow(game, hardware_first, swaps, rough):
    first_start(game)
    if not hardware_first:
        game.click(*MAIN_OPTIONS, pause=0.3)
        changed(game, "main-options")
        switch_renderer(game, True, "software")
    casual_game(game, swaps, rough)
    options_in_game(game, hardware_first)
    resume_casual(game, "resumed")
    if rough:
        closed_mid_level(game)
    saved_message = to_main_menu(game, "casual")
    journey(game)
    records(game)
    quit_game(game)
    counts = progress_counts(game.data_home)
    check(counts is not None and counts[0] > 0 and counts[1] >= 1,
          f"{game.name}: the progress block counts pieces popped and Casual games played ({counts})")
    return saved_message


def without_write_rights():
    """Root writes into read-only folders: the game then runs without that
    right. Where this process holds no such right (a plain user, or CI's
    root, which keeps no capability it does not need), there is none to
    drop, nor the right to drop one."""
    with open("/proc/self/status") as status:
        effective = next(int(line.split()[1], 16) for line in status if line.startswith("CapEff:"))
    if not effective & (1 << 1 | 1 << 2):  # CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH
        return []
    return ["setpriv", "--inh-caps=-dac_override,-dac_read_search", "--bounding-set=-dac_override,-dac_read_search"]


def read_only_data(program_dir, shots_dir, data_home, saved_message):
    """The data folder of an earlier run, made read-only: the game starts,
    names the folder it cannot write once, tells the player of each file it
    could not save, resumes, plays, says the game could not be saved, and
    quits cleanly, leaving every file as it was (but the test's own record
    of what the game printed)."""
    game = Game(program_dir, data_home, "-hardware", shots_dir, name="read-only")
    game.wrapper = without_write_rights()
    output = game.output_path()
    # Made before the listing: the game's output is the test's own record.
    open(output, "ab").close()
    files = sorted(glob.glob(os.path.join(data_home, "**"), recursive=True))
    before = {path: open(path, "rb").read() for path in files if os.path.isfile(path) and path != output}
    printed_before = os.path.getsize(output) if os.path.exists(output) else 0
    subprocess.run(["chmod", "-R", "a-w", data_home], check=True)
    # The test's record stays writable: only a root able to write anywhere
    # could write it in a read-only folder.
    os.chmod(output, 0o644)
    try:
        game.start()
        told = dismiss_messages(game, "title-messages", play_button)
        leave_title(game, "main-menu")
        told += dismiss_messages(game, "main-menu-messages", lambda p: not message_shown(p))
        check(told >= 1, "read-only: the player is told of the files that could not be saved")
        resume_casual(game, "resumed")
        play_swaps(game, 2)
        game.click(*BOARD_MENU, pause=0.3)
        changed(game, "popup-menu")
        game.click(*POPUP_MAIN_MENU, pause=0.3)
        message = changed(game, "not-saved-message")
        if saved_message is not None:
            check(message.difference(saved_message, *TEXT_BOX) > 2,
                  "read-only: the message is not the one of a game saved")
        game.click(*MESSAGE_OK, pause=0.3)
        changed(game, "main-menu-after")
        check(dismiss_messages(game, "main-menu-after-messages", lambda p: not message_shown(p)) == 0,
              "read-only: each file is told once")
        quit_game(game)
        with open(output, "rb") as f:
            printed = f.read()[printed_before:].decode(errors="replace")
        check(printed.count("cannot be made or written") == 1,
              f"read-only: the game names the data folder it cannot write, once (it printed {printed!r})")
        after = {path: open(path, "rb").read() for path in before}
        check(after == before, "read-only: every file of the data folder is as it was")
        check(sorted(glob.glob(os.path.join(data_home, "**"), recursive=True)) == files,
              "read-only: no file was added")
    finally:
        game.kill()
        subprocess.run(["chmod", "-R", "u+w", data_home])


def main():
    program_dir, shots_dir = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    shutil.rmtree(shots_dir, ignore_errors=True)
    started = time.time()
    homes = []
    saved_message = None
    for hardware_first, swaps, rough in ((True, 20, True), (False, 6, False)):
        data_home = temporary_data_home()
        homes.append(data_home)
        name = "hardware-first" if hardware_first else "software-first"
        game = Game(program_dir, data_home, "-hardware", shots_dir, name=name)
        try:
            saved_message = whole_flow(game, hardware_first, swaps, rough)
        except Exception as error:  # a step that could not run is a failure, not a crash
            check(False, f"{game.name}: {error}")
        finally:
            game.kill()
        print(f"{name}: {time.time() - started:.0f} s", flush=True)
    try:
        read_only_data(program_dir, shots_dir, homes[-1], saved_message)
    except Exception as error:
        check(False, f"read-only: {error}")
    for home in homes:
        shutil.rmtree(home, ignore_errors=True)
    print(f"screenshots in {shots_dir}; {time.time() - started:.0f} s")
    if failures:
        print(f"{len(failures)} check(s) failed")
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
