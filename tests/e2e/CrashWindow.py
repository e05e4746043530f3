#!/usr/bin/env python3
"""The crash window of the real program: "QuorbSwap -crash" brings it up from
the crash reporter's own process; each state is photographed by the X
server; a description typed with X key events and "Send Now" reach a report
server of our own on 127.0.0.1 (the program is pointed there through
QS_CRASH_REPORT_SERVER); "Close" ends the reporter and the program, with no
process left behind.

    CrashWindow.py PROGRAM_DIR SHOTS_DIR"""

import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

from gamedriver import DEADLINE, Picture, wait_until

TITLE = "Quorb Swap - Unexpected Error"
# Stands for the crash window's id in a command given to on_window.
WINDOW = object()
# The window's client area, as the crash window lays it out.
WIDTH = 500
PANEL = (300, 95)
SEND = (125, 400)
CLOSE = (375, 400)
# The description's first line.
AREA = (20, 112, 300, 132)
# The lines of the result below "Contacting ...": the server's answer.
ANSWER = (20, 150, 480, 260)
RED, GREEN, BLUE = (255, 0, 0), (0, 128, 0), (0, 0, 255)
# The server holds its answer this long, so the sending state can be seen.
ANSWER_DELAY = 2.0


class ReportServer(http.server.BaseHTTPRequestHandler):
    requests = []
    answered = threading.Event()

    def do_GET(self):
        ReportServer.requests.append(urllib.parse.unquote(self.path))
        time.sleep(ANSWER_DELAY)
        self.send_response(200)
        self.end_headers()
        self.wfile.write(b"<RESULT>OK</RESULT>")
        self.wfile.flush()
        ReportServer.answered.set()

    def log_message(self, *args):
        pass


def family(pid):
    """The process and every process it started, however deep."""
    parents = {}
    for entry in os.listdir("/proc"):
        try:
            with open(f"/proc/{entry}/stat") as f:
                # The name, in parentheses, may hold spaces: the fields after it.
                parents[int(entry)] = int(f.read().rsplit(")", 1)[1].split()[1])
        except (OSError, ValueError, IndexError):
            pass
    found, grown = {pid}, True
    while grown:
        more = {child for child, parent in parents.items() if parent in found} - found
        found |= more
        grown = bool(more)
    return found


class CrashWindow:
    def __init__(self, shots_dir, program):
        self.shots_dir = shots_dir
        self.program = program
        self.window = None
        self.pid = None
        self.number = 0

    def find(self, timeout=DEADLINE):
        """The crash window: a visible window with its title of the program
        or of a process it started (the reporter), and that process. The
        renderer may make the window anew as it starts: a window gone by
        the time it is looked at is passed over."""
        def found():
            if self.program.poll() is not None:
                raise RuntimeError(f"the program ended with status {self.program.returncode} before the crash "
                                   "window")
            for pid in sorted(family(self.program.pid)):
                windows = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid),
                                          "--name", f"^{TITLE}$"], capture_output=True, text=True).stdout.split()
                for window in reversed(windows):
                    if self.width(window) is not None:
                        return window, pid
            return None

        self.window, self.pid = wait_until("the crash window", found, timeout=timeout)
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window], capture_output=True)

    def on_window(self, *command):
        """A command on the crash window (WINDOW in it stands for the
        window's id); when it fails because the window went, once more on
        the one that replaced it."""
        run = subprocess.run([self.window if a is WINDOW else a for a in command], capture_output=True)
        if run.returncode != 0 and self.width() is None:
            self.find()
            run = subprocess.run([self.window if a is WINDOW else a for a in command], capture_output=True)
        if run.returncode != 0:
            raise RuntimeError(f"{' '.join(command[:2])} on the crash window failed: "
                               f"{run.stderr.decode(errors='replace').strip()}")

    def width(self, window=None):
        """The window's width, or None when it is gone."""
        text = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window or self.window],
                              capture_output=True, text=True).stdout
        values = dict(line.split("=", 1) for line in text.split() if "=" in line)
        return int(values["WIDTH"]) if "WIDTH" in values else None

    def click(self, point):
        self.on_window("xdotool", "mousemove", "--window", WINDOW, str(point[0]), str(point[1]), "sleep", "0.05",
                       "mousedown", "1", "sleep", "0.08", "mouseup", "1")

    def type(self, text):
        self.on_window("xdotool", "windowfocus", "--sync", WINDOW, "type", "--delay", "60", text)

    def grab(self):
        path = os.path.join(tempfile.gettempdir(), f"qs-crash-{os.getpid()}.bmp")
        self.on_window("import", "-window", WINDOW, f"bmp3:{path}")
        picture = Picture(path)
        os.remove(path)
        return picture

    def shot(self, label, panel, shows=None):
        """The window as the X server shows it once its panel has the
        state's colour and, when asked, it shows what is named, as (what,
        test of a picture): the frames after a click or an answer may still
        be on their way. Kept under the label."""
        what, test = shows or ("", lambda picture: True)
        picture = wait_until(label, self.grab, ready=lambda p: self.panel_is(p, panel) and test(p), every=0.2,
                             or_last=True)
        if not self.panel_is(picture, panel):
            raise RuntimeError(f"the {label} panel is {picture.pixel(*PANEL)}, not {panel} (after {DEADLINE} s)")
        if not test(picture):
            raise RuntimeError(f"{what} does not show (after {DEADLINE} s)")
        self.number += 1
        os.makedirs(self.shots_dir, exist_ok=True)
        with open(os.path.join(self.shots_dir, f"crash-{self.number:02d}-{label}.bmp"), "wb") as f:
            f.write(picture.data)
        return picture

    @staticmethod
    def panel_is(picture, colour):
        got = picture.pixel(*PANEL)
        return all(abs(got[c] - colour[c]) <= 8 for c in range(3))


