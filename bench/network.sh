#!/usr/bin/env bash
# Time and peak memory of a whole plane model-building run on a synthetic source whose grid has
# about NODES nodes (50 m cells) and POINTS common points with a smooth distortion and millimetre
# noise: `velmora-cli build-model plane`, which runs the grid generation, the Helmert
# estimation, the boundary marking, the network adjustment and the model report. Where the
# adjustment's own benchmark program is built, the adjustment alone on a grid of the same size
# is measured too.
#
#   bench/network.sh [NODES [POINTS]]        (defaults 15000 and 300)
#   BUILD=build-other bench/network.sh
set -euo pipefail

NODES=${1:-15000}
POINTS=${2:-300}
. "$(dirname "$0")/common.sh"
adjustment="$build/velmora-network-bench"

# A square zone of side nodes (a whole number of 50 m cells, so the grid ends on the contour),
# common points inside it with the target system shifted by (120, -80) m plus the distortion,
# and as many new points.
awk -v nodes="$NODES" -v points="$POINTS" 'BEGIN {
  srand(20261209);
  pi = 3.141592653589793;
  side = int(sqrt(nodes) + 0.5); if (side < 5) side = 5;
  step = 50; e0 = 500000; n0 = 300000; size = (side - 1) * step;
  out = "source.txt";
  printf "Model sintetic: %d noduri, %d puncte comune\r\n", side * side, points > out;
  printf "Sistem 1: local\r\nSistem 2: national\r\nGenerat de bench/network.sh\r\n" > out;
  printf "SC\r\n5000\r\nPAS\r\n%d, %d\r\nC\r\n", step, step > out;
  printf "V1, %.3f, %.3f\r\nV2, %.3f, %.3f\r\n", e0, n0, e0 + size, n0 > out;
  printf "V3, %.3f, %.3f\r\nV4, %.3f, %.3f\r\nEND\r\n", e0 + size, n0 + size, e0, n0 + size > out;
  printf "P\r\n6378388.0, 297.0, 6378245.0, 298.3\r\nPC\r\n" > out;
  margin = step;
  for (i = 1; i <= points; i++) {
    e2 = e0 + margin + rand() * (size - 2 * margin);
    n2 = n0 + margin + rand() * (size - 2 * margin);
    u = (e2 - e0) / size; v = (n2 - n0) / size;
    dE = 0.05 * sin(2 * pi * u) * cos(pi * v) + (rand() - 0.5) * 0.004;
    dN = 0.04 * cos(2 * pi * u) * sin(pi * v) + (rand() - 0.5) * 0.004;
    printf "C%d, %.3f, %.3f, %.3f, %.3f\r\n", i, e2 - 120 - dE, n2 + 80 - dN, e2, n2 > out;
  }
  printf "END\r\nPN\r\n" > out;
  for (i = 1; i <= points; i++) {
    e1 = e0 - 120 + margin + rand() * (size - 2 * margin);
    n1 = n0 + 80 + margin + rand() * (size - 2 * margin);
    printf "N%d, %.3f, %.3f\r\n", i, e1, n1 > out;
  }
  printf "END\r\nENDF\r\n" > out;
}'

measure "$cli" build-model plane source.txt >messages.txt
if ! grep -q '^Fisierele rezultate sunt: ' messages.txt || [ ! -s sourceJ.GRD ]; then
  echo "bench: the run did not complete" >&2
  cat messages.txt >&2
  exit 1
fi
# The node count is the value line of the grid text file's count label.
nodes=$(sed -n 18p source.GRT | tr -d ' \r')
printf 'velmora-cli build-model plane: %d nodes, %d common points in %.2f s, peak memory %.1f MB\n' \
  "$nodes" "$POINTS" "$SECONDS_TAKEN" "$(echo "$PEAK_KB / 1024" | bc -l)"

if [ -x "$adjustment" ]; then
  measure "$adjustment" "$NODES" "$POINTS" >adjustment.txt
  sed 's/^/  /' adjustment.txt
  printf 'the adjustment alone: %.2f s, peak memory %.1f MB\n' "$SECONDS_TAKEN" "$(echo "$PEAK_KB / 1024" | bc -l)"
else
  echo "the adjustment's benchmark program is not built (target velmora-network-bench)"
fi
