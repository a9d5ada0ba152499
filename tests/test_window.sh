#!/usr/bin/env bash
# The window program as a user meets it, each case on an X server of its own so that cases can
# run side by side: test_window.sh CASE VANTU VANTU_HEADLESS DEFAULT_PARAMS [PRELOAD]
# PRELOAD goes to the program alone, as LD_PRELOAD.
set -euo pipefail
case_name=$1 vantu=$(realpath "$2") headless=$(realpath "$3") defaults=$(realpath "$4")
preload=${5:-}
TITLE='Vantu - Version 0.5 6/6/01'
STEP_LINE=' Priotity current:'

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$work/out" ] && { echo "-- log head:" >&2; head -c 400 "$work/out" >&2; echo >&2; }
    exit 1
}

# Polls `condition` every 20 ms for up to `seconds`.
wait_until() {
    local seconds=$1 deadline
    shift
    deadline=$(($(date +%s%N) + seconds * 1000000000))
    until "$@"; do
        [ "$(date +%s%N)" -lt "$deadline" ] || return 1
        sleep 0.02
    done
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

exec {display_fd}< <(exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
pids+=($!)
read -r -t 30 display <&"$display_fd" || fail "no X server"
export DISPLAY=":$display"

# A parameter file like the shipped one with maxSteps set to $1.
params_with_max_steps() {
    sed "s/^maxSteps .*/maxSteps $1/" "$defaults" >"$work/preference.txt"
}

# Starts the program in the work folder and waits for its window.
start() {
    (cd "$work" && LD_PRELOAD=$preload exec "$@" "$vantu" >"$work/out" 2>"$work/err") &
    vantu_pid=$!
    pids+=("$vantu_pid")
    window=$(timeout 30 xdotool search --sync --name "^$TITLE\$" | head -1) || fail "no window"
    xdotool mousemove --window "$window" 150 150  # keys go to the window under the pointer
}

# Waits for the program to end; it must end with status 0 and nothing on standard error.
expect_exit_zero() {
    local status=0
    wait_until 10 sh -c "! kill -0 $vantu_pid 2>/dev/null" || fail "still running"
    wait "$vantu_pid" || status=$?
    [ "$status" -eq 0 ] || fail "exit status $status"
    [ ! -s "$work/err" ] || fail "standard error: $(head -5 "$work/err")"
}

steps() { grep -c -- "$STEP_LINE" "$work/out" || true; }
steps_past() { [ "$(steps)" -ge "$1" ]; }

# Mean brightness of the window, 0 for all black.
brightness() { import -window "$window" -format '%[fx:mean]' info:-; }
dark() { awk -v b="$(brightness)" 'BEGIN { exit !(b < 0.01) }'; }
lit() { awk -v b="$(brightness)" 'BEGIN { exit !(b > 0.3) }'; }

# Picks entry $1 (0 Stop, 1 Resume, 2 Quit) from the right-button menu.
choose_from_menu() {
    local menu
    xdotool mousemove --window "$window" 150 300 mousedown 3
    menu=$(timeout 10 xdotool search --sync --onlyvisible --name '^freeglut menu$' | head -1) ||
        fail "no menu"
    eval "$(xdotool getwindowgeometry --shell "$menu" | sed 's/^/local /')"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * (2 * $1 + 1) / 6)) mouseup 3
    wait_until 10 sh -c "! xdotool search --onlyvisible --name '^freeglut menu\$' >/dev/null" ||
        fail "menu stayed open"
}

