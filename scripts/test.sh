#!/usr/bin/env bash
# Installs what is missing, builds and runs every test, in steps:
#   1. build: the editor, its tests and benchmarks (Release, build/);
#   2. tests: every test of build/, offscreen;
#   3. sanitizer build: the core, its tests and the fuzz targets with
#      AddressSanitizer and UndefinedBehaviorSanitizer (clang, build-sanitize/);
#   4. sanitizer tests: every test of build-sanitize/;
#   5. fuzz: each fuzz target for QE_FUZZ_SECONDS (15) seconds on its seeds.
# Stops at the first step that fails, with a line naming the step and its log.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/common.sh"
begin "$0" "$@"
cd "$repo_root"

fuzz_seconds="${QE_FUZZ_SECONDS:-15}"
passed=()

step() {
    local name="$1"
    shift
    local started=$SECONDS
    echo "=== $name"
    failed_log=""
    if ! "$@"; then
        echo "test.sh: FAILED at step \"$name\"${failed_log:+ (log: ${failed_log#"$repo_root"/})}" >&2
        exit 1
    fi
    echo "--- $name: done in $((SECONDS - started)) s"
    passed+=("$name")
}

# Runs the tests of a build folder: the summary, and the output of those that failed.
run_ctest() {
    local build="$1"
    local log="$build/ctest.log"
    if logged tests "$log" ctest --test-dir "$build" -j "$build_jobs" --timeout 600; then
        sed -n '/tests passed/,$p' "$log"
        return 0
    fi
    sed -n '/tests passed/,$p' "$log"
    echo "--- output of the failed tests:"
    ctest --test-dir "$build" --rerun-failed --output-on-failure --timeout 600 | tail -n 200 || true
    failed_log="$log"
    return 1
}

main_tests() { QT_QPA_PLATFORM=offscreen run_ctest build; }
sanitize_tests() { run_ctest build-sanitize; }
fuzz() {
    failed_log="build-sanitize/fuzz-run/"
    bash scripts/fuzz.sh "$fuzz_seconds"
}

step "build" main_build
step "tests" main_tests
step "sanitizer build" sanitize_build
step "sanitizer tests" sanitize_tests
step "fuzz" fuzz

echo "test.sh: all passed: $(IFS=,; echo "${passed[*]}")"
