"""Item tables: NumPy arrays, pandas DataFrames and dicts of columns read into the arrays the
core takes, and written back as the kind of table they came in.

A table is, per item, k slopes, an intercept and (optionally) a guessing parameter: the
columns of an array in that order, or of a DataFrame or dict by name, mirt style (a1..ak, d,
g, u; graded and partial credit items with d1 .. d(m-1), ak0 .. and d0, see item_models) or
as unidimensional IRT parameters (a, b, g, u, with d = -a b). A DataFrame whose names are
neither is read by position, like an array. u is not used.
"""

import re
import sys
from collections.abc import Mapping
from dataclasses import dataclass
from typing import Any, Optional

import numpy as np

from .item_models import Categories, Cells, numbered, read_models
from .item_models import item_label as _item

_SLOPE_NAME = re.compile(r"a(\d+)$")


def is_frame(table) -> bool:
    # pandas is not needed for arrays; a DataFrame means pandas was imported already.
    pandas = sys.modules.get("pandas")
    return pandas is not None and isinstance(table, pandas.DataFrame)


def numbers(values, what: str) -> np.ndarray:
    """A float64 copy of values; ValueError naming what when they are not numbers."""
    try:
        return np.array(values, dtype=np.float64)
    except (TypeError, ValueError) as error:
        raise ValueError(f"{what}: a value is not a number ({error})") from None


def is_columns(table) -> bool:
    """A dict (or other mapping) of columns by name."""
    return isinstance(table, Mapping)


@dataclass(eq=False)
class ItemTable:
    slopes: np.ndarray  # items x k
    intercepts: np.ndarray  # d, or d1 of a polytomous item
    guessing: Optional[np.ndarray]  # None: every item has 0
    rows: Any  # the DataFrame's row names, or None when it has none (or is an array)
    kind: str  # "array", "frame" (by position), "mirt" or "irtpars"
    source: Any  # the table as given, to write back into
    columns: list  # slope columns then the intercept (or b) column: labels or positions
    # Graded and partial credit items (None: every item is dichotomous), and the intercept
    # cells a shift moves.
    categories: Optional[Categories] = None
    cells: Optional[Cells] = None

    @property
    def dimension(self) -> int:
        return self.slopes.shape[1]

    def reordered(self, order) -> "ItemTable":
        guessing = None if self.guessing is None else self.guessing[order]
        categories = None if self.categories is None else self.categories.reordered(order)
        return ItemTable(self.slopes[order], self.intercepts[order], guessing,
                         self.rows[order], self.kind, None, self.columns, categories)

    def written(self, slopes: np.ndarray, shift: np.ndarray):
        """The table as given with its slopes replaced and each item's intercepts moved by
        shift (d_k by k shift for a partial credit item; b for IRT parameters)."""
        k = slopes.shape[1]
        intercepts = self.intercepts + shift
        if self.kind == "array":
            out = numbers(self.source, "items")
            out[:, :k] = slopes
            out[:, k] = intercepts
            return out
        if is_columns(self.source):
            out = dict(self.source)
        else:
            out = self.source.copy()
        if self.kind == "irtpars":
            out[self.columns[0]] = slopes[:, 0]
            out[self.columns[1]] = -intercepts / slopes[:, 0]
            return out
        for j, column in enumerate(self.columns[:k]):
            values = slopes[:, j]
            if self.kind == "mirt":
                out[column] = values
            else:
                out.iloc[:, column] = values
        if self.cells is not None:
            cells = self.cells
            for column in dict.fromkeys(cells.columns):
                here = np.array([c == column for c in cells.columns])
                rows = cells.rows[here]
                values = numbers(np.asarray(self.source[column]), f"items, column {column}")
                values[rows] += cells.factors[here] * shift[rows]
                out[column] = values
        elif self.kind == "mirt":
            out[self.columns[k]] = intercepts
        else:
            out.iloc[:, self.columns[k]] = intercepts
        return out


def _row_names(frame):
    pandas = sys.modules["pandas"]
    index = frame.index
    return None if index.equals(pandas.RangeIndex(len(index))) else index


def _named_layout(labels, side):
    """The layout of a table whose columns are named (labels: name -> column label): kind
    ("mirt" or "irtpars"), slope and intercept (or b) columns, the guessing column, and for
    mirt tables the names of the polytomous columns (d, dk, ak, d0, model; None or [] where
    there are none). None when the columns are named neither way."""
    slopes = sorted((int(m.group(1)), name) for name in labels
                    if (m := _SLOPE_NAME.match(name)))
    polytomous = None
    if slopes:
        numbers_ = [n for n, _ in slopes]
        if numbers_ != list(range(1, len(slopes) + 1)):
            raise ValueError(f"{side}: slope columns {', '.join(n for _, n in slopes)}; "
                             f"they must be a1 to a{len(slopes)}")
        polytomous = {"d": labels.get("d"), "d0": labels.get("d0"),
                      "model": labels.get("model"),
                      "dk": [labels[n] for n in numbered(labels, "d", 1, side)],
                      "ak": [labels[n] for n in numbered(labels, "ak", 0, side)]}
        if "d" not in labels and not polytomous["dk"]:
            raise ValueError(f"{side}: slope columns a1 to a{len(slopes)} but no intercept "
                             "column d (or d1 .. for graded and partial credit items)")
        kind, names = "mirt", [n for _, n in slopes] + (["d"] if "d" in labels else [])
        known = names + [str(c) for c in polytomous["dk"] + polytomous["ak"]] + ["d0", "model"]
        if not (polytomous["dk"] or polytomous["ak"] or polytomous["d0"] is not None
                or polytomous["model"] is not None):
            polytomous = None  # dichotomous items by layout
    elif "a" in labels and "b" in labels:
        kind, names = "irtpars", ["a", "b"]
        known = names
    else:
        return None
    unknown = [name for name in labels if name not in known + ["g", "u"]]
    if unknown:
        raise ValueError(f"{side}: column {', '.join(unknown)} is no item parameter (a1..ak, "
                         "d, g, u, d1.., ak0.., d0, model as mirt names them, or a, b, g, u)")
    return kind, [labels[n] for n in names], labels.get("g"), polytomous


