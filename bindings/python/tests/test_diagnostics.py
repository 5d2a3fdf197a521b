"""Item diagnostics, excluded items and standard errors of torvak.link and torvak.run: the
examples' item tables and errors are torvak-link's, shares add up to the criterion, an
excluded item links as if it were not there, and bad values are refused."""

import json
import subprocess
import sys

import numpy as np
import pandas as pd
import pytest

import torvak
from support import made_up_items, example_link_arguments
from test_examples import EXAMPLE_NAMES, examples, torvak_link_program, without_times  # noqa: F401


def program_results(examples, name, *options):
    out = examples / f"{name}-diagnostics.json"
    subprocess.run([torvak_link_program(), "--results", str(out), "--no-progress", *options,
                    str(examples / f"{name}.ini")], check=True, capture_output=True,
                   cwd=examples)
    return json.loads(out.read_text())


def program_item_columns(pair):
    """The item table of a pair of the --results document, as torvak.link's columns."""
    rows = []
    for item in pair["item_diagnostics"]:
        row = {"item": item["item"], "model": item.get("model", "dichotomous"),
               "categories": item.get("categories", 2), "rmsd": item["rmsd"],
               "max_difference": item["max_difference"],
               "share": np.nan if item["share"] is None else item["share"],
               "flagged": item["flagged"], "intercept_to": item["to"]["intercept"],
               "intercept_transformed": item["from_transformed"]["intercept"],
               "intercept_difference": item["intercept_difference"]}
        for k in range(pair["dimension"]):
            row[f"slope_to_{k + 1}"] = item["to"]["slopes"][k]
            row[f"slope_transformed_{k + 1}"] = item["from_transformed"]["slopes"][k]
            row[f"slope_difference_{k + 1}"] = item["slope_differences"][k]
        rows.append(row)
    return pd.DataFrame(rows)


@pytest.mark.parametrize("name", EXAMPLE_NAMES)
def test_item_table_and_jackknife_are_those_of_torvak_link(examples, name):
    document = program_results(examples, name, "--se", "jackknife")
    pair = document["runs"][0]["pairs"][0]
    res = torvak.link(**example_link_arguments(examples / f"{name}.ini"), se="jackknife")

    expected = program_item_columns(pair)
    assert list(res.items.columns) == list(expected.columns)
    pd.testing.assert_frame_equal(res.items, expected, check_exact=True)
    errors = pair["standard_errors"]
    assert res.se["M"].tolist() == errors["M"] and res.se["t"].tolist() == errors["t"]
    assert (res.se["method"], res.se["replications"], res.se["failed"], res.se["seed"]) == \
        ("jackknife", errors["replications"], errors["failed"], None)
    assert res.se["M_lower"] is None and errors["M_lower"] is None
    assert res.settings["drift_cutoff"] == pair["drift_cutoff"] == 0.1

    # Shares are each item's part of the criterion at the reported M and t; the criterion
    # reported is the search's value a step before, within its tolerance.
    assert res.items["share"].sum() == pytest.approx(res.criterion, rel=1e-7, abs=1e-15)
    assert res.flagged == res.items["item"][res.items["rmsd"] > 0.1].tolist()

    ran = torvak.run(examples / f"{name}.ini", se="jackknife")
    assert without_times(ran) == without_times(document)


@pytest.mark.parametrize("method", ["ls", "tcs", "irs"])
def test_an_excluded_item_links_as_if_it_were_not_there(method):
    source, target = made_up_items(14, 2, seed=6, noise=0.15)
    excluded = [2, 9, 14]
    res = torvak.link(source, target, method=method, grid=9, exclude=[14, 2, 9, 2])
    kept = np.delete(np.arange(14), np.array(excluded) - 1)
    without = torvak.link(source[kept], target[kept], method=method, grid=9)
    assert res.M.tolist() == without.M.tolist() and res.t.tolist() == without.t.tolist()
    assert res.criterion == without.criterion
    assert res.excluded == excluded and res.n_items == 11
    # Rows keep their numbers in the full table.
    assert res.items["item"].tolist() == (kept + 1).tolist()
    assert res.items["rmsd"].tolist() == without.items["rmsd"].tolist()


