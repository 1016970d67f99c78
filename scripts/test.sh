#!/usr/bin/env bash
# Installs what is missing, builds the Linux and the Windows program, and runs every test: the
# Linux program's also under the sanitizers, the Windows program's under Wine, both on the same
# behaviour cases.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh windows

cmake --preset native
cmake --build --preset native -j"$(nproc)"
ctest --preset native

# The same tests again with AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --preset asan
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan

cmake --preset windows
cmake --build --preset windows -j"$(nproc)"
# Wine's server and services outlive each test by design; end them with the run.
trap 'scripts/wine-run.sh --stop' EXIT
ctest --preset windows
