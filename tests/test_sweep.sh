#!/usr/bin/env bash
# vantu-sweep and vantu-headless --summary end to end: plans, determinism across jobs and shards,
# agreement with the plain log, kills, stops and resumes, dying workers, progress, the default
# --jobs, foreign files and bad input.
# usage: test_sweep.sh CASE SWEEP HEADLESS PARAMS
set -euo pipefail
case=$1 sweep=$2 headless=$3 params=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

fail() {
    echo "test_sweep $case: $*" >&2
    exit 1
}
# The named columns of a CSV file, header included, in the given order.
columns() {
    awk -F, -v want="$1" '!n { n = split(want, w, ",")
        for (i = 1; i <= NF; i++) at[$i] = i }
        { line = $at[w[1]]; for (i = 2; i <= n; i++) line = line "," $at[w[i]]; print line }' "$2"
}
# A design of 36 short runs that end each of the three ways; the results of its rows.
small_design() {
    "$sweep" plan --params "$params" --vary maxSteps=300,5000 --vary foodRarity=4,0x1e \
        --vary stepCost=3:1:-1 --replicates 3 --seed 4294967294 >design.csv
}
case $case in
plan)
    "$sweep" plan --params "$params" --vary foodRarity=0x4,011,2:8:3 --vary stepCost=-1,1 \
        --replicates 2 --seed 4294967295 >design.csv
    columns run,replicate,seed,foodRarity,stepCost,initialEnergy,maxSteps design.csv >got
    {
        echo run,replicate,seed,foodRarity,stepCost,initialEnergy,maxSteps
        run=0
        for seed in 4294967295 0; do
            for food in 4 9 2 5 8; do
                for cost in -1 1; do
                    echo "$run,$((run / 10)),$seed,$food,$cost,1000,6000"
                    run=$((run + 1))
                done
            done
        done
    } >expected
    diff expected got || fail "the plan's rows are not in order or not of the values given"
    [ "$(head -n 1 design.csv | tr ',' '\n' | wc -l)" -eq 25 ] || fail "the design is not 25 columns"
    ;;
determinism)
    small_design
    "$sweep" run design.csv --ticks 800 --jobs 1 --quiet --output one.csv
    "$sweep" run design.csv --ticks 800 --jobs 2 --quiet --output two.csv
    for i in 0 1 2 3; do
        "$sweep" run design.csv --ticks 800 --jobs 2 --shard "$i/4" --quiet --output "shard$i.csv"
    done
    "$sweep" merge one.csv --design design.csv --output one.merged
    "$sweep" merge two.csv >two.merged
    "$sweep" merge shard3.csv shard1.csv shard0.csv shard2.csv two.csv >shards.merged
    cmp one.merged two.merged || fail "--jobs 1 and --jobs 2 differ"
    cmp one.merged shards.merged || fail "four shards differ from one run"
    for i in 0 1 2 3; do
        columns run "shard$i.csv" | awk -v i="$i" 'NR > 1 && $1 % 4 != i { exit 1 }' ||
            fail "shard $i/4 ran another shard's runs"
    done
    plan_run=(plan-run --design planned.csv --params "$params" --vary maxSteps=300,5000
        --vary foodRarity=4,0x1e --vary stepCost=3:1:-1 --replicates 3 --seed 4294967294
        --ticks 800 --shard 1/2 --quiet --output planned.results)
    "$sweep" "${plan_run[@]}" && "$sweep" "${plan_run[@]/1\/2/0/2}" && "$sweep" "${plan_run[@]}"
    "$sweep" merge planned.results | cmp - one.merged || fail "plan-run differs from plan and run"
    [ "$(wc -l <one.merged)" -eq 37 ] || fail "the merge is not 36 rows"
    [ "$(columns run one.merged | tail -n +2 | tr '\n' ' ')" = "$(seq -s ' ' 0 35) " ] ||
        fail "the merge is not sorted by run"
    for kind in energy maxSteps ticks; do
        columns end one.merged | grep -qx "$kind" || fail "no run ends by $kind"
    done
    ;;
