# Installation and packages: the program and its manual page, a .deb on Linux, a .zip on Windows.
include(GNUInstallDirs)

install(TARGETS calculator RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Windows has no man; its package holds the program alone.
if(NOT WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/calculator.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME calculator)
set(CPACK_PACKAGE_VENDOR "calculator developers")
set(CPACK_PACKAGE_CONTACT "calculator developers <calculator@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Interactive console calculator for named arithmetic expressions")
set(CPACK_PACKAGE_DESCRIPTION
  "Reads lines name=expression and commands from standard input; the line named ? is computed,\
 following the names that it uses into the other lines. Messages are in Russian.")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION math)
  # The dependencies on the C and C++ runtime and on libedit are read from the program where
  # the tool for it is installed.
  find_program(CALCULATOR_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(CALCULATOR_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libgcc-s1, libstdc++6")
    if(CALCULATOR_LINE_EDITING)
      string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libedit2")
    endif()
  endif()
endif()

include(CPack)
