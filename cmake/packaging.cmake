# Installation and packages: the program and its manual page, a .deb on Linux, a .zip on Windows.
include(GNUInstallDirs)

# Stands in the package and its changelog; lintian accepts any address whose host is a domain.
set(CALCULATOR_MAINTAINER "Calculator Developers <calculator-developers@example.org>")

install(TARGETS calculator RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Windows has no man nor Debian's documentation files; its package holds the program alone.
if(NOT WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/debian-files.cmake)
endif()

set(CPACK_PACKAGE_NAME calculator)
set(CPACK_PACKAGE_VENDOR "calculator developers")
set(CPACK_PACKAGE_CONTACT "${CALCULATOR_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Interactive console calculator for named arithmetic expressions")
# Debian shows each line as it is: at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION [[
Reads lines of the form name=expression, and commands, from standard input.
The line named ? is the task: the calculator computes it, following the names
that it uses into the other lines, and reports the value of every line.

Values are single-precision floating-point numbers. Expressions use the
operators + - * / ^, round brackets and the functions sin, cos, tg, ctg, sqrt,
exp, ln and lg. The program's messages are in Russian.]])
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION math)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  # The dependencies on the C and C++ runtime and on libedit are read from the program where
  # the tool for it is installed.
  find_program(CALCULATOR_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(CALCULATOR_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libgcc-s1, libstdc++6")
    if(CALCULATOR_LIBEDIT)
      string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libedit2")
    endif()
  endif()
endif()

include(CPack)
