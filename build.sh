#!/bin/sh
# Builds and tests Torvak on Debian 12, installing what is missing first.
#
#   sh build.sh run     install what is missing, build, link the shipped examples
#   sh build.sh test    install what is missing, build, run every test
#   sh build.sh setup   only install what is missing
#   sh build.sh TARGET  any other target of the Makefile, after the install
#
# Run as root, the missing Debian packages are installed with apt-get (a bare Debian 12 has
# no make and no compiler). Run as another user, it prints the one apt-get line to run as root
# and stops.
set -eu
cd "$(dirname "$0")"

PACKAGES="make build-essential cmake qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev libgtest-dev libbenchmark-dev libhwy-dev nlohmann-json3-dev locales"
# The Python module and the R package, and their tests.
PACKAGES="$PACKAGES python3-dev pybind11-dev python3-numpy python3-pandas python3-pytest"
PACKAGES="$PACKAGES r-base-dev r-cran-rcpp r-cran-tinytest r-cran-jsonlite"
# A locale with a decimal comma, so that the tests can check that numbers ignore the locale.
COMMA_LOCALE=de_DE.UTF-8

missing_packages() {
  command -v dpkg-query >/dev/null 2>&1 || return 0
  for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
      printf ' %s' "$p"
  done
}

have_comma_locale() {
  locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'
}

install_missing() {
  missing=$(missing_packages)
  if [ -n "$missing" ]; then
    if [ "$(id -u)" != 0 ]; then
      echo "setup: these packages are missing:$missing" >&2
      echo "setup: run as root: apt-get update && apt-get install -y --no-install-recommends$missing" >&2
      exit 1
    fi
    echo "setup: installing$missing"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
  fi
  if ! have_comma_locale && [ "$(id -u)" = 0 ] && command -v localedef >/dev/null 2>&1; then
    echo "setup: making the $COMMA_LOCALE locale for the locale tests"
    localedef -i de_DE -f UTF-8 "$COMMA_LOCALE" ||
      echo "setup: could not make $COMMA_LOCALE; the locale tests will be skipped" >&2
  fi
}

install_missing
[ "${1:-}" = setup ] && exit 0
exec make "$@"
