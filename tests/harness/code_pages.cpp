// Prints the ANSI and the OEM code page that a Windows program runs with.
#include <windows.h>

#include <cstdio>

int main() {
  std::printf("%u %u\n", GetACP(), GetOEMCP());
  return 0;
}
