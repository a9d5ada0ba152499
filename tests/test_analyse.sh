#!/usr/bin/env bash
# vantu-analyse end to end: designs, indices of functions whose indices are known exactly (through
# the same design and results files a real analysis reads), refusals, and a small real experiment.
# usage: test_analyse.sh CASE ANALYSE SWEEP PARAMS
set -euo pipefail
case=$1 analyse=$2 sweep=$3 params=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

fail() {
    echo "test_analyse $case: $*" >&2
    exit 1
}
# Results of a design without running it: its 25 columns and the metric y, which awk computes from
# the named parameters (x[1], x[2], ...) and the replicate r; spread(v) takes 0..9999 onto
# [-pi, pi].
results_of() {  # DESIGN 'PARAM PARAM...' 'Y EXPRESSION'
    awk -F, -v names="$2" 'function spread(v) { return 3.141592653589793 * ((v + 0.5) / 5000 - 1) }
        NR == 1 { n = split(names, name, " ")
        for (i = 1; i <= NF; i++) at[$i] = i
        for (i = 1; i <= 25; i++) printf "%s,", $i; print "y"; next }
        { for (i = 1; i <= n; i++) x[i] = $at[name[i]]; r = $2
          for (i = 1; i <= 25; i++) printf "%s,", $i; printf "%.12g\n", '"$3"' }' "$1"
}
# Each row of a table whose value, low and high columns disagree with the truth: an interval that
# misses it or does not hold the value, or one wider than the limit.
off_truth() {  # TABLE COLUMN 'PARAM=TRUTH...' WIDEST
    awk -F, -v column="$2" -v truths="$3" -v widest="$4" 'BEGIN { n = split(truths, t, " ")
        for (i = 1; i <= n; i++) { split(t[i], pair, "="); truth[pair[1]] = pair[2] } }
        NR == 1 { for (i = 1; i <= NF; i++) at[$i] = i; next }
        $1 in truth { seen++; v = $at[column]; lo = $at[column "_low"]; hi = $at[column "_high"]
            if (lo > truth[$1] || truth[$1] > hi || hi - lo > widest || lo > v || v > hi)
                print column, $0 }
        END { if (seen != n) print column ": " seen " of " n " rows" }' "$1"
}

