# Cross-builds for 64-bit Windows with Debian's MinGW-w64 compilers and runs
# what it builds under Wine. The posix thread model is the one whose C++
# library has std::thread and the <thread> sleeps.
#   cmake --preset mingw
#   cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(vantrel_mingw_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${vantrel_mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${vantrel_mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${vantrel_mingw_triple}-windres)

# Libraries, headers and packages of the target only; programs of the host.
set(CMAKE_FIND_ROOT_PATH /usr/${vantrel_mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything this build makes runs from the build tree under Wine: the C and
# C++ runtimes are linked in, so no DLL has to be copied next to it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Tests and other build-time runs go through Wine, in a prefix of the build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wine)
