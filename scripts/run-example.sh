#!/usr/bin/env bash
# Builds the program, runs it in a scratch folder on the example document and registry store,
# shows what it logged and what it wrote, and says where it left the folder. Exits 0 when the
# run went well: an empty log and entries added. Otherwise it says what failed and exits 1.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
    echo "run-example.sh: $*" >&2
    exit 1
}

scripts/install-dependencies.sh || fail "could not install what the build needs"
cmake --preset native >/dev/null || fail "cmake --preset native failed"
cmake --build --preset native -j"$(nproc)" >/dev/null || fail "the build failed"

scratch=$(mktemp -d)
trap 'echo "== left in $scratch"' EXIT
cp build/native/RegistryUpdate examples/meters.xml examples/HKEY_LOCAL_MACHINE.reg "$scratch/"
"$scratch/RegistryUpdate" "$scratch/meters.xml" || fail "the program exited with status $?"

log=$scratch/registryErrorLog.txt
[ -f "$log" ] || fail "the program left no registryErrorLog.txt"
echo "== registryErrorLog.txt ($(wc -c <"$log") bytes)"
cat "$log"
echo "== what the run added to HKEY_LOCAL_MACHINE.reg"
# diff exits 1 when the stores differ, as they do after every run that wrote something.
changes=$(diff <(tr -d '\r' <examples/HKEY_LOCAL_MACHINE.reg) \
    <(tr -d '\r' <"$scratch/HKEY_LOCAL_MACHINE.reg")) || [ $? -eq 1 ] ||
    fail "could not compare the store with examples/HKEY_LOCAL_MACHINE.reg"
sed -n 's/^> //p' <<<"$changes"

[ ! -s "$log" ] || fail "the run logged a problem (above)"
grep -q '^> ' <<<"$changes" || fail "the run added nothing to the store"
! grep -q '^< ' <<<"$changes" || fail "the run changed or removed lines of the store it had to keep"
