#!/usr/bin/env bash
# A store the Linux program wrote, names and values outside ASCII included, is what Windows'
# own importer reads back: imported with reg import and exported again, every entry is the same.
# Usage: store_imports_exactly.sh LINUX_PROGRAM WINE_RUN [WINE_RUN_OPTION]
set -euo pipefail
program=$(realpath "$1")
shift
wine=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$program" RegistryUpdate
utf16() { sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; }; }
utf16 >HKEY_LOCAL_MACHINE.reg <<'REG'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\ProductInfo.ProductInfo]
"Manufacturer"="Zähler Werk"
"ProductName"="Messgerät €"
"ProductVersion"="1.0"
REG
cat >meters.xml <<'XML'
<Meters><Product name=""><IncludeKey vendor="V"/></Product>
<Device vendor="V" type="Zähler-Ω-計"><RegistryData><Firmware version="✓">
<Key voltsMode="€" Filename="ü𝄞.cfg"/></Firmware></RegistryData></Device></Meters>
XML
./RegistryUpdate meters.xml
[ ! -s registryErrorLog.txt ] || { cat registryErrorLog.txt; exit 1; }
# The entries below the manufacturer, one per line, in a stable order.
entries() { iconv -f UTF-16 -t UTF-8 "$1" | tr -d '\r' | grep -v '^$' |
    awk '/^\[/ { mine = index($0, "\\SOFTWARE\\Zähler Werk") } mine' | sort; }
key='HKEY_LOCAL_MACHINE\SOFTWARE\Zähler Werk'
printf 'Windows Registry Editor Version 5.00\r\n\r\n[-%s]\r\n[-%s]\r\n' "$key" \
    'HKEY_LOCAL_MACHINE\SOFTWARE\Classes\ProductInfo.ProductInfo' | iconv -t UTF-16LE |
    { printf '\xff\xfe'; cat; } >clear.reg
"${wine[@]}" reg import clear.reg
"${wine[@]}" reg import HKEY_LOCAL_MACHINE.reg
"${wine[@]}" reg export "$key" exported.reg /y
"${wine[@]}" reg import clear.reg
diff <(entries HKEY_LOCAL_MACHINE.reg) <(entries exported.reg)
echo "the written store imports exactly: $(entries exported.reg | grep -c '^"') values"
