# GoogleTest built from its sources (Debian's googletest package puts them in
# /usr/src/googletest) for a target system that has no installed copy, as
# the Windows cross builds. Provides GTest::gtest and GTest::gtest_main.
set(BARPOST_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${BARPOST_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${BARPOST_GTEST_SOURCE_DIR}")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${BARPOST_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(NOT TARGET GTest::gtest)  # GoogleTest 1.12 and later name them itself
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
