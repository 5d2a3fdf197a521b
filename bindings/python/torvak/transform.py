"""Carrying item tables and theta points from the From scale onto the To scale of a link."""

import numpy as np

from .linking import transformation
from .tables import is_frame, numbers, read_items


def transform(items, link):
    """The From item table on the To scale of link (theta_To = M theta_From + t).

    Slopes a become (M^-1)' a and an intercept d becomes d - a' M^-1 t (a partial credit
    item's d_k becomes d_k - k a' M^-1 t), so that every item answers alike at theta_From and
    M theta_From + t; guessing stays. The table comes back as the kind it was given: an
    array, a dict of columns, or a DataFrame with its columns and index (IRT parameters with
    b = -d / a). link is a LinkResult or a dict holding M and t.
    """
    M, t = transformation(link)
    table = read_items(items, "items", dimension=t.size)
    slopes = table.slopes @ np.linalg.inv(M)  # row by row: a' M^-1
    return table.written(slopes, -(slopes @ t))


def transform_theta(theta, link):
    """M theta + t for each row of theta (points x k; one point as a vector of k; a
    DataFrame keeps its columns and index)."""
    M, t = transformation(link)
    k = t.size
    points = numbers(theta, "theta")
    if points.ndim == 1 and (k == 1 or points.size == k):
        moved = points.reshape(-1, k) @ M.T + t
        moved = moved.reshape(points.shape)
    elif points.ndim == 2 and points.shape[1] == k:
        moved = points @ M.T + t
    else:
        raise ValueError(f"theta: an array of {'x'.join(map(str, points.shape))}; "
                         f"the link has {k} dimensions")
    if is_frame(theta):
        out = theta.copy()
        out.iloc[:, :] = moved
        return out
    return moved
