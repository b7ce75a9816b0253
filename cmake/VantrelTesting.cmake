# GoogleTest for the tests, and how they are registered.
#
# The installed package where there is one; else its sources (Debian's
# googletest package puts them in /usr/src/googletest), which is also how a
# cross build gets a GoogleTest for its target. With neither, the tests are
# skipped with a message: the program still builds.
# Sets VANTREL_HAVE_GTEST.

set(VANTREL_GTEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "GoogleTest sources, built with the tests when no installed GoogleTest fits")

set(VANTREL_HAVE_GTEST OFF)
if(NOT CMAKE_CROSSCOMPILING)
  find_package(GTest QUIET)
endif()
if(TARGET GTest::gtest AND TARGET GTest::gtest_main)
  set(VANTREL_HAVE_GTEST ON)
elseif(EXISTS ${VANTREL_GTEST_SOURCE_DIR}/googletest/CMakeLists.txt)
  # Same C runtime as everything else under MSVC.
  set(gtest_force_shared_crt ON CACHE BOOL "Use the shared C runtime in GoogleTest")
  # SYSTEM: its headers are not held to this project's warning flags.
  add_subdirectory(${VANTREL_GTEST_SOURCE_DIR}/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  if(NOT TARGET GTest::gtest)  # older sources name them without the namespace
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
  set(VANTREL_HAVE_GTEST ON)
  message(STATUS "GoogleTest: built from ${VANTREL_GTEST_SOURCE_DIR}")
else()
  vantrel_tests_skipped("GoogleTest not found (neither installed nor in VANTREL_GTEST_SOURCE_DIR): tests skipped")
endif()

include(GoogleTest)

# Registers a GoogleTest executable with CTest. Natively each test case is a
# CTest test of its own. Under an emulator (Wine) a start costs most of a
# second, so the executable is one test that runs all its cases.
#   vantrel_add_gtest(TARGET [PROPERTIES name value ...])
function(vantrel_add_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "PROPERTIES")
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
    if(arg_PROPERTIES)
      set_tests_properties(${target} PROPERTIES ${arg_PROPERTIES})
    endif()
  elseif(arg_PROPERTIES)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES ${arg_PROPERTIES})
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
