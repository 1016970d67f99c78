#!/usr/bin/env bash
# What can be checked of a shipped program without running it: a 32-bit program of the GUI
# subsystem (the preview: the console subsystem) that needs only Windows' own DLLs (no MinGW
# runtime beside it), carrying a manifest that asks for no elevation and a version resource.
# Usage: shipped_program.sh PROGRAM.exe VERSION [GUI|console]
set -euo pipefail
program=$1 version=$2.0 subsystem=${3:-GUI}
name=$(basename "$program")
failed=0
fail() { echo "$program: $*" >&2; failed=1; }

headers=$(i686-w64-mingw32-objdump -p "$program")
grep -q 'file format pei-i386' <<<"$headers" || fail "not a 32-bit Windows program"
grep -q '^Magic.*(PE32)$' <<<"$headers" || fail "not PE32"
[ "$subsystem" = GUI ] && expected='Windows GUI' || expected='Windows CUI'
grep -q "^Subsystem.*($expected)\$" <<<"$headers" || fail "not of the $subsystem subsystem"
system_dlls='^(ADVAPI32|KERNEL32|msvcrt|ole32|OLEAUT32|USER32)\.dll$'
while read -r dll; do
    grep -Eqi "$system_dlls" <<<"$dll" || fail "imports $dll, which Windows does not have"
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")

resources=$(i686-w64-mingw32-windres -i "$program" -O rc)
grep -q 'requestedExecutionLevel level=""asInvoker""' <<<"$resources" ||
    fail "no manifest asking for no elevation"
grep -q 'processorArchitecture=""x86""' <<<"$resources" || fail "the manifest is not for x86"
grep -q "VALUE \"OriginalFilename\", \"$name\"" <<<"$resources" ||
    fail "no version resource"
grep -q "VALUE \"FileVersion\", \"$version\"" <<<"$resources" || fail "not version $version"
grep -q "version=\"\"$version\"\"" <<<"$resources" || fail "the manifest is not version $version"
[ $failed -eq 0 ] && echo "$program: PE32, $subsystem subsystem, system DLLs only, manifest and version"
exit $failed