# Title and size; the start-up text joined to the first step's first line; q and Q mid-run.
case_start_and_quit_keys() {
    local key
    cp "$defaults" "$work/preference.txt"
    for key in q Q; do
        start
        [ "$(xdotool getwindowname "$window")" = "$TITLE" ] || fail "title"
        xwininfo -id "$window" | grep -q 'Width: 300$' || fail "width"
        xwininfo -id "$window" | grep -q 'Height: 600$' || fail "height"
        wait_until 10 steps_past 3 || fail "no steps"
        head -1 "$work/out" | grep -Eq "^Starting up\.\.\.(Found (food|poison) \(|0 - )" ||
            fail "first line"
        grep -m1 -- "$STEP_LINE" "$work/out" | grep -Eq '^(Starting up\.\.\.)?0 - ' ||
            fail "first step"
        xdotool key "$key"
        expect_exit_zero
        [ "$(tail -c1 "$work/out")" = "" ] || fail "last line cut"  # ends with a newline
    done
}

# Twenty steps a second, counted over six seconds.
case_rate() {
    local first last start_ms end_ms
    cp "$defaults" "$work/preference.txt"
    start
    wait_until 10 steps_past 1 || fail "no steps"
    first=$(steps) start_ms=$(now_ms)
    sleep 6
    last=$(steps) end_ms=$(now_ms)
    awk -v n=$((last - first)) -v ms=$((end_ms - start_ms)) 'BEGIN {
        rate = n * 1000 / ms
        printf "%.2f steps a second\n", rate
        exit !(rate >= 18 && rate <= 22) }' || fail "rate"
    xdotool key q
    expect_exit_zero
}

# Edge-on after 18 presses of k: the picture goes dark at the next tick, mid-run and after.
case_keys_show_within_a_tick() {
    local pressed elapsed
    params_with_max_steps 20
    start
    wait_until 10 lit || fail "no boards"
    for phase in mid-run ended; do
        if [ "$phase" = ended ]; then
            wait_until 10 steps_past 20 || fail "run did not end"
            sleep 0.2
            [ "$(steps)" -eq 20 ] || fail "steps after the end"
        else
            ! steps_past 20 || fail "run ended too soon"
        fi
        xdotool key --delay 0 k k k k k k k k k k k k k k k k k k
        pressed=$(now_ms)
        wait_until 5 dark || fail "$phase: no change"
        elapsed=$(($(now_ms) - pressed))
        echo "$phase: dark $elapsed ms after the keys"
        # A tick is 50 ms; the rest is for a frame, the capture and a busy machine.
        [ "$elapsed" -lt 400 ] || fail "$phase: too slow"
        xdotool key d
        wait_until 5 lit || fail "$phase: no return"
    done
    xdotool key q
    expect_exit_zero
}

# Stop and Resume leave the log running; Quit ends the program.
case_menu() {
    local entry before
    cp "$defaults" "$work/preference.txt"
    start
    wait_until 10 steps_past 1 || fail "no steps"
    for entry in 0 1; do
        choose_from_menu $entry
        before=$(steps)
        wait_until 5 steps_past $((before + 10)) || fail "log stopped after entry $entry"
    done
    choose_from_menu 2
    expect_exit_zero
}

# With maxSteps 0 nothing is logged until quit, and then only the start-up text.
case_no_steps() {
    params_with_max_steps 0
    start
    wait_until 10 lit || fail "no boards"
    sleep 1
    [ ! -s "$work/out" ] || fail "logged before quit"
    xdotool key q
    expect_exit_zero
    printf 'Starting up...' | cmp - "$work/out" || fail "log at quit"
}

# The log equals the headless runner's for the seed the program took from the calendar clock,
# one of the seconds from just before its start to its window's coming up.
case_same_log_as_headless() {
    local before after seed ticks
    cp "$defaults" "$work/preference.txt"
    before=$(date +%s)
    start
    after=$(date +%s)
    wait_until 10 steps_past 30 || fail "no steps"
    xdotool key q
    expect_exit_zero
    ticks=$(steps)
    for ((seed = before; seed <= after; ++seed)); do
        (cd "$work" && "$headless" --seed "$seed" --ticks "$ticks") | cmp -s - "$work/out" &&
            return 0
    done
    fail "no seed from $before to $after gives the same log"
}

"case_$case_name"
echo "$case_name passed"
