"""Bootstrap intervals: the estimate recomputed on resamples of the sample's units (base points,
trajectories), drawn with replacement, a chunk of resamples at a time to bound the memory."""

import numpy as np

# Elements of a chunk's largest array: about 32 MB of doubles.
CHUNK_ELEMENTS = 4_000_000


def interval(estimate, units, resamples, seed, width):
    """The 2.5th and 97.5th percentiles of estimate(indices) over resamples of units; estimate
    takes a (resamples, units) array of unit indices and returns (resamples, k) values, width
    being the number of values of a unit that it reads."""
    rng = np.random.default_rng(seed)
    chunk = max(1, CHUNK_ELEMENTS // max(1, units * width))
    values = []
    for first in range(0, resamples, chunk):
        picks = rng.integers(0, units, size=(min(chunk, resamples - first), units))
        values.append(estimate(picks))
    low, high = np.percentile(np.concatenate(values), [2.5, 97.5], axis=0)
    return low, high
