# shellcheck shell=bash
# Shared by the scripts in this folder; source it, do not run it.

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck disable=SC2034 # used by the scripts that source this file
build_jobs="$(nproc 2>/dev/null || echo 2)"

# Ninja when it is there, make otherwise.
generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi

# Runs a command as the person who called sudo, so that build folders and saved
# files belong to them and the editor can reach their display; as is otherwise.
invoker=()
if ((EUID == 0)) && [[ -n ${SUDO_USER:-} && $SUDO_USER != root ]]; then
    invoker=(runuser -u "$SUDO_USER" --)
fi
as_invoker() { "${invoker[@]}" "$@"; }

# Runs a command with its output in a log file; prints the compiler's warnings
# and, when it fails, the end of the log.
quietly() {
    local log="$1"
    shift
    if "$@" >"$log" 2>&1; then
        grep -E 'warning:' "$log" || true
    else
        tail -n 60 "$log"
        echo "failed: $* (full log: $log)" >&2
        return 1
    fi
}

# The build of the editor, its tests and benchmarks: build/.
configure_main_build() {
    as_invoker cmake -S "$repo_root" -B "$repo_root/build" "${generator[@]}" \
        -DCMAKE_BUILD_TYPE=Release -DQE_GUI=ON -DQE_BENCH=ON
}

# The core, its tests and the fuzz targets with AddressSanitizer and
# UndefinedBehaviorSanitizer, built with clang: build-sanitize/.
configure_sanitize_build() {
    as_invoker env CC=clang CXX=clang++ cmake -S "$repo_root" -B "$repo_root/build-sanitize" \
        "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQE_SANITIZE=ON -DQE_GUI=OFF -DQE_BENCH=OFF -DQE_FUZZ=ON
}

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
