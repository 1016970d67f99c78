#!/usr/bin/env bash
# Shows what a meter definition document would do on a machine with one product installed: runs
# the Linux program on it against a fresh store that holds just that product, then prints the log
# and the entries the run wrote. Exits 1 when the log is not empty.
set -euo pipefail

if [ $# -ne 4 ]; then
    echo "usage: $0 DOCUMENT MANUFACTURER PRODUCT VERSION" >&2
    exit 2
fi
document=$(realpath -m -- "$1")
cd "$(dirname "$0")/.."

if [ ! -x build/native/RegistryUpdate ]; then
    scripts/install-dependencies.sh
    cmake --preset native >/dev/null
fi
cmake --build --preset native -j"$(nproc)" --target RegistryUpdate >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp build/native/RegistryUpdate "$scratch/"

# Text in a .reg string escapes its backslashes and double quotes.
quoted() { sed 's/[\\"]/\\&/g' <<<"$1"; }
{
    echo 'Windows Registry Editor Version 5.00'
    echo
    echo '[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\ProductInfo.ProductInfo]'
    echo "\"Manufacturer\"=\"$(quoted "$2")\""
    echo "\"ProductName\"=\"$(quoted "$3")\""
    echo "\"ProductVersion\"=\"$(quoted "$4")\""
    echo
} | sed 's/$/\r/' >"$scratch/HKEY_LOCAL_MACHINE.reg"

# The declaration may stand in a UTF-16 document, whose bytes grep alone would not match.
declarations() { { cat -- "$document" 2>/dev/null; iconv -f UTF-16 -t UTF-8 -- "$document" 2>/dev/null; } |
    LC_ALL=C grep -ac '<!DOCTYPE'; }
if [ "$(declarations)" != 0 ]; then
    echo "warning: $1 has a document type declaration: Windows validates the document against it and does not load it unless it is valid" >&2
fi
"$scratch/RegistryUpdate" "$document"

log=$scratch/registryErrorLog.txt
echo "== registryErrorLog.txt ($(wc -c <"$log") bytes)"
tr -d '\r' <"$log"
echo "== entries written"
store=$scratch/HKEY_LOCAL_MACHINE.reg
# The store may be UTF-16 with a byte-order mark, as a registry export on Windows is.
if [ "$(head -c 2 "$store" | od -An -tx1 | tr -d ' ')" = fffe ]; then
    iconv -f UTF-16 -t UTF-8 "$store"
else
    cat "$store"
fi | tr -d '\r' | awk '
    /^\[/ { product = $0 == "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\ProductInfo.ProductInfo]" }
    !product'
[ ! -s "$log" ]
