// The replaced global operator new and delete that count the program's heap allocations.
#include "support/allocation_counter.hpp"

#include <cstdlib>
#include <new>

namespace {
std::size_t allocations = 0;
}  // namespace

std::size_t allocationCount() {
  return allocations;
}

void* operator new(std::size_t size) {
  ++allocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
