#!/usr/bin/env bash
# Builds the program, runs it in a scratch folder on the example document and registry store,
# and shows what it logged and what it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" >/dev/null

scratch=$(mktemp -d)
cp build/native/RegistryUpdate examples/meters.xml examples/HKEY_LOCAL_MACHINE.reg "$scratch/"
"$scratch/RegistryUpdate" "$scratch/meters.xml"

echo "== registryErrorLog.txt ($(wc -c <"$scratch/registryErrorLog.txt") bytes)"
cat "$scratch/registryErrorLog.txt"
echo "== what the run added to HKEY_LOCAL_MACHINE.reg"
diff <(tr -d '\r' <examples/HKEY_LOCAL_MACHINE.reg) <(tr -d '\r' <"$scratch/HKEY_LOCAL_MACHINE.reg") |
    sed -n 's/^> //p'
echo "== left in $scratch"
