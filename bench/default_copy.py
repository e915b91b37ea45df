#!/usr/bin/env python3
"""What comparing with the default copy adds to a load: LoadRecord of a 100 MB unit file without a
default copy against the same with one that differs in a value of every 50th record, in turns.

    xvfb-run -a -s "-screen 0 1920x1080x24" python3 bench/default_copy.py [--rounds N]

Prints min and median of LoadRecord's time and of the resident memory the load adds.
"""
import argparse
import os
import re
import statistics
import subprocess
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def load(program, args):
    out = subprocess.run([program, *args], check=True, capture_output=True, text=True).stdout
    found = re.search(r"LoadRecord loaded: (\d+) ms.*\+([\d.]+) MB", out)
    return int(found.group(1)), float(found.group(2))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([os.path.join(args.build, "bin", "record_bench"), "--write-files", folder], check=True,
                       capture_output=True)
        path = os.path.join(folder, "crusaders_unit_prod11.txt")
        with open(path, "rb") as f:
            lines = f.read().split(b"\r\n")
        for i in range(5, len(lines) - 3, 50):
            lines[i] = lines[i].replace(b"\t", b"\tX", 1)
        copy = os.path.join(folder, "copy.bak")
        with open(copy, "wb") as f:
            f.write(b"\r\n".join(lines))
        program = os.path.join(args.build, "bin", "load_progress")
        results = {"without a default copy": [], "with a default copy": []}
        for _ in range(args.rounds):
            results["without a default copy"].append(load(program, [path]))
            results["with a default copy"].append(load(program, [path, copy]))
        print(f"{os.path.getsize(path) / 1e6:.1f} MB unit file, {args.rounds} rounds in turns")
        for name, runs in results.items():
            ms = [r[0] for r in runs]
            mb = [r[1] for r in runs]
            print(f"  {name}: LoadRecord min {min(ms)} / median {statistics.median(ms)} ms, "
                  f"memory added min {min(mb):.1f} / median {statistics.median(mb):.1f} MB")


if __name__ == "__main__":
    main()
