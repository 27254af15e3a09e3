#!/usr/bin/python3
"""Turns commands_bench results (Google Benchmark JSON) into a PNG plot of the cost per actor
against the world size, in two panels: with the caches warm from the previous run (beside the
direct-access baselines, thin grey dashed lines) and with the caches emptied before each run.
One line per command. Medians are used when the run had repetitions. With --table it also
prints, as a Markdown table, each command's cost per actor at every size and its growth from
the smallest to the largest world, warm and cold, and the same for its baseline.

    scripts/bench-plot.py bench-results/commands_bench.json docs/commands-bench.png [--table]
"""
import json
import sys
from collections import defaultdict

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

MARKERS = "os^vD<>ph*"


def points(path):
    """{(kind, command): {actors: ns_per_actor}} from one benchmark JSON file, in run order."""
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


def commands_of(data):
    seen = []
    for _, command in data:
        if command not in seen:
            seen.append(command)
    return seen


PANELS = (("Command", "caches warm from the previous run"),
          ("Cold", "caches emptied before each run"))


def plot(data, out_path):
    commands = commands_of(data)
    fig, axes = plt.subplots(1, len(PANELS), figsize=(18, 7), sharey=True)
    colours = plt.get_cmap("tab20")
    for ax, (kind, title) in zip(axes, PANELS):
        for i, command in enumerate(commands):
            direct = data.get(("Direct", command))
            if direct and kind == "Command":
                sizes = sorted(direct)
                ax.plot(sizes, [direct[s] for s in sizes], "--", color="grey", linewidth=0.6,
                        alpha=0.6, label="direct baselines" if i == 0 else None)
            series = data.get((kind, command))
            if series:
                sizes = sorted(series)
                ax.plot(sizes, [series[s] for s in sizes], "-",
                        marker=MARKERS[i % len(MARKERS)], color=colours(i % 20), label=command)
        ax.set_xscale("log")
        ax.set_yscale("log")
        ax.set_xlabel("actors in the world")
        ax.set_title(f"Walking commands, {title}")
        ax.grid(True, which="both", alpha=0.3)
    axes[0].set_ylabel("CPU time per actor (ns)")
    axes[-1].legend(fontsize="x-small", loc="center left", bbox_to_anchor=(1.01, 0.5))
    fig.tight_layout()
    fig.savefig(out_path, dpi=100)


def table(data):
    commands = commands_of(data)
    sizes = sorted({s for series in data.values() for s in series})
    head = " | ".join(f"{s // 1000}k" for s in sizes)
    print(f"| command | warm: {head} | growth | cold: {head} | growth "
          f"| direct: {head} | growth |")
    print("|---" * (3 * len(sizes) + 4) + "|")

    def cells(series):
        values = [f"{series[s]:.2f}" if s in series else "" for s in sizes]
        growth = (f"{series[sizes[-1]] / series[sizes[0]]:.2f}x"
                  if sizes[0] in series and sizes[-1] in series else "")
        return " | ".join(values) + f" | {growth}"

    for command in commands:
        row = " | ".join(cells(data.get((kind, command), {}))
                         for kind in ("Command", "Cold", "Direct"))
        print(f"| `{command}` | {row} |")


def main():
    args = [a for a in sys.argv[1:] if a != "--table"]
    if len(args) != 2:
        sys.exit("usage: bench-plot.py RESULTS.json OUT.png [--table]")
    data = points(args[0])
    plot(data, args[1])
    if "--table" in sys.argv[1:]:
        table(data)


if __name__ == "__main__":
    main()
