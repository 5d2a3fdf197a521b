"""torvak: links two calibrations of multidimensional 3PL, graded and partial credit items onto
one scale.

    import torvak
    res = torvak.link(from_items, to_items, method="irs")   # theta_To = res.M theta_From + res.t
    res.items, res.se                                         # with se="jackknife" or "bootstrap"
    on_to_scale = torvak.transform(from_items, res)
    doc = torvak.run("examples/m4_1d_grid.ini")              # torvak-link's --results document
"""

from ._torvak import __version__
from .linking import link, run
from .result import LinkResult, SearchCounts
from .transform import transform, transform_theta

__all__ = ["link", "run", "transform", "transform_theta", "LinkResult", "SearchCounts",
           "__version__"]
