#!/usr/bin/env python3
"""Writes a normalised building file of about MEGABYTES MB: the sample's header rows (single
lines) and its units repeated.   python3 bench/building_file.py OUT MEGABYTES"""
import sys

out_path, megabytes = sys.argv[1], int(sys.argv[2])
text = open("samples/crusader_build_prod13.txt", "rb").read().rstrip(b"\r\n") + b"\r\n"
cut = 0
for _ in range(4):
    cut = text.index(b"\r\n", cut) + 2
header, units = text[:cut], text[cut:]
block = units * (1_000_000 // len(units))  # written a megabyte at a time
with open(out_path, "wb") as out:
    out.write(header)
    for _ in range(megabytes):
        out.write(block)
    out.write(b"\r\n\r\n")  # the two line ends after the last record
