#!/usr/bin/env bash
# Measures what a run costs as its work grows, on both builds, beside the floors it cannot beat,
# and prints one table (also kept as build/bench/results.txt, with the data for the plot).
#
#   bench/run.sh [--sizes "1000 10000 100000"] [--wine-sizes "2000"] [--repetitions 5]
#                [--shapes "five vendors products"]
#
# Shapes: "five" spreads the devices over five vendors; "vendors" gives every ten devices a
# vendor of their own; "products" adds a product for every ten devices.
# Native floor: xmllint --noout parsing the same document. Windows floor, under Wine, the sum of
# the calls the program must make: a bare loop making exactly its registry calls
# (registry_floor.exe), the product component created for the name and for every device with its
# three reads (component_floor.exe), and MSXML loading the document (msxml_floor.exe); beside it,
# reg import of the store the native program wrote for the same document.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

sizes="1000 10000 100000"
wine_sizes="2000"
repetitions=5
shapes="five vendors products"
while [ $# -gt 0 ]; do
    case "$1" in
    --sizes) sizes=$2; shift 2 ;;
    --wine-sizes) wine_sizes=$2; shift 2 ;;
    --repetitions) repetitions=$2; shift 2 ;;
    --shapes) shapes=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
    esac
done
shape="2 5 2 5"   # firmwares, keys per firmware, categories, entries per category
seed=1
# The vendors and products of a shape at a number of devices.
shaped() {
    case "$1" in
    five) echo "5 3" ;;
    vendors) echo "$(( $2 / 10 )) 3" ;;
    products) echo "5 $(( $2 / 10 ))" ;;
    esac
}

# Under Wine, the build the Windows tests run on here: the shipped 32-bit program, or the 64-bit
# test build on a host that runs no 32-bit code.
read -r windows_build _ < <(scripts/windows-test-build.sh)
wine_option=$([ "$windows_build" = windows64 ] && echo --win64 || true)
scripts/install-dependencies.sh "$windows_build"
for preset in native "$windows_build"; do
    cmake --preset "$preset" -DREGISTRY_UPDATE_BENCH=ON >/dev/null
    cmake --build --preset "$preset" -j"$(nproc)" >/dev/null
done

out=build/bench
work=$(mktemp -d)
trap 'rm -rf "$work"; scripts/wine-run.sh $wine_option --stop' EXIT
mkdir -p "$out"
printf '#!/bin/sh\nexec "%s/scripts/wine-run.sh" %s "$@"\n' "$root" "$wine_option" >"$work/wine"
chmod +x "$work/wine"
wine=$work/wine

registration() { # manufacturer, product and version the generated documents are written for
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\ProductInfo.ProductInfo]\r\n'
    printf '"Manufacturer"="Bench Instruments"\r\n"ProductName"="Power Analyzer Pro"\r\n'
    printf '"ProductVersion"="4.2"\r\n\r\n'
}

# Times one run of a command: prints "wall-seconds peak-KB".
timed() {
    local start end
    start=$(date +%s%N)
    /usr/bin/time -o "$work/time" -f "%M" "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo "$(awk "BEGIN { printf \"%.3f\", ($end - $start) / 1e9 }") $(tail -n 1 "$work/time")"
}

# Reads "seconds KB" lines; prints "median min max peak-MB".
summary() {
    sort -g | awk '{ s[NR] = $1; if ($2 > peak) peak = $2 }
        END { printf "%s %s %s %d\n", s[int((NR + 1) / 2)], s[1], s[NR], peak / 1024 }'
}

# Runs a command N times; prints "median min max peak-MB" of wall seconds and resident memory.
# $1 is a command run before each repetition to restore the starting state.
measure() {
    local reset=$1; shift
    for _ in $(seq "$repetitions"); do
        eval "$reset"
        timed "$@"
    done | summary
}

# The program and xmllint on one document, run by run in turn so that a drift in the machine's
# speed touches both; prints the program's summary, xmllint's, and the median of the ratios.
measure_against_xmllint() {
    local reset=$1 program=$2 document=$3
    : >"$work/a"; : >"$work/b"; : >"$work/r"
    for _ in $(seq "$repetitions"); do
        eval "$reset"
        local a b
        a=$(timed "$program" "$document"); echo "$a" >>"$work/a"
        b=$(timed xmllint --noout "$document"); echo "$b" >>"$work/b"
        awk "BEGIN { printf \"%.4f 0\\n\", ${a% *} / ${b% *} }" >>"$work/r"
    done
    echo "$(summary <"$work/a") $(summary <"$work/b") $(summary <"$work/r" | cut -d' ' -f1)"
}

ratio() { awk "BEGIN { printf \"%.2f\", $1 / $2 }"; }
row() { printf '%-8s %-9s %8s %9s %8s  %-26s %-30s %6s\n' "$@"; }
{
row build shape devices values keys "run s (min-max), MB" "floor s (min-max), MB" ratio
row ----- ----- ------- ------ ---- ------------------- --------------------- -----
} | tee "$out/results.txt"
rm -f "$out"/native-*.dat "$out/wine.dat"

