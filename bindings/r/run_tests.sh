#!/bin/sh
# Installs the R package into LIBDIR and runs its tinytest tests; the exit status is non-zero
# when the install or a test fails.
#
#   sh bindings/r/run_tests.sh LIBDIR
#
# TORVAK_SOURCE_DIR (the source tree whose examples are linked; default: the one this script
# is in) and TORVAK_LINK (a torvak-link to compare with; unset: that comparison is skipped)
# are passed on to the tests.
set -eu
if [ $# -ne 1 ]; then
  echo "usage: $0 LIBDIR" >&2
  exit 64
fi
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$1"
lib=$(cd "$1" && pwd)
R CMD INSTALL --no-multiarch -l "$lib" "$here"
TORVAK_SOURCE_DIR=${TORVAK_SOURCE_DIR:-$(cd "$here/../.." && pwd)}
export TORVAK_SOURCE_DIR
R_LIBS="$lib${R_LIBS:+:$R_LIBS}" Rscript -e '
  library(torvak)
  results <- tinytest::run_test_dir(system.file("tinytest", package = "torvak"), verbose = 1)
  print(results)
  if (!tinytest::all_pass(results)) quit(status = 1)
'
