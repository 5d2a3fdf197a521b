#!/bin/sh
# What a whole torvak-link process costs beyond its pair: hyperfine times, in one run, a C++
# hello world built the way the program is built, and torvak-link on generated Model 4 pairs
# of 60 items (d 2 with 41 grid points, d 3 with 21, d 5 with 11); --results gives the pair's
# own time. Prints the table: process, pair, hello world, and what is left outside the pair.
# Usage: bench/process_start.sh path/to/torvak-link
set -eu
LINK=$(realpath "$1")
command -v hyperfine >/dev/null || { echo "process_start: hyperfine is not installed" >&2; exit 0; }
DIR=$(mktemp -d "${TMPDIR:-/tmp}/torvak-process-XXXXXX")
trap 'rm -rf "$DIR"' EXIT
cd "$DIR"
# Through iostream, so that it loads the C++ run-time libraries as the program does (a puts
# alone would link the C library only).
printf '#include <iostream>\nint main() { std::cout << "hello" << std::endl; }\n' > hello.cpp
c++ -O3 -DNDEBUG -std=c++20 hello.cpp -o hello -pthread

python3 - <<'PY'
import random
def pair(j, d, g, tag):
    rnd = random.Random(1000 * j + d)
    a = [[(1.0 if k == l else 0.0) + rnd.uniform(-.1, .1) for l in range(d)] for k in range(d)]
    b = [rnd.uniform(-.2, .2) for _ in range(d)]
    with open(f"from_{tag}.txt", "w") as f, open(f"to_{tag}.txt", "w") as t:
        for _ in range(j):
            s = [rnd.uniform(.4, 1.6) for _ in range(d)]
            i, c = rnd.uniform(-1.5, 1.5), rnd.uniform(.05, .2)
            ts = [sum(a[l][k] * s[l] for l in range(d)) + rnd.uniform(-.02, .02) for k in range(d)]
            ti = i + sum(s[k] * b[k] for k in range(d)) + rnd.uniform(-.02, .02)
            f.write(" ".join("%.6f" % x for x in s + [i, c]) + "\n")
            t.write(" ".join("%.6f" % x for x in ts + [ti, c]) + "\n")
    fmt = "A" * d + "DC"
    open(f"{tag}.ini", "w").write(
        f"[Linking Parameters]\nModel_Type= 4\nParameterization= 1\nTheta_Dimension= {d}\n\n"
        f"[Integral Parameter]\nWeighing_Method= 0\nNumber_Of_Grid= {g}\nRange_Begin= -4\n"
        f"Range_End= 4\n\n[Data File Format]\nFrom_Column_Format= {fmt}\nFrom_File_Type= 0\n"
        f"To_Column_Format= {fmt}\nTo_File_Type= 0\n\n[Data File Names]\n"
        f"$Data_Files 1= from_{tag}.txt to_{tag}.txt\n")
pair(60, 2, 41, "d2")
pair(60, 3, 21, "d3")
pair(60, 5, 11, "d5")
PY

# The pair's time: the median of 9 runs (it includes the criterion at the identity and at
# the start, which --results adds).
for tag in d2 d3 d5; do
  for run in 1 2 3 4 5 6 7 8 9; do
    "$LINK" --no-progress --results "pair_${tag}_$run.json" "$tag.ini" >/dev/null 2>&1
  done
done
hyperfine -N -w 3 --runs 40 --export-json times.json ./hello \
  "$LINK --no-progress d2.ini" "$LINK --no-progress d3.ini" "$LINK --no-progress d5.ini" \
  >/dev/null
python3 - <<'PY'
import json
times = json.load(open("times.json"))["results"]
hello = times[0]["median"] * 1e3
print("Whole torvak-link process against its pair and a hello world (medians, ms)")
print("%-24s %9s %9s %9s %16s" % ("problem", "process", "pair", "hello", "outside the pair"))
for result, tag, label in zip(times[1:], ["d2", "d3", "d5"],
                              ["J 60, d 2, G 41", "J 60, d 3, G 21", "J 60, d 5, G 11"]):
    pairs = sorted(json.load(open(f"pair_{tag}_{run}.json"))["runs"][0]["pairs"][0]["seconds"]
                   for run in range(1, 10))
    pair = pairs[4] * 1e3
    process = result["median"] * 1e3
    print("%-24s %9.1f %9.1f %9.1f %16.1f" % (label, process, pair, hello,
                                             process - pair - hello))
PY
