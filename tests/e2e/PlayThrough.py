#!/usr/bin/env python3
"""The whole game as a player meets it: started under an X server, driven by
real clicks and keys, checked through its own screenshots.

    PlayThrough.py PROGRAM_DIR SHOTS_DIR

Runs the flow once in software and once in hardware mode, then the rough
cases (focus lost mid-drag, window closed mid-level, read-only data)."""

import os
import sys

from gamedriver import Game, temporary_data_home

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


def first_start(game):
    game.start()
    # The play button replaces the loading bar when loading is done.
    def play_button(p):
        r, g, b = p.mean_at(290, 330, 510, 380)
        return g > r + 15 and g > b + 15
    title = game.wait_for("title", play_button)
    check(play_button(title), f"{game.name}/title: the play button shows once loading is done")
    looks_like_a_screen(game, "title")
    game.click(400, 350, pause=1.0)
    changed(game, "new-profile")
    game.type("Tester")
    game.key("Return", pause=2.5)            # the dialog's create; then the transition to the menu
    changed(game, "main-menu")


def main():
    program_dir, shots_dir = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    for renderer in ("-software", "-hardware"):
        data_home = temporary_data_home()
        game = Game(program_dir, data_home, renderer, shots_dir, name=renderer.strip("-"))
        try:
            first_start(game)
            game.close_window()
            status = game.wait_exit()
            check(status == 0, f"{game.name}: the game exits with status 0 (got {status})")
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
