"""Graded and partial credit items beside dichotomous ones, as mirt's item tables give them.

coef(fit, simplify = TRUE)$items names a dichotomous item's intercept d (with g and u), a
graded item's intercepts d1 .. d(m-1), and a partial credit (gpcm) item's d0 (0) .. d(m-1)
with its category scores ak0 .. ak(m-1) (0 .. m-1); a column holds NaN where an item has no
such parameter. A column "model" ("3PL", "2PL", "graded" or "gpcm") may name each item's model
instead. The core keeps d1 of a polytomous item as its intercept, d2 .. beside it.
"""

import re
from dataclasses import dataclass
from typing import Callable, Optional

import numpy as np

MODEL_KINDS = {"3pl": "dichotomous", "2pl": "dichotomous", "graded": "graded", "gpcm": "gpcm"}
KIND_CODES = {"dichotomous": 0, "graded": 1, "gpcm": 2}  # as the core's ItemKind
KIND_NAMES = {"dichotomous": "dichotomous", "graded": "graded",
              "gpcm": "partial credit (gpcm)"}
MOST_CATEGORIES = 20


def item_label(side, i, rows):
    return f"{side}, item {i + 1}" + ("" if rows is None else f" (row {rows[i]})")


def numbered(names, prefix, first, side):
    """The names prefix<first>, prefix<first + 1>, .. up to the highest number among names;
    ValueError when one in between is missing."""
    pattern = re.compile(prefix + r"(\d+)$")
    numbers = [int(m.group(1)) for name in names if (m := pattern.match(name))]
    numbers = [n for n in numbers if n >= first]
    if not numbers:
        return []
    wanted = [f"{prefix}{n}" for n in range(first, max(numbers) + 1)]
    missing = [name for name in wanted if name not in names]
    if missing:
        raise ValueError(f"{side}: there are columns {wanted[0]} .. {wanted[-1]} but no "
                         f"column {missing[0]}")
    return wanted


def describe(kind, count):
    return "dichotomous" if count <= 2 else f"{KIND_NAMES[kind]}, {count} categories"


@dataclass(eq=False)
class Categories:
    kinds: list  # "dichotomous", "graded" or "gpcm" per item
    counts: np.ndarray  # categories per item, 2 for a dichotomous item
    rest: list  # d2 .. d(m-1) of each item

    @classmethod
    def dichotomous(cls, n):
        return cls(["dichotomous"] * n, np.full(n, 2), [np.empty(0)] * n)

    @property
    def polytomous(self) -> bool:
        return bool((self.counts > 2).any())

    def reordered(self, order) -> "Categories":
        return Categories([self.kinds[j] for j in order], self.counts[order],
                          [self.rest[j] for j in order])

    def arrays(self):
        """(kinds, counts, rest) as _torvak takes them."""
        rest = np.concatenate(self.rest) if self.rest else np.empty(0)
        return (np.array([KIND_CODES[k] for k in self.kinds], dtype=np.int32),
                self.counts.astype(np.int32), rest.astype(np.float64))


@dataclass(eq=False)
class Cells:
    """The intercept cells an intercept shift s moves: column, row and factor (k for d_k of a
    partial credit item, 1 otherwise)."""

    columns: list
    rows: np.ndarray
    factors: np.ndarray


def check_models_match(source: Optional[Categories], target: Optional[Categories], n, rows):
    """ValueError naming the items (up to five) whose model or category count differ in From
    and To; target in the row order of source."""
    f = source or Categories.dichotomous(n)
    g = target or Categories.dichotomous(n)
    differ = [i for i in range(n) if f.kinds[i] != g.kinds[i] or f.counts[i] != g.counts[i]]
    if not differ:
        return
    shown = [f"item {i + 1}" + ("" if rows is None else f", row {rows[i]}") +
             f" ({describe(f.kinds[i], f.counts[i])} in From, "
             f"{describe(g.kinds[i], g.counts[i])} in To)" for i in differ[:5]]
    more = f"; and {len(differ) - 5} more" if len(differ) > 5 else ""
    raise ValueError("From and To differ in item model or category count: " +
                     "; ".join(shown) + more)


def _model_names(values, side, rows):
    """Each item's kind by the model column; None where it names none."""
    models = []
    for i, value in enumerate(values):
        missing = value is None or (isinstance(value, float) and np.isnan(value))
        if missing or not str(value).strip():
            models.append(None)  # the model follows from the parameters given
            continue
        name = str(value).strip().lower()
        if name not in MODEL_KINDS:
            raise ValueError(f"{item_label(side, i, rows)}: the model {value!r} is none of 3PL, "
                             "2PL, graded, gpcm")
        models.append(MODEL_KINDS[name])
    return models


