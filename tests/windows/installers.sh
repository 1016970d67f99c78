#!/usr/bin/env bash
# The MSI and NSIS examples of docs/installers.md, taken as they stand, built around this build's
# program and a small document, installed silently under Wine with the test product component
# registered, and uninstalled again. A failure names the installer and the step.
# Usage: installers.sh INSTALLERS.md PROGRAM.exe COMPONENT.dll WINE_RUN [--win64]
set -euo pipefail
doc=$(realpath "$1") program=$(realpath "$2") component=$(realpath "$3")
shift 3
wine=("$(realpath "$1")" "${@:2}")
[ "${wine[-1]}" = --win64 ] && win64=yes || win64=
work=$(mktemp -d)
payload="$work/product files"
key='HKLM\SOFTWARE\Fluxmeter\Power Analyzer Pro\4.2\DeviceInfo'
installer=both step=setup
fail() { echo "$installer: $step: $*" >&2; exit 1; }
windows_path() { echo "Z:$1" | tr / '\\'; }
msi=$(windows_path "$payload/product.msi")
unix_path() { "${wine[@]}" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
import() { # a .reg text on standard input, CR LF line ends made
    sed 's/\r*$/\r/' >"$work/import.reg"
    "${wine[@]}" reg import "$(windows_path "$work/import.reg")" >/dev/null 2>&1
}
# Runs in the working folder, which must stay empty.
in_working_folder() { (cd "$work/working folder" && "${wine[@]}" "$@" </dev/null >/dev/null 2>&1); }
forget() {
    printf '%s\n' 'Windows Registry Editor Version 5.00' '' '[-HKEY_LOCAL_MACHINE\SOFTWARE\Fluxmeter]' \
        '[-HKEY_LOCAL_MACHINE\SOFTWARE\Classes\ProductInfo.ProductInfo]' | import || true
}
# Whatever a failed step left installed goes too, so that the next run starts clean.
clean_up() {
    [ ! -f "$payload/product.msi" ] || in_working_folder msiexec /x "$msi" /qn || true
    [ -z "${folder:-}" ] || rm -rf "$folder"
    forget
    rm -rf "$work"
}
trap clean_up EXIT

# The examples as the page gives them; the 64-bit test build goes into 64-bit installers.
mkdir -p "$payload" "$work/working folder"
awk '/^```xml$/ { inside = 1; next } /^```$/ { if (inside) exit } inside' "$doc" >"$payload/product.wxs"
awk '/^```nsis$/ { inside = 1; next } /^```$/ { if (inside) exit } inside' "$doc" >"$payload/product.nsi"
cp "$program" "$payload/RegistryUpdate.exe"
# The NSIS example's !system line runs the preview beside the program under Wine, as it stands.
preview=$(dirname "$program")/RegistryUpdatePreview.exe
printf -v run_preview '"%s" ' "${wine[@]}" "$preview"
sed -i "s|^!system 'RegistryUpdatePreview.exe |!system '$run_preview|" "$payload/product.nsi"
: >"$payload/registryErrorLog.txt"
cat >"$payload/meters.xml" <<'XML'
<Meters><Product name="^Power Analy[sz]er"><IncludeKey vendor="Northwind"/></Product>
<Device vendor="Northwind" type="NW-200"><RegistryData><Firmware version="2.1">
<Key voltsMode="AC" Filename="nw200_ac.cfg"/></Firmware></RegistryData></Device></Meters>
XML
if [ -n "$win64" ]; then
    sed -i 's/<Component /<Component Win64="yes" /' "$payload/product.wxs"
    wixl_options=(-a x64) nsis_options=(-X"Target amd64-unicode")
else
    wixl_options=() nsis_options=()
fi
step=build
installer=MSI
(cd "$payload" && wixl "${wixl_options[@]}" -o product.msi product.wxs 2>"$work/wixl.txt") ||
    fail "wixl refused the example: $(cat "$work/wixl.txt")"
installer=NSIS
makensis -V2 "${nsis_options[@]}" "$payload/product.nsi" >"$work/makensis.txt" ||
    fail "makensis refused the example: $(tail -5 "$work/makensis.txt")"
grep -q '^registryErrorLog.txt: empty' "$work/makensis.txt" || fail "the preview did not run"
# The same script over a document that logs: the preview fails the build.
mkdir "$work/broken"
cp "$payload/product.nsi" "$payload/RegistryUpdate.exe" "$work/broken/"
sed 's/ Filename="nw200_ac.cfg"//' "$payload/meters.xml" >"$work/broken/meters.xml"
! makensis -V2 "${nsis_options[@]}" "$work/broken/product.nsi" >"$work/makensis.txt" 2>&1 ||
    fail "makensis built the installer over a document that logs"
grep -q '^registryErrorLog.txt: 1 line' "$work/makensis.txt" ||
    fail "the build stopped, but not for the preview's log: $(tail -5 "$work/makensis.txt")"
echo "NSIS: the !system line builds over the clean document and stops the build over a broken one"

# The product's component and its properties, as the product's own setup leaves them: the
# standard product registration of the behaviour cases.
step=setup
installer=both
forget
dll=$(windows_path "$component" | sed 's/\\/\\\\/g')
cat "$(dirname "$0")/../cases/before.reg" - <<REG | import || fail "the test component could not be registered"

[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\ProductInfo.ProductInfo\CLSID]
@="{6A0D3C52-8E4B-4F71-9C1D-2B7E5A90F3C4}"

[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\CLSID\{6A0D3C52-8E4B-4F71-9C1D-2B7E5A90F3C4}\InprocServer32]
@="$dll"
"ThreadingModel"="Apartment"
REG
drive_c=$(unix_path 'C:\' | sed 's|/$||')
[ -d "$drive_c" ] || fail "Wine names no folder for C:"
# Where an installer put the program: a 32-bit installer, and the MSI's ProgramFilesFolder,
# choose the 32-bit program folder, which 64-bit Windows calls "Program Files (x86)".
find_installed() {
    for installed in 'C:\Program Files (x86)\Fluxmeter\Power Analyzer Pro' \
        'C:\Program Files\Fluxmeter\Power Analyzer Pro'; do
        folder=$drive_c/$(echo "${installed#C:\\}" | tr '\\' /)
        [ -f "$folder/RegistryUpdate.exe" ] && return
    done
    fail "RegistryUpdate.exe was not installed"
}

# Installs with the command, then checks what the installed program did.
install() {
    installer=$1 step=install
    shift
    in_working_folder "$@" || fail "$1 failed"
    find_installed
    step="entries written"
    "${wine[@]}" reg query "$key\\NW-200\\2.1" /v AC 2>/dev/null | tr -d '\r' |
        grep -q 'AC.*REG_SZ.*nw200_ac\.cfg' || fail "no value AC = nw200_ac.cfg under $key\\NW-200\\2.1"
    step="log beside the program"
    [ -f "$folder/registryErrorLog.txt" ] || fail "no registryErrorLog.txt in $folder"
    [ ! -s "$folder/registryErrorLog.txt" ] || fail "the log holds: $(cat "$folder/registryErrorLog.txt")"
    step="working folder"
    [ -z "$(ls -A "$work/working folder")" ] || fail "written there: $(ls -A "$work/working folder")"
    for elsewhere in "$drive_c/registryErrorLog.txt" "$drive_c/windows/system32/registryErrorLog.txt" \
        "$drive_c/windows/syswow64/registryErrorLog.txt"; do
        [ ! -e "$elsewhere" ] || fail "a log was written to $elsewhere"
    done
}
# Uninstalls with the command, then checks that nothing is left.
uninstall() {
    step=uninstall
    in_working_folder "$@" || fail "$1 failed"
    for file in RegistryUpdate.exe meters.xml registryErrorLog.txt; do
        [ ! -e "$folder/$file" ] || fail "$file is still in $folder"
    done
    ! "${wine[@]}" reg query "$key" >/dev/null 2>&1 || fail "$key is still there"
    echo "$installer: installed, entries written, empty log beside the program, uninstalled"
}

install MSI msiexec /i "$msi" /qn
uninstall msiexec /x "$msi" /qn
install NSIS "$(windows_path "$payload/product-setup.exe")" /S
# The uninstaller waits only when told the folder with _?=, which must come last and unquoted:
# handed over in blank-free pieces, Wine joins them without quotes.
read -ra folder_pieces <<<"_?=$installed"
uninstall "$(windows_path "$folder/uninstall.exe")" /S "${folder_pieces[@]}"
