#!/usr/bin/env bash
# Installs the Debian 12 packages that Pagelyst's build, tests, fuzzing and benchmarks need,
# only those that are missing. Works as root, or through sudo for a normal user.
#   scripts/bootstrap.sh          core, command line, tests
#   scripts/bootstrap.sh --app    also the Qt desktop program
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config ccache
    libcurl4-openssl-dev libssl-dev openssl ca-certificates
    libgtest-dev libgmock-dev libbenchmark-dev libxml2-dev
    libcpp-httplib-dev nlohmann-json3-dev libcli11-dev
    clang libclang-rt-14-dev clang-format
    curl wget python3 strace
    chromium
    nginx-light
)
# The HAR schema check runs the npm package har-validator: Debian's Node.js unless the machine
# has one already.
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
    packages+=(nodejs npm)
fi
if [[ "${1:-}" == "--app" ]]; then
    # poppler-utils: the PDF export's test turns the first page into a picture; pyatspi and
    # the accessibility bus: the journey test reads the window as a screen reader does.
    packages+=(qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libgl-dev xvfb openbox xdotool
               python3-pyatspi gir1.2-atspi-2.0 at-spi2-core dbus-x11 imagemagick
               poppler-utils)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
    exit 0
fi

echo "bootstrap: installing ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
