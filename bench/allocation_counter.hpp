// Counts the program's heap allocations through the replaced global operator new.
#pragma once

#include <cstddef>

// Allocations through the global operator new since the program started.
std::size_t allocationCount();
