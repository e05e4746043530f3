"""Drives the real game under an X server with real input events.

The game runs from its program folder with a fresh data folder, in a window
of its own size; clicks and keys go through xdotool, and every check looks at
the game's own screenshots (Ctrl+Print Screen writes Screenshots/screenshotN.bmp
in the program folder)."""

import collections
import colorsys
import ctypes
import ctypes.util
import os
import shutil
import signal
import struct
import subprocess
import tempfile
import time

# How long a test waits for what another process is to do: a window to show,
# a screen to be ready, a file to appear, a process to end. A loaded machine
# (builds beside the tests, a busy CI host) takes many times what a quiet one
# does; the wait ends as soon as the event comes, so a long one costs nothing.
DEADLINE = 300


def wait_until(what, probe, ready=bool, timeout=DEADLINE, every=0.1, or_last=False):
    """Calls probe until ready holds on what it returns (true by default) and
    returns that. At the deadline, the last value when or_last (for a caller
    that says what is wrong with it), else a TimeoutError naming what did not
    come."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if ready(value):
            return value
        if time.monotonic() >= deadline:
            if or_last:
                return value
            raise TimeoutError(f"{what}: not within {timeout:.0f} s")
        time.sleep(every)


class Picture:
    """A screenshot: width, height and rows of (r, g, b) from the top."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        if data[:2] != b"BM":
            raise ValueError(f"{path} is not a bitmap")
        offset = struct.unpack_from("<I", data, 10)[0]
        width, height = struct.unpack_from("<ii", data, 18)
        bits = struct.unpack_from("<H", data, 28)[0]
        step = bits // 8
        stride = (width * step + 3) & ~3
        self.width, self.height = width, abs(height)
        self.path = path
        self.data, self.offset, self.stride, self.step = data, offset, stride, step
        self.bottom_up = height > 0

    def _at(self, x, y):
        row = self.height - 1 - y if self.bottom_up else y
        i = self.offset + row * self.stride + x * self.step
        return (self.data[i + 2], self.data[i + 1], self.data[i])

    def pixel(self, x, y):
        return self._at(x, y)

    def at(self, x, y):
        """The pixel at a point of the game's 800 x 600 space (the software
        renderer's screenshots are smaller)."""
        return self._at(int(x * self.width / 800), int(y * self.height / 600))

    def mean(self, x0=0, y0=0, x1=None, y1=None):
        x1 = self.width if x1 is None else x1
        y1 = self.height if y1 is None else y1
        total, count = [0, 0, 0], 0
        for y in range(y0, y1, 2):
            for x in range(x0, x1, 2):
                p = self._at(x, y)
                for c in range(3):
                    total[c] += p[c]
                count += 1
        return [t / max(count, 1) for t in total]

    def mean_at(self, x0, y0, x1, y1):
        """The mean colour of a rectangle of the game's 800 x 600 space."""
        return self.mean(*self.box((x0, y0, x1, y1)))

    def bright_mean(self, x0, y0, x1, y1, floor=150):
        """The mean colour of a rectangle's bright pixels (a channel at the
        floor or above), or None where they are fewer than a quarter."""
        bright = [p for p in (self._at(x, y) for y in range(y0, y1) for x in range(x0, x1)) if max(p) >= floor]
        if len(bright) * 4 < max((x1 - x0) * (y1 - y0), 1):
            return None
        return [sum(p[c] for p in bright) / len(bright) for c in range(3)]

    def bright_mean_at(self, x0, y0, x1, y1):
        """bright_mean over a rectangle of the game's 800 x 600 space."""
        return self.bright_mean(*self.box((x0, y0, x1, y1)))

    def box(self, region):
        """A region of the game's 800 x 600 space in pixels (all of it when
        None)."""
        if region is None:
            return 0, 0, self.width, self.height
        sx, sy = self.width / 800, self.height / 600
        return int(region[0] * sx), int(region[1] * sy), int(region[2] * sx), int(region[3] * sy)

    def spread(self):
        """How far the picture is from one flat colour (0 when blank)."""
        m = self.mean()
        total, count = 0.0, 0
        for y in range(0, self.height, 4):
            for x in range(0, self.width, 4):
                p = self._at(x, y)
                total += sum(abs(p[c] - m[c]) for c in range(3))
                count += 1
        return total / max(count, 1)

    def difference(self, other, x0=0, y0=0, x1=None, y1=None):
        """Mean absolute per-channel difference over a region."""
        x1 = min(self.width, other.width) if x1 is None else x1
        y1 = min(self.height, other.height) if y1 is None else y1
        total, count = 0, 0
        for y in range(y0, y1, 3):
            for x in range(x0, x1, 3):
                a, b = self._at(x, y), other._at(x, y)
                total += sum(abs(a[c] - b[c]) for c in range(3))
                count += 3
        return total / max(count, 1)


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("client", _ClientMessage), ("pad", ctypes.c_long * 24)]


