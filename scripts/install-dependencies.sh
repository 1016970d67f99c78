#!/usr/bin/env bash
# Installs, from Debian's packages, what the builds and their tests need and the machine lacks,
# for each set named: "native" (always) for the Linux program (python3 runs the behaviour cases,
# nodejs is the reference for patterns, npm fetches the W3C XML suite for the document reading, time
# measures the reliability checks); "windows" for the cross build of the shipped 32-bit
# program and 32-bit Wine; "windows64" for the cross build of the shipped program and of the
# 64-bit test build, and 64-bit Wine, on a host that runs no 32-bit code
# (scripts/windows-test-build.sh tells which); "plot" for bench/plot.sh.
set -euo pipefail

packages=(cmake g++ make libxml2-dev libutfcpp-dev libboost-regex1.81-dev libgtest-dev googletest
          python3 time libxml2-utils nodejs)
# A Node.js that brings its own npm conflicts with Debian's package of it.
command -v npm >/dev/null || packages+=(npm)
# What the package and the installer examples are made and checked with, and Unicode's data, which
# the store's names are checked against with Wine.
windows_tests=(wixl nsis unzip unicode-data)
for set in "$@"; do
    case "$set" in
    native) ;;
    windows) packages+=(g++-mingw-w64-i686 wine wine32:i386 "${windows_tests[@]}") ;;
    windows64) packages+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 "${windows_tests[@]}") ;;
    plot) packages+=(gnuplot-nox) ;;
    *) echo "usage: $0 [native|windows|windows64|plot ...]" >&2; exit 2 ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}; run this script as root to install them." >&2
    exit 1
fi
# 32-bit Wine runs the 32-bit program with the i386 libraries: asked for only where the host
# runs 32-bit code.
if [[ " ${missing[*]} " == *":i386 "* ]]; then
    dpkg --add-architecture i386
fi
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
