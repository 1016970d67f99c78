#!/usr/bin/env bash
# The Linux program under hostile surroundings: killed while saving, run several at once, fed
# documents built to hurt, left without room or rights to write. Usage: reliability.sh PROGRAM
set -euo pipefail
program=$(realpath "$1")
dir=$(mktemp -d)
trap 'chmod -R u+w "$dir"; rm -rf "$dir"' EXIT
cd "$dir"
cp "$program" RegistryUpdate
store=HKEY_LOCAL_MACHINE.reg
fail() { echo "FAIL: $*"; exit 1; }

# A document including vendor $1 with $2 devices, each one firmware of two keys.
document() {
    echo "<Meters><Product name=\"\"><IncludeKey vendor=\"$1\"/></Product>${3:-}"
    for ((i = 0; i < $2; i++)); do
        echo "<Device vendor=\"$1\" type=\"$1$i\"><RegistryData><Firmware version=\"1\">"
        echo "<Key voltsMode=\"AC\" Filename=\"a$i\"/><Key voltsMode=\"DC\" Filename=\"d\"/>"
        echo "</Firmware></RegistryData></Device>"
    done
    echo "</Meters>"
}
# A store with the product and $1 keys of other software.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\ProductInfo.ProductInfo]\r\n"Manufacturer"="F"\r\n"ProductName"="P"\r\n"ProductVersion"="1"\r\n\r\n' >product.reg
store_of() {
    cp product.reg "$store"
    for ((i = 0; i < $1; i++)); do printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other\\Key%d]\r\n"V"="%0100d"\r\n\r\n' "$i" 0; done >>"$store"
}
has_key() { grep -qF "[HKEY_LOCAL_MACHINE\\SOFTWARE\\F\\P\\1\\DeviceInfo\\$1]" "$store"; }
log_is() { [ "$(cat registryErrorLog.txt 2>&1)" = "$1${1:+$'\r'}" ] || fail "log: $(cat registryErrorLog.txt 2>&1)"; }
# A run on document $1.xml that logs $2 and stays under 512 MB.
bounded() {
    /usr/bin/time -f %M -o memory ./RegistryUpdate "$1.xml" && log_is "$2"
    [ "$(cat memory)" -lt 524288 ] || fail "$1.xml took $(cat memory) kB"
}

echo "Killed during save: the store is the old one or the new one, never a part"
document Acme 2000 >m.xml
store_of 20000
cp "$store" old.reg
start=$(date +%s%N)
./RegistryUpdate m.xml
took=$((($(date +%s%N) - start) / 1000))
cp "$store" new.reg
seen=""
# Kills from the start to twice the measured run, so that a run slowed by a busy machine still
# ends before the last ones.
for ((attempt = 0; attempt < 30; attempt++)); do
    cp old.reg "$store"
    ./RegistryUpdate m.xml & child=$!
    delay=$((took * attempt / 15))
    sleep "$(printf '%d.%06d' $((delay / 1000000)) $((delay % 1000000)))"
    kill -KILL $child 2>/dev/null || true
    wait $child 2>/dev/null || true
    if cmp -s "$store" old.reg; then seen+=o; elif cmp -s "$store" new.reg; then seen+=n; else fail "a partial store"; fi
    ./RegistryUpdate m.xml && log_is "" && cmp -s "$store" new.reg || fail "the run after a killed one"
done
[[ $seen == *o* && $seen == *n* ]] || fail "kills did not fall on both sides of the save: $seen"

echo "Runs at once: every run's writes are kept"
store_of 2000
for vendor in Acme Beta Core Dyne Echo Flux; do document $vendor 300 >$vendor.xml; done
for vendor in Acme Beta Core Dyne Echo Flux; do ./RegistryUpdate $vendor.xml & done
wait
for vendor in Acme Beta Core Dyne Echo Flux; do has_key ${vendor}0 && has_key ${vendor}299 || fail "$vendor lost"; done
grep -qF 'SOFTWARE\Other\Key1999]' "$store" || fail "old content lost"

echo "Hostile documents end soundly in bounded memory"
cp product.reg "$store"
deep=$(printf '<a>%.0s' {1..100000}; printf '</a>%.0s' {1..100000})
document Acme 1 "$deep" >deep.xml
{ echo '<Meters><Product name=""><IncludeKey vendor="Acme"/></Product><Device vendor="Acme" type="H">'
  printf '<RegistryData><Firmware version="1"><Key voltsMode="AC" Filename="%08388608d"/>' 0
  echo '</Firmware></RegistryData></Device></Meters>'; } >huge.xml
