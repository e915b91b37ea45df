#!/usr/bin/env python3
"""pelkoTool check and save against Python's csv module, side by side in one run.

    python3 bench/compare_tools.py [--rounds N] [--old-tool PATH] [--build DIR]

Generates a 40 MB building file and 100 MB unit and building files, then runs each command
once per round, in turn, and reports min and median of wall time and CPU time and the peak
memory against the file's size. --old-tool adds another pelkoTool binary (say, one built from
an older commit) to compare with. The yardstick reads the file into a list of rows:
list(csv.reader(f, delimiter='\\t')), latin-1.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PYTHON_CSV = ("import csv,sys\n"
              "with open(sys.argv[1], newline='', encoding='latin-1') as f:\n"
              "    rows = list(csv.reader(f, delimiter='\\t'))\n")


def run(command):
    """Wall seconds, CPU seconds and peak RSS in bytes of one run."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {' '.join(command)}")
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss * 1024


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--old-tool")
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    args = parser.parse_args()
    tool = os.path.join(args.build, "bin", "pelkoTool")
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([os.path.join(args.build, "bin", "record_bench"), "--write-files", folder],
                       check=True, stdout=subprocess.DEVNULL)
        small = os.path.join(folder, "building_40MB.txt")
        subprocess.run([sys.executable, os.path.join(ROOT, "bench", "building_file.py"), small, "40"],
                       check=True, cwd=ROOT)
        files = [small] + [os.path.join(folder, name)
                           for name in ("crusader_build_prod13.txt", "crusaders_unit_prod11.txt")]
        saved = os.path.join(folder, "saved.txt")
        commands = {}
        for path in files:
            name = os.path.basename(path)
            commands[(name, "check")] = [tool, "check", path]
            commands[(name, "save")] = [tool, "save", path, saved]
            if args.old_tool:
                commands[(name, "old check")] = [args.old_tool, "check", path]
                commands[(name, "old save")] = [args.old_tool, "save", path, saved]
        commands[(os.path.basename(small), "python csv")] = [sys.executable, "-c", PYTHON_CSV, small]
        results = {key: [] for key in commands}
        for _ in range(args.rounds):
            for key, command in commands.items():
                results[key].append(run(command))
        print(f"load average before the report: {os.getloadavg()[0]:.2f}; {args.rounds} rounds; min / median")
        for path in files:
            name = os.path.basename(path)
            size = os.path.getsize(path)
            print(f"{name}: {size / 1e6:.0f} MB")
            for (file, label), runs in results.items():
                if file != name:
                    continue
                walls = [r[0] * 1000 for r in runs]
                cpus = [r[1] * 1000 for r in runs]
                peak = max(r[2] for r in runs)
                print(f"  {label:12} wall {min(walls):7.0f} / {statistics.median(walls):7.0f} ms   "
                      f"cpu {min(cpus):7.0f} / {statistics.median(cpus):7.0f} ms   peak RSS {peak / size:.2f} x file")
            if (name, "python csv") in results:
                python = statistics.median(r[0] for r in results[(name, "python csv")])
                check = statistics.median(r[0] for r in results[(name, "check")])
                print(f"  pelkoTool check is {python / check:.1f} x faster than python csv (medians)")
            save = statistics.median(r[0] for r in results[(name, "save")])
            check = statistics.median(r[0] for r in results[(name, "check")])
            print(f"  save / check: {save / check:.2f} (medians)")


if __name__ == "__main__":
    main()
