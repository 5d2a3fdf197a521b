"""torvak.link and torvak.transform on made-up items: the kinds of tables, round trips, bad
input and Ctrl-C."""

import json
import signal
import threading
import time

import numpy as np
import pandas as pd
import pytest

import torvak
from support import made_up_items, probabilities


def mirt_frame(table, names=None):
    k = table.shape[1] - 2
    frame = pd.DataFrame(table, columns=[f"a{j + 1}" for j in range(k)] + ["d", "g"],
                         index=names)
    frame["u"] = 1.0
    return frame


def irtpars_frame(table, names=None):
    a, d = table[:, 0], table[:, 1]
    return pd.DataFrame({"a": a, "b": -d / a, "g": table[:, 2], "u": 1.0}, index=names)


@pytest.mark.parametrize("method", ["ls", "tcs", "irs"])
@pytest.mark.parametrize("k, weights", [(1, "equal"), (2, "normal"), (3, "equal")])
def test_a_table_carried_by_its_link_links_at_the_identity(method, k, weights):
    source, target = made_up_items(30, k, seed=k)
    first = torvak.link(source, target, method=method, weights=weights, grid=7)
    carried = torvak.transform(source, first)
    again = torvak.link(carried, target, method=method, weights=weights, grid=7)
    np.testing.assert_allclose(again.M, np.eye(k), atol=1e-6)
    np.testing.assert_allclose(again.t, np.zeros(k), atol=1e-6)
    assert again.criterion_at_identity == pytest.approx(first.criterion, rel=1e-6)


def test_the_made_up_transformation_is_found_from_exact_items():
    M = [[1.1, 0.1, 0.0], [0.05, 0.9, 0.1], [0.0, 0.1, 1.2]]
    t = [0.3, -0.2, 0.1]
    source, target = made_up_items(60, 3, seed=5, M=M, t=t, noise=0.0)
    res = torvak.link(source, target, grid=21)
    np.testing.assert_allclose(res.M, M, atol=1e-8)
    np.testing.assert_allclose(res.t, t, atol=1e-8)
    np.testing.assert_allclose(res.A @ res.M, np.eye(3), atol=1e-12)
    assert res.points == 21 ** 3 and res.n_items == 60
    assert res.criterion < 1e-20 < res.criterion_at_identity


# Each kind of table, as From and To; they all hold the same items.
KINDS = {
    "array": lambda table: table,
    "array without guessing": lambda table: table[:, :-1],
    "list": lambda table: table.tolist(),
    "mirt": mirt_frame,
    "mirt, named rows": lambda table: mirt_frame(table, [f"i{j}" for j in range(len(table))]),
    "IRT parameters": irtpars_frame,
    "by position": lambda table: pd.DataFrame(table, columns=["s", "i", "c"]),
}


@pytest.mark.parametrize("kind", KINDS)
def test_every_kind_of_table_links_alike_and_transforms_into_its_kind(kind):
    source, target = made_up_items(20, 1, seed=11)
    guessing = kind != "array without guessing"
    if not guessing:
        source[:, 2] = target[:, 2] = 0.0
    expected = torvak.link(source, target, method="tcs", guessing=True)
    res = torvak.link(KINDS[kind](source), KINDS[kind](target), method="tcs",
                      guessing=guessing)
    np.testing.assert_allclose(res.M, expected.M, rtol=1e-12)
    np.testing.assert_allclose(res.t, expected.t, rtol=1e-12, atol=1e-14)

    given = KINDS[kind](source)
    carried = torvak.transform(given, res)
    assert type(carried) is (np.ndarray if kind == "list" else type(given))
    if isinstance(given, pd.DataFrame):
        assert carried.columns.equals(given.columns) and carried.index.equals(given.index)
        assert "u" not in given or carried["u"].equals(given["u"])
    # Each carried item answers at M theta + t as the item did at theta.
    theta = np.linspace(-3, 3, 13).reshape(-1, 1)
    a, d = np.asarray(carried, dtype=float)[:, :2].T
    d = -a * d if kind == "IRT parameters" else d
    carried_3pl = np.column_stack([a, d, source[:, 2]])
    np.testing.assert_allclose(probabilities(carried_3pl, torvak.transform_theta(theta, res)),
                               probabilities(source, theta), rtol=1e-12)


