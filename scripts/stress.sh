#!/usr/bin/env bash
# Runs the whole test command (scripts/test.sh) N times while two busy processes
# keep both cores loaded, as on a loaded CI machine, and prints how many runs
# passed: "K of N". Each run's output is in build/stress/run-I.log.
#   scripts/stress.sh [N]   (N: 10 unless given)
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/common.sh"
begin "$0" "$@"
cd "$repo_root"

runs="${1:-10}"
if ! [[ $runs =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/stress.sh [N]  (N a positive number of runs)" >&2
    exit 2
fi

busy=()
# shellcheck disable=SC2317 # called by the trap
stop_busy() {
    local pid
    for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap stop_busy EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
for _ in 1 2; do
    bash -c 'while :; do :; done' &
    busy+=($!)
done

mkdir -p build/stress
passes=0
for ((run = 1; run <= runs; ++run)); do
    log="build/stress/run-$run.log"
    started=$SECONDS
    if bash scripts/test.sh >"$log" 2>&1; then
        passes=$((passes + 1))
        echo "stress: run $run of $runs passed in $((SECONDS - started)) s"
    else
        echo "stress: run $run of $runs FAILED in $((SECONDS - started)) s: $(grep -h 'test.sh: FAILED' "$log" || tail -n 1 "$log") (log: $log)"
    fi
done
echo "stress: $passes of $runs passed"
((passes == runs))
