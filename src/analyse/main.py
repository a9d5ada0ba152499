"""vantu-analyse: sampled designs for vantu-sweep, and the Sobol and Morris sensitivity analyses
of their results."""

import argparse
import os
import sys
import time

try:
    import numpy as np
    import scipy.stats.qmc  # noqa: F401 (the samplers need it; said here, before any work)
except ImportError as missing:
    sys.exit(f"vantu-analyse: {missing}: it needs Debian's python3-numpy and python3-scipy")

import design_file
import morris_indices
import output
import parameters
import plots
import report
import sobol_indices
import tables
from refusal import FAILURE, Refusal
from sampling import SAMPLERS

PROGRAM = "vantu-analyse"
STRUCTURE = {"sobol": (["point"], "part"), "morris": (["trajectory", "position"], "moved")}


def bounded(low, high=None):
    def whole(text):
        try:
            value = int(text, 10)
        except ValueError:
            raise argparse.ArgumentTypeError(f"not a whole number: '{text}'") from None
        if value < low or (high is not None and value > high):
            raise argparse.ArgumentTypeError(
                f"{value} is not from {low} to {high}" if high is not None
                else f"{value} is below {low}")
        return value
    return whole


def parse_args(argv):
    parser = argparse.ArgumentParser(
        prog=PROGRAM, description="Sampled designs for vantu-sweep, and which parameters "
        "matter to a metric of their results: Sobol indices or Morris's elementary effects.")
    commands = parser.add_subparsers(dest="command", required=True, metavar="COMMAND")
    sample = commands.add_parser(
        "sample", help="write a design on standard output",
        description="Write a design that vantu-sweep run takes as it is: lhs, N points; sobol, "
        "Saltelli's N x (D + 2) points for D ranged parameters (N a power of 2); morris, N "
        "trajectories of D + 1 points on 4 levels. Each point runs R times, on seeds S to "
        "S + R - 1.")
    sample.add_argument("method", choices=sorted(SAMPLERS), metavar="METHOD",
                        help="lhs, sobol or morris")
    sample.add_argument("--range", action="append", default=[], metavar="NAME=LO:HI",
                        help="sample the parameter NAME over the whole numbers LO to HI; repeat "
                        "for each parameter")
    sample.add_argument("-n", type=bounded(1), required=True, metavar="N",
                        help="points (lhs), base points (sobol) or trajectories (morris)")
    sample.add_argument("--replicates", type=bounded(1), default=1, metavar="R",
                        help="run every point R times (1 unless given)")
    sample.add_argument("--seed", type=bounded(0, 2**32 - 1), metavar="S",
                        help="the first replicate's seed, which also draws the sample (default: "
                        "the time)")
    sample.add_argument("--params", metavar="FILE",
                        default=os.environ.get("VANTU_ANALYSE_PARAMS", "preference.txt"),
                        help="the parameters not ranged (default: the shipped file)")
    for method, what in (("sobol", "the first-order and total Sobol indices"),
                         ("morris", "Morris's mu*, mu and sigma")):
        analysis = commands.add_parser(
            method, help=f"{what} of a metric",
            description=f"{what[0].upper()}{what[1:]} of a metric of a {method} design's results, each point "
            "averaged over its replicates, with 95 % bootstrap intervals and the share of the "
            "metric's variance that is replicate noise.")
        analysis.add_argument("design", metavar="DESIGN", help=f"the design of sample {method}")
        analysis.add_argument("results", metavar="RESULTS",
                              help="its merged results, or its series with --step")
        analysis.add_argument("--metric", required=True, metavar="M", help="the column analysed")
        analysis.add_argument("--step", type=bounded(0), metavar="STEP",
                              help="RESULTS is a series: take each run's row at STEP")
        analysis.add_argument("--output", metavar="TABLE.csv",
                              help="write the table there (default: standard output)")
        analysis.add_argument("--plot", metavar="F.png", help="draw the indices as bars")
        analysis.add_argument("--convergence", metavar="F.png", help="draw the indices against "
                              "the first 1/8, 1/4, 1/2 and all of the sample")
        analysis.add_argument("--resamples", type=bounded(100), default=1000, metavar="B",
                              help="bootstrap resamples (1000 unless given)")
        analysis.add_argument("--seed", type=bounded(0, 2**32 - 1), default=0, metavar="S",
                              help="seed of the bootstrap (0 unless given)")
    return parser.parse_args(argv)


