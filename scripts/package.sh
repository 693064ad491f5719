#!/usr/bin/env bash
# Builds the Debian package: a Release tree in build/package (the desktop program, no tests),
# then `cpack -G DEB` and `lintian` on the result. Prints the package's path last.
# Needs dpkg-dev (dpkg-shlibdeps) and lintian: `apt-get install dpkg-dev lintian`.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tree=build/package

for tool in dpkg-shlibdeps lintian; do
    command -v "$tool" >/dev/null || { echo "package.sh: $tool is missing (apt-get install dpkg-dev lintian)" >&2; exit 1; }
done

launcher=()
if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1 CCACHE_SLOPPINESS=pch_defines,time_macros
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# The programs are linked with full RELRO (read-only relocations, bound at start-up).
cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAGELYST_BUILD_TESTS=OFF \
    -DPAGELYST_BUILD_APP=ON -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro,-z,now" "${launcher[@]}" >/dev/null
cmake --build "$tree" -j "${JOBS:-$(nproc)}" --target pagelyst pagelyst-cli dist_files

rm -f "$tree"/pagelyst_*.deb
(cd "$tree" && cpack -G DEB >/dev/null)
deb=$(ls "$tree"/pagelyst_*.deb)

# The whole help folder is packed, whatever pages it holds today.
contents=$(dpkg-deb -c "$deb")
for page in app/help/*; do
    grep -q " \./usr/share/pagelyst/help/$(basename "$page")\$" <<<"$contents" ||
        { echo "package.sh: $page is not in the package" >&2; exit 1; }
done

echo "== lintian $deb"
# Errors fail the run; warnings and notes are printed.
lintian --fail-on error --display-info "$deb"
echo "$deb"
