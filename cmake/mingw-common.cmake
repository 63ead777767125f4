# Shared part of the two MinGW-w64 toolchain files.
set(CMAKE_C_COMPILER ${RAV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RAV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${RAV_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${RAV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Static runtime: the binaries must run without any MinGW DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
