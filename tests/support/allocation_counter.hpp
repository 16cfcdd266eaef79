// Counts the program's heap allocations through a replaced global operator new. A program that
// links allocation_counter.cpp has its every allocation through operator new counted, so the
// tests and the benchmarks that count allocations are programs of their own.
#pragma once

#include <cstddef>

// Allocations through the global operator new since the program started.
std::size_t allocationCount();
