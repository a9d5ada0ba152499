#!/usr/bin/env bash
# The runner's picture: its size, its failures; a sweep's picture of a run is the runner's.
# scripts/plot makes each kind of plot where the output points, refuses bad input and use, and
# draws the numbers worked out by hand.
# usage: test_pictures.sh SOURCE_FOLDER RUNNER SWEEP
set -euo pipefail
source=$1 runner=$2 sweep=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "test_pictures: $*" >&2 && exit 1; }

picture=("$runner" --seed 3 --ticks 50 --params "$source/preference.txt" --picture)
"${picture[@]}" "$dir/boards.png" >/dev/null
size=$(od -An -tx1 -j16 -N8 "$dir/boards.png" | tr -d ' \n')  # the header's width and height
[ "$size" = 0000018800000340 ] || fail "the picture is not 392 by 832: $size"
mkdir "$dir/taken.png"  # the picture is made, but cannot take the name of a folder
for target in "$dir/no/boards.png" "$dir/taken.png"; do
    status=0
    "${picture[@]}" "$target" >/dev/null 2>"$dir/err" || status=$?
    [ "$status" = 1 ] && grep -qF "cannot write $target: " "$dir/err" ||
        fail "an unwritable picture gives status $status and: $(cat "$dir/err")"
done
[ -z "$(find "$dir" -name '*.part*')" ] || fail "a part of a picture is left behind"
"$sweep" plan --params "$source/preference.txt" --vary foodRarity=5,9 --replicates 2 --seed 9 \
    >"$dir/design.csv"  # run 3: replicate 1, seed 10, foodRarity 9
"$sweep" run "$dir/design.csv" --ticks 300 --pictures "$dir/runs" --quiet >/dev/null
for summary in --summary ""; do  # the runner draws the same with its summary as with its log
    "$runner" $summary --seed 10 --set foodRarity=9 --ticks 300 --params "$source/preference.txt" \
        --picture "$dir/run.png" >/dev/null
    cmp "$dir/runs/run-3.png" "$dir/run.png" || fail "run 3's picture differs: ${summary:-log}"
done

printf '%s\n' run,replicate,foodRarity,stepCost,steps,end 0,0,3,1,120,energy 1,0,6,1,150,ticks \
    2,0,3,2,80,energy 3,0,6,2,95,energy 4,1,3,1,110,energy 5,1,6,1,170,energy 6,1,3,2,70,energy \
    7,1,6,2,99,maxSteps >"$dir/results.csv"
plot=("$source/scripts/plot" "$dir/results.csv" --output "$dir/plot.png")
png() { [ "$(head -c 4 "$1" | tail -c 3)" = PNG ]; }
for shape in "" "--by stepCost" "--y stepCost"; do
    "${plot[@]}" --metric steps --x foodRarity $shape
    png "$dir/plot.png" || fail "no PNG for '$shape'"
    rm "$dir/plot.png"
done
for refused in "steps --x nosuch:no column 'nosuch'" "end --x foodRarity:'end' is not numeric" \
    "steps --x stepCost --by stepCost:--by and --x both name" \
    "steps --x stepCost --y stepCost:--y and --x both name" \
    "steps --x stepCost --output $dir/taken.png:taken.png: it is a folder"; do
    ! "${plot[@]}" --metric ${refused%%:*} 2>"$dir/err" || fail "plot takes ${refused%%:*}"
    grep -qF -e "${refused#*:}" "$dir/err" || fail "no clear message: $(cat "$dir/err")"
    [ ! -e "$dir/plot.png" ] || fail "a file is written for ${refused%%:*}"
done
# The PNG goes to a link's target, the link kept, and into a device (as root) as it is.
mkdir "$dir/real" && ln -s real/plot.png "$dir/link.png"
"${plot[@]}" --metric steps --x foodRarity --output "$dir/link.png"
[ -L "$dir/link.png" ] && png "$dir/real/plot.png" || fail "the link is replaced or has no PNG"
if [ "$(id -u)" = 0 ] && mknod "$dir/null" c 1 3; then
    "${plot[@]}" --metric steps --x foodRarity --output "$dir/null"
    [ -c "$dir/null" ] || fail "a device is replaced by a file"
fi

# The numbers drawn, against values worked out by hand: the runs of a replicate pooled first,
# Student's t of 3 replicates (4.303), the interval clipped at 0 and at the highest maxSteps.
printf '%s\n' '# a line of an older version' replicate,foodRarity,stepCost,maxSteps,steps \
    0,3,1,100,0 0,3,2,100,2 1,3,1,100,1 1,3,2,100,3 2,3,1,100,2 2,3,2,100,4 \
    0,6,1,40,40 0,6,2,40,40 1,6,1,40,40 1,6,2,50,50 2,6,1,50,50 2,6,2,50,50 >"$dir/bounded.csv"
PYTHONPATH=$source/scripts /usr/bin/python3 - "$dir/bounded.csv" <<'EOF'
import math, sys, plot
half = 4.303 / math.sqrt(3)  # replicate means 1, 2, 3 and 40, 45, 50: deviations 1 and 5
expected = {(3,): (2, 0, 2 + half), (6,): (45, 45 - 5 * half, 50)}
got = plot.point_intervals(*plot.read_sums(sys.argv[1], "steps", ["foodRarity"]), "steps")
for key, values in expected.items():
    assert all(math.isclose(a, b, abs_tol=1e-3) for a, b in zip(got[key], values)), got
inf = math.inf
for metric, limit, bounds in [("visited", None, (0, 2401)), ("priority1to3", 9, (0, 2401)),
                              ("restored", None, (0, inf)), ("energy", 9, (-inf, inf)),
                              ("steps", -5, (0, 0))]:
    assert plot.metric_bounds(metric, limit) == bounds, metric
EOF
