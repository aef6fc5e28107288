# CMake toolchain file: Linux (Debian 12) -> 32-bit Windows (i686) with mingw-w64.
#
#   cmake -S <src> -B build-win -DCMAKE_TOOLCHAIN_FILE=<this file>
#
# The programs we ship must run on the old PCs that still have a floppy drive, Windows XP
# included: 32-bit, subsystem version 5.01, and only calls that XP has. Two thread models of
# mingw-w64 serve that:
#   posix  (this file)                 winpthreads; GoogleTest needs its std::mutex, so the
#                                      tests are built with it. Its runtime imports Vista-only
#                                      calls, so nothing built with it is shipped.
#   win32  (MingwShipToolchain.cmake)  no std::thread, but a runtime that XP can load: the
#                                      shipped QUIL.SYS and SPLITWERK.exe are built with it.
# SPLITWERK_MINGW_THREADS says which; a file that includes this one may set it first.
#
# Programs are linked fully static: libstdc++, libgcc (and libwinpthread) are linked into
# every .exe, so only Windows system DLLs (KERNEL32, msvcrt, USER32, SHELL32, ...) are
# imported at run time.
#
# Every target gets CROSSCOMPILING_EMULATOR = scripts/wine-run.sh, so that
# add_test(), ctest and gtest_discover_tests(... DISCOVERY_MODE PRE_TEST)
# run the .exe files under Wine. The Wine prefix lives in the build tree
# (<build>/wineprefix) unless SPLITWERK_WINEPREFIX is set in the environment
# or the cache variable SPLITWERK_WINEPREFIX is given.
#
# Packages: scripts/install-deps.sh

# SPLITWERK_MINGW_ARCH=x86_64 builds the same programs for 64-bit Windows. Nothing of that is
# shipped: it exists for machines whose kernel cannot start a 32-bit process (Wine included),
# so that the Windows code still runs its tests there, under 64-bit Wine.
if(NOT SPLITWERK_MINGW_ARCH)
  set(SPLITWERK_MINGW_ARCH i686)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${SPLITWERK_MINGW_ARCH})

set(SPLITWERK_MINGW_TRIPLET ${SPLITWERK_MINGW_ARCH}-w64-mingw32)
# try_compile() reads this file again in a project of its own; it must choose the same compiler.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SPLITWERK_MINGW_ARCH SPLITWERK_MINGW_THREADS)
if(NOT SPLITWERK_MINGW_THREADS)
  set(SPLITWERK_MINGW_THREADS posix)
endif()
set(_splitwerk_mingw ${SPLITWERK_MINGW_TRIPLET}-g++-${SPLITWERK_MINGW_THREADS})

# The cache names carry the triplet and model, so a build tree configured for another one
# does not keep a stale compiler.
find_program(SPLITWERK_MINGW_CC_${SPLITWERK_MINGW_ARCH}_${SPLITWERK_MINGW_THREADS}
  ${SPLITWERK_MINGW_TRIPLET}-gcc-${SPLITWERK_MINGW_THREADS})
find_program(SPLITWERK_MINGW_CXX_${SPLITWERK_MINGW_ARCH}_${SPLITWERK_MINGW_THREADS} ${_splitwerk_mingw})
find_program(SPLITWERK_MINGW_RC_${SPLITWERK_MINGW_ARCH} ${SPLITWERK_MINGW_TRIPLET}-windres)
set(_splitwerk_cc "${SPLITWERK_MINGW_CC_${SPLITWERK_MINGW_ARCH}_${SPLITWERK_MINGW_THREADS}}")
set(_splitwerk_cxx "${SPLITWERK_MINGW_CXX_${SPLITWERK_MINGW_ARCH}_${SPLITWERK_MINGW_THREADS}}")
if(NOT _splitwerk_cc OR NOT _splitwerk_cxx)
  message(FATAL_ERROR
    "${_splitwerk_mingw} not found. Run scripts/install-deps.sh "
    "(package g++-mingw-w64-${SPLITWERK_MINGW_ARCH}-${SPLITWERK_MINGW_THREADS}).")
endif()

set(CMAKE_C_COMPILER   "${_splitwerk_cc}")
set(CMAKE_CXX_COMPILER "${_splitwerk_cxx}")
if(SPLITWERK_MINGW_RC_${SPLITWERK_MINGW_ARCH})
  set(CMAKE_RC_COMPILER "${SPLITWERK_MINGW_RC_${SPLITWERK_MINGW_ARCH}}")
endif()

# Look for headers/libraries only in the mingw sysroot, programs on the host.
set(CMAKE_FIND_ROOT_PATH /usr/${SPLITWERK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The Windows headers then declare only what XP has, so a newer call fails to compile here
# instead of failing to load on the old PC. Calls that are looked up at run time on purpose
# declare their own types.
set(CMAKE_C_FLAGS_INIT   "-D_WIN32_WINNT=0x0501 -DWINVER=0x0501")
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0501 -DWINVER=0x0501")

# Fully static executables. "-static" also pulls libwinpthread statically
# (otherwise the posix variant needs libwinpthread-1.dll at run time).
# The header names 5.01 (XP) as the oldest system: Windows refuses a program that asks for a
# newer one than it is, and these programs are made for nothing older.
set(_splitwerk_xp_link
  "-Wl,--major-subsystem-version,5,--minor-subsystem-version,1,--major-os-version,5,--minor-os-version,1")
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++ ${_splitwerk_xp_link}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ ${_splitwerk_xp_link}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ ${_splitwerk_xp_link}")

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
