"""Plots one metric of a sweep's results file against its parameters, or of its series file over
time, or one run's priority bands over time (run by scripts/plot)."""

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
# The priority bands, lowest first: each one's column, its name, and the window's colour for it, so
# that the plots show the board as the window does.
PRIORITY_BANDS = [("priority0orLess", "0 or less", (1, 0, 0)),
                  ("priority1to3", "1 to 3", (0.5, 0, 0)),
                  ("priority4to6", "4 to 6", (0.9, 0.9, 0.9)),
                  ("priority7to9", "7 to 9", (0.5, 0.5, 0)),
                  ("priority10to14", "10 to 14", (0.5, 0.75, 0)),
                  ("priority15orMore", "15 or more", (0.5, 1, 0))]
SQUARE_COUNTS = {"visited"} | {column for column, _, _ in PRIORITY_BANDS}
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
        description="Plot the mean of a metric of a sweep's results against its parameters, or of "
        "its series over time, or one run's priority bands over time.")
    parser.add_argument("table", metavar="FILE.csv",
                        help="a results file of vantu-sweep run; a series file with --over-time "
                        "or --bands")
    parser.add_argument("--metric", metavar="M", help="the column to average")
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument("--x", metavar="P", help="the parameter across")
    mode.add_argument("--over-time", action="store_true", help="the mean of M at each step")
    mode.add_argument("--bands", type=float, metavar="RUN",
                      help="the priority bands of this run at each step")
    group = parser.add_mutually_exclusive_group()
    group.add_argument("--by", metavar="Q", help="one line for each value of this parameter")
    group.add_argument("--y", metavar="Q2", help="a heat map with this parameter up")
    parser.add_argument("--results", metavar="RESULTS.csv",
                        help="with --over-time: the results of the series' runs, for their "
                        "replicates and parameters")
    parser.add_argument("--output", required=True, metavar="FILE.png", help="the PNG to write")
    args = parser.parse_args()
    if args.bands is not None:
        if args.metric or args.by or args.y or args.results:
            parser.error("--bands draws one run's bands: it takes no --metric, --by, --y or "
                         "--results")
        return args
    if not args.metric:
        parser.error("--metric is required with --x or --over-time")
    if args.over_time:
        if args.y:
            parser.error("--y goes with --x: give --by for one line per value")
        if not args.results:
            parser.error("--by needs --results RESULTS.csv: the runs' parameters are there"
                         if args.by else "--over-time needs --results RESULTS.csv: the runs' "
                         "replicates are there")
    elif args.results:
        parser.error("--results goes with --over-time")
    for option in ("by", "y"):
        if args.x and getattr(args, option) == args.x:
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


def past_comments(file):
    """The lines of file from its header on, past any lines starting with # before it (results
    files of older versions began with one), and the number of lines passed."""
    skipped = 0
    line = file.readline()
    while line.startswith("#"):
        skipped += 1
        line = file.readline()
    return itertools.chain([line], file), skipped


def column_places(header, columns, path):
    for column in columns:
        if column not in header:
            raise Refusal(f"{path} has no column '{column}'; its columns are: " + ", ".join(header))
    return [header.index(column) for column in columns]


def pool(replicates, replicate, total):
    """Adds total to the replicate's. A complex number holds a replicate's total (real part) and
    count of runs (imaginary part) in 32 bytes, where a list of the two takes over 100: millions
    of replicates fit."""
    replicates[replicate] = replicates.get(replicate, 0j) + total


def read_sums(path, metric, keys):
    """The sums of sum_rows over the results file at path."""
    try:
        with open(path, newline="") as file:
            return sum_rows(*past_comments(file), path, metric, keys)
    except OSError as error:
        raise Refusal(f"cannot read {path}: {error.strerror}") from error


def sum_rows(lines, skipped, path, metric, keys):
    """For each point (a tuple of the key columns' values), each replicate's total of the metric
    and count of runs, so that memory grows with points and replicates, not rows; and, when the
    metric is steps and the file has the column, each point's highest maxSteps."""
    reader = csv.reader(lines)
    header = next(reader, [])
    at_metric, *at_keys = column_places(header, [metric] + keys, path)
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
        pool(sums.setdefault(key, {}), replicate, complex(number(row[at_metric], metric, line), 1))
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


