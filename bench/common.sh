# What the benchmark scripts share; sourced by them, after `set -euo pipefail`.
#
# Sets top (the source tree), build (the build folder: BUILD, relative to the source tree or
# absolute, as for make; default build) and cli (velmora-cli there, built first when missing);
# checks for /usr/bin/time; moves into a scratch folder removed at the end; defines measure.

top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-build}
case "$build" in
  /*) ;;
  *) build="$top/$build" ;;
esac
cli="$build/velmora-cli"
if [ ! -x "$cli" ]; then
  make -C "$top" build BUILD="$build" >/dev/null
fi
if [ ! -x /usr/bin/time ]; then
  echo "bench: /usr/bin/time is needed (Debian package time)" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Runs a command under /usr/bin/time; sets SECONDS_TAKEN and PEAK_KB.
measure() {
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -f '%M' -o time.txt "$@"
  end=$(date +%s.%N)
  SECONDS_TAKEN=$(echo "$end - $start" | bc -l)
  PEAK_KB=$(tail -n 1 time.txt)
}
