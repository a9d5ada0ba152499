"""A sample written as a design that vantu-sweep runs as it is: run, replicate, seed and the 22
parameters, then the sample's structure columns, which the sweep passes over."""

import numpy as np

from parameters import PARAM_NAMES

SEED_MODULUS = 2**32


def design_lines(sample, ranges, base, replicates, seed):
    """The CSV lines, header first. Replicates are the outer loop, as in the sweep's plans, so
    that any first part of a design covers the whole sample; replicate r runs on seed S + r."""
    points = len(sample.values)
    params = np.tile(np.array(base, dtype=np.int64), (points, 1))
    for column, (name, _, _) in enumerate(ranges):
        params[:, PARAM_NAMES.index(name)] = sample.values[:, column]
    structure = list(sample.structure)
    yield ",".join(["run", "replicate", "seed"] + PARAM_NAMES + structure)
    tails = [",".join(map(str, fields)) for fields in zip(*sample.structure.values())]
    heads = [",".join(map(str, row)) for row in params.tolist()]
    for replicate in range(replicates):
        row_seed = (seed + replicate) % SEED_MODULUS
        first = replicate * points
        for point in range(points):
            yield f"{first + point},{replicate},{row_seed},{heads[point]},{tails[point]}"
