# CMake toolchain file for the Windows programs we ship (QUIL.SYS, SPLITWERK.exe): 32-bit,
# mingw-w64's win32 thread model, whose runtime imports only what Windows XP has. See
# MingwToolchain.cmake; the tests are built with that file's posix model instead.
set(SPLITWERK_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
