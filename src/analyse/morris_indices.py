"""Morris's elementary effects from a design of trajectories: mu* with a bootstrap interval, mu
and sigma, in the metric's units per the parameter's whole range."""

import numpy as np

import points
import resampling
from refusal import Refusal
from sampling import MORRIS_JUMP, MORRIS_LEVELS

# A move is two of the three steps between the four levels: 2/3 of the range.
MOVE = MORRIS_JUMP / (MORRIS_LEVELS - 1)


def elementary_effects(design_path, design, metric):
    """A (trajectories, ranged) array of effects, the ranged parameters' names and the
    replicate-noise share."""
    names, codes = points.labelled(design_path, design["moved"], [""], "moved")
    if not names:
        raise Refusal(f"{design_path} moves no parameter in its 'moved' column: not a Morris "
                      "design")
    d = len(names)
    codes -= 1  # position 0 moves nothing
    ids = design["trajectory"] * (d + 1) + design["position"]
    trajectories = int(design["trajectory"].max()) + 1
    size = trajectories * (d + 1)
    means = points.point_means(design_path, ids, size, metric)
    share = points.noise_share(ids, means, metric)
    move = np.full(size, -1)
    move[ids] = codes
    values = np.zeros((size, d), dtype=np.int64)
    for column, name in enumerate(names):
        values[ids, column] = design[name]
    move = move.reshape(trajectories, d + 1)
    if (move[:, 0] != -1).any() or (np.sort(move[:, 1:], axis=1) != np.arange(d)).any():
        raise Refusal(f"{design_path} has a trajectory that does not move each parameter once, "
                      "from position 1")
    values = values.reshape(trajectories, d + 1, d)
    rows = np.arange(trajectories)[:, None]
    moves = move[:, 1:]
    change = values[rows, np.arange(1, d + 1), moves] - values[rows, np.arange(d), moves]
    direction = np.where(change < 0, -1.0, 1.0)
    means = means.reshape(trajectories, d + 1)
    effects = np.empty((trajectories, d))
    effects[rows, moves] = (means[:, 1:] - means[:, :-1]) / (direction * MOVE)
    return effects, names, share


def statistics(effects):
    """mu*, mu and sigma of each parameter's effects, (trajectories, d) -> 3 rows of d."""
    return np.stack([np.abs(effects).mean(axis=0), effects.mean(axis=0),
                     effects.std(axis=0, ddof=1)])


def indices(effects, resamples, seed):
    """mu*, its 95 % interval, mu and sigma of each parameter."""
    low, high = resampling.interval(lambda picks: np.abs(effects[picks]).mean(axis=1),
                                    len(effects), resamples, seed, effects.shape[1])
    mu_star, mu, sigma = statistics(effects)
    return mu_star, low, high, mu, sigma
