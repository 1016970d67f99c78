#!/usr/bin/env bash
# Says which build the Windows tests run on here, and why: "windows" (the shipped 32-bit program
# under 32-bit Wine) on a host that runs 32-bit code, else "windows64" (the same sources built
# for x86_64, for tests only, under 64-bit Wine). REGISTRY_UPDATE_WIN64_TESTS=1 asks for
# "windows64" on any host. Prints the build's preset name, a blank, and the reason.
set -euo pipefail

if [ "${REGISTRY_UPDATE_WIN64_TESTS:-}" = 1 ]; then
    echo "windows64 REGISTRY_UPDATE_WIN64_TESTS=1 asks for it"
    exit 0
fi
# The host is asked by running 32-bit code: a 93-byte static program that only exits. A kernel
# without 32-bit support refuses it with "Exec format error".
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
# ELF header, one loadable segment, then the code: mov eax, 1; xor ebx, ebx; int 0x80 (exit 0).
printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0' >"$probe"
printf '\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0' >>"$probe"
printf '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0' >>"$probe"
printf '\270\1\0\0\0\61\333\315\200' >>"$probe"
chmod +x "$probe"
if "$probe" 2>/dev/null; then
    echo "windows this host runs 32-bit code"
else
    echo "windows64 this host runs no 32-bit code"
fi