# Nesting that deep is refused as the Windows program's parser refuses it; the huge value is kept.
bounded deep " Error reading xml document: meters.xml"
bounded huge ""
has_key H || fail "the huge document's device is missing"

echo "Documents with a type declaration, read through libxml2's tree: the same bounds hold"
declared='<!DOCTYPE Meters ['
for element in Meters Product IncludeKey Device RegistryData Firmware Key a; do declared+="<!ELEMENT $element ANY>"; done
declared+='<!ATTLIST Product name CDATA #IMPLIED><!ATTLIST IncludeKey vendor CDATA #IMPLIED>'
declared+='<!ATTLIST Device vendor CDATA #IMPLIED type CDATA #IMPLIED><!ATTLIST Firmware version CDATA #IMPLIED>'
declared+='<!ATTLIST Key voltsMode CDATA #IMPLIED Filename CDATA #IMPLIED>'
{ echo "$declared]>"; cat deep.xml; } >declared-deep.xml
{ echo "$declared]>"; sed 's/type="H"/type="DeclaredH"/' huge.xml; } >declared-huge.xml
bounded declared-deep " Error reading xml document: meters.xml"
bounded declared-huge ""
has_key DeclaredH || fail "the huge declared document's device is missing"

echo "Documents and external entities that are no regular file, or never end, fail the load at once"
mkfifo pipe.xml
mkdir folder.xml
printf '<!ENTITY %% again SYSTEM "again.dtd">%%again;' >again.dtd
for target in pipe.xml /dev/zero /dev/stdin folder.xml itself.xml again.dtd; do
    if [ $target = again.dtd ]; then
        echo "<!DOCTYPE Meters SYSTEM \"again.dtd\"><Meters/>"
    else
        echo "${declared}<!ENTITY e SYSTEM \"$target\">]><Meters>&e;</Meters>"
    fi >itself.xml
    timeout 20 ./RegistryUpdate itself.xml </dev/zero || fail "the run on an entity naming $target did not end"
    log_is " Error reading xml document: meters.xml"
done
for target in pipe.xml /dev/zero folder.xml; do
    timeout 20 ./RegistryUpdate $target </dev/zero || fail "the run on the document $target did not end"
    log_is " Error reading xml document: meters.xml"
done

echo "Texts rewritten many times cost memory for their longest, not for all"
# Four hundred passes give one value two 1 MB texts in turn; the store repeats a value 5,000
# times, each line after a comment, all of which are kept before the one line written.
{ echo '<Meters>'; printf '<Product name=""><IncludeKey vendor="Acme"/></Product>%.0s' {1..400}
  printf '<Device vendor="Acme" type="R"><RegistryData><Firmware version="1">'
  printf '<Key voltsMode="AC" Filename="%01048576d"/>' 0 1
  echo '</Firmware></RegistryData></Device></Meters>'; } >rewritten.xml
{ cat product.reg; printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n'
  for ((i = 0; i < 5000; i++)); do printf ';%0100d\r\n"V"="%d"\r\n' 0 $((i % 2)); done; } >"$store"
bounded rewritten ""
has_key R && [ "$(grep -c '^;' "$store")" = 5000 ] || fail "the rewritten store lost entries"

echo "Saved store: it keeps its mode, which a behaviour case cannot see"
store_of 1
chmod 640 "$store"
document Acme 1 >m.xml
./RegistryUpdate m.xml && log_is ""
[ "$(stat -c %a "$store")" = 640 ] || fail "the store's mode became $(stat -c %a "$store")"

echo "Disk full at save: one line, the old store whole, no temporary file left"
store_of 100
cp "$store" old.reg
document Acme 100 >m.xml
(trap '' XFSZ; ulimit -f $(($(stat -c %s old.reg) / 1024 + 1)); exec ./RegistryUpdate m.xml)
log_is "Cannot write $dir/$store.new: File too large Could not save registry store: $dir/$store"
cmp -s "$store" old.reg && [ ! -e "$store.new" ] || fail "the store changed"

if [ "$(id -u)" = 0 ]; then
    echo "Unwritable folder: the run stops before the document and says why"
    rm registryErrorLog.txt
    chmod 555 "$dir"
    said=$(setpriv --reuid=65534 --regid=65534 --clear-groups ./RegistryUpdate m.xml 2>&1)
    chmod 755 "$dir"
    [ "$said" = "Cannot create $dir/registryErrorLog.txt: Permission denied Could not create error file" ] || fail "$said"
    [ ! -e registryErrorLog.txt ] && cmp -s "$store" old.reg || fail "the run changed something"
fi
echo "all passed"