def alive(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().split()[2] != "Z"
    except OSError:
        return False


def main():
    program_dir = os.path.abspath(sys.argv[1])
    shots_dir = os.path.abspath(sys.argv[2])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), ReportServer)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    home = tempfile.mkdtemp(prefix="qs-e2e-crash-")
    # The graphics driver keeps its cache by the user's entry, not HOME.
    env = dict(os.environ, HOME=home, XDG_DATA_HOME=home, XDG_CACHE_HOME=os.path.join(home, ".cache"),
               SDL_AUDIODRIVER="dummy",
               QS_CRASH_REPORT_SERVER=f"http://127.0.0.1:{server.server_address[1]}")
    env.pop("SDL_VIDEODRIVER", None)
    game = subprocess.Popen([os.path.join(program_dir, "QuorbSwap"), "-crash"], cwd=program_dir, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    reporter = None
    try:
        window = CrashWindow(shots_dir, game)
        window.find()
        reporter = window.pid
        if window.width() != WIDTH:
            raise RuntimeError(f"the crash window is {window.width()} pixels wide, not {WIDTH}")
        window.shot("report", RED)

        window.click(SEND)
        blank = window.shot("description", GREEN)
        window.type("it froze on level 3")
        window.shot("typed", GREEN, ("the typed description", lambda typed: typed.difference(blank, *AREA) >= 2))

        window.click(SEND)
        sending = window.shot("sending", BLUE)
        wait_until("a report reaching the server", lambda: ReportServer.requests)
        if "<USER>it froze on level 3</USER>" not in ReportServer.requests[0]:
            raise RuntimeError(f"the description is not in the report: {ReportServer.requests[0]}")
        wait_until("the server's answer", ReportServer.answered.is_set)
        window.shot("answer", BLUE, ("the server's answer", lambda answer: answer.difference(sending, *ANSWER) >= 2))

        window.click(CLOSE)
        try:
            status = game.wait(timeout=DEADLINE)
        except subprocess.TimeoutExpired:
            raise RuntimeError(f"the program did not end within {DEADLINE} s of Close") from None
        if status != 0:
            raise RuntimeError(f"the program exited with status {status}")
        if not wait_until("the crash reporter's end", lambda: not alive(reporter), or_last=True):
            raise RuntimeError(f"the crash reporter is still running {DEADLINE} s after the program ended")
    except Exception as error:
        print(f"FAIL: {error}")
        return 1
    finally:
        # The program and all it started, the reporter among them even when
        # no window of it was found.
        for pid in family(game.pid) | {reporter} - {None}:
            if alive(pid):
                os.kill(pid, 9)
        server.shutdown()
        shutil.rmtree(home, ignore_errors=True)
    print("the crash window showed each state, sent the description to the local server and closed cleanly")
    return 0


if __name__ == "__main__":
    sys.exit(main())
