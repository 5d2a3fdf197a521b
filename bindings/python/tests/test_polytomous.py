"""Graded and partial credit items beside 3PL ones: a noise-free mixed pair links back to its
transformation by every method, in mirt's layout, given with a model column or as a dict of
columns alike; the criteria at the identity are the ones written out here; transform moves
each model's intercepts as the link does; bad tables are refused naming the item."""

import numpy as np
import pandas as pd
import pytest

import torvak
from support import made_up_items

INTERCEPTS = [f"d{j}" for j in range(1, 5)]


def mixed_items(n, k, seed):
    """n items in the cycle 3PL, graded, gpcm (3 to 5 categories) as mirt's coef(fit,
    simplify = TRUE)$items has them: NaN where an item has no such parameter, the columns in
    the order of first use (ak4 and d4 after d0)."""
    rng = np.random.default_rng(seed)
    columns = ([f"a{j + 1}" for j in range(k)] + ["d", "g", "u", "d1", "d2", "d3"] +
               [f"ak{j}" for j in range(4)] + ["d0", "ak4", "d4"])
    table = pd.DataFrame(np.nan, index=[f"i{j + 1:02d}" for j in range(n)], columns=columns)
    table.iloc[:, :k] = rng.uniform(0.5, 1.6, (n, k))
    for i in range(n):
        model = ("3PL", "graded", "gpcm")[i % 3]
        if model == "3PL":
            table.iloc[i, k:k + 3] = [rng.normal(), rng.uniform(0, 0.2), 1.0]
            continue
        m = 3 + ((i + 1) // 3) % 3
        d = np.sort(rng.uniform(-2, 2, m - 1))[::-1]
        if model == "gpcm":
            d = rng.permutation(d)  # a partial credit item's intercepts take any order
            table.loc[table.index[i], [f"ak{j}" for j in range(m)]] = np.arange(m)
            table.loc[table.index[i], "d0"] = 0.0
        table.loc[table.index[i], INTERCEPTS[:m - 1]] = d
    return table


def explicit(table):
    """The same items with a model column: d for 3PL items, d1 .. for the others."""
    k = sum(c.startswith("a") and c[1:].isdigit() for c in table.columns)
    model = np.where(table["d"].notna(), "3PL",
                     np.where(table["ak0"].isna(), "graded", "gpcm"))
    out = table.iloc[:, :k].copy()
    out["model"] = model
    return out.join(table[["d", "g"] + INTERCEPTS])


def carried(table, A, b):
    """The To table under theta_From = A theta_To + b, written out per model: slopes A'a,
    intercepts d + a'b (3PL, graded) and d_k + k a'b (gpcm)."""
    k = len(b)
    a = table.iloc[:, :k].to_numpy()
    shift = a @ np.asarray(b)
    gpcm = table["ak0"].notna().to_numpy()
    out = table.copy()
    out.iloc[:, :k] = a @ np.asarray(A)
    out["d"] = table["d"] + shift
    for j, column in enumerate(INTERCEPTS, 1):
        out[column] = table[column] + np.where(gpcm, j, 1) * shift
    return out


def responses(table, theta):
    """Category probabilities of each item at the points (one column, P, for a 3PL item)."""
    k = theta.shape[1]
    out = []
    for _, item in table.iterrows():
        s = theta @ item.iloc[:k].to_numpy(dtype=float)
        if not np.isnan(item["d"]):
            out.append((item["g"] + (1 - item["g"]) / (1 + np.exp(-(s + item["d"]))))[:, None])
            continue
        d = item[INTERCEPTS].dropna().to_numpy(dtype=float)
        m = len(d) + 1
        if np.isnan(item["ak0"]):
            above = np.column_stack([np.ones_like(s)] + [1 / (1 + np.exp(-(s + dk))) for dk in d]
                                    + [np.zeros_like(s)])
            out.append(above[:, :m] - above[:, 1:])
        else:
            e = np.exp(np.column_stack([j * s + np.r_[0.0, d][j] for j in range(m)]))
            out.append(e / e.sum(axis=1, keepdims=True))
    return out


LINKS = [(np.array([[0.8]]), np.array([0.4])),
         (np.array([[1.2, 0.1], [-0.15, 0.9]]), np.array([0.3, -0.2]))]


@pytest.mark.parametrize("method", ["ls", "tcs", "irs"])
@pytest.mark.parametrize("A, b", LINKS, ids=["1d", "2d"])
def test_a_noise_free_mixed_pair_links_back_to_its_transformation(method, A, b):
    source = mixed_items(15, len(b), seed=20 + len(b))
    target = carried(source, A, b)
    res = torvak.link(source, target, method=method)
    np.testing.assert_allclose(res.A, A, atol=1e-6)
    np.testing.assert_allclose(res.b, b, atol=1e-6)
    assert res.criterion < 1e-12 < 1e-3 < res.criterion_at_identity
    # The item table names each item's model and categories.
    models = np.where(source["d"].notna(), "dichotomous",
                      np.where(source["ak0"].isna(), "graded", "partial credit"))
    assert res.items["model"].tolist() == models.tolist()
    assert res.items["categories"].tolist() == \
        (1 + np.maximum(1, source[INTERCEPTS].notna().sum(axis=1))).tolist()
    # Given with a model column, or as dicts of columns, the items link alike, bit for bit.
    for given in (explicit, lambda t: {c: t[c].to_numpy() for c in t.columns}):
        again = torvak.link(given(source), given(target), method=method)
        assert again.M.tolist() == res.M.tolist() and again.t.tolist() == res.t.tolist()
    # Carried across by the link found, From becomes To, in its own kind of table.
    pd.testing.assert_frame_equal(torvak.transform(source, res), target, atol=1e-6,
                                  check_exact=False)
    columns = torvak.transform({c: source[c].tolist() for c in source.columns}, res)
    assert isinstance(columns, dict) and list(columns) == list(source.columns)
    np.testing.assert_allclose(np.asarray(columns["d3"], dtype=float), target["d3"], atol=1e-6)
    # A partial credit item left out: the rest link back just as well.
    fewer = torvak.link(source, target, method=method, exclude=[3])
    assert fewer.n_items == 14 and fewer.excluded == [3]
    np.testing.assert_allclose(fewer.A, A, atol=1e-6)


def test_transform_by_the_exact_link_moves_every_models_intercepts():
    A, b = LINKS[1]
    source = mixed_items(12, 2, seed=4)
    inverse = np.linalg.inv(A)
    exact = {"M": inverse, "t": -inverse @ b}
    for given in (lambda t: t, explicit):
        pd.testing.assert_frame_equal(torvak.transform(given(source), exact),
                                      given(carried(source, A, b)), rtol=1e-12, atol=1e-12)


def test_the_criteria_at_the_identity_are_the_written_out_ones():
    source = mixed_items(15, 2, seed=3)
    target = carried(source, *LINKS[1])
    theta = np.linspace(-2.5, 2.5, 40).reshape(20, 2)
    p_from, p_to = responses(source, theta), responses(target, theta)
    irs = sum(((f - t) ** 2).sum() for f, t in zip(p_from, p_to)) / (20 * 15)

    def score(p):
        return p[:, 0] if p.shape[1] == 1 else p @ np.arange(p.shape[1])
    tcs = ((sum(map(score, p_from)) - sum(map(score, p_to))) ** 2).sum() / 20
    for method, expected in (("irs", irs), ("tcs", tcs)):
        res = torvak.link(source, target, method=method, theta=theta)
        assert res.criterion_at_identity == pytest.approx(expected, rel=1e-10)


def test_a_graded_table_with_nan_links_as_its_items_given_explicitly():
    A, b = LINKS[1]
    items = mixed_items(12, 2, seed=5)
    source = items.loc[["i02", "i05", "i08", "i11"], ["a1", "a2"] + INTERCEPTS]
    source = pd.concat([source, source * 0.9])
    source.index = [f"g{j}" for j in range(1, 9)]
    target = source.copy()
    target[["a1", "a2"]] = source[["a1", "a2"]].to_numpy() @ A
    target[INTERCEPTS] = source[INTERCEPTS].add(source[["a1", "a2"]].to_numpy() @ b, axis=0)
    res = torvak.link(source, target.iloc[::-1], grid=9)
    np.testing.assert_allclose(res.A, A, atol=1e-6)

    def given(table):
        return table[["a1", "a2"]].assign(model="graded").join(table[INTERCEPTS])
    same = torvak.link(given(source), given(target).iloc[::-1], grid=9)
    assert same.M.tolist() == res.M.tolist() and same.t.tolist() == res.t.tolist()
    assert list(res.items.index) == list(source.index)


def test_dichotomous_items_by_model_link_as_the_plain_table():
    source, target = made_up_items(10, 2, seed=6)

    def frame(table, model):
        out = pd.DataFrame(table, columns=["a1", "a2", "d", "g"])
        return out if model is None else out.assign(model=model)
    plain = torvak.link(frame(source, None), frame(target, None), method="tcs")
    by_model = torvak.link(frame(source, "3PL"), frame(target, "2PL"), method="tcs")
    assert by_model.M.tolist() == plain.M.tolist()
    assert by_model.criterion == plain.criterion


def spoil(side, row, column, value):
    def change(pair):
        pair[side].loc[row, column] = value
    return change


def replace(side, change):
    def spoiled(pair):
        pair[side] = change(pair[side])
    return spoiled


BAD_TABLES = [
    ("a category fewer in To", spoil("to", "i08", "d4", np.nan),
     "From and To differ in item model or category count: item 8, row i08 (graded, "
     "5 categories in From, graded, 4 categories in To)"),
    ("graded intercepts that rise", spoil("from", "i02", "d2", 5.0),
     "From, item 2 (row i02): the intercepts of a graded item must decrease (d1 > d2 > ...)"),
    ("scores of a nominal item", spoil("to", "i03", "ak1", 1.4),
     "To, item 3 (row i03): ak0 .. are 0, 1.4, 2, 3; a gpcm item of 4 categories scores them "
     "0 .. 3"),
    ("guessing on a graded item", spoil("from", "i05", "g", 0.2),
     "From, item 5 (row i05): a graded item has no guessing parameter (g is 0.2)"),
    ("a gap among the intercepts", spoil("to", "i05", "d2", np.nan),
     "To, item 5 (row i05): d2 holds no value but a later intercept does"),
    ("both d and d1", spoil("from", "i01", "d1", 0.5),
     "From, item 1 (row i01): both d and d1 .. hold values"),
    ("an infinite graded intercept", spoil("to", "i08", "d2", -np.inf),
     "To, item 8 (row i08): d2 is not a finite number"),
    ("a missing intercept column", replace("from", lambda t: t.drop(columns="d2")),
     "From: there are columns d1 .. d4 but no column d2"),
    ("an unknown model name",
     replace("from", lambda t: t.assign(model=["3PL", "grm"] + [None] * 7)),
     "From, item 2 (row i02): the model 'grm' is none of 3PL, 2PL, graded, gpcm"),
    ("a model column that contradicts the parameters",
     replace("to", lambda t: t.assign(model=["graded"] + [np.nan] * 8)),
     "To, item 1 (row i01): a graded item's intercepts are d1 .. d(m-1), not d"),
]


@pytest.mark.parametrize("change, message", [case[1:] for case in BAD_TABLES],
                         ids=[case[0] for case in BAD_TABLES])
def test_bad_tables_are_refused_naming_the_item(change, message):
    good = mixed_items(9, 2, seed=8)
    pair = {"from": good.copy(), "to": good.copy()}
    change(pair)
    with pytest.raises(ValueError) as refused:
        torvak.link(pair["from"], pair["to"], method="ls")
    assert message in str(refused.value)
    # Unchanged, the same tables link.
    assert torvak.link(good, good.copy(), method="ls").n_items == 9
