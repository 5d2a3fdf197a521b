"""LinkResult: one linked pair, theta_To = M theta_From + t, with what the run came to."""

from dataclasses import asdict, dataclass
from typing import Optional, Union

import numpy as np

ITEM_COLUMNS = ("item", "model", "categories", "rmsd", "max_difference", "share", "flagged",
                "intercept_to", "intercept_transformed", "intercept_difference")
SLOPE_KINDS = ("to", "transformed", "difference")


@dataclass(frozen=True)
class SearchCounts:
    """The search of Models 3 and 4 (both searches when it was restarted from the identity)."""

    status: int  # 1 small gradient, 2 small change, 3 cycles ran out or stopped
    cycles: int
    steps: int
    evaluations: int
    restarted: bool


def item_table(columns: dict, d: int, rows=None):
    """The item diagnostics: a DataFrame indexed by the From table's row names when it has
    them; a list of dicts when pandas is missing. Columns as ITEM_COLUMNS, then per dimension
    k slope_to_k, slope_transformed_k, slope_difference_k."""
    table = {name: np.asarray(columns[name], dtype=object if name == "model" else None)
             for name in ITEM_COLUMNS}
    for k in range(d):
        for kind in SLOPE_KINDS:
            table[f"slope_{kind}_{k + 1}"] = columns[f"slope_{kind}"][:, k]
    try:
        import pandas
    except ImportError:
        return [dict(zip(table, row)) for row in zip(*(v.tolist() for v in table.values()))]
    index = None if rows is None else rows[columns["item"] - 1]
    return pandas.DataFrame(table, index=index)


def _plain(value):
    """JSON-friendly: arrays as (nested) lists, a DataFrame as a list of dicts."""
    if hasattr(value, "to_dict") and hasattr(value, "columns"):
        return value.to_dict("records")
    if isinstance(value, np.ndarray):
        return value.tolist()
    if isinstance(value, dict):
        return {key: _plain(v) for key, v in value.items()}
    if isinstance(value, tuple):
        return list(value)
    return value


@dataclass(eq=False, repr=False)
class LinkResult:
    """theta_To = M theta_From + t and its inverse theta_From = A theta_To + b (for Models 3
    and 4 the fitted form). M and t are None when the fitted A is singular."""

    M: Optional[np.ndarray]
    t: Optional[np.ndarray]
    A: np.ndarray
    b: np.ndarray
    criterion: float
    criterion_at_identity: Optional[float]
    criterion_at_start: Optional[float]  # the Model 1 solution; None for Model 1
    search: Optional[SearchCounts]  # None for Model 1
    n_items: int  # the common items linked (excluded ones not counted)
    points: int
    settings: dict
    reported: np.ndarray  # the report block's values
    conversion_problems: int
    message: Optional[str]  # what the run said about the pair, one line each
    seconds: float
    # One row per linked item (empty with diagnostics=False); see item_table.
    items: Union["pandas.DataFrame", list]  # noqa: F821
    excluded: list  # item numbers left out of the link
    # Standard errors of M and t with method, replications, failed, seed, and for the
    # bootstrap M_lower, M_upper, t_lower, t_upper (None otherwise); None without se.
    se: Optional[dict]

    @classmethod
    def from_outcome(cls, outcome: dict, settings: dict, rows=None) -> "LinkResult":
        search = outcome["search"]
        d = outcome["dimension"]
        return cls(M=outcome["M"], t=outcome["t"], A=outcome["A"], b=outcome["b"],
                   criterion=outcome["criterion_at_end"],
                   criterion_at_identity=outcome["criterion_at_identity"],
                   criterion_at_start=outcome["criterion_at_start"],
                   search=None if search is None else SearchCounts(**search),
                   n_items=outcome["items"], points=outcome["points"], settings=settings,
                   reported=outcome["reported"],
                   conversion_problems=outcome["conversion_problems"],
                   message=outcome["message"], seconds=outcome["seconds"],
                   items=item_table(outcome["item_diagnostics"], d, rows),
                   excluded=list(outcome["excluded_items"]),
                   se=outcome["standard_errors"])

    @property
    def flagged(self) -> list:
        """Numbers of the items whose RMSD is above the drift cutoff."""
        if isinstance(self.items, list):
            return [row["item"] for row in self.items if row["flagged"]]
        return self.items["item"][self.items["flagged"]].tolist()

    @property
    def dimension(self) -> int:
        return self.A.shape[0]

    def to_dict(self) -> dict:
        """Plain values only (lists for arrays), ready for json.dump."""
        out = {name: _plain(getattr(self, name)) for name in self.__dataclass_fields__}
        out["search"] = None if self.search is None else asdict(self.search)
        return out

    def __repr__(self) -> str:
        s = self.settings
        lines = [f"LinkResult(method={s['method']!r}, dimension={self.dimension}, "
                 f"items={self.n_items}, points={self.points})"]
        if self.excluded:
            lines.append(f"excluded items: {', '.join(map(str, self.excluded))}")
        with np.printoptions(precision=6, suppress=True):
            if self.M is None:
                lines.append(f"M, t: none (A is singular)\nA =\n{self.A}\nb = {self.b}")
            else:
                lines.append(f"M =\n{self.M}\nt = {self.t}")
            se = self.se
            if se is not None and se["M"] is not None:
                used = se["replications"] - se["failed"]
                lines.append(f"standard errors ({se['method']}, {used} replications):\n"
                             f"M =\n{se['M']}\nt = {se['t']}")
        criterion = f"criterion = {self.criterion:.6g}"
        if self.criterion_at_identity is not None:
            criterion += f" (at the identity {self.criterion_at_identity:.6g})"
        lines.append(criterion)
        if s.get("drift_cutoff") is not None:
            flagged = self.flagged
            lines.append(f"items with RMSD above {s['drift_cutoff']:g}: "
                         f"{', '.join(map(str, flagged)) if flagged else 'none'}")
        if self.message:
            lines.append(self.message)
        return "\n".join(lines)