for name in $shapes; do
for devices in $sizes; do
    args="$devices $shape $seed $(shaped "$name" "$devices")"
    doc=$work/$name$devices.xml
    build/native/bench/generate_meters $args >"$doc"
    read -r keys values < <(build/native/bench/generate_meters --count $args)
    cp build/native/RegistryUpdate "$work/"
    reset="registration >$work/HKEY_LOCAL_MACHINE.reg"
    read -r run runMin runMax runMb floor floorMin floorMax floorMb pairs < <(
        measure_against_xmllint "$reset" "$work/RegistryUpdate" "$doc")
    cp "$work/HKEY_LOCAL_MACHINE.reg" "$work/written$name$devices.reg"
    row native "$name" "$devices" "$values" "$keys" "$run ($runMin-$runMax), $runMb" \
        "$floor ($floorMin-$floorMax), $floorMb xmllint" \
        "$(awk "BEGIN { printf \"%.2f\", $pairs }")" | tee -a "$out/results.txt"
    echo "$devices $run $runMb $floor $floorMb" >>"$out/native-$name.dat"
done
done

# The Windows runs use the test product component, registered in the prefix as the tests do.
dll=$(echo "Z:$root/build/$windows_build/tests/windows/product_info_server.dll" | sed 's|/|\\\\|g')
{
    registration
    printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\ProductInfo.ProductInfo\\CLSID]\r\n'
    printf '@="{6A0D3C52-8E4B-4F71-9C1D-2B7E5A90F3C4}"\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{6A0D3C52-8E4B-4F71-9C1D-2B7E5A90F3C4}\\InprocServer32]\r\n'
    printf '@="%s"\r\n"ThreadingModel"="Apartment"\r\n\r\n' "$dll"
} >"$work/setup.reg"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Bench Instruments]\r\n\r\n' >"$work/clear.reg"
$wine reg import "$work/clear.reg" 2>/dev/null
$wine reg import "$work/setup.reg" 2>/dev/null
cp "build/$windows_build/RegistryUpdate.exe" "build/$windows_build"/bench/*_floor.exe "$work/"
# Each repetition starts from the same registry files and a fresh, idle Wine server, so that no
# deletion or save of an earlier repetition's keys is still under way while it is timed.
prefix=build/$windows_build/wineprefix
$wine --stop
mkdir -p "$work/registry"
cp "$prefix"/*.reg "$work/registry/"
reset="$wine --stop; cp $work/registry/*.reg $prefix/; $wine cmd /c exit >/dev/null 2>&1"
for devices in $wine_sizes; do
    args="$devices $shape $seed $(shaped five "$devices")"
    doc=$work/five$devices.xml
    [ -f "$doc" ] || build/native/bench/generate_meters $args >"$doc"
    read -r keys values < <(build/native/bench/generate_meters --count $args)
    # Each repetition times the program and then each floor, so that Wine's drift from one
    # repetition to the next touches all four; the ratio is the median of the repetitions'.
    for file in program calls made load ratios; do : >"$work/$file"; done
    for _ in $(seq "$repetitions"); do
        eval "$reset"; timed "$wine" "$work/RegistryUpdate.exe" "$doc" >>"$work/program"
        eval "$reset"; timed "$wine" "$work/registry_floor.exe" $args >>"$work/calls"
        eval "$reset"; timed "$wine" "$work/component_floor.exe" "$devices" >>"$work/made"
        eval "$reset"; timed "$wine" "$work/msxml_floor.exe" "$doc" >>"$work/load"
        paste -d' ' "$work/program" "$work/calls" "$work/made" "$work/load" | tail -n 1 |
            awk '{ printf "%.4f 0\n", $1 / ($3 + $5 + $7) }' >>"$work/ratios"
    done
    read -r run runMin runMax runMb < <(summary <"$work/program")
    read -r calls callsMin callsMax callsMb < <(summary <"$work/calls")
    read -r made madeMin madeMax madeMb < <(summary <"$work/made")
    read -r load loadMin loadMax loadMb < <(summary <"$work/load")
    floor=$(awk "BEGIN { print $calls + $made + $load }")
    pairs=$(summary <"$work/ratios" | cut -d' ' -f1)
    row "wine${wine_option:+64}" five "$devices" "$values" "$keys" "$run ($runMin-$runMax), $runMb" \
        "$floor: registry $calls ($callsMin-$callsMax)" \
        "$(awk "BEGIN { printf \"%.2f\", $pairs }")" | tee -a "$out/results.txt"
    row "" "" "" "" "" "" "component $made ($madeMin-$madeMax)" "" | tee -a "$out/results.txt"
    row "" "" "" "" "" "" "MSXML load $load ($loadMin-$loadMax)" "" | tee -a "$out/results.txt"
    importSeconds=-
    if [ -f "$work/writtenfive$devices.reg" ]; then
        read -r importSeconds importMin importMax importMb < <(measure "$reset" "$wine" reg import "$work/writtenfive$devices.reg")
        row "" "" "" "" "" "" "$importSeconds ($importMin-$importMax), $importMb import" \
            "$(ratio $run $importSeconds)" | tee -a "$out/results.txt"
    fi
    echo "$devices $run $runMb $floor $calls $made $load $importSeconds" >>"$out/wine.dat"
done
