# Prepares the console the Windows transcripts run in: the private wine prefix is created on the
# first start, then a probe must see the code pages of a Russian Windows, 1251 and 866.
if(EMULATOR AND NOT EXISTS $ENV{WINEPREFIX}/system.reg)
  message(STATUS "Creating the wine prefix $ENV{WINEPREFIX}")
  execute_process(COMMAND ${EMULATOR} wineboot --init
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET TIMEOUT 300)
  if(NOT status STREQUAL "0")
    message(FATAL_ERROR "wineboot failed: ${status}")
  endif()
  # The prefix is complete once wine's background processes have ended and saved the registry.
  get_filename_component(wine_dir ${EMULATOR} DIRECTORY)
  find_program(WINESERVER NAMES wineserver wineserver64 HINTS ${wine_dir} REQUIRED)
  execute_process(COMMAND ${WINESERVER} -w TIMEOUT 300)
endif()

execute_process(COMMAND ${EMULATOR} ${PROBE}
  OUTPUT_VARIABLE code_pages ERROR_VARIABLE errors RESULT_VARIABLE status TIMEOUT 60)
if(NOT status STREQUAL "0" OR NOT errors STREQUAL "")
  message(FATAL_ERROR "the code page probe failed (${status}):\n${errors}")
endif()
string(STRIP "${code_pages}" code_pages)
if(NOT code_pages STREQUAL "1251 866")
  message(FATAL_ERROR "ANSI and OEM code pages are ${code_pages}, not 1251 866")
endif()