def table_rows(path, columns):
    """Yields the line number and the texts of columns of each row of the CSV file at path, one
    row at a time, so that a file of any length is read in the same memory."""
    try:
        with open(path, newline="") as file:
            lines, skipped = past_comments(file)
            reader = csv.reader(lines)
            header = next(reader, [])
            places = column_places(header, columns, path)
            for row in reader:
                line = reader.line_num + skipped
                if not row:
                    continue
                if len(row) != len(header):
                    raise Refusal(
                        f"line {line} of {path} has {len(row)} fields, the header {len(header)}")
                yield line, [row[at] for at in places]
    except OSError as error:
        raise Refusal(f"cannot read {path}: {error.strerror}") from error


def read_runs(path, columns):
    """Yields each run of the series file at path: its number, the line of its first row and its
    rows, each a list of the step and the values of columns. A run's rows are contiguous and in
    step order, so one run at a time is held, however many the file has."""
    run, first, rows = None, 0, []
    for line, texts in table_rows(path, ["run", "step"] + columns):
        values = [number(text, column, line) for text, column in
                  zip(texts, ["run", "step"] + columns)]
        if values[0] != run:
            if rows:
                yield run, first, rows
            run, first, rows = values[0], line, []
        elif values[1] <= rows[-1][0]:
            raise Refusal(f"line {line} of {path}: run {run:g}'s step {values[1]:g} comes after "
                          f"its step {rows[-1][0]:g}")
        rows.append(values[1:])
    if not rows:
        raise Refusal(f"{path} has no rows")
    yield run, first, rows


def read_places(path, by):
    """Each run's place in the plot, as an index into the list of places that comes second: a
    place is the pair of the run's value of by (None without by) and its replicate's number.
    Numbers for places keep the table small when the runs are many."""
    place_of, places, replicates = {}, {}, {}
    for line, texts in table_rows(path, ["run", "replicate"] + ([by] if by else [])):
        group = number(texts[2], by, line) if by else None
        replicate = replicates.setdefault(texts[1], len(replicates))
        place_of[number(texts[0], "run", line)] = places.setdefault((group, replicate), len(places))
    return place_of, list(places)


PLOTTED = -1  # the place of a run once its rows are read, so that rows of it found later are seen


def sum_series(runs, place_of, places, paths):
    """For each group (a value of --by), at each step, each replicate's total and count of runs
    still going after it (going), and of runs whose last row is at that step (ended)."""
    series, results = paths
    going, ended = {}, {}
    for run, line, rows in runs:
        place = place_of.get(run)
        if place is None:
            raise Refusal(f"{results} has no run {run:g}, which line {line} of {series} holds")
        if place == PLOTTED:
            raise Refusal(f"line {line} of {series}: run {run:g} again, apart from its other rows")
        place_of[run] = PLOTTED
        group, replicate = places[place]
        for step, value in rows[:-1]:
            pool(going.setdefault(group, {}).setdefault(step, {}), replicate, complex(value, 1))
        step, value = rows[-1]
        pool(ended.setdefault(group, {}).setdefault(step, {}), replicate, complex(value, 1))
    return going, ended


def steps_over_time(going, ended, bounds):
    """For each group, at each step drawn, the step, the mean over the replicates with its
    interval and the number of runs still going (those whose values there are their own, not
    held ones); and each group's replicate totals at the end. The steps drawn are those that some
    run went on after, every N-th, and the longest run's last, so that the runs' last rows do not
    each add a step; a run that has ended holds its last values at every later step."""
    last = max(step for steps in ended.values() for step in steps)
    steps = sorted({step for steps in going.values() for step in steps} | {last})
    points, finals = {}, {}
    for group, ends in ended.items():
        runs = sum(total.imag for totals in ends.values() for total in totals.values())
        ending = sorted(ends, reverse=True)
        held, points[group] = {}, []
        for step in steps:
            while ending and ending[-1] <= step:
                for replicate, total in ends[ending.pop()].items():
                    pool(held, replicate, total)
            live = going.get(group, {}).get(step, {})
            totals = dict(held)
            for replicate, total in live.items():
                pool(totals, replicate, total)
            missing = runs - sum(total.imag for total in totals.values())
            if missing:
                raise Refusal(f"the series has no row at step {step:g} for {missing:g} of its "
                              "runs going on then: are they all recorded every same number of "
                              "steps?")
            reached = itertools.chain(live.values(), ends.get(step, {}).values())
            still_going = round(sum(total.imag for total in reached))
            points[group].append((step, *interval(replicate_means(totals), bounds), still_going))
        finals[group] = totals
    return points, finals


