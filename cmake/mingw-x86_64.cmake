# The same sources built for x86_64, for tests only, never shipped: it runs the Windows tests
# under 64-bit Wine on hosts that run no 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(mingw_target x86_64-w64-mingw32)
set(wine_run ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh --win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
