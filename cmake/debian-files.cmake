# The files that Debian's policy asks of a package besides the program, installed as a Debian
# package has them: the manual page and the changelog compressed with gzip -9n (no name, no
# time, so the same bytes on every build) and the licence as a machine-readable copyright file.
# The installed program loses the compiler's .comment section, as dh_strip removes it.
set(debian_sources ${CMAKE_CURRENT_LIST_DIR}/debian)
set(debian_output ${CMAKE_BINARY_DIR}/debian)

# The changelog's newest entry is this version.
file(STRINGS ${debian_sources}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^calculator \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "${debian_sources}/changelog starts with '${changelog_head}', "
    "not an entry for version ${PROJECT_VERSION}")
endif()

# debian/copyright format 1.0: the licence text of LICENSE from its first paragraph on, each
# line indented by one blank and each empty line written as a full stop.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${licence}")
set(copyright_holders "${CMAKE_MATCH_1}")
string(FIND "${licence}" "Permission is hereby granted" terms_start)
string(SUBSTRING "${licence}" ${terms_start} -1 terms)
string(STRIP "${terms}" terms)
string(REPLACE "\n\n" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " terms "${terms}")
file(WRITE ${debian_output}/copyright "\
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: calculator
Upstream-Contact: ${CALCULATOR_MAINTAINER}

Files: *
Copyright: ${copyright_holders}
License: Expat

License: Expat
 ${terms}
")

set(compressed)
foreach(source IN ITEMS ${debian_sources}/changelog ${PROJECT_SOURCE_DIR}/docs/calculator.1)
  get_filename_component(name ${source} NAME)
  add_custom_command(OUTPUT ${debian_output}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${debian_output}/${name}
    COMMAND gzip -9nf ${debian_output}/${name}
    DEPENDS ${source} VERBATIM)
  list(APPEND compressed ${debian_output}/${name}.gz)
endforeach()
add_custom_target(debian_files ALL DEPENDS ${compressed})

install(FILES ${debian_output}/calculator.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${debian_output}/changelog.gz ${debian_output}/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/calculator\"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()")
