# Cross build for 64-bit Windows with Debian's mingw-w64, the POSIX thread variant (std::thread
# and std::mutex work with it). The tests run through Wine: see tests/windows/.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_ASM_NASM_COMPILER nasm)

# Look for headers and libraries only in the target's sysroot, programs only on the host.
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program needs only the DLLs that come with Windows: the compiler's own runtime
# (libgcc, libstdc++, winpthread) is linked in.
# The PE header's time stamp is not the link's time (0, or SOURCE_DATE_EPOCH when it is set), so
# that a rebuild gives the same program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")

