#!/usr/bin/env bash
# Builds the Debian package quenbyeditor_<version>_<arch>.deb in the repository
# root (Release, with Debian's hardening flags, in build-package/) and checks it
# with lintian. Install it with: sudo apt install ./quenbyeditor_*.deb
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "$0")/common.sh"
cd "$repo_root"

bash "$repo_root/scripts/setup.sh"
as_invoker mkdir -p build-package
echo "package: building the editor"
# Debian's own compiler and linker flags (fortify, stack protector, relro).
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
quietly build-package/configure.log as_invoker cmake -S "$repo_root" -B build-package \
    "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DQE_GUI=ON -DQE_BENCH=OFF -DBUILD_TESTING=OFF
quietly build-package/build.log as_invoker cmake --build build-package -j "$build_jobs"
echo "package: making the package"
quietly build-package/cpack.log as_invoker cpack --config build-package/CPackConfig.cmake \
    -B build-package/cpack
deb="$(find build-package/cpack -maxdepth 1 -name 'quenbyeditor_*.deb' -printf '%f\n')"
as_invoker cp "build-package/cpack/$deb" "$repo_root/$deb"

# lintian: errors fail the script, warnings are shown.
if ! command -v lintian >/dev/null; then
    echo "package: lintian is not installed; run scripts/setup.sh" >&2
    exit 1
fi
lintian --fail-on error --tag-display-limit 0 "$repo_root/$deb"
echo "package: $repo_root/$deb"
echo "install it with: sudo apt install ./$deb"
