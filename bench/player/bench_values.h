#pragma once
// What the player benchmarks do with their options and their figures.

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace lumio::bench {

// "a,b,,c" -> {"a", "b", "c"}.
inline std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, ',');) {
    if (!part.empty()) parts.push_back(part);
  }
  return parts;
}

// The median of `values`; -1 for none.
template <typename T>
T Median(std::vector<T> values) {
  if (values.empty()) return T(-1);
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace lumio::bench
