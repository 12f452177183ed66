#!/usr/bin/env bash
# Builds the fuzz targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each target that the build defines for SECONDS on a fresh copy of its seeds
# (fuzz/corpus/<target>/), with one worker for each core of the machine, all on
# that one copy. Inputs that break a target are kept in
# build-sanitize/fuzz-run/<target>/, with each worker's log.
#   scripts/fuzz.sh SECONDS
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/common.sh"

seconds="${1:-}"
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/fuzz.sh SECONDS   (run time of each fuzz target)" >&2
    exit 2
fi
begin "$0" "$@"
build="$repo_root/build-sanitize"

# Every target that fuzz/CMakeLists.txt defines: the fuzz/ folder of the build
# (make has no target for one folder: everything there).
if [[ $(generator_of "$build") == Ninja ]]; then
    sanitize_build --target fuzz/all
else
    sanitize_build
fi
mapfile -t targets < <(find "$build/fuzz" -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x -printf '%f\n' | sort)
if ((${#targets[@]} == 0)); then
    echo "fuzz: the build has no fuzz targets in ${build#"$repo_root"/}/fuzz/" >&2
    exit 1
fi

# One libFuzzer job a core, run side by side; each writes fuzz-<job>.log in the
# folder it starts in.
workers=$(nproc)
failed=()
for target in "${targets[@]}"; do
    work="$build/fuzz-run/$target"
    rm -rf "$work"
    mkdir -p "$work/corpus"
    if [[ -d $repo_root/fuzz/corpus/$target ]]; then
        cp -R "$repo_root/fuzz/corpus/$target/." "$work/corpus/"
    fi
    options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10
             -artifact_prefix="$work/" -jobs="$workers" -workers="$workers")
    case $target in
    fuzz_ini_reader | fuzz_open) options+=(-dict="$repo_root/fuzz/ini.dict") ;;
    esac
    # No allocation stacks in reports: a tenth more inputs a second. A kept input
    # run again by the target alone reports them. A quarantine of 16 MiB still
    # holds every block an input frees, and saves the page faults of cycling
    # through the default 256 MiB: another tenth.
    if (cd "$work" && ASAN_OPTIONS="$ASAN_OPTIONS:malloc_context_size=0:quarantine_size_mb=16" \
        "$build/fuzz/$target" "${options[@]}" corpus >log 2>&1); then
        executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work"/fuzz-*.log |
            awk '{ sum += $1 } END { print sum }')
        corpus=$(find "$work/corpus" -type f | wc -l)
        printf 'fuzz: %-16s %10s executions in %s s (%s workers), corpus %s inputs, no failure\n' \
            "$target" "$executions" "$seconds" "$workers" "$corpus"
    else
        grep -h -E -A 12 'invariant broken|ERROR:|runtime error' "$work"/log "$work"/fuzz-*.log |
            head -n 40 || true
        echo "fuzz: $target FAILED; logs and failing input in ${work#"$repo_root"/}/" >&2
        failed+=("$target")
    fi
done

if ((${#failed[@]} > 0)); then
    echo "fuzz: failed: ${failed[*]}" >&2
    exit 1
fi
echo "fuzz: ${#targets[@]} targets ran ${seconds} s each without a failure"
