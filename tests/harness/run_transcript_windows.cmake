# Makes the expected output of the Windows calculator for one transcript, then runs and
# compares it as every transcript is run.
#
# The expected output is NAME.windows.out where the transcript has one. Otherwise it is made from
# the Linux NAME.out, whose messages are UTF-8 and whose lines end in LF, with two changes:
# - every message in CP866, the OEM code page into which CharToOemA converts it;
# - CRLF line ends, since the runtime writes standard output in text mode.
# That is impossible for an input holding a byte above 0x7F or the byte 0x1A, which needs a
# NAME.windows.out of its own: typed bytes are echoed unconverted while messages are converted,
# and text-mode input ends at 0x1A (Ctrl+Z) on Windows, while Linux reads on.
get_filename_component(name ${INPUT} NAME_WE)
get_filename_component(work_dir ${ACTUAL} DIRECTORY)
file(MAKE_DIRECTORY ${work_dir})

if(EXISTS ${WINDOWS_EXPECTED})
  set(expected ${WINDOWS_EXPECTED})
else()
  file(READ ${INPUT} input_hex HEX)
  string(REGEX MATCHALL ".." input_bytes "${input_hex}")
  list(FILTER input_bytes INCLUDE REGEX "^([89a-f].|1a)$")
  if(input_bytes)
    message(FATAL_ERROR "${INPUT} holds a byte above 0x7F or 0x1A, so its Windows output "
      "cannot be made from ${LINUX_EXPECTED}: write ${WINDOWS_EXPECTED}")
  endif()
  set(expected ${work_dir}/${name}.expected)
  execute_process(
    COMMAND ${ICONV} -f UTF-8 -t CP866 ${LINUX_EXPECTED}
    COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C
      ${SED} -z -e "s/\\n/\\r\\n/g"
    OUTPUT_FILE ${expected} RESULTS_VARIABLE statuses ERROR_VARIABLE errors)
  if(NOT statuses STREQUAL "0;0")
    message(FATAL_ERROR "cannot make the CP866 output from ${LINUX_EXPECTED}:\n${errors}")
  endif()
endif()

set(EXPECTED ${expected})
set(SHOWN_ENCODING CP866)
include(${CMAKE_CURRENT_LIST_DIR}/run_transcript.cmake)
