# Cross-building for 64-bit Windows with Debian's mingw-w64 compiler (posix threads, so
# std::thread and std::mutex work). The tests run through Wine (ctest uses the emulator).
#   -DFURLOX_WINDOWS_PREFIXES="A;B"   prefixes of libraries built for Windows (libarchive,
#                                     GoogleTest, Qt) that the build may find packages in
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(FURLOX_WINDOWS_PREFIXES "${FURLOX_WINDOWS_PREFIXES}" CACHE STRING
    "prefixes of libraries cross-built for Windows")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FURLOX_WINDOWS_PREFIXES)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${FURLOX_WINDOWS_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The tests run through Wine with no pipe of ctest's handed to Wine (tools/windows/wine-run).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/windows/wine-run)