def test_named_rows_are_matched_by_name_and_others_by_position():
    source, target = made_up_items(25, 2, seed=3)
    names = [f"item{j:02d}" for j in range(25)]
    in_order = torvak.link(mirt_frame(source, names), mirt_frame(target, names), method="irs")
    shuffled = mirt_frame(target, names).sample(frac=1.0, random_state=1)
    by_name = torvak.link(mirt_frame(source, names), shuffled, method="irs")
    assert by_name.M.tolist() == in_order.M.tolist()
    assert by_name.t.tolist() == in_order.t.tolist()
    # One side without names: by position, so the shuffle now pairs other items.
    by_position = torvak.link(mirt_frame(source, names), shuffled.reset_index(drop=True))
    assert by_position.criterion > in_order.criterion


def test_transform_carries_a_table_of_several_dimensions():
    source, target = made_up_items(15, 3, seed=8)
    res = torvak.link(source, target, method="ls")
    theta = pd.DataFrame(np.random.default_rng(2).normal(size=(40, 3)), index=range(100, 140))
    moved = torvak.transform_theta(theta, res)
    assert moved.index.equals(theta.index)
    np.testing.assert_allclose(moved.to_numpy(), theta.to_numpy() @ res.M.T + res.t)
    # The items answer at M theta + t as they did at theta; a pair of run()'s document
    # carries as its LinkResult does.
    pair = {"M": res.M.tolist(), "t": res.t.tolist()}
    for table, link in ((source, res), (mirt_frame(source), res), (source, pair)):
        carried = np.asarray(torvak.transform(table, link), dtype=float)[:, :5]
        np.testing.assert_allclose(probabilities(carried, moved.to_numpy()),
                                   probabilities(source, theta.to_numpy()), rtol=1e-12)


def test_result_reads_and_writes_plainly():
    source, target = made_up_items(12, 2, seed=4)
    res = torvak.link(source, target, method="tcs", theta=[[0.5, -0.5]],
                      search={"method": "steepest", "change_directions": 30})
    assert all(part in repr(res) for part in ("method='tcs'", "M =", "t =", "criterion ="))
    document = json.loads(json.dumps(res.to_dict()))
    assert document["M"] == res.M.tolist() and document["criterion"] == res.criterion
    assert document["settings"]["theta"] == "points" and document["settings"]["grid"] is None
    assert document["settings"]["search"]["method"] == "steepest"
    assert res.search.cycles <= 30 and res.points == 1


def spoiled(change, k=2, n=6):
    """From and To arguments of n good items in k dimensions, spoiled by change."""
    source, target = made_up_items(n, k, seed=1)
    arguments = {"from_items": source, "to_items": target}
    change(arguments)
    return arguments


def set_value(side, row, column, value, dtype=float):
    def change(arguments):
        table = np.array(arguments[side], dtype=dtype)
        table[row, column] = value
        arguments[side] = table
    return change


def named(from_names, to_names, nan_at=None):
    def change(arguments):
        arguments["from_items"] = mirt_frame(arguments["from_items"], from_names)
        arguments["to_items"] = mirt_frame(arguments["to_items"], to_names)
        if nan_at is not None:
            arguments["to_items"].loc[nan_at] = np.nan
    return change


