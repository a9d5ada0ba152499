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
refuse() {  # refuse MESSAGE COMMAND...: the command fails with MESSAGE and writes no plot
    ! "${@:2}" 2>"$dir/err" || fail "plot takes ${*:2}"
    grep -qF -e "$1" "$dir/err" || fail "no clear message for ${*:2}: $(cat "$dir/err")"
    [ ! -e "$dir/plot.png" ] || fail "a file is written for ${*:2}"
}

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
refuse "no column 'nosuch'" "${plot[@]}" --metric steps --x nosuch
refuse "'end' is not numeric" "${plot[@]}" --metric end --x foodRarity
refuse "--by and --x both name" "${plot[@]}" --metric steps --x stepCost --by stepCost
refuse "--y and --x both name" "${plot[@]}" --metric steps --x stepCost --y stepCost
refuse "taken.png: it is a folder" "${plot[@]}" --metric steps --x stepCost \
    --output "$dir/taken.png"
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

# Over time, against numbers worked out by hand: run 0 ends at step 15 and holds its last value,
# runs 0 and 1 are replicate 0 of foodRarity 3 and are pooled, the longest run's end ends the plot.
printf '%s\n' run,replicate,foodRarity 0,0,3 1,0,3 2,1,3 3,0,6 >"$dir/runs.csv"
printf '%s\n' "run,step,food$(printf ',priority%s' 0orLess 1to3 4to6 7to9 10to14 15orMore)" 2,0,0 \
    2,10,4 2,20,8 2,30,9 0,0,0 0,10,2 0,15,3 1,0,0 1,10,4 1,20,6 1,30,8 1,33,9 3,0,1 3,10,5 3,12,6 |
    sed '2,$s/$/,0,9,2392,0,0,0/' >"$dir/series.csv"
PYTHONPATH=$source/scripts /usr/bin/python3 - "$dir" <<'EOF'
import math, sys, plot
h, n = 12.706 / 2, math.nan  # two replicates: t times half their difference
want = {3: [(0, 0, 0, 0, 3), (10, 3.5, 0, 3.5 + h, 3), (20, 6.25, 0, 6.25 + 3.5 * h, 2),
            (30, 7.25, 0, 7.25 + 3.5 * h, 2), (33, 7.5, 0, 7.5 + 3 * h, 1)],
        6: [(0, 1, n, n, 1), (10, 5, n, n, 1)] + [(step, 6, n, n, 0) for step in (20, 30, 33)],
        None: [(20, 6.5, 0, 6.5 + 3 * h, 2)]}  # replicate 0 is runs 0, 1, 3 without --by
stats = lambda by: plot.series_stats(*(f"{sys.argv[1]}/{f}.csv" for f in ("series", "runs")),
                                     "food", by)[0]
got = {**stats("foodRarity"), None: stats(None)[None][2:3]}
rounded = lambda points: {k: [[None if math.isnan(v) else round(v, 2) for v in point]
                               for point in group] for k, group in points.items()}
assert rounded(got) == rounded(want), got
EOF
time=("$source/scripts/plot" --output "$dir/plot.png" --over-time --results "$dir/runs.csv"
    --metric)
bands=("$source/scripts/plot" "$dir/series.csv" --output "$dir/plot.png" --bands)
"${time[@]}" food "$dir/series.csv" --by foodRarity && png "$dir/plot.png" || fail "no PNG in time"
rm "$dir/plot.png" && "${bands[@]}" 0 && png "$dir/plot.png" || fail "no PNG of the bands"
rm "$dir/plot.png" && head -4 "$dir/runs.csv" >"$dir/part.csv"  # without run 3
sed '/^1,10,/d' "$dir/series.csv" >"$dir/gap.csv"  # run 1 goes on past step 10 with no row there
sed -e '/^2,30,/{h;d}' -e '$G' "$dir/series.csv" >"$dir/apart.csv"  # run 2's last row apart
sed -e '3{h;d}' -e '4G' "$dir/series.csv" >"$dir/order.csv"  # run 2's steps 10 and 20 swapped
refuse "no column 'nosuch'" "${time[@]}" nosuch "$dir/series.csv"
refuse "part.csv has no run 3" "${time[@]}" food "$dir/series.csv" --results "$dir/part.csv"
refuse "no row at step 10 for 1 of its runs" "${time[@]}" food "$dir/gap.csv"
refuse "run 2 again" "${time[@]}" food "$dir/apart.csv"
refuse "step 10 comes after its step 20" "${time[@]}" food "$dir/order.csv"
refuse "has no run 9" "${bands[@]}" 9
refuse "--by needs --results" "${bands[@]/--bands/--over-time}" --metric food --by foodRarity
