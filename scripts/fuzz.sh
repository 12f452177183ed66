#!/usr/bin/env bash
# Builds the fuzz targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each target that the build defines for SECONDS on a fresh copy of its seeds
# (fuzz/corpus/<target>/). Inputs that break a target are kept in
# build-sanitize/fuzz-run/<target>/.
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

failed=()
for target in "${targets[@]}"; do
    work="$build/fuzz-run/$target"
    rm -rf "$work"
    mkdir -p "$work/corpus"
    if [[ -d $repo_root/fuzz/corpus/$target ]]; then
        cp -R "$repo_root/fuzz/corpus/$target/." "$work/corpus/"
    fi
    options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10
             -artifact_prefix="$work/")
    case $target in
    fuzz_ini_reader | fuzz_open) options+=(-dict="$repo_root/fuzz/ini.dict") ;;
    esac
    # No allocation stacks in reports: a tenth more inputs a second. A kept input
    # run again by the target alone reports them.
    if ASAN_OPTIONS="$ASAN_OPTIONS:malloc_context_size=0" \
        "$build/fuzz/$target" "${options[@]}" "$work/corpus" >"$work/log" 2>&1; then
        executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
        corpus=$(find "$work/corpus" -type f | wc -l)
        printf 'fuzz: %-16s %10s executions in %s s, corpus %s inputs, no failure\n' \
            "$target" "$executions" "$seconds" "$corpus"
    else
        grep -E -A 12 'invariant broken|ERROR:|runtime error' "$work/log" | head -n 40
        echo "fuzz: $target FAILED; log and failing input in ${work#"$repo_root"/}/" >&2
        failed+=("$target")
    fi
done

if ((${#failed[@]} > 0)); then
    echo "fuzz: failed: ${failed[*]}" >&2
    exit 1
fi
echo "fuzz: ${#targets[@]} targets ran ${seconds} s each without a failure"