def _check_finite(side, values, names, rows):
    bad = np.argwhere(~np.isfinite(values))
    if bad.size:
        i, j = bad[0]
        raise ValueError(f"{_item(side, i, rows)}: {names[j]} is not a finite number")


def _column_reader(table, side, frame):
    """column(label) of a DataFrame or dict of columns: numbers as float64, the model column
    as a list of values (None where missing)."""
    def column(label):
        values = table[label]
        if label == "model":
            if frame:
                values = values.astype(object).where(values.notna(), None)
            return list(values)
        values = values.to_numpy() if frame else values
        return numbers(values, f"{side}, column {label}").reshape(-1)
    return column


def read_items(table, side: str, guessing: bool = True, dimension: Optional[int] = None):
    """The ItemTable of an array, DataFrame or dict of columns. With dimension (a known k),
    whether an array holds guessing parameters follows from its column count instead of
    guessing."""
    frame = is_frame(table)
    columns_given = is_columns(table)
    rows = _row_names(table) if frame else None
    labels = layout = None
    if frame or columns_given:
        labels = {str(c): c for c in (table.columns if frame else table)}
        layout = _named_layout(labels, side)
    if columns_given and layout is None:
        raise ValueError(f"{side}: a dict of columns names them a1..ak, d, g (mirt) or a, b, g; "
                         f"not {', '.join(labels)}")
    categories = cells = None
    if layout is not None:
        kind, columns, g_column, polytomous = layout
        column = _column_reader(table, side, frame)
        values = np.column_stack([column(c) for c in columns])
        names = [str(c) for c in columns]
        g = None
        if guessing and g_column is not None:
            g = column(g_column)
        k = len(columns) - (1 if polytomous is None else (1 if polytomous["d"] else 0))
        if dimension is not None and k != dimension:
            raise ValueError(f"{side}: {k} slope columns for a link of {dimension} dimensions")
        if polytomous is not None:
            values, names = values[:, :k], names[:k] + ["the intercept"]
            _check_finite(side, values, names, rows)
            intercepts, g, categories, cells = read_models(
                column, len(values), polytomous, side, rows, None if g is None else g_column)
            values = np.column_stack([values, intercepts])
            g = g if guessing and g_column is not None else None
    else:
        kind = "frame" if frame else "array"
        values = numbers(table.to_numpy() if frame else table, side)
        if values.ndim != 2:
            raise ValueError(f"{side}: a table of items has 2 dimensions (items x columns), "
                             f"not {values.ndim}")
        count = values.shape[1]
        if dimension is not None:
            if count not in (dimension + 1, dimension + 2):
                raise ValueError(f"{side}: {count} columns; items of {dimension} dimensions "
                                 f"have {dimension + 1} or {dimension + 2} (slopes, intercept "
                                 "and guessing)")
            guessing = count == dimension + 2
        extra = 2 if guessing else 1
        k = count - extra
        if k < 1:
            wanted = "slopes, an intercept and a guessing parameter" if guessing else \
                "slopes and an intercept"
            raise ValueError(f"{side}: {count} columns; items need {wanted} "
                             f"(at least {extra + 1} columns)")
        columns = list(range(k + 1))
        names = [f"slope {j + 1}" for j in range(k)] + ["the intercept"]
        g = values[:, k + 1].copy() if guessing else None
        values = values[:, :k + 1]
    _check_finite(side, values, names, rows)
    if g is not None:
        outside = np.flatnonzero(~((g >= 0) & (g < 1)))
        if outside.size:
            i = outside[0]
            raise ValueError(f"{_item(side, i, rows)}: the guessing parameter {g[i]} is not "
                             "at least 0 and below 1")
    slopes = np.ascontiguousarray(values[:, :-1])
    intercepts = values[:, -1].copy()
    if kind == "irtpars":
        intercepts = -slopes[:, 0] * intercepts  # d = -a b
    return ItemTable(slopes, intercepts, g, rows, kind, table, columns, categories, cells)


def _listed(labels, most=10):
    shown = ", ".join(str(label) for label in labels[:most])
    return shown + (f" and {len(labels) - most} more" if len(labels) > most else "")


def match_rows(from_items: ItemTable, to_items: ItemTable) -> ItemTable:
    """To in the row order of From when both have row names (which must be the same names);
    as it is otherwise (items are matched by position)."""
    if from_items.rows is None or to_items.rows is None:
        return to_items
    for side, items in (("From", from_items), ("To", to_items)):
        repeated = items.rows[items.rows.duplicated()].unique()
        if len(repeated):
            raise ValueError(f"{side}: row names repeated: {_listed(list(repeated))}")
    from_names, to_names = set(from_items.rows), set(to_items.rows)
    only_from = [r for r in from_items.rows if r not in to_names]
    only_to = [r for r in to_items.rows if r not in from_names]
    if only_from or only_to:
        parts = [f"only in {side}: {_listed(rows)}"
                 for side, rows in (("From", only_from), ("To", only_to)) if rows]
        raise ValueError("the rows of From and To name other items; " + "; ".join(parts))
    return to_items.reordered(to_items.rows.get_indexer(from_items.rows))