summary)
    small_design
    "$sweep" run design.csv --ticks 800 --jobs 2 --quiet --output r.csv --series s.csv --every 7
    tail -n +2 r.csv >rows.csv
    metrics=steps,end,energy,food,poison,restored,visited
    while IFS=, read -r run replicate seed rest; do
        food=$(columns foodRarity design.csv | sed -n "$((run + 2))p")
        cost=$(columns stepCost design.csv | sed -n "$((run + 2))p")
        steps=$(columns maxSteps design.csv | sed -n "$((run + 2))p")
        args=(--seed "$seed" --ticks 800 --params "$params" --set foodRarity="$food"
            --set stepCost="$cost" --set maxSteps="$steps")
        "$headless" "${args[@]}" --summary --series series.csv --every 7 >summary.csv
        [ "$(tail -n 1 summary.csv)" = "0,0,$seed,$rest" ] || fail "run $run: --summary differs"
        "$headless" "${args[@]}" --series logged.csv --every 7 >log
        # The log's own account: step, food, poison and item lines (the first may follow "Starting
        # up..."); the last energy; the squares stood on, from each step's two squares.
        read -r nsteps energy visited < <(awk -F'[ ,:]+' '{ sub(/^Starting up\.\.\./, "") } /Energy:/ { n++; e = $NF
            seen[$3 "," $4] = 1; seen[$8 "," $9] = 1 }
            END { for (s in seen) v++; print n, e, v }' log)
        end=ticks
        [ "$energy" -gt 0 ] || end=energy
        [ "$end" = energy ] || [ "$nsteps" -lt "$steps" ] || end=maxSteps
        expected="$nsteps,$end,$energy,$(grep -c 'Found food' log),$(grep -c 'Found poison' log)"
        expected="$expected,$(grep -c 'Item generated' log),$visited"
        [ "$(columns "$metrics" summary.csv | tail -n 1)" = "$expected" ] ||
            fail "run $run: the summary is not what its log says: $expected"$'\n'"$(cat summary.csv)"
        bands=priority0orLess,priority1to3,priority4to6,priority7to9,priority10to14,priority15orMore
        [ $(($(columns "$bands" summary.csv | tail -n 1 | tr ',' '+'))) -eq 2401 ] ||
            fail "run $run: the bands do not cover the board"
        # The series: a row at step 0, after every 7th step and after the last, each the state
        # that a run of that many ticks ends in; the last is the summary's.
        cmp series.csv logged.csv || fail "run $run: the series differs beside the log"
        awk -F, -v last="$nsteps" 'NR > 1 && $2 != ((NR - 2) * 7 < last ? (NR - 2) * 7 : last) { exit 1 }
            END { exit $2 != last || NR - 1 != int((last + 6) / 7) + 1 }' series.csv ||
            fail "run $run: the series' steps are not 0, every 7th and the last ($nsteps)"
        [ "0,$(columns "steps,energy,food,poison,restored,visited,$bands" summary.csv | tail -n 1)" = \
            "$(tail -n 1 series.csv)" ] || fail "run $run: the series' last row is not the summary"
        "$headless" "${args[@]/800/14}" --summary >at14.csv
        [ "0,$(columns "steps,energy,food,poison,restored,visited,$bands" at14.csv | tail -n 1)" = \
            "$(sed -n 4p series.csv)" ] || fail "run $run: the series' row at step 14 is not its state"
        sed "s/^0,/$run,/" series.csv | tail -n +2 >"series-$run.csv"
    done <rows.csv
    [ "$(head -n 1 summary.csv)" = "$("$sweep" run design.csv --ticks 1 --quiet | head -n 1)" ] ||
        fail "--summary's header is not the sweep's"
    # A sweep's series is its runs' series, run by run.
    "$sweep" merge s.csv --design design.csv |
        cmp - <(head -n 1 series.csv && for run in $(seq 0 35); do cat "series-$run.csv"; done) ||
        fail "the sweep's series is not the runner's"
    ;;
