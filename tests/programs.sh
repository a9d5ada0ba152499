#!/usr/bin/env bash
# The programs as a user meets them, one case a run (the window cases on an X server of their own):
# programs.sh CASE VANTU VANTU_HEADLESS SOURCE_FOLDER BUILD_FOLDER CMAKE SOAK_STEPS [PRELOAD]
# PRELOAD goes to the window program alone, as LD_PRELOAD.
set -euo pipefail
case_name=$1 vantu=$2 headless=$3 source=$4 build=$5 cmake=$6 soak_steps=$7 preload=${8:-}
TITLE='Vantu - Version 0.5 6/6/01' MAX=2147483647 MIN=-2147483648 START='Starting up...'
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2 && exit 1; }
wait_until() {  # SECONDS CONDITION...: polls every 10 ms
    local deadline=$(($(date +%s) + $1))
    until "${@:2}"; do [ "$(date +%s)" -le "$deadline" ] && sleep 0.01 || return 1; done
}

# check STATUS 'piece of standard error' 'start of the log' ARGS...: the runner in a folder with
# no preference.txt; an empty piece or start wants nothing written there.
check() {
    local status=0
    (cd "$work" && exec "$headless" "${@:4}") >"${log:-$work/out}" 2>"$work/err" || status=$?
    [ "$status" = "$1" ] && [[ $(<"$work/err") == *"$2"* && (-n $2 || ! -s $work/err) ]] &&
        { [ -n "${log:-}" ] || [[ $(<"$work/out") == "$3"* && (-n $3 || ! -s $work/out) ]]; } ||
        fail "${*:4}: status $status, standard error: $(<"$work/err")"
}

