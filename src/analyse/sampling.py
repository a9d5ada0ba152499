"""Sampled designs in the unit hypercube, mapped onto the parameters' whole numbers, each row
labelled with its place in the sample so that the analysis never relies on row order."""

import numpy as np
from scipy.stats import qmc

from refusal import BAD_USE, Refusal

# Morris trajectories move on four levels, each step two levels: the usual choice, which gives
# every level equal chances.
MORRIS_LEVELS = 4
MORRIS_JUMP = MORRIS_LEVELS // 2


class Sample:
    """Points as rows: the ranged parameters' whole numbers, and the structure columns that place
    them."""

    def __init__(self, values, structure):
        self.values = values  # (points, ranged) whole numbers
        self.structure = structure  # column name -> one entry per point


def to_integers(unit, ranges):
    """Every value of LO..HI gets an equal share of [0, 1)."""
    low = np.array([r[1] for r in ranges], dtype=np.int64)
    width = np.array([r[2] - r[1] + 1 for r in ranges], dtype=np.int64)
    offset = np.minimum(np.floor(unit * width).astype(np.int64), width - 1)
    return low + offset


def lhs(ranges, n, seed):
    unit = qmc.LatinHypercube(d=len(ranges), seed=seed).random(n)
    return Sample(to_integers(unit, ranges), {"point": np.arange(n)})


def sobol(ranges, n, seed):
    """Saltelli's scheme: a base point's rows are A, B and, for each parameter, A with that
    parameter taken from B; a base point's rows are together, so any first part of the design
    holds whole base points."""
    if n < 2 or n & (n - 1):
        raise Refusal(f"a Sobol design takes a power of 2 of base points (-n), not {n}", BAD_USE)
    d = len(ranges)
    both = qmc.Sobol(d=2 * d, scramble=True, seed=seed).random_base2(int(n).bit_length() - 1)
    a, b = both[:, :d], both[:, d:]
    blocks = [a, b]
    for i in range(d):
        mixed = a.copy()
        mixed[:, i] = b[:, i]
        blocks.append(mixed)
    unit = np.stack(blocks, axis=1).reshape(n * (d + 2), d)
    parts = np.array(["A", "B"] + [name for name, _, _ in ranges])
    return Sample(to_integers(unit, ranges), {
        "point": np.repeat(np.arange(n), d + 2),
        "part": np.tile(parts, n),
    })


def morris(ranges, n, seed):
    """Trajectories of one-at-a-time moves: each starts at random on the levels, and moves every
    parameter once, in a random order and direction, by two of the four levels."""
    if n < 2:
        raise Refusal(f"a Morris design takes at least 2 trajectories (-n), not {n}", BAD_USE)
    d = len(ranges)
    rng = np.random.default_rng(seed)
    lower = rng.integers(0, MORRIS_LEVELS - MORRIS_JUMP, size=(n, d))
    upward = rng.integers(0, 2, size=(n, d)).astype(bool)
    order = np.argsort(rng.random((n, d)), axis=1)
    start = np.where(upward, lower, lower + MORRIS_JUMP)
    step = np.where(upward, MORRIS_JUMP, -MORRIS_JUMP)
    # A parameter has moved at every position after the one its move comes at.
    moves_at = np.argsort(order, axis=1) + 1
    positions = np.arange(d + 1)[None, :, None]
    levels = start[:, None, :] + step[:, None, :] * (moves_at[:, None, :] <= positions)
    names = np.array([""] + [name for name, _, _ in ranges])
    moved = np.concatenate([np.full((n, 1), -1), order], axis=1)
    return Sample(levels_to_integers(levels.reshape(n * (d + 1), d), ranges), {
        "trajectory": np.repeat(np.arange(n), d + 1),
        "position": np.tile(np.arange(d + 1), n),
        "moved": names[moved.reshape(-1) + 1],
    })


def levels_to_integers(levels, ranges):
    """Level l of LO..HI is LO + l/3 of the way to HI, rounded: the ends are LO and HI."""
    low = np.array([r[1] for r in ranges], dtype=np.int64)
    span = np.array([r[2] - r[1] for r in ranges], dtype=np.int64)
    last = MORRIS_LEVELS - 1
    return low + (2 * levels * span + last) // (2 * last)


SAMPLERS = {"lhs": lhs, "sobol": sobol, "morris": morris}
