#!/usr/bin/env bash
# Installs what is missing, builds the Linux and the Windows program, and runs every test: the
# Linux program's also under the sanitizers, the Windows program's under Wine, both on the same
# behaviour cases. The Windows tests run the shipped 32-bit program where this host runs 32-bit
# code, else a 64-bit build of the same sources (scripts/windows-test-build.sh says which).
set -euo pipefail
cd "$(dirname "$0")/.."

read -r windows_tests why < <(scripts/windows-test-build.sh)
scripts/install-dependencies.sh native "$windows_tests"

cmake --preset native
cmake --build --preset native -j"$(nproc)"
ctest --preset native

# The same tests again with AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --preset asan
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan

# The shipped program is built on every host. The build the Windows tests run on is handed the
# Linux program, whose written store it imports, and in the 64-bit test build the shipped build.
linux_program=-DREGISTRY_UPDATE_LINUX_PROGRAM="$PWD/build/native/RegistryUpdate"
cmake --preset windows "$linux_program"
cmake --build --preset windows -j"$(nproc)"
if [ "$windows_tests" = windows64 ]; then
    cmake --preset windows64 "$linux_program" -DREGISTRY_UPDATE_SHIPPED_BUILD="$PWD/build/windows"
    cmake --build --preset windows64 -j"$(nproc)"
    wine_option=--win64
    described="the 64-bit test build under 64-bit Wine"
else
    wine_option=
    described="the shipped 32-bit program under 32-bit Wine"
fi
# Wine's server and services outlive each test by design; end them with the run.
trap 'scripts/wine-run.sh $wine_option --stop' EXIT
echo "Windows tests: on $described, because $why."
ctest --preset "$windows_tests"
echo "Windows tests ran on $described, because $why."
