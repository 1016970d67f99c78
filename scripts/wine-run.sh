#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix, creating the prefix on first use
# without the prompts for Wine's .NET and browser add-ons: 32-bit Wine in
# build/windows/wineprefix, or with --win64 first, 64-bit Wine in build/windows64/wineprefix.
# "wine-run.sh [--win64] --stop" ends that prefix's server and every Windows process in it.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = --win64 ]; then
    shift
    # Wine's 64-bit loader by name: "wine" takes the 32-bit one wherever it is installed, and a
    # host without 32-bit code cannot run it.
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 PATH="/usr/lib/wine:$PATH"
    export WINEPREFIX="${WINEPREFIX:-$root/build/windows64/wineprefix}"
    wine=wine64
else
    export WINEARCH=win32
    export WINEPREFIX="${WINEPREFIX:-$root/build/windows/wineprefix}"
    wine=wine
fi
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
    "$wine" wineboot --init </dev/null >/dev/null 2>&1
    wineserver -w
fi
# One server for a whole test run instead of one per command; it ends a minute after the last.
# When this call starts it, Wine's own services are started too, before the command.
if wineserver -p60 </dev/null >/dev/null 2>&1; then
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
exec "$wine" "$@"
