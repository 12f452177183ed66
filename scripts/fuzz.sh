#!/usr/bin/env bash
# Builds the fuzz targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each for SECONDS on a fresh copy of its seeds. Inputs that break a target are
# kept in build-sanitize/fuzz-run/<target>/.
#   scripts/fuzz.sh SECONDS
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/common.sh"

seconds="${1:-}"
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/fuzz.sh SECONDS   (run time of each fuzz target)" >&2
    exit 2
fi

bash "$repo_root/scripts/setup.sh"
build="$repo_root/build-sanitize"
targets=(fuzz_ini_reader fuzz_open fuzz_base64 fuzz_int)

echo "fuzz: building ${targets[*]}"
as_invoker mkdir -p "$build"
quietly "$build/configure.log" configure_sanitize_build
quietly "$build/fuzz-build.log" as_invoker cmake --build "$build" -j "$build_jobs" \
    --target "${targets[@]}"

failed=()
for target in "${targets[@]}"; do
    work="$build/fuzz-run/$target"
    as_invoker rm -rf "$work"
    as_invoker mkdir -p "$work/corpus"
    as_invoker cp -R "$repo_root/fuzz/corpus/$target/." "$work/corpus/"
    options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10
             -artifact_prefix="$work/")
    case $target in
    fuzz_ini_reader | fuzz_open) options+=(-dict="$repo_root/fuzz/ini.dict") ;;
    esac
    if as_invoker "$build/fuzz/$target" "${options[@]}" "$work/corpus" >"$work/log" 2>&1; then
        executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
        corpus=$(find "$work/corpus" -type f | wc -l)
        printf 'fuzz: %-16s %10s executions in %s s, corpus %s inputs, no failure\n' \
            "$target" "$executions" "$seconds" "$corpus"
    else
        grep -E -A 12 'invariant broken|ERROR:|runtime error' "$work/log" | head -n 40
        echo "fuzz: $target FAILED; log and failing input in $work/" >&2
        failed+=("$target")
    fi
done

if ((${#failed[@]} > 0)); then
    echo "fuzz: failed: ${failed[*]}" >&2
    exit 1
fi
echo "fuzz: ${#targets[@]} targets ran ${seconds} s each without a failure"