def test_an_example_file_run_without_items_matches_its_arrays_without_them(examples):
    ini = examples / "m4_3d_empirical.ini"
    arguments = example_link_arguments(ini)
    kept = np.delete(np.arange(len(arguments["from_items"])), [0, 4])
    pair = torvak.run(ini, exclude=[1, 5])["runs"][0]["pairs"][0]
    arguments.update(from_items=arguments["from_items"][kept],
                     to_items=arguments["to_items"][kept])
    res = torvak.link(**arguments)
    assert pair["excluded_items"] == [1, 5]
    assert res.M.tolist() == pair["M"] and res.t.tolist() == pair["t"]


def test_a_fixed_seed_gives_the_same_bootstrap_on_any_thread_count():
    source, target = made_up_items(20, 2, seed=3, noise=0.2)
    arguments = dict(from_items=source, to_items=target, method="irs", grid=7, se="bootstrap",
                     replications=30)
    first = torvak.link(**arguments, seed=17)
    again = torvak.link(**arguments, seed=17, threads=1)
    other = torvak.link(**arguments, seed=18)
    for key in ("M", "t", "M_lower", "M_upper", "t_lower", "t_upper"):
        assert first.se[key].tolist() == again.se[key].tolist(), key
    assert first.se["M"].tolist() != other.se["M"].tolist()
    assert (first.se["replications"], first.se["seed"], first.se["failed"]) == (30, 17, 0)
    assert np.all(first.se["M_lower"] <= first.M) and np.all(first.M <= first.se["M_upper"])
    assert "standard errors (bootstrap, 30 replications)" in repr(first)


def test_diagnostics_off_and_the_table_without_pandas(monkeypatch):
    source, target = made_up_items(10, 1, seed=2, noise=0.4)
    quiet = torvak.link(source, target, diagnostics=False)
    assert len(quiet.items) == 0 and quiet.se is None and quiet.excluded == []
    assert "RMSD" not in repr(quiet)

    res = torvak.link(source, target, drift_cutoff=0.0)
    assert res.flagged == list(range(1, 11))
    assert "items with RMSD above 0: 1, 2, 3" in repr(res)
    json.dumps(res.to_dict())
    # Without pandas the rows are dicts of the same values.
    monkeypatch.setitem(sys.modules, "pandas", None)
    rows = torvak.link(source, target, drift_cutoff=0.0).items
    assert rows == res.items.to_dict("records")
    # Named From rows name the table's rows.
    names = [f"q{j}" for j in range(10)]
    monkeypatch.undo()
    named = torvak.link(pd.DataFrame(source, columns=["a1", "d", "g"], index=names),
                        pd.DataFrame(target, columns=["a1", "d", "g"], index=names),
                        exclude=[1])
    assert named.items.index.tolist() == names[1:]


# Options, the message, and whether run() (which knows no item count) refuses them too.
BAD_VALUES = [
    ({"exclude": [0]}, "exclude: 0 is not an item number (1 to 6)", True),
    ({"exclude": [3, -2]}, "exclude: -2 is not an item number", True),
    ({"exclude": 7}, "exclude: 7 is not an item number (1 to 6)", False),
    ({"exclude": [2.5]}, "exclude: 2.5 is not an item number", True),
    ({"exclude": ["i1"]}, "exclude: 'i1' is not an item number", True),
    ({"exclude": [1, 2, 3, 4]}, "exclude leaves 2 of the 6 common items: a link in 2 "
     "dimensions needs at least 3", False),
    ({"se": "bootstrop"}, "se='bootstrop'; it is one of None, 'jackknife', 'bootstrap'", True),
    ({"se": "bootstrap", "replications": 1}, "replications=1; it is a whole number from 2",
     True),
    ({"replications": 2.0}, "replications=2.0; it is a whole number", True),
    ({"seed": -1}, "seed=-1; it is a whole number from 0", True),
    ({"drift_cutoff": 1.5}, "drift_cutoff=1.5; it is a number from 0 to 1", True),
    ({"drift_cutoff": -0.01}, "drift_cutoff=-0.01; it is a number from 0 to 1", True),
    ({"drift_cutoff": float("nan")}, "drift_cutoff=nan; it is a number from 0 to 1", True),
]


@pytest.mark.parametrize("options, message, run_too", BAD_VALUES,
                         ids=[str(case[0]) for case in BAD_VALUES])
def test_bad_diagnostics_values_are_refused_naming_the_value(options, message, run_too):
    source, target = made_up_items(6, 2, seed=1)
    with pytest.raises(ValueError) as refused:
        torvak.link(source, target, **options)
    assert message in str(refused.value)
    if run_too:
        with pytest.raises(ValueError) as refused:
            torvak.run("never-read.ini", **options)
        assert message.split(" (1 to")[0] in str(refused.value)