case $case in
known)
    # Ishigami's function of three parameters, each spread over [-pi, pi]: S1 0.3139, 0.4424, 0;
    # ST 0.5576, 0.4424, 0.2437. Replicates add +3 and -3, which the point means remove, and
    # which make up exactly 2 * 9 per point of the sum of squares.
    "$analyse" sample sobol --range initialEnergy=0:9999 --range foodRarity=0:9999 \
        --range poisonRarity=0:9999 -n 1024 --replicates 2 --seed 3 --params "$params" >d.csv
    [ "$(wc -l <d.csv)" = $((1024 * 5 * 2 + 1)) ] || fail "not 1024 x 5 points twice"
    results_of d.csv 'initialEnergy foodRarity poisonRarity' \
        'sin(spread(x[1])) * (1 + 0.1 * spread(x[3]) ^ 4) + 7 * sin(spread(x[2])) ^ 2 + (r ? -3 : 3)' >r.csv
    "$analyse" sobol d.csv r.csv --metric y --output table.csv
    off=$(off_truth table.csv S1 'initialEnergy=0.3139 foodRarity=0.4424 poisonRarity=0 sum_of_S1=0.7563' 0.25
        off_truth table.csv ST 'initialEnergy=0.5576 foodRarity=0.4424 poisonRarity=0.2437' 0.2)
    [ -z "$off" ] || fail "$off"
    awk -F, 'NR == FNR { if (FNR > 1) { s += $26; ss += $26 ^ 2; n++ }; next }
        $1 == "replicate_noise" { want = 5120 * 18 / (ss - s ^ 2 / n); d = $8 - want
            found = d * d < 1e-8 } END { exit !found }' r.csv table.csv ||
        fail "the noise share is not the within-point share of the sum of squares"

    # A linear function on a Morris design, ranges a multiple of 3: every effect of a parameter
    # is its coefficient times its range.
    "$analyse" sample morris --range initialEnergy=0:300 --range foodRarity=3:9 \
        --range poisonRarity=-30:0 -n 20 --seed 5 --params "$params" >d.csv
    results_of d.csv 'initialEnergy foodRarity' '2 * x[1] - 5 * x[2]' >r.csv
    "$analyse" morris d.csv r.csv --metric y --output table.csv
    [ "$(cut -d, -f1-6 table.csv)" = 'parameter,mu_star,mu_star_low,mu_star_high,mu,sigma
initialEnergy,600,600,600,600,0
foodRarity,30,30,30,-30,0
poisonRarity,0,0,0,0,0
replicate_noise,,,,,' ] || fail "Morris on a linear function: $(<table.csv)"
    # An interaction: initialEnergy's effect is 1.5 times its move of 2 times foodRarity, which
    # varies between trajectories; its 95 % interval is the normal one of a mean of 200, within
    # what 1000 resamples can tell.
    "$analyse" sample morris --range initialEnergy=0:3 --range foodRarity=0:3 -n 200 --seed 6 \
        --params "$params" >d.csv
    results_of d.csv 'initialEnergy foodRarity' 'x[1] * x[2]' >r.csv
    "$analyse" morris d.csv r.csv --metric y --output table.csv
    awk -F, 'NR == FNR { if ($28 == "initialEnergy") { e = 1.5 * ($4 - last) * $5
            e = e < 0 ? -e : e; s += e; ss += e * e; n++ }; last = $4; next }
        $1 == "initialEnergy" { mean = s / n; sd = sqrt((ss - n * mean ^ 2) / (n - 1))
            width = 2 * 1.959964 * sd / sqrt(n); r = ($4 - $3) / width
            ok = n == 200 && ($2 - mean) ^ 2 < 1e-9 && ($6 - sd) ^ 2 < 1e-9 && r > 0.9 && r < 1.1 }
        END { exit !ok }' d.csv table.csv || fail "Morris on an interaction: $(<table.csv)"
    ;;
designs)
    # A Latin hypercube over exactly N values takes each once; replicates run on S + r, mod 2^32.
    "$analyse" sample lhs --range regenRarity=-50:49 --range maxSteps=2147483548:2147483647 \
        -n 100 --replicates 2 --seed 4294967295 --params "$params" >d.csv
    for column in 18 24; do
        [ "$(awk -F, -v c=$column 'NR > 1 && $2 == 1 { print $c }' d.csv | sort -n | uniq | wc -l)" = 100 ] ||
            fail "column $column does not take each value once"
    done
    [ "$(awk -F, 'NR > 1 { print $2 "," $3 }' d.csv | sort | uniq -c | tr -s ' ')" = ' 100 0,4294967295
 100 1,0' ] || fail "replicates' seeds"
    awk -F, 'NR > 1 && ($18 < -50 || $18 > 49 || $24 < 2147483548) { exit 1 }' d.csv ||
        fail "values outside their range"
    # Morris's four levels are a range's ends and thirds, rounded.
    "$analyse" sample morris --range stepCost=0:4 -n 20 --seed 1 --params "$params" >d.csv
    [ "$(awk -F, 'NR > 1 { print $21 }' d.csv | sort -u | tr '\n' ' ')" = '0 1 3 4 ' ] ||
        fail "Morris levels of 0:4"
    # A Saltelli base point: A, B, and A with each parameter from B.
    "$analyse" sample sobol --range stepCost=1:1000 --range foodEnergy=1:1000 -n 2 --seed 1 \
        --params "$params" >d.csv
    awk -F, 'NR > 1 { a[$26 $27] = $21 "," $22 }
        END { split(a[0 "A"], A, ","); split(a[0 "B"], B, ",")
              exit !(a[0 "stepCost"] == B[1] "," A[2] && a[0 "foodEnergy"] == A[1] "," B[2] &&
                     A[1] != B[1] && A[2] != B[2]) }' d.csv || fail "an AB row is not A's with B's one"
    ;;
refusals)
    "$analyse" sample sobol --range stepCost=1:3 --range foodRarity=4:9 -n 4 --replicates 2 \
        --seed 1 --params "$params" >d.csv
    results_of d.csv 'stepCost foodRarity' 'x[1] * x[2] + r' >r.csv
    sed '5d' r.csv >missing.csv
    sed '5d' d.csv >short.csv
    sed '4s/^\([0-9]*\),0,1,1000,/\1,0,2,1000,/' r.csv >other.csv
    mkdir folder
    while IFS='|' read -r status message args; do
        got=0
        eval "\"\$analyse\" $args" >out 2>err || got=$?
        [ "$got" = "$status" ] && grep -qF "vantu-analyse: $message" err && ! grep -q Traceback err &&
            [ ! -e table.csv ] && [ ! -s out ] || fail "$args: status $got, $(<err)"
    done <<'EOF'
