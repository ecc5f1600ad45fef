#!/usr/bin/env bash
# Throughput and peak memory of a large "Din fisier" run: N random ETRS89 points over Romania,
# with heights, through `velmora-cli transform 3` on the demonstration data. Where PROJ's cct is
# installed, the comparable pipeline (quasigeoid heights, then the stereographic projection) runs
# on the same points and the ratio of the two throughputs is printed.
#
#   bench/batch.sh [N]        (default 1000000)
#   BUILD=build-other bench/batch.sh
#
# BUILD names the build folder, relative to the source tree or absolute, as for make (default build).
set -euo pipefail

N=${1:-1000000}
. "$(dirname "$0")/common.sh"
data="$top/data/demo"

# The same random points in the program's geodetic source format and as cct input (L B h).
awk -v n="$N" 'BEGIN {
  srand(20261209);
  print "Puncte aleatoare ETRS89" > "source.txt";
  for (i = 1; i <= n; i++) {
    B = 43.7 + rand() * 4.4; L = 20.4 + rand() * 9.2; h = 20 + rand() * 1500;
    bd = int(B); bm = int((B - bd) * 60); bs = ((B - bd) * 60 - bm) * 60;
    ld = int(L); lm = int((L - ld) * 60); ls = ((L - ld) * 60 - lm) * 60;
    printf "P%d, %d %d %.5f, %d %d %.5f, %.3f\r\n", i, bd, bm, bs, ld, lm, ls, h > "source.txt";
    printf "%.10f %.10f %.3f\n", ld + lm / 60 + ls / 3600, bd + bm / 60 + bs / 3600, h > "cct.txt";
  }
  printf "ENDF" > "source.txt";
}'

measure "$cli" transform 3 source.txt result.txt --data "$data" >/dev/null
velmora_rate=$(echo "$N / $SECONDS_TAKEN" | bc -l)
printf 'velmora-cli transform 3: %d points in %.2f s, %.0f points/s, peak memory %.1f MB\n' \
  "$N" "$SECONDS_TAKEN" "$velmora_rate" "$(echo "$PEAK_KB / 1024" | bc -l)"
if [ "$(wc -l < result.txt)" -ne $((N + 1)) ]; then
  echo "bench: the result file does not hold every point" >&2
  exit 1
fi

if command -v cct >/dev/null && [ -f /usr/share/proj/egm96_15.gtx ]; then
  measure cct -d 4 +proj=pipeline +step +proj=vgridshift +grids=egm96_15.gtx +multiplier=-1 \
    +step +proj=sterea +lat_0=46 +lon_0=25 +k=0.99975 +x_0=500000 +y_0=500000 +ellps=GRS80 \
    cct.txt > cct-out.txt
  cct_rate=$(echo "$N / $SECONDS_TAKEN" | bc -l)
  printf 'cct (vgridshift + sterea):  %d points in %.2f s, %.0f points/s, peak memory %.1f MB\n' \
    "$N" "$SECONDS_TAKEN" "$cct_rate" "$(echo "$PEAK_KB / 1024" | bc -l)"
  printf 'throughput ratio velmora / cct: %.2f\n' "$(echo "$velmora_rate / $cct_rate" | bc -l)"
else
  echo "cct or egm96_15.gtx not installed (Debian packages proj-bin, proj-data): no comparison"
fi