def _xlib():
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XCreateSimpleWindow.restype = ctypes.c_ulong
    x11.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                        ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
    x11.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    return x11


class BellListener:
    """Counts the X server's bells as they ring, through the bell notify
    events of the XKB extension."""

    def __init__(self):
        x11 = _xlib()
        x11.XkbQueryExtension.argtypes = [ctypes.c_void_p] + [ctypes.POINTER(ctypes.c_int)] * 5
        x11.XkbSelectEvents.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
        x11.XPending.argtypes = [ctypes.c_void_p]
        x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        self.x11, self.display = x11, x11.XOpenDisplay(None)
        if not self.display:
            raise RuntimeError("no X display")
        self.base = ctypes.c_int()
        opcode, error, major, minor = ctypes.c_int(), ctypes.c_int(), ctypes.c_int(1), ctypes.c_int(0)
        if not x11.XkbQueryExtension(self.display, ctypes.byref(opcode), ctypes.byref(self.base),
                                     ctypes.byref(error), ctypes.byref(major), ctypes.byref(minor)):
            raise RuntimeError("the X server has no XKB extension")
        bell_notify = 1 << 8
        x11.XkbSelectEvents(self.display, 0x100, bell_notify, bell_notify)  # the core keyboard's
        x11.XSync(self.display, 0)
        self.rung = 0

    def wait(self, count, timeout=DEADLINE):
        """Whether at least count bells have rung, waiting up to timeout."""
        event = _Event()

        def rung():
            while self.x11.XPending(self.display):
                self.x11.XNextEvent(self.display, ctypes.byref(event))
                raw = bytes(event)
                # An XkbAnyEvent: its type, then its XKB type (8, a bell) at byte 40.
                if int.from_bytes(raw[:4], "little") == self.base.value and raw[40] == 8:
                    self.rung += 1
            return self.rung >= count

        return wait_until(f"{count} bell(s)", rung, timeout=timeout, every=0.05, or_last=True)


_decoy = None


def decoy_window():
    """A small window of our own in the screen's corner, away from the game:
    with no window manager, giving it the keyboard focus is how the game's
    window loses it. It lives as long as this process."""
    global _decoy
    if _decoy is None:
        x11 = _xlib()
        display = x11.XOpenDisplay(None)
        if not display:
            raise RuntimeError("no X display")
        root = x11.XDefaultRootWindow(display)
        window = x11.XCreateSimpleWindow(display, root, 1000, 740, 16, 16, 0, 0, 0)
        x11.XMapWindow(display, window)
        x11.XSync(display, 0)
        _decoy = (x11, display, window)
    return _decoy[2]


def send_delete_window(window):
    x11 = _xlib()
    display = x11.XOpenDisplay(None)
    if not display:
        raise RuntimeError("no X display")
    event = _Event()
    event.client.type = 33  # ClientMessage
    event.client.window = window
    event.client.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.client.format = 32
    event.client.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    x11.XFlush(display)
    x11.XCloseDisplay(display)


