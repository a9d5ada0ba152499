"""A design's rows gathered into its sample's points: the mean of each point over its
replicates, and the share of the metric's variance that lies between replicates."""

import numpy as np

from refusal import Refusal


def point_means(design_path, point_ids, points, metric):
    """The mean metric of each point, ids 0..points-1; every point must have as many rows as
    every other, one per replicate."""
    if point_ids.min() < 0 or point_ids.max() >= points:
        raise Refusal(f"{design_path}'s structure columns place rows outside the sample")
    counts = np.bincount(point_ids, minlength=points)
    if counts.min() != counts.max():
        short = int(np.argmin(counts))
        raise Refusal(f"{design_path} is not a whole sample: a point has {counts[short]} rows, "
                      f"another {counts.max()}")
    return np.bincount(point_ids, weights=metric, minlength=points) / counts


def noise_share(point_ids, means, metric):
    """The sum of squares within points over the total sum of squares: 0 when the replicates of
    every point agree, 1 when the points do not differ at all but for their seeds. None with one
    replicate, or a metric that never changes."""
    if len(metric) == len(means):
        return None
    within = np.sum((metric - means[point_ids]) ** 2)
    total = np.sum((metric - metric.mean()) ** 2)
    return within / total if total > 0 else None


def part_codes(design_path, labels, known, column):
    """Each row's label as its place in known."""
    names, inverse = np.unique(labels, return_inverse=True)
    stray = [name for name in names if name not in known]
    if stray:
        raise Refusal(f"{design_path}'s column '{column}' holds '{stray[0]}', which is none of "
                      + ", ".join(known))
    return np.array([known.index(name) for name in names], dtype=np.int64)[inverse]
