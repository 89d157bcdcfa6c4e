#!/usr/bin/env python3
"""Draws the benchmark's image requests from bench.csv: time against image size, one line per
request, depth and part, with the limits measured in the same run; below, the module's own time in
its three parts beside its segments' limit.

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


# What is drawn, in the legend's order, on two panels. Above: the module's own time, then what only
# the stand-ins do, then the baselines and the limits of the design measured in the same run. Below:
# the module's own time in its three parts beside its segments' limit. One colour each; the depth
# is the line's style.
WHOLE = [
    (("image", "ReadRaw", "module_own"), "ReadRaw: module's own time"),
    (("image", "SendImage", "module_own"), "SendImage: module's own time"),
    (("image", "ReadRaw", "round_trip"), "ReadRaw: round trip"),
    (("image", "SendImage", "round_trip"), "SendImage: round trip"),
    (("image", "ReadRaw", "decode"), "ReadRaw: raw converter's decode (stand-in)"),
    (("image", "ReadRaw", "plugin"), "ReadRaw: export plug-in's copy (stand-in)"),
    (("image", "ReadRaw", "memcpy"), "baseline: one memcpy of the pixels"),
    (("image", "ReadRaw", "pipe_push"), "baseline: the pixels pushed through a pipe"),
    (("limit", "ReadRaw", "echo_via_message_loop"), "limit: echo via a message loop"),
    (("limit", "ReadRaw", "segments_open_map_unmap_close"), "ReadRaw limit: its segment opened, mapped, unmapped, closed"),
    (("limit", "SendImage", "segments_open_map_unmap_close"), "SendImage limit: its two segments opened, mapped, unmapped, closed"),
]
PARTS = [
    (("image", "ReadRaw", "module_own_before_first_host_call"), "ReadRaw: own, up to the first host call"),
    (("image", "ReadRaw", "module_own_between_host_calls"), "ReadRaw: own, between host calls"),
    (("image", "ReadRaw", "module_own_after_last_host_call"), "ReadRaw: own, after the last host call"),
    (("image", "SendImage", "module_own_before_first_host_call"), "SendImage: own, up to the first host call"),
    (("image", "SendImage", "module_own_between_host_calls"), "SendImage: own, between host calls"),
    (("image", "SendImage", "module_own_after_last_host_call"), "SendImage: own, after the last host call"),
    (("limit", "ReadRaw", "segments_open_map_unmap_close"), "ReadRaw limit: its segment opened, mapped, unmapped, closed"),
    (("limit", "SendImage", "segments_open_map_unmap_close"), "SendImage limit: its two segments opened, mapped, unmapped, closed"),
]
DEPTH_STYLE = {"16": ("-", "o"), "8": ("--", "s")}


def read_series(path, drawn):
    """(order, label, depth) -> sorted [(megapixels, milliseconds)] of the figures in drawn."""
    order = {key: (index, label) for index, (key, label) in enumerate(drawn)}
    series = defaultdict(list)
    with open(path, newline="") as file:
        for row in csv.DictReader(file):
            key = (row["group"], row["request"], row["metric"])
            if key not in order or row["unit"] != "us":
                continue
            index, label = order[key]
            series[(index, label, row["depth"])].append(
                (megapixels(row["documents_or_size"]), float(row["median"]) / 1000.0))
    return {key: sorted(points) for key, points in series.items()}


def draw(axes, series, title):
    # The ten strong colours of tab20 first, then its light ones: one colour per line drawn.
    tab20 = plt.get_cmap("tab20").colors
    colours = tab20[0::2] + tab20[1::2]
    for (index, label, depth), points in sorted(series.items(), key=lambda item: (item[0][0], -int(item[0][2]))):
        xs, ys = zip(*points)
        style, marker = DEPTH_STYLE.get(depth, (":", "x"))
        axes.plot(xs, ys, linestyle=style, marker=marker, color=colours[index % len(colours)],
                  label=f"{label}, {depth}-bit")
    # From 1 to 400 megapixels, and from tenths of a millisecond to a decode of seconds.
    axes.set_xscale("log")
    axes.set_yscale("log")
    sizes = sorted({x for points in series.values() for x, _ in points})
    axes.set_xticks(sizes)
    axes.set_xticklabels([f"{size:.0f}" for size in sizes])
    axes.minorticks_off()
    axes.set_title(title)
    axes.set_xlabel("image size (megapixels, logarithmic scale)")
    axes.set_ylabel("time (ms, logarithmic scale)")
    axes.grid(True, which="both", alpha=0.3)
    axes.legend(title="16-bit: solid, 8-bit: dashed", fontsize="small", loc="center left",
                bbox_to_anchor=(1.01, 0.5))


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: plot-bench.py BENCH.CSV PLOT.PNG")
    whole = read_series(sys.argv[1], WHOLE)
    if not whole:
        sys.exit(f"plot-bench.py: {sys.argv[1]} has no image figures to draw")
    parts = read_series(sys.argv[1], PARTS)
    figure, (above, below) = plt.subplots(2, 1, figsize=(13, 13))
    draw(above, whole, "ReadRaw and SendImage: time against image size (medians of the repetitions)")
    if parts:
        draw(below, parts, "The module's own time in parts, beside what its segments cost (medians)")
    else:
        below.set_axis_off()
    figure.tight_layout()
    figure.savefig(sys.argv[2], dpi=100)
    print(f"Plot: {sys.argv[2]}")


if __name__ == "__main__":
    main()
