# Cross build for 64-bit Windows from Debian, with the mingw-w64 compilers of the "posix" thread
# model (std::thread and std::mutex over winpthreads):
#
#   cmake --preset windows        (or -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake)
#
# Debian's packages g++-mingw-w64-x86-64-posix and binutils-mingw-w64-x86-64 provide the tools.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SCENARIO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SCENARIO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SCENARIO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${SCENARIO_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${SCENARIO_MINGW_TRIPLET}-ar CACHE FILEPATH "archiver")
set(CMAKE_RANLIB ${SCENARIO_MINGW_TRIPLET}-ranlib CACHE FILEPATH "ranlib")

# Headers and libraries come from the mingw-w64 sysroot only, never from the build machine's
# /usr/include or /usr/lib; programs (python3, the generators) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${SCENARIO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests built for Windows run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
