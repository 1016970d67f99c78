#!/usr/bin/env bash
# The package installer authors take: the zip holds the program, its preview, the schema, the example, the
# text for installer authors and checksums that hold, and its own checksum file holds too.
# Usage: package.sh SHIPPED_BUILD_FOLDER VERSION
set -euo pipefail
build=$(realpath "$1") name=RegistryUpdate-$2-win32
cmake --build "$build" --target package >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && sha256sum --quiet -c "$name.zip.sha256")
unzip -q "$build/$name.zip" -d "$work"
(cd "$work/$name" && sha256sum --quiet -c SHA256SUMS)
listing=$(cd "$work/$name" && ls | sort | tr '\n' ' ')
expected="README.txt RegistryUpdate.exe RegistryUpdatePreview.exe SHA256SUMS installers.md meters.xml meters.xsd "
[ "$listing" = "$expected" ] || { echo "$name.zip holds $listing, not $expected" >&2; exit 1; }
for program in RegistryUpdate.exe RegistryUpdatePreview.exe; do
    cmp "$build/$program" "$work/$name/$program"
done
echo "$name.zip: $listing, checksums hold"
