# The Windows programs as they are shipped: 32-bit, built with mingw-w64's win32 thread model
# (cmake/MingwShipToolchain.cmake), whose runtime imports only what Windows XP has.
#
# - A Linux build makes the Windows QUIL.SYS, so that sets for a Windows PC can be written from
#   here (the program's option --fuer-windows): it lands in <output>/windows/QUIL.SYS, where the
#   program looks for it, as it does in the install tree.
# - A Windows build for the tests uses the posix thread model, which GoogleTest needs but which
#   XP cannot load; beside it the shipped programs are built in <build>/shipped/, and the tests
#   check those (their imports, their size, and QUIL.EXE's runs under Wine).
# Either way the programs come from a build tree of their own. A build configured for shipping
# (cmake/MingwShipToolchain.cmake) is that tree: its programs are the shipped ones.
include_guard(GLOBAL)

option(SPLITWERK_WINDOWS_REASSEMBLER "Also build the shipped Windows programs (mingw-w64, win32 thread model)" ON)
# The targets of the shipped build and the files they make (tests/shipped checks each file).
# A Linux build needs only the reassembler for sets made for a Windows PC; a Windows build
# ships the window program too.
if(WIN32)
    set(SPLITWERK_SHIPPED_WINDOWS_TARGETS quil splitwerk)
    set(SPLITWERK_SHIPPED_WINDOWS_PROGRAMS QUIL.SYS SPLITWERK.exe)
else()
    set(SPLITWERK_SHIPPED_WINDOWS_TARGETS quil)
    set(SPLITWERK_SHIPPED_WINDOWS_PROGRAMS QUIL.SYS)
endif()
set(SPLITWERK_WINDOWS_QUIL "")
set(SPLITWERK_SHIPPED_WINDOWS_DIR "")

if(WIN32 AND SPLITWERK_MINGW_THREADS STREQUAL "win32")
    # Configured with MingwShipToolchain.cmake: this build makes the shipped programs itself, at
    # the top of its tree, and Setup.exe takes them from there.
    set(SPLITWERK_SHIPPED_WINDOWS_DIR ${SPLITWERK_OUTPUT_DIR})
    set(SPLITWERK_WINDOWS_QUIL ${SPLITWERK_OUTPUT_DIR}/QUIL.SYS)
elseif(SPLITWERK_WINDOWS_REASSEMBLER AND (NOT WIN32 OR SPLITWERK_MINGW_THREADS STREQUAL "posix"))
    # A Windows build makes its shipped programs for its own processor; a Linux build writes
    # sets for the PCs with a floppy drive, which are 32-bit.
    if(WIN32)
        set(ship_arch ${SPLITWERK_MINGW_ARCH})
    else()
        set(ship_arch i686)
    endif()
    find_program(SPLITWERK_MINGW_SHIP_CXX_${ship_arch} ${ship_arch}-w64-mingw32-g++-win32)
    set(SPLITWERK_MINGW_SHIP_CXX ${SPLITWERK_MINGW_SHIP_CXX_${ship_arch}})
    if(SPLITWERK_MINGW_SHIP_CXX)
        include(ExternalProject)
        if(WIN32)
            set(SPLITWERK_SHIPPED_WINDOWS_DIR ${CMAKE_BINARY_DIR}/shipped)
            set(SPLITWERK_WINDOWS_QUIL ${SPLITWERK_SHIPPED_WINDOWS_DIR}/QUIL.SYS)
            set(install_quil ${CMAKE_COMMAND} -E true)
            # Named, so that what is made of them (Setup.exe) is made again when they change.
            list(TRANSFORM SPLITWERK_SHIPPED_WINDOWS_PROGRAMS PREPEND ${SPLITWERK_SHIPPED_WINDOWS_DIR}/
                 OUTPUT_VARIABLE shipped_programs)
        else()
            set(SPLITWERK_SHIPPED_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows-reassembler)
            set(SPLITWERK_WINDOWS_QUIL ${SPLITWERK_OUTPUT_DIR}/windows/QUIL.SYS)
            set(install_quil ${CMAKE_COMMAND} -E copy <BINARY_DIR>/QUIL.SYS ${SPLITWERK_WINDOWS_QUIL})
            set(shipped_programs ${SPLITWERK_WINDOWS_QUIL})
        endif()
        # Under make the inner build joins the outer one's job slots through $(MAKE).
        if(CMAKE_GENERATOR MATCHES "Make")
            set(build_shipped "$(MAKE)" ${SPLITWERK_SHIPPED_WINDOWS_TARGETS})
        else()
            set(build_shipped ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${SPLITWERK_SHIPPED_WINDOWS_TARGETS})
        endif()
        ExternalProject_Add(windows_reassembler
            SOURCE_DIR ${PROJECT_SOURCE_DIR}
            BINARY_DIR ${SPLITWERK_SHIPPED_WINDOWS_DIR}
            CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/MingwShipToolchain.cmake
                       -DSPLITWERK_MINGW_ARCH=${ship_arch}
                       -DCMAKE_BUILD_TYPE=Release -DSPLITWERK_BUILD_TESTS=OFF
            BUILD_COMMAND ${build_shipped}
            INSTALL_COMMAND ${install_quil}
            BUILD_ALWAYS ON
            BUILD_BYPRODUCTS ${shipped_programs})
        if(NOT WIN32)
            install(FILES ${SPLITWERK_WINDOWS_QUIL} DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/splitwerk99/windows
                    PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
        endif()
    else()
        message(STATUS "${ship_arch}-w64-mingw32-g++-win32 not found: no shipped Windows programs, "
                       "sets for a Windows PC cannot be written")
    endif()
endif()
