#!/usr/bin/env bash
# Installs, from Debian's packages, what the builds and their tests need and the machine lacks:
# "native" for the Linux program (python3 runs the behaviour cases, time measures the reliability
# checks), "windows" also for the cross build and Wine.
set -euo pipefail

packages=(cmake g++ make libxml2-dev libutfcpp-dev libboost-regex1.81-dev libgtest-dev googletest
          python3 time libxml2-utils)
if [ "${1:-native}" = windows ]; then
    packages+=(g++-mingw-w64-i686 wine wine32:i386)
fi

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
# Wine runs the 32-bit program with the i386 libraries.
if [[ " ${missing[*]} " == *":i386 "* ]]; then
    dpkg --add-architecture i386
fi
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
