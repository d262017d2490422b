#!/usr/bin/env python3
"""Drives Quorvane with seeded random input under a virtual X server, as a new user's hands would.

    tools/random-input/random_input.py --app build-asan/src/quorvane/quorvane --minutes 30
    tools/random-input/random_input.py --app ... --seed 1017 --sessions 1   # replays session 1017

Each session starts the application in a home folder of its own, with an image, an SVG or nothing on
its command line, does random clicks, drags, double-clicks, keys, menu picks and closings on its shown
windows, then quits it with Ctrl+Q (answering what it asks with Return, which saves into that home
folder) and reads its error output for sanitizer reports. Session n uses seed n: the first is --seed, the next
--seed + 1, and so on. Every action is logged before it is done; a session that ends in a report, a
crash or a hang keeps its action log and error output in --out. Replaying a seed repeats the same
actions; what the application makes of them can still differ with its timing.

Needs xvfb-run and xdotool (apt-get install -y xvfb xauth xdotool).
"""

import argparse
import ctypes
import ctypes.util
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

SCREEN = (1600, 1000)
STARTUP_SECONDS = 120
QUIT_SECONDS = 90
PAUSE_SECONDS = 0.08

KEYS = (
    [chr(c) for c in range(ord("a"), ord("z") + 1)]
    + [str(d) for d in range(10)]
    + ["Escape", "Return", "Tab", "shift+Tab", "BackSpace", "Delete", "space",
       "Left", "Right", "Up", "Down", "Home", "End", "Page_Up", "Page_Down",
       "shift+Left", "shift+Right", "alt+Up", "alt+Down",
       "ctrl+z", "ctrl+shift+z", "ctrl+x", "ctrl+c", "ctrl+v", "ctrl+a", "ctrl+d",
       "ctrl+plus", "ctrl+minus", "ctrl+0", "ctrl+g", "ctrl+f", "ctrl+n", "F1"]
)
MENU_MNEMONICS = "fevtlswh"  # File, Edit, View, Tools, Layer, Symbol, Window, Help
SANITIZER_MARKS = ("ERROR: AddressSanitizer", "runtime error:", "ERROR: LeakSanitizer",
                   "SUMMARY: UndefinedBehaviorSanitizer", "SUMMARY: AddressSanitizer")


def xdotool(*args, timeout=10):
    try:
        done = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True, timeout=timeout)
        return done.stdout
    except subprocess.TimeoutExpired:
        return ""


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("rest_of_the_event", ctypes.c_long * 12)]


class WindowCloser:
    """Asks a window to close as a window manager's close button does (WM_DELETE_WINDOW): there
    is no window manager on the virtual display, and xdotool can only destroy windows."""

    CLIENT_MESSAGE = 33

    def __init__(self):
        self.x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XInternAtom.restype = ctypes.c_ulong
        self.x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                      ctypes.POINTER(_ClientMessage)]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.display = self.x.XOpenDisplay(None)
        self.protocols = self.x.XInternAtom(self.display, b"WM_PROTOCOLS", 0)
        self.delete_window = self.x.XInternAtom(self.display, b"WM_DELETE_WINDOW", 0)

    def close(self, window):
        event = _ClientMessage(type=self.CLIENT_MESSAGE, window=window, message_type=self.protocols, format=32)
        event.data[0] = self.delete_window
        self.x.XSendEvent(self.display, window, 0, 0, ctypes.byref(event))
        self.x.XFlush(self.display)


