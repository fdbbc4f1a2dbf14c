# Cross build for Windows with Debian's MinGW-w64, for the triplet the caller's
# toolchain file names. The posix thread model gives std::thread and std::mutex;
# -static keeps libgcc, libstdc++ and winpthread inside every .exe and .dll, so
# they run on a bare Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_CXX_COMPILER ${VALDINA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_C_COMPILER ${VALDINA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_RC_COMPILER ${VALDINA_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VALDINA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)
