# Windows programs (32-bit) from Debian's MinGW-w64 compilers.
#   cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/i686-w64-mingw32.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QM_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)

# Every processor Windows has needed since Windows 8 has SSE2: without it the
# copy kernels fall back to plain loops. SSE arithmetic also rounds floats as
# the 64-bit builds do, where x87 keeps extra precision.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
