# GoogleTest from the sources of Debian's googletest package, built with the
# project's own toolchain (Debian's binaries are for Linux, not Windows).
set(WOBBLE_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${WOBBLE_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found at ${WOBBLE_GTEST_SOURCE}; "
                      "install Debian's googletest package (scripts/test.sh does)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${WOBBLE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
