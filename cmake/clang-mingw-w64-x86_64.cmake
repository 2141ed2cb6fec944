# Cross-compiles the Windows program on Linux with Debian's clang, targeting MinGW-w64 and using
# the headers and libraries of Debian's MinGW-w64 GCC (posix thread model). Clang does not find
# that GCC's C++ library by itself, so its folders are named here.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_SYSROOT /usr/${TOOLCHAIN_PREFIX})

file(GLOB MINGW_GCC_DIRS /usr/lib/gcc/${TOOLCHAIN_PREFIX}/*-posix)
list(SORT MINGW_GCC_DIRS)
list(GET MINGW_GCC_DIRS -1 MINGW_GCC_DIR)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${MINGW_GCC_DIR}/include/c++
    ${MINGW_GCC_DIR}/include/c++/${TOOLCHAIN_PREFIX} ${MINGW_GCC_DIR}/include/c++/backward)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${MINGW_GCC_DIR}")
# The posix thread model's C++ library and unwinder need winpthreads after them (a cache entry,
# which the platform's defaults leave alone).
set(CMAKE_CXX_STANDARD_LIBRARIES "-lstdc++ -lgcc_eh -lpthread -lkernel32 -luser32 -lgdi32 \
-lshell32 -lole32 -luuid -lcomdlg32 -ladvapi32" CACHE STRING "")

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
