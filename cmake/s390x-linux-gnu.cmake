# Toolchain for s390x Linux (big-endian): Debian's g++-s390x-linux-gnu, tests under qemu-s390x.
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(CALCULATOR_CROSS_TRIPLET s390x-linux-gnu)
set(QEMU_PROGRAM qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
