"""Plots one metric of a sweep's results file against its parameters (run by scripts/plot)."""

import argparse
import csv
import itertools
import math
import os
import stat
import sys

# Two-sided 95 % points of Student's t for 1 to 30 degrees of freedom.
T_975 = [12.706, 4.303, 3.182, 2.776, 2.571, 2.447, 2.365, 2.306, 2.262, 2.228, 2.201, 2.179,
         2.160, 2.145, 2.131, 2.120, 2.110, 2.101, 2.093, 2.086, 2.080, 2.074, 2.069, 2.064,
         2.060, 2.056, 2.052, 2.048, 2.045, 2.042]
Z_975 = 1.959964

# The squares inside the board's border: no count of squares can exceed them.
INTERIOR_SQUARES = 49 * 49
SQUARE_COUNTS = {"visited", "priority0orLess", "priority1to3", "priority4to6", "priority7to9",
                 "priority10to14", "priority15orMore"}
COUNTS = SQUARE_COUNTS | {"steps", "food", "poison", "restored"}


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
    args = parser.parse_args()
    for option in ("by", "y"):
        if getattr(args, option) == args.x:
            parser.error(f"--{option} and --x both name '{args.x}': give --{option} another column")
    return args


def number(text, column, line):
    try:
        value = float(text)
    except ValueError:
        value = math.nan
    if not math.isfinite(value):
        raise Refusal(f"column '{column}' is not numeric: '{text}' on line {line}")
    return value


def read_sums(path, metric, keys):
    """The sums of sum_rows over the results file at path, past any lines starting with # before
    the header (results files of older versions began with one)."""
    try:
        with open(path, newline="") as file:
            skipped = 0
            line = file.readline()
            while line.startswith("#"):
                skipped += 1
                line = file.readline()
            return sum_rows(itertools.chain([line], file), skipped, path, metric, keys)
    except OSError as error:
        raise Refusal(f"cannot read {path}: {error.strerror}") from error


def sum_rows(lines, skipped, path, metric, keys):
    """For each point (a tuple of the key columns' values), each replicate's total of the metric
    and count of runs, so that memory grows with points and replicates, not rows; and, when the
    metric is steps and the file has the column, each point's highest maxSteps."""
    reader = csv.reader(lines)
    header = next(reader, [])
    for column in [metric] + keys:
        if column not in header:
            raise Refusal(f"{path} has no column '{column}'; its columns are: " + ", ".join(header))
    at_keys = [header.index(k) for k in keys]
    at_metric = header.index(metric)
    at_replicate = header.index("replicate") if "replicate" in header else None
    at_limit = header.index("maxSteps") if metric == "steps" and "maxSteps" in header else None
    places = {}  # one number for each replicate's text, shared by every point
    sums, limits = {}, {}
    for row in reader:
        line = reader.line_num + skipped
        if not row:
            continue
        if len(row) != len(header):
            raise Refusal(f"line {line} of {path} has {len(row)} fields, the header {len(header)}")
        key = tuple(number(row[at], header[at], line) for at in at_keys)
        # Without a replicate column, each row is a replicate of its own.
        replicate = line if at_replicate is None else places.setdefault(row[at_replicate],
                                                                        len(places))
        # A complex number holds a replicate's total (real part) and count (imaginary part) in 32
        # bytes, where a list of the two takes over 100: millions of replicates fit.
        replicates = sums.setdefault(key, {})
        value = number(row[at_metric], metric, line)
        replicates[replicate] = replicates.get(replicate, 0j) + complex(value, 1)
        if at_limit is not None:
            limit = number(row[at_limit], "maxSteps", line)
            limits[key] = max(limits.get(key, limit), limit)
    if not sums:
        raise Refusal(f"{path} has no results")
    return sums, limits


def replicate_means(replicates):
    """Each replicate's mean at a point: the runs of a replicate that differ only in parameters
    not plotted are pooled first, so that the interval is over replicates."""
    return [total_and_count.real / total_and_count.imag for total_and_count in replicates.values()]


def metric_bounds(metric, step_limit):
    """The lowest and highest value that the metric can take at a point whose runs stop after
    step_limit steps at most (None when unknown)."""
    if metric in SQUARE_COUNTS:
        return 0, INTERIOR_SQUARES
    if metric == "steps" and step_limit is not None:
        return 0, max(0, step_limit)  # a limit of 0 or less stops a run before its first step
    return (0, math.inf) if metric in COUNTS else (-math.inf, math.inf)