class Game:
    def __init__(self, program_dir, data_home, renderer="-software", shots_dir=None, name="e2e"):
        self.program_dir = program_dir
        self.data_home = data_home
        if not BoardView.piece_hues:
            BoardView.learn_pieces(program_dir)
        self.renderer = renderer
        self.name = name
        self.shots_dir = shots_dir
        self.process = None
        self.window = None
        self.shot_number = 0
        self.last = None
        self.previous = None
        self.scale = None
        # The last settled screenshot, while no input has come since.
        self.still = None
        # Prepended to the command line (to start the game without the
        # rights that let root write anywhere).
        self.wrapper = []

    # -- process -------------------------------------------------------
    def start(self, timeout=DEADLINE):
        env = dict(os.environ)
        env["XDG_DATA_HOME"] = self.data_home
        env["HOME"] = self.data_home
        # The graphics driver keeps its shader cache by the user's entry in
        # the password file, not HOME.
        env["XDG_CACHE_HOME"] = os.path.join(self.data_home, ".cache")
        # One copy of the game runs per runtime folder: a game of the test's
        # own meets neither one being played nor another build's test.
        env["XDG_RUNTIME_DIR"] = os.path.join(self.data_home, ".runtime")
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        env.pop("SDL_VIDEODRIVER", None)
        env["SDL_AUDIODRIVER"] = "dummy"
        shutil.rmtree(os.path.join(self.program_dir, "Screenshots"), ignore_errors=True)
        # What the game prints is kept, so that a failure can say why.
        with open(self.output_path(), "ab") as output:
            self.process = subprocess.Popen([*self.wrapper, os.path.join(self.program_dir, "QuorbSwap"),
                                             self.renderer], cwd=self.program_dir, env=env,
                                            stdout=output, stderr=subprocess.STDOUT)
        self.window = None
        self.reattach(timeout)

    def reattach(self, timeout=DEADLINE, size=None):
        """Finds the game's window (again, after a restart opens a new one,
        or after the renderer made its window anew), of the given width and
        height when asked: a visible window of the game's own process."""
        def found():
            if self.process.poll() is not None:
                raise RuntimeError(f"the game ended with status {self.process.returncode} while opening its window"
                                   f"{self.output_tail()}")
            for window in reversed(subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid)],
                                                  capture_output=True, text=True).stdout.split()):
                # One gone since the search has no size and is passed over.
                shape = self.window_size(window)
                if shape is not None and (size is None or shape == size):
                    return window
            return None

        try:
            self.window = wait_until(f"a game window{'' if size is None else ' of %d x %d' % size}", found,
                                     timeout=timeout)
        except TimeoutError as error:
            raise RuntimeError(f"{error}{self.output_tail()}") from None
        self.scale = None
        self.activate()

    def output_path(self):
        return os.path.join(self.data_home, "game-output.txt")

    def output_tail(self, lines=20):
        """The last lines the game printed, to be shown with a failure."""
        try:
            with open(self.output_path(), errors="replace") as f:
                tail = f.read().splitlines()[-lines:]
        except OSError:
            return ""
        return "".join("\n  game: " + line for line in tail)

    def wait_exit(self, timeout=DEADLINE):
        return self.process.wait(timeout=timeout)

    def kill(self):
        if self.process and self.process.poll() is None:
            self.process.send_signal(signal.SIGKILL)
            self.process.wait()

    def running(self):
        return self.process is not None and self.process.poll() is None

    # -- input ---------------------------------------------------------
    def xdo(self, *args):
        """An xdotool command on the game's window; when it fails because the
        window went (the game made its window anew), once more on the one
        that replaced it."""
        self.still = None
        run = subprocess.run(["xdotool", *args], capture_output=True)
        if run.returncode != 0 and self.window in args and self.window_size() is None:
            gone = self.window
            self.reattach()
            run = subprocess.run(["xdotool", *(self.window if a == gone else a for a in args)], capture_output=True)
        if run.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(args)} failed: {run.stderr.decode(errors='replace').strip()}")

    def activate(self):
        """Gives the game's window the keyboard focus, asking again until the
        X server says it has it: with no window manager, focusing is all
        activating can do, and a starved request may come to nothing (the
        game, never told, then stays in the background and draws nothing)."""
        def focus():
            if self.window_size() is None:  # made anew since it was found
                self.reattach()
            subprocess.run(["xdotool", "windowfocus", "--sync", self.window], capture_output=True)
            return subprocess.run(["xdotool", "getwindowfocus"], capture_output=True, text=True).stdout.strip()

        wait_until("the game's window taking the focus", focus, ready=lambda window: window == self.window,
                   every=0.5)

    def focus_away(self):
        """Another window takes the keyboard focus; the pointer stays."""
        self.xdo("windowfocus", "--sync", str(decoy_window()))

    def window_size(self, window=None):
        """Width and height of the window (the game's by default), or None
        when it is gone."""
        text = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window or self.window],
                              capture_output=True, text=True).stdout
        values = dict(line.split("=", 1) for line in text.split() if "=" in line)
        if "WIDTH" not in values or "HEIGHT" not in values:
            return None
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def measure_window(self):
        """Clicks are given in the game's 800 x 600 space and scaled to the
        window, which the software renderer makes smaller."""
        size = self.window_size()
        if size is None:  # made anew since it was found
            self.reattach()
            size = self.window_size()
        self.scale = (size[0] / 800, size[1] / 600)

    def to_window(self, x, y):
        """The point of the game's space in the window's pixels."""
        if self.scale is None:
            self.measure_window()  # once the window has its final size: at the first use
        return str(int(x * self.scale[0])), str(int(y * self.scale[1]))

    def move(self, x, y):
        self.xdo("mousemove", "--window", self.window, *self.to_window(x, y), "sleep", "0.05")

    def click(self, x, y, pause=0.4):
        # One xdotool run for the whole click: on a loaded machine every
        # process started costs.
        self.xdo("mousemove", "--window", self.window, *self.to_window(x, y), "sleep", "0.05",
                 "mousedown", "1", "sleep", "0.08", "mouseup", "1")
        time.sleep(pause)

    def drag(self, x0, y0, x1, y1, pause=0.3):
        self.move(x0, y0)
        self.xdo("mousedown", "1")
        time.sleep(0.05)
        steps = 6
        for i in range(1, steps + 1):
            self.move(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps)
        self.xdo("mouseup", "1")
        time.sleep(pause)

    def key(self, name, pause=0.3):
        self.xdo("key", name)
        time.sleep(pause)

    def type(self, text, pause=0.3):
        self.xdo("type", "--delay", "60", text)
        time.sleep(pause)

    def close_window(self):
        """As a window manager's close button does: a WM_DELETE_WINDOW
        message (xdotool's windowclose destroys the window under the game)."""
        send_delete_window(int(self.window))

    # -- screenshots ---------------------------------------------------
    def screenshot(self, label, timeout=DEADLINE, keep=True):
        """The game's own screenshot (Ctrl+Print Screen); kept in the
        screenshot folder under the label when asked."""
        folder = os.path.join(self.program_dir, "Screenshots")
        before = set(os.listdir(folder)) if os.path.isdir(folder) else set()

        def fresh():
            now = set(os.listdir(folder)) if os.path.isdir(folder) else set()
            # Written under a dot name and renamed: whole when seen.
            return sorted(name for name in now - before if not name.startswith("."))

        def taken():
            # Pressed again after a while: keys sent before the window had
            # the focus are lost. The game looks at Control when Print is
            # released.
            sent = subprocess.run(["xdotool", "windowfocus", "--sync", self.window, "keydown", "Control_L", "key",
                                   "Print", "keyup", "Control_L"], capture_output=True)
            if sent.returncode != 0:
                # The window could not take the focus (not mapped yet, or
                # already replaced by another): find it again and retry.
                self.reattach()
                return None
            return wait_until("the screenshot's file", fresh, timeout=3, every=0.05, or_last=True)

        shot = wait_until(f"a screenshot for {label}", taken, timeout=timeout)
        return self._take(os.path.join(folder, shot[0]), label if keep else None)

    def xshot(self, label, until=lambda picture: True, timeout=DEADLINE, keep=True):
        """The window's picture taken by the X server, for screens where a
        key press would act (the pause overlay resumes on any key): the
        first on which until holds, or the last at the timeout; kept under
        the label, as the last screen seen, when asked."""
        path = os.path.join(tempfile.gettempdir(), f"qs-e2e-{os.getpid()}.bmp")

        def grab():
            if subprocess.run(["import", "-window", self.window, f"bmp3:{path}"], capture_output=True).returncode:
                # The window went under the grab: the one that replaced it.
                self.reattach()
                subprocess.run(["import", "-window", self.window, f"bmp3:{path}"], check=True, capture_output=True)
            picture = Picture(path)
            os.remove(path)
            return picture

        picture = wait_until(label, grab, ready=until, timeout=timeout, every=0.2, or_last=True)
        if keep:
            self.keep(picture, label)
            self.previous, self.last = self.last, picture
        return picture

    def _take(self, path, label):
        picture = Picture(path)
        os.remove(path)
        if label is not None:
            self.keep(picture, label)
        self.previous, self.last = self.last, picture
        return picture

    def keep(self, picture, label):
        self.shot_number += 1
        if self.shots_dir:
            os.makedirs(self.shots_dir, exist_ok=True)
            with open(os.path.join(self.shots_dir, f"{self.name}-{self.shot_number:02d}-{label}.bmp"), "wb") as f:
                f.write(picture.data)

    def wait_for(self, label, condition, timeout=DEADLINE):
        """Screenshots until the condition holds on one; the last one (the
        caller says what is wrong with it when it never held)."""
        before_all = self.last
        picture = wait_until(label, lambda: self.screenshot(label, keep=False), ready=condition,
                             timeout=timeout, every=0.2, or_last=True)
        self.previous = before_all
        self.keep(picture, label)
        return picture

    def settled(self, label, timeout=8, still=0.5, keep=True, region=None, until=None):
        """Screenshots until two in a row are alike (transitions, falling
        pieces and flips over), over a region of the game's 800 x 600 space
        when given; the last one. With until, the screen the input leads to,
        it holds on the picture returned too: one where it held a moment ago
        may have moved on (a banner sliding in with the board passes through
        the test before it stops over it), so until the deadline the wait
        starts again from there. The timeout bounds each settling alone, as
        some screens never stand still."""
        before_all = self.last
        holds = until or (lambda picture: True)
        deadline = time.monotonic() + DEADLINE

        def alike(pair):
            before, picture = pair
            return picture.width == before.width and picture.difference(before, *picture.box(region)) < still

        while True:
            left = max(deadline - time.monotonic(), 0)
            pictures = [wait_until(label, lambda: self.screenshot(label, keep=False), ready=holds,
                                   timeout=left, every=0.15, or_last=True)]

            def another():
                # Apart by a few frames even when the machine is slow to draw.
                time.sleep(0.15)
                pictures.append(self.screenshot(label, keep=False))
                return pictures[-2:]

            pair = wait_until(label, another, ready=lambda pair: alike(pair) and holds(pair[1]),
                              timeout=timeout, every=0, or_last=True)
            if holds(pair[1]) or time.monotonic() >= deadline:
                break
        picture = pair[1]
        self.previous = before_all
        if keep:
            self.keep(picture, label)
        # A screen still moving at the timeout is not one at rest.
        self.still = picture if alike(pair) else None
        return picture