kill_resume)
    "$sweep" plan --params "$params" --vary foodRarity=2:41:1 --replicates 60 --seed 5 >long.csv
    series=(--series killed.series --every 500)
    "$sweep" run long.csv --ticks 4000 --jobs 1 --quiet --output reference.csv \
        --series reference.series --every 500
    "$sweep" merge reference.csv >reference.merged
    # Each kill comes later than the last, so that the sweep ends.
    kills=0
    until "$sweep" run long.csv --ticks 4000 --jobs 2 --quiet --output killed.csv "${series[@]}" &
        pid=$!
        sleep "$(((RANDOM % 50 + 10) * (kills + 1)))e-3"; kill -9 "$pid" 2>/dev/null && kills=$((kills + 1))
        wait "$pid"; do
        # A row cut short, as a kill inside a write leaves it.
        [ ! -s killed.csv ] || printf '12,0,5,1000,9' >>killed.csv
        [ ! -s killed.series ] || printf '12,500,9' >>killed.series
    done
    [ "$kills" -gt 0 ] || fail "the sweep was never killed"
    "$sweep" merge killed.csv --design long.csv | cmp - reference.merged ||
        fail "killed $kills times and resumed, the results differ"
    "$sweep" merge killed.series --design long.csv | cmp - <("$sweep" merge reference.series) ||
        fail "killed $kills times and resumed, the series differs"
    [ "$(cat killed.csv killed.series | wc -l)" = "$(cat reference.csv reference.series | wc -l)" ] ||
        fail "killed $kills times and resumed, a run's rows are there twice"
    # A run whose series rows are written but not its result row, as a kill between the two
    # writes leaves it: its rows are moved out and it runs again, so that they are there once.
    sed -i 5d killed.csv
    "$sweep" run long.csv --ticks 4000 --quiet --output killed.csv "${series[@]}"
    "$sweep" merge killed.series | cmp - <("$sweep" merge reference.series) &&
        [ "$(wc -l <killed.series)" = "$(wc -l <reference.series)" ] ||
        fail "the series of a run without its result is not moved out"
    ;;
worker_dies)
    # Long runs, so that a worker is all but always inside one.
    "$sweep" plan --params "$params" --vary initialEnergy=999999 --vary maxSteps=999999 \
        --replicates 100 --seed 9 >long.csv
    "$sweep" run long.csv --ticks 100000 --jobs 1 --quiet --output reference.csv
    "$sweep" merge reference.csv >reference.merged
    "$sweep" run long.csv --ticks 100000 --jobs 2 --output partial.csv 2>err & pid=$!
    while [ ! -s partial.csv ] || [ "$(wc -l <partial.csv)" -lt 6 ]; do sleep 0.01; done
    [ -e "/proc/$pid" ] || fail "the sweep ended before a worker could be killed"
    worker=$(cut -d " " -f 1 "/proc/$pid/task/$pid/children")
    kill -9 "$worker"
    status=0 && wait "$pid" || status=$?
    [ "$status" -eq 1 ] || fail "status $status after a worker died"
    # Inside a run, that run is named and missing; between runs (on a busy machine the parent
    # may keep a worker waiting), nothing is missing.
    lost=$(sed -nE "s/^vantu-sweep: run ([0-9]+) failed: its worker \\(pid $worker\\) was killed by signal 9.*/\\1/p" err)
    [ -n "$lost" ] || grep -q "a worker (pid $worker) was killed by signal 9 (Killed) between runs" err ||
        fail "the dead worker is not reported: $(cat err)"
    grep -q "workers died: 1, runs failed: $([ -n "$lost" ] && echo 1 || echo 0);" err ||
        fail "the deaths are miscounted: $(cat err)"
    status=0 && "$sweep" merge partial.csv --design long.csv >/dev/null 2>err || status=$?
    expected=${lost:+"1:vantu-sweep: 1 of 100 runs of long.csv are missing: $lost"}
    [ "$status:$(cat err)" = "${expected:-0:}" ] ||
        fail "merge does not name the run missing (${lost:-none}): $(cat err)"
    "$sweep" run long.csv --ticks 100000 --quiet --output partial.csv
    "$sweep" merge partial.csv | cmp - reference.merged || fail "the rerun does not complete it"
    ;;
