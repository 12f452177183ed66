#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the editor and the tests need, and
# only those that are missing. Runs apt-get as root, or through sudo otherwise.
set -euo pipefail

packages=(
    build-essential cmake ninja-build
    clang libclang-rt-14-dev # sanitizer and libFuzzer runtimes for clang 14
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev libgl-dev
    qt6-svg-dev # the icon's PNG sizes are rendered from its SVG
    desktop-file-utils appstream # validators of the desktop entry and metainfo
    dpkg-dev file lintian # the Debian package: shlibdeps, its check
    xvfb xauth x11vnc # the editor on a machine without a display
    fonts-liberation
    clang-format
)

missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
    echo "setup: all packages present"
    exit 0
fi

as_root=()
if ((EUID != 0)); then
    if ! command -v sudo >/dev/null; then
        echo "setup: missing packages (${missing[*]}); run as root or install sudo" >&2
        exit 1
    fi
    as_root=(sudo)
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}"
