# The test of the Windows console: a program of the build machine that runs calculator.exe under
# wine in a pseudo-terminal and types at it. It is built with the build machine's compiler and
# GoogleTest (libgtest-dev), beside the cross-compiled programs.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  message(STATUS "No wine found: the Windows console test is not registered")
  return()
endif()
find_program(CALCULATOR_HOST_CXX NAMES g++ c++ clang++)
set(host_library_dirs /usr/lib/${CMAKE_HOST_SYSTEM_PROCESSOR}-linux-gnu /usr/lib /usr/local/lib)
find_library(CALCULATOR_HOST_GTEST NAMES libgtest.a gtest PATHS ${host_library_dirs}
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_library(CALCULATOR_HOST_GTEST_MAIN NAMES libgtest_main.a gtest_main PATHS ${host_library_dirs}
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT CALCULATOR_HOST_CXX OR NOT CALCULATOR_HOST_GTEST OR NOT CALCULATOR_HOST_GTEST_MAIN)
  message(STATUS "No compiler or GoogleTest of the build machine found: the Windows console "
    "test is not registered")
  return()
endif()

set(sessions ${CMAKE_CURRENT_LIST_DIR}/../terminal_sessions)
set(source ${sessions}/windows_console_test.cpp)
set(program ${CMAKE_CURRENT_BINARY_DIR}/windows_console_test)
separate_arguments(extra_flags UNIX_COMMAND "${CMAKE_CXX_FLAGS}")
if(CALCULATOR_WERROR)
  list(APPEND extra_flags -Werror)
endif()
add_custom_command(OUTPUT ${program}
  COMMAND ${CALCULATOR_HOST_CXX} -std=c++20 -O1 -Wall -Wextra -Wpedantic ${extra_flags}
    -I${CMAKE_CURRENT_LIST_DIR}/..
    "-DCALCULATOR_PROGRAM=\"${CMAKE_CROSSCOMPILING_EMULATOR}\""
    "-DCALCULATOR_WINDOWS_PROGRAM=\"$<TARGET_FILE:calculator>\"" -DCALCULATOR_LIBEDIT=0
    ${source} -o ${program} ${CALCULATOR_HOST_GTEST_MAIN} ${CALCULATOR_HOST_GTEST} -lutil -pthread
  DEPENDS ${source} ${sessions}/pseudo_terminal.hpp
  COMMENT "Building the Windows console test with the build machine's compiler"
  VERBATIM)
add_custom_target(windows_console_test ALL DEPENDS ${program})
add_dependencies(windows_console_test calculator)

# wine's code pages follow the locale: in C.UTF-8 they are those of an English Windows, whose
# OEM code page (437) has no Cyrillic letter. The prefix is the transcripts' one.
add_test(NAME windows.console_session COMMAND ${program})
set_tests_properties(windows.console_session PROPERTIES
  ENVIRONMENT "LANG=C.UTF-8;LC_ALL=C.UTF-8;WINEDEBUG=-all;WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix;WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=d"
  FIXTURES_REQUIRED windows_console TIMEOUT 300)
