#!/usr/bin/env bash
# Sharded by an engine, a single-node Slurm started here or GNU parallel on this machine, a sweep
# and its series merge to the bytes of one local run's. Usage: test_cluster.sh slurm|parallel VANTU_SWEEP SOURCE
set -euo pipefail
engine=$1 sweep=$2 source=$3
work=$(mktemp -d)
daemons=()
trap 'kill "${daemons[@]}" 2>/dev/null || true; wait; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM

# Slurm and munge as root, all their files in $work, on ports of their own; back once it is idle.
startSlurm() {
    [ "$(id -u)" -eq 0 ] || { echo "skipped: starting Slurm needs root"; exit 77; }
    local host port=$((20000 + $$ % 10000 * 2))
    host=$(uname -n) && host=${host%%.*}
    mungekey --create --keyfile="$work/munge.key"
    # The daemons end by themselves after two minutes, should this script be killed outright.
    timeout 120 munged --foreground --force --socket="$work/munge.socket" \
        --key-file="$work/munge.key" --pid-file="$work/munged.pid" --seed-file="$work/munge.seed" \
        --log-file="$work/munged.log" 2>/dev/null & daemons+=($!)
    cat >"$work/slurm.conf" <<EOF
ClusterName=vantutest
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$port
SlurmdPort=$((port + 1))
AuthInfo=socket=$work/munge.socket
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
StateSaveLocation=$work
SlurmdSpoolDir=$work
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
# Four CPUs, whatever the machine has, each a job's: the three shards and a merge not made to
# wait for them would all run at once. Each job starts as soon as its CPU is free.
SlurmdParameters=config_overrides
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
SchedulerParameters=batch_sched_delay=0,sched_min_interval=0
NodeName=$host NodeAddr=127.0.0.1 CPUs=4
PartitionName=test Nodes=ALL Default=YES State=UP
EOF
    # slurmd loads a cgroup plugin unasked; v1's alone starts with no cgroup file system mounted.
    echo CgroupPlugin=cgroup/v1 >"$work/cgroup.conf"
    export SLURM_CONF=$work/slurm.conf
    for daemon in slurmctld slurmd; do
        timeout 120 "$daemon" -D >"$work/$daemon.log" 2>&1 & daemons+=($!)
    done
    timeout 30 bash -c 'until [ "$(sinfo -h -o %t 2>/dev/null)" = idle ]; do sleep 0.2; done' ||
        { echo "Slurm's node did not come up"; tail "$work"/*.log; exit 1; }
}

cd "$work"
"$sweep" plan --params "$source/preference.txt" --vary foodRarity=2:21:1 --replicates 2 \
    --seed 7 >design.csv
case $engine in
slurm)  # a failed attempt, then the same command: each keeps its logs, as the messages name them
    startSlurm
    submit=("$source/scripts/slurm-sweep" --shards 3 --every 50 --wait design.csv .)
    status=0
    VANTU_SWEEP=$(type -P false) "${submit[@]}" 2>failed.txt || status=$?
    logs=$(sed -n 's/^slurm-sweep: shard [0-2]: failed, see //p' failed.txt)
    [ "$status" = 1 ] && [ "$(wc -w <<<"$logs")" = 3 ] && ls $logs >/dev/null ||
        { cat failed.txt; exit 1; }
    VANTU_SWEEP=$sweep "${submit[@]}"
    set -- logs/shard-*.log logs/merge-*.log
    [ $# = 7 ] && ls "$@" >/dev/null || { echo "not both attempts' logs: $*"; exit 1; } ;;
parallel)  # the README's recipe, with this machine as the only line of the hosts file
    echo : >hosts.txt
    parallel --sshloginfile hosts.txt -j1 --joblog sweep.log --workdir "$PWD" \
        "$sweep" run design.csv --shard {}/3 --quiet --output shard-{}.csv \
        --series series-{}.csv --every 50 ::: 0 1 2
    "$sweep" merge shard-*.csv --design design.csv --output results.csv
    "$sweep" merge series-*.csv --design design.csv --output series.csv ;;
esac
"$sweep" run design.csv --jobs 1 --quiet --output whole.csv --series whole.series --every 50
cmp results.csv whole.csv
"$sweep" merge whole.series | cmp series.csv -