def series_stats(series, results, metric, by):
    """steps_over_time of metric in the series file, its runs placed by the results file."""
    place_of, places = read_places(results, by)
    going, ended = sum_series(read_runs(series, [metric]), place_of, places, (series, results))
    return steps_over_time(going, ended, metric_bounds(metric, None))


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
    axes.set_ylabel(mean_label(args.metric, [low for _, low, _ in stats.values()]))
    if args.by:
        axes.legend(title=args.by)


def mean_label(metric, lows):
    """The y label of a plot of means, which says what the shading is when there is any."""
    text = f"mean {metric}"
    if any(not math.isnan(low) for low in lows):
        clipped = ", clipped at the metric's bounds" if metric in COUNTS else ""
        text += f"\n(shaded: 95 % interval{clipped})"
    return text


def draw_over_time(means_axes, going_axes, points, args):
    for group in sorted(points):
        steps, means, lows, highs, going = zip(*points[group])
        line, = means_axes.plot(steps, means,
                                label=f"{args.by} = {label(group)}" if args.by else None)
        means_axes.fill_between(steps, lows, highs, color=line.get_color(), alpha=0.2,
                                linewidth=0)
        going_axes.plot(steps, going, color=line.get_color())
    lows = [low for group in points.values() for _, _, low, _, _ in group]
    means_axes.set_ylabel(mean_label(args.metric, lows))
    if args.by:
        means_axes.legend(title=args.by)
    going_axes.set_ylabel("runs\nstill going")
    going_axes.set_ylim(bottom=0)
    going_axes.yaxis.get_major_locator().set_params(integer=True)
    going_axes.set_xlabel("step")


def draw_bands(axes, rows):
    """The six bands stacked, lowest priority at the bottom, in the window's colours."""
    steps = [row[0] for row in rows]
    axes.stackplot(steps, *zip(*(row[1:] for row in rows)),
                   colors=[colour for _, _, colour in PRIORITY_BANDS],
                   labels=[name for _, name, _ in PRIORITY_BANDS])
    handles, names = axes.get_legend_handles_labels()
    axes.legend(handles[::-1], names[::-1], title="priority", loc="upper left",
                bbox_to_anchor=(1, 1))
    axes.margins(x=0)
    axes.set_ylim(0, INTERIOR_SQUARES)
    axes.set_xlabel("step")
    axes.set_ylabel("interior squares")


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


def pyplot():
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot
    return matplotlib.pyplot


def results_figure(args):
    keys = [args.x] + [k for k in (args.by, args.y) if k]
    sums, limits = read_sums(args.table, args.metric, keys)
    stats = point_intervals(sums, limits, args.metric)
    figure, axes = pyplot().subplots(figsize=(7, 4.5), layout="constrained")
    if args.y:
        draw_heat_map(figure, axes, stats, args)
    else:
        draw_lines(axes, stats, args)
    axes.set_title(f"{args.metric}: mean over {replicates_text(sums)}")
    return figure


def over_time_figure(args):
    points, finals = series_stats(args.table, args.results, args.metric, args.by)
    figure, (means_axes, going_axes) = pyplot().subplots(
        2, 1, sharex=True, figsize=(7, 5.5), gridspec_kw={"height_ratios": [4, 1]},
        layout="constrained")
    draw_over_time(means_axes, going_axes, points, args)
    means_axes.set_title(f"{args.metric}: mean over {replicates_text(finals)}")
    return figure


def run_rows(path, wanted):
    for run, _, rows in read_runs(path, [column for column, _, _ in PRIORITY_BANDS]):
        if run == wanted:
            return rows
    raise Refusal(f"{path} has no run {label(wanted)}")


def bands_figure(args):
    rows = run_rows(args.table, args.bands)
    figure, axes = pyplot().subplots(figsize=(7, 4.5), layout="constrained")
    draw_bands(axes, rows)
    axes.set_title(f"Priority bands of run {label(args.bands)}: the board as it is learned")
    return figure


def plot(args):
    # A folder as the output is refused before the input, maybe millions of rows, is read.
    target = output_target(args.output)
    if args.bands is not None:
        figure = bands_figure(args)
    elif args.over_time:
        figure = over_time_figure(args)
    else:
        figure = results_figure(args)
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
