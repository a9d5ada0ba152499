#!/usr/bin/env bash
# The runner's picture: its size, its failures; a sweep's picture of a run is the runner's.
# scripts/plot makes each kind of plot; a missing column or a metric not a number: refused.
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
for shape in "" "--by stepCost" "--y stepCost"; do
    "${plot[@]}" --metric steps --x foodRarity $shape
    [ "$(head -c 4 "$dir/plot.png" | tail -c 3)" = PNG ] || fail "no PNG for '$shape'"
    rm "$dir/plot.png"
done
for refused in "steps --x nosuch:no column 'nosuch'" "end --x foodRarity:'end' is not numeric"; do
    ! "${plot[@]}" --metric ${refused%%:*} 2>"$dir/err" || fail "plot takes ${refused%%:*}"
    grep -qF "${refused#*:}" "$dir/err" || fail "no clear message: $(cat "$dir/err")"
    [ ! -e "$dir/plot.png" ] || fail "a file is written for ${refused%%:*}"
done
