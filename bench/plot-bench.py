#!/usr/bin/env python3
"""Draws the benchmark's image requests from bench.csv: time against image size, one line per
request, depth and part, with the limits measured in the same run.

    plot-bench.py BENCH.CSV PLOT.PNG
"""
import csv
import sys
from collections import defaultdict

import matplotlib

matplotlib.use("Agg")  # no display: the plot goes straight into a file
import matplotlib.pyplot as plt  # noqa: E402


def megapixels(size):
    width, height = size.split("x")
    return int(width) * int(height) / 1e6


def read_series(path):
    """(label, style) -> sorted [(megapixels, milliseconds)] of the figures worth drawing."""
    # metric -> label and line style; the stand-in's parts and the limits are told apart by name.
    drawn = {
        ("image", "ReadRaw", "round_trip"): ("ReadRaw round trip", "-"),
        ("image", "ReadRaw", "decode"): ("ReadRaw: raw converter's decode (stand-in)", ":"),
        ("image", "ReadRaw", "plugin"): ("ReadRaw: export plug-in's copy (stand-in)", ":"),
        ("image", "ReadRaw", "module_own"): ("ReadRaw: module's own time", "-"),
        ("image", "SendImage", "round_trip"): ("SendImage round trip", "--"),
        ("image", "SendImage", "module_own"): ("SendImage: module's own time", "--"),
        ("limit", "ReadRaw", "map_unmap"): ("limit: map+unmap of the segment", "-."),
        ("limit", "ReadRaw", "echo_via_message_loop"): ("limit: echo via a message loop", "-."),
        ("image", "ReadRaw", "memcpy"): ("baseline: one memcpy of the pixels", (0, (1, 3))),
        ("image", "ReadRaw", "pipe_push"): ("baseline: pixels pushed through a pipe", (0, (1, 3))),
    }
    series = defaultdict(list)
    with open(path, newline="") as file:
        for row in csv.DictReader(file):
            key = (row["group"], row["request"], row["metric"])
            if key not in drawn or row["unit"] != "us":
                continue
            label, style = drawn[key]
            series[(f"{label}, {row['depth']}-bit", style)].append(
                (megapixels(row["documents_or_size"]), float(row["median"]) / 1000.0))
    return {key: sorted(points) for key, points in series.items()}


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: plot-bench.py BENCH.CSV PLOT.PNG")
    series = read_series(sys.argv[1])
    if not series:
        sys.exit(f"plot-bench.py: {sys.argv[1]} has no image figures to draw")
    figure, axes = plt.subplots(figsize=(11, 7))
    for (label, style), points in sorted(series.items()):
        xs, ys = zip(*points)
        axes.plot(xs, ys, linestyle=style, marker="o", label=label)
    axes.set_yscale("log")  # the module's own time and the limits are thousands of times below a decode
    axes.set_title("ReadRaw and SendImage: time against image size (medians)")
    axes.set_xlabel("image size (megapixels)")
    axes.set_ylabel("time (ms, logarithmic)")
    axes.grid(True, which="both", alpha=0.3)
    axes.legend(fontsize="small", loc="center left", bbox_to_anchor=(1.01, 0.5))
    figure.tight_layout()
    figure.savefig(sys.argv[2], dpi=100)
    print(f"Plot: {sys.argv[2]}")


if __name__ == "__main__":
    main()
