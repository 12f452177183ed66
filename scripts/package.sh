#!/usr/bin/env bash
# Builds the Debian package quenbyeditor_<version>_<arch>.deb into the repository
# root (Release, with Debian's hardening flags, in build-package/) and checks it
# with lintian. Install it with: sudo apt install ./quenbyeditor_*.deb
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/common.sh"
begin "$0" "$@"
cd "$repo_root"

echo "package: building the editor"
# Debian's own compiler and linker flags (fortify, stack protector, relro); read
# by cmake when it first configures build-package/.
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
if ! build_folder "$repo_root/build-package" \
    "-DCMAKE_BUILD_TYPE=Release -DQE_GUI=ON -DQE_BENCH=OFF -DBUILD_TESTING=OFF"; then
    echo "package: FAILED: the editor did not build (log: ${failed_log#"$repo_root"/})" >&2
    exit 1
fi

echo "package: making the package"
rm -rf build-package/cpack
if ! cpack --config build-package/CPackConfig.cmake -B build-package/cpack \
    >build-package/cpack.log 2>&1; then
    tail -n 30 build-package/cpack.log
    echo "package: FAILED: cpack (log: build-package/cpack.log)" >&2
    exit 1
fi
deb="$(find build-package/cpack -maxdepth 1 -name 'quenbyeditor_*.deb' -printf '%f\n')"
cp "build-package/cpack/$deb" "$repo_root/$deb"

# Errors fail the script; warnings and notes are shown.
echo "package: checking it with lintian"
lintian --fail-on error --tag-display-limit 0 "$repo_root/$deb"
echo "package: $deb"
echo "install it with: sudo apt install ./$deb"
