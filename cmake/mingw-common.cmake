set(CMAKE_C_COMPILER ${ZERKON_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZERKON_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZERKON_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZERKON_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The runtime is linked in, so the programs need no DLL but the system's. The link time is left out of the header,
# so a program depends only on its sources.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
