# The Debian package splitwerk99_<version>_amd64.deb, made by CPack from the install tree:
#
#   cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DSPLITWERK_BUILD_TESTS=OFF -DSPLITWERK_BUILD_BENCH=OFF
#   cmake --build build-deb -j "$(nproc)"
#   (cd build-deb && cpack -G DEB)
#
# (scripts/build-deb.sh does exactly that.) Beside what the targets install (the program and
# both QUIL.SYS in libexec/splitwerk99/, bin/splitwerk, the desktop entry, the icons) the
# package carries what only an installed system uses: the MIME type and the desktop entry that
# make a double-click on a set's QUIL.EXE restore it, the man page, and Debian's documentation.
include_guard(GLOBAL)

set(packaging_source ${PROJECT_SOURCE_DIR}/packaging)
set(packaging_binary ${CMAKE_BINARY_DIR}/packaging)
set(SPLITWERK_MAINTAINER "Splitwerk-Team <splitwerk-team@users.noreply.example>")
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/splitwerk99)

# Debian wants its man pages and changelogs compressed with gzip -9n (no name, no time stamp,
# so that the same sources give the same package). Done at configure time; cmake configures
# anew when a source changes.
function(splitwerk_gzip source target)
    execute_process(COMMAND gzip -9n -c INPUT_FILE ${source} OUTPUT_FILE ${target} COMMAND_ERROR_IS_FATAL ANY)
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()
file(MAKE_DIRECTORY ${packaging_binary})

# The man page is German; it is the only one, so it serves in the untranslated folder as well.
splitwerk_gzip(${packaging_source}/linux/splitwerk.1 ${packaging_binary}/splitwerk.1.gz)
foreach(man_dir ${CMAKE_INSTALL_MANDIR}/de/man1 ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${packaging_binary}/splitwerk.1.gz DESTINATION ${man_dir})
endforeach()

set(VERSION ${PROJECT_VERSION})
set(MAINTAINER ${SPLITWERK_MAINTAINER})
configure_file(${packaging_source}/debian/changelog.in ${packaging_binary}/changelog @ONLY)
splitwerk_gzip(${packaging_binary}/changelog ${packaging_binary}/changelog.gz)
install(FILES ${packaging_binary}/changelog.gz ${packaging_source}/debian/copyright DESTINATION ${doc_dir})
install(FILES ${packaging_source}/debian/splitwerk99.lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME splitwerk99)

# QUIL.EXE: its own MIME type, and the entry that opens it. dpkg's triggers update the MIME
# and desktop caches for these folders; the package itself creates nothing at install time.
install(FILES ${packaging_source}/linux/splitwerk99.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
# The entry names the installed QUIL.SYS by its absolute path, which is known only when
# "cmake --install --prefix" (or the package build) has fixed the prefix.
set(quil_entry_code [=[
    set(libexecdir "@CMAKE_INSTALL_LIBEXECDIR@")
    set(datadir "@CMAKE_INSTALL_DATADIR@")
    foreach(dir libexecdir datadir)
        if(NOT IS_ABSOLUTE "${${dir}}")
            set(${dir} "${CMAKE_INSTALL_PREFIX}/${${dir}}")
        endif()
    endforeach()
    set(QUIL "${libexecdir}/splitwerk99/QUIL.SYS")
    set(entry "$ENV{DESTDIR}${datadir}/applications/splitwerk99-quil.desktop")
    message(STATUS "Installing: ${entry}")
    configure_file("@packaging_source@/linux/splitwerk99-quil.desktop.in" "${entry}" @ONLY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${entry}")
]=])
string(CONFIGURE "${quil_entry_code}" quil_entry_code @ONLY)
install(CODE "${quil_entry_code}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME splitwerk99)
set(CPACK_PACKAGE_VENDOR "Splitwerk-Team")
set(CPACK_PACKAGE_CONTACT ${SPLITWERK_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The install runs with the prefix /usr into a staging DESTDIR, so that what the install code
# writes into files (the entry's Exec line) names /usr and not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Only the targets are stripped: QUIL.SYS is installed as a file, because its last byte, a line
# feed that marks where a trailer begins, must survive (strip would drop it).
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# dpkg-shlibdeps finds the libraries the programs link (Qt, libstdc++, libc); what Qt loads at
# run time it cannot see: the platform plugins (without them the window cannot open) and the
# German translation of Qt's own buttons.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
# A double-click on QUIL.EXE restores in a terminal (Terminal=true in the entry); a desktop
# without one shows nothing at all. Any terminal will do, so the virtual package; xterm first, as
# Debian wants a real default before a virtual one, and because every desktop's launcher knows
# it. A desktop that has its own terminal already satisfies the alternative and gets nothing new.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xterm | x-terminal-emulator")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "split a large file onto floppy disks or into a folder")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Splitwerk 99 zerlegt eine große Datei, die es über das Kontextmenü „Senden an“
des Dateimanagers erhält, in nummerierte Teile und schreibt sie Diskette für
Diskette auf 1,44-MB-Disketten oder andere Wechseldatenträger oder in einen
Ordner. Auf die erste Diskette kommt das Zusammensetzprogramm QUIL.EXE, für
Linux oder für Windows (XP bis 11); ein Doppelklick darauf setzt die Datei
wieder zusammen.")
include(CPack)
