#!/bin/sh
# The demonstration behind `make run`, on the data set in data/demo.
#
#   tools/demo-run.sh [BUILD_DIR]      (default: build)
#
# With a display ($DISPLAY or $WAYLAND_DISPLAY) and the desktop application built, starts it with
# data/demo as its start-up directory, where it finds the grids and the Bucharest models.
# Otherwise runs every visible "Din fisier" command on the sample files of data/demo/samples
# through velmora-cli, writing into BUILD_DIR/demo-run (never into data/demo), and shows where the
# result files are and how they begin. Exits non-zero when a command does not end as its sample
# says it should: a result for CODE_NAME.txt, a failure on the last point for CODE_NAME_exterior.txt.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/${1:-build}
data=$root/data/demo
app=$build/velmora
cli=$build/velmora-cli

if [ -x "$app" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "Starting $app in $data"
    echo "DEMONSTRATION DATA - NOT FOR SURVEY WORK (see data/demo/README.md)"
    cd "$data"
    exec "$app"
fi

if [ ! -x "$cli" ]; then
    echo "demo-run: $cli is missing; build first (make build)" >&2
    exit 1
fi
if [ -x "$app" ]; then
    echo "No display (\$DISPLAY and \$WAYLAND_DISPLAY are unset): running the commands through velmora-cli."
else
    echo "The desktop application $app is not built: running the commands through velmora-cli."
fi
echo "DEMONSTRATION DATA - NOT FOR SURVEY WORK (see data/demo/README.md)"
echo

# Result files are Windows-1252 text with CR LF line ends; show them in the terminal's encoding.
show() {
    if command -v iconv >/dev/null 2>&1; then
        tr -d '\r' <"$1" | iconv -f WINDOWS-1252 -t UTF-8 | sed -n "1,$2p" | sed 's/^/    /'
    else
        tr -d '\r' <"$1" | sed -n "1,$2p" | sed 's/^/    /'
    fi
}

out=$build/demo-run
rm -rf "$out"
mkdir -p "$out"
cd "$out"

results=0
exteriors=0
unexpected=0
for source in "$data"/samples/*.txt; do
    stem=$(basename "$source" .txt)
    case $stem in *_rezultat) continue ;; esac
    code=${stem%%_*}
    zone=34
    case $stem in *_zona35) zone=35 ;; esac
    case $code in e | f) what="code $code, zone $zone" ;; *) what="code $code" ;; esac
    result=$out/${stem}_rezultat.txt
    log=$out/$stem.log
    status=0
    "$cli" transform "$code" "$source" "$result" --zone "$zone" --data "$data" </dev/null >"$log" 2>&1 || status=$?
    case $stem in
    *_exterior)
        if [ "$status" -eq 1 ] && [ ! -e "$result" ]; then
            echo "$stem.txt ($what): ends on the point outside the grids, no result file, as it should:"
            tr -d '\r' <"$log" | sed 's/Tastati <Enter>\.\.\./&\n/' | sed '/^$/d; s/^/    /'
            exteriors=$((exteriors + 1))
        else
            echo "$stem.txt ($what): UNEXPECTED, status $status (see $log)"
            unexpected=$((unexpected + 1))
        fi
        ;;
    *)
        if [ "$status" -eq 0 ] && [ -f "$result" ]; then
            echo "$stem.txt ($what) -> $result"
            show "$result" 4
            results=$((results + 1))
        else
            echo "$stem.txt ($what): FAILED, status $status (see $log)"
            unexpected=$((unexpected + 1))
        fi
        ;;
    esac
    echo
done

echo "$results result files are in $out;"
echo "$exteriors exterior samples ended on their outside point. The committed results to compare"
echo "with are data/demo/samples/*_rezultat.txt."
[ "$unexpected" -eq 0 ]
