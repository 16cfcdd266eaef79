# Runs the calculator on one transcript's input and compares its output with the expected
# bytes; the exit status must be 0 and nothing may go to standard error.
get_filename_component(actual_dir ${ACTUAL} DIRECTORY)
file(MAKE_DIRECTORY ${actual_dir})
execute_process(COMMAND ${PROGRAM}
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
  execute_process(COMMAND diff -a -u ${EXPECTED} ${ACTUAL})
  message(FATAL_ERROR "output differs from ${EXPECTED}")
endif()