def interval(values, bounds):
    """The mean of values and its 95 % Student's t interval, clipped to bounds, since no run
    takes fewer than 0 steps however few the replicates. NaN ends from a single value."""
    n = len(values)
    mean = math.fsum(values) / n
    if n < 2:
        return mean, math.nan, math.nan
    deviation = math.sqrt(math.fsum((value - mean) ** 2 for value in values) / (n - 1))
    half = t975(n - 1) * deviation / math.sqrt(n)
    low, high = bounds
    return mean, max(mean - half, low), min(mean + half, high)


def point_intervals(sums, limits, metric):
    """Each point's mean of its replicates' means, with its interval within the metric's bounds."""
    return {key: interval(replicate_means(sums[key]), metric_bounds(metric, limits.get(key)))
            for key in sums}


def label(value):
    return f"{value:g}"


def draw_lines(axes, stats, args):
    by_values = sorted({key[1] for key in stats}) if args.by else [None]
    for by in by_values:
        xs = sorted(key[0] for key in stats if not args.by or key[1] == by)
        lines = [stats[(x, by) if args.by else (x,)] for x in xs]
        line, = axes.plot(xs, [mean for mean, _, _ in lines], marker="o",
                          label=f"{args.by} = {label(by)}" if args.by else None)
        axes.fill_between(xs, [low for _, low, _ in lines], [high for _, _, high in lines],
                          color=line.get_color(), alpha=0.2, linewidth=0)
    axes.set_xlabel(args.x)
    text = f"mean {args.metric}"
    if any(not math.isnan(low) for _, low, _ in stats.values()):
        clipped = ", clipped at the metric's bounds" if args.metric in COUNTS else ""
        text += f"\n(shaded: 95 % interval{clipped})"
    axes.set_ylabel(text)
    if args.by:
        axes.legend(title=args.by)


def draw_heat_map(figure, axes, stats, args):
    import numpy
    xs = sorted({key[0] for key in stats})
    ys = sorted({key[1] for key in stats})
    means = numpy.full((len(ys), len(xs)), numpy.nan)
    for (x, y), (mean, _, _) in stats.items():
        means[ys.index(y), xs.index(x)] = mean
    image = axes.imshow(numpy.ma.masked_invalid(means), origin="lower", aspect="auto")
    axes.set_xticks(range(len(xs)), [label(x) for x in xs])
    axes.set_yticks(range(len(ys)), [label(y) for y in ys])
    axes.set_xlabel(args.x)
    axes.set_ylabel(args.y)
    figure.colorbar(image, ax=axes, label=f"mean {args.metric}")


def span(counts):
    counts = sorted(set(counts))
    return f"{counts[0]}" if len(counts) == 1 else f"{counts[0]} to {counts[-1]}"


def replicates_text(sums):
    pooled = [int(runs.imag) for replicates in sums.values() for runs in replicates.values()]
    counts = [len(replicates) for replicates in sums.values()]
    text = f"{span(counts)} replicate" + ("" if set(counts) == {1} else "s")
    if max(pooled) > 1:
        text += f", each the mean of {span(pooled)} runs"
    return text


def output_target(path):
    """The file that writing to path replaces: a symlink's target, so that the link stays."""
    target = os.path.realpath(path)
    if os.path.isdir(target):
        raise Refusal(f"cannot write {path}: it is a folder")
    return target


def save(figure, path, target):
    """Writes the PNG to target. A device, a FIFO or any other file that is not a regular one is
    written to directly (replacing /dev/null would break every program); a new or regular file
    is written beside it and renamed over it once whole, so that a killed plot never leaves half
    a picture."""
    try:
        if os.path.exists(target) and not stat.S_ISREG(os.stat(target).st_mode):
            with open(target, "wb") as file:
                figure.savefig(file, format="png", dpi=100)
            return
        partial = f"{target}.part{os.getpid()}"
        try:
            figure.savefig(partial, format="png", dpi=100)
            os.replace(partial, target)
        finally:
            if os.path.exists(partial):
                os.remove(partial)
    except OSError as error:
        raise Refusal(f"cannot write {path}: {error.strerror}") from error


def plot(args):
    # A folder as the output is refused before the results, maybe millions of rows, are read.
    target = output_target(args.output)
    keys = [args.x] + [k for k in (args.by, args.y) if k]
    sums, limits = read_sums(args.results, args.metric, keys)
    stats = point_intervals(sums, limits, args.metric)
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as pyplot
    figure, axes = pyplot.subplots(figsize=(7, 4.5), layout="constrained")
    if args.y:
        draw_heat_map(figure, axes, stats, args)
    else:
        draw_lines(axes, stats, args)
    axes.set_title(f"{args.metric}: mean over {replicates_text(sums)}")
    save(figure, args.output, target)


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
