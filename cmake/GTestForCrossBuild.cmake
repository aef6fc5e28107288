# Provides GoogleTest to a project under the same imported target names in a
# native build and in a mingw-w64 cross build:
#
#   GTest::gtest  GTest::gtest_main  GTest::gmock  GTest::gmock_main
#
# Native build:  find_package(GTest) (Debian package libgtest-dev / googletest).
# Cross build:   builds Debian's GoogleTest sources (package googletest,
#                /usr/src/googletest) with the cross compiler, as part of the
#                project (EXCLUDE_FROM_ALL: only what tests link is built).
#
# Usage (top-level CMakeLists.txt), before the project adds warning flags
# with add_compile_options() so GoogleTest is not built with them:
#
#   list(APPEND CMAKE_MODULE_PATH "${CMAKE_CURRENT_SOURCE_DIR}/cmake")
#   include(GTestForCrossBuild)
#   include(GoogleTest)   # gtest_discover_tests(); uses CROSSCOMPILING_EMULATOR
#
# Cache variable SPLITWERK_GOOGLETEST_SOURCE_DIR selects another source tree.

include_guard(GLOBAL)

if(CMAKE_CROSSCOMPILING)
  set(SPLITWERK_GOOGLETEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH
      "GoogleTest sources compiled for the cross build")
  if(NOT EXISTS "${SPLITWERK_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt")
    message(FATAL_ERROR
      "GoogleTest sources not found in ${SPLITWERK_GOOGLETEST_SOURCE_DIR}. "
      "Install the Debian package 'googletest' (scripts/install-deps.sh).")
  endif()

  # Options of GoogleTest's own CMakeLists.txt. Debian's copy asks for an old
  # CMake, which would let option() clear these normal variables (policy CMP0077).
  set(CMAKE_POLICY_DEFAULT_CMP0077 NEW)
  set(BUILD_GMOCK ON)
  set(INSTALL_GTEST OFF)
  set(gtest_build_tests OFF)
  set(gtest_build_samples OFF)
  set(gmock_build_tests OFF)
  # Static libraries, whatever the project says about BUILD_SHARED_LIBS.
  set(_splitwerk_saved_bsl "${BUILD_SHARED_LIBS}")
  set(BUILD_SHARED_LIBS OFF)

  add_subdirectory("${SPLITWERK_GOOGLETEST_SOURCE_DIR}"
                   "${CMAKE_BINARY_DIR}/_deps/googletest-mingw"
                   EXCLUDE_FROM_ALL)

  set(BUILD_SHARED_LIBS "${_splitwerk_saved_bsl}")
  unset(_splitwerk_saved_bsl)

  foreach(_t IN ITEMS gtest gtest_main gmock gmock_main)
    if(TARGET ${_t} AND NOT TARGET GTest::${_t})
      add_library(GTest::${_t} ALIAS ${_t})
    endif()
  endforeach()
  unset(_t)
  set(GTest_FOUND TRUE)
  set(GTEST_FOUND TRUE)
else()
  find_package(GTest REQUIRED)
  # CMake < 3.23's FindGTest has no GTest::gmock; Debian's GTestConfig.cmake
  # (found first in config mode) provides all four targets.
  foreach(_t IN ITEMS gtest gtest_main gmock)
    if(NOT TARGET GTest::${_t})
      message(FATAL_ERROR "find_package(GTest) did not provide GTest::${_t}")
    endif()
  endforeach()
  unset(_t)
endif()

# splitwerk_discovered_tests_property(<target> <PROPERTY> <value>
#                                     [TEST_LIST <var>])
#
# Sets a test property on all tests that gtest_discover_tests(<target> ...)
# discovers, keeping list values intact. Needed because CMake 3.25's
# GoogleTestAddTests.cmake splits every ";" of gtest_discover_tests(...
# PROPERTIES ...) into separate arguments, so e.g.
#   PROPERTIES ENVIRONMENT "A=1;B=2" LABELS "unit;copy"
# silently becomes ENVIRONMENT A=1 plus bogus property names "B=2"/"copy"
# (escaping with \\; does not help). Call after gtest_discover_tests();
# works for DISCOVERY_MODE PRE_TEST and POST_BUILD. TEST_LIST must match
# the one given to gtest_discover_tests (default <target>_TESTS).
function(splitwerk_discovered_tests_property target property value)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "TEST_LIST" "")
  if(NOT arg_TEST_LIST)
    set(arg_TEST_LIST "${target}_TESTS")
  endif()
  set(file "${CMAKE_CURRENT_BINARY_DIR}/${target}_property_${property}.cmake")
  file(WRITE "${file}"
    "if(NOT \"\${${arg_TEST_LIST}}\" STREQUAL \"\")\n"
    "  set_tests_properties(\${${arg_TEST_LIST}} PROPERTIES ${property} [==[${value}]==])\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${file}")
endfunction()