interrupt)
    "$sweep" plan --params "$params" --vary initialEnergy=999999 --vary maxSteps=999999 \
        --replicates 100 --seed 9 >long.csv
    run=(run long.csv --ticks 300000 --output stopped.csv)
    "$sweep" "${run[@]/stopped/reference}" --quiet
    rows=0
    for _ in fresh resumed; do
        set -m  # a process group of its own, where SIGINT is not ignored
        "$sweep" "${run[@]}" 2>err & pid=$!
        set +m
        # Rows of its own: its workers, and so its handling of signals, have started.
        while [ "$(cat stopped.csv 2>/dev/null | wc -l)" -lt $((rows + 6)) ]; do sleep 0.01; done
        kill -INT -- -"$pid"  # Ctrl-C: the sweep and its workers
        status=0 && wait "$pid" || status=$?
        rows=$(wc -l <stopped.csv)
        said="stopped by signal 2 (Interrupt): $((rows - 1)) of 100 runs done; the same command resumes"
        [ "$status:$(wc -l <err):$(tail -n 1 err)" = "130:2:vantu-sweep: $said" ] ||
            fail "status $status, not what was done or a failure said: $(cat err)"
    done
    # The same command, in a terminal of 66 columns: a bar a column short of its width.
    script -qec "stty cols 66; '$sweep' ${run[*]}" /dev/null </dev/null >tty
    "$sweep" merge stopped.csv | cmp - <("$sweep" merge reference.csv) || fail "not resumed whole"
    tr '\r' '\n' <tty | sed 's/\x1b\[K//' | awk '/^\[#*\.*\] / { bar = 1 } length > 65 { long = 1 }
        END { exit long || !bar }' || fail "no bar, or one too wide: $(cat tty)"
    ;;
endless_runs)
    # Runs that end only when stopped: energy neither spent nor gained, no step limit to speak of.
    "$sweep" plan --params "$params" --vary stepCost=0 --vary foodEnergy=0 --vary poisonEnergy=0 \
        --vary maxSteps=2147483647 --replicates 4 >endless.csv
    "$sweep" run endless.csv --jobs 1 --output results.csv 2>err & pid=$!
    # SIGINT is ignored, as by any job in a script's background; SIGTERM, a batch system's, stops.
    sleep 11 && kill -INT "$pid" && sleep 0.2 && kill -TERM "$pid"
    status=0 && wait "$pid" || status=$?
    line='vantu-sweep: 0 of 4 runs, 0.0 runs/s, 0:00:1[0-2] elapsed, --:--:-- left'
    said="vantu-sweep: stopped by signal 15 (Terminated): 0 of 4 runs done; the same command resumes"
    [ "$status:$(grep -cx "$line" err):$(wc -l <err):$(tail -n 1 err)" = "143:2:3:$said" ] ||
        fail "no line on the clock, or not the stop: status $status: $(cat err)"
    # On a terminal the bar is redrawn every second, the time elapsed moving.
    script -qc "timeout 3.5 '$sweep' run endless.csv --jobs 1 --output tty.csv" /dev/null </dev/null >tty
    [ "$(grep -o '0:00:0. elapsed' tty | sort -u | wc -l)" -ge 4 ] || fail "not redrawn: $(cat tty)"
    # --jobs by default: the CPUs allowed, the cgroup's quota (- for none) and the workers to start.
    while read -r cpus quota workers; do
        unshare -m --propagation unchanged sh -ec 'mount --make-rprivate /sys/fs/cgroup
            mount -t tmpfs none /sys/fs/cgroup; [ "$2" = - ] || echo "$2" >/sys/fs/cgroup/cpu.max
            exec taskset -c "$1" "$0" run endless.csv --quiet' "$sweep" "$cpus" "${quota/_/ }" & pid=$!
        sleep 1 && got=$(wc -w <"/proc/$pid/task/$pid/children")
        kill "$pid" && wait "$pid" || true
        [ "$got" -eq "$workers" ] || fail "CPUs $cpus, quota $quota: $got workers, not $workers"
    done <<'TABLE'