def read_models(column: Callable, n, names, side, rows, guessing_column):
    """Intercepts (d, or d1), guessing (0 for a polytomous item), Categories and Cells of the
    items of a mirt table; names: the column labels of the layout (d, dk, ak, d0, model), None
    or [] where it has none. column(label) gives a column as float64 (the model column as a
    list of values, None where missing)."""
    nan = np.full(n, np.nan)
    d = nan if names["d"] is None else column(names["d"])
    dk = np.column_stack([column(c) for c in names["dk"]]) if names["dk"] else np.empty((n, 0))
    ak = np.column_stack([column(c) for c in names["ak"]]) if names["ak"] else np.empty((n, 0))
    d0 = nan if names["d0"] is None else column(names["d0"])
    g = np.zeros(n) if guessing_column is None else column(guessing_column)
    models = [None] * n if names["model"] is None else \
        _model_names(column(names["model"]), side, rows)

    first, guessing = np.empty(n), np.empty(n)
    kinds, counts, rest = [], np.empty(n, dtype=np.int64), []
    cell_columns, cell_rows, cell_factors = [], [], []
    for i in range(n):
        where = item_label(side, i, rows)
        values, scores = dk[i], ak[i]
        has_d = not np.isnan(d[i])
        has_dk = bool((~np.isnan(values)).any())
        has_ak = bool((~np.isnan(scores)).any())
        if models[i] is not None:
            kind = models[i]
        elif has_ak:
            kind = "gpcm"
        elif has_d and has_dk:
            raise ValueError(f"{where}: both d and d1 .. hold values: a dichotomous item has d, "
                             "a graded or partial credit item d1 .. (or name the model in a "
                             "column model)")
        elif has_d or has_dk:
            kind = "dichotomous" if has_d else "graded"
        else:
            raise ValueError(f"{where}: no intercept (d, or d1 .. for a graded or partial "
                             "credit item)")
        if not np.isnan(d0[i]) and d0[i] != 0:
            raise ValueError(f"{where}: d0 is {d0[i]}; it is 0 (the intercept of category 0)")
        if kind == "dichotomous":
            if has_ak:
                raise ValueError(f"{where}: a dichotomous item has no ak values")
            if has_d and has_dk:
                raise ValueError(f"{where}: a dichotomous item has one intercept, d, but d1 .. "
                                 "hold values")
            if not has_d and not (len(values) and not np.isnan(values[0])
                                  and np.isnan(values[1:]).all()):
                raise ValueError(f"{where}: a dichotomous item's intercept is d (or d1 alone)")
            kinds.append(kind)
            counts[i] = 2
            first[i] = d[i] if has_d else values[0]
            if not np.isfinite(first[i]):
                raise ValueError(f"{where}: the intercept is not a finite number")
            guessing[i] = g[i]
            rest.append(np.empty(0))
            cell_columns.append(names["d"] if has_d else names["dk"][0])
            cell_rows.append(i)
            cell_factors.append(1.0)
            continue
        name = KIND_NAMES[kind]
        if has_d:
            raise ValueError(f"{where}: a {name} item's intercepts are d1 .. d(m-1), not d")
        missing = np.flatnonzero(np.isnan(values))
        given = int(missing[0]) if missing.size else len(values)
        if given == 0:
            raise ValueError(f"{where}: a {name} item without intercepts d1 ..")
        if (~np.isnan(values[given:])).any():
            raise ValueError(f"{where}: d{given + 1} holds no value but a later intercept does")
        m = given + 1
        if m > MOST_CATEGORIES:
            raise ValueError(f"{where}: {m} categories; an item has at most {MOST_CATEGORIES}")
        if kind == "graded" and has_ak:
            raise ValueError(f"{where}: ak values belong to partial credit (gpcm) items, not to "
                             "a graded one")
        if kind == "gpcm" and has_ak and not (
                len(scores) >= m and np.array_equal(scores[:m], np.arange(m))
                and np.isnan(scores[m:]).all()):
            shown = ", ".join(f"{s:g}" for s in scores[~np.isnan(scores)])
            raise ValueError(f"{where}: ak0 .. are {shown}; a gpcm item of {m} categories "
                             f"scores them 0 .. {m - 1} (other scores make a nominal item, "
                             "which is not linked)")
        if not np.isnan(g[i]) and g[i] != 0:
            raise ValueError(f"{where}: a {name} item has no guessing parameter (g is {g[i]})")
        intercepts = values[:given]
        bad = np.flatnonzero(~np.isfinite(intercepts))
        if bad.size:
            raise ValueError(f"{where}: d{bad[0] + 1} is not a finite number")
        if kind == "graded" and m > 2 and (np.diff(intercepts) >= 0).any():
            shown = ", ".join(f"{v:g}" for v in intercepts)
            raise ValueError(f"{where}: the intercepts of a graded item must decrease "
                             f"(d1 > d2 > ...); they are {shown}")
        kinds.append(kind if m > 2 else "dichotomous")  # of 2 categories: a 2PL
        counts[i] = m
        first[i] = intercepts[0]
        guessing[i] = 0.0
        rest.append(intercepts[1:].copy())
        cell_columns.extend(names["dk"][:given])
        cell_rows.extend([i] * given)
        cell_factors.extend(range(1, given + 1) if kind == "gpcm" else [1.0] * given)
    return (first, guessing, Categories(kinds, counts, rest),
            Cells(cell_columns, np.array(cell_rows, dtype=np.int64),
                  np.array(cell_factors, dtype=np.float64)))
