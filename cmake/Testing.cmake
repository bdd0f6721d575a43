# GoogleTest from Debian's googletest package, built with the cross compiler,
# and helpers that declare test executables. CTest runs each of them under
# Wine (CMAKE_CROSSCOMPILING_EMULATOR, see the toolchain file).
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -w)

# add_project_test(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>]
#                  [TIMEOUT <seconds>])
# Builds a GoogleTest executable with the shared test main and the test support
# library, and registers it with CTest. Tests of one executable run in one
# Wine process; keep the number of executables small.
function(add_project_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE test_support ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # Under Wine a process that dies (a stack overflow, for one) can end with
  # exit code 0, so a run also needs GoogleTest's closing "[  PASSED  ]" line
  # and must not print a "[  FAILED  ]" line.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]"
    FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]"
    ENVIRONMENT "PROJECT_BUILD_DIR=${CMAKE_BINARY_DIR};PROJECT_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
