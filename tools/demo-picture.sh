#!/bin/sh
# The picture of the README: the drawing that velmora-cli build-model plane-regression writes for
# the demonstration source data/demo/Stereo30_Stereo70_2D.txt, painted by velmora-drawing-png into
# docs/Stereo30_Stereo70_2D.png.
#
#   tools/demo-picture.sh [BUILD_DIR]      (default: build)
#
# The model is built in a scratch directory, so nothing is written into data/demo. At the scale of
# the whole zone the distortion arrows would be a few pixels long: the arrows of the common and
# validation points after the Helmert step are drawn 20 times longer, those of the grid nodes
# (what the regression leaves, millimetres) 100 times; the legend says so. The node labels, the
# names of the common points and the arrows of the errors after modelling (tenths of a
# millimetre) are left out.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/${1:-build}
model=Stereo30_Stereo70_2D

for program in velmora-cli velmora-drawing-png; do
    if [ ! -x "$build/$program" ]; then
        echo "demo-picture: $build/$program is missing; build first (make build)" >&2
        exit 1
    fi
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$root/data/demo/$model.txt" "$scratch/"
(cd "$scratch" && "$build/velmora-cli" build-model plane-regression "$model.txt" >/dev/null)

mkdir -p "$root/docs"
XDG_RUNTIME_DIR=$scratch "$build/velmora-drawing-png" "$scratch/$model.DXF" "$root/docs/$model.png" --width 1200 \
    --hide DIST_TXT,TEXTCOMUNE,DISTORSIUNIR,RARITER \
    --lengthen DISTORSIUNIH=20 --lengthen RARITEH=20 --lengthen DISTORSIUNI=100 \
    --title "$model.DXF, drawn by velmora-cli build-model plane-regression $model.txt (DEMONSTRATION DATA)"
echo "docs/$model.png"
