# Toolchain for i386 Linux: Debian's g++-i686-linux-gnu, tests under qemu-i386. Debian's i386
# does not assume SSE2, so the compiler's defaults stand and floating point goes through x87.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CALCULATOR_CROSS_TRIPLET i686-linux-gnu)
set(QEMU_PROGRAM qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