# Every option that PROGRAM's help lists, under the command whose paragraph it follows, is taken:
# given its value's name as the value, it is refused with a message of its own or done, never
# unknown, nor a silent failure; the help lists COUNT of them.
options_listed_are_taken() {  # PROGRAM COUNT
    local listed=0 option command status
    while IFS='|' read -r option command; do
        status=0 && (cd "$work" && exec "$1" $command $option) >/dev/null 2>"$work/err" || status=$?
        [[ $(<"$work/err") != *"unknown option"* ]] && { [ "$status" = 0 ] || [ -s "$work/err" ]; } ||
            fail "$1 $command $option: status $status, standard error: $(<"$work/err")"
        listed=$((listed + 1))
    done < <("$1" --help | awk '/^[a-z-]+: / && !/^usage:/ { command = substr($1, 1, length($1) - 1) }
        /^  --/ { split($0, label, /  +/); print label[2] "|" command }')
    [ "$listed" = "$2" ] || fail "$1 --help lists $listed options, not $2"
}

case_headless() {
    local try="Try 'vantu-headless --help'." file=$work/file.txt
    check 0 '' $'usage: vantu-headless [--seed N] [--ticks N] [--params FILE]\n' --help
    options_listed_are_taken "$headless" 10
    check 2 $'vantu-headless: unknown option \'--bogus\'\n'"$try" '' --bogus
    check 2 "unknown option 'stray'" '' stray
    check 2 $'vantu-headless: missing value after \'--seed\'\n'"$try" '' --seed
    check 2 "vantu-headless: --seed takes a whole number from 0 to 4294967295, not 'abc'" '' --seed abc
    check 2 "not '4294967296'" '' --seed 4294967296
    check 2 "not '-1'" '' --seed -1
    check 2 "vantu-headless: --ticks takes a whole number of 0 or more, not '1x'" '' --ticks 1x
    check 2 "not ''" '' --ticks ''
    check 2 "not '18446744073709551616'" '' --ticks 18446744073709551616
    check 2 $'vantu-headless: unknown parameter \'food\'; the parameters are: initialEnergy foodRarity' '' --set food=1
    check 1 'vantu-headless: cannot open preference.txt: No such file or directory' '' --seed 4294967295
    check 1 'vantu-headless: cannot open /no/p.txt: No such file or directory' '' --params /no/p.txt
    check 1 'vantu-headless: cannot read /: Is a directory' '' --params /
    for cut in 'poison lots:3 (poisonRarity): its value is not a number' \
        'poison:3 (poisonRarity): the file ends before its value' ':3 (poisonRarity): the file ends before its label'; do
        printf 'energy 10\nfood 5\n%s' "${cut%%:*}" >"$file"
        check 0 "vantu-headless: $file: parameter ${cut#*:}; it and every later parameter are 0" "$START" --params "$file"
        [ "$(<"$work/out")" = "$START" ] || fail "maxSteps 0, and a step"
    done
    log=/dev/full check 1 'vantu-headless: cannot write the log: No space left' '' --params "$source/preference.txt"
    # The log depends on the seed and the number of ticks alone.
    run() { "$headless" --params "$source/preference.txt" "$@"; }
    run --seed 77 --ticks 300 >"$work/a"
    [ "$(grep -c ' Energy:' "$work/a")" = 300 ] || fail "not 300 steps in 300 ticks"
    run --ticks 300 --seed 77 | cmp - "$work/a" || fail "the log changes with the order of options"
    run --seed 77 --ticks 301 | head -c "$(stat -c %s "$work/a")" | cmp - "$work/a" || fail "longer"
    ! run --seed 78 --ticks 300 | cmp -s - "$work/a" || fail "the seed changes nothing"
    [ "$(run --seed 77 --ticks 0)" = "$START" ] || fail "a run of no tick"
    # All 22 set, the run needs no file, and is the file's run; one short, it needs the file.
    local every=() name value
    while read -r name value; do every+=(--set "$name=$value"); done <"$source/preference.txt"
    log=$work/b check 0 '' '' --seed 77 --ticks 300 "${every[@]:2}" "${every[@]}"
    cmp "$work/a" "$work/b" || fail "all 22 set: not the file's run"
    check 1 'cannot open preference.txt' '' --seed 77 "${every[@]:2}"
}

case_installation() {
    local prefix=$work/prefix
    "$cmake" --install "$build" --prefix "$prefix" >/dev/null
    for file in bin/vantu{,-headless,-sweep,-analyse} share/vantu/preference.txt share/man/man1/vantu{,-headless,-sweep,-analyse}.1; do
        [ -f "$prefix/$file" ] || fail "$file is not installed"
        [[ $file != *.1 ]] || [ -z "$(groff -man -Tutf8 -ww -z "$prefix/$file" 2>&1)" ] || fail "$file renders with warnings"
    done
    "$prefix/bin/vantu-headless" --seed 11 --ticks 500 --params "$prefix/share/vantu/preference.txt" |
        cmp - <("$headless" --seed 11 --ticks 500 --params "$source/preference.txt") ||
        fail "the installed runner's log differs from the build's"
    "$prefix/bin/vantu-sweep" --help | head -n 1 | grep -q '^usage: vantu-sweep plan ' ||
        fail "the installed vantu-sweep gives no help"
    options_listed_are_taken "$prefix/bin/vantu-sweep" 15
    # The installed analysis runs its own code, with the installed sweep and parameter file.
    (cd / && "$prefix/bin/vantu-analyse" sample lhs --range stepCost=1:9 -n 3 --seed 4) |
        cmp - <("$build/vantu-analyse" sample lhs --range stepCost=1:9 -n 3 --seed 4) ||
        fail "the installed vantu-analyse's design differs from the build's"
}

# Every line one of the log's five forms, the steps numbered on from 0 on rows and columns 0..49;
# prints the number of steps and the last energy.
soak_check() {
    awk 'NR == 1 { sub(/^Starting up\.\.\./, "") }
    /^[0-9]+ - [0-9]+,[0-9]+ Priotity previous:-?[0-9]+   [0-9]+,[0-9]+ Priotity current:-?[0-9]+  Energy:-?[0-9]+$/ &&
        $1 == steps++ && $3 "," $6 !~ /(^|,)([5-9][0-9]|[0-9][0-9][0-9])/ { energy = substr($NF, 8); next }
    !/^(Found (food \(\+|poison \(-)-?[0-9]+\)|Item generated at:[0-9]+,[0-9]+)?$/ { print "soak: line " NR ": " $0 >"/dev/stderr"; exit 1 }
    END { print steps + 0, energy }'
}

# The runner for about SOAK_STEPS steps in all over five hostile files, the sanitizers silent.
case_soak() {
    local last=$((soak_steps / 5)) i counts want
    # The 22 values, then a name. In the first four the energy never falls, so that each run takes
    # all its ticks; in the last it rises by 1 a step and wraps to the minimum on step `last`.
    local files=(
        "$MAX $MAX $MAX $MAX $MAX $MAX $MAX $MAX $MAX $MAX $MAX $MAX $MAX $MAX $MAX $MAX $MAX 0 0 0 $MAX $MAX max"
        "$MAX $MIN $MIN $MIN $MIN $MIN $MIN $MIN $MIN $MIN $MIN $MIN $MIN $MIN $MIN $MIN $MIN 0 0 0 $MAX $MIN min"
        "$MAX 1 0 $MAX $MIN 5 $MAX $MAX $MAX 12 $MIN $MIN -3 1 0 6 1 0 $MIN $MAX $MAX 0 no-items"
        "1 6 6 7 7 5 -1 9 -1 12 -1 -1 -3 1 3 -6 1 -7 9 -9 $MAX -1 negative"
        "$((MAX - last + 1)) 6 6 7 7 5 -1 9 -1 12 -1 -1 -3 1 3 -6 1 -1 0 0 $MAX 0 wrap")
    "$headless" --seed 1 --ticks 99 --params "$source/preference.txt" | sed 's/^5 - /6 - /' |
        soak_check &>/dev/null && fail "the checker passes a step out of turn"
    for i in "${!files[@]}"; do
        printf 'p %s\n' ${files[i]} >"$work/file"
        counts=$("$headless" --seed "$i" --ticks "$((last + 1))" --params "$work/file" 2>"$work/err" |
            soak_check) && [ ! -s "$work/err" ] || fail "${files[i]##* }: $(head -c 2000 "$work/err")"
        echo "${files[i]##* }: steps and the last energy: $counts"
        want="$((last + 1)) *"
        [[ ${files[i]} != *wrap ]] || want="$last $MIN"
        [[ $counts == $want ]] || fail "${files[i]##* }: not $want"
    done
}

# Starts the window program in the work folder on the shipped parameters with maxSteps $1; the
# time each step line comes out goes to $work/times.
start() {
    sed "s/^maxSteps .*/maxSteps $1/" "$source/preference.txt" >"$work/preference.txt"
    (cd "$work" && set -o pipefail && LD_PRELOAD=$preload "$vantu" 2>"$work/err" | tee "$work/out" |
        while IFS= read -r line; do [[ $line != *Energy:* ]] || echo "$EPOCHREALTIME"; done >"$work/times") &
    vantu_pid=$!
    pids+=("$vantu_pid")
    window=$(timeout 30 xdotool search --sync --name "^$TITLE\$" | head -1) || fail "no window"
    xdotool mousemove --window "$window" 150 150  # keys go to the window under the pointer
}
ends_well() {  # status 0, nothing on standard error
    local status=0
    wait_until 10 sh -c "! kill -0 $vantu_pid 2>/dev/null" || fail "still running"
    wait "$vantu_pid" || status=$?
    [ "$status" -eq 0 ] && [ ! -s "$work/err" ] || fail "exit status $status, $(head -5 "$work/err")"
}
steps() { grep -c ' Priotity current:' "$work/out" || true; }
steps_past() { [ "$(steps)" -ge "$1" ]; }
brightness_over() { awk -v b="$(import -window "$window" -format '%[fx:mean]' info:-)" "BEGIN { exit !(b $1) }"; }

# Title, size, the start-up text joined to the first line, q; the log is the runner's for the
# seed the program took from the calendar clock. Twenty steps a second: a busy machine can only
# delay a step, so the fastest 100 steps of 200 take five seconds, not the 4.76 of 21 a second.
case_window.run() {
    local before after seed
    before=$(date +%s) && start 6000 && after=$(date +%s)
    [ "$(xdotool getwindowname "$window")" = "$TITLE" ] || fail "title"
    xwininfo -id "$window" | grep -Pzq 'Width: 300\n *Height: 600\n' || fail "size"
    wait_until 30 steps_past 200 || fail "no 200 steps"
    awk '{ t[NR] = $1 } NR > 100 && (!fast || t[NR] - t[NR - 100] < fast) { fast = t[NR] - t[NR - 100] }
        END { printf "the fastest 100 steps took %.3f s\n", fast; exit !(fast > 4.9 && fast < 5.8) }' "$work/times" ||
        fail "pace"
    head -1 "$work/out" | grep -Eq '^Starting up\.\.\.(Found (food|poison) \(|0 - )' || fail "first line"
    xdotool key q
    ends_well
    for ((seed = before; seed <= after; ++seed)); do
        "$headless" --seed "$seed" --ticks "$(steps)" --params "$work/preference.txt" |
            cmp -s - "$work/out" && return 0
    done
    fail "no seed from $before to $after gives the same log"
}

# With maxSteps 0 the run is over at once: the keys still turn the picture (edge-on after 18
# presses of k, back with d), Q quits, and the log is the start-up text alone.
case_window.ended() {
    start 0
    wait_until 10 brightness_over '> 0.3' || fail "no boards"
    xdotool key --delay 0 k k k k k k k k k k k k k k k k k k
    wait_until 1 brightness_over '< 0.01' || fail "the keys did not show"
    xdotool key d
    wait_until 1 brightness_over '> 0.3' || fail "no return"
    xdotool key Q
    ends_well
    [ "$(<"$work/out")" = "$START" ] || fail "log: $(head -c 200 "$work/out")"
}

# Stop and Resume from the right-button menu leave the log running; Quit ends the program.
case_window.menu() {
    local entry before menu
    start 6000
    for entry in 0 1 2; do
        xdotool mousemove --window "$window" 150 300 mousedown 3
        menu=$(timeout 10 xdotool search --sync --onlyvisible --name '^freeglut menu$' | head -1) ||
            fail "no menu"
        eval "$(xdotool getwindowgeometry --shell "$menu" | sed 's/^/local /')"
        xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * (2 * entry + 1) / 6)) mouseup 3
        before=$(steps)
        [ $entry = 2 ] || wait_until 5 steps_past $((before + 10)) || fail "log stopped after $entry"
    done
    ends_well
}

if [[ $case_name == window.* ]]; then
    exec {display_fd}< <(exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
    pids+=($!)
    read -r -t 30 display <&"$display_fd" || fail "no X server"
    export DISPLAY=":$display"
fi
"case_$case_name"
echo "$case_name passed"
