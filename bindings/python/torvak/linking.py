"""link() and run(): a pair of item tables, or a linking parameter file, put through the core."""

import json
import math
import numbers as _numbers
import os

import numpy as np

from . import _torvak
from .item_models import check_models_match
from .result import LinkResult
from .tables import match_rows, numbers, read_items

# Least squares, test characteristic surface, item response surfaces: the Model_Type values.
METHODS = {"ls": 1, "tcs": 3, "irs": 4}
WEIGHTS = {"equal": 0, "normal": 1}
METRICS = ("logistic", "normal")
SEARCH_METHODS = {"steepest": 1, "newton": 2}
SEARCH_DEFAULTS = {"method": "newton", "tolerance": 1e-8, "change_directions": 15, "steps": 8,
                   "step_length": 1.0}
SE_METHODS = (None, "jackknife", "bootstrap")
MOST_REPLICATIONS = 1_000_000  # as torvak-link --se bootstrap:B takes


def _choice(name, value, choices):
    if value not in choices:
        raise ValueError(f"{name}={value!r}; it is one of {', '.join(map(repr, choices))}")
    return value


def _search_settings(search):
    """None (the built-in search) or the full settings of a search given as a dict."""
    if search is None:
        return None
    unknown = sorted(set(search) - set(SEARCH_DEFAULTS))
    if unknown:
        raise ValueError(f"search: {', '.join(unknown)} unknown; the keys are "
                         f"{', '.join(SEARCH_DEFAULTS)}")
    settings = {**SEARCH_DEFAULTS, **search}
    _choice("search method", settings["method"], SEARCH_METHODS)
    return settings


def _shown(value):
    return repr(value) if isinstance(value, str) else str(value)


def _whole(value):
    return isinstance(value, (int, np.integer)) and not isinstance(value, (bool, np.bool_))


def _item_numbers(exclude, count=None):
    """exclude as a sorted list of item numbers from 1 (to count, when it is known)."""
    if exclude is None:
        return []
    values = [exclude] if np.ndim(exclude) == 0 else np.ravel(np.asarray(exclude, dtype=object))
    for value in values:
        if not _whole(value) or value < 1 or (count is not None and value > count):
            within = "1 or more" if count is None else f"1 to {count}"
            raise ValueError(f"exclude: {_shown(value)} is not an item number ({within})")
    return sorted({int(value) for value in values})


def _diagnostics(exclude, se, replications, seed, drift_cutoff, diagnostics, count=None):
    """The diagnostics dict _torvak takes, from link's and run's arguments."""
    _choice("se", se, SE_METHODS)
    if not _whole(replications) or not 2 <= replications <= MOST_REPLICATIONS:
        raise ValueError(f"replications={_shown(replications)}; it is a whole number from 2 to "
                         f"{MOST_REPLICATIONS}")
    if not _whole(seed) or not 0 <= seed < 2 ** 64:
        raise ValueError(f"seed={_shown(seed)}; it is a whole number from 0 to {2 ** 64 - 1}")
    if (not isinstance(drift_cutoff, _numbers.Real) or isinstance(drift_cutoff, bool)
            or not math.isfinite(drift_cutoff) or not 0 <= drift_cutoff <= 1):
        raise ValueError(f"drift_cutoff={_shown(drift_cutoff)}; it is a number from 0 to 1 (a "
                         "difference of response probability)")
    return {"exclude": _item_numbers(exclude, count), "item_diagnostics": bool(diagnostics),
            "drift_cutoff": float(drift_cutoff), "errors": se or "none",
            "replications": int(replications), "seed": int(seed)}


def _theta_points(theta, k):
    points = numbers(theta, "theta")
    if points.ndim == 1 and k == 1:
        points = points.reshape(-1, 1)
    if points.ndim != 2 or points.shape[1] != k:
        shape = "x".join(map(str, points.shape))
        raise ValueError(f"theta: an array of {shape}; the items have {k} dimension"
                         f"{'s' if k > 1 else ''}, so theta must be points x {k}")
    return points


