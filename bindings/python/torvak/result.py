"""LinkResult: one linked pair, theta_To = M theta_From + t, with what the run came to."""

from dataclasses import asdict, dataclass
from typing import Optional

import numpy as np


@dataclass(frozen=True)
class SearchCounts:
    """The search of Models 3 and 4 (both searches when it was restarted from the identity)."""

    status: int  # 1 small gradient, 2 small change, 3 cycles ran out or stopped
    cycles: int
    steps: int
    evaluations: int
    restarted: bool


def _plain(value):
    """JSON-friendly: arrays as (nested) lists."""
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
    items: int
    points: int
    settings: dict
    reported: np.ndarray  # the report block's values
    conversion_problems: int
    message: Optional[str]  # what the run said about the pair, one line each
    seconds: float

    @classmethod
    def from_outcome(cls, outcome: dict, settings: dict) -> "LinkResult":
        search = outcome["search"]
        return cls(M=outcome["M"], t=outcome["t"], A=outcome["A"], b=outcome["b"],
                   criterion=outcome["criterion_at_end"],
                   criterion_at_identity=outcome["criterion_at_identity"],
                   criterion_at_start=outcome["criterion_at_start"],
                   search=None if search is None else SearchCounts(**search),
                   items=outcome["items"], points=outcome["points"], settings=settings,
                   reported=outcome["reported"],
                   conversion_problems=outcome["conversion_problems"],
                   message=outcome["message"], seconds=outcome["seconds"])

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
                 f"items={self.items}, points={self.points})"]
        with np.printoptions(precision=6, suppress=True):
            if self.M is None:
                lines.append(f"M, t: none (A is singular)\nA =\n{self.A}\nb = {self.b}")
            else:
                lines.append(f"M =\n{self.M}\nt = {self.t}")
        criterion = f"criterion = {self.criterion:.6g}"
        if self.criterion_at_identity is not None:
            criterion += f" (at the identity {self.criterion_at_identity:.6g})"
        lines.append(criterion)
        if self.message:
            lines.append(self.message)
        return "\n".join(lines)
