"""The shipped examples: their first pairs, read with numpy and linked from Python, give the
numbers of torvak-link to the bit; torvak.run gives torvak-link's --results document."""

import json
import os
import shutil
import subprocess
from pathlib import Path

import pytest

import torvak
from support import EXAMPLES, SOURCE_DIR, example_link_arguments

EXAMPLE_NAMES = ["m1_1d", "m1_2d", "m3_1d_grid", "m3_2d_weighted", "m4_1d_grid",
                 "m4_3d_empirical", "m1_2d_mixed", "m4_2d_mixed", "m3_1d_partial_credit"]


def torvak_link_program():
    program = os.environ.get("TORVAK_LINK", str(SOURCE_DIR / "build" / "torvak-link"))
    if not Path(program).exists():
        pytest.skip(f"torvak-link not found at {program} (set TORVAK_LINK)")
    return program


@pytest.fixture(scope="module")
def examples(tmp_path_factory):
    """A copy of the examples: runs write their reports beside the parameter files."""
    folder = tmp_path_factory.mktemp("examples")
    for path in EXAMPLES.iterdir():
        if path.is_file():
            shutil.copy(path, folder)
    return folder


def without_times(document):
    for run in document["runs"]:
        for pair in run["pairs"]:
            pair.pop("seconds")
    return document


@pytest.mark.parametrize("name", EXAMPLE_NAMES)
def test_first_pair_links_to_the_bit_as_torvak_link_does(examples, name):
    ini = examples / f"{name}.ini"
    out = examples / f"{name}.json"
    subprocess.run([torvak_link_program(), "--results", str(out), "--no-progress", str(ini)],
                   check=True, capture_output=True, cwd=examples)
    program = json.loads(out.read_text())
    expected = program["runs"][0]["pairs"][0]
    assert expected["result"] == "linked"

    res = torvak.link(**example_link_arguments(ini))
    assert res.M.tolist() == expected["M"]
    assert res.t.tolist() == expected["t"]
    assert res.A.tolist() == expected["A"]
    assert res.b.tolist() == expected["b"]
    assert res.criterion == expected["criterion_at_end"]
    assert res.criterion_at_identity == expected["criterion_at_identity"]
    assert res.criterion_at_start == expected["criterion_at_start"]
    assert res.reported.tolist() == expected["reported"]
    assert (res.n_items, res.points) == (expected["items"], expected["points"])
    if expected["search"] is None:
        assert res.search is None
    else:
        assert res.to_dict()["search"] == expected["search"]

    document = torvak.run(ini)
    assert without_times(document) == without_times(program)
    assert document["exit_status"] == 0


def test_run_reports_a_missing_file_in_its_document(tmp_path):
    ini = tmp_path / "lost.ini"
    ini.write_text("Model_Type= 4 Theta_Dimension= 1 Number_Of_Grid= 11 From_Column_Format= ADC "
                   "To_Column_Format= ADC\n$Data_Files 1= nowhere_from.dat nowhere_to.dat\n")
    document = torvak.run(ini)
    assert document["format"] == "torvak-link results" and document["exit_status"] != 0
    assert document["runs"][0]["status"] != 0
    assert "nowhere_from.dat" in json.dumps(document["runs"][0])
