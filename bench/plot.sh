#!/usr/bin/env bash
# Draws docs/performance.png from the data bench/run.sh left in build/bench.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v gnuplot >/dev/null ||
    { apt-get update -q && apt-get install -y -q --no-install-recommends gnuplot-nox; }
gnuplot <<'PLOT'
set terminal png size 900,560
set output "docs/performance.png"
set title "A run's time against the number of devices (F=2, K=5, C=2, E=5)"
set xlabel "devices"
set ylabel "seconds (median)"
set logscale xy
set key top left
set grid
plot "build/bench/native.dat" using 1:2 with linespoints title "Linux program", \
     "build/bench/native.dat" using 1:4 with linespoints title "floor: xmllint --noout", \
     "build/bench/wine.dat" using 1:2 with linespoints title "Windows program (Wine)", \
     "build/bench/wine.dat" using 1:4 with linespoints title "floor: its registry calls (Wine)", \
     "build/bench/wine.dat" using 1:6 with linespoints title "reg import of the same entries (Wine)"
PLOT
echo "wrote docs/performance.png"
