#!/usr/bin/env bash
# Builds the Debian package dist/ostrel-viewer_<version>_<arch>.deb: installs what building
# it needs, makes a release build for /usr in build-package/ (or $PACKAGE_BUILD_DIR), and
# lets CPack package what `cmake --install` puts there. Install the result with
#   sudo apt-get install ./dist/ostrel-viewer_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" --package
build=${PACKAGE_BUILD_DIR:-$root/build-package}
# Debian's hardening flags (fortified functions, stack protector, read-only relocations
# bound at start).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxx_flags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$cxx_flags" -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DOSTREL_WITH_TESTS=OFF -DOSTREL_WITH_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -rf "$build/_CPack_Packages" "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
mkdir -p "$root/dist"
rm -f "$root"/dist/ostrel-viewer_*.deb
mv "$build"/ostrel-viewer_*.deb "$root/dist/"
ls "$root"/dist/ostrel-viewer_*.deb
