# Runs the calculator on one transcript's input and compares its output with the expected
# bytes; the exit status must be 0 and nothing may go to standard error.
# PROGRAM, INPUT, EXPECTED and ACTUAL name the files; EMULATOR, when set, runs the program
# (wine for the Windows build), and SHOWN_ENCODING, when set, is the code page of both outputs,
# converted to UTF-8 with ICONV for the difference shown on failure.
get_filename_component(actual_dir ${ACTUAL} DIRECTORY)
file(MAKE_DIRECTORY ${actual_dir})
execute_process(COMMAND ${EMULATOR} ${PROGRAM}
  INPUT_FILE ${INPUT} OUTPUT_FILE ${ACTUAL} ERROR_VARIABLE errors
  RESULT_VARIABLE status TIMEOUT 60)
if(NOT status STREQUAL "0")
  message(FATAL_ERROR "exit status: ${status}")
endif()
if(NOT errors STREQUAL "")
  message(FATAL_ERROR "standard error was written:\n${errors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXPECTED} ${ACTUAL}
  RESULT_VARIABLE differ OUTPUT_QUIET ERROR_QUIET)
if(differ)
  set(shown_expected ${EXPECTED})
  set(shown_actual ${ACTUAL})
  if(SHOWN_ENCODING)
    set(shown_expected ${ACTUAL}.expected.utf8)
    set(shown_actual ${ACTUAL}.utf8)
    execute_process(COMMAND ${ICONV} -f ${SHOWN_ENCODING} -t UTF-8 ${EXPECTED}
      OUTPUT_FILE ${shown_expected})
    execute_process(COMMAND ${ICONV} -f ${SHOWN_ENCODING} -t UTF-8 ${ACTUAL}
      OUTPUT_FILE ${shown_actual})
  endif()
  # A difference in line ends alone shows no line here.
  execute_process(COMMAND diff -a -u --strip-trailing-cr ${shown_expected} ${shown_actual})
  message(FATAL_ERROR "output differs from ${EXPECTED}")
endif()