def unlike(before, threshold=4.0):
    """A test of a picture: whether it is not the screen before (of another
    size, or differing by more than the threshold), as a screen the input
    leads to is."""
    return lambda picture: (before is None or before.width != picture.width or
                            picture.difference(before) > threshold)


def temporary_data_home():
    return tempfile.mkdtemp(prefix="qs-e2e-")


def run_to_end(program_dir, args=(), unset=("SDL_VIDEODRIVER",), timeout=DEADLINE):
    """The game run with a data folder of its own and without the
    environment's names in unset, for starts that end by themselves: the
    finished run, stderr as text, or None when it kept running."""
    data_home = temporary_data_home()
    env = {name: value for name, value in os.environ.items() if name not in unset}
    # The single-instance name goes in the runtime folder, or without one in
    # the temporary folder: both of the run's own.
    env.update(HOME=data_home, XDG_DATA_HOME=data_home, TMPDIR=data_home, SDL_AUDIODRIVER="dummy")
    if "XDG_RUNTIME_DIR" not in unset:
        env["XDG_RUNTIME_DIR"] = os.path.join(data_home, ".runtime")
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
    try:
        return subprocess.run([os.path.join(program_dir, "QuorbSwap"), *args], cwd=program_dir, env=env,
                              capture_output=True, text=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        return None
    finally:
        shutil.rmtree(data_home, ignore_errors=True)


def what_is_wrong(check, *args):
    """What a check returns (None when all is well), or the error it raised."""
    try:
        return check(*args)
    except Exception as error:
        return str(error)


Cell = collections.namedtuple("Cell", "colour kind")
Cell.__doc__ = """What a board shows at a cell: the mean colour of its
centre, and the kind of piece read there (None for none)."""


class BoardView:
    """What a screenshot shows of a board: each cell's centre, and the swaps
    that would line up three alike."""

    def __init__(self, picture, left=140, top=40, cell=65, columns=8, rows=8):
        self.left, self.top, self.cell = left, top, cell
        self.columns, self.rows = columns, rows
        self.cells = [[self.read(picture, x, y) for y in range(rows)] for x in range(columns)]

    def read(self, picture, x, y):
        cx, cy = self.centre(x, y)
        half = self.cell // 5
        box = (cx - half, cy - half, cx + half, cy + half)
        colour = picture.mean_at(*box)
        kind = self.kind(colour)
        if kind is None:
            # A piece pulsing white, by its bright pixels alone (the dark ones
            # around it would grey it): more tinted than a skull's bright
            # shading is in either frame it shows at rest (up to 38).
            kind = self.kind(picture.bright_mean_at(*box), least_tint=45)
        return Cell(colour, kind)

    @classmethod
    def on_some(cls, pictures):
        """The board on pictures of it taken one after another: each cell as
        the first to show a piece there plainly shows it (a super piece
        pulses white, too pale to tell its kind for most of each pulse)."""
        views = [cls(picture) for picture in pictures]
        view = views[0]
        view.cells = [[next((other.cells[x][y] for other in views if other.cells[x][y].kind is not None),
                            view.cells[x][y]) for y in range(view.rows)] for x in range(view.columns)]
        return view

    def centre(self, x, y):
        return (self.left + self.cell * x + self.cell // 2, self.top + self.cell * y + self.cell // 2)

    # The hue of each kind of piece, from the program's own art.
    piece_hues = []

    @classmethod
    def learn_pieces(cls, program_dir):
        """Reads the hue of the middle of each kind's picture (the skull,
        grey, has none)."""
        cls.piece_hues = []
        for kind in range(100):
            path = os.path.join(program_dir, "graphics", "quorbs", f"qb{kind}0.png")
            if not os.path.exists(path):
                break
            mean = subprocess.run(["convert", path, "-gravity", "center", "-crop", "40%x40%+0+0", "+repage",
                                   "-background", "black", "-flatten", "-scale", "1x1!",
                                   "-format", "%[fx:255*r] %[fx:255*g] %[fx:255*b]", "info:"],
                                  capture_output=True, text=True, check=True).stdout
            hue = cls.hue(tuple(float(v) for v in mean.split()))
            if hue is not None:
                cls.piece_hues.append(hue)

    @staticmethod
    def hue(colour, least_tint=40):
        """In degrees; None for greys and for colours too dark to be a
        piece's middle (skulls, bricks, an empty cell)."""
        if colour is None or max(colour) - min(colour) < least_tint or max(colour) < 140:
            return None
        return colorsys.rgb_to_hsv(*(c / 255 for c in colour))[0] * 360

    def kind(self, colour, least_tint=40):
        """The kind of piece whose hue is nearest, within 12 degrees, or
        None. An idle piece shines paler for a few seconds and a super piece
        pulses white: its colour blended with white, which keeps its hue."""
        hue = self.hue(colour, least_tint)
        if hue is None:
            return None
        apart = [min(abs(hue - h), 360 - abs(hue - h)) for h in self.piece_hues]
        nearest = min(range(len(apart)), key=apart.__getitem__, default=None)
        return nearest if nearest is not None and apart[nearest] <= 12 else None

    @staticmethod
    def alike(a, b):
        """Cells showing the same kind of piece; other cells by their plain
        colour."""
        if a.kind is not None or b.kind is not None:
            return a.kind == b.kind
        return sum(abs(a.colour[c] - b.colour[c]) for c in range(3)) < 45

    def lined_up(self, grid, x, y):
        cell = grid[x][y]
        for dx, dy in ((1, 0), (0, 1)):
            run = 1
            for sign in (1, -1):
                nx, ny = x + sign * dx, y + sign * dy
                while 0 <= nx < self.columns and 0 <= ny < self.rows and self.alike(grid[nx][ny], cell):
                    run += 1
                    nx, ny = nx + sign * dx, ny + sign * dy
            if run >= 3:
                return True
        return False

    def moves(self):
        found = []
        for x in range(self.columns):
            for y in range(self.rows):
                for nx, ny in ((x + 1, y), (x, y + 1)):
                    if nx >= self.columns or ny >= self.rows:
                        continue
                    grid = [list(column) for column in self.cells]
                    grid[x][y], grid[nx][ny] = grid[nx][ny], grid[x][y]
                    if self.lined_up(grid, x, y) or self.lined_up(grid, nx, ny):
                        found.append(((x, y), (nx, ny)))
        return found

    def shows_a_line(self):
        """Whether three alike already stand in a line: never on a board at
        rest, so a piece is misread (under the hint arrow, a score or a
        spark) or the board still moves."""
        return any(self.cells[x][y].kind is not None and self.lined_up(self.cells, x, y)
                   for x in range(self.columns) for y in range(self.rows))

    def distinct_cells(self):
        """How many cells differ from the board's mean: pieces, not a blank."""
        flat = [cell.colour for column in self.cells for cell in column]
        mean = [sum(c[i] for c in flat) / len(flat) for i in range(3)]
        return sum(1 for c in flat if sum(abs(c[i] - mean[i]) for i in range(3)) > 30)
