#!/usr/bin/env python3
"""How the suites read a board, on boards drawn from the program's own art
as the game draws its pieces: on either colour of cell, in the plain and the
shining frame, pulsing white as a super piece does.

    BoardViewTest.py PROGRAM_DIR"""

import os
import subprocess
import sys
import tempfile

from gamedriver import BoardView, Picture

BLUE_CELL, DARK_CELL = (3, 69, 139), (0, 0, 26)
SIZE = 56  # a piece's width on the 65-pixel cells of an 800 x 600 board


def art(program_dir, name):
    """The picture at the size the board draws it: rows of (r, g, b, a)."""
    raw = subprocess.run(["convert", os.path.join(program_dir, "graphics", "quorbs", f"{name}.png"),
                          "-resize", f"{SIZE}x{SIZE}!", "rgba:-"], capture_output=True, check=True).stdout
    return [[tuple(raw[(y * SIZE + x) * 4:(y * SIZE + x) * 4 + 4]) for x in range(SIZE)] for y in range(SIZE)]


def board_picture(cells):
    """An 800 x 600 screenshot of a board whose cell (x, y) is cells[x][y]:
    (background, piece art or None, the white pulse's opacity)."""
    view = BoardView.__new__(BoardView)
    view.left, view.top, view.cell = 140, 40, 65
    pixels = bytearray(800 * 600 * 3)
    for x, column in enumerate(cells):
        for y, (background, piece, pulse) in enumerate(column):
            left, top = view.left + view.cell * x, view.top + view.cell * y
            for py in range(view.cell):
                for px in range(view.cell):
                    colour = background
                    ax, ay = px - (view.cell - SIZE) // 2, py - (view.cell - SIZE) // 2
                    if piece is not None and 0 <= ax < SIZE and 0 <= ay < SIZE:
                        r, g, b, a = piece[ay][ax]
                        # The piece over its cell, then its shape filled white.
                        colour = [(c * a + k * (255 - a)) / 255 for c, k in zip((r, g, b), colour)]
                        colour = [c + (255 - c) * pulse * a / 255 for c in colour]
                    i = ((599 - top - py) * 800 + left + px) * 3
                    pixels[i:i + 3] = bytes(round(c) for c in reversed(colour))
    header = b"BM" + (54 + len(pixels)).to_bytes(4, "little") + bytes(4) + (54).to_bytes(4, "little")
    info = ((40).to_bytes(4, "little") + (800).to_bytes(4, "little") + (600).to_bytes(4, "little") +
            (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + bytes(24))
    with tempfile.NamedTemporaryFile(suffix=".bmp", delete=False) as f:
        f.write(header + info + pixels)
    try:
        return Picture(f.name)
    finally:
        os.remove(f.name)


def main():
    program_dir = os.path.abspath(sys.argv[1])
    BoardView.learn_pieces(program_dir)
    kinds = len(BoardView.piece_hues)
    failures = []

    # Every kind down a column; down the rows each frame, pulse and cell
    # colour. The highest pulse read is one a super piece passes through on
    # every beat: an eighth of each beat is at or below it.
    looks = [(frame, pulse, background) for frame in (0, 1) for pulse in (0.0, 0.15)
             for background in (BLUE_CELL, DARK_CELL)]
    pieces = [[art(program_dir, f"qb{kind}{frame}") for frame in (0, 1)] for kind in range(kinds)]
    view = BoardView(board_picture([[(background, pieces[kind][frame], pulse) for frame, pulse, background in looks]
                                    for kind in range(kinds)]))
    for kind in range(kinds):
        for row, (frame, pulse, background) in enumerate(looks):
            if view.cells[kind][row].kind != kind:
                failures.append(f"kind {kind}, frame {frame}, pulse {pulse}, on {background}: "
                                f"read as {view.cells[kind][row].kind}")

    # A skull, pulsing or not, is no kind of piece, nor is an empty cell.
    skulls = [art(program_dir, f"qb{kinds}{frame}") for frame in (0, 1)]
    looks = [(frame, pulse, background) for frame in (0, 1) for pulse in (0.0, 0.3, 0.75)
             for background in (BLUE_CELL, DARK_CELL)]
    view = BoardView(board_picture([[(background, skulls[frame], pulse) for frame, pulse, background in looks[:8]],
                                    [(background, skulls[frame], pulse) for frame, pulse, background in looks[4:]],
                                    [(BLUE_CELL, None, 0.0)] * 8, [(DARK_CELL, None, 0.0)] * 8] +
                                   [[(BLUE_CELL, None, 0.0)] * 8] * 4))
    for x in range(4):
        for y in range(8):
            if view.cells[x][y].kind is not None:
                failures.append(f"a skull or an empty cell ({x}, {y}) read as kind {view.cells[x][y].kind}")

    # A super piece at the top of its pulse is too pale to tell: the board
    # read on pictures one after another takes each cell where it shows.
    def pulsing(pulse):
        return board_picture([[(BLUE_CELL, pieces[kind % kinds][1], pulse if kind == 0 else 0.0)
                               for kind in range(x, x + 8)] for x in range(8)])
    top, low = pulsing(0.75), pulsing(0.15)
    if BoardView(top).cells[0][0].kind is not None:
        failures.append(f"a super piece at the top of its pulse read as kind {BoardView(top).cells[0][0].kind}")
    merged = BoardView.on_some([top, top, low])
    if merged.cells[0][0].kind != 0 or merged.cells[1][0].kind != 1:
        failures.append(f"pictures one after another read the super piece as {merged.cells[0][0].kind}")

    # Three alike in a row are seen as a line, which a board at rest never
    # shows; kinds in turn along the rows and columns show none.
    def board_of(kind_at):
        return BoardView(board_picture([[(BLUE_CELL, pieces[kind_at(x, y) % kinds][0], 0.0) for y in range(8)]
                                        for x in range(8)]))
    if board_of(lambda x, y: x + 2 * y).shows_a_line():
        failures.append("a board with no line read as showing one")
    if not board_of(lambda x, y: 0 if y == 3 and x in (2, 3, 4) else x + 2 * y + 1).shows_a_line():
        failures.append("three alike in a row not read as a line")

    for failure in failures:
        print(f"FAIL: {failure}")
    print(f"{len(failures)} check(s) failed" if failures else "all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
