"""The design and its results read as columns, in one pass each, and matched run by run: the
analysis takes a result only for the design row it belongs to."""

import csv

import numpy as np

from parameters import PARAM_NAMES
from refusal import BAD_USE, FAILURE, Refusal

# What a results row repeats of its design row, and must repeat exactly.
IDENTITY = ["replicate", "seed"] + PARAM_NAMES
# How many runs a message names before it counts the rest.
RUNS_NAMED = 10


def header(path):
    try:
        with open(path, newline="", encoding="utf-8-sig") as file:
            return next(csv.reader(file), [])
    except (OSError, UnicodeDecodeError) as error:
        raise Refusal(f"cannot read {path}: {getattr(error, 'strerror', None) or error}") from error


def require(path, names, status):
    """The file's header, which must name every one of names: if not, refused with status."""
    places = header(path)
    for name in names:
        if name not in places:
            raise Refusal(f"{path} has no column '{name}'; its columns are: " + ", ".join(places),
                          status)
    return places


def columns(path, fields, status=FAILURE):
    """The named columns of a CSV file with its header first, in one pass: fields are (name,
    dtype) pairs; a missing column is refused with the given status."""
    places = require(path, [name for name, _ in fields], status)
    try:
        table = np.loadtxt(path, delimiter=",", skiprows=1, comments=None, quotechar='"',
                           usecols=[places.index(name) for name, _ in fields], dtype=fields,
                           ndmin=1, encoding="utf-8-sig")
    except ValueError as error:
        raise Refusal(f"{path}: {error}") from error
    except OSError as error:
        raise Refusal(f"cannot read {path}: {error.strerror}") from error
    if len(table) == 0:
        raise Refusal(f"{path} has no rows")
    return {name: table[name] for name, _ in fields}


def runs_text(runs):
    named = ", ".join(str(run) for run in runs[:RUNS_NAMED])
    return named + (f" and {len(runs) - RUNS_NAMED} more" if len(runs) > RUNS_NAMED else "")


def sorted_by_run(path, runs):
    order = np.argsort(runs, kind="stable")
    doubled = runs[order][1:][runs[order][1:] == runs[order][:-1]]
    if len(doubled):
        raise Refusal(f"{path} holds runs more than once: {runs_text(np.unique(doubled))}")
    return order


def same_runs(design_path, design_runs, path, runs):
    """Every run of the design, and no other, once each."""
    stray = np.setdiff1d(runs, design_runs)
    if len(stray):
        raise Refusal(f"{path} holds runs that {design_path} lacks ({runs_text(stray)}): "
                      "results of another design")
    missing = np.setdiff1d(design_runs, runs)
    if len(missing):
        raise Refusal(f"{path} lacks {len(missing)} runs of {design_path}: {runs_text(missing)}; "
                      "finish the sweep (vantu-sweep run resumes it) and merge")


def matched_metric(design_path, design, path, metric, step):
    """The metric of each design row, in the design's order: from a results file whose rows
    repeat their design rows exactly, or a series file's rows at a step."""
    if step is None:
        if "step" in header(path) and "seed" not in header(path):
            raise Refusal(f"{path} is a series: give the --step to read", BAD_USE)
        require(path, [metric], BAD_USE)
        results = columns(path, [("run", np.int64), (metric, np.float64)] +
                          [(name, np.int64) for name in IDENTITY])
        identity = {name: results[name] for name in IDENTITY}
    else:
        results = series_at(path, metric, step)
        identity = {}
    runs = results["run"]
    order = sorted_by_run(path, runs)
    same_runs(design_path, design["run"], path, runs)
    in_design_order = np.empty(len(runs), dtype=np.int64)
    in_design_order[np.argsort(design["run"], kind="stable")] = order
    for name, values in identity.items():
        differ = np.flatnonzero(values[in_design_order] != design[name])
        if len(differ):
            row = differ[0]
            raise Refusal(f"run {design['run'][row]} of {path} has {name} "
                          f"{values[in_design_order][row]}, {design_path} "
                          f"{design[name][row]}: results of another design")
    return results[metric][in_design_order]


def series_at(path, metric, step):
    """Each run's row at the step, or its last row when it ended before; a run still going at the
    step must have a row there."""
    series = columns(path, [("run", np.int64), ("step", np.int64), (metric, np.float64)],
                     BAD_USE)
    runs, steps = series["run"], series["step"]
    order = np.lexsort((steps, runs))
    runs, steps, values = runs[order], steps[order], series[metric][order]
    last_of_run = np.append(runs[1:] != runs[:-1], True)
    upto = steps <= step
    # The last row at or before the step: the row is one, and the next row is past it or another
    # run's.
    taken = upto & (last_of_run | ~np.append(upto[1:], False))
    going_on = taken & ~last_of_run & (steps != step)
    if going_on.any():
        raise Refusal(f"{path} has no row at step {step} for run {int(runs[going_on][0])}, which "
                      "goes on past it: take a step the series records", BAD_USE)
    return {"run": runs[taken], metric: values[taken]}
