# GoogleTest for the tests, wherever it can be had:
# - sources at BCT_GTEST_SOURCE (a googletest checkout, or Debian's
#   /usr/src/googletest, which the mingw preset names), built here with the
#   project's compiler but without its warning and code-page options;
# - else an installed package that find_package(GTest) finds (Debian's
#   libgtest-dev, vcpkg's gtest, MSYS2's mingw-w64-x86_64-gtest).
# Without either the tests are left out, with one message, and the programs
# build all the same. Sets BCT_TESTS; tests link bct_gtest_main.
set(BCT_GTEST_SOURCE "" CACHE PATH "GoogleTest source folder to build the tests with (empty: an installed GTest package)")

set(BCT_TESTS OFF)
if(BUILD_TESTING)
  if(BCT_GTEST_SOURCE AND EXISTS "${BCT_GTEST_SOURCE}/CMakeLists.txt")
    get_directory_property(_bct_options COMPILE_OPTIONS)
    set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    # Visual Studio: the same C runtime as the project's own code.
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${BCT_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set_directory_properties(PROPERTIES COMPILE_OPTIONS "${_bct_options}")
    add_library(bct_gtest_main INTERFACE)
    target_link_libraries(bct_gtest_main INTERFACE gtest_main)
    set(BCT_TESTS ON)
  else()
    find_package(GTest QUIET)
    if(TARGET GTest::gtest_main)
      add_library(bct_gtest_main INTERFACE)
      target_link_libraries(bct_gtest_main INTERFACE GTest::gtest_main)
      set(BCT_TESTS ON)
    endif()
  endif()

  if(NOT BCT_TESTS)
    set(_bct_where "")
    if(BCT_GTEST_SOURCE)
      set(_bct_where " (BCT_GTEST_SOURCE=${BCT_GTEST_SOURCE} holds no GoogleTest sources)")
    endif()
    message(STATUS "GoogleTest not found${_bct_where}: the tests are left out, the programs are built. "
                   "To build the tests, install GoogleTest (vcpkg: gtest; MSYS2: mingw-w64-x86_64-gtest; "
                   "Debian: libgtest-dev) or set BCT_GTEST_SOURCE to a googletest source folder.")
  endif()
endif()