0 - 1
0,1 50000_100000 1
0,1 150000_100000 2
TABLE
    ;;
foreign)
    small_design
    "$sweep" run design.csv --ticks 100 --quiet --output mine.csv
    "$sweep" plan --params "$params" --seed 1 >other.csv
    "$sweep" run other.csv --ticks 100 --quiet --output theirs.csv
    # A row cut short but ending in a line break is no result, even with every field there; a
    # table without its identity beside it (a copy, a redirection) is of no known sweep.
    cp mine.csv cut.csv && cp mine.csv.vantu cut.csv.vantu && sed -n '2s/.$//p' mine.csv >>cut.csv
    cp mine.csv bare.csv && cp mine.csv before.csv
    # A series asked for only now: every run again, for its series alone.
    "$sweep" run design.csv --ticks 100 --quiet --output mine.csv --series mine.series --every 5
    [ "$(cut -d, -f1 mine.series | sort -u | wc -l)" = 37 ] || fail "runs without their series"
    while IFS='|' read -r message use; do
        status=0 && $sweep $use >out 2>err || status=$?
        [ "$status" -eq 2 ] && grep -qF "$message" err && [ ! -s out ] ||
            fail "$use: not refused ($status): $(cat err)"
    done <<'TABLE'
mine.csv holds results of another sweep|run design.csv --ticks 99 --output mine.csv
mine.csv holds results of another sweep|run other.csv --ticks 100 --output mine.csv
theirs.csv holds results of another sweep|merge mine.csv theirs.csv
not of the design other.csv|merge mine.csv --design other.csv
cut.csv line 38: is not a whole result row|run design.csv --ticks 100 --output cut.csv
cut.csv line 38: is not a whole result row|merge cut.csv
bare.csv.vantu, which says of which sweep|run design.csv --ticks 100 --output bare.csv
bare.csv.vantu, which says of which sweep|merge bare.csv
mine.series holds results of another sweep|run design.csv --ticks 100 --output mine.csv --series mine.series --every 6
TABLE
    cmp mine.csv before.csv || fail "a refused resume changed the file"
    ;;
tables)
    small_design
    # The design as R's write.csv and pandas' to_csv(quoting=1) write one: a byte-order mark,
    # every field quoted, CRLF, a column of row names first, a text column holding a comma and
    # quotes, blank lines at the end. Its runs are the plain design's.
    python3 - <<'EOF'
import csv
with open("design.csv", newline="") as f:
    rows = list(csv.reader(f))
with open("quoted.csv", "w", newline="", encoding="utf-8-sig") as f:
    writer = csv.writer(f, quoting=csv.QUOTE_ALL)
    for i, row in enumerate(rows):
        writer.writerow([str(i) if i else ""] + row[:4] + ["note" if i == 0 else 'a, "b"'] + row[4:])
    f.write("\r\n\r\n")