BAD_INPUT = [
    ("too few columns", lambda a: a.update(from_items=a["from_items"][:, :2]),
     "From: 2 columns; items need slopes, an intercept and a guessing parameter"),
    ("other dimensions", lambda a: a.update(to_items=a["to_items"][:, 1:]),
     "From has 2 slopes per item and To 1"),
    ("a word", set_value("from_items", 2, 1, "x", dtype=object),
     "From: a value is not a number"),
    ("a word in column d", lambda a: a.update(to_items=mirt_frame(a["to_items"]).assign(d="?")),
     "To, column d: a value is not a number"),
    ("NaN intercept", set_value("from_items", 1, 2, np.nan),
     "From, item 2: the intercept is not a finite number"),
    ("NaN in a named row", named(list("pqrstu"), list("pqrstu"), nan_at=("r", "a1")),
     "To, item 3 (row r): a1 is not a finite number"),
    ("guessing of 1", set_value("from_items", 2, 3, 1.0),
     "From, item 3: the guessing parameter 1.0 is not at least 0 and below 1"),
    ("too few items", lambda a: a.update(from_items=a["from_items"][:2],
                                         to_items=a["to_items"][:2]),
     "2 common items: a link in 2 dimensions needs at least 3"),
    ("other lengths", lambda a: a.update(to_items=a["to_items"][:5]),
     "From holds 6 items and To 5: the common items must match"),
    ("theta of 3 columns", lambda a: a.update(theta=np.zeros((10, 3))),
     "theta: an array of 10x3; the items have 2 dimensions"),
    ("26 dimensions", lambda a: a.update(from_items=np.full((30, 28), 0.5),
                                         to_items=np.full((30, 28), 0.5)),
     "the dimension is 26; it must be 1 to 25"),
    ("rows named otherwise", named(list("abcdef"), list("abcdxy")),
     "the rows of From and To name other items; only in From: e, f; only in To: x, y"),
    ("a row name twice", named(list("abcdef"), list("abcdee")), "To: row names repeated: e"),
    ("a column no parameter",
     lambda a: a.update(from_items=mirt_frame(a["from_items"]).assign(se=0.1)),
     "From: column se is no item parameter"),
    ("a reversed range", lambda a: a.update(range=(2, -2)),
     "the grid's range must begin below its end"),
    ("an unknown method", lambda a: a.update(method="mle"), "method='mle'; it is one of"),
]


@pytest.mark.parametrize("change, message", [case[1:] for case in BAD_INPUT],
                         ids=[case[0] for case in BAD_INPUT])
def test_bad_input_is_refused_with_what_is_wrong(change, message):
    with pytest.raises(ValueError) as refused:
        torvak.link(**spoiled(change))
    assert message in str(refused.value)


@pytest.mark.parametrize("table, link, message", [
    (np.ones((4, 2)), {"M": np.eye(2), "t": [0, 0]}, "items: 2 columns; items of 2 dimensions"),
    (np.ones((4, 4)), {"M": None, "t": None}, "the link has no M and t"),
    (np.ones((4, 4)), {"M": [[1.0, 0.0]], "t": [0, 0]}, "M is 1x2 and t holds 2 values"),
])
def test_transform_refuses_a_table_or_link_that_do_not_fit(table, link, message):
    with pytest.raises(ValueError, match=message):
        torvak.transform(table, link)


def test_a_run_that_fails_raises_runtime_error_with_the_core_message():
    # Every item alike in two dimensions: the least squares have no single solution.
    same = np.tile([1.0, 1.0, 0.5, 0.1], (5, 1))
    with pytest.raises(RuntimeError, match="Singular Matrix"):
        torvak.link(same, same, method="ls")


def test_ctrl_c_stops_a_long_link_and_raises_keyboard_interrupt():
    source, target = made_up_items(60, 3, seed=9, noise=0.2)
    arguments = dict(from_items=source, to_items=target, method="irs", grid=80)
    started = time.perf_counter()
    torvak.link(**arguments)
    whole = time.perf_counter() - started
    if whole < 1.0:
        pytest.skip(f"the long link takes {whole:.2f} s here: too short to interrupt")

    # Python's own handler: a process started in the background ignores SIGINT.
    previous = signal.signal(signal.SIGINT, signal.default_int_handler)
    timer = threading.Timer(0.2, signal.raise_signal, (signal.SIGINT,))
    started = time.perf_counter()
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            torvak.link(**arguments)
    finally:
        timer.join()
        signal.signal(signal.SIGINT, previous)
    stopped = time.perf_counter() - started
    assert stopped < 0.6 * whole, (stopped, whole)
    # The module links again afterwards.
    assert torvak.link(source, target, method="ls").M.shape == (3, 3)
