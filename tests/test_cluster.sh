#!/usr/bin/env bash
# A sweep sharded over an existing engine, a single-node Slurm started here or GNU parallel
# running its jobs locally, merges to the same bytes as the whole design run by one worker.
# Usage: test_cluster.sh slurm|parallel VANTU_SWEEP SOURCE_DIR
set -euo pipefail
engine=$1 sweep=$2 source=$3
work=$(mktemp -d)
daemons=()
trap 'kill "${daemons[@]}" 2>/dev/null || true; wait; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM

# Slurm and munge as root, every file of theirs under $work, on ports of their own; returns once
# the node is idle.
startSlurm() {
    [ "$(id -u)" -eq 0 ] || { echo "skipped: starting Slurm needs root"; exit 77; }
    local host port=$((20000 + $$ % 10000 * 2))
    host=$(uname -n) && host=${host%%.*}
    mungekey --create --keyfile="$work/munge.key"
    # The daemons end by themselves after two minutes, should this script be killed outright.
    timeout 120 munged --foreground --force --socket="$work/munge.socket" --key-file="$work/munge.key" \
        --pid-file="$work/munged.pid" --seed-file="$work/munge.seed" --log-file="$work/munged.log" 2>/dev/null & daemons+=($!)
    cat >"$work/slurm.conf" <<EOF
ClusterName=vantutest
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$port
SlurmdPort=$((port + 1))
AuthInfo=socket=$work/munge.socket
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
# Each job starts as soon as CPUs are free, not with the next batch a few seconds later.
SchedulerParameters=batch_sched_delay=0,sched_min_interval=0
StateSaveLocation=$work
SlurmdSpoolDir=$work
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
NodeName=$host NodeAddr=127.0.0.1 CPUs=$(nproc)
PartitionName=test Nodes=ALL Default=YES State=UP
EOF
    # slurmd sets up a cgroup plugin even when nothing uses it; only v1's starts without a
    # cgroup file system mounted, as in a bare chroot.
    echo CgroupPlugin=cgroup/v1 >"$work/cgroup.conf"
    export SLURM_CONF=$work/slurm.conf
    for daemon in slurmctld slurmd; do
        timeout 120 "$daemon" -D >"$work/$daemon.log" 2>&1 & daemons+=($!)
    done
    for _ in $(seq 100); do
        [ "$(sinfo --noheader --format=%t 2>/dev/null)" = idle ] && return
        sleep 0.2
    done
    echo "Slurm's node did not come up"; tail "$work"/*.log; exit 1
}

cd "$work"
"$sweep" plan --params "$source/preference.txt" --vary foodRarity=2:21:1 --replicates 2 \
    --seed 7 >design.csv
case $engine in
slurm)
    startSlurm
    VANTU_SWEEP=$sweep "$source/scripts/slurm-sweep" --shards 3 --wait design.csv . ;;
parallel)  # the README's recipe, with this machine as the only line of the hosts file
    echo : >hosts.txt
    parallel --sshloginfile hosts.txt -j1 --joblog sweep.log --workdir "$PWD" \
        "$sweep" run design.csv --shard {}/3 --quiet --output shard-{}.csv ::: 0 1 2
    "$sweep" merge shard-*.csv --design design.csv --output results.csv ;;
esac
"$sweep" run design.csv --jobs 1 --quiet --output whole.csv
cmp results.csv whole.csv
