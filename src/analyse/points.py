"""A design's rows gathered into its sample's points: the mean of each point over its
replicates, and the share of the metric's variance that lies between replicates."""

import numpy as np

from parameters import PARAM_NAMES
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


def labelled(design_path, labels, fixed, column):
    """The parameters named in a structure column, in the simulation's order, and each row's
    label as its place in fixed + those parameters; any other label is refused."""
    found, inverse = np.unique(labels, return_inverse=True)
    names = [name for name in PARAM_NAMES if name in found]
    known = fixed + names
    stray = [label for label in found if label not in known]
    if stray:
        raise Refusal(f"{design_path}'s column '{column}' holds '{stray[0]}', which is none of "
                      + ", ".join(known))
    return names, np.array([known.index(label) for label in found], dtype=np.int64)[inverse]