2|--range stepCost: 2147483648 is outside|sample lhs -n 2 --range stepCost=0:2147483648
2|--range stepCost: 5:4 holds no value|sample lhs -n 2 --range stepCost=5:4
2|--range stepCost is given twice|sample lhs -n 2 --range stepCost=1:2 --range stepCost=1:2
2|unknown parameter 'cost'|sample lhs -n 2 --range cost=1:2
1|cannot open /no/p.txt: No such file or directory|sample lhs -n 2 --range stepCost=1:2 --params /no/p.txt
2|a Sobol design takes a power of 2 of base points (-n), not 6|sample sobol -n 6 --range stepCost=1:2
2|r.csv has no column 'food'|sobol d.csv r.csv --metric food --output table.csv
1|missing.csv lacks 1 runs of d.csv: 3;|sobol d.csv missing.csv --metric y --output table.csv
1|run 2 of other.csv has seed 2, d.csv 1: results of another design|sobol d.csv other.csv --metric y --output table.csv
1|short.csv is not a whole sample: a point has 1 rows, another 2|sobol short.csv missing.csv --metric y --output table.csv
1|r.csv holds runs that short.csv lacks (3)|sobol short.csv r.csv --metric y --output table.csv
1|d.csv has no column 'trajectory'|morris d.csv r.csv --metric y --output table.csv
2|cannot write folder: it is a folder|sobol d.csv r.csv --metric y --plot folder --output table.csv
EOF
    ;;
chain)
    # A small real experiment: its table, its plots, and the same table whatever the rows' order
    # and whether the metric comes from the results or from the series at the last step.
    "$analyse" sample sobol --range foodRarity=4:20 --range poisonRarity=5:40 --range stepCost=1:3 \
        -n 16 --replicates 2 --seed 9 --params "$params" >d.csv
    "$sweep" run d.csv --ticks 1000 --jobs 2 --quiet --output r.csv --series s.csv --every 100
    "$sweep" merge r.csv --design d.csv --output merged.csv
    "$analyse" sobol d.csv merged.csv --metric food --output table.csv --plot bars.png \
        --convergence convergence.png
    [ "$(cut -d, -f1 table.csv | tr '\n' ' ')" = 'parameter foodRarity poisonRarity stepCost sum_of_S1 replicate_noise ' ] ||
        fail "the table's rows: $(<table.csv)"
    awk -F, '$1 == "replicate_noise" { exit !($8 > 0 && $8 < 1) }' table.csv ||
        fail "two replicates and no noise share: $(<table.csv)"
    for png in bars.png convergence.png; do
        [ "$(head -c 8 $png | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "$png is no PNG"
    done
    { head -n 1 d.csv && tail -n +2 d.csv | sort -t, -k3,3r -k1,1n; } >shuffled-design.csv
    { head -n 1 r.csv && tail -n +2 r.csv | sort -t, -k27,27 -k1,1nr; } >shuffled-results.csv
    "$analyse" sobol shuffled-design.csv shuffled-results.csv --metric food | cmp - table.csv ||
        fail "the table changes with the rows' order"
    "$analyse" sobol d.csv s.csv --step 1000 --metric food | cmp - table.csv ||
        fail "the series' rows at the last step do not give the results' table"
    ;;
*) fail "no case $case" ;;
esac
