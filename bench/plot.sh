#!/usr/bin/env bash
# Draws docs/performance.png from the data bench/run.sh left in build/bench.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh plot
gnuplot <<'PLOT'
set terminal png size 900,560
set output "docs/performance.png"
set title "The Linux program's time against the number of devices, by document shape"
set xlabel "devices"
set ylabel "seconds (median)"
set logscale xy
set key top left
set grid
plot "build/bench/native-five.dat" using 1:2 with linespoints title "five vendors", \
     "build/bench/native-vendors.dat" using 1:2 with linespoints title "a vendor per ten devices", \
     "build/bench/native-products.dat" using 1:2 with linespoints title "a product per ten devices", \
     "build/bench/native-five.dat" using 1:4 with linespoints title "floor: xmllint --noout (five vendors)"
PLOT
echo "wrote docs/performance.png"
