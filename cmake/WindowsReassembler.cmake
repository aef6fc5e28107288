# A Linux build also makes the Windows QUIL.SYS, so that sets for a Windows PC can be written
# from here (the program's option --fuer-windows): when mingw-w64 is found, the reassembler is
# cross-built in a build tree of its own and lands in <output>/windows/QUIL.SYS, where the
# program looks for it, as it does in the install tree.
include_guard(GLOBAL)

option(SPLITWERK_WINDOWS_REASSEMBLER "Also build the Windows QUIL.SYS with mingw-w64 when it is found" ON)
set(SPLITWERK_WINDOWS_QUIL "")
if(NOT WIN32 AND SPLITWERK_WINDOWS_REASSEMBLER)
    find_program(SPLITWERK_MINGW_CXX x86_64-w64-mingw32-g++-posix)
    if(SPLITWERK_MINGW_CXX)
        include(ExternalProject)
        set(SPLITWERK_WINDOWS_QUIL ${SPLITWERK_OUTPUT_DIR}/windows/QUIL.SYS)
        # Only the reassembler's target: the Windows tests have their own build (scripts/test.sh).
        # Under make the inner build joins the outer one's job slots through $(MAKE).
        if(CMAKE_GENERATOR MATCHES "Make")
            set(build_quil "$(MAKE)" quil)
        else()
            set(build_quil ${CMAKE_COMMAND} --build <BINARY_DIR> --target quil)
        endif()
        ExternalProject_Add(windows_reassembler
            SOURCE_DIR ${PROJECT_SOURCE_DIR}
            BINARY_DIR ${CMAKE_BINARY_DIR}/windows-reassembler
            CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/MingwToolchain.cmake
                       -DCMAKE_BUILD_TYPE=Release -DSPLITWERK_BUILD_TESTS=OFF -DSPLITWERK_BUILD_BENCH=OFF
            BUILD_COMMAND ${build_quil}
            INSTALL_COMMAND ${CMAKE_COMMAND} -E copy <BINARY_DIR>/QUIL.SYS ${SPLITWERK_WINDOWS_QUIL}
            BUILD_ALWAYS ON
            BUILD_BYPRODUCTS ${SPLITWERK_WINDOWS_QUIL})
        install(FILES ${SPLITWERK_WINDOWS_QUIL} DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/splitwerk99/windows
                PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    else()
        message(STATUS "mingw-w64 not found: no Windows QUIL.SYS, sets for a Windows PC cannot be written")
    endif()
endif()
