"""Vantu's parameters as the sampler needs them: their names, their 32-bit limits, the ranges a
user gives and the values of the parameters not ranged."""

import csv
import io
import os
import subprocess
import sys

from refusal import BAD_USE, Refusal

# The simulation's own order, which every design and results file follows.
PARAM_NAMES = [
    "initialEnergy", "foodRarity", "poisonRarity", "foodPriority", "poisonPriority",
    "emptyPriority", "foodRewardCurrent", "currentPriorityCap", "foodRewardPrevious",
    "previousPriorityCap", "poisonPenaltyCurrent", "poisonPenaltyPrevious",
    "bareStepPenaltyCurrent", "bareStepPenaltyPrevious", "regenRarity", "propagationThreshold",
    "propagationReward", "stepCost", "foodEnergy", "poisonEnergy", "maxSteps", "startupDrawFlag",
]
INT32_MIN = -2**31
INT32_MAX = 2**31 - 1


def whole(text, what):
    try:
        return int(text.strip(), 10)
    except ValueError:
        raise Refusal(f"{what} takes whole numbers, not '{text}'", BAD_USE) from None


def parse_range(text):
    """NAME=LO:HI into (NAME, LO, HI), both ends included."""
    name, equals, span = text.partition("=")
    low, colon, high = span.partition(":")
    if not equals or not colon:
        raise Refusal(f"--range takes NAME=LO:HI, not '{text}'", BAD_USE)
    if name not in PARAM_NAMES:
        raise Refusal(f"unknown parameter '{name}'; the parameters are: " + " ".join(PARAM_NAMES),
                      BAD_USE)
    low, high = whole(low, f"--range {name}"), whole(high, f"--range {name}")
    for value in (low, high):
        if not INT32_MIN <= value <= INT32_MAX:
            raise Refusal(f"--range {name}: {value} is outside the parameter's limits, "
                          f"{INT32_MIN} to {INT32_MAX}", BAD_USE)
    if low > high:
        raise Refusal(f"--range {name}: {low}:{high} holds no value", BAD_USE)
    return name, low, high


def ranges_in_order(texts):
    """The ranges in the simulation's order of parameters, each parameter at most once."""
    ranges = {}
    for text in texts:
        name, low, high = parse_range(text)
        if name in ranges:
            raise Refusal(f"--range {name} is given twice", BAD_USE)
        ranges[name] = (low, high)
    if not ranges:
        raise Refusal("give at least one --range NAME=LO:HI", BAD_USE)
    return [(name, *ranges[name]) for name in PARAM_NAMES if name in ranges]


def base_values(params_file):
    """The 22 values of a parameter file, read by vantu-sweep itself so that a file means here
    exactly what it means to a run (its forms of numbers, its short files and their warning)."""
    sweep = os.environ.get("VANTU_ANALYSE_SWEEP", "vantu-sweep")
    try:
        plan = subprocess.run([sweep, "plan", "--params", params_file, "--seed", "0"],
                              capture_output=True, check=False, text=True)
    except OSError as error:
        raise Refusal(f"cannot run {sweep}: {error.strerror}") from error
    # Its messages (a file that cannot be read, a short file's warning) are the user's, under
    # this program's name.
    messages = plan.stderr.replace("vantu-sweep: ", "").strip()
    if plan.returncode != 0:
        raise Refusal(messages or f"cannot take the parameters from {params_file}",
                      plan.returncode)
    for message in messages.splitlines():
        print(f"vantu-analyse: {message}", file=sys.stderr)
    header, row = list(csv.reader(io.StringIO(plan.stdout)))[:2]
    values = dict(zip(header, row))
    return [int(values[name]) for name in PARAM_NAMES]
