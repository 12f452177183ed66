#!/usr/bin/env bash
# Installs what is missing, builds and runs every test, in steps:
#   1. build: the editor, its tests and benchmarks (Release, build/);
#   2. tests: every test of build/, offscreen;
#   3. sanitizer build: the core, its tests and the fuzz targets with
#      AddressSanitizer and UndefinedBehaviorSanitizer (clang, build-sanitize/);
#   4. sanitizer tests: every test of build-sanitize/;
#   5. fuzz: each fuzz target for QE_FUZZ_SECONDS (15) seconds on its seeds.
# Stops at the first step that fails, with a line naming the step and its log. A
# failed test runs once more: one that then passes is named as flaky, and its step
# fails all the same.
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
# The failed ones run once more, to tell a flaky test from a broken one; the step
# fails either way. The log keeps the first run's output, the rerun's after it.
run_ctest() {
    local build="$1"
    local log="$build/ctest.log"
    if logged tests "$log" ctest --test-dir "$build" -j "$build_jobs" --timeout 600 \
        --output-on-failure; then
        sed -n '/tests passed/,$p' "$log"
        return 0
    fi
    sed -n '/tests passed/,$p' "$log"
    failed_log="$log"
    local failed again flaky
    failed="$(failed_tests <"$log")"
    echo "=== run again: the tests that failed" >>"$log"
    ctest --test-dir "$build" --rerun-failed --output-on-failure --timeout 600 >>"$log" 2>&1 || true
    again="$(sed -n '/^=== run again: the tests that failed$/,$p' "$log" | failed_tests)"
    flaky="$(grep -vxF -f <(printf '%s\n' "$again") <<<"$failed" || true)"
    if [[ -n $flaky ]]; then
        echo "--- flaky: failed, then passed when run again (the failure's output is in the log):"
        # shellcheck disable=SC2001 # a prefix for every line
        sed 's/^/    /' <<<"$flaky"
    fi
    if [[ -n $again ]]; then
        echo "--- output of the failed tests, run again:"
        sed -n '/^=== run again: the tests that failed$/,$p' "$log" | tail -n 200
    fi
    return 1
}

# The names in the list of failed tests of a ctest output on stdin.
failed_tests() {
    sed -n '/The following tests FAILED:/,$s/^[[:space:]]*[0-9]* - \(.*\) (.*)$/\1/p'
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
