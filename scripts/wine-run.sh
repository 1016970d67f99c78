#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own 32-bit prefix (build/windows/wineprefix),
# creating the prefix on first use without the prompts for Wine's .NET and browser add-ons.
# "wine-run.sh --stop" ends the prefix's server and every Windows process in it.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/windows/wineprefix}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

if [ "${1:-}" = --stop ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    exit 0
fi
# Wine's background processes must not hold the caller's output open, or whoever reads it
# waits for them.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wine wineboot --init </dev/null >/dev/null 2>&1
    wineserver -w
fi
# One server for a whole test run instead of one per command; it ends a minute after the last.
# When this call starts it, Wine's own services are started too, before the command.
if wineserver -p60 </dev/null >/dev/null 2>&1; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
exec wine "$@"
