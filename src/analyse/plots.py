"""The indices as bars with their intervals, and against the number of base points used, as PNG
bytes; matplotlib is loaded only when a plot is asked for."""

import io

import numpy as np

from refusal import Refusal


def pyplot():
    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot
    except ImportError:
        raise Refusal("the plots need matplotlib: apt-get install python3-matplotlib") from None
    return matplotlib.pyplot


def png(figure):
    buffer = io.BytesIO()
    figure.savefig(buffer, format="png", dpi=100)
    pyplot().close(figure)
    return buffer.getvalue()


def error_bars(value, low, high):
    """matplotlib's (below, above) distances, never negative."""
    return np.maximum(0, [value - low, high - value])


def bars(names, groups, title, ylabel):
    """groups: (label, value, low, high) arrays over names, drawn side by side; a group with no
    interval has low and high None."""
    figure, axes = pyplot().subplots(figsize=(max(6, 1.2 * len(names) + 2), 4.5),
                                     layout="constrained")
    width = 0.8 / len(groups)
    places = np.arange(len(names))
    for k, (label, value, low, high) in enumerate(groups):
        errors = None if low is None else error_bars(value, low, high)
        axes.bar(places + (k - (len(groups) - 1) / 2) * width, value, width, yerr=errors,
                 capsize=3, label=label)
    axes.set_xticks(places, names, rotation=30, ha="right")
    axes.axhline(0, color="black", linewidth=0.6)
    axes.set_ylabel(ylabel)
    axes.set_title(title)
    axes.legend()
    return png(figure)


def convergence(sizes, panels, names, title, xlabel):
    """panels: (label, values, lows, highs), each a (sizes, names) array: one line a parameter."""
    figure, all_axes = pyplot().subplots(1, len(panels), figsize=(5.5 * len(panels), 4.5),
                                         layout="constrained", squeeze=False)
    for axes, (label, values, lows, highs) in zip(all_axes[0], panels):
        for i, name in enumerate(names):
            # Each parameter a little aside, so that the intervals do not hide each other.
            dodged = np.array(sizes) * 2 ** (0.05 * (i - (len(names) - 1) / 2))
            axes.errorbar(dodged, values[:, i], yerr=error_bars(values[:, i], lows[:, i],
                                                               highs[:, i]),
                          marker="o", capsize=3, label=name)
        axes.set_xscale("log", base=2)
        axes.set_xticks(sizes, [str(size) for size in sizes])
        axes.set_xlabel(xlabel)
        axes.set_ylabel(label)
    all_axes[0][0].legend(fontsize="small")
    figure.suptitle(title)
    return png(figure)
