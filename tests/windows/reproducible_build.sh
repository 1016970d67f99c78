#!/usr/bin/env bash
# The shipped program is reproducible: built again from the same sources, later, in another
# folder whose path holds a blank, it has the same bytes, so anyone can check that a shipped
# RegistryUpdate.exe is the one built from a commit.
# Usage: reproducible_build.sh SOURCE_DIR PROGRAM.exe
set -euo pipefail
source=$(realpath "$1") program=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy="$work/another build folder"
mkdir -p "$copy"
tar -C "$source" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
cmake -S "$copy" -B "$copy/build" --toolchain "$copy/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DREGISTRY_UPDATE_TESTS=OFF >/dev/null
cmake --build "$copy/build" --target RegistryUpdate -j2 >/dev/null
if ! cmp "$program" "$copy/build/RegistryUpdate.exe"; then
    echo "a second build of the same sources differs from $program" >&2
    exit 1
fi
echo "built again in another folder: the same bytes, SHA-256 $(sha256sum <"$program" | cut -d' ' -f1)"