EOF
    "$sweep" run design.csv --ticks 300 --quiet --output plain.csv
    "$sweep" run quoted.csv --ticks 300 --quiet --output quoted.results
    "$sweep" merge quoted.results | cmp - <("$sweep" merge plain.csv) ||
        fail "a quoted design runs otherwise than the plain one"
    # Every table loads with a CSV reader's defaults: the header first, each row as long.
    "$headless" --params "$params" --seed 3 --ticks 50 --summary >summary.csv
    "$sweep" merge plain.csv --output merged.csv
    python3 - design.csv plain.csv merged.csv summary.csv <<'EOF' || fail "not plain CSV"
import csv, sys
for path in sys.argv[1:]:
    with open(path, newline="") as f:
        reader = csv.DictReader(f)
        rows = list(reader)
    assert reader.fieldnames[:3] == ["run", "replicate", "seed"], path
    assert rows and all(None not in row and None not in row.values() for row in rows), path
    assert all(int(row["seed"]) >= 0 and int(row.get("steps", 0)) >= 0 for row in rows), path
EOF
    ;;
outputs)
    small_design
    "$sweep" run design.csv --ticks 100 --quiet --output r.csv
    "$sweep" merge r.csv --output expected.csv
    "$sweep" merge expected.csv | cmp - expected.csv || fail "a merged table does not merge again"
    # Through a link its target is replaced and the link stays; a FIFO is written to.
    ln -s target.csv link.csv && ln -s boards.png picture.png && mkfifo fifo && mkdir folder
    "$sweep" merge r.csv --output link.csv
    [ -L link.csv ] && cmp target.csv expected.csv || fail "merge --output replaced a link"
    "$headless" --params "$params" --seed 3 --ticks 10 --picture picture.png >/dev/null
    [ -L picture.png ] && [ -s boards.png ] || fail "--picture replaced a link"
    cat fifo >from-fifo & reader=$!
    timeout 10 "$sweep" merge r.csv --output fifo && wait "$reader" && cmp from-fifo expected.csv ||
        fail "merge --output FIFO"
    if [ "$(id -u)" -eq 0 ]; then  # a device of the test's own, as root: written, never replaced
        mknod null c 1 3
        "$sweep" merge r.csv --output null && [ -c null ] || fail "merge --output replaced a device"
        "$headless" --params "$params" --ticks 10 --picture null >/dev/null && [ -c null ] ||
            fail "--picture replaced a device"
    fi
    # Refused at once, with the reason; run's output is read back to resume, so it is a file.
    sweep() { timeout 10 "$sweep" "$@"; }
    headless() { "$headless" --params "$params" --ticks 10 "$@"; }
    while IFS='|' read -r status message args; do
        got=0 && eval "$args" >out 2>err || got=$?
        [ "$got" -eq "$status" ] && grep -qF -- "$message" err ||
            fail "$args: status $got (not $status), or not '$message': $(cat err)"
    done <<'TABLE'
1|cannot write folder: Is a directory|sweep merge r.csv --output folder
2|fifo is not a regular file: --output is read back|sweep run design.csv --output fifo
2|/dev/full is not a regular file|sweep run design.csv --output /dev/full
1|cannot write /dev/full: No space left on device|headless --picture /dev/full
1|cannot make a temporary file: No such file|TMPDIR=/nonexistent sweep merge r.csv
TABLE
    # One writer: a second sweep on the same file stops at once and leaves it alone.
    "$sweep" plan --params "$params" --vary initialEnergy=999999999 --vary maxSteps=2147483647 \
        --replicates 2 --seed 9 >endless.csv  # runs of a minute or more
    "$sweep" run endless.csv --jobs 1 --quiet --output locked.csv & first=$!
    until [ -s locked.csv ]; do sleep 0.01; done
    cp locked.csv before.csv
    status=0 && "$sweep" run endless.csv --jobs 1 --quiet --output locked.csv 2>err || status=$?
    [ "$status" = 1 ] && grep -qF "another sweep is writing locked.csv" err ||
        fail "a second writer was let in ($status): $(cat err)"
    cmp locked.csv before.csv || fail "the second writer changed the file"
    kill "$first"
    ;;
