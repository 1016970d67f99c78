#!/usr/bin/env bash
# Runs the Linux preview, build/native/RegistryUpdatePreview, built first when needed, with the
# arguments given (README, "For document authors"):
#   scripts/preview.sh DOCUMENT MANUFACTURER PRODUCT VERSION [--registry BEFORE.reg]
#                      [--output AFTER.reg] [--strict]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$root/build/native/CMakeCache.txt" ]; then
    "$root/scripts/install-dependencies.sh" native
    (cd "$root" && cmake --preset native >/dev/null)
fi
(cd "$root" && cmake --build --preset native -j2 --target RegistryUpdatePreview >/dev/null)
exec "$root/build/native/RegistryUpdatePreview" "$@"
