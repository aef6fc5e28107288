# Script mode: fails if a Windows .exe imports DLLs other than allowed
# system DLLs (i.e. it would need libstdc++-6.dll, libgcc_s_seh-1.dll,
# libwinpthread-1.dll, ... next to it).
#
#   cmake -DEXE=path/to/x.exe [-DOBJDUMP=i686-w64-mingw32-objdump]
#         [-DALLOWED="kernel32.dll;msvcrt.dll;..."] -P CheckWindowsImports.cmake
#
# As a test:  add_test(NAME x_imports COMMAND ${CMAKE_COMMAND}
#               -DEXE=$<TARGET_FILE:x> -P .../CheckWindowsImports.cmake)
cmake_minimum_required(VERSION 3.25)
if(NOT EXE)
  message(FATAL_ERROR "EXE not set")
endif()
if(NOT OBJDUMP)
  find_program(OBJDUMP i686-w64-mingw32-objdump REQUIRED)
endif()
if(NOT ALLOWED)
  set(ALLOWED kernel32.dll msvcrt.dll ucrtbase.dll user32.dll gdi32.dll shell32.dll
      ole32.dll oleaut32.dll advapi32.dll comdlg32.dll comctl32.dll shlwapi.dll
      ws2_32.dll version.dll)
endif()
execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed (${rc})")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${out}")
set(bad "")
set(all "")
foreach(l IN LISTS lines)
  string(REPLACE "DLL Name: " "" dll "${l}")
  string(TOLOWER "${dll}" dll_lc)
  list(APPEND all "${dll}")
  if(NOT dll_lc IN_LIST ALLOWED AND NOT dll_lc MATCHES "^api-ms-win-")
    list(APPEND bad "${dll}")
  endif()
endforeach()
if(NOT all)
  message(FATAL_ERROR "no 'DLL Name' lines found in ${OBJDUMP} -p ${EXE}")
endif()
if(bad)
  message(FATAL_ERROR "${EXE} imports non-system DLLs: ${bad} (all: ${all})")
endif()
message(STATUS "${EXE} imports only system DLLs: ${all}")