merge)
    small_design
    "$sweep" run design.csv --ticks 300 --quiet --output r.csv
    # Two different results for one run cannot both be right.
    awk -F, -v OFS=, 'NR == 5 { $28 += 1 } 1' r.csv >changed.csv && cp r.csv.vantu changed.csv.vantu
    status=0 && "$sweep" merge r.csv changed.csv >out 2>err || status=$?
    [ "$status" = 2 ] && grep -q "run [0-9]* has two different results" err && [ ! -s out ] ||
        fail "two results of one run merged ($status): $(cat err)"
    # More rows than a chunk holds, in falling order: sorted through the spilled chunks.
    awk -F, -v OFS=, 'NR == 1 { print } NR == 2 { for (run = 299999; run >= 0; run--) {
        $1 = run; print } }' r.csv >big.csv && cp r.csv.vantu big.csv.vantu
    "$sweep" merge big.csv 2>err >big.merged && [ ! -s err ] || fail "$(cat err)"
    awk -F, 'NR > 1 && $1 != NR - 2 { exit 1 } END { exit NR != 300001 }' big.merged ||
        fail "a merge of many chunks is not every run in order"
    ;;
bad_input)
    small_design
    sed '3s/,5,/,5x,/' design.csv >malformed.csv
    sed '4s/,5,/,/' design.csv >short.csv
    sed '1s/seed,//' design.csv >noseed.csv
    sweep() { "$sweep" "$@"; }
    headless() { "$headless" "$@"; }
    while IFS='|' read -r status message args; do
        got=0 && eval "$args" >out 2>err || got=$?
        [ "$got" -eq "$status" ] && grep -qF -- "$message" err && [ ! -s out ] && [ ! -e written.csv ] ||
            fail "$args: status $got (not $status), or not '$message': $(cat err)"
    done <<'TABLE'
2|unknown parameter 'food'; the parameters are: initialEnergy foodRarity|sweep plan --vary food=1
2|foodRarity=: an empty list of values|sweep plan --vary foodRarity=
2|the range '1:5:0' has a step of 0|sweep plan --vary foodRarity=1:5:0
2|the range '5:1:1' has a step of 1|sweep plan --vary foodRarity=5:1:1
2|--replicates takes a whole number from 1, not '0'|sweep plan --replicates 0
2|100000000 runs or more|sweep plan --vary stepCost=1:10000:1 --vary foodRarity=1:10000:1
2|is not a CSV design|sweep run "$params" --output written.csv
2|malformed.csv line 3: foodPriority is a value as the parameter file writes one, not '5x'|sweep run malformed.csv --output written.csv
2|short.csv line 4: has 24 fields where the header has 25|sweep run short.csv --output written.csv
2|noseed.csv: lacks the column seed|sweep run noseed.csv --output written.csv
2|--shard takes I/K, whole numbers with I below K, not '4/4'|sweep run design.csv --shard 4/4 --output written.csv
2|cannot open /nonexistent/r.csv for the results|sweep run design.csv --output /nonexistent/r.csv
2|design.csv holds another design|sweep plan-run --design design.csv --params "$params" --seed 1 --output written.csv
2|unknown parameter 'food'|headless --set food=3 --summary --params "$params"
2|not 'x'|headless --set stepCost=x --summary --params "$params"
2|--every takes a whole number from 1, not '0'|headless --series written.csv --every 0 --params "$params"
2|--every is the period of a series: it needs --series FILE|headless --every 5 --summary --params "$params"
2|--series is resumed beside its results: it needs --output FILE|sweep run design.csv --series written.csv
2|--every is the period of a series|sweep run design.csv --every 3 --output written.csv
2|cannot write /nonexistent/s.csv: No such file|headless --series /nonexistent/s.csv --params "$params"
TABLE
    ;;
*) fail "no such case" ;;
esac
