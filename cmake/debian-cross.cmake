# The part shared by the Linux cross toolchains: Debian's cross compiler for the triplet
# CALCULATOR_CROSS_TRIPLET and its libraries in /usr/TRIPLET, with the tests run under
# qemu-user (QEMU_PROGRAM), which loads the target's C library from the same tree.
set(CMAKE_SYSTEM_NAME Linux)

find_program(CMAKE_CXX_COMPILER NAMES ${CALCULATOR_CROSS_TRIPLET}-g++ REQUIRED)

# Headers and libraries come from the target's tree only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${CALCULATOR_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(CALCULATOR_QEMU NAMES ${QEMU_PROGRAM})
if(CALCULATOR_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CALCULATOR_QEMU} -L /usr/${CALCULATOR_CROSS_TRIPLET})
endif()
