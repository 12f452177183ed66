#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the editor and the tests need, and
# only those that are missing: one line per step, apt's output in build/setup.log.
# Runs apt-get as root, or through sudo otherwise.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/common.sh"

packages=(
    build-essential cmake ninja-build
    clang libclang-rt-14-dev # sanitizer and libFuzzer runtimes for clang 14
    libgtest-dev libgmock-dev libbenchmark-dev
    libutfcpp-dev # UTF-8 checked and decoded in the values' text form
    libdtl-dev # quenbyconf's diff (header-only: nothing to install with the program)
    nlohmann-json3-dev # quenbyconf's JSON (header-only: nothing to install with the program)
    patch      # the tests apply quenbyconf's diffs with it
    bash-completion # the test of quenbyconf's completion runs its functions
    qt6-base-dev libgl-dev
    qt6-svg-dev # the icon's PNG sizes are rendered from its SVG
    desktop-file-utils appstream # validators of the desktop entry and metainfo
    dpkg-dev file lintian # the Debian package: shlibdeps, its check
    xvfb xauth x11vnc openbox # the editor on a machine without a display
    libncurses-dev tmux # quenbyconf edit, the editor in a terminal, and its tests
    x11-utils dbus-daemon at-spi2-core python3-pyatspi # window captions, screen-reader names
    fonts-liberation
    clang-format
    ansible-core openssh-server # the collection's ansible-test integration targets, locally and over SSH
    python3-voluptuous yamllint python3-pycodestyle # its offline sanity checks: validate-modules, yamllint, pep8
)

installed="$(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${packages[@]}" 2>/dev/null || true)"
missing=()
for package in "${packages[@]}"; do
    grep -qx "$package installed" <<<"$installed" || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

as_root=()
if ((EUID != 0)); then
    if ! command -v sudo >/dev/null; then
        echo "setup: missing packages (${missing[*]}); run as root, or install sudo" >&2
        exit 1
    fi
    as_root=(sudo)
fi

# The log belongs to the calling user, also when this runs through sudo.
as_caller mkdir -p "$repo_root/build"
log="$repo_root/build/setup.log"
as_caller truncate -s 0 "$log"
# Waits for another apt (unattended upgrades on a new machine) to finish.
apt_get() {
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get -q -o Dpkg::Use-Pty=0 -o DPkg::Lock::Timeout=600 "$@" >>"$log" 2>&1
}
run() {
    local what="$1" started=$SECONDS
    shift
    printf 'setup: %s ...' "$what"
    if ! "$@"; then
        printf ' failed\n'
        tail -n 15 "$log"
        echo "setup: FAILED: $what (log: ${log#"$repo_root"/})" >&2
        exit 1
    fi
    printf ' done in %d s\n' $((SECONDS - started))
}

run "updating the package lists" apt_get update
run "downloading ${#missing[*]} packages and what they need" \
    apt_get install -y --no-install-recommends --download-only "${missing[@]}"
run "installing them (${missing[*]})" apt_get install -y --no-install-recommends "${missing[@]}"
