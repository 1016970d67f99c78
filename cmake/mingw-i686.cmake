# The shipped program: 32-bit, run by its tests under 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(mingw_target i686-w64-mingw32)
set(wine_run ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
