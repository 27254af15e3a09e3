#!/usr/bin/python3
"""Turns commands_bench results (Google Benchmark JSON) into a PNG plot of the cost per actor
against the world size: one line per command (solid) and its direct-access baseline (dashed,
same colour). Medians are used when the run had repetitions.

    scripts/bench-plot.py bench-results/commands.json docs/commands-bench.png
"""
import json
import sys
from collections import defaultdict

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402


def points(path):
    """{(kind, command): {actors: ns_per_actor}} from one benchmark JSON file."""
    with open(path, encoding="utf-8") as f:
        runs = json.load(f)["benchmarks"]
    has_medians = any(r.get("aggregate_name") == "median" for r in runs)
    out = defaultdict(dict)
    for run in runs:
        if has_medians and run.get("aggregate_name") != "median":
            continue
        if "ns_per_actor" not in run:
            continue
        kind, command, actors = run["run_name"].split("/")[:3]
        out[(kind, command)][int(actors)] = run["ns_per_actor"]
    return out


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: bench-plot.py RESULTS.json OUT.png")
    data = points(sys.argv[1])
    commands = sorted({command for _, command in data})
    fig, ax = plt.subplots(figsize=(10, 6))
    colours = plt.get_cmap("tab20")
    for i, command in enumerate(commands):
        colour = colours(i % 20)
        for kind, style in (("Command", "-"), ("Direct", "--")):
            series = data.get((kind, command))
            if not series:
                continue
            sizes = sorted(series)
            label = command if kind == "Command" else f"{command} (direct)"
            ax.plot(sizes, [series[s] for s in sizes], style, marker="o", color=colour,
                    label=label)
    ax.set_xscale("log")
    ax.set_yscale("log")
    ax.set_xlabel("actors in the world")
    ax.set_ylabel("CPU time per actor (ns)")
    ax.set_title("Walking commands: cost per actor against world size")
    ax.grid(True, which="both", alpha=0.3)
    ax.legend(fontsize="small", ncol=2)
    fig.tight_layout()
    fig.savefig(sys.argv[2], dpi=100)


if __name__ == "__main__":
    main()
