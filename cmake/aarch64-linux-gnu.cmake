# Toolchain for arm64 Linux (char is unsigned there): Debian's g++-aarch64-linux-gnu, tests
# under qemu-aarch64.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CALCULATOR_CROSS_TRIPLET aarch64-linux-gnu)
set(QEMU_PROGRAM qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