def shown_windows(pid):
    """The application's shown windows (popups included) with their frames, oldest first."""
    windows = []
    for line in xdotool("search", "--onlyvisible", "--pid", pid).split():
        facts = dict(item.split("=", 1) for item in xdotool("getwindowgeometry", "--shell", line).split()
                     if "=" in item)
        try:
            frame = tuple(int(facts[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))
        except (KeyError, ValueError):
            continue
        if frame[2] > 1 and frame[3] > 1:
            windows.append((int(line), frame))
    return windows


def point_in(frame, rng):
    x, y, width, height = frame
    return (min(SCREEN[0] - 1, max(0, x + rng.randrange(width))),
            min(SCREEN[1] - 1, max(0, y + rng.randrange(height))))


class Session:
    def __init__(self, seed, args, samples, closer):
        self.seed = seed
        self.closer = closer
        self.args = args
        self.rng = random.Random(seed)
        self.home = Path(tempfile.mkdtemp(prefix=f"quorvane-random-{seed}-"))
        self.action_log = self.home / "actions.log"
        self.error_log = self.home / "stderr.log"
        self.start_file = self.rng.choice(samples + [None])
        self.actions = 0

    def log(self, text):
        with open(self.action_log, "a") as log:
            log.write(text + "\n")

    def run(self):
        command = [self.args.app]
        if self.start_file:
            command.append(str(shutil.copy(self.start_file, self.home)))
        env = dict(os.environ, HOME=str(self.home), XDG_CONFIG_HOME=str(self.home / ".config"),
                   XDG_DATA_HOME=str(self.home / ".local/share"), XDG_CACHE_HOME=str(self.home / ".cache"),
                   QT_QPA_PLATFORM="xcb")
        env.setdefault("ASAN_OPTIONS", "detect_leaks=0:halt_on_error=1")
        env.setdefault("UBSAN_OPTIONS", "print_stacktrace=1:halt_on_error=0")
        self.log(f"seed {self.seed}: {' '.join(command)}")
        with open(self.error_log, "w") as errors:
            self.process = subprocess.Popen(command, env=env, stdout=errors, stderr=subprocess.STDOUT,
                                            cwd=self.home, start_new_session=True)
        outcome = self.drive()
        return outcome, self.report()

    def alive(self):
        return self.process.poll() is None

    def wait_for_window(self):
        deadline = time.monotonic() + STARTUP_SECONDS
        while self.alive() and time.monotonic() < deadline:
            if shown_windows(self.process.pid):
                return True
            time.sleep(0.5)
        return False

    def drive(self):
        if not self.wait_for_window():
            return self.finish("no window")
        for index in range(self.args.actions):
            if not self.alive():
                return self.finish(f"ended after {index} actions")
            windows = shown_windows(self.process.pid)
            if not windows:
                time.sleep(0.5)
                continue
            self.act(index, windows)
            self.actions += 1
            time.sleep(PAUSE_SECONDS)
        return self.quit()

    def act(self, index, windows):
        rng = self.rng
        window, frame = windows[rng.randrange(len(windows))]
        kind = rng.choices(["click", "drag", "double-click", "key", "menu", "escape", "close"],
                           weights=[30, 20, 5, 25, 15, 5, 1])[0]
        if kind == "click":
            x, y = point_in(frame, rng)
            button = rng.choices([1, 3], weights=[9, 1])[0]
            self.log(f"{index} click button {button} at {x},{y}")
            xdotool("mousemove", x, y, "click", button)
        elif kind == "double-click":
            x, y = point_in(frame, rng)
            self.log(f"{index} double-click at {x},{y}")
            xdotool("mousemove", x, y, "click", "--repeat", 2, "--delay", 80, 1)
        elif kind == "drag":
            (x0, y0), (x1, y1) = point_in(frame, rng), point_in(frame, rng)
            modifier = rng.choice(["", "", "shift", "alt", "ctrl"])
            self.log(f"{index} drag {modifier or 'plain'} from {x0},{y0} to {x1},{y1}")
            steps = ["mousemove", x0, y0]
            steps += ["keydown", modifier] if modifier else []
            steps += ["mousedown", 1]
            for step in range(1, 6):
                steps += ["mousemove", x0 + (x1 - x0) * step // 5, y0 + (y1 - y0) * step // 5]
            steps += ["mouseup", 1]
            steps += ["keyup", modifier] if modifier else []
            xdotool(*steps)
        elif kind == "key":
            key = rng.choice(KEYS)
            self.log(f"{index} key {key} in window {window}")
            xdotool("windowfocus", window)
            xdotool("key", key)
        elif kind == "menu":
            mnemonic = rng.choice(MENU_MNEMONICS)
            downs = rng.randrange(12)
            self.log(f"{index} menu alt+{mnemonic}, Down x{downs}, Return in window {window}")
            xdotool("windowfocus", window)
            xdotool("key", "--delay", 60, f"alt+{mnemonic}", *(["Down"] * downs), "Return")
        elif kind == "escape":
            self.log(f"{index} key Escape")
            xdotool("key", "Escape")
        else:
            self.log(f"{index} close window {window}")
            self.closer.close(window)

    def quit(self):
        """Ctrl+Q, then Return to whatever it asks (saving into the home folder), on each shown window
        in turn, since sheets and modal panels take the keys of their own window only; once every window
        had its turn, each is also closed as the user would close what has no Quit command."""
        deadline = time.monotonic() + QUIT_SECONDS
        attempt = 0
        while self.alive() and time.monotonic() < deadline:
            windows = shown_windows(self.process.pid)
            step = ["ctrl+q", "Return", "close"][attempt % 3]
            if windows and (step != "close" or attempt >= 3 * len(windows)):
                window = windows[attempt // 3 % len(windows)][0]
                self.log(f"quit: {step} in window {window}")
                if step == "close":
                    self.closer.close(window)
                else:
                    xdotool("windowfocus", window)
                    xdotool("key", step)
            attempt += 1
            try:
                self.process.wait(timeout=1)
            except subprocess.TimeoutExpired:
                pass
        return self.finish("quit")

    def finish(self, how):
        if self.alive():
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
            return f"{how}; did not end, killed"
        status = self.process.returncode
        return how if status == 0 else f"{how}; exit status {status}"

    def report(self):
        text = self.error_log.read_text(errors="replace")
        return [line for line in text.splitlines() if any(mark in line for mark in SANITIZER_MARKS)]

    def keep(self, out):
        for log in (self.action_log, self.error_log):
            shutil.copy(log, out / f"session-{self.seed}-{log.name}")

    def remove(self):
        shutil.rmtree(self.home, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--app", required=True, help="the application to drive")
    parser.add_argument("--seed", type=int, default=1, help="seed of the first session")
    parser.add_argument("--sessions", type=int, default=0, help="sessions to run (0: until --minutes are up)")
    parser.add_argument("--minutes", type=float, default=30, help="how long to keep starting sessions")
    parser.add_argument("--actions", type=int, default=250, help="random actions per session")
    parser.add_argument("--out", default="random-input-logs", help="folder for the logs of failed sessions")
    args = parser.parse_args()
    args.app = str(Path(args.app).resolve())

    if "RANDOM_INPUT_DISPLAY" not in os.environ:
        os.environ["RANDOM_INPUT_DISPLAY"] = "1"
        screen = f"-screen 0 {SCREEN[0]}x{SCREEN[1]}x24"
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", screen, sys.executable, *sys.argv])

    here = Path(__file__).resolve().parent
    samples = [here.parent.parent / "tests" / "quorvane" / name for name in ("field.png", "field.svg")]
    out = Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    closer = WindowCloser()
    started = time.monotonic()
    totals = {"sessions": 0, "actions": 0, "reports": 0, "unclean": 0}
    seed = args.seed
    while (args.sessions and totals["sessions"] < args.sessions) or \
          (not args.sessions and time.monotonic() - started < args.minutes * 60):
        session = Session(seed, args, samples, closer)
        outcome, reports = session.run()
        totals["sessions"] += 1
        totals["actions"] += session.actions
        clean = not reports and not any(mark in outcome for mark in ("exit status", "killed", "no window"))
        print(f"seed {seed}: {session.actions} actions, {outcome}, "
              f"{len(reports)} sanitizer lines ({session.start_file.name if session.start_file else 'no file'})",
              flush=True)
        for line in reports[:5]:
            print(f"    {line}", flush=True)
        if reports:
            totals["reports"] += 1
        if reports or not clean:
            totals["unclean"] += 1
            session.keep(out)
        session.remove()
        seed += 1
    minutes = (time.monotonic() - started) / 60
    print(f"{totals['sessions']} sessions (seeds {args.seed}..{seed - 1}), {totals['actions']} actions "
          f"in {minutes:.1f} minutes; {totals['reports']} with sanitizer reports, "
          f"{totals['unclean']} kept in {out}", flush=True)
    return 1 if totals["unclean"] else 0


if __name__ == "__main__":
    sys.exit(main())
