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

from gamedriver import Picture

TITLE = "Quorb Swap - Unexpected Error"
# The window's client area, as the crash window lays it out.
WIDTH = 500
PANEL = (300, 95)
SEND = (125, 400)
CLOSE = (375, 400)
# The description's first line.
AREA = (20, 112, 300, 132)
RED, GREEN, BLUE = (255, 0, 0), (0, 128, 0), (0, 0, 255)
# The server holds its answer this long, so the sending state can be seen.
ANSWER_DELAY = 2.0


class ReportServer(http.server.BaseHTTPRequestHandler):
    requests = []

    def do_GET(self):
        ReportServer.requests.append(urllib.parse.unquote(self.path))
        time.sleep(ANSWER_DELAY)
        self.send_response(200)
        self.end_headers()
        self.wfile.write(b"<RESULT>OK</RESULT>")

    def log_message(self, *args):
        pass


class CrashWindow:
    def __init__(self, shots_dir):
        self.shots_dir = shots_dir
        self.window = None
        self.number = 0

    def find(self, process, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if process.poll() is not None:
                raise RuntimeError(f"the program ended with status {process.returncode} before the crash window")
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{TITLE}$"],
                                   capture_output=True, text=True).stdout.split()
            if found:
                self.window = found[-1]
                subprocess.run(["xdotool", "windowfocus", "--sync", self.window], capture_output=True)
                return
            time.sleep(0.1)
        raise RuntimeError("no crash window appeared")

    def pid(self):
        return int(subprocess.run(["xdotool", "getwindowpid", self.window], capture_output=True,
                                  text=True, check=True).stdout)

    def width(self):
        text = subprocess.run(["xdotool", "getwindowgeometry", "--shell", self.window], capture_output=True,
                              text=True).stdout
        return int(dict(line.split("=", 1) for line in text.split() if "=" in line)["WIDTH"])

    def click(self, point):
        subprocess.run(["xdotool", "mousemove", "--window", self.window, str(point[0]), str(point[1]), "sleep",
                        "0.05", "mousedown", "1", "sleep", "0.08", "mouseup", "1"], check=True)
        time.sleep(0.5)

    def type(self, text):
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window, "type", "--delay", "60", text], check=True)
        time.sleep(0.5)

    def grab(self):
        path = os.path.join(tempfile.gettempdir(), f"qs-crash-{os.getpid()}.bmp")
        subprocess.run(["import", "-window", self.window, f"bmp3:{path}"], check=True, capture_output=True)
        picture = Picture(path)
        os.remove(path)
        return picture

    def shot(self, label, panel, timeout=10):
        """The window as the X server shows it once its panel has the
        state's colour (the first frames may still be on their way), kept
        under the label."""
        deadline = time.time() + timeout
        picture = self.grab()
        while not self.panel_is(picture, panel) and time.time() < deadline:
            time.sleep(0.2)
            picture = self.grab()
        if not self.panel_is(picture, panel):
            raise RuntimeError(f"the {label} panel is {picture.pixel(*PANEL)}, not {panel}")
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
        window = CrashWindow(shots_dir)
        window.find(game)
        reporter = window.pid()
        if window.width() != WIDTH:
            raise RuntimeError(f"the crash window is {window.width()} pixels wide, not {WIDTH}")
        window.shot("report", RED)

        window.click(SEND)
        blank = window.shot("description", GREEN)
        window.type("it froze on level 3")
        typed = window.shot("typed", GREEN)
        if typed.difference(blank, *AREA) < 2:
            raise RuntimeError("the typed description does not show")

        window.click(SEND)
        window.shot("sending", BLUE)
        deadline = time.time() + 15
        while not ReportServer.requests and time.time() < deadline:
            time.sleep(0.1)
        if not ReportServer.requests:
            raise RuntimeError("no report reached the server")
        if "<USER>it froze on level 3</USER>" not in ReportServer.requests[0]:
            raise RuntimeError(f"the description is not in the report: {ReportServer.requests[0]}")
        time.sleep(ANSWER_DELAY + 1)
        window.shot("answer", BLUE)

        window.click(CLOSE)
        status = game.wait(timeout=15)
        if status != 0:
            raise RuntimeError(f"the program exited with status {status}")
        if alive(reporter):
            raise RuntimeError("the crash reporter is still running")
    except Exception as error:
        print(f"FAIL: {error}")
        return 1
    finally:
        for pid in (reporter, game.pid):
            if pid is not None and alive(pid):
                os.kill(pid, 9)
        server.shutdown()
        shutil.rmtree(home, ignore_errors=True)
    print("the crash window showed each state, sent the description to the local server and closed cleanly")
    return 0


if __name__ == "__main__":
    sys.exit(main())
