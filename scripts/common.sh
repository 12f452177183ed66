# shellcheck shell=bash
# Shared by the scripts in this folder; source it, do not run it.

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck disable=SC2034 # used by the scripts that source this file
build_jobs="$(nproc 2>/dev/null || echo 2)"

# The user on whose behalf root runs: the one who called sudo, when the repository
# is theirs to write; empty otherwise.
calling_user() {
    if ((EUID == 0)) && [[ -n ${SUDO_USER:-} && $SUDO_USER != root ]] &&
        runuser -u "$SUDO_USER" -- test -w "$repo_root" 2>/dev/null; then
        echo "$SUDO_USER"
    fi
}

# Runs a command as the calling user (see calling_user), as is otherwise.
as_caller() {
    local caller
    caller="$(calling_user)"
    if [[ -n $caller ]]; then runuser -u "$caller" -- "$@"; else "$@"; fi
}

# Every script starts here with its own "$0" "$@": installs the missing packages
# (once per run: the scripts it calls skip this), then, under sudo, runs the rest of
# the script as the calling user, so that every file it writes is theirs and the
# editor saves to their home. Only apt-get runs as root.
begin() {
    local script="$1"
    shift
    if [[ -z ${QE_SETUP_DONE:-} ]]; then
        bash "$repo_root/scripts/setup.sh"
        export QE_SETUP_DONE=1
    fi
    local caller
    caller="$(calling_user)"
    if [[ -n $caller ]]; then
        # Build folders left to root by earlier versions of these scripts.
        local dir
        for dir in "$repo_root"/build*/; do
            [[ -d $dir ]] && chown -R "$caller:" "$dir"
        done
        # setpriv, not runuser: same process, so Ctrl-C reaches the script and what it
        # started directly, with no parent in between that kills it 2 s later.
        local home
        home="$(getent passwd "$caller" | cut -d: -f6)"
        exec setpriv --reuid="$(id -u "$caller")" --regid="$(id -g "$caller")" --init-groups \
            env HOME="$home" USER="$caller" LOGNAME="$caller" bash "$script" "$@"
    fi
    local dir stranger
    for dir in "$repo_root"/build*/; do
        [[ -d $dir ]] || continue
        dir="${dir%/}"
        stranger="$(find "$dir" ! -user "$(id -u)" -print -quit)"
        if [[ -n $stranger ]]; then
            echo "$(basename "$script"): $stranger belongs to another user; run through" \
                "sudo once to take it back, or remove ${dir#"$repo_root"/}/" >&2
            exit 1
        fi
    done
}

# The generator of a build folder: the one its cache records, so that it never
# changes under a folder; for a new folder Ninja (setup installs it), else make.
generator_of() {
    local cache="$1/CMakeCache.txt" generator=""
    [[ -f $cache ]] && generator="$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$cache")"
    if [[ -z $generator ]]; then
        if command -v ninja >/dev/null; then generator=Ninja; else generator="Unix Makefiles"; fi
    fi
    echo "$generator"
}

# Whether this runs in CI (the CI variable set, as CI services and .ci/run do).
in_ci() { [[ -n ${CI:-} && ${CI,,} != false && $CI != 0 ]]; }

# Shows the progress of a build or a ctest run read on stdin: one line rewritten in
# place on a terminal, a line per quarter (or per minute) otherwise.
show_progress() {
    local label="$1" line count total shown=-25 last=$SECONDS drawn=""
    while IFS= read -r line; do
        if [[ $line =~ ^\[([0-9]+)/([0-9]+)\] ]] ||             # ninja
            [[ $line =~ ^\ *([0-9]+)/([0-9]+)\ Test\ +# ]]; then # ctest
            count="${BASH_REMATCH[1]}" total="${BASH_REMATCH[2]}"
        elif [[ $line =~ ^\[\ *([0-9]+)%\] ]]; then # make
            count="${BASH_REMATCH[1]}" total=100
        else
            continue
        fi
        ((count > 0 && total > 0)) || continue
        if [[ -t 1 ]]; then
            printf '\r\033[K%s: %d/%d' "$label" "$count" "$total"
            drawn=1
        elif ((100 * count / total >= shown + 25 || SECONDS - last >= 60)); then
            printf '%s: %d/%d\n' "$label" "$count" "$total"
            shown=$((100 * count / total)) last=$SECONDS
        fi
    done
    if [[ -n $drawn ]]; then printf '\r\033[K'; fi
}

# Runs a command with its output in LOG and its progress shown under LABEL.
#   logged LABEL LOG COMMAND...
logged() {
    local label="$1" log="$2"
    shift 2
    "$@" 2>&1 | tee "$log" | show_progress "$label"
}

# Prints the compiler's warnings found in a build log, at most 10 of them.
print_warnings() {
    local count
    count="$(grep -c 'warning:' "$1" || true)"
    ((count > 0)) || return 0
    grep 'warning:' "$1" | head -n 10
    echo "$count compiler warnings (log: ${1#"$repo_root"/})"
}

# Configures and builds a build folder, logs in it: configure.log and build.log.
# Prints the end of the log that failed and returns non-zero on failure.
#   build_folder DIR "CMAKE-OPTION..." [BUILD-ARGUMENT...]
build_folder() {
    local dir="$1" options="$2"
    shift 2
    local log="$dir/configure.log"
    local -a cmake_options
    read -r -a cmake_options <<<"$options"
    mkdir -p "$dir"
    if logged configure "$log" cmake -S "$repo_root" -B "$dir" -G "$(generator_of "$dir")" \
        "${cmake_options[@]}"; then
        log="$dir/build.log"
        if logged build "$log" cmake --build "$dir" -j "$build_jobs" "$@"; then
            print_warnings "$log"
            return 0
        fi
    fi
    grep -E '^FAILED:|: (fatal )?error:|^CMake Error|undefined reference|^make.*\*\*\*' "$log" |
        head -n 30 || true
    failed_log="$log"
    return 1
}

# The editor, its tests and benchmarks (Release, build/); in CI warnings are errors.
main_build() {
    local werror=OFF
    if in_ci; then werror=ON; fi
    build_folder "$repo_root/build" \
        "-DCMAKE_BUILD_TYPE=Release -DQE_GUI=ON -DQE_BENCH=ON -DQE_WERROR=$werror" "$@"
}

# The core, its tests and the fuzz targets with AddressSanitizer and
# UndefinedBehaviorSanitizer, built with clang: build-sanitize/.
sanitize_build() {
    CC=clang CXX=clang++ build_folder "$repo_root/build-sanitize" \
        "-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQE_SANITIZE=ON -DQE_GUI=OFF -DQE_BENCH=OFF -DQE_FUZZ=ON" \
        "$@"
}

# The log to point at when a step fails; set by the step that failed.
# shellcheck disable=SC2034 # read by the scripts that source this file
failed_log=""

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
