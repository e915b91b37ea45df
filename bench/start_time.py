#!/usr/bin/env python3
"""From process start to the first shown window: the editor against a bare Qt window.

    xvfb-run -a -s "-screen 0 1920x1080x24" python3 bench/start_time.py [--rounds N] [PROGRAM...]

Each program (default: build/bin/pelkoEditor and build/bin/bare_window) is started ROUNDS
times in turn (default 20), each in a fresh empty program folder; the time runs from just before
the process is started to the X server's report that a top-level window was mapped. Prints min
and median for each, and the ratio of the medians against the last program.
"""
import argparse
import ctypes
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("pad", ctypes.c_long * 24)]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=20)
    parser.add_argument("programs", nargs="*")
    args = parser.parse_args()
    programs = args.programs or [os.path.join(ROOT, "build", "bin", name) for name in ("pelkoEditor", "bare_window")]
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
    x11.XPending.argtypes = [ctypes.c_void_p]
    x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("no X display: run under xvfb-run")
    x11.XSelectInput(display, x11.XDefaultRootWindow(display), SUBSTRUCTURE_NOTIFY_MASK)
    x11.XSync(ctypes.c_void_p(display), 1)
    times = {program: [] for program in programs}
    event = XEvent()
    for _ in range(args.rounds):
        for program in programs:
            folder = tempfile.mkdtemp()
            copy = shutil.copy(program, folder)  # a portable copy: its settings stay in the folder
            start = time.perf_counter()
            process = subprocess.Popen([copy], cwd=folder, stderr=subprocess.DEVNULL)
            while True:
                x11.XNextEvent(display, ctypes.byref(event))
                if event.type == MAP_NOTIFY:
                    break
            times[program].append((time.perf_counter() - start) * 1000)
            process.terminate()
            process.wait()
            while x11.XPending(display):
                x11.XNextEvent(display, ctypes.byref(event))
            shutil.rmtree(folder)
    yardstick = statistics.median(times[programs[-1]])
    print(f"load average {os.getloadavg()[0]:.2f}; {args.rounds} rounds; process start to first mapped window")
    for program, runs in times.items():
        median = statistics.median(runs)
        print(f"  {os.path.basename(program):14} min {min(runs):6.1f} ms  median {median:6.1f} ms  "
              f"({median / yardstick:.2f} x {os.path.basename(programs[-1])})")


if __name__ == "__main__":
    main()
