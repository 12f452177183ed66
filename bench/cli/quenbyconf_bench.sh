#!/usr/bin/env bash
# quenbyconf set of 10 keys on a typical client file (bench/cli/client.ini: 30
# lines, a foreign section and comments) against the same 10 keys with 10
# `crudini --set` calls, process start to exit, side by side in one run. Prints the
# medians and their ratio, and checks that both tools wrote every value: a fast
# wrong answer is no result. A third row, /bin/true, is the floor: what starting
# any program costs on this machine at the moment.
#   bench/cli/quenbyconf_bench.sh [RUNS]       default 25 runs of each
# The files are written in a new folder under QE_BENCH_DIR (default: TMPDIR or
# /tmp); a save waits for the disk twice (file and folder flushed), so the disk
# under that folder counts.
# Goals: a quenbyconf median of at most 3 ms, at least 15 times faster than crudini.
# Installs crudini with apt-get when it is missing; builds quenbyconf and the
# runner in QE_BENCH_BUILD (default build-bench-cli/: Release, without Qt).
set -euo pipefail
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${QE_BENCH_BUILD:-$repo_root/build-bench-cli}"
runs="${1:-25}"
[[ $runs =~ ^[1-9][0-9]*$ ]] || {
    echo "usage: bench/cli/quenbyconf_bench.sh [RUNS]" >&2
    exit 2
}

# section, key, the value quenbyconf is given, the value the file then holds (the
# credential is given as user:password and held in Base64).
keys=(
    "parameters id bench@example.org bench@example.org"
    "processor-usage priority 5 5"
    "networking nettimeout 120 120"
    "networking firewall-type http http"
    "networking firewall-host proxy.example.org:3128 proxy.example.org:3128"
    "networking firewall-auth me:secret bWU6c2VjcmV0"
    "logging log-file-type fifo fifo"
    "logging log-file /var/log/client.log /var/log/client.log"
    "buffers buffer-file-basename /var/lib/client/buff-in /var/lib/client/buff-in"
    "display progress-indicator disabled disabled"
)

install_crudini() {
    command -v crudini >/dev/null && return
    echo "bench: installing crudini"
    local as_root=()
    ((EUID == 0)) || as_root=(sudo)
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q crudini >/dev/null
}

build_programs() {
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    if [[ ! -f $build/CMakeCache.txt ]]; then
        mkdir -p "$build"
        cmake -S "$repo_root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQE_GUI=OFF \
            -DQE_BENCH=ON -DBUILD_TESTING=OFF "${launcher[@]}" >"$build/configure.log" 2>&1 || {
            tail -n 20 "$build/configure.log"
            exit 1
        }
    fi
    echo "bench: building quenbyconf and qe_spawn_bench in ${build#"$repo_root"/}/"
    cmake --build "$build" -j 2 --target quenbyconf qe_spawn_bench >/dev/null
}

# The runner's command line: both tools, each on a target of its own in FOLDER.
runner_arguments() {
    local folder="$1" section key given held
    local quenbyconf=(--tool quenbyconf "$folder/quenbyconf.ini" "$build/src/cli/quenbyconf"
        set "$folder/quenbyconf.ini")
    local crudini=(--tool crudini "$folder/crudini.ini")
    local floor=(--tool true "$folder/true.ini" true)
    for entry in "${keys[@]}"; do
        read -r section key given held <<<"$entry"
        quenbyconf+=("$section.$key=$given")
        ((${#crudini[@]} > 3)) && crudini+=(--then)
        crudini+=(crudini --ini-options=nospace --set "$folder/crudini.ini" "$section" "$key"
            "$held")
    done
    printf '%s\0' "${quenbyconf[@]}" "${crudini[@]}" "${floor[@]}"
}

# Whether TARGET holds every value as key=value; names the ones it lacks.
holds_every_value() {
    local target="$1" section key given held missing=0
    for entry in "${keys[@]}"; do
        read -r section key given held <<<"$entry"
        grep -qFx "$key=$held" "$target" || {
            echo "bench: WRONG: $(basename "$target" .ini) left out $section.$key=$held" >&2
            missing=1
        }
    done
    return "$missing"
}

# The median of TOOL in the runner's table.
median_of() { awk -v tool="$2" '$1 == tool { print $4 }' <<<"$1"; }

install_crudini
build_programs
folder="$(mktemp -d -p "${QE_BENCH_DIR:-${TMPDIR:-/tmp}}")"
trap 'rm -rf "$folder"' EXIT
mapfile -d '' -t arguments < <(runner_arguments "$folder")
echo "bench: $runs runs of each in $folder ($(df --output=fstype "$folder" | tail -n 1)), $(nproc) cores," \
    "load $(cut -d' ' -f1 /proc/loadavg), $(crudini --version 2>&1)"
table="$("$build/bench/cli/qe_spawn_bench" "$runs" "$repo_root/bench/cli/client.ini" \
    "${arguments[@]}")"
echo "$table"

wrong=0
holds_every_value "$folder/quenbyconf.ini" || wrong=1
holds_every_value "$folder/crudini.ini" || wrong=1
if ((wrong)); then
    echo "bench: a tool did not write every value: its time is no result" >&2
    exit 1
fi
awk -v q="$(median_of "$table" quenbyconf)" -v c="$(median_of "$table" crudini)" 'BEGIN {
    printf "goal: quenbyconf median at most 3 ms: %s (%.2f ms)\n", (q <= 3 ? "met" : "MISSED"), q
    printf "goal: at least 15 times faster than crudini: %s (%.1f times)\n",
        (c / q >= 15 ? "met" : "MISSED"), c / q
}'
