# CMake toolchain file: Linux (Debian 12) -> 64-bit Windows with mingw-w64,
# "posix" threading variant (std::thread/std::mutex via winpthreads).
#
#   cmake -S <src> -B build-win -DCMAKE_TOOLCHAIN_FILE=<this file>
#
# Programs are linked fully static: libstdc++, libgcc and libwinpthread are
# linked into every .exe, so only Windows system DLLs (KERNEL32, msvcrt,
# USER32, SHELL32, OLE32, ...) are imported at run time.
#
# Every target gets CROSSCOMPILING_EMULATOR = scripts/wine-run.sh, so that
# add_test(), ctest and gtest_discover_tests(... DISCOVERY_MODE PRE_TEST)
# run the .exe files under Wine. The Wine prefix lives in the build tree
# (<build>/wineprefix) unless SPLITWERK_WINEPREFIX is set in the environment
# or the cache variable SPLITWERK_WINEPREFIX is given.
#
# Packages: scripts/install-deps.sh

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SPLITWERK_MINGW_TRIPLET x86_64-w64-mingw32)

find_program(SPLITWERK_MINGW_CC  ${SPLITWERK_MINGW_TRIPLET}-gcc-posix)
find_program(SPLITWERK_MINGW_CXX ${SPLITWERK_MINGW_TRIPLET}-g++-posix)
find_program(SPLITWERK_MINGW_RC  ${SPLITWERK_MINGW_TRIPLET}-windres)
if(NOT SPLITWERK_MINGW_CC OR NOT SPLITWERK_MINGW_CXX)
  message(FATAL_ERROR
    "${SPLITWERK_MINGW_TRIPLET}-g++-posix not found. "
    "Run scripts/install-deps.sh (package g++-mingw-w64-x86-64-posix).")
endif()

set(CMAKE_C_COMPILER   "${SPLITWERK_MINGW_CC}")
set(CMAKE_CXX_COMPILER "${SPLITWERK_MINGW_CXX}")
if(SPLITWERK_MINGW_RC)
  set(CMAKE_RC_COMPILER "${SPLITWERK_MINGW_RC}")
endif()

# Look for headers/libraries only in the mingw sysroot, programs on the host.
set(CMAKE_FIND_ROOT_PATH /usr/${SPLITWERK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Fully static executables. "-static" also pulls libwinpthread statically
# (otherwise the posix variant needs libwinpthread-1.dll at run time).
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Run .exe files under Wine.
get_filename_component(_splitwerk_wine_run
  "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh" ABSOLUTE)
get_property(_splitwerk_in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(NOT _splitwerk_in_try_compile)
  set(SPLITWERK_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH
      "Wine prefix used by wine-run.sh (env SPLITWERK_WINEPREFIX overrides)")
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${_splitwerk_wine_run};--default-prefix=${SPLITWERK_WINEPREFIX}")
else()
  # try_run() inside try_compile projects: fall back to the wrapper's default.
  set(CMAKE_CROSSCOMPILING_EMULATOR "${_splitwerk_wine_run}")
endif()