def sample(args):
    ranges = parameters.ranges_in_order(args.range)
    seed = int(time.time()) % 2**32 if args.seed is None else args.seed
    points = SAMPLERS[args.method](ranges, args.n, seed)
    base = parameters.base_values(args.params)
    text = "\n".join(design_file.design_lines(points, ranges, base, args.replicates, seed))
    output.write(None, (text + "\n").encode())


def read_design(args):
    numbers, labels = STRUCTURE[args.command]
    design = tables.columns(args.design, [(name, np.int64) for name in
                                          ["run"] + tables.IDENTITY + numbers] +
                            [(labels, "U32")])
    tables.sorted_by_run(args.design, design["run"])
    return design


def sample_sizes(units):
    """The first 1/8, 1/4, 1/2 and all of the units, those of 2 or more."""
    return sorted({units // k for k in (8, 4, 2, 1) if units // k >= 2})


def sobol(args, design, metric):
    a, b, ab, names, share = sobol_indices.saltelli_outputs(args.design, design, metric)
    value, low, high = sobol_indices.indices(a, b, ab, args.resamples, args.seed)
    files = {args.output: report.sobol_table(names, value, low, high, share)}
    title = (f"{args.metric}: Sobol indices, {len(a)} base points; "
             f"replicate noise {noise_text(share)}")
    d = len(names)
    if args.plot:
        files[args.plot] = plots.bars(names, [
            ("first-order S1", value[:d], low[:d], high[:d]),
            ("total ST", value[d:2 * d], low[d:2 * d], high[d:2 * d])], title, "index")
    if args.convergence:
        sizes = sample_sizes(len(a))
        runs = np.array([sobol_indices.indices(a[:n], b[:n], ab[:, :n], args.resamples,
                                               args.seed) for n in sizes])
        files[args.convergence] = plots.convergence(sizes, [
            ("first-order S1", runs[:, 0, :d], runs[:, 1, :d], runs[:, 2, :d]),
            ("total ST", runs[:, 0, d:2 * d], runs[:, 1, d:2 * d], runs[:, 2, d:2 * d])],
            names, title, "base points used")
    return files


def morris(args, design, metric):
    effects, names, share = morris_indices.elementary_effects(args.design, design, metric)
    mu_star, low, high, mu, sigma = morris_indices.indices(effects, args.resamples, args.seed)
    files = {args.output: report.morris_table(names, mu_star, low, high, mu, sigma, share)}
    title = (f"{args.metric}: Morris, {len(effects)} trajectories; "
             f"replicate noise {noise_text(share)}")
    unit = f"{args.metric} per whole range"
    if args.plot:
        files[args.plot] = plots.bars(names, [("mu*", mu_star, low, high),
                                              ("sigma", sigma, None, None)], title, unit)
    if args.convergence:
        sizes = sample_sizes(len(effects))
        runs = np.array([morris_indices.indices(effects[:n], args.resamples, args.seed)[:3]
                         for n in sizes])
        files[args.convergence] = plots.convergence(
            sizes, [("mu* (" + unit + ")", runs[:, 0], runs[:, 1], runs[:, 2])], names, title,
            "trajectories used")
    return files


def noise_text(share):
    return "unknown (one replicate)" if share is None else f"{share:.1%}"


def analyse(args):
    for path in (args.output, args.plot, args.convergence):
        if path is not None:
            output.target(path)
    design = read_design(args)
    metric = tables.matched_metric(args.design, design, args.results, args.metric, args.step)
    files = (sobol if args.command == "sobol" else morris)(args, design, metric)
    # Every file is made before any is written, so that a refusal leaves none behind.
    for path, data in files.items():
        output.write(path, data)


def main(argv):
    args = parse_args(argv)
    try:
        if args.command == "sample":
            sample(args)
        else:
            analyse(args)
    except Refusal as refusal:
        print(f"{PROGRAM}: {refusal}", file=sys.stderr)
        return refusal.status
    except BrokenPipeError:
        return FAILURE
    except MemoryError:
        print(f"{PROGRAM}: not enough memory", file=sys.stderr)
        return FAILURE
    except KeyboardInterrupt:
        return 130
    except Exception as error:  # a fault of the program's: said in a line, as every failure
        print(f"{PROGRAM}: unexpected failure: {type(error).__name__}: {error}", file=sys.stderr)
        return FAILURE
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
