# The transcripts of the Windows build: each runs calculator.exe, under wine when the build is
# cross-compiled, in the console of a Russian Windows and compares its output with the expected
# output in that console's code page. Included from tests/CMakeLists.txt, which names the folder
# of the transcripts (transcript_dir); the scripts that run them are beside this file.
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  message(STATUS "No wine found: the Windows transcripts are not registered")
  return()
endif()
find_program(CALCULATOR_ICONV iconv)
find_program(CALCULATOR_SED sed)
if(NOT CALCULATOR_ICONV OR NOT CALCULATOR_SED)
  message(STATUS "No iconv or sed found: the Windows transcripts are not registered")
  return()
endif()

add_executable(code_pages ${CMAKE_CURRENT_LIST_DIR}/code_pages.cpp)

# A Russian Windows has the ANSI code page 1251 and the OEM code page 866. Wine takes them from
# the locale; where no ru_RU locale is generated, it reads LC_ALL itself, which LANG does not do.
# The prefix is private to this build; wine's .NET and browser installers and its desktop menu
# entries are switched off.
set(console_environment
  LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 WINEDEBUG=-all WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix
  WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=d)

add_test(NAME windows.console
  COMMAND ${CMAKE_COMMAND} -DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}
    -DPROBE=$<TARGET_FILE:code_pages> -P ${CMAKE_CURRENT_LIST_DIR}/prepare_windows_console.cmake)
set_tests_properties(windows.console PROPERTIES
  ENVIRONMENT "${console_environment}" FIXTURES_SETUP windows_console)

# Every NAME.in is a test; see run_transcript_windows.cmake for how its expected output is made.
file(GLOB transcript_inputs CONFIGURE_DEPENDS ${transcript_dir}/*.in)
foreach(input IN LISTS transcript_inputs)
  get_filename_component(name ${input} NAME_WE)
  add_test(NAME transcript.${name}
    COMMAND ${CMAKE_COMMAND} -DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}
      -DPROGRAM=$<TARGET_FILE:calculator> -DINPUT=${input}
      -DLINUX_EXPECTED=${transcript_dir}/${name}.out
      -DWINDOWS_EXPECTED=${transcript_dir}/${name}.windows.out
      -DACTUAL=${CMAKE_CURRENT_BINARY_DIR}/transcripts/${name}.actual
      -DICONV=${CALCULATOR_ICONV} -DSED=${CALCULATOR_SED}
      -P ${CMAKE_CURRENT_LIST_DIR}/run_transcript_windows.cmake)
  set_tests_properties(transcript.${name} PROPERTIES
    ENVIRONMENT "${console_environment}" FIXTURES_REQUIRED windows_console)
endforeach()
