# Hardening of the Linux builds, as Debian builds its own packages: stack protector, buffer
# overflow checks in the C library, stack clash probes, control-flow protection on x86-64, a
# position-independent executable and read-only relocations bound at start.
#
# Not for the Windows build: its linker has no -z relro or -z now, and already marks the program
# for address space randomisation and no-execute data (DYNAMIC_BASE, HIGH_ENTROPY_VA, NX_COMPAT).
# Nor for the sanitizer and fuzzer builds, whose own instrumentation checks far more.
option(CALCULATOR_HARDEN "Harden the Linux build as Debian's packages are" ON)
if(WIN32 OR NOT CALCULATOR_HARDEN OR CALCULATOR_SANITIZE OR CALCULATOR_FUZZ)
  return()
endif()

include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)

add_compile_options(-fstack-protector-strong -fPIE)
add_link_options(-pie -Wl,-z,relro,-z,now)

check_cxx_compiler_flag(-fstack-clash-protection CALCULATOR_HAS_STACK_CLASH_PROTECTION)
if(CALCULATOR_HAS_STACK_CLASH_PROTECTION)
  add_compile_options(-fstack-clash-protection)
endif()
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  add_compile_options(-fcf-protection)
endif()

# The C library checks buffer sizes only in optimised code, and at level 3 only where the
# compiler computes object sizes at run time; elsewhere it quietly takes level 2, so the level is
# probed. Any level the compiler defines by itself is replaced rather than redefined.
set(CMAKE_REQUIRED_FLAGS "-O2 -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3")
check_cxx_source_compiles([[
#include <cstring>
#if !defined(__USE_FORTIFY_LEVEL) || __USE_FORTIFY_LEVEL < 3
#error no level 3
#endif
int main() {}
]] CALCULATOR_HAS_FORTIFY_SOURCE_3)
unset(CMAKE_REQUIRED_FLAGS)
if(CALCULATOR_HAS_FORTIFY_SOURCE_3)
  set(CALCULATOR_FORTIFY_LEVEL 3)
else()
  set(CALCULATOR_FORTIFY_LEVEL 2)
endif()
add_compile_options(
  "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=${CALCULATOR_FORTIFY_LEVEL}>")
