#!/usr/bin/env bash
# scripts/plot on a small results file: each kind of plot is a PNG; a column the file lacks or a
# metric that is not a number is refused with a message naming it, and no file is written.
# usage: test_plot.sh SOURCE_FOLDER
set -euo pipefail
plot=$1/scripts/plot
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() {
    echo "test_plot: $*" >&2
    exit 1
}

printf '%s\n' run,replicate,seed,foodRarity,stepCost,steps,end 0,0,5,3,1,120,energy \
    1,0,5,6,1,150,energy 2,0,5,3,2,80,maxSteps 3,0,5,6,2,95,energy 4,1,6,3,1,110,energy \
    5,1,6,6,1,170,ticks 6,1,6,3,2,70,energy 7,1,6,6,2,99,energy >"$dir/results.csv"
for shape in "" "--by stepCost" "--y stepCost"; do
    # shellcheck disable=SC2086 # the shape is two words or none
    "$plot" "$dir/results.csv" --metric steps --x foodRarity $shape --output "$dir/plot.png"
    [ "$(head -c 4 "$dir/plot.png" | tail -c 3)" = PNG ] || fail "no PNG for '$shape'"
    rm "$dir/plot.png"
done
for refused in "--metric steps --x nosuch:no column 'nosuch'" \
    "--metric end --x foodRarity:column 'end' is not numeric"; do
    # shellcheck disable=SC2086 # the options are words
    if "$plot" "$dir/results.csv" ${refused%%:*} --output "$dir/plot.png" 2>"$dir/err"; then
        fail "plot accepts ${refused%%:*}"
    fi
    grep -qF "${refused#*:}" "$dir/err" || fail "no clear message for ${refused%%:*}: $(cat "$dir/err")"
    [ ! -e "$dir/plot.png" ] || fail "a file is written for ${refused%%:*}"
done
