// The arithmetic of the evaluator: the functions and the operators on single-precision values,
// the one definition that the passes and the readings share.
#pragma once

#include <cmath>
#include <cstdint>

#include "parse/tokenizer.hpp"

inline bool isIndexedToken(std::uint8_t byte) {
  return byte == kNumberToken || byte == kReferenceToken || byte == kFunctionToken;
}

inline float applyFunction(std::uint8_t function, float argument) {
  const double x = argument;
  switch (function) {
    case 1: return static_cast<float>(std::sin(x));
    case 2: return static_cast<float>(std::cos(x));
    case 3: return static_cast<float>(std::tan(x));
    case 4: return static_cast<float>(1.0 / std::tan(x));
    case 5: return static_cast<float>(std::sqrt(x));
    case 6: return static_cast<float>(std::exp(x));
    case 7: return static_cast<float>(std::log(x));
    case 8: return static_cast<float>(std::log10(x));
    default: return argument;
  }
}

inline float applyOperator(std::uint8_t op, float a, float b) {
  switch (op) {
    case '^': return static_cast<float>(std::pow(static_cast<double>(a), static_cast<double>(b)));
    case '*': return a * b;
    case '/': return a / b;
    case '+': return a + b;
    default: return a - b;
  }
}
