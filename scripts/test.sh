#!/usr/bin/env bash
# Installs what is missing, builds and runs every test:
#   1. the editor, its tests and benchmarks (Release, build/), every test offscreen;
#   2. the core and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
#      (clang, build-sanitize/);
#   3. each fuzz target for a short while on its seeds.
# Prints one summary line and exits non-zero when anything failed.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/common.sh"
cd "$repo_root"

fuzz_seconds="${QE_FUZZ_SECONDS:-15}"
passed=()
failed=()

step() {
    local name="$1"
    shift
    echo
    echo "=== $name"
    if "$@"; then passed+=("$name"); else failed+=("$name"); fi
}

# Runs ctest quietly: the summary, and the full output of the tests that failed.
run_ctest() {
    local build="$1"
    local log="$build/ctest.log"
    if as_invoker ctest --test-dir "$build" -j "$build_jobs" --timeout 600 >"$log" 2>&1; then
        sed -n '/tests passed/,$p' "$log"
        return 0
    fi
    sed -n '/tests passed/,$p' "$log"
    echo "--- output of the failed tests (full log: $log):"
    as_invoker ctest --test-dir "$build" --rerun-failed --output-on-failure --timeout 600 |
        tail -n 200 || true
    return 1
}

main_build() {
    as_invoker mkdir -p build
    quietly build/configure.log configure_main_build &&
        quietly build/build.log as_invoker cmake --build build -j "$build_jobs" &&
        echo "built build/ (editor, tests, benchmarks)"
}

main_tests() {
    local -x QT_QPA_PLATFORM=offscreen
    run_ctest build
}

sanitize_build() {
    as_invoker mkdir -p build-sanitize
    quietly build-sanitize/configure.log configure_sanitize_build &&
        quietly build-sanitize/build.log as_invoker cmake --build build-sanitize -j "$build_jobs" &&
        echo "built build-sanitize/ (core, tests and fuzz targets with sanitizers)"
}

sanitize_tests() {
    run_ctest build-sanitize
}

bash "$repo_root/scripts/setup.sh"
step "build" main_build
step "tests" main_tests
step "sanitizer build" sanitize_build
step "sanitizer tests" sanitize_tests
step "fuzz (${fuzz_seconds} s per target)" bash "$repo_root/scripts/fuzz.sh" "$fuzz_seconds"

echo
if ((${#failed[@]} > 0)); then
    echo "test.sh: FAILED: $(IFS=,; echo "${failed[*]}") (passed: $(IFS=,; echo "${passed[*]}"))"
    exit 1
fi
echo "test.sh: all passed: $(IFS=,; echo "${passed[*]}")"
