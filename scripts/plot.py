"""Plots one metric of a sweep's results file against its parameters (run by scripts/plot)."""

import argparse
import csv
import itertools
import math
import os
import statistics
import sys

# Two-sided 95 % points of Student's t for 1 to 30 degrees of freedom.
T_975 = [12.706, 4.303, 3.182, 2.776, 2.571, 2.447, 2.365, 2.306, 2.262, 2.228, 2.201, 2.179,
         2.160, 2.145, 2.131, 2.120, 2.110, 2.101, 2.093, 2.086, 2.080, 2.074, 2.069, 2.064,
         2.060, 2.056, 2.052, 2.048, 2.045, 2.042]
Z_975 = 1.959964


class Refusal(Exception):
    """Input the plot cannot be made from; its text is the message for the user."""


def t975(df):
    if df <= len(T_975):
        return T_975[df - 1]
    # Beyond the table the Cornish-Fisher expansion is good to the third decimal.
    z = Z_975
    return z + (z**3 + z) / (4 * df) + (5 * z**5 + 16 * z**3 + 3 * z) / (96 * df**2)


def parse_args():
    parser = argparse.ArgumentParser(
        prog="plot",
        description="Plot the mean of a metric of a sweep's results against its parameters.")
    parser.add_argument("results", metavar="RESULTS.csv", help="a results file of vantu-sweep run")
    parser.add_argument("--metric", required=True, metavar="M", help="the column to average")
    parser.add_argument("--x", required=True, metavar="P", help="the parameter across")
    group = parser.add_mutually_exclusive_group()
    group.add_argument("--by", metavar="Q", help="one line for each value of this parameter")
    group.add_argument("--y", metavar="Q2", help="a heat map with this parameter up")
    parser.add_argument("--output", required=True, metavar="FILE.png", help="the PNG to write")
    return parser.parse_args()


def number(text, column, line):
    try:
        value = float(text)
    except ValueError:
        value = math.nan
    if not math.isfinite(value):
        raise Refusal(f"column '{column}' is not numeric: '{text}' on line {line}")
    return value


def read_groups(path, metric, keys):
    """For each combination of the key columns' values, the metric's values by replicate."""
    try:
        with open(path, newline="") as file:
            # The lines before the header that start with # say which sweep the results are of.
            skipped = 0
            line = file.readline()
            while line.startswith("#"):
                skipped += 1
                line = file.readline()
            reader = csv.DictReader(itertools.chain([line], file))
            columns = reader.fieldnames or []
            for column in [metric] + keys:
                if column not in columns:
                    raise Refusal(f"{path} has no column '{column}'; its columns are: "
                                  + ", ".join(columns))
            groups = {}
            for line, row in enumerate(reader, start=skipped + 2):
                key = tuple(number(row[k], k, line) for k in keys)
                # Without a replicate column, each row is a replicate of its own.
                replicate = row.get("replicate", line)
                replicates = groups.setdefault(key, {})
                replicates.setdefault(replicate, []).append(number(row[metric], metric, line))
    except OSError as error:
        raise Refusal(f"cannot read {path}: {error.strerror}") from error
    if not groups:
        raise Refusal(f"{path} has no results")
    return groups


def replicate_means(groups):
    """Each replicate's mean at each point: the runs of a replicate that differ only in
    parameters not plotted are pooled first, so that the interval is over replicates."""
    return {key: [statistics.fmean(runs) for runs in replicates.values()]
            for key, replicates in groups.items()}


def mean_and_half_width(values):
    mean = statistics.fmean(values)
    if len(values) < 2:
        return mean, math.nan
    return mean, t975(len(values) - 1) * statistics.stdev(values) / math.sqrt(len(values))


def label(value):
    return f"{value:g}"


def draw_lines(axes, groups, args):
    by_values = sorted({key[1] for key in groups}) if args.by else [None]
    for by in by_values:
        xs = sorted(key[0] for key in groups if not args.by or key[1] == by)
        stats = [mean_and_half_width(groups[(x, by) if args.by else (x,)]) for x in xs]
        means = [mean for mean, _ in stats]
        line, = axes.plot(xs, means, marker="o",
                          label=f"{args.by} = {label(by)}" if args.by else None)
        axes.fill_between(xs, [m - h for m, h in stats], [m + h for m, h in stats],
                          color=line.get_color(), alpha=0.2, linewidth=0)
    axes.set_xlabel(args.x)
    with_intervals = any(len(values) > 1 for values in groups.values())
    axes.set_ylabel(f"mean {args.metric}" + (" (shaded: 95 % interval)" if with_intervals else ""))
    if args.by:
        axes.legend(title=args.by)


def draw_heat_map(figure, axes, groups, args):
    import numpy
    xs = sorted({key[0] for key in groups})
    ys = sorted({key[1] for key in groups})
    means = numpy.full((len(ys), len(xs)), numpy.nan)
    for (x, y), values in groups.items():
        means[ys.index(y), xs.index(x)] = statistics.fmean(values)
    image = axes.imshow(numpy.ma.masked_invalid(means), origin="lower", aspect="auto")
    axes.set_xticks(range(len(xs)), [label(x) for x in xs])
    axes.set_yticks(range(len(ys)), [label(y) for y in ys])
    axes.set_xlabel(args.x)
    axes.set_ylabel(args.y)
    figure.colorbar(image, ax=axes, label=f"mean {args.metric}")


def span(counts):
    counts = sorted(set(counts))
    return f"{counts[0]}" if len(counts) == 1 else f"{counts[0]} to {counts[-1]}"


def replicates_text(groups):
    counts = [len(replicates) for replicates in groups.values()]
    text = f"{span(counts)} replicate" + ("" if set(counts) == {1} else "s")
    pooled = [len(runs) for replicates in groups.values() for runs in replicates.values()]
    if max(pooled) > 1:
        text += f", each the mean of {span(pooled)} runs"
    return text


def plot(args):
    keys = [args.x] + [k for k in (args.by, args.y) if k]
    groups = read_groups(args.results, args.metric, keys)
    means = replicate_means(groups)
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as pyplot
    figure, axes = pyplot.subplots(figsize=(7, 4.5), layout="constrained")
    if args.y:
        draw_heat_map(figure, axes, means, args)
    else:
        draw_lines(axes, means, args)
    axes.set_title(f"{args.metric}: mean over {replicates_text(groups)}")
    # Saved beside the final name and renamed once whole.
    partial = f"{args.output}.part{os.getpid()}"
    try:
        figure.savefig(partial, format="png", dpi=100)
        os.replace(partial, args.output)
    except OSError as error:
        if os.path.exists(partial):
            os.remove(partial)
        raise Refusal(f"cannot write {args.output}: {error.strerror}") from error


def main():
    args = parse_args()
    try:
        plot(args)
    except Refusal as refusal:
        print(f"plot: {refusal}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