def link(from_items, to_items, method="irs", theta=None, grid=11, range=(-4, 4),
         weights="equal", from_metric="logistic", to_metric="logistic", guessing=True,
         search=None, threads=0, exclude=None, se=None, replications=200, seed=1,
         drift_cutoff=0.1, diagnostics=True) -> LinkResult:
    """Links the From calibration onto the scale of the To calibration: theta_To = M theta_From + t.

    from_items, to_items: the common items, as arrays of k slopes, intercept and guessing
    parameter per row (k + 1 columns with guessing=False), or DataFrames or dicts of columns
    with mirt's names (a1..ak, d, g, u; graded items d1..d(m-1), partial credit items also
    ak0..ak(m-1) and d0, NaN where an item has no such parameter; optionally a column model of
    "3PL", "2PL", "graded" or "gpcm") or IRT parameters (a, b, g, u). Each item must be of the
    same model and category count in both. DataFrames that both have row names are matched by
    name, other tables by position.
    method: "irs" item response surfaces, "tcs" test characteristic surface, "ls" least squares.
    theta: points x k on the From scale where the surfaces are compared; None: a grid of
    `grid` points per dimension over `range`.
    weights: "equal", or "normal" (each point weighted by exp(-theta'theta/2)).
    from_metric, to_metric: "logistic", or "normal" (normal-ogive values, scaled by 1.702).
    search: None for the built-in search; or a dict of method ("newton" or "steepest"),
    tolerance, change_directions, steps, step_length.
    threads: threads that evaluate the criterion; 0 one per core (results are the same).
    exclude: item numbers (rows of from_items, from 1) linked without.
    se: None, or "jackknife" (leave one item out) or "bootstrap" (`replications` resamples
    of the items from `seed`, with 95 % intervals): standard errors of M and t over the
    sampling of the common items, in result.se.
    diagnostics: an item table in result.items (transformed From parameters beside the To
    ones, each item's share of the criterion, the RMSD and largest difference of its
    response); an item is flagged when its RMSD is above drift_cutoff.
    """
    _choice("method", method, METHODS)
    _choice("weights", weights, WEIGHTS)
    _choice("from_metric", from_metric, METRICS)
    _choice("to_metric", to_metric, METRICS)
    search_settings = _search_settings(search)
    if int(threads) < 0:
        raise ValueError(f"threads={threads}; it is 0 (one per core) or more")
    begin, end = (float(x) for x in range)

    source = read_items(from_items, "From", guessing)
    target = read_items(to_items, "To", guessing)
    if source.dimension != target.dimension:
        raise ValueError(f"From has {source.dimension} slopes per item and To "
                         f"{target.dimension}: both must be in the same dimensions")
    target = match_rows(source, target)
    if len(source.intercepts) == len(target.intercepts):
        check_models_match(source.categories, target.categories, len(source.intercepts),
                           source.rows)
    # Categories go along only with polytomous items: without them the link is the one of
    # dichotomous items it always was.
    polytomous = source.categories is not None and source.categories.polytomous
    k = source.dimension
    points = None if theta is None else _theta_points(theta, k)
    count = len(source.intercepts)
    wanted = _diagnostics(exclude, se, replications, seed, drift_cutoff, diagnostics, count)
    left = count - len(wanted["exclude"])
    if wanted["exclude"] and left < k + 1:
        raise ValueError(f"exclude leaves {left} of the {count} common items: a link in {k} "
                         f"dimension{'s' if k > 1 else ''} needs at least {k + 1}")

    search_values = search_settings or SEARCH_DEFAULTS
    outcome = _torvak.link_arrays(
        METHODS[method], k, source.slopes, source.intercepts, source.guessing,
        target.slopes, target.intercepts, target.guessing, theta=points,
        grid=0 if points is not None else int(grid), range_begin=begin, range_end=end,
        weights=WEIGHTS[weights], from_normal=from_metric == "normal",
        to_normal=to_metric == "normal",
        search_method=0 if search_settings is None else SEARCH_METHODS[search_values["method"]],
        tolerance=float(search_values["tolerance"]),
        change_directions=int(search_values["change_directions"]),
        steps=int(search_values["steps"]), step_length=float(search_values["step_length"]),
        threads=int(threads), diagnostics=wanted,
        from_categories=source.categories.arrays() if polytomous else None,
        to_categories=target.categories.arrays() if polytomous else None)
    settings = {"method": method, "model": METHODS[method], "dimension": k,
                "theta": "grid" if points is None else "points",
                "grid": None if points is not None else int(grid),
                "range": None if points is not None else (begin, end), "weights": weights,
                "from_metric": from_metric, "to_metric": to_metric, "guessing": bool(guessing),
                "search": search_settings, "threads": int(threads), "se": se,
                "replications": int(replications) if se == "bootstrap" else None,
                "seed": int(seed) if se == "bootstrap" else None,
                "drift_cutoff": float(drift_cutoff) if diagnostics else None}
    return LinkResult.from_outcome(outcome, settings, source.rows)


def run(parameter_file, threads=0, exclude=None, se=None, replications=200, seed=1,
        drift_cutoff=0.1, diagnostics=True) -> dict:
    """Runs a linking parameter file as torvak-link does; returns its --results document.

    Data files are looked for beside the parameter file, and its report file is written.
    exclude (record positions from 1 in each pair's files) and the diagnostics options are
    those of link(); a pair's item table and errors are its "item_diagnostics" and
    "standard_errors"."""
    wanted = _diagnostics(exclude, se, replications, seed, drift_cutoff, diagnostics)
    return json.loads(_torvak.run(os.fspath(parameter_file), int(threads), diagnostics=wanted))


def transformation(linked):
    """(M, t) of a LinkResult, or of a dict holding M and t (a pair of run()'s document)."""
    if isinstance(linked, LinkResult):
        M, t = linked.M, linked.t
    else:
        M, t = linked["M"], linked["t"]
    if M is None or t is None:
        raise ValueError("the link has no M and t (its A is singular)")
    M = numbers(M, "M")
    t = numbers(t, "t").reshape(-1)
    if M.ndim != 2 or M.shape != (t.size, t.size):
        raise ValueError(f"M is {'x'.join(map(str, M.shape))} and t holds {t.size} values")
    return M, t
