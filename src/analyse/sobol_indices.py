"""First-order and total Sobol indices from a Saltelli design, with bootstrap intervals."""

import numpy as np

import points
import resampling
from refusal import Refusal


def saltelli_outputs(design_path, design, metric):
    """The point means as A (n), B (n) and the AB matrices (ranged, n), the ranged parameters'
    names and the replicate-noise share."""
    names, codes = points.labelled(design_path, design["part"], ["A", "B"], "part")
    if not names:
        raise Refusal(f"{design_path} moves no parameter in its 'part' column: not a Sobol design")
    width = len(names) + 2
    ids = design["point"] * width + codes
    base_points = int(design["point"].max()) + 1
    means = points.point_means(design_path, ids, base_points * width, metric)
    share = points.noise_share(ids, means, metric)
    table = means.reshape(base_points, width)
    return table[:, 0], table[:, 1], table[:, 2:].T, names, share


def estimate(a, b, ab):
    """S1 (Saltelli 2010) and ST (Jansen) on rows of outputs: a and b (k, n), ab (d, k, n);
    returns S1 and ST as (k, d). The outputs are centred on their mean first, which leaves the
    estimators' expectations as they are and keeps their variance small for metrics far from 0."""
    centre = (a.mean(axis=-1) + b.mean(axis=-1)) / 2
    variance = np.concatenate([a, b], axis=-1).var(axis=-1)
    variance = np.where(variance > 0, variance, np.nan)
    first = ((b - centre[:, None])[None] * (ab - a[None])).mean(axis=-1) / variance
    total = 0.5 * ((a[None] - ab) ** 2).mean(axis=-1) / variance
    return first.T, total.T


def indices(a, b, ab, resamples, seed):
    """Each index, the sum of the first-order ones, and their 95 % intervals: a dict of name ->
    (value, low, high) arrays over S1, ST, S1_sum."""
    if np.var(np.concatenate([a, b])) == 0:
        raise Refusal("the metric is the same at every point: it has no index to compute")

    def with_sum(picks):
        first, total = estimate(a[picks], b[picks], ab[:, picks])
        return np.concatenate([first, total, first.sum(axis=1, keepdims=True)], axis=1)

    value = with_sum(np.arange(len(a))[None])[0]
    low, high = resampling.interval(with_sum, len(a), resamples, seed, ab.shape[0] + 2)
    return value, low, high
