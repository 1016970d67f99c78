#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own 32-bit prefix (build/windows/wineprefix),
# creating the prefix on first use without the prompts for Wine's .NET and browser add-ons.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/windows/wineprefix}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wine wineboot --init >/dev/null 2>&1
    wineserver -w
fi
# One server for a whole test run instead of one per command; it ends a minute after the last.
wineserver -p60 2>/dev/null || true
exec wine "$@"
