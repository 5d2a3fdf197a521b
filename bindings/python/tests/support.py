"""Helpers of the tests: the shipped examples read with numpy, and made-up item tables."""

import os
from pathlib import Path

import numpy as np

SOURCE_DIR = Path(os.environ.get("TORVAK_SOURCE_DIR", Path(__file__).resolve().parents[3]))
EXAMPLES = SOURCE_DIR / "examples"
METHOD_OF_MODEL = {1: "ls", 3: "tcs", 4: "irs"}


def read_parameter_file(path):
    """The keys of a parameter file (lower case, without "=") and its data-file entries."""
    keys, entries = {}, []
    for words in (line.split() for line in Path(path).read_text().splitlines()):
        if words and words[0] == "$Data_Files":
            entries.append(words[2:])
        keys.update((key[:-1].lower(), value) for key, value in zip(words, words[1:])
                    if key.endswith("="))
    return keys, entries


def read_records(path, column_format, row_skip=""):
    """Per record (one a line; row skips {N} and {N-M}) a dict of letter -> values. K and P
    give the category count m, R then reads m - 2 words, and with M (1 or 3PL, 2 or graded,
    2PL, gpcm) C reads a word of 3PL items only; "kind" is then the item's model."""
    skipped = set()
    for item in filter(None, row_skip.strip("{}").split(",")):
        first, _, last = item.partition("-")
        skipped.update(range(int(first), int(last or first) + 1))
    lines = [line.split() for line in Path(path).read_text().splitlines() if line.strip()]
    letters = column_format.upper()
    records = []
    for words in (w for number, w in enumerate(lines, 1) if number not in skipped):
        record, m, kind, at = {}, 2, None, 0
        for letter in letters:
            count = {"R": m - 2, "C": 0 if "M" in letters and kind != "3pl" else 1}.get(letter, 1)
            taken, at = words[at:at + count], at + count
            if letter in "KP":
                m, kind = int(taken[0]), kind or ("graded" if letter == "K" else "gpcm")
            elif letter == "M":
                kind = {"1": "3pl", "2": "graded"}.get(taken[0].lower(), taken[0].lower())
            elif letter != "X" and taken:
                record.setdefault(letter, []).extend(float(w) for w in taken)
        assert at == len(words), (path, words)
        records.append(dict(record, m=m, kind=kind) if kind else record)
    return records


def read_item_table(path, column_format, row_skip=""):
    """k slopes, intercept and guessing per row; an intercept from difficulties B is
    -(a b) over the record's last slopes, summed in the order the core sums it. With K or P
    (items of several categories): a dict of columns a1 .., model, d1 .. d(m-1) (NaN past an
    item's last) and g."""
    records = read_records(path, column_format, row_skip)
    if "kind" in records[0]:
        k, most = len(records[0]["A"]), max(r["m"] for r in records)
        table = {f"a{j + 1}": [r["A"][j] for r in records] for j in range(k)}
        table["model"] = [r["kind"] for r in records]
        for j in range(most - 1):
            table[f"d{j + 1}"] = [(r["D"] + r.get("R", []) + [np.nan] * most)[j]
                                  for r in records]
        table["g"] = [r.get("C", [0.0])[0] for r in records]
        return table
    rows = []
    for r in records:
        slopes, intercept = r["A"], r.get("D", [0.0])[0]
        for b, a in zip(r.get("B", []), slopes[len(slopes) - len(r.get("B", [])):]):
            intercept += -b * a
        rows.append(slopes + [intercept, r.get("C", [0.0])[0]])
    return np.array(rows)


def example_link_arguments(ini):
    """torvak.link's arguments for the first pair of a parameter file."""
    keys, entries = read_parameter_file(ini)
    files = [Path(ini).parent / name for name in entries[0]]
    grid = int(keys["number_of_grid"])
    arguments = {
        "from_items": read_item_table(files[0], keys["from_column_format"],
                                      keys.get("from_row_skip", "")),
        "to_items": read_item_table(files[1], keys["to_column_format"],
                                    keys.get("to_row_skip", "")),
        "method": METHOD_OF_MODEL[int(keys["model_type"])],
        "grid": grid,
        "range": (float(keys["range_begin"]), float(keys["range_end"])),
        "weights": "equal" if int(keys["weighing_method"]) == 0 else "normal",
        "from_metric": "logistic" if int(keys["from_file_type"]) == 0 else "normal",
        "to_metric": "logistic" if int(keys["to_file_type"]) == 0 else "normal",
    }
    if grid == 0:
        records = read_records(files[2], keys["emp_column_format"], keys.get("emp_row_skip", ""))
        arguments["theta"] = np.array([r["T"] for r in records])
    return arguments


def made_up_items(n, k, seed, M=None, t=None, noise=0.1):
    """From and To tables (k slopes, d, g) of n items: To is From carried by theta_To =
    M theta_From + t (default: a stretch and a shift), with some noise."""
    rng = np.random.default_rng(seed)
    M = np.eye(k) * 1.15 + 0.05 if M is None else np.asarray(M, float)
    t = np.linspace(0.4, -0.3, k) if t is None else np.asarray(t, float)
    a = rng.uniform(0.5, 2.0, (n, k))
    d = rng.normal(0.0, 1.0, n)
    g = rng.uniform(0.0, 0.25, n)
    a_to = a @ np.linalg.inv(M)
    d_to = d - a_to @ t
    a_to = a_to * np.exp(rng.normal(0.0, noise, a_to.shape))
    d_to = d_to + rng.normal(0.0, noise, n)
    return np.column_stack([a, d, g]), np.column_stack([a_to, d_to, g])


def probabilities(items, theta):
    """3PL probabilities, points x items, of a table of k slopes, d and g."""
    k = theta.shape[1]
    a, d, g = items[:, :k], items[:, k], items[:, k + 1]
    return g + (1.0 - g) / (1.0 + np.exp(-(theta @ a.T + d)))
