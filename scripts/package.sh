#!/usr/bin/env bash
# Builds the Debian packages into the repository root (Release, with Debian's
# hardening flags) and checks each with lintian:
#   scripts/package.sh              quenbyeditor_<version>_<arch>.deb, the editor,
#                                   and quenbyconf_<version>_<arch>.deb, the headless
#                                   command (in build-package/)
#   scripts/package.sh quenbyconf   only quenbyconf, from a build without Qt
#                                   (in build-package-cli/)
# Install one with: sudo apt install ./quenbyconf_*.deb
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/common.sh"
begin "$0" "$@"
cd "$repo_root"

case ${1:-} in
"") packages=(quenbyeditor quenbyconf) gui=ON dir=build-package ;;
quenbyconf) packages=(quenbyconf) gui=OFF dir=build-package-cli ;;
*)
    echo "usage: scripts/package.sh [quenbyconf]" >&2
    exit 2
    ;;
esac

echo "package: building ${packages[*]}"
# Debian's own compiler and linker flags (fortify, stack protector, relro); read
# by cmake when it first configures the build folder.
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
if ! build_folder "$repo_root/$dir" \
    "-DCMAKE_BUILD_TYPE=Release -DQE_GUI=$gui -DQE_BENCH=OFF -DBUILD_TESTING=OFF"; then
    echo "package: FAILED: the build failed (log: ${failed_log#"$repo_root"/})" >&2
    exit 1
fi

echo "package: making the packages"
rm -rf "$dir/cpack"
if ! cpack --config "$dir/CPackConfig.cmake" -B "$dir/cpack" >"$dir/cpack.log" 2>&1; then
    tail -n 30 "$dir/cpack.log"
    echo "package: FAILED: cpack (log: $dir/cpack.log)" >&2
    exit 1
fi
debs=()
for package in "${packages[@]}"; do
    deb="$(find "$dir/cpack" -maxdepth 1 -name "${package}_*.deb" -printf '%f\n')"
    if [[ -z $deb ]]; then
        echo "package: FAILED: cpack made no $package package (log: $dir/cpack.log)" >&2
        exit 1
    fi
    cp "$dir/cpack/$deb" "$repo_root/$deb"
    debs+=("$deb")
done

# Errors fail the script; warnings and notes are shown.
echo "package: checking them with lintian"
lintian --fail-on error --tag-display-limit 0 "${debs[@]/#/$repo_root/}"
echo "package: ${debs[*]}"
echo "install one with: sudo apt install ./${debs[0]}"
